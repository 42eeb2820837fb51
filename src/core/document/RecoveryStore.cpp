#include "core/document/RecoveryStore.h"

#include "core/document/FileAccess.h"
#include "core/document/NativeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>
#include <set>

namespace pellumar {

namespace {

constexpr qint64 kMaxInfoBytes = 1 << 20;

QString encodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8Bom:
            return QStringLiteral("utf-8-bom");
        case TextEncoding::Windows1252:
            return QStringLiteral("windows-1252");
        case TextEncoding::Utf16LeBom:
            return QStringLiteral("utf-16le-bom");
        case TextEncoding::Utf16BeBom:
            return QStringLiteral("utf-16be-bom");
        case TextEncoding::Utf16Le:
            return QStringLiteral("utf-16le");
        case TextEncoding::Utf16Be:
            return QStringLiteral("utf-16be");
        case TextEncoding::Utf8:
            break;
    }
    return QStringLiteral("utf-8");
}

TextEncoding encodingOf(const QString& name) {
    if (name == u"utf-8-bom") {
        return TextEncoding::Utf8Bom;
    }
    if (name == u"windows-1252") {
        return TextEncoding::Windows1252;
    }
    if (name == u"utf-16le-bom") {
        return TextEncoding::Utf16LeBom;
    }
    if (name == u"utf-16be-bom") {
        return TextEncoding::Utf16BeBom;
    }
    if (name == u"utf-16le") {
        return TextEncoding::Utf16Le;
    }
    if (name == u"utf-16be") {
        return TextEncoding::Utf16Be;
    }
    return TextEncoding::Utf8;
}

QByteArray infoBytes(const RecoveryInfo& info) {
    QJsonObject o;
    o.insert(QStringLiteral("file"), info.file);
    o.insert(QStringLiteral("kind"), static_cast<int>(info.kind));
    o.insert(QStringLiteral("encoding"), encodingName(info.encoding));
    o.insert(QStringLiteral("untitled"), info.untitled);
    o.insert(QStringLiteral("firstLineData"), info.firstLineData);
    return QJsonDocument(o).toJson();
}

// The description of a snapshot; an unreadable one describes an untitled native document.
RecoveryInfo readInfo(const QString& path) {
    RecoveryInfo info;
    QFile f(path);
    if (fileaccess::openForReading(f) || f.size() > kMaxInfoBytes) {
        return info;
    }
    const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
    const int kind = o.value(QStringLiteral("kind")).toInt();
    const QString file = o.value(QStringLiteral("file")).toString();
    if (file.isEmpty() || kind < static_cast<int>(FileKind::Native) ||
        kind > static_cast<int>(FileKind::Ods)) {
        return info;
    }
    info.file = file;
    info.kind = static_cast<FileKind>(kind);
    info.encoding = encodingOf(o.value(QStringLiteral("encoding")).toString());
    info.untitled = o.value(QStringLiteral("untitled")).toBool();
    info.firstLineData = (info.kind == FileKind::Comma || info.kind == FileKind::Tab) &&
                         o.value(QStringLiteral("firstLineData")).toBool();
    return info;
}

QString sessionPath(const QString& folder, const QString& id, QStringView suffix) {
    QString path = folder + u'/' + id;
    path.append(suffix);
    return path;
}

std::unique_ptr<QLockFile> sessionLock(const QString& folder, const QString& id) {
    auto lock = std::make_unique<QLockFile>(sessionPath(folder, id, u".lock"));
    // Only a copy that no longer runs leaves a stale lock, however old the lock is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        return nullptr;
    }
    return lock;
}

}  // namespace

Result<void> writeRecoverySnapshot(const QString& folder, const QString& id, const Table& table,
                                   const RecoveryInfo& info) {
    const QString infoPath = sessionPath(folder, id, u".json");
    const QByteArray bytes = infoBytes(info);
    QFile old(infoPath);
    const bool current =
        !fileaccess::openForReading(old) && old.size() == bytes.size() && old.readAll() == bytes;
    old.close();
    if (!current) {
        auto written =
            fileaccess::saveAtomically(infoPath, [&](QIODevice& device, const QString& name) {
                if (device.write(bytes) != bytes.size()) {
                    return Result<void>(fileaccess::writeFailed(name, device));
                }
                return Result<void>();
            });
        if (!written) {
            return written;
        }
    }
    return saveNative(table, sessionPath(folder, id, u".plm"));
}

