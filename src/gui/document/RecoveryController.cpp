#include "gui/document/RecoveryController.h"

#include "core/document/Document.h"
#include "core/document/DocumentPaths.h"
#include "core/document/RecoveryStore.h"
#include "gui/document/FileController.h"
#include "gui/services/Prompter.h"

#include <QFileInfo>
#include <QLocale>
#include <QMetaObject>
#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <new>

namespace pellumar {

RecoveryController::RecoveryController(Document& document, Prompter& prompter, QWidget& window,
                                       FileController& files, std::unique_ptr<RecoveryStore> store,
                                       QObject* parent)
    : QObject(parent),
      document_(document),
      prompter_(prompter),
      window_(window),
      files_(files),
      store_(std::move(store)),
      modified_(document.isModified()) {
    monotonic_.start();
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecoveryController::runDue);
    connect(&document_, &Document::modifiedChanged, this, &RecoveryController::modifiedChanged);
    // Whatever changes the table while it has unsaved changes.
    GridModel* model = &document_.model();
    const auto onChange = [this] { changed(); };
    connect(model, &QAbstractItemModel::dataChanged, this, onChange);
    connect(model, &QAbstractItemModel::headerDataChanged, this, onChange);
    connect(model, &QAbstractItemModel::rowsInserted, this, onChange);
    connect(model, &QAbstractItemModel::rowsRemoved, this, onChange);
    connect(model, &QAbstractItemModel::rowsMoved, this, onChange);
    connect(model, &QAbstractItemModel::columnsInserted, this, onChange);
    connect(model, &QAbstractItemModel::columnsRemoved, this, onChange);
    connect(model, &QAbstractItemModel::columnsMoved, this, onChange);
    connect(model, &QAbstractItemModel::modelReset, this, onChange);
    connect(model, &QAbstractItemModel::layoutChanged, this, onChange);
    connect(model, &GridModel::columnAttributesChanged, this, onChange);
    connect(model, &GridModel::rowHeightsChanged, this, onChange);
}

RecoveryController::~RecoveryController() {
    if (writer_.joinable()) {
        writer_.join();
    }
    // A snapshot stays only for work that was neither saved nor given up.
    if (ended_ || !modified_) {
        store_->remove();
    }
}

QString RecoveryController::timeText(const QDateTime& time) {
    return QLocale::system().toString(time, QLocale::ShortFormat);
}

qint64 RecoveryController::now() const {
    return clock_ ? clock_() : monotonic_.elapsed();
}

void RecoveryController::setClock(Clock clock) {
    clock_ = std::move(clock);
    arm();
}

void RecoveryController::setTimes(qint64 intervalMs, qint64 settleMs) {
    schedule_.setTimes(intervalMs, settleMs);
    arm();
}

void RecoveryController::changed() {
    if (!modified_ || ended_) {
        return;
    }
    schedule_.changed(now());
    if (!store_->isUsable()) {
        tellNotKept(store_->problem());
    }
    arm();
}

void RecoveryController::modifiedChanged(bool modified) {
    modified_ = modified;
    if (modified) {
        changed();
        return;
    }
    // Saved, or replaced by New or Open: nothing is left to recover.
    schedule_.clear();
    timer_.stop();
    ++generation_;
    store_->remove();
}

void RecoveryController::formRecordAdded() {
    if (!modified_ || ended_) {
        return;
    }
    schedule_.formRecordAdded(now());
    runDue();
}

void RecoveryController::programEnds() {
    ended_ = true;
    schedule_.clear();
    timer_.stop();
    ++generation_;
    store_->remove();  // a snapshot still being written goes when it is done
}

void RecoveryController::arm() {
    const auto due = schedule_.due();
    if (ended_ || !due || isWriting() || !store_->isUsable()) {
        timer_.stop();  // a writer that finishes arms the timer again
        return;
    }
    timer_.start(static_cast<int>(std::clamp<qint64>(*due - now(), 0, INT_MAX)));
}

