// Crash recovery through the main window: when snapshots are taken, what removes them, the
// start-up offer and a restored document; and a copy of the program killed outright whose
// records come back in the next one.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "DocumentTestSupport.h"
#include "TestWindow.h"
#include "core/document/NativeFile.h"
#include "core/document/RecoveryStore.h"
#include "gui/document/RecoveryController.h"

using namespace pellumar;
using namespace pellumar::testing;

namespace {

const QString kRestoreText =
    QStringLiteral("Pellumar found unsaved work from %1 (%2). Restore it?");
const QString kDiscardText = QStringLiteral("Discard the unsaved work from %1 for good?");

// The crash-recovery snapshot of a copy of the program that is gone: its files, no lock.
QString leaveSnapshot(const QString& id, const Table& table, const RecoveryInfo& info) {
    const QString folder = RecoveryStore::defaultFolder();
    QDir().mkpath(folder);
    [[maybe_unused]] const auto written = writeRecoverySnapshot(folder, id, table, info);
    return folder + u'/' + id + QStringLiteral(".plm");
}

QStringList sessionFiles() {
    return QDir(RecoveryStore::defaultFolder()).entryList(QDir::Files);
}

}  // namespace

class TstRecovery : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;
    ProgramFolder dir_;
    qint64 clock_ = 0;

    // A window whose recovery runs on the test's clock.
    void useClock(TestWindow& w) {
        clock_ = 0;
        w->recovery().setClock([this] { return clock_; });
    }

    // An edit of a cell, as the grid's end of an edit makes it.
    static void edit(TestWindow& w, int row, int col, const QString& text) {
        w->document().model().setText(row, col, text);
        w->document().markChanged();
    }

    static Table snapshotOf(TestWindow& w) {
        w->recovery().waitForWriter();
        auto loaded = loadNative(w->recovery().store().snapshotPath());
        return loaded ? loaded.take() : Table();
    }