QString RecoveryStore::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/recovery");
}

RecoveryStore::RecoveryStore(const QString& folder)
    : folder_(QDir::cleanPath(folder)), id_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    const QString name = QDir::toNativeSeparators(folder_);
    if (folder_.isEmpty()) {
        problem_ = QStringLiteral("The system names no folder for the user's data.");
        return;
    }
    if (!QDir().mkpath(folder_)) {
        problem_ = QStringLiteral("Pellumar cannot make the folder %1.").arg(name);
        return;
    }
    // The snapshots hold the user's records: the folder is the user's alone.
    QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    lock_ = sessionLock(folder_, id_);
    if (!lock_) {
        // The system's reason, from a file of our own made there.
        QFile probe(pathOf(id_, u".probe"));
        QString why = QStringLiteral("it cannot be written");
        if (!probe.open(QIODevice::WriteOnly)) {
            why = probe.errorString();
            if (!why.isEmpty()) {
                why[0] = why[0].toLower();
            }
        }
        probe.remove();
        problem_ = QStringLiteral("Pellumar cannot write in the folder %1: %2.").arg(name, why);
    }
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::pathOf(const QString& id, QStringView suffix) const {
    return sessionPath(folder_, id, suffix);
}

bool RecoveryStore::hasSnapshot() const {
    return isUsable() && QFileInfo::exists(snapshotPath());
}

void RecoveryStore::removeSessionFiles(const QString& id) {
    // The snapshot, its description and what an interrupted write left of either.
    const QStringList names = QDir(folder_).entryList(
        {id + QStringLiteral(".plm*"), id + QStringLiteral(".json*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        QFile::remove(folder_ + u'/' + name);
    }
}

void RecoveryStore::remove() {
    if (isUsable()) {
        removeSessionFiles(id_);
    }
}

QList<AbandonedWork> RecoveryStore::claimAbandoned() {
    QList<AbandonedWork> found;
    if (!isUsable()) {
        return found;
    }
    std::set<QString> ids;
    for (const QString& name : QDir(folder_).entryList(QDir::Files | QDir::Hidden)) {
        const QString id = name.section(u'.', 0, 0);
        if (!id.isEmpty() && id != id_ && !claimed_.contains(id)) {
            ids.insert(id);
        }
    }
    for (const QString& id : ids) {
        auto lock = sessionLock(folder_, id);
        if (!lock) {
            continue;  // that copy is still running
        }
        const QFileInfo snapshot(pathOf(id, u".plm"));
        if (!snapshot.isFile()) {
            removeSessionFiles(id);  // a copy that died before its first snapshot
            continue;
        }
        found.push_back({id, snapshot.lastModified(), readInfo(pathOf(id, u".json"))});
        claimed_[id] = std::move(lock);
    }
    std::stable_sort(
        found.begin(), found.end(),
        [](const AbandonedWork& a, const AbandonedWork& b) { return a.saved > b.saved; });
    return found;
}

Result<Table> RecoveryStore::load(const AbandonedWork& work) const {
    return loadNative(pathOf(work.id, u".plm"));
}

bool RecoveryStore::adopt(const AbandonedWork& work) {
    if (!isUsable() || !claimed_.contains(work.id)) {
        return false;
    }
    removeSessionFiles(id_);
    if (!QFile::rename(pathOf(work.id, u".plm"), snapshotPath())) {
        release(work);
        return false;
    }
    QFile::rename(pathOf(work.id, u".json"), pathOf(id_, u".json"));
    discard(work);  // what is left of it
    return true;
}

void RecoveryStore::discard(const AbandonedWork& work) {
    if (claimed_.contains(work.id)) {
        removeSessionFiles(work.id);
        release(work);
    }
}

void RecoveryStore::release(const AbandonedWork& work) {
    claimed_.erase(work.id);  // unlocking removes the lock file
}

}  // namespace pellumar
