#include "core/document/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pellumar::fileaccess {

namespace {

constexpr qint64 kProgressStep = qint64{4} << 20;
constexpr size_t kSinkStart = size_t{64} << 10;
constexpr size_t kSinkSize = size_t{1} << 20;

FileError makeError(FileError::Reason reason, const QString& text) {
    return FileError{reason, text};
}

// The system's error code of the call that just failed; a full disk is ENOSPC everywhere.
int lastSystemError() {
#ifdef Q_OS_WIN
    const DWORD code = GetLastError();
    if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) {
        return ENOSPC;
    }
    return 0;
#else
    return errno;
#endif
}

bool diskIsFull(int code) {
#ifdef EDQUOT
    if (code == EDQUOT) {
        return true;
    }
#endif
    return code == ENOSPC;
}

// The reason of a failed write as the system's error code tells it.
QString systemReason(int code) {
    if (diskIsFull(code)) {
        return QStringLiteral("the disk is full");
    }
    switch (code) {
        case EFBIG:
            return QStringLiteral("the file would be larger than the disk allows");
        case EROFS:
            return QStringLiteral("the disk is read-only");
        case EIO:
            return QStringLiteral("the disk could not be written");
        default:
            break;
    }
    QString text = QString::fromLocal8Bit(std::strerror(code));
    if (!text.isEmpty()) {
        text[0] = text[0].toLower();
    }
    return text;
}

// True when a device's error string says nothing (Qt's default text).
bool saysNothing(const QString& errorString) {
    return errorString.isEmpty() || errorString == u"Unknown error";
}

// A number from a line "Key:   1234 kB" of a /proc or /sys file, or -1.
qint64 numberAfter(const QByteArray& text, const QByteArray& key) {
    const qsizetype at = text.indexOf(key);
    if (at < 0) {
        return -1;
    }
    bool ok = false;
    const qint64 n = text.mid(at + key.size())
                         .trimmed()
                         .split(' ')
                         .value(0)
                         .split('\n')
                         .value(0)
                         .toLongLong(&ok);
    return ok ? n : -1;
}

QByteArray readSmallFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(1 << 16) : QByteArray();
}

// The device a save's writer fills: it passes every write on to the file and counts the bytes
// the file took, and once a write was refused (or taken only in part) it takes nothing more.
// So a writer that misses a failed write still cannot make the save succeed. A writer may go
// back in the file (a zip container fills in its headers' sizes after their data): the device
// seeks where the file does, and the count is the file's size, the furthest byte written.
class CountingDevice : public QIODevice {
public:
    explicit CountingDevice(QIODevice& target) : target_(target) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    qint64 written() const { return written_; }
    bool failed() const { return failed_; }
    int systemError() const { return systemError_; }

    bool isSequential() const override { return target_.isSequential(); }
    bool seek(qint64 pos) override {
        if (failed_ || !target_.seek(pos)) {
            return false;
        }
        return QIODevice::seek(pos);
    }
    qint64 size() const override { return written_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override {
        if (failed_) {
            errno = systemError_;
            return -1;
        }
        const qint64 at = target_.pos();
        errno = 0;
        const qint64 n = target_.write(data, len);
        if (n == len) {
            written_ = std::max(written_, at + n);
            return n;
        }
        const int code = lastSystemError();
        failed_ = true;
        // A write taken in part fails for the reason the next one would give: a full disk.
        systemError_ = code != 0 ? code : (n > 0 ? ENOSPC : 0);
        written_ = std::max(written_, at + std::max<qint64>(n, 0));
        setErrorString(target_.errorString());
        errno = systemError_;
        return -1;
    }

private:
    QIODevice& target_;
    qint64 written_ = 0;
    bool failed_ = false;
    int systemError_ = 0;
};

// Sizes of files on a disk: "350 bytes", "12 KB", "3 MB", "1.2 GB".
QString diskSizeText(double bytes) {
    if (bytes < 1024.0) {
        return QStringLiteral("%1 bytes").arg(QLocale::c().toString(bytes, 'f', 0));
    }
    if (bytes < 1024.0 * 1024.0) {
        return QStringLiteral("%1 KB").arg(QLocale::c().toString(bytes / 1024.0, 'f', 0));
    }
    return sizeText(bytes);
}

// The space a save into `folder` may take: what the disk has free for this user.
std::optional<qint64> freeSpace(const QString& folder) {
    const QStorageInfo storage(folder);
    if (!storage.isValid() || !storage.isReady()) {
        return std::nullopt;
    }
#ifndef Q_OS_WIN
    if (::geteuid() == 0) {
        return storage.bytesFree();  // the disk's reserve is the administrator's too
    }
#endif
    return storage.bytesAvailable();
}

// Makes sure the bytes written to `file` are on the disk, as many as were written. The reason
// when they are not.
std::optional<QString> settle(QSaveFile& file, const CountingDevice& counted) {
    if (counted.failed()) {
        return systemReason(counted.systemError() != 0 ? counted.systemError() : EIO);
    }
    errno = 0;
    if (!file.flush()) {
        return systemReason(lastSystemError() != 0 ? lastSystemError() : EIO);
    }
    const int fd = file.handle();
    if (fd < 0) {
        return std::nullopt;  // no system file to check (not a file on a disk)
    }
#ifdef Q_OS_WIN
    if (_commit(fd) != 0) {
        return systemReason(errno != 0 ? errno : EIO);
    }
    struct _stat64 status {};
    const bool known = _fstat64(fd, &status) == 0;
#else
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP && errno != EOPNOTSUPP) {
        return systemReason(errno);
    }
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
#endif
    if (known && static_cast<qint64>(status.st_size) != counted.written()) {
        return QStringLiteral("only %1 of its %2 bytes reached the disk")
            .arg(static_cast<qint64>(status.st_size))
            .arg(counted.written());
    }
    return std::nullopt;
}

