#include "document/TextFile.h"

#include <QFile>
#include <QLocale>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "document/FileAccess.h"
#include "document/TextCodec.h"

namespace pellumar {

namespace {

using namespace fileaccess;

constexpr size_t kChunk = size_t{2} << 20;
constexpr uint64_t kCellsPerByte = 32;
constexpr uint64_t kCellsAlways = uint64_t{1} << 20;
constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr size_t kSlack = 16;  // spare bytes after the data for the eight-byte field scan
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kCrBytes = kOnes * '\r';
constexpr uint64_t kLfBytes = kOnes * '\n';

bool validSeparator(char16_t sep) {
    return sep > 0 && sep < 0x80 && sep != u'"' && sep != u'\r' && sep != u'\n';
}

FileError badSeparator(const QString& name) {
    return FileError{FileError::Reason::BadArgument,
                     QStringLiteral("Cannot use that separator for %1.").arg(name)};
}

// A field of the record being parsed: either bytes of the read buffer or, when it had to be
// rewritten (doubled quotes), bytes of the scratch text.
struct FieldRef {
    const char* ptr;
    size_t len;
    size_t off;
    bool copied;
};

class DelimitedReader {
public:
    DelimitedReader(QIODevice& device, const QString& name, char sep, const Progress& progress)
        : source_(device, name, progress),
          name_(name),
          sep_(sep),
          sepBytes_(kOnes * static_cast<unsigned char>(sep)) {}

    Result<TextLoad> run() {
        cellLimit_ = kCellsAlways + kCellsPerByte * static_cast<uint64_t>(source_.total());
        Pass pass = readAll(true);
        if (pass == Pass::NotUtf8) {
            // Start again from the top, reading every byte as Windows-1252.
            table_ = Table();
            if (!source_.rewind()) {
                return source_.error();
            }
            pass = readAll(false);
        }
        if (pass == Pass::Failed) {
            return *error_;
        }
        if (!source_.finish()) {
            return source_.error();
        }
        table_.squeeze();
        return TextLoad{std::move(table_), encoding_};
    }

private:
    enum class Pass { Done, NotUtf8, Failed };

    Pass fail(FileError error) {
        error_ = std::move(error);
        return Pass::Failed;
    }

