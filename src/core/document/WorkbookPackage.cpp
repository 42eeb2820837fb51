#include "core/document/WorkbookPackage.h"

#include <minizip/unzip.h>

#include <algorithm>

#include "core/document/FileAccess.h"
#include "core/document/ZipDevice.h"
#include "core/document/ZipWriter.h"

namespace pellumar::workbook {

namespace {

const QByteArray kZipMagic("PK\x03\x04", 4);
const QByteArray kOleMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// The stream names of an encrypted Office document, as they stand in an OLE directory (UTF-16).
QByteArray utf16(const char* ascii) {
    QByteArray out;
    for (const char* p = ascii; *p; ++p) {
        out += *p;
        out += '\0';
    }
    return out;
}

qint64 boundFor(qint64 compressed) {
    return std::min(kInflateMost, std::max(kInflateFloor, compressed * kInflateRatio));
}

}  // namespace

QString kindName(Kind kind) {
    return kind == Kind::Xlsx ? QStringLiteral("an Excel workbook (.xlsx)")
                              : QStringLiteral("an OpenDocument spreadsheet (.ods)");
}

Signature signatureOf(QIODevice& file) {
    const QByteArray head = file.peek(8);
    if (head.startsWith(kZipMagic)) {
        return Signature::Zip;
    }
    if (head != kOleMagic) {
        return Signature::Other;
    }
    // An OLE compound file: an encrypted workbook holds the stream "EncryptedPackage"; any other
    // is taken for an old binary workbook. The directory may lie anywhere, so the file is read
    // through (an old workbook is seldom more than a few hundred MB).
    const QByteArray needle = utf16("EncryptedPackage");
    const qint64 start = file.pos();
    QByteArray carry;
    Signature found = Signature::OldBinary;
    for (;;) {
        QByteArray piece = file.read(qint64{1} << 20);
        if (piece.isEmpty()) {
            break;
        }
        piece.prepend(carry);
        if (piece.contains(needle)) {
            found = Signature::Encrypted;
            break;
        }
        carry = piece.right(needle.size());
    }
    file.seek(start);
    return found;
}

PartDevice::PartDevice(Package& package, const QString& part, qint64 bound)
    : package_(package), part_(part), bound_(bound) {}

PartDevice::~PartDevice() {
    if (open_) {
        package_.closePart(*this);
    }
}

qint64 PartDevice::readData(char* data, qint64 maxSize) {
    if (failed_) {
        return -1;
    }
    if (ended_) {
        return 0;
    }
    if (maxSize <= 0) {
        return 0;
    }
    if (!open_) {
        failed_ = true;  // another part was opened since: the zip reads one at a time
        return -1;
    }
    const int got = unzReadCurrentFile(package_.zip_, data,
                                       static_cast<unsigned>(std::min<qint64>(maxSize, 1 << 30)));
    if (got < 0) {
        failed_ = true;
        package_.fail(
            package_.damaged(QStringLiteral("its part %1 cannot be inflated").arg(part_)));
        return -1;
    }
    inflated_ += got;
    if (inflated_ > bound_) {
        failed_ = true;
        package_.fail(fileaccess::tooLarge(
            package_.name(),
            bound_ >= kInflateMost
                ? QStringLiteral("its part %1 inflates to more than 4 GB").arg(part_)
                : QStringLiteral("its part %1 inflates to more than %2 times its compressed size")
                      .arg(part_)
                      .arg(kInflateRatio)));
        return -1;
    }
    if (got == 0) {
        // The end: closing the part compares its check sum.
        const int closed = unzCloseCurrentFile(package_.zip_);
        open_ = false;
        package_.reading_ = nullptr;
        if (closed != UNZ_OK) {
            failed_ = true;
            package_.fail(package_.damaged(
                QStringLiteral("its part %1 does not match its check sum").arg(part_)));
            return -1;
        }
        ended_ = true;
        return 0;
    }
    return got;
}

Package::~Package() {
    if (reading_) {
        reading_->open_ = false;
    }
    if (zip_) {
        unzClose(zip_);
    }
}

void Package::fail(FileError error) {
    if (!error_) {
        error_ = std::move(error);
    }
}

FileError Package::damaged(const QString& why) const {
    return fileaccess::damaged(name_, why);
}

FileError Package::notThisKind() const {
    return FileError{FileError::Reason::NotOurs,
                     QStringLiteral("Cannot open %1: it is not %2.").arg(name_, kindName(kind_))};
}

Result<std::unique_ptr<Package>> Package::open(const QString& path, Kind kind) {
    std::unique_ptr<Package> package(new Package);
    package->name_ = fileaccess::displayName(path);
    package->kind_ = kind;
    package->file_.setFileName(path);
    if (auto error = fileaccess::openForReading(package->file_)) {
        return *error;
    }
    switch (signatureOf(package->file_)) {
        case Signature::Zip:
            break;
        case Signature::Encrypted:
            return FileError{FileError::Reason::NotOurs,
                             QStringLiteral("Cannot open %1: the workbook is protected by a "
                                            "password. Remove the password in the spreadsheet "
                                            "program, save the workbook and open it again.")
                                 .arg(package->name_)};
        case Signature::OldBinary:
            return FileError{FileError::Reason::NotOurs,
                             QStringLiteral("Cannot open %1: it is an old binary Excel workbook "
                                            "(.xls). Save it as an Excel Workbook (.xlsx) in the "
                                            "spreadsheet program and open that.")
                                 .arg(package->name_)};
        case Signature::Other:
            return package->notThisKind();
    }
    package->device_ = std::make_unique<ZipDevice>(ZipDevice{&package->file_, 0});
    zlib_filefunc64_def functions = deviceFunctions(*package->device_);
    package->zip_ = unzOpen2_64("", &functions);
    if (!package->zip_) {
        return package->damaged(QStringLiteral("its zip container cannot be read"));
    }
    // Parts encrypted inside the zip, and an OpenDocument file encrypted with a password.
    bool encrypted = false;
    int listed = unzGoToFirstFile(package->zip_);
    while (listed == UNZ_OK) {
        unz_file_info64 info{};
        listed = unzGetCurrentFileInfo64(package->zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0);
        if (listed != UNZ_OK) {
            break;
        }
        encrypted |= (info.flag & 1) != 0;
        listed = unzGoToNextFile(package->zip_);
    }
    if (listed != UNZ_END_OF_LIST_OF_FILE) {
        return package->damaged(QStringLiteral("its zip directory cannot be read"));
    }
    if (!encrypted && kind == Kind::Ods) {
        const auto manifest = package->readAll(QStringLiteral("META-INF/manifest.xml"));
        if (!manifest) {
            return package->error();
        }
        encrypted = manifest->contains("encryption-data");
    }
    if (encrypted) {
        return FileError{FileError::Reason::NotOurs,
                         QStringLiteral("Cannot open %1: the workbook is protected by a password. "
                                        "Remove the password in the spreadsheet program, save the "
                                        "workbook and open it again.")
                             .arg(package->name_)};
    }
    return package;
}

bool Package::has(const QString& part) {
    return unzLocateFile(zip_, part.toUtf8().constData(), 1) == UNZ_OK;
}

QStringList Package::parts() {
    QStringList names;
    for (int listed = unzGoToFirstFile(zip_); listed == UNZ_OK; listed = unzGoToNextFile(zip_)) {
        char name[1024];
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip_, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
            UNZ_OK) {
            break;
        }
        names << QString::fromUtf8(name, static_cast<qsizetype>(qstrnlen(name, sizeof name)));
    }
    return names;
}