// Puts the new name of a replaced file on the disk too (where the system can).
void syncFolder(const QString& folder) {
#ifndef Q_OS_WIN
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

}  // namespace

QString displayName(const QString& path) {
    return QDir::toNativeSeparators(path);
}

FileError damaged(const QString& name, const QString& why) {
    return makeError(FileError::Reason::Damaged,
                     QStringLiteral("%1 is damaged: %2.").arg(name, why));
}

FileError tooLarge(const QString& name, const QString& why) {
    return makeError(FileError::Reason::TooLarge,
                     QStringLiteral("%1 is too large to open: %2.").arg(name, why));
}

FileError cancelled(const QString& name) {
    return makeError(FileError::Reason::Cancelled,
                     QStringLiteral("Opening %1 was cancelled.").arg(name));
}

FileError notEnoughMemory(const QString& name, double needed, quint64 available) {
    return makeError(FileError::Reason::TooLarge,
                     QStringLiteral("%1 is too large to open: its table would need about %2 of "
                                    "memory, and only %3 is free.")
                         .arg(name, sizeText(needed), sizeText(static_cast<double>(available))));
}

FileError outOfMemory(const QString& name) {
    return makeError(
        FileError::Reason::NoMemory,
        QStringLiteral("Cannot open %1: there is not enough memory for its table.").arg(name));
}

QString sizeText(double bytes) {
    constexpr double kMb = 1024.0 * 1024.0;
    if (bytes >= 1024.0 * kMb) {
        return QStringLiteral("%1 GB").arg(QLocale::c().toString(bytes / (1024.0 * kMb), 'f', 1));
    }
    return QStringLiteral("%1 MB").arg(QLocale::c().toString(std::max(bytes / kMb, 1.0), 'f', 0));
}

quint64 memoryForLoads() {
    quint64 available = 0;
#ifdef Q_OS_WIN
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status)) {
        available = status.ullAvailPhys;
    }
#else
    const qint64 kb = numberAfter(readSmallFile(QStringLiteral("/proc/meminfo")), "MemAvailable:");
    if (kb >= 0) {
        available = static_cast<quint64>(kb) * 1024;
    }
#if defined(_SC_AVPHYS_PAGES) && defined(_SC_PAGESIZE)
    if (available == 0) {
        const long pages = sysconf(_SC_AVPHYS_PAGES);
        const long page = sysconf(_SC_PAGESIZE);
        if (pages > 0 && page > 0) {
            available = static_cast<quint64>(pages) * static_cast<quint64>(page);
        }
    }
