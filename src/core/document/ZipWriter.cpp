#include "core/document/ZipWriter.h"

#include <QDateTime>

#include <minizip/zip.h>

#include <algorithm>

#include "core/document/ZipDevice.h"

namespace pellumar::workbook {

namespace {

constexpr uLong kMadeOnUnix = (3u << 8) | 20u;  // the file attributes are Unix modes
constexpr uLong kUtf8Name = 1u << 11;

}  // namespace

ZipWriter::ZipWriter(QIODevice& device, int level)
    : file_(std::make_unique<ZipDevice>(ZipDevice{&device, 0})), level_(level) {
    zlib_filefunc64_def functions = deviceFunctions(*file_);
    zip_ = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &functions);
    failed_ = zip_ == nullptr;
}

ZipWriter::~ZipWriter() {
    if (zip_) {
        // Nothing more is written: the device is being given up by its owner.
        if (inEntry_) {
            zipCloseFileInZip(zip_);
        }
        zipClose(zip_, nullptr);
    }
}

bool ZipWriter::openEntry(const QString& name, bool deflate) {
    if (failed_ || (inEntry_ && !closeEntry())) {
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    zip_fileinfo info{};
    info.tmz_date.tm_sec = static_cast<uInt>(now.time().second());
    info.tmz_date.tm_min = static_cast<uInt>(now.time().minute());
    info.tmz_date.tm_hour = static_cast<uInt>(now.time().hour());
    info.tmz_date.tm_mday = static_cast<uInt>(now.date().day());
    info.tmz_date.tm_mon = static_cast<uInt>(now.date().month() - 1);
    info.tmz_date.tm_year = static_cast<uInt>(now.date().year());
    info.external_fa = 0100644u << 16;  // a plain file, readable by all
    const QByteArray utf8 = name.toUtf8();
    if (zipOpenNewFileInZip4_64(zip_, utf8.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                deflate ? Z_DEFLATED : 0, deflate ? level_ : 0, 0, -MAX_WBITS,
                                DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, kMadeOnUnix,
                                kUtf8Name, 0) != ZIP_OK) {
        failed_ = true;
        return false;
    }
    inEntry_ = true;
    return true;
}

bool ZipWriter::write(const char* data, qint64 size) {
    if (failed_ || !inEntry_) {
        failed_ = true;
        return false;
    }
    while (size > 0) {
        const auto piece = static_cast<unsigned>(std::min<qint64>(size, qint64{1} << 30));
        if (zipWriteInFileInZip(zip_, data, piece) != ZIP_OK) {
            failed_ = true;
            return false;
        }
        data += piece;
        size -= piece;
    }
    return true;
}

bool ZipWriter::closeEntry() {
    if (!inEntry_) {
        return !failed_;
    }
    inEntry_ = false;
    if (zipCloseFileInZip(zip_) != ZIP_OK) {
        failed_ = true;
    }
    return !failed_;
}

bool ZipWriter::add(const QString& name, const QByteArray& bytes, bool deflate) {
    return openEntry(name, deflate) && write(bytes) && closeEntry();
}

int ZipWriter::systemError() const {
    return file_->systemError;
}

bool ZipWriter::close() {
    if (!zip_) {
        return false;
    }
    closeEntry();
    if (zipClose(zip_, nullptr) != ZIP_OK) {
        failed_ = true;
    }
    zip_ = nullptr;
    return !failed_;
}

}  // namespace pellumar::workbook
