// Writing a table as comma or tab text: fields quoted where they must be, in UTF-8 (with or
// without its mark), Windows-1252 where the table can be read back so, or UTF-16.
#include "core/document/TextFile.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "core/document/FileAccess.h"
#include "core/document/TextCodec.h"
#include "core/document/TextFileCommon.h"

namespace pellumar {

namespace {

using namespace fileaccess;
using namespace textfile;

// Whether a table can be written as Windows-1252 and read back the same: every character must
// have its byte, and the bytes must read back as Windows-1252, not as UTF-8 (with or without a
// few stray bytes): unless they are plain ASCII, they need bytes outside UTF-8, more of them
// than well-formed UTF-8 sequences.
bool canWriteWindows1252(const Table& table) {
    textcodec::Utf8Census census;
    bool high = false;
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
            bytes.clear();
            textcodec::appendUtf8AsWindows1252(text, bytes);
            census += textcodec::countUtf8(bytes);
        }
    }
    return !high || (census.invalid > 0 && !textcodec::isMixedUtf8(census));
}

// Passes the UTF-8 written to it on to another device as UTF-16.
class Utf16Device : public QIODevice {
public:
    Utf16Device(QIODevice& target, bool bigEndian) : target_(target), bigEndian_(bigEndian) {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override {
        pending_.append(data, static_cast<size_t>(len));
        out_.clear();
        const size_t taken = textcodec::appendUtf8AsUtf16(pending_, bigEndian_, false, out_);
        pending_.erase(0, taken);
        if (!out_.empty() && target_.write(out_.data(), static_cast<qint64>(out_.size())) !=
                                 static_cast<qint64>(out_.size())) {
            setErrorString(target_.errorString());
            return -1;
        }
        return len;
    }

private:
    QIODevice& target_;
    bool bigEndian_;
    std::string pending_;  // the start of a character cut by the last write
    std::string out_;
};

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
        // A write that failed (a full disk) ends the save: the rest is not formatted for nothing.
        for (int r = firstRow; r < table.rowCount() && !sink_.failed(); ++r) {
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
                // A first field that starts like a byte-order mark (UTF-8, or in Windows-1252
                // "ÿþ" and "þÿ", the marks of UTF-16) is quoted, or it would be taken for one.
                writeField(text, r == firstRow && c == 0 &&
                                     (text.starts_with(kUtf8Bom) || text.starts_with("\xFF\xFE") ||
                                      text.starts_with("\xFE\xFF")));
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

// The fewest bytes the text of a table takes: its separators and line ends, which no encoding
// or content makes fewer (the cells' own bytes come on top). A table of many empty cells is
// mostly this.
quint64 leastTextSize(const Table& table, TextEncoding encoding, TitleLine titleLine) {
    const int firstRow = titleLine == TitleLine::Skipped ? 1 : 0;
    const auto rows = static_cast<quint64>(std::max(0, table.rowCount() - firstRow));
    const auto cols = static_cast<quint64>(table.columnCount());
    const quint64 bytes = rows * ((cols > 0 ? cols - 1 : 0) + 2);
    return isUtf16(encoding) ? bytes * 2 : bytes;
}

}  // namespace

Result<TextEncoding> saveDelimited(const Table& table, QIODevice& device, const QString& name,
                                   char16_t separator, TextEncoding encoding, TitleLine titleLine) {
    if (!validSeparator(separator)) {
        return badSeparator(name);
    }
    if (encoding == TextEncoding::Windows1252 && !canWriteWindows1252(table)) {
        encoding = TextEncoding::Utf8;
    }
    const bool bigEndian =
        encoding == TextEncoding::Utf16BeBom || encoding == TextEncoding::Utf16Be;
    std::optional<Utf16Device> recoder;
    if (isUtf16(encoding)) {
        recoder.emplace(device, bigEndian);
    }
    if (encoding == TextEncoding::Utf16LeBom || encoding == TextEncoding::Utf16BeBom) {
        const char* mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        if (device.write(mark, 2) != 2) {
            return writeFailed(name, device);
        }
    }
    DelimitedWriter writer(recoder ? static_cast<QIODevice&>(*recoder) : device,
                           static_cast<char>(separator), encoding == TextEncoding::Windows1252);
    if (encoding == TextEncoding::Utf8Bom) {
        writer.sink().put(kUtf8Bom, 3);
    }
    writer.write(table, titleLine == TitleLine::Skipped ? 1 : 0);
    if (!writer.sink().flush()) {
        return writeFailed(name, device, writer.sink().systemError());
    }
    return encoding;
}

Result<TextEncoding> saveDelimited(const Table& table, const QString& path, char16_t separator,
                                   TextEncoding encoding, TitleLine titleLine) {
    TextEncoding written = encoding;
    Result<void> saved = saveAtomically(
        path,
        [&](QIODevice& device, const QString& name) -> Result<void> {
            auto result = saveDelimited(table, device, name, separator, encoding, titleLine);
            if (!result) {
                return result.error();
            }
            written = result.value();
            return {};
        },
        leastTextSize(table, encoding, titleLine));
    if (!saved) {
        return saved.error();
    }
    return written;
}

}  // namespace pellumar