#endif
    // A container's own limit (cgroup v2), when it has one.
    bool ok = false;
    const quint64 most =
        readSmallFile(QStringLiteral("/sys/fs/cgroup/memory.max")).trimmed().toULongLong(&ok);
    if (ok) {
        const quint64 current =
            readSmallFile(QStringLiteral("/sys/fs/cgroup/memory.current")).trimmed().toULongLong();
        const quint64 left = most > current ? most - current : 0;
        available = available == 0 ? left : std::min(available, left);
    }
#endif
    // Leave the rest of the program and the system some room.
    return available / 8 * 7;
}

namespace {

FileError notThere(const QString& name) {
    return makeError(FileError::Reason::Missing,
                     QStringLiteral("Cannot open %1: the file does not exist.").arg(name));
}

FileError aFolder(const QString& name) {
    return makeError(FileError::Reason::NoAccess,
                     QStringLiteral("Cannot open %1: it is a folder, not a file.").arg(name));
}

FileError notAFile(const QString& name) {
    return makeError(FileError::Reason::NoAccess,
                     QStringLiteral("Cannot open %1: it is not a file but a device, a pipe or "
                                    "a socket.")
                         .arg(name));
}

FileError mayNotRead(const QString& name) {
    return makeError(
        FileError::Reason::NoAccess,
        QStringLiteral("Cannot open %1: you do not have permission to read it.").arg(name));
}

}  // namespace

std::optional<FileError> openForReading(QFile& file) {
    const QString name = displayName(file.fileName());
#ifdef Q_OS_WIN
    const QFileInfo info(file.fileName());
    if (!info.exists()) {
        return notThere(name);
    }
    if (info.isDir()) {
        return aFolder(name);
    }
    if (!info.isFile()) {
        return notAFile(name);
    }
    if (file.open(QIODevice::ReadOnly)) {
        if (!file.isSequential()) {
            return std::nullopt;
        }
        file.close();  // replaced by a pipe or a device since it was looked at
        return notAFile(name);
    }
    if (file.error() == QFileDevice::PermissionsError || !info.isReadable()) {
        return mayNotRead(name);
    }
    return makeError(FileError::Reason::ReadFailed,
                     QStringLiteral("Cannot open %1: %2.").arg(name, file.errorString()));
#else
    // Opened without waiting (a pipe with no writer, a device) and then looked at: whatever the
    // name points to by now, what is read is what was checked.
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR) {
            return notThere(name);
        }
        if (code == EACCES || code == EPERM) {
            return mayNotRead(name);
        }
        return makeError(FileError::Reason::ReadFailed,
                         QStringLiteral("Cannot open %1: %2.").arg(name, systemReason(code)));
    }
    struct stat status {};
    std::optional<FileError> refused;
    if (::fstat(fd, &status) != 0) {
        refused = makeError(FileError::Reason::ReadFailed,
                            QStringLiteral("Cannot open %1: %2.").arg(name, systemReason(errno)));
    } else if (S_ISDIR(status.st_mode)) {
        refused = aFolder(name);
    } else if (!S_ISREG(status.st_mode)) {
        refused = notAFile(name);
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            refused =
                makeError(FileError::Reason::ReadFailed,
                          QStringLiteral("Cannot open %1: %2.").arg(name, systemReason(errno)));
        }
    }
    if (refused || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused
                   ? *refused
                   : makeError(FileError::Reason::ReadFailed,
                               QStringLiteral("Cannot open %1: %2.").arg(name, file.errorString()));
    }
    return std::nullopt;
#endif
}

ByteSource::ByteSource(QIODevice& device, const QString& name, const Progress& progress)
    : device_(device), name_(name), progress_(progress) {
    start_ = device.isSequential() ? 0 : device.pos();
    total_ = std::max<qint64>(0, device.size() - start_);
}

