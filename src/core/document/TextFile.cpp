#include "core/document/TextFile.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "core/document/FileAccess.h"
#include "core/document/TextCodec.h"
#include "core/document/TextFileCommon.h"

namespace pellumar {

namespace {

using namespace fileaccess;
using namespace textfile;

constexpr size_t kChunk = size_t{2} << 20;
constexpr qint64 kUtf16Sample = 4096;  // the first bytes that tell UTF-16 without a mark
constexpr size_t kSlack = 16;          // spare bytes after the data for the eight-byte field scan
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kCrBytes = kOnes * '\r';
constexpr uint64_t kLfBytes = kOnes * '\n';

// A field of the record being parsed: either bytes of the read buffer or, when it had to be
// rewritten (doubled quotes), bytes of the scratch text.
struct FieldRef {
    const char* ptr;
    size_t len;
    size_t off;
    bool copied;
};

// A byte buffer whose new room is not cleared, so that room not read into yet takes no memory,
// and whose large blocks grow in place where the system can.
class ReadBuffer {
public:
    ReadBuffer() = default;
    ReadBuffer(const ReadBuffer&) = delete;
    ReadBuffer& operator=(const ReadBuffer&) = delete;
    ~ReadBuffer() { std::free(data_); }

    char* data() { return data_; }
    size_t size() const { return size_; }
    void grow(size_t size) {
        if (size <= size_) {
            return;
        }
        auto* grown = static_cast<char*>(std::realloc(data_, size));
        if (!grown) {
            throw std::bad_alloc();
        }
        data_ = grown;
        size_ = size;
    }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
};

class DelimitedReader {
public:
    DelimitedReader(QIODevice& device, const QString& name, char sep, const Progress& progress,
                    quint64 memoryLimit)
        : source_(device, name, progress),
          name_(name),
          sep_(sep),
          sepBytes_(kOnes * static_cast<unsigned char>(sep)),
          limit_(memoryLimit) {}

    Result<TextLoad> run() {
        const QByteArray head = source_.peek(2);
        if (head == QByteArrayLiteral("\xFF\xFE") || head == QByteArrayLiteral("\xFE\xFF")) {
            bigEndian_ = head[0] == '\xFE';
            utf16Mark_ = true;
            decoder_.emplace(bigEndian_);
        } else {
            const QByteArray first = source_.peek(kUtf16Sample);
            if (const auto order = textcodec::utf16WithoutMark(
                    std::string_view(first.constData(), static_cast<size_t>(first.size())))) {
                bigEndian_ = *order;
                decoder_.emplace(bigEndian_);
            }
        }
        if (!restart(false)) {
            return source_.error();
        }
        freshTable();
        Bytes bytes = Bytes::Utf8;
        Pass pass = readAll(bytes);
        if (pass == Pass::NotUtf8) {
            // Start again from the top: as UTF-8 with a few stray bytes of the older code page,
            // or as that code page through and through.
            bytes = Bytes::Mixed;
            if (!bom_) {
                const auto census = countAll();
                if (!census) {
                    return *error_;
                }
                bytes = textcodec::isMixedUtf8(*census) ? Bytes::Mixed : Bytes::Windows1252;
            }
            if (!restart(true)) {
                return source_.error();
            }
            freshTable();
            pass = readAll(bytes);
        }
        if (pass == Pass::Failed) {
            return *error_;
        }
        QStringList warnings;
        if (bytes == Bytes::Mixed) {
            warnings << QStringLiteral(
                            "%1 mixes UTF-8 with another encoding: the characters "
                            "that are not UTF-8 were read as Windows-1252, and the "
                            "file will be saved as UTF-8.")
                            .arg(name_);
        }
        if (decoder_ && decoder_->oddByte() >= 0) {
            const QString byte =
                QStringLiteral("%1").arg(decoder_->oddByte(), 2, 16, QChar(u'0')).toUpper();
            warnings << QStringLiteral(
                            "%1 ends in a stray byte (0x%2), half of a UTF-16 "
                            "character: it was read as the character \uFFFD.")
                            .arg(name_, byte);
        }
        if (!decoder_ && sawNul_) {
            warnings << QStringLiteral(
                            "%1 holds NUL bytes and does not look like text: it was "
                            "read as text all the same.")
                            .arg(name_);
        }
        if (unclosedQuote_) {
            const qint64 line = lineOf(*unclosedQuote_);
            warnings << (line > 0 ? QStringLiteral("%1 ends inside a quoted field: the quote that "
                                                   "opens it on line %2 is never closed, so the "
                                                   "rest of the file is in one cell.")
                                        .arg(name_, groupedNumber(line))
                                  : QStringLiteral("%1 ends inside a quoted field: its opening "
                                                   "quote is never closed, so the rest of the "
                                                   "file is in one cell.")
                                        .arg(name_));
        }
        if (!source_.finish()) {
            return source_.error();
        }
        table_.clearStorageLimit();
        table_.squeeze();
        return TextLoad{std::move(table_), encoding_, std::move(warnings)};
    }

private:
    enum class Pass { Done, NotUtf8, Failed };
    // How the bytes of a file that is not UTF-16 are read.
    enum class Bytes { Utf8, Mixed, Windows1252 };