void RecoveryController::runDue() {
    if (!ended_ && schedule_.isDue(now()) && !isWriting()) {
        takeSnapshot();
    }
    arm();
}

bool RecoveryController::takeSnapshot() {
    if (ended_ || !modified_ || isWriting() || !store_->isUsable()) {
        return false;
    }
    RecoveryInfo info;
    info.file = document_.currentFile();
    info.kind = document_.fileKind();
    info.encoding = document_.encoding();
    info.untitled = info.file.compare(untitledPath(), Qt::CaseInsensitive) == 0;
    info.firstLineData = document_.isFirstLineData();
    Table frozen = document_.model().table().snapshot();
    schedule_.taken(now());
    ++taken_;
    const quint64 write = ++writes_;
    writeGeneration_ = generation_;
    writer_ = std::thread([this, write, folder = store_->folder(), id = store_->id(),
                           table = std::move(frozen), info = std::move(info)]() mutable {
        try {
            const auto written = writeRecoverySnapshot(folder, id, table, info);
            writeOk_ = written.ok();
            writeError_ = written.ok() ? QString() : written.message();
        } catch (const std::bad_alloc&) {
            // Nothing in a snapshot may end the program.
            writeOk_ = false;
            writeError_ = QStringLiteral(
                "Cannot write the recovery snapshot: there is not enough memory to write it.");
        }
        table = Table();  // what only the snapshot still held is freed here, not in the window
        QMetaObject::invokeMethod(
            this, [this, write] { finishWrite(write); }, Qt::QueuedConnection);
    });
    arm();
    return true;
}

void RecoveryController::waitForWriter() {
    finishWrite(writes_);
}

void RecoveryController::finishWrite(quint64 write) {
    if (!writer_.joinable() || write != writes_) {
        return;  // already taken in
    }
    writer_.join();
    if (writeGeneration_ != generation_ || ended_ || !modified_) {
        store_->remove();  // the work was saved or given up while it was being written
    }
    if (!writeOk_) {
        // The snapshot before it, if any, is still whole and stays.
        qWarning("Pellumar: the crash-recovery snapshot could not be written.");
        tellNotKept(writeError_);
    }
    emit snapshotWritten(writeOk_);
    runDue();  // a snapshot may have fallen due meanwhile
}

void RecoveryController::tellNotKept(const QString& why) {
    if (toldNotKept_) {
        return;
    }
    toldNotKept_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, why] {
            prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Pellumar"),
                             QStringLiteral("Unsaved work is not being kept safe for recovery "
                                            "after a crash. %1")
                                 .arg(why));
        },
        Qt::QueuedConnection);
}

void RecoveryController::offerRecovery() {
    bool restored = false;
    for (const AbandonedWork& work : store_->claimAbandoned()) {
        if (restored) {
            store_->release(work);  // offered again at the next start
        } else {
            restored = offer(work);
        }
    }
}

bool RecoveryController::offer(const AbandonedWork& work) {
    const QString when = timeText(work.saved);
    const QString name =
        work.info.untitled ? QStringLiteral("Untitled") : QFileInfo(work.info.file).fileName();
    const auto answer = prompter_.message(
        &window_, Prompter::Icon::Question, QStringLiteral("Pellumar"),
        QStringLiteral("Pellumar found unsaved work from %1 (%2). Restore it?").arg(when, name),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        auto loaded = store_->load(work);
        if (loaded) {
            files_.restoreDocument(
                loaded.take(), work.info.untitled ? untitledPath() : work.info.file, work.info.kind,
                work.info.encoding, work.info.untitled, work.info.firstLineData);
            store_->adopt(work);
            return true;
        }
        prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Pellumar"),
                         loaded.message());
    }
    const auto discard =
        prompter_.message(&window_, Prompter::Icon::Question, QStringLiteral("Pellumar"),
                          QStringLiteral("Discard the unsaved work from %1 for good?").arg(when),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (discard == QMessageBox::Yes) {
        store_->discard(work);
    } else {
        store_->release(work);
    }
    return false;
}

}  // namespace pellumar
