#include "core/document/WorkbookPackage.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <algorithm>

#include "core/document/FileAccess.h"

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

PartDevice::~PartDevice() = default;

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
    const qint64 got = file_->read(data, maxSize);
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
        file_->close();
        if (file_->getZipError() != UNZ_OK) {
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

Package::~Package() = default;

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
    package->zip_ = std::make_unique<QuaZip>(&package->file_);
    if (!package->zip_->open(QuaZip::mdUnzip)) {
        return package->damaged(QStringLiteral("its zip container cannot be read"));
    }
    // Parts encrypted inside the zip, and an OpenDocument file encrypted with a password.
    const QList<QuaZipFileInfo64> entries = package->zip_->getFileInfoList64();
    if (package->zip_->getZipError() != UNZ_OK) {
        return package->damaged(QStringLiteral("its zip directory cannot be read"));
    }
    bool encrypted = false;
    for (const QuaZipFileInfo64& entry : entries) {
        encrypted |= entry.isEncrypted();
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
    return zip_->setCurrentFile(part);
}

std::unique_ptr<PartDevice> Package::stream(const QString& part) {
    if (!zip_->setCurrentFile(part)) {
        fail(notThisKind());
        return nullptr;
    }
    QuaZipFileInfo64 info;
    if (!zip_->getCurrentFileInfo(&info)) {
        fail(damaged(QStringLiteral("its part %1 cannot be read").arg(part)));
        return nullptr;
    }
    const qint64 bound = boundFor(static_cast<qint64>(info.compressedSize));
    auto device = std::make_unique<PartDevice>(*this, part, bound);
    device->announced_ = static_cast<qint64>(info.uncompressedSize);
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
    device->file_ = std::make_unique<QuaZipFile>(zip_.get());
    if (!device->file_->open(QIODevice::ReadOnly)) {
        fail(damaged(QStringLiteral("its part %1 cannot be read").arg(part)));
        return nullptr;
    }
    device->open(QIODevice::ReadOnly);
    return device;
}

std::optional<QByteArray> Package::readAll(const QString& part) {
    if (!zip_->setCurrentFile(part)) {
        return QByteArray();
    }
    auto device = stream(part);
    if (!device) {
        return std::nullopt;
    }
    QByteArray all;
    char buffer[1 << 14];
    for (;;) {
        const qint64 got = device->read(buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        all.append(buffer, got);
    }
    if (failed()) {
        return std::nullopt;
    }
    return all;
}

Result<void> saveZipped(const QString& path, const std::function<bool(QuaZip&)>& write) {
    return fileaccess::saveAtomically(path, [&](QIODevice& device, const QString& shown) {
        QuaZip zip(&device);
        zip.setAutoClose(false);  // the save commits the device
        if (!zip.open(QuaZip::mdCreate)) {
            return Result<void>(fileaccess::writeFailed(shown, device));
        }
        const bool written = write(zip);
        zip.close();
        if (!written || zip.getZipError() != 0) {
            return Result<void>(fileaccess::writeFailed(shown, device));
        }
        return Result<void>();
    });
}

}  // namespace pellumar::workbook