    Pass fail(FileError error) {
        error_ = std::move(error);
        return Pass::Failed;
    }

    // Goes (back) to the start of the text, past a UTF-16 byte-order mark.
    bool restart(bool again) {
        if (again && !source_.rewind()) {
            return false;
        }
        if (decoder_) {
            char mark[2];
            if (utf16Mark_ && source_.read(mark, 2) != 2) {
                return false;
            }
            decoder_.emplace(bigEndian_);
        }
        atEnd_ = false;
        return true;
    }

    // An empty table to load into.
    void freshTable() {
        table_ = Table();
        if (limit_ > 0) {
            table_.setStorageLimit(limit_);
        }
    }

    // Reads up to `want` bytes of text (UTF-8, or the file's own bytes) at `into`; -1 on an
    // error. atEnd_ tells whether the text has ended.
    qint64 fill(char* into, size_t want) {
        if (!decoder_) {
            const qint64 got = source_.read(into, static_cast<qint64>(want));
            atEnd_ = got >= 0 && static_cast<size_t>(got) < want;
            sawNul_ = sawNul_ || (got > 0 && std::memchr(into, 0, static_cast<size_t>(got)));
            return got;
        }
        size_t produced = 0;
        while (!atEnd_) {
            const size_t room = want - produced;
            const size_t raw = std::min(kChunk, room / 3 * 2 - 16);
            if (room < 64) {
                break;
            }
            raw_.resize(std::max(raw_.size(), raw));
            const qint64 got = source_.read(raw_.data(), static_cast<qint64>(raw));
            if (got < 0) {
                return -1;
            }
            atEnd_ = static_cast<size_t>(got) < raw;
            produced += decoder_->decode(std::string_view(raw_.data(), static_cast<size_t>(got)),
                                         into + produced, atEnd_);
        }
        return static_cast<qint64>(produced);
    }

