#include "formreader/DroppedFile.h"

#include "document/FileAccess.h"
#include "document/TextCodec.h"

#include <QFile>

#include <string>
#include <string_view>

namespace pellumar::formreader {

namespace {

constexpr qint64 kChunk = qint64{64} << 10;

// Where the first item lies in `bytes`, once it is known to be complete.
struct ItemScan {
    qsizetype begin = 0;
    qsizetype end = 0;
    bool complete = false;
};

ItemScan scanFirstItem(std::string_view bytes, bool atEnd) {
    ItemScan scan;
    const auto size = static_cast<qsizetype>(bytes.size());
    qsizetype i = 0;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        i = 3;
    }
    while (i < size &&
           (bytes[static_cast<size_t>(i)] == ' ' || bytes[static_cast<size_t>(i)] == '\t')) {
        ++i;
    }
    if (i == size) {
        scan.begin = scan.end = i;
        scan.complete = atEnd;
        return scan;
    }
    if (bytes[static_cast<size_t>(i)] == '"') {
        scan.begin = i + 1;
        const size_t close = bytes.find('"', static_cast<size_t>(scan.begin));
        scan.complete = close != std::string_view::npos || atEnd;
        scan.end = close != std::string_view::npos ? static_cast<qsizetype>(close) : size;
        return scan;
    }
    scan.begin = i;
    const size_t stop = bytes.find_first_of(",\r\n", static_cast<size_t>(i));
    scan.complete = stop != std::string_view::npos || atEnd;
    scan.end = stop != std::string_view::npos ? static_cast<qsizetype>(stop) : size;
    while (scan.end > scan.begin && (bytes[static_cast<size_t>(scan.end - 1)] == ' ' ||
                                     bytes[static_cast<size_t>(scan.end - 1)] == '\t')) {
        --scan.end;
    }
    return scan;
}

QString decode(std::string_view bytes) {
    if (textcodec::isValidUtf8(bytes)) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    std::string utf8;
    textcodec::appendWindows1252AsUtf8(bytes, utf8);
    return QString::fromStdString(utf8);
}

}  // namespace

Result<QString> readFirstItem(const QString& path) {
    QFile file(path);
    if (auto error = fileaccess::openForReading(file)) {
        return *error;
    }
    const QString name = fileaccess::displayName(path);
    QByteArray data;
    for (;;) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty() && file.error() != QFileDevice::NoError) {
            return FileError{FileError::Reason::ReadFailed,
                             QStringLiteral("Cannot read %1: %2.").arg(name, file.errorString())};
        }
        data.append(chunk);
        const bool atEnd = chunk.isEmpty() || file.atEnd();
        const std::string_view bytes(data.constData(), static_cast<size_t>(data.size()));
        const ItemScan scan = scanFirstItem(bytes, atEnd);
        if (scan.complete) {
            return decode(bytes.substr(static_cast<size_t>(scan.begin),
                                       static_cast<size_t>(scan.end - scan.begin)));
        }
        if (data.size() > kMaxItemBytes) {
            return fileaccess::tooLarge(name, QStringLiteral("its first item is over 16 MB"));
        }
    }
}

}  // namespace pellumar::formreader