private slots:
    void init() {
        settings_.clear();
        QDir(settings_.dataFolder()).removeRecursively();
        dir_.renew();
    }
    void cleanup() { dir_.release(); }

    void aChangeIsKeptWithinTheInterval() {
        TestWindow w;
        useClock(w);
        RecoveryController& recovery = w->recovery();
        QVERIFY(recovery.store().isUsable());
        edit(w, 1, 0, "Ann");
        QCOMPARE(recovery.schedule().due(), std::optional<qint64>(5000));
        clock_ = 4999;
        recovery.runDue();
        QCOMPARE(recovery.snapshotsTaken(), 0);
        clock_ = 5000;
        recovery.runDue();
        QCOMPARE(recovery.snapshotsTaken(), 1);
        QCOMPARE(snapshotOf(w).text(1, 0), QStringLiteral("Ann"));

        // The next change waits for the interval since that snapshot.
        clock_ = 6000;
        edit(w, 2, 0, "Bob");
        QCOMPARE(recovery.schedule().due(), std::optional<qint64>(35000));
        clock_ = 34999;
        recovery.runDue();
        QCOMPARE(recovery.snapshotsTaken(), 1);
        clock_ = 35000;
        recovery.runDue();
        QCOMPARE(recovery.snapshotsTaken(), 2);
        QCOMPARE(snapshotOf(w).text(2, 0), QStringLiteral("Bob"));
        // Without unsaved changes nothing is due.
        QVERIFY(!recovery.schedule().due());
    }

    void theTimerTakesItByItself() {
        TestWindow w;
        w->recovery().setTimes(300, 50);
        QSignalSpy written(&w->recovery(), &RecoveryController::snapshotWritten);
        edit(w, 1, 1, "x");
        QVERIFY(written.wait(20000));
        QCOMPARE(written.first().first().toBool(), true);
        QCOMPARE(snapshotOf(w).text(1, 1), QStringLiteral("x"));
    }

    void aDropBoxRecordIsKeptAtOnce() {
        TestWindow w;
        useClock(w);
        RecoveryController& recovery = w->recovery();
        dropTextOnDropBox(w.window.get(), "Name=Ann\r\nCity=Rome");
        QCOMPARE(recovery.snapshotsTaken(), 1);
        Table kept = snapshotOf(w);
        QCOMPARE(kept.text(0, 0), QStringLiteral("Name"));
        QCOMPARE(kept.text(1, 1), QStringLiteral("Rome"));

        // At most one every 30 seconds, records or not.
        clock_ = 1000;
        dropTextOnDropBox(w.window.get(), "Name=Bob\r\nCity=Oslo");
        QCOMPARE(recovery.snapshotsTaken(), 1);
        QCOMPARE(recovery.schedule().due(), std::optional<qint64>(30000));
        clock_ = 30000;
        recovery.runDue();
        QCOMPARE(recovery.snapshotsTaken(), 2);
        QCOMPARE(snapshotOf(w).text(2, 0), QStringLiteral("Bob"));
    }

    void whatRemovesTheSnapshot_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Save") << "save" << false;
        QTest::newRow("Save As") << "saveas" << false;
        QTest::newRow("New") << "new" << false;
        QTest::newRow("Open") << "open" << false;
        QTest::newRow("Exit, no changes to save") << "exitsaved" << false;
        QTest::newRow("Exit, No to saving") << "exitno" << false;
        QTest::newRow("Exit, Cancel") << "exitcancel" << true;
        QTest::newRow("an Open that failed") << "openfails" << true;
        QTest::newRow("a save while the snapshot is written") << "savewhilewriting" << false;
    }

    void whatRemovesTheSnapshot() {
        QFETCH(QString, action);
        QFETCH(bool, kept);
        const QString csv = dir_.filePath("open.csv");
        QVERIFY(writeFile(csv, "A,B\r\n1,2\r\n"));
        TestWindow w;
        RecoveryController& recovery = w->recovery();
        edit(w, 1, 0, "unsaved");
        QVERIFY(recovery.takeSnapshot());
        if (action != "savewhilewriting") {
            recovery.waitForWriter();
            QVERIFY(recovery.store().hasSnapshot());
        }
        ScriptedPrompter& p = w.prompter;
        if (action == "save" || action == "savewhilewriting") {
            QVERIFY(w->fileCommands().mnuSave_Click());
        } else if (action == "saveas") {
            p.answerSave(dir_.filePath("copy.plm"));
            QVERIFY(w->fileCommands().mnuSaveAsPLM_Click());
        } else if (action == "new") {
            p.answerMessage(QMessageBox::No);
            w->fileCommands().mnuNew_Click();
        } else if (action == "open") {
            p.answerMessage(QMessageBox::No);
            p.answerOpen(csv);
            w->fileCommands().mnuOpenCSV_Click(0);
        } else if (action == "exitsaved") {
            QVERIFY(w->fileCommands().mnuSave_Click());
            QVERIFY(!recovery.takeSnapshot());  // nothing unsaved: nothing taken
            w->mnuExit_Click();
            QCOMPARE(w.ended, 1);
        } else if (action == "exitno") {
            p.answerMessage(QMessageBox::No);
            w->mnuExit_Click();
            QCOMPARE(w.ended, 1);
        } else if (action == "exitcancel") {
            p.answerMessage(QMessageBox::Cancel);
            w->mnuExit_Click();
            QCOMPARE(w.ended, 0);
        } else if (action == "openfails") {
            p.answerMessage(QMessageBox::No);
            p.answerOpen(dir_.filePath("missing.csv"));
            w->fileCommands().mnuOpenCSV_Click(0);
            QCOMPARE(p.last().icon, Prompter::Icon::Critical);
        }
        recovery.waitForWriter();
        QCOMPARE(recovery.store().hasSnapshot(), kept);
    }

    void theOfferAndARestoredDocument() {
        Table table = tableOf({{"Name", "City"}, {"Zoë", "Köln"}, {"Bob", "Oslo"}});
        const QString file = dir_.filePath("people.csv");
        const QString plm = leaveSnapshot(
            "gone-copy", table, {file, FileKind::Comma, TextEncoding::Windows1252, false});
        const QDateTime saved = QFileInfo(plm).lastModified();

        TestWindow w;
        w.prompter.answerMessage(QMessageBox::Yes);
        w->recovery().offerRecovery();
        QCOMPARE(w.prompter.asked().size(), 1);
        const auto& q = w.prompter.last();
        QCOMPARE(q.caption, QStringLiteral("Pellumar"));
        QCOMPARE(q.text, kRestoreText.arg(RecoveryController::timeText(saved), "people.csv"));
        QCOMPARE(q.icon, Prompter::Icon::Question);
        QCOMPARE(q.buttons, QMessageBox::Yes | QMessageBox::No);

        // The document stands as after opening its file, with unsaved changes.
        Document& d = w->document();
        QCOMPARE(rowsOf(d.model().table()), rowsOf(table));
        QVERIFY(d.isModified());
        QVERIFY(w->action(CommandId::mnuSave)->isEnabled());
        QCOMPARE(d.currentFile(), file);
        QCOMPARE(d.fileKind(), FileKind::Comma);
        QCOMPARE(d.encoding(), TextEncoding::Windows1252);
        QCOMPARE(w->windowTitle(), "Pellumar [" + file + "]");
        QVERIFY(!d.isNewDocument());
        // The snapshot is now this copy's own.
        QVERIFY(w->recovery().store().hasSnapshot());
        QVERIFY(!sessionFiles().join(' ').contains("gone-copy"));

        // Save writes the file in its own kind and encoding, and the snapshot goes.
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(readFile(file), QByteArray("Name,City\r\nZo\xeb,K\xf6ln\r\nBob,Oslo\r\n"));
        QVERIFY(!w->recovery().store().hasSnapshot());
    }

    void anUntitledDocumentComesBackUntitled() {
        leaveSnapshot("gone-untitled", tableOf({{"A"}, {"1"}}),
                      {untitledPath(), FileKind::Native, TextEncoding::Utf8, true});
        TestWindow w;
        w.prompter.answerMessage(QMessageBox::Yes);
        w->recovery().offerRecovery();
        QVERIFY(w.prompter.last().text.endsWith("(Untitled). Restore it?"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar -- Untitled.plm"));
        QCOMPARE(w->document().currentFile(), untitledPath());
        QCOMPARE(w->document().fileKind(), FileKind::Native);
        QVERIFY(w->document().isModified());
        QVERIFY(!w->document().isNewDocument());
        QCOMPARE(w->document().model().text(1, 0), QStringLiteral("1"));
    }

    void aUnicodeTextDocumentComesBackAsUnicode() {
        const QString file = dir_.filePath("unicode.txt");
        leaveSnapshot("gone-utf16", tableOf({{"A"}, {"Zoë"}}),
                      {file, FileKind::Tab, TextEncoding::Utf16BeBom, false});
        TestWindow w;
        w.prompter.answerMessage(QMessageBox::Yes);
        w->recovery().offerRecovery();
        QCOMPARE(w->document().encoding(), TextEncoding::Utf16BeBom);
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(readFile(file), QByteArray("\xfe\xff\0A\0\r\0\n\0Z\0o\0\xeb\0\r\0\n", 18));
    }

    void aFirstLineDataDocumentComesBackWithoutATitleLine() {
        const QString file = dir_.filePath("records.csv");
        RecoveryInfo info{file, FileKind::Comma, TextEncoding::Utf8, false};
        info.firstLineData = true;
        leaveSnapshot("gone-firstline", tableOf({{"", ""}, {"Ann", "Oslo"}, {"Bob", "Rome"}}),
                      info);
        TestWindow w;
        w.prompter.answerMessage(QMessageBox::Yes);
        w->recovery().offerRecovery();
        QVERIFY(w->document().isFirstLineData());
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(readFile(file), QByteArray("Ann,Oslo\r\nBob,Rome\r\n"));
    }

    void noAsksBeforeDiscarding() {
        const QString plm = leaveSnapshot("gone-kept", tableOf({{"A"}, {"kept"}}),
                                          {untitledPath(), FileKind::Native, {}, true});
        const QString when = RecoveryController::timeText(QFileInfo(plm).lastModified());
        {
            TestWindow w;
            w.prompter.answerMessage(QMessageBox::No);
            w.prompter.answerMessage(QMessageBox::No);
            w->recovery().offerRecovery();
            QCOMPARE(w.prompter.asked().size(), 2);
            const auto& q = w.prompter.last();
            QCOMPARE(q.text, kDiscardText.arg(when));
            QCOMPARE(q.defaultButton, QMessageBox::No);
            QVERIFY(w->document().isNewDocument());
            QVERIFY(QFile::exists(plm));
        }
        {
            // Kept: offered again at the next start, and discarded for good this time.
            TestWindow w;
            w.prompter.answerMessage(QMessageBox::No);
            w.prompter.answerMessage(QMessageBox::Yes);
            w->recovery().offerRecovery();
            QCOMPARE(w.prompter.asked().size(), 2);
            QVERIFY(!QFile::exists(plm));
        }
        TestWindow w;
        w->recovery().offerRecovery();
        QVERIFY(w.prompter.asked().isEmpty());
        QCOMPARE(sessionFiles().size(), 1);  // this copy's lock alone
    }

    void newestFirstAndOneRestore() {
        const QString older = leaveSnapshot("gone-older", tableOf({{"A"}, {"older"}}),
                                            {untitledPath(), FileKind::Native, {}, true});
        const QString newer = leaveSnapshot("gone-newer", tableOf({{"A"}, {"newer"}}),
                                            {untitledPath(), FileKind::Native, {}, true});
        QFile f(older);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                              QFileDevice::FileModificationTime));
        f.close();
        TestWindow w;
        w.prompter.answerMessage(QMessageBox::Yes);
        w->recovery().offerRecovery();
        QCOMPARE(w.prompter.asked().size(), 1);
        QCOMPARE(w->document().model().text(1, 0), QStringLiteral("newer"));
        // The other one waits for the next start.
        QVERIFY(QFile::exists(older));
        QVERIFY(!QFile::exists(newer));
    }

    void aDamagedSnapshotIsSaidSo() {
        const QString plm = leaveSnapshot("gone-damaged", tableOf({{"A"}}),
                                          {untitledPath(), FileKind::Native, {}, true});
        QVERIFY(writeFile(plm, "not a Pellumar file at all"));
        TestWindow w;
        w.prompter.answerMessage(QMessageBox::Yes);
        w.prompter.answerMessage(QMessageBox::Ok);
        w.prompter.answerMessage(QMessageBox::Yes);
        w->recovery().offerRecovery();
        QCOMPARE(w.prompter.asked().size(), 3);
        QCOMPARE(w.prompter.asked()[1].icon, Prompter::Icon::Critical);
        QVERIFY(w.prompter.asked()[2].text.startsWith("Discard the unsaved work from "));
        QVERIFY(w->document().isNewDocument());
        QVERIFY(!QFile::exists(plm));
    }

    // A copy that still runs keeps its work however long it has run: its lock a minute old
    // (past the 30 seconds after which a lock file would count as left behind) is still its
    // own, also where the file system keeps no native locks and the lock file's word is all
    // there is (here: a lock file naming this running program, with no lock held on it).
    void aLongRunningCopyIsNotOffered_data() {
        QTest::addColumn<bool>("nativeLock");
        QTest::newRow("lock held") << true;
        QTest::newRow("lock file only") << false;
    }
    void aLongRunningCopyIsNotOffered() {
        QFETCH(bool, nativeLock);
        const QString folder = RecoveryStore::defaultFolder();
        QVERIFY(QDir().mkpath(folder));
        std::unique_ptr<RecoveryStore> other;
        QString id = QStringLiteral("running");
        if (nativeLock) {
            other = std::make_unique<RecoveryStore>();
            QVERIFY(other->isUsable());
            id = other->id();
        } else {
            QLockFile holder(folder + QStringLiteral("/holder.lock"));
            QVERIFY(holder.tryLock(0));
            QFile from(folder + QStringLiteral("/holder.lock"));
            QVERIFY(from.open(QIODevice::ReadOnly));
            QVERIFY(writeFile(folder + u'/' + id + QStringLiteral(".lock"), from.readAll()));
        }
        QVERIFY(writeRecoverySnapshot(folder, id, tableOf({{"A"}, {"1"}}),
                                      {untitledPath(), FileKind::Native, {}, true}));
        QFile lock(folder + u'/' + id + QStringLiteral(".lock"));
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
        lock.close();
        TestWindow w;
        w->recovery().offerRecovery();
        QVERIFY(w.prompter.asked().isEmpty());
        QVERIFY(QFile::exists(folder + u'/' + id + QStringLiteral(".plm")));
        QVERIFY(QFile::exists(lock.fileName()));
    }

    // A Windows-1252 comma document, changed and then lost with its copy, comes back as
    // Windows-1252 comma text: saving it writes the bytes it was read from.
    void aWindows1252CommaDocumentComesBackAsWindows1252() {
        const QString file = dir_.filePath("old.csv");
        QVERIFY(writeFile(file, QByteArray("Name,City\r\nZo\xeb,Malm\xf6\r\n")));
        QString snapshot;
        QString info;
        {
            TestWindow w;
            useClock(w);
            QVERIFY(w->fileCommands().openFile(file, FileKind::Comma));
            QCOMPARE(w->document().encoding(), TextEncoding::Windows1252);
            edit(w, 1, 1, QStringLiteral("Malm\u00f6 C"));
            clock_ = 5000;
            w->recovery().runDue();
            w->recovery().waitForWriter();
            QCOMPARE(w->recovery().snapshotsTaken(), 1);
            // What the copy leaves when it is killed: its snapshot without its lock.
            snapshot = w->recovery().store().snapshotPath();
            info = QFileInfo(snapshot).path() + u'/' + QFileInfo(snapshot).completeBaseName() +
                   QStringLiteral(".json");
            QVERIFY(QFile::copy(snapshot, QFileInfo(snapshot).path() + "/lost.plm"));
            QVERIFY(QFile::copy(info, QFileInfo(snapshot).path() + "/lost.json"));
            w->document().MakeModified(false);
        }
        TestWindow w;
        w.prompter.answerMessage(QMessageBox::Yes);
        w->recovery().offerRecovery();
        QVERIFY(w.prompter.last().text.endsWith("(old.csv). Restore it?"));
        QCOMPARE(w->document().fileKind(), FileKind::Comma);
        QCOMPARE(w->document().encoding(), TextEncoding::Windows1252);
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(readFile(file), QByteArray("Name,City\r\nZo\xeb,Malm\xf6 C\r\n"));
    }

    void aRunningCopyIsNotOffered() {
        auto other = std::make_unique<RecoveryStore>();
        QVERIFY(other->isUsable());
        QVERIFY(writeRecoverySnapshot(other->folder(), other->id(), tableOf({{"A"}, {"1"}}),
                                      {untitledPath(), FileKind::Native, {}, true}));
        {
            TestWindow w;
            w->recovery().offerRecovery();
            QVERIFY(w.prompter.asked().isEmpty());
        }
        other.reset();  // that copy ends without removing its snapshot, as a crash leaves it
        TestWindow w;
        w.prompter.answerMessage(QMessageBox::No);
        w.prompter.answerMessage(QMessageBox::No);
        w->recovery().offerRecovery();
        QCOMPARE(w.prompter.asked().size(), 2);
    }

    // A copy of the program adds records through the Drop Box and is killed outright: a copy
    // started while it runs is not offered its work, the next one restores every record.
    void aKilledCopyIsRestored() {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            const QString folder = home.filePath(QString::fromLatin1(name));
            QVERIFY(QDir().mkpath(folder));
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            env.insert(QString::fromLatin1(name), folder);
        }
        env.insert("XDG_DATA_HOME", settings_.dataFolder());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        const auto start = [&](const QStringList& args) {
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(env);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(PELLUMAR_RECOVERY_CHILD, args);
            return p;
        };
        const auto outputOf = [&](const QStringList& args) {
            auto p = start(args);
            if (!p->waitForFinished(180000) || p->exitCode() != 0) {
                return QStringList{QStringLiteral("failed")};
            }
            return QString::fromUtf8(p->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        };

        auto first = start({"drop", "3"});
        QString line;
        while (!line.startsWith("ready") && first->state() != QProcess::NotRunning) {
            first->waitForReadyRead(1000);
            while (first->canReadLine()) {
                line = QString::fromUtf8(first->readLine()).trimmed();
            }
        }
        QVERIFY2(line.startsWith("ready"), "the first copy did not keep its records");

        // The first copy is still running: its work is not offered.
        const QStringList second = outputOf({"offer"});
        QVERIFY2(!second.contains("failed"), "the second copy failed");
        QVERIFY(second.filter("asked:").isEmpty());

        first->kill();  // SIGKILL: no chance to clean up
        QVERIFY(first->waitForFinished(30000));
        QCOMPARE(first->exitStatus(), QProcess::CrashExit);

        const QStringList third = outputOf({"offer"});
        const QStringList asked = third.filter("asked:");
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].startsWith("asked: Pellumar found unsaved work from "));
        QVERIFY(asked[0].endsWith(" (Untitled). Restore it?"));
        QCOMPARE(third.filter("row:"),
                 (QStringList{"row: Name\tCity", "row: Person 1\tTown 1", "row: Person 2\tTown 2",
                              "row: Person 3\tTown 3"}));
        QVERIFY(third.contains("modified: 1"));
        QVERIFY(third.contains("title: Pellumar -- Untitled.plm"));

        // The restored work was not saved either: this copy is offered it again.
        TestWindow w;
        w.prompter.answerMessage(QMessageBox::Yes);
        w->recovery().offerRecovery();
        QCOMPARE(w.prompter.asked().size(), 1);
        QCOMPARE(w->document().recordCount(), 3);
        QCOMPARE(w->fa()->textMatrix(3, 0), QStringLiteral("Person 3"));
    }
};

QTEST_MAIN(TstRecovery)
#include "tst_recovery.moc"
