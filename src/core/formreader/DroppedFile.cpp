#include "core/formreader/DroppedFile.h"

#include "core/document/FileAccess.h"
#include "core/document/TextCodec.h"

#include <QFile>

#include <optional>
#include <string>
#include <string_view>

namespace pellumar::formreader {

namespace {

constexpr qint64 kChunk = qint64{64} << 10;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Finds the first item in the bytes of a file as they arrive, looking at each byte once.
class ItemScanner {
public:
    // True once the item is complete in `bytes` (the bytes so far; `atEnd` when that is all).
    bool advance(std::string_view bytes, bool atEnd) {
        const size_t size = bytes.size();
        if (phase_ == Phase::Leading) {
            if (!markChecked_) {
                if (size < 3 && !atEnd) {
                    return false;
                }
                markChecked_ = true;
                if (bytes.starts_with("\xEF\xBB\xBF")) {
                    pos_ = 3;
                    utf8Mark_ = true;
                }
            }
            while (pos_ < size && isBlank(bytes[pos_])) {
                ++pos_;
            }
            if (pos_ == size) {
                begin_ = end_ = pos_;
                return atEnd;
            }
            const bool quoted = bytes[pos_] == '"';
            phase_ = quoted ? Phase::Quoted : Phase::Plain;
            begin_ = quoted ? ++pos_ : pos_;
        }
        // An item that begins with a quote runs to the closing quote; any other to the first
        // comma or line end, without its trailing blanks.
        const size_t stop =
            phase_ == Phase::Quoted ? bytes.find('"', pos_) : bytes.find_first_of(",\r\n", pos_);
        if (stop == std::string_view::npos && !atEnd) {
            pos_ = size;
            return false;
        }
        end_ = stop == std::string_view::npos ? size : stop;
        if (phase_ == Phase::Plain) {
            while (end_ > begin_ && isBlank(bytes[end_ - 1])) {
                --end_;
            }
        }
        return true;
    }

    std::string_view item(std::string_view bytes) const {
        return bytes.substr(begin_, end_ - begin_);
    }
    bool utf8Mark() const { return utf8Mark_; }

private:
    enum class Phase { Leading, Quoted, Plain };
    Phase phase_ = Phase::Leading;
    size_t pos_ = 0;  // the next byte to look at
    size_t begin_ = 0;
    size_t end_ = 0;
    bool markChecked_ = false;
    bool utf8Mark_ = false;
};

// The text of a file's own bytes: UTF-8; UTF-8 with a few stray bytes of Windows-1252, which are
// read as such; or Windows-1252 through and through.
QString decode(std::string_view bytes, bool utf8Mark) {
    const textcodec::Utf8Census census = textcodec::countUtf8(bytes);
    if (census.invalid == 0) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    std::string utf8;
    if (utf8Mark || textcodec::isMixedUtf8(census)) {
        textcodec::appendMixedAsUtf8(bytes, utf8);
    } else {
        textcodec::appendWindows1252AsUtf8(bytes, utf8);
    }
    return QString::fromStdString(utf8);
}

}  // namespace

Result<QString> readFirstItem(const QString& path) {
    QFile file(path);
    if (auto error = fileaccess::openForReading(file)) {
        return *error;
    }
    const QString name = fileaccess::displayName(path);
    // A UTF-16 file is read as the UTF-8 it decodes to.
    std::optional<textcodec::Utf16Decoder> decoder;
    const QByteArray head = file.peek(2);
    if (head == QByteArrayLiteral("\xFF\xFE") || head == QByteArrayLiteral("\xFE\xFF")) {
        decoder.emplace(head[0] == '\xFE');
        file.read(2);
    }
    std::string data;
    QByteArray chunk;
    ItemScanner scanner;
    for (;;) {
        chunk = file.read(kChunk);
        if (chunk.isEmpty() && file.error() != QFileDevice::NoError) {
            return FileError{FileError::Reason::ReadFailed,
                             QStringLiteral("Cannot read %1: %2.").arg(name, file.errorString())};
        }
        const bool atEnd = chunk.isEmpty() || file.atEnd();
        const std::string_view piece(chunk.constData(), static_cast<size_t>(chunk.size()));
        if (decoder) {
            const size_t at = data.size();
            data.resize(at + textcodec::Utf16Decoder::maxOutput(piece.size()));
            data.resize(at + decoder->decode(piece, data.data() + at, atEnd));
        } else {
            data.append(piece);
        }
        if (scanner.advance(data, atEnd)) {
            const std::string_view item = scanner.item(data);
            return decoder ? QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()))
                           : decode(item, scanner.utf8Mark());
        }
        if (static_cast<qsizetype>(data.size()) > kMaxItemBytes) {
            return fileaccess::tooLarge(name, QStringLiteral("its first item is over 16 MB"));
        }
    }
}

}  // namespace pellumar::formreader
