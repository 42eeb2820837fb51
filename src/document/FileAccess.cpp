#include "document/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace pellumar::fileaccess {

namespace {

constexpr qint64 kProgressStep = qint64{4} << 20;
constexpr size_t kSinkStart = size_t{64} << 10;
constexpr size_t kSinkSize = size_t{1} << 20;

FileError makeError(FileError::Reason reason, const QString& text) {
    return FileError{reason, text};
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

std::optional<FileError> openForReading(QFile& file) {
    const QString name = displayName(file.fileName());
    const QFileInfo info(file.fileName());
    if (!info.exists()) {
        return makeError(FileError::Reason::Missing,
                         QStringLiteral("Cannot open %1: the file does not exist.").arg(name));
    }
    if (info.isDir()) {
        return makeError(FileError::Reason::NoAccess,
                         QStringLiteral("Cannot open %1: it is a folder, not a file.").arg(name));
    }
    if (file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    if (file.error() == QFileDevice::PermissionsError || !info.isReadable()) {
        return makeError(
            FileError::Reason::NoAccess,
            QStringLiteral("Cannot open %1: you do not have permission to read it.").arg(name));
    }
    return makeError(FileError::Reason::ReadFailed,
                     QStringLiteral("Cannot open %1: %2.").arg(name, file.errorString()));
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
        if (!failed_ && device_.write(data, static_cast<qint64>(n)) != static_cast<qint64>(n)) {
            failed_ = true;
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
        if (!failed_ && device_.write(buffer_.data(), static_cast<qint64>(used_)) !=
                            static_cast<qint64>(used_)) {
            failed_ = true;
        }
        used_ = 0;
    }
    return !failed_;
}

FileError writeFailed(const QString& name, const QIODevice& device) {
    return makeError(FileError::Reason::WriteFailed,
                     QStringLiteral("Cannot save %1: %2.").arg(name, device.errorString()));
}

Result<void> saveAtomically(const QString& path,
                            const std::function<Result<void>(QIODevice&, const QString&)>& write) {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (file.error() == QFileDevice::PermissionsError ||
            (info.exists() && !info.isWritable())) {
            return makeError(
                FileError::Reason::NoAccess,
                QStringLiteral("Cannot save %1: you do not have permission to write it.")
                    .arg(name));
        }
        return writeFailed(name, file);
    }
    Result<void> written = write(file, name);
    if (!written) {
        file.cancelWriting();
        return written;
    }
    if (!file.commit()) {
        return writeFailed(name, file);
    }
    return {};
}

}  // namespace pellumar::fileaccess