    Pass readAll(bool utf8) {
        encoding_ = utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
        const size_t chunk = static_cast<size_t>(
            std::clamp<qint64>(source_.total() + 1, 4096, static_cast<qint64>(kChunk)));
        buf_.assign(chunk + kSlack, '\0');
        size_t begin = 0;
        size_t end = 0;
        bool first = true;
        estimated_ = false;
        longBytes_.clear();
        qint64 parsed = 0;
        for (;;) {
            if (begin > 0) {
                std::memmove(buf_.data(), buf_.data() + begin, end - begin);
                parsed += static_cast<qint64>(begin);
                end -= begin;
                begin = 0;
            }
            // A record longer than a chunk is read in ever larger steps, so that parsing it
            // again from its start each time stays linear.
            const size_t want = std::max(chunk, end);
            if (buf_.size() < end + want + kSlack) {
                buf_.resize(end + want + kSlack);
            }
            const qint64 got = source_.read(buf_.data() + end, static_cast<qint64>(want));
            if (got < 0) {
                return fail(source_.error());
            }
            const bool eof = static_cast<size_t>(got) < want;
            end += static_cast<size_t>(got);
            buf_[end] = '\n';  // stops the field scans at the end of the data
            if (first) {
                first = false;
                if (end >= 3 && std::memcmp(buf_.data(), kBom, 3) == 0) {
                    begin = 3;
                    if (utf8) {
                        encoding_ = TextEncoding::Utf8Bom;
                    }
                }
            }
            const char* base = buf_.data();
            while (begin < end) {
                const char* recordEnd = parseRecord(base + begin, base + end, eof);
                if (!recordEnd) {
                    break;
                }
                const Pass stored = store(
                    std::string_view(base + begin, static_cast<size_t>(recordEnd - (base + begin))),
                    utf8);
                if (stored != Pass::Done) {
                    return stored;
                }
                begin = static_cast<size_t>(recordEnd - base);
            }
            if (!estimated_ && !eof && table_.rowCount() > 0) {
                // Make room for the rows and texts the whole file will probably hold, judged
                // by its first chunk, so that the storage is neither copied while it grows nor
                // left with much room to spare.
                estimated_ = true;
                const double scale = static_cast<double>(source_.total()) /
                                     static_cast<double>(parsed + static_cast<qint64>(begin)) *
                                     1.03;
                const double rows = table_.rowCount() * scale + 16;
                const double most =
                    static_cast<double>(cellLimit_) / std::max(1, table_.columnCount());
                table_.reserveRows(static_cast<int>(std::min({rows, most, 1e9})));
                for (size_t c = 0; c < longBytes_.size(); ++c) {
                    table_.reserveText(static_cast<int>(c),
                                       static_cast<size_t>(longBytes_[c] * scale));
                }
            }
            if (eof) {
                return Pass::Done;
            }
        }
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
    // end), or nullptr when the record does not end within the data read so far.
    const char* parseRecord(const char* p, const char* end, bool eof) {
        refs_.clear();
        scratch_.clear();
        for (;;) {
            FieldRef f{p, 0, 0, false};
            if (*p == '"') {
                const char* start = p + 1;
                const char* q = start;
                for (;;) {
                    const auto* quote =
                        static_cast<const char*>(std::memchr(q, '"', static_cast<size_t>(end - q)));
                    if (!quote) {
                        if (!eof) {
                            return nullptr;
                        }
                        quote = end;  // no closing quote: the field runs to the end of the file
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
                return end;
            }
            refs_.push_back(f);
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

    Pass store(std::string_view record, bool utf8) {
        if (refs_.size() > static_cast<size_t>(kMaxColumns)) {
            return fail(tooLarge(name_, QStringLiteral("a line has more than %1 fields")
                                            .arg(QLocale::c().toString(kMaxColumns))));
        }
        const uint64_t rows = static_cast<uint64_t>(table_.rowCount()) + 1;
        const uint64_t cols =
            std::max<uint64_t>(static_cast<uint64_t>(table_.columnCount()), refs_.size());
        if (rows > static_cast<uint64_t>(std::numeric_limits<int>::max() - 1) ||
            rows * cols > cellLimit_) {
            return fail(tooLarge(name_, QStringLiteral("its lines would make too many cells")));
        }
        fields_.resize(refs_.size());
        for (size_t i = 0; i < refs_.size(); ++i) {
            const FieldRef& f = refs_[i];
            fields_[i] = f.copied ? std::string_view(scratch_.data() + f.off, f.len)
                                  : std::string_view(f.ptr, f.len);
        }
        if (textcodec::hasHighBytes(record)) {
            if (utf8) {
                // Separators, quotes and line ends are ASCII, so a record is valid UTF-8
                // exactly when all its fields are.
                if (!textcodec::isValidUtf8(record)) {
                    return Pass::NotUtf8;
                }
            } else {
                converted_.clear();
                converted_.reserve(record.size() * 3);
                for (auto& field : fields_) {
                    if (textcodec::hasHighBytes(field)) {
                        const size_t off = converted_.size();
                        textcodec::appendWindows1252AsUtf8(field, converted_);
                        field = std::string_view(converted_.data() + off, converted_.size() - off);
                    }
                }
            }
        }
        if (!estimated_) {
            longBytes_.resize(std::max(longBytes_.size(), fields_.size()));
            for (size_t i = 0; i < fields_.size(); ++i) {
                longBytes_[i] += fields_[i].size() > 7 ? fields_[i].size() : 0;
            }
        }
        if (!table_.appendRow(fields_)) {
            return fail(tooLarge(name_, QStringLiteral("a column holds more than 4 GB of text")));
        }
        return Pass::Done;
    }

    ByteSource source_;
    QString name_;
    char sep_;
    uint64_t sepBytes_;  // the separator in every byte
    uint64_t cellLimit_ = 0;
    std::vector<char> buf_;
    std::vector<FieldRef> refs_;
    std::vector<std::string_view> fields_;
    std::string scratch_;
    std::string converted_;
    Table table_;
    bool estimated_ = false;
    std::vector<uint64_t> longBytes_;  // long texts per column, before the estimate
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::optional<FileError> error_;
};

// Whether a table can be written as Windows-1252 and read back the same: every character must
// have its byte, and the bytes must not all happen to form valid UTF-8 (a file that is valid
// UTF-8 is read as UTF-8), unless they are plain ASCII.
bool canWriteWindows1252(const Table& table) {
    bool high = false;
    bool invalidUtf8 = false;
    std::string bytes;
    for (int c = 0; c < table.columnCount(); ++c) {
        for (int r = 0; r < table.rowCount(); ++r) {
            const std::string_view text = table.utf8(r, c);
            if (!textcodec::hasHighBytes(text)) {
                continue;
            }
            if (!textcodec::fitsWindows1252(text)) {
                return false;
            }
            high = true;
            if (!invalidUtf8) {
                bytes.clear();
                textcodec::appendUtf8AsWindows1252(text, bytes);
                invalidUtf8 = !textcodec::isValidUtf8(bytes);
            }
        }
    }
    return !high || invalidUtf8;
}

class DelimitedWriter {
public:
    DelimitedWriter(QIODevice& device, char sep, bool windows1252)
        : sink_(device), sep_(sep), windows1252_(windows1252) {
        quoted_.fill(false);
        quoted_[static_cast<unsigned char>(sep)] = true;
        quoted_['"'] = true;
        quoted_['\r'] = true;
        quoted_['\n'] = true;
    }

    ByteSink& sink() { return sink_; }

    void write(const Table& table, int firstRow) {
        const auto cols = static_cast<size_t>(table.columnCount());
        std::vector<std::string_view> texts(cols);
        for (int r = firstRow; r < table.rowCount(); ++r) {
            table.rowUtf8(r, texts);
            for (size_t c = 0; c < cols; ++c) {
                if (c > 0) {
                    sink_.put(sep_);
                }
                std::string_view text = texts[c];
                if (windows1252_ && textcodec::hasHighBytes(text)) {
                    recoded_.clear();
                    textcodec::appendUtf8AsWindows1252(text, recoded_);
                    text = recoded_;
                }
                // A first field that starts like a byte-order mark is quoted, or it would be
                // taken for one.
                writeField(text, r == firstRow && c == 0 && text.starts_with(kBom));
            }
            char* out = sink_.room(2);
            out[0] = '\r';
            out[1] = '\n';
            sink_.advance(2);
        }
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }

    void writeField(std::string_view text, bool quote) {
        if (text.empty()) {
            return;
        }
        quote = quote || isBlank(text.front()) || isBlank(text.back());
        for (size_t i = 0; i < text.size() && !quote; ++i) {
            quote = quoted_[static_cast<unsigned char>(text[i])];
        }
        if (!quote) {
            std::memcpy(sink_.room(text.size()), text.data(), text.size());
            sink_.advance(text.size());
            return;
        }
        char* out = sink_.room(text.size() * 2 + 2);
        char* o = out;
        *o++ = '"';
        for (const char ch : text) {
            *o++ = ch;
            if (ch == '"') {
                *o++ = '"';
            }
        }
        *o++ = '"';
        sink_.advance(static_cast<size_t>(o - out));
    }

    ByteSink sink_;
    char sep_;
    bool windows1252_;
    std::array<bool, 256> quoted_;
    std::string recoded_;
};

}  // namespace

Result<TextLoad> loadDelimited(QIODevice& device, const QString& name, char16_t separator,
                               const Progress& progress) {
    if (!validSeparator(separator)) {
        return badSeparator(name);
    }
    DelimitedReader reader(device, name, static_cast<char>(separator), progress);
    return reader.run();
}

Result<TextLoad> loadDelimited(const QString& path, char16_t separator, const Progress& progress) {
    QFile file(path);
    if (auto error = openForReading(file)) {
        return *error;
    }
    return loadDelimited(file, displayName(path), separator, progress);
}

Result<TextEncoding> saveDelimited(const Table& table, QIODevice& device, const QString& name,
                                   char16_t separator, TextEncoding encoding, TitleLine titleLine) {
    if (!validSeparator(separator)) {
        return badSeparator(name);
    }
    if (encoding == TextEncoding::Windows1252 && !canWriteWindows1252(table)) {
        encoding = TextEncoding::Utf8;
    }
    DelimitedWriter writer(device, static_cast<char>(separator),
                           encoding == TextEncoding::Windows1252);
    if (encoding == TextEncoding::Utf8Bom) {
        writer.sink().put(kBom, 3);
    }
    writer.write(table, titleLine == TitleLine::Skipped ? 1 : 0);
    if (!writer.sink().flush()) {
        return writeFailed(name, device);
    }
    return encoding;
}

Result<TextEncoding> saveDelimited(const Table& table, const QString& path, char16_t separator,
                                   TextEncoding encoding, TitleLine titleLine) {
    TextEncoding written = encoding;
    Result<void> saved =
        saveAtomically(path, [&](QIODevice& device, const QString& name) -> Result<void> {
            auto result = saveDelimited(table, device, name, separator, encoding, titleLine);
            if (!result) {
                return result.error();
            }
            written = result.value();
            return {};
        });
    if (!saved) {
        return saved.error();
    }
    return written;
}

}  // namespace pellumar