qint64 ByteSource::read(char* into, qint64 max) {
    if (error_) {
        return -1;
    }
    qint64 got = 0;
    while (got < max) {
        const qint64 n = device_.read(into + got, max - got);
        if (n < 0) {
            error_ =
                makeError(FileError::Reason::ReadFailed,
                          QStringLiteral("Cannot read %1: %2.").arg(name_, device_.errorString()));
            return -1;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    done_ += got;
    if (progress_ && done_ - reported_ >= kProgressStep) {
        reported_ = done_;
        if (!progress_(done_, std::max(total_, done_))) {
            error_ = cancelled(name_);
            return -1;
        }
    }
    return got;
}

bool ByteSource::finish() {
    if (progress_ && !progress_(done_, std::max(total_, done_))) {
        error_ = cancelled(name_);
        return false;
    }
    return true;
}

bool ByteSource::rewind() {
    if (device_.isSequential() || !device_.seek(start_)) {
        error_ = makeError(FileError::Reason::ReadFailed,
                           QStringLiteral("Cannot read %1 a second time.").arg(name_));
        return false;
    }
    done_ = 0;
    reported_ = 0;
    return true;
}

ByteSink::ByteSink(QIODevice& device) : device_(device), buffer_(kSinkStart) {}

void ByteSink::makeRoom(size_t n) {
    flush();
    // Small files need no big buffer; big ones get a megabyte.
    buffer_.resize(std::max({buffer_.size(), std::min(buffer_.size() * 4, kSinkSize), n}));
}

void ByteSink::put(const char* data, size_t n) {
    if (n == 0) {
        return;
    }
    if (n > kSinkSize) {
        flush();
        if (observer) {
            observer(data, n);
        }
        if (!failed_) {
            errno = 0;
            if (device_.write(data, static_cast<qint64>(n)) != static_cast<qint64>(n)) {
                failed_ = true;
                systemError_ = lastSystemError();
            }
        }
        return;
    }
    std::memcpy(room(n), data, n);
    used_ += n;
}

bool ByteSink::flush() {
    if (used_ > 0) {
        if (observer) {
            observer(buffer_.data(), used_);
        }
        if (!failed_) {
            errno = 0;
            if (device_.write(buffer_.data(), static_cast<qint64>(used_)) !=
                static_cast<qint64>(used_)) {
                failed_ = true;
                systemError_ = lastSystemError();
            }
        }
        used_ = 0;
    }
    return !failed_;
}

FileError writeFailed(const QString& name, const QIODevice& device, int systemError) {
    QString reason = device.errorString();
    if (diskIsFull(systemError) || (saysNothing(reason) && systemError != 0)) {
        reason = systemReason(systemError);
    }
    if (saysNothing(reason)) {
        reason = QStringLiteral("the system did not say why");
    }
    return makeError(FileError::Reason::WriteFailed,
                     QStringLiteral("Cannot save %1: %2.").arg(name, reason));
}

Result<void> saveAtomically(const QString& path,
                            const std::function<Result<void>(QIODevice&, const QString&)>& write,
                            quint64 leastSize) {
    const QString name = displayName(path);
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) {
        return makeError(FileError::Reason::Missing,
                         QStringLiteral("Cannot save %1: the folder does not exist.").arg(name));
    }
    if (info.isDir()) {
        return makeError(FileError::Reason::NoAccess,
                         QStringLiteral("Cannot save %1: it is a folder.").arg(name));
    }
    if (leastSize > 0) {
        const auto free = freeSpace(info.absolutePath());
        if (free && static_cast<quint64>(*free) < leastSize) {
            return makeError(FileError::Reason::WriteFailed,
                             QStringLiteral("Cannot save %1: it needs at least %2 of disk space, "
                                            "and the disk has %3 free.")
                                 .arg(name, diskSizeText(static_cast<double>(leastSize)),
                                      diskSizeText(static_cast<double>(*free))));
        }
    }
    QSaveFile file(path);
    // Unbuffered: the writers buffer for themselves, and a failure in a buffer of the file's
    // own would only come out when the file is closed, too late to be told.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (file.error() == QFileDevice::PermissionsError ||
            (info.exists() && !info.isWritable())) {
            return makeError(
                FileError::Reason::NoAccess,
                QStringLiteral("Cannot save %1: you do not have permission to write it.")
                    .arg(name));
        }
        return writeFailed(name, file, lastSystemError());
    }
    CountingDevice counted(file);
    Result<void> written = write(counted, name);
    if (!written) {
        file.cancelWriting();
        return written;
    }
    // The old file is replaced only by a new one that is whole on the disk.
    if (const auto failure = settle(file, counted)) {
        file.cancelWriting();
        return makeError(FileError::Reason::WriteFailed,
                         QStringLiteral("Cannot save %1: %2.").arg(name, *failure));
    }
    errno = 0;
    if (!file.commit()) {
        return writeFailed(name, file, lastSystemError());
    }
    syncFolder(info.absolutePath());
    return {};
}

}  // namespace pellumar::fileaccess
