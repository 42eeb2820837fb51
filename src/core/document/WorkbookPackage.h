// A workbook's zip container, opened for reading with its hazards checked: a file that is not a
// zip (an old binary .xls, a workbook encrypted with a password, anything else), a damaged zip,
// parts encrypted in the zip, and parts that inflate beyond 200 times their compressed size
// (parts under 1 MB excepted) or beyond 4 GB, which are refused before and while they are read.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "core/document/FileResult.h"

namespace pellumar::workbook {

class ZipWriter;
struct ZipDevice;

enum class Kind { Xlsx, Ods };

// "an Excel workbook (.xlsx)" or "an OpenDocument spreadsheet (.ods)".
QString kindName(Kind kind);

constexpr qint64 kInflateRatio = 200;
constexpr qint64 kInflateFloor = qint64{1} << 20;
constexpr qint64 kInflateMost = qint64{4} << 30;
// The most a part read whole (the lists of sheets, relations, styles) may hold.
constexpr qint64 kWholePartMost = qint64{32} << 20;

class Package;

// One part being read: a sequential device that gives up (with the package's error set) when
// the part inflates past its bound or the zip is damaged.
class PartDevice : public QIODevice {
public:
    PartDevice(Package& package, const QString& part, qint64 bound);
    ~PartDevice() override;
    bool isSequential() const override { return true; }
    // More is to come until the part's end: a reader must not take a pause for the end.
    bool atEnd() const override { return (ended_ || failed_) && QIODevice::bytesAvailable() == 0; }
    qint64 bytesAvailable() const override {
        return QIODevice::bytesAvailable() +
               (ended_ || failed_ ? 0 : std::max<qint64>(announced_ - inflated_, 1));
    }
    // The bytes inflated so far and the size the zip announces.
    qint64 inflated() const { return inflated_; }
    qint64 announced() const { return announced_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    friend class Package;
    Package& package_;
    QString part_;
    bool open_ = false;  // the zip's current part is this one's, open for reading
    qint64 bound_ = 0;
    qint64 announced_ = 0;
    qint64 inflated_ = 0;
    bool failed_ = false;
    bool ended_ = false;
};

class Package {
public:
    ~Package();

    // Opens `path` as a workbook of `kind`; `name` is its name in messages.
    static Result<std::unique_ptr<Package>> open(const QString& path, Kind kind);

    const QString& name() const { return name_; }
    Kind kind() const { return kind_; }
    bool has(const QString& part);
    // The names of the parts, as the zip's directory lists them.
    QStringList parts();
    // A whole part (the small ones: lists of sheets, relations, styles); nothing, with error()
    // set, when it cannot be read; an empty array for a part that is not there.
    // A part of more than kWholePartMost is refused as too large.
    std::optional<QByteArray> readAll(const QString& part);
    // A part to stream; nothing, with error() set, when it cannot be opened.
    std::unique_ptr<PartDevice> stream(const QString& part);

    // The error of the last failure, and setting one (the first one set stays).
    bool failed() const { return error_.has_value(); }
    const FileError& error() const { return *error_; }
    void fail(FileError error);

    // Errors worded for the user.
    FileError damaged(const QString& why) const;
    FileError notThisKind() const;

private:
    Package() = default;
    friend class PartDevice;

    // The part open for reading: one at a time, as minizip reads one at a time.
    bool openPart(PartDevice& device);
    void closePart(PartDevice& device);

    QString name_;
    Kind kind_ = Kind::Xlsx;
    QFile file_;
    std::unique_ptr<ZipDevice> device_;  // file_ as minizip's file
    void* zip_ = nullptr;                // minizip's unzFile over it
    PartDevice* reading_ = nullptr;
    std::optional<FileError> error_;
};

// What the first bytes of a file say: a zip, an OLE compound file (an encrypted workbook or an
// old .xls), or something else. `head` is the file's start, `file` to look further in an OLE one.
enum class Signature { Zip, Encrypted, OldBinary, Other };
Signature signatureOf(QIODevice& file);

// Saves a zip container at `path` through the atomic save: `write` fills the zip, and the file
// is replaced only when it and the zip's closing both succeed.
Result<void> saveZipped(const QString& path, const std::function<bool(ZipWriter&)>& write);

}  // namespace pellumar::workbook