    Pass readAll(Bytes bytes) {
        bytes_ = bytes;
        const TextEncoding utf16 =
            utf16Mark_ ? (bigEndian_ ? TextEncoding::Utf16BeBom : TextEncoding::Utf16LeBom)
                       : (bigEndian_ ? TextEncoding::Utf16Be : TextEncoding::Utf16Le);
        encoding_ = decoder_                      ? utf16
                    : bytes == Bytes::Windows1252 ? TextEncoding::Windows1252
                                                  : TextEncoding::Utf8;
        const size_t chunk = static_cast<size_t>(
            std::clamp<qint64>(source_.total() + 1, 4096, static_cast<qint64>(kChunk)));
        buf_.grow(chunk + kSlack);
        size_t begin = 0;
        size_t end = 0;
        bool first = true;
        bufferStart_ = 0;
        for (;;) {
            if (begin > 0) {
                std::memmove(buf_.data(), buf_.data() + begin, end - begin);
                bufferStart_ += begin;
                end -= begin;
                begin = 0;
            }
            // A record longer than a chunk is read in steps that grow by half, so that parsing
            // it again from its start each time stays linear.
            const size_t want = std::max(chunk, end / 2);
            if (buf_.size() < end + want + kSlack) {
                const size_t grown = end + want + kSlack;
                parsed_ = bufferStart_;
                if (limit_ > 0 && grown + table_.storageBytes() > limit_) {
                    return fail(overMemory(grown + table_.storageBytes()));
                }
                buf_.grow(grown);
            }
            const qint64 got = fill(buf_.data() + end, want);
            if (got < 0) {
                return fail(source_.error());
            }
            const bool eof = atEnd_;
            end += static_cast<size_t>(got);
            buf_.data()[end] = '\n';  // stops the field scans at the end of the data
            if (first) {
                first = false;
                if (!decoder_ && end >= 3 && std::memcmp(buf_.data(), kUtf8Bom, 3) == 0) {
                    begin = 3;
                    bom_ = true;
                    if (bytes != Bytes::Windows1252) {
                        encoding_ = TextEncoding::Utf8Bom;
                    }
                }
            }
            const char* base = buf_.data();
            while (begin < end) {
                const char* recordEnd = parseRecord(base + begin, base + end, eof);
                if (tooManyFields_) {
                    return fail(tooManyFields());
                }
                if (!recordEnd) {
                    break;
                }
                const Pass stored = store(std::string_view(
                    base + begin, static_cast<size_t>(recordEnd - (base + begin))));
                if (stored != Pass::Done) {
                    return stored;
                }
                begin = static_cast<size_t>(recordEnd - base);
            }
            if (eof) {
                return Pass::Done;
            }
        }
    }

    // Counts the file's UTF-8 sequences and stray bytes.
    std::optional<textcodec::Utf8Census> countAll() {
        if (!source_.rewind()) {
            error_ = source_.error();
            return std::nullopt;
        }
        textcodec::Utf8Census census;
        const size_t chunk = static_cast<size_t>(
            std::clamp<qint64>(source_.total() + 1, 4096, static_cast<qint64>(kChunk)));
        std::vector<char> piece(chunk + 8);
        size_t kept = 0;  // bytes of a sequence cut by the last piece
        for (;;) {
            const qint64 got = source_.read(piece.data() + kept, static_cast<qint64>(chunk));
            if (got < 0) {
                error_ = source_.error();
                return std::nullopt;
            }
            const bool last = static_cast<size_t>(got) < chunk;
            const size_t n = kept + static_cast<size_t>(got);
            const size_t taken =
                textcodec::countUtf8(std::string_view(piece.data(), n), last, census);
            kept = n - taken;
            std::memmove(piece.data(), piece.data() + taken, kept);
            if (last) {
                return census;
            }
        }
    }

    // The line (from 1) of the text's byte at `offset`, counted by reading the text again; 0
    // when it cannot be read again.
    qint64 lineOf(uint64_t offset) {
        if (!restart(true)) {
            return 0;
        }
        std::vector<char> piece(static_cast<size_t>(
            std::clamp<qint64>(source_.total() + 16, 4096, static_cast<qint64>(kChunk))));
        qint64 lines = 1;
        uint64_t at = 0;
        bool afterCr = false;
        while (at < offset && !atEnd_) {
            const qint64 got = fill(piece.data(), piece.size());
            if (got < 0) {
                return 0;
            }
            const auto n =
                static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(got), offset - at));
            for (size_t i = 0; i < n; ++i) {
                const char c = piece[i];
                if (c == '\n') {
                    lines += afterCr ? 0 : 1;
                } else if (c == '\r') {
                    ++lines;
                }
                afterCr = c == '\r';
            }
            at += n;
        }
        return lines;
    }

