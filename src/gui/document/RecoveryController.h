// Crash recovery: while the document has unsaved changes, a snapshot of it is kept in the user's
// data folder (RecoveryStore), taken as SnapshotSchedule says; at start-up the snapshots of
// copies of the program that no longer run are offered back.
//
// Taking a snapshot costs the window a frozen copy of the table (Table::snapshot), whatever its
// size; a thread of its own writes it. A save, New, Open or an exit with nothing left unsaved
// removes the snapshot.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <thread>

#include "core/document/SnapshotSchedule.h"

class QWidget;

namespace pellumar {

struct AbandonedWork;
class Document;
class FileController;
class Prompter;
class RecoveryStore;

class RecoveryController : public QObject {
    Q_OBJECT

public:
    // Milliseconds of a monotonic clock.
    using Clock = std::function<qint64()>;

    RecoveryController(Document& document, Prompter& prompter, QWidget& window,
                       FileController& files, std::unique_ptr<RecoveryStore> store,
                       QObject* parent = nullptr);
    // Waits for a snapshot being written.
    ~RecoveryController() override;

    // The start-up offer of the unsaved work of copies that no longer run, newest first: Yes
    // restores it (the others are kept for a later start); No asks whether to discard it for
    // good and keeps it unless the answer is Yes.
    void offerRecovery();
    // A record came from the Drop Box: a snapshot at once, as far as the interval allows.
    void formRecordAdded();
    // The program ends with nothing unsaved that the user wants kept: the snapshot goes.
    void programEnds();

    // The question's "<date and time>".
    static QString timeText(const QDateTime& time);

    // --- For tests and benchmarks ---------------------------------------------------------------
    RecoveryStore& store() const { return *store_; }
    const SnapshotSchedule& schedule() const { return schedule_; }
    void setClock(Clock clock);
    void setTimes(qint64 intervalMs, qint64 settleMs);
    // Takes the snapshot when one is due (the timer does this by itself).
    void runDue();
    // Takes a snapshot now: the frozen copy, handed to the writing thread. False when nothing is
    // unsaved, a snapshot is still being written or the store is not usable.
    bool takeSnapshot();
    bool isWriting() const { return writer_.joinable(); }
    // Waits until the snapshot being written is on disk, and takes in the outcome.
    void waitForWriter();
    int snapshotsTaken() const { return taken_; }

signals:
    // A snapshot was written (or failed to be).
    void snapshotWritten(bool ok);

private:
    qint64 now() const;
    void changed();
    void modifiedChanged(bool modified);
    void arm();
    void finishWrite(quint64 write);
    // Tells the user, once in the program's life, that unsaved work is not kept for recovery:
    // `why` is a sentence. The message comes from the event loop, never in the middle of an edit.
    void tellNotKept(const QString& why);
    // Asks about one snapshot; true when it was restored.
    bool offer(const AbandonedWork& work);

    Document& document_;
    Prompter& prompter_;
    QWidget& window_;
    FileController& files_;
    std::unique_ptr<RecoveryStore> store_;
    SnapshotSchedule schedule_;
    Clock clock_;
    QTimer timer_;
    QElapsedTimer monotonic_;
    std::thread writer_;
    quint64 writes_ = 0;           // snapshots handed to a writer so far
    bool writeOk_ = false;         // set by the writer, read once it is joined
    QString writeError_;           // set by the writer when it failed
    quint64 generation_ = 0;       // grows whenever the snapshot is removed
    quint64 writeGeneration_ = 0;  // the generation of the snapshot being written
    bool modified_ = false;
    bool ended_ = false;
    bool toldNotKept_ = false;
    int taken_ = 0;
};

}  // namespace pellumar
