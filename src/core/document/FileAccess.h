// Reading and writing files for the file forms: opening with plain-worded errors, reading in
// chunks with progress and cancelling, buffered writing, and atomic saves.
#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "core/document/FileResult.h"

class QFile;

namespace pellumar::fileaccess {

// The file's name as errors show it: its path with the system's separators.
QString displayName(const QString& path);

// Errors worded for the user, each naming the file.
FileError damaged(const QString& name, const QString& why);   // "<name> is damaged: <why>."
FileError tooLarge(const QString& name, const QString& why);  // "<name> is too large: <why>."
FileError cancelled(const QString& name);
// A load that would need more memory than it may take: `needed` and `available` in bytes.
FileError notEnoughMemory(const QString& name, double needed, quint64 available);
// A load the system gave no memory for.
FileError outOfMemory(const QString& name);

// The memory a load may take: most of the memory the system has free now (0 where that cannot
// be told, and a load then takes what it gets).
quint64 memoryForLoads();
// "1.2 GB", "350 MB".
QString sizeText(double bytes);

// Opens `file` (whose name is set) for reading; nothing when it opened. Only regular files are
// opened: a pipe, a device or a socket could block the program or never end.
std::optional<FileError> openForReading(QFile& file);

// Reads a device from its current position in chunks, reporting progress every few MB.
class ByteSource {
public:
    ByteSource(QIODevice& device, const QString& name, const Progress& progress);

    // Reads up to `max` bytes; gives the count read, 0 at the end, -1 on a read error or when
    // the progress callback cancelled (error() says which).
    qint64 read(char* into, qint64 max);
    // Reports the end to the progress callback; false when it cancelled.
    bool finish();
    // The size the device announced at the start (its bytes from the current position on).
    qint64 total() const { return total_; }
    qint64 done() const { return done_; }
    const FileError& error() const { return *error_; }
    // Goes back to the position where reading started (for a second pass).
    bool rewind();
    // The next bytes, without taking them.
    QByteArray peek(qint64 n) { return device_.peek(n); }

private:
    QIODevice& device_;
    QString name_;
    Progress progress_;
    qint64 start_ = 0;
    qint64 total_ = 0;
    qint64 done_ = 0;
    qint64 reported_ = 0;
    std::optional<FileError> error_;
};

// Collects bytes and writes them to a device a megabyte at a time.
class ByteSink {
public:
    explicit ByteSink(QIODevice& device);

    // Room for at least `n` more bytes at the end of the buffer; advance() takes what was used.
    char* room(size_t n) {
        if (buffer_.size() - used_ < n) {
            makeRoom(n);
        }
        return buffer_.data() + used_;
    }
    void advance(size_t n) { used_ += n; }
    void put(const char* data, size_t n);
    void put(char c) {
        *room(1) = c;
        ++used_;
    }
    // Writes out what is buffered; false when the device refused (the sink stays failed).
    bool flush();
    bool failed() const { return failed_; }
    // The system's error code of the failed write (0 when it gave none).
    int systemError() const { return systemError_; }
    // Sees every byte as it leaves the buffer (the native file's check sum).
    std::function<void(const char*, size_t)> observer;

private:
    void makeRoom(size_t n);

    QIODevice& device_;
    std::vector<char> buffer_;
    size_t used_ = 0;
    bool failed_ = false;
    int systemError_ = 0;
};

// Writes a file through QSaveFile: `write` fills the device, and only when it succeeds and every
// byte it wrote is on the disk (flushed, synced and the file's size checked) is the file
// replaced, in one step; otherwise any old file stays whole. A save whose file will take at
// least `leastSize` bytes is refused before writing when its disk has less free.
Result<void> saveAtomically(const QString& path,
                            const std::function<Result<void>(QIODevice&, const QString&)>& write,
                            quint64 leastSize = 0);

// The error of a write to `name` that failed (a full disk, a device error). The reason is the
// device's, or taken from the system's error code `systemError` when the device gives none (or
// when the code says the disk is full).
FileError writeFailed(const QString& name, const QIODevice& device, int systemError = 0);

}  // namespace pellumar::fileaccess