    // The first separator, CR or LF at or after p, eight bytes at a time. The data read is
    // followed by an LF and the buffer by spare bytes, so the scan stops within the buffer.
    const char* scanField(const char* p) const {
        for (;;) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            const uint64_t hits =
                zeroBytes(w ^ sepBytes_) | zeroBytes(w ^ kCrBytes) | zeroBytes(w ^ kLfBytes);
            if (hits != 0) {
                return p + (std::countr_zero(hits) >> 3);
            }
            p += 8;
        }
    }

    // Marks the zero bytes of v with their top bit; marks above the lowest one may be false.
    static uint64_t zeroBytes(uint64_t v) { return (v - kOnes) & ~v & (kOnes << 7); }

    // Splits the record starting at p into refs_; gives the end of the record (past its line
    // end), or nullptr when the record does not end within the data read so far. A record of
    // more than kMaxColumns fields sets tooManyFields_ as soon as the field past the limit is
    // split.
    const char* parseRecord(const char* p, const char* end, bool eof) {
        refs_.clear();
        scratch_.clear();
        for (;;) {
            FieldRef f{p, 0, 0, false};
            if (*p == '"') {
                const char* open = p;
                const char* start = p + 1;
                const char* q = start;
                for (;;) {
                    const auto* quote =
                        static_cast<const char*>(std::memchr(q, '"', static_cast<size_t>(end - q)));
                    if (!quote) {
                        if (!eof) {
                            return nullptr;
                        }
                        // No closing quote: the field runs to the end of the file.
                        quote = end;
                        unclosedQuote_ = bufferStart_ + static_cast<uint64_t>(open - buf_.data());
                    } else if (quote + 1 == end && !eof) {
                        return nullptr;  // a doubled quote may follow
                    } else if (quote + 1 < end && quote[1] == '"') {
                        if (!f.copied) {
                            f.copied = true;
                            f.off = scratch_.size();
                        }
                        scratch_.append(start, static_cast<size_t>(quote + 1 - start));
                        start = q = quote + 2;
                        continue;
                    }
                    if (f.copied) {
                        scratch_.append(start, static_cast<size_t>(quote - start));
                    } else {
                        f.ptr = start;
                        f.len = static_cast<size_t>(quote - start);
                    }
                    p = quote == end ? end : quote + 1;
                    break;
                }
                // Text after the closing quote, up to the separator or line end, is kept.
                const char* rest = p;
                p = scanField(p);
                if (p > rest && !f.copied) {
                    f.copied = true;
                    f.off = scratch_.size();
                    scratch_.append(f.ptr, f.len);
                }
                if (f.copied) {
                    scratch_.append(rest, static_cast<size_t>(p - rest));
                    f.len = scratch_.size() - f.off;
                }
            } else {
                p = scanField(p);
                f.len = static_cast<size_t>(p - f.ptr);
            }
            if (p == end) {
                if (!eof) {
                    return nullptr;
                }
                refs_.push_back(f);
                tooManyFields_ = refs_.size() > static_cast<size_t>(kMaxColumns);
                return end;
            }
            refs_.push_back(f);
            if (refs_.size() > static_cast<size_t>(kMaxColumns)) {
                tooManyFields_ = true;
                return p;
            }
            const char c = *p;
            if (c == sep_) {
                ++p;
                continue;
            }
            if (c == '\n') {
                return p + 1;
            }
            if (p + 1 == end) {  // CR: an LF may follow in the next chunk
                return eof ? end : nullptr;
            }
            return p[1] == '\n' ? p + 2 : p + 1;
        }
    }

    FileError tooManyFields() const {
        return tooLarge(name_, QStringLiteral("a line has more than %1 fields, the most columns a "
                                              "table can have")
                                   .arg(groupedNumber(kMaxColumns)));
    }

    // The table would pass the memory the load may take: what it would need (`neededNow` for
    // the part of the file read so far) is judged for the whole file.
    FileError overMemory(double neededNow) const {
        const double read = static_cast<double>(std::max<quint64>(parsed_, 1));
        const double scale = std::max(1.0, static_cast<double>(source_.total()) / read);
        return notEnoughMemory(name_, std::max(neededNow * scale, static_cast<double>(limit_)),
                               limit_);
    }

    Pass store(std::string_view record) {
        parsed_ = bufferStart_ + static_cast<quint64>(record.data() - buf_.data());
        fields_.resize(refs_.size());
        for (size_t i = 0; i < refs_.size(); ++i) {
            const FieldRef& f = refs_[i];
            fields_[i] = f.copied ? std::string_view(scratch_.data() + f.off, f.len)
                                  : std::string_view(f.ptr, f.len);
        }
        // Decoded UTF-16 is UTF-8 already. Separators, quotes and line ends are ASCII, so a
        // record is valid UTF-8 exactly when all its fields are.
        if (!decoder_ && textcodec::hasHighBytes(record)) {
            if (bytes_ == Bytes::Utf8) {
                if (!textcodec::isValidUtf8(record)) {
                    return Pass::NotUtf8;
                }
            } else {
                converted_.clear();
                converted_.reserve(record.size() * 3);
                for (auto& field : fields_) {
                    if (!textcodec::hasHighBytes(field) ||
                        (bytes_ == Bytes::Mixed && textcodec::isValidUtf8(field))) {
                        continue;
                    }
                    const size_t off = converted_.size();
                    if (bytes_ == Bytes::Mixed) {
                        textcodec::appendMixedAsUtf8(field, converted_);
                    } else {
                        textcodec::appendWindows1252AsUtf8(field, converted_);
                    }
                    field = std::string_view(converted_.data() + off, converted_.size() - off);
                }
            }
        }
        switch (table_.appendRow(fields_)) {
            case Table::AppendResult::Stored:
                return Pass::Done;
            case Table::AppendResult::TooWide:
                return fail(tooManyFields());
            case Table::AppendResult::TooLong:
                return fail(tooLarge(
                    name_,
                    QStringLiteral("it has more than %1 lines").arg(groupedNumber(kMaxRows))));
            case Table::AppendResult::OverLimit:
                return fail(
                    overMemory(static_cast<double>(table_.storageBytes() + table_.shortfall())));
            case Table::AppendResult::TextTooLong:
                break;
        }
        return fail(tooLarge(name_, QStringLiteral("a column holds more than 4 GB of text")));
    }

    ByteSource source_;
    QString name_;
    char sep_;
    uint64_t sepBytes_;                               // the separator in every byte
    quint64 limit_;                                   // the memory the load may take; 0: no limit
    std::optional<textcodec::Utf16Decoder> decoder_;  // a UTF-16 file
    bool bigEndian_ = false;
    bool utf16Mark_ = false;  // the UTF-16 file starts with a byte-order mark
    bool sawNul_ = false;     // a NUL byte in a file read as bytes
    std::vector<char> raw_;   // UTF-16 bytes being decoded
    bool atEnd_ = false;
    ReadBuffer buf_;
    quint64 bufferStart_ = 0;  // where buf_ starts in the text
    quint64 parsed_ = 0;       // where the record being stored starts in the text
    std::vector<FieldRef> refs_;
    std::vector<std::string_view> fields_;
    std::string scratch_;
    std::string converted_;
    Table table_;
    Bytes bytes_ = Bytes::Utf8;
    bool bom_ = false;
    bool tooManyFields_ = false;
    std::optional<quint64> unclosedQuote_;  // where the quote of an unclosed field is
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::optional<FileError> error_;
};

}  // namespace

Result<TextLoad> loadDelimited(QIODevice& device, const QString& name, char16_t separator,
                               const Progress& progress, quint64 memoryLimit) {
    if (!validSeparator(separator)) {
        return badSeparator(name);
    }
    try {
        DelimitedReader reader(device, name, static_cast<char>(separator), progress,
                               memoryLimit > 0 ? memoryLimit : memoryForLoads());
        return reader.run();
    } catch (const std::bad_alloc&) {
        return outOfMemory(name);
    }
}

Result<TextLoad> loadDelimited(const QString& path, char16_t separator, const Progress& progress,
                               quint64 memoryLimit) {
    QFile file(path);
    if (auto error = openForReading(file)) {
        return *error;
    }
    return loadDelimited(file, displayName(path), separator, progress, memoryLimit);
}

}  // namespace pellumar
