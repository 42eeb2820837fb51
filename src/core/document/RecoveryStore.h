// The crash-recovery snapshots kept in the user's data folder.
//
// Each running copy of the program has a session of its own in the folder: `<id>.lock`, a lock
// held for the life of the copy (QLockFile, so a copy that died leaves a lock that the next one
// can take), `<id>.plm`, the last snapshot of its document as a native file, and `<id>.json`,
// the document's file name, kind and encoding. Both files are written atomically, the
// description first; the snapshot's time is the time its native file was written.
//
// At start-up a copy claims the sessions whose copy no longer runs (it takes their locks, so no
// other copy offers them at the same time) and then restores, discards or releases each.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <map>
#include <memory>

#include "core/document/Document.h"
#include "core/document/FileResult.h"
#include "core/document/TextFile.h"

class QLockFile;

namespace pellumar {

class Table;

// What a snapshot says about the document beside its table.
struct RecoveryInfo {
    QString file;  // the document's file
    FileKind kind = FileKind::Native;
    TextEncoding encoding = TextEncoding::Utf8;
    bool untitled = true;        // the file is a new document's default name
    bool firstLineData = false;  // a text file whose first line was read as a record

    bool operator==(const RecoveryInfo&) const = default;
};

// The snapshot of a copy that no longer runs.
struct AbandonedWork {
    QString id;
    QDateTime saved;  // when the snapshot was written
    RecoveryInfo info;
};

// Writes a session's snapshot: the description (unless it is already there) and then the table,
// each replacing its file in one step. It touches nothing but the two files, so it may run on any
// thread.
Result<void> writeRecoverySnapshot(const QString& folder, const QString& id, const Table& table,
                                   const RecoveryInfo& info);

class RecoveryStore {
public:
    // The folder every copy of the program keeps its snapshots in, under the user's data folder.
    static QString defaultFolder();

    // Opens the folder (made when missing) and starts this copy's session, locked. When that
    // fails the store is not usable and keeps nothing.
    explicit RecoveryStore(const QString& folder = defaultFolder());
    // Ends the session: its lock goes, any snapshot stays (remove() takes it away).
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    bool isUsable() const { return lock_ != nullptr; }
    // Why the store is not usable, in a sentence for the user ("" when it is).
    QString problem() const { return problem_; }
    QString folder() const { return folder_; }
    QString id() const { return id_; }
    QString snapshotPath() const { return pathOf(id_, u".plm"); }
    bool hasSnapshot() const;
    // Removes this session's snapshot and description.
    void remove();

    // Claims the snapshots of copies that no longer run, newest first. Their sessions stay
    // locked by this store until restore(), discard() or release(); leftovers of sessions
    // without a snapshot are cleared away.
    QList<AbandonedWork> claimAbandoned();
    // The claimed snapshot's table.
    Result<Table> load(const AbandonedWork& work) const;
    // Makes a claimed snapshot this session's own (after it was restored): its files become
    // this session's, and its lock goes. False when the files could not be moved; they are
    // then kept for a later start.
    bool adopt(const AbandonedWork& work);
    // Removes a claimed snapshot for good.
    void discard(const AbandonedWork& work);
    // Lets a claimed snapshot go, kept for a later start.
    void release(const AbandonedWork& work);

private:
    QString pathOf(const QString& id, QStringView suffix) const;
    void removeSessionFiles(const QString& id);

    QString folder_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
    QString problem_;
    std::map<QString, std::unique_ptr<QLockFile>> claimed_;
};

}  // namespace pellumar