bool Package::openPart(PartDevice& device) {
    if (reading_) {
        unzCloseCurrentFile(zip_);
        reading_->open_ = false;
        reading_ = nullptr;
    }
    if (unzOpenCurrentFile(zip_) != UNZ_OK) {
        return false;
    }
    device.open_ = true;
    reading_ = &device;
    return true;
}

void Package::closePart(PartDevice& device) {
    unzCloseCurrentFile(zip_);
    device.open_ = false;
    reading_ = nullptr;
}

std::unique_ptr<PartDevice> Package::stream(const QString& part) {
    if (!has(part)) {
        fail(notThisKind());
        return nullptr;
    }
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        fail(damaged(QStringLiteral("its part %1 cannot be read").arg(part)));
        return nullptr;
    }
    const qint64 compressed =
        static_cast<qint64>(std::min<ZPOS64_T>(info.compressed_size, kInflateMost));
    const qint64 bound = boundFor(compressed);
    auto device = std::make_unique<PartDevice>(*this, part, bound);
    // A size of 0xFFFFFFFF stands for one given in the entry's zip64 field, which minizip does
    // not read back on 64-bit systems: the part announces 4 GB or more.
    device->announced_ =
        info.uncompressed_size == 0xFFFFFFFFu
            ? kInflateMost + 1
            : static_cast<qint64>(std::min<ZPOS64_T>(info.uncompressed_size, ZPOS64_T{1} << 62));
    if (device->announced_ > bound) {
        device->failed_ = true;
        device->inflated_ = device->announced_;
        fail(fileaccess::tooLarge(
            name_, bound >= kInflateMost
                       ? QStringLiteral("its part %1 inflates to more than 4 GB").arg(part)
                       : QStringLiteral("its part %1 inflates to more than %2 times its "
                                        "compressed size")
                             .arg(part)
                             .arg(kInflateRatio)));
        return nullptr;
    }
    if (!openPart(*device)) {
        fail(damaged(QStringLiteral("its part %1 cannot be read").arg(part)));
        return nullptr;
    }
    device->open(QIODevice::ReadOnly);
    return device;
}

std::optional<QByteArray> Package::readAll(const QString& part) {
    if (!has(part)) {
        return QByteArray();
    }
    auto device = stream(part);
    if (!device) {
        return std::nullopt;
    }
    // These parts are small in any real workbook; one inflating to hundreds of MB would only
    // take memory.
    const auto tooLarge = [&] {
        fail(fileaccess::tooLarge(name_, QStringLiteral("its part %1 holds more than %2 MB")
                                             .arg(part)
                                             .arg(kWholePartMost >> 20)));
        return std::nullopt;
    };
    if (device->announced() > kWholePartMost) {
        return tooLarge();
    }
    QByteArray all;
    char buffer[1 << 14];
    for (;;) {
        const qint64 got = device->read(buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        if (all.size() + got > kWholePartMost) {
            return tooLarge();
        }
        all.append(buffer, got);
    }
    if (failed()) {
        return std::nullopt;
    }
    return all;
}

Result<void> saveZipped(const QString& path, const std::function<bool(ZipWriter&)>& write) {
    return fileaccess::saveAtomically(path, [&](QIODevice& device, const QString& shown) {
        ZipWriter zip(device);
        if (zip.failed() || !write(zip) || !zip.close()) {
            return Result<void>(fileaccess::writeFailed(shown, device, zip.systemError()));
        }
        return Result<void>();
    });
}

}  // namespace pellumar::workbook
