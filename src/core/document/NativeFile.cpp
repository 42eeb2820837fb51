#include "core/document/NativeFile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/document/FileAccess.h"
#include "core/document/NativeFormat.h"
#include "core/document/TextCodec.h"

namespace pellumar {

namespace {

using namespace fileaccess;
using namespace nativeformat;

constexpr qint64 kChunk = qint64{2} << 20;

// ---- reading ---------------------------------------------------------------------------------

class NativeReader {
public:
    NativeReader(QIODevice& device, const QString& name, const Progress& progress,
                 quint64 memoryLimit)
        : source_(device, name, progress), name_(name), memoryLimit_(memoryLimit) {}

    Result<Table> run() {
        if (memoryLimit_ > 0) {
            table_.setStorageLimit(memoryLimit_);
        }
        if (!readHeader() || !readColumns() || !readTexts() || !readHeights() || !readStyles() ||
            !readEnd()) {
            return *error_;
        }
        table_.clearStorageLimit();
        table_.squeeze();
        return std::move(table_);
    }

private:
    bool fail(FileError error) {
        if (!error_) {
            error_ = std::move(error);
        }
        return false;
    }
    // A file found inconsistent after its header: a byte changed on the way shows as a wrong
    // check sum, which is what the user is told then; a file whose check sum holds was made so.
    bool damagedBecause(const char* why) {
        if (!error_ && readingBody_ && !contentsMatchSum()) {
            why = kWrongSum;
        }
        return fail(damaged(name_, QLatin1StringView(why)));
    }
    bool endsEarly() { return damagedBecause("it ends too early"); }
    bool endsHere() { return fail(damaged(name_, QStringLiteral("it ends too early"))); }

    // Reads the rest of the file into the check sum and compares it with the one the file ends
    // with; true when they match or when that cannot be told.
    bool contentsMatchSum() {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        return true;
#else
        const auto total = static_cast<uint64_t>(source_.total());
        uint64_t at = static_cast<uint64_t>(offset_) + end_;
        std::vector<char> chunk(static_cast<size_t>(
            std::min<uint64_t>(total - std::min(at, total), uint64_t{1} << 20)));
        while (at < total) {
            const qint64 got = source_.read(chunk.data(), static_cast<qint64>(chunk.size()));
            if (got <= 0) {
                return true;
            }
            hashRead(chunk.data(), static_cast<size_t>(got), at);
            at += static_cast<uint64_t>(got);
        }
        return total < kChecksumSize || storedSum() == checksum_.result();
#endif
    }
    uint64_t storedSum() const {
        uint64_t sum = 0;
        std::memcpy(&sum, sumBytes_.data(), sizeof sum);
        return qFromLittleEndian(sum);
    }

    // Bytes of the file not yet taken, by its announced size.
    uint64_t remaining() const {
        return static_cast<uint64_t>(source_.total()) - taken();
    }
    uint64_t taken() const {
        return static_cast<uint64_t>(offset_) + pos_;
    }

    // Makes at least n bytes available at pos_; false at the end of the file or on an error.
    // Bytes from mark_ on (the row being read) are kept too.
    bool need(size_t n) {
        if (end_ - pos_ >= n) {
            return true;
        }
        const size_t keep = std::min(pos_, mark_);
        if (keep > 0) {
            std::memmove(buf_.data(), buf_.data() + keep, end_ - keep);
            offset_ += static_cast<qint64>(keep);
            end_ -= keep;
            pos_ -= keep;
            mark_ = mark_ == kNoMark ? kNoMark : mark_ - keep;
        }
        if (buf_.size() < pos_ + n) {
            buf_.resize(pos_ + n);
        }
        while (end_ < pos_ + n) {
            const size_t want = buf_.size() - end_;
            const qint64 got = source_.read(buf_.data() + end_, static_cast<qint64>(want));
            if (got < 0) {
                return fail(source_.error());
            }
            if (got == 0) {
                return endsHere();
            }
            hashRead(buf_.data() + end_, static_cast<size_t>(got),
                     static_cast<uint64_t>(offset_) + end_);
            end_ += static_cast<size_t>(got);
        }
        return true;
    }

    // Every byte read (n bytes at file offset `at`) counts towards the check sum, except the
    // check sum itself, which is kept aside.
    void hashRead(const char* p, size_t n, uint64_t at) {
        if (source_.total() < static_cast<qint64>(kChecksumSize)) {
            return;
        }
        const uint64_t limit = static_cast<uint64_t>(source_.total()) - kChecksumSize;
        if (at < limit) {
            checksum_.update(p, static_cast<size_t>(std::min<uint64_t>(n, limit - at)));
        }
        for (uint64_t i = std::max(at, limit); i < at + n && i < limit + kChecksumSize; ++i) {
            sumBytes_[static_cast<size_t>(i - limit)] = p[i - at];
        }
    }

    template <typename T>
    bool number(T& out) {
        if (!need(sizeof out)) {
            return false;
        }
        std::memcpy(&out, buf_.data() + pos_, sizeof out);
        out = qFromLittleEndian(out);
        pos_ += sizeof out;
        return true;
    }

    bool string(QString& out) {
        quint32 len = 0;
        if (!number(len)) {
            return false;
        }
        if (len > remaining()) {
            return endsEarly();
        }
        if (!need(len)) {
            return false;
        }
        const std::string_view bytes(buf_.data() + pos_, len);
        if (!textcodec::isValidUtf8(bytes)) {
            return damagedBecause("a column setting is not readable text");
        }
        out = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(len));
        pos_ += len;
        return true;
    }

    bool readHeader() {
        buf_.resize(static_cast<size_t>(std::clamp<qint64>(source_.total() + 16, 4096, kChunk)));
        const qint64 got = source_.read(buf_.data(), static_cast<qint64>(buf_.size()));
        if (got < 0) {
            return fail(source_.error());
        }
        hashRead(buf_.data(), static_cast<size_t>(got), 0);
        end_ = static_cast<size_t>(got);
        const size_t magic = std::min(end_, sizeof kMagic);
        if (std::memcmp(buf_.data(), kMagic, magic) != 0 || end_ == 0) {
            return fail(FileError{FileError::Reason::NotOurs,
                                  QStringLiteral("%1 is not a Pellumar file.").arg(name_)});
        }
        if (!need(sizeof kMagic)) {
            return false;
        }
        pos_ = sizeof kMagic;
        quint32 version = 0;
        if (!number(version)) {
            return false;
        }
        if (version > kNativeVersion) {
            return fail(FileError{
                FileError::Reason::Newer,
                QStringLiteral("%1 was written by a newer version of Pellumar.").arg(name_)});
        }
        if (version == 0) {
            return damagedBecause("its version number is wrong");
        }
        version_ = version;
        if (!number(rows_) || !number(cols_) || !number(heights_) || !number(styles_)) {
            return false;
        }
        if (cols_ > static_cast<quint32>(kMaxColumns)) {
            return damagedBecause("it claims more columns than a table can have");
        }
        if (rows_ > static_cast<quint32>(std::numeric_limits<int>::max() - 1)) {
            return damagedBecause("it claims more rows than a table can have");
        }
        // Every column, height and style takes its bytes, and every cell at least one (every row
        // of a table without columns one too): counts that the file's size cannot hold are
        // lies, found before anything is allocated.
        const uint64_t heightSize = version_ == 1 ? kHeightSizeV1 : kHeightRunSize;
        const uint64_t styleSize = version_ == 1 ? kStyleSizeV1 : kStyleRunSize;
        // Since version 3 a stretch of empty records takes a byte or a few, however long.
        const uint64_t rowBytes = version_ >= 3 ? std::min<quint32>(rows_, 1)
                                                : uint64_t{rows_} * std::max<quint32>(cols_, 1);
        const uint64_t least = kHeaderSize + uint64_t{cols_} * kMinColumnSize +
                               uint64_t{heights_} * heightSize + uint64_t{styles_} * styleSize +
                               (version_ == 1 ? 0 : 4) + rowBytes + kChecksumSize;
        if (least > static_cast<uint64_t>(source_.total())) {
            return damagedBecause("it is too short for the rows and columns it claims");
        }
        table_.setColumnCount(static_cast<int>(cols_));
        readingBody_ = true;
        return true;
    }

    // The table would pass the memory the load may take: the need is judged from what the file
    // has given so far.
    bool overMemory() {
        const double read = static_cast<double>(std::max<uint64_t>(taken(), 1));
        const double scale = std::max(1.0, static_cast<double>(source_.total()) / read);
        const double now = static_cast<double>(table_.storageBytes() + table_.shortfall());
        return fail(notEnoughMemory(name_, std::max(now * scale, static_cast<double>(memoryLimit_)),
                                    memoryLimit_));
    }

    bool readColumns() {
        for (quint32 c = 0; c < cols_; ++c) {
            ColumnAttributes a;
            qint32 width = 0;
            qint32 alignment = 0;
            qint32 dataType = 0;
            quint8 hidden = 0;
            if (!number(width) || !number(alignment) || !number(dataType) || !number(hidden) ||
                !string(a.format) || !string(a.comboList)) {
                return false;
            }
            if (width < -1 || width > kMaxTwips || alignment < 0 || alignment > AlignGeneral ||
                dataType < 0 || dataType > 255 || hidden > 1) {
                return damagedBecause("a column setting is out of range");
            }
            a.width = width;
            a.alignment = alignment;
            a.dataType = dataType;
            a.hidden = hidden != 0;
            table_.setColumnAttributes(static_cast<int>(c), a);
        }
        return true;
    }

    bool readHeights() {
        quint32 next = 0;  // runs come in row order
        for (quint32 i = 0; i < heights_; ++i) {
            quint32 first = 0;
            quint32 count = 1;
            qint32 twips = 0;
            if (!number(first) || (version_ > 1 && !number(count)) || !number(twips)) {
                return false;
            }
            if (first >= rows_ || twips < 0 || twips > kMaxTwips ||
                (version_ > 1 && (count == 0 || count > rows_ - first || first < next))) {
                return damagedBecause("a row height is out of range");
            }
            table_.setRowHeights(static_cast<int>(first), static_cast<int>(count), twips);
            next = first + count;
        }
        return true;
    }

    bool style(CellStyle& s) {
        qint8 alignment = 0;
        qint8 pictureAlignment = 0;
        quint8 flags = 0;
        if (!number(s.foreColor) || !number(s.backColor) || !number(s.fontSize) ||
            !number(alignment) || !number(pictureAlignment) || !number(s.picture) ||
            !number(s.checkState) || !number(flags)) {
            return false;
        }
        if (!std::isfinite(s.fontSize) || s.fontSize < 0 || s.fontSize > 4096 || alignment < -1 ||
            alignment > AlignGeneral || pictureAlignment < -1 || pictureAlignment > AlignGeneral ||
            s.picture > PictureSortDown || s.checkState > CheckUnchecked || flags > 7) {
            return damagedBecause("a cell style is out of range");
        }
        s.alignment = alignment;
        s.pictureAlignment = pictureAlignment;
        s.bold = (flags & 1) != 0;
        s.italic = (flags & 2) != 0;
        s.underline = (flags & 4) != 0;
        return true;
    }

    bool readStyles() {
        if (version_ == 1) {
            for (quint32 i = 0; i < styles_; ++i) {
                quint32 row = 0;
                quint32 col = 0;
                CellStyle s;
                if (!number(row) || !number(col) || !style(s)) {
                    return false;
                }
                if (row >= rows_ || col >= cols_) {
                    return damagedBecause("a cell style is out of range");
                }
                table_.setStyle(static_cast<int>(row), static_cast<int>(col), s);
            }
            return true;
        }
        quint32 count = 0;
        if (!number(count)) {
            return false;
        }
        if (uint64_t{count} * kStyleRecordSize > remaining()) {
            return damagedBecause("it is too short for the rows and columns it claims");
        }
        std::vector<CellStyle> styles(count);
        for (CellStyle& s : styles) {
            if (!style(s)) {
                return false;
            }
        }
        // Runs come by column and row without overlapping, so that no cell is styled twice.
        uint64_t next = 0;  // col * rows + row of the first cell a run may start at
        for (quint32 i = 0; i < styles_; ++i) {
            quint32 col = 0;
            quint32 first = 0;
            quint32 rows = 0;
            quint32 id = 0;
            if (!number(col) || !number(first) || !number(rows) || !number(id)) {
                return false;
            }
            const uint64_t at = uint64_t{col} * rows_ + first;
            if (col >= cols_ || first >= rows_ || rows == 0 || rows > rows_ - first ||
                id >= count || at < next) {
                return damagedBecause("a cell style is out of range");
            }
            const int top = static_cast<int>(first);
            table_.setStyles(top, static_cast<int>(col), top + static_cast<int>(rows) - 1,
                             static_cast<int>(col), styles[id]);
            next = at + rows;
        }
        return true;
    }

    bool length(uint32_t& out) {
        uint32_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (end_ == pos_ && !need(1)) {
                return false;
            }
            const auto byte = static_cast<unsigned char>(buf_[pos_++]);
            value |= static_cast<uint32_t>(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0) {
                if (value > static_cast<uint32_t>(kMaxTextBytes) || (shift == 28 && byte > 7)) {
                    break;
                }
                out = value;
                return true;
            }
        }
        return damagedBecause("a cell text has a wrong length");
    }

    // A LEB128 number of up to 35 bits.
    bool varint(uint64_t& out) {
        uint64_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (end_ == pos_ && !need(1)) {
                return false;
            }
            const auto byte = static_cast<unsigned char>(buf_[pos_++]);
            value |= uint64_t{byte & 0x7fu} << shift;
            if ((byte & 0x80) == 0) {
                out = value;
                return true;
            }
        }
        return damagedBecause("a cell text has a wrong length");
    }

    bool readRecords() {
        const size_t cols = cols_;
        std::vector<std::pair<size_t, uint32_t>> cells(cols);  // offset from the record's start
        std::vector<std::string_view> texts(cols);
        for (uint64_t r = 0; r < rows_;) {
            mark_ = pos_;
            uint64_t n = 0;
            if (!varint(n)) {
                return false;
            }
            if (n % 2 == 1) {
                const uint64_t empty = n / 2 + 1;
                if (empty > rows_ - r) {
                    return damagedBecause("it has more records than it claims");
                }
                // Empty records take no storage: they are only counted.
                table_.insertRows(table_.rowCount(), static_cast<int>(empty));
                r += empty;
                continue;
            }
            const uint64_t given = n / 2;
            if (given == 0) {
                return damagedBecause("a record has a wrong length");
            }
            if (given > cols) {
                return damagedBecause("a record has more cells than the table has columns");
            }
            for (uint64_t c = 0; c < given;) {
                uint64_t m = 0;
                if (!varint(m)) {
                    return false;
                }
                if (m % 2 == 1) {
                    const uint64_t empty = m / 2 + 1;
                    if (empty > given - c) {
                        return damagedBecause("a record has more cells than the table has columns");
                    }
                    std::fill_n(cells.begin() + static_cast<ptrdiff_t>(c), empty,
                                std::pair<size_t, uint32_t>{0, 0});
                    c += empty;
                    continue;
                }
                const uint64_t len = m / 2;
                if (len > static_cast<uint64_t>(kMaxTextBytes)) {
                    return damagedBecause("a cell text has a wrong length");
                }
                if (len > remaining()) {
                    return endsEarly();
                }
                if (len > 0 && !need(static_cast<size_t>(len))) {
                    return false;
                }
                cells[c++] = {pos_ - mark_, static_cast<uint32_t>(len)};
                pos_ += static_cast<size_t>(len);
            }
            const char* record = buf_.data() + mark_;
            for (size_t c = 0; c < given; ++c) {
                texts[c] = std::string_view(record + cells[c].first, cells[c].second);
            }
            if (!storeRow(std::span(texts.data(), given))) {
                return false;
            }
            ++r;
        }
        mark_ = kNoMark;
        return true;
    }

    bool readTexts() {
        if (version_ >= 3) {
            return readRecords();
        }
        if (cols_ == 0) {
            for (quint32 r = 0; r < rows_; ++r) {
                if (!need(1)) {
                    return false;
                }
                if (buf_[pos_++] != 0) {
                    return damagedBecause("a row of a table without columns is not empty");
                }
                if (table_.appendRow({}) != Table::AppendResult::Stored) {
                    return overMemory();
                }
            }
            return true;
        }
        const size_t cols = cols_;
        std::vector<std::pair<size_t, uint32_t>> cells(cols);  // offset from the row's start
        std::vector<std::string_view> texts(cols);
        for (quint32 r = 0; r < rows_; ++r) {
            mark_ = pos_;
            if (quickRow(texts)) {
                if (!storeRow(texts)) {
                    return false;
                }
                continue;
            }
            for (size_t c = 0; c < cols; ++c) {
                uint32_t len = 0;
                if (!length(len)) {
                    return false;
                }
                if (len > remaining()) {
                    return endsEarly();
                }
                if (len > 0 && !need(len)) {
                    return false;
                }
                cells[c] = {pos_ - mark_, len};
                pos_ += len;
            }
            const char* row = buf_.data() + mark_;
            for (size_t c = 0; c < cols; ++c) {
                texts[c] = std::string_view(row + cells[c].first, cells[c].second);
            }
            if (!storeRow(texts)) {
                return false;
            }
        }
        mark_ = kNoMark;
        return true;
    }

    // Reads the row at pos_ when it lies whole in the buffer and all its lengths take one byte
    // (the common case); otherwise leaves pos_ alone and gives false.
    bool quickRow(std::vector<std::string_view>& texts) {
        const char* p = buf_.data() + pos_;
        const char* end = buf_.data() + end_;
        for (std::string_view& text : texts) {
            if (p == end || static_cast<unsigned char>(*p) >= 0x80) {
                return false;
            }
            const auto len = static_cast<size_t>(*p++);
            if (len > static_cast<size_t>(end - p)) {
                return false;
            }
            text = std::string_view(p, len);
            p += len;
        }
        pos_ = static_cast<size_t>(p - buf_.data());
        return true;
    }

    // Adds a row read from mark_ to pos_ to the table.
    bool storeRow(std::span<const std::string_view> texts) {
        // Lengths below 128 are single ASCII bytes, so a row without high bytes is all valid
        // text; otherwise each text is checked.
        if (textcodec::hasHighBytes(std::string_view(buf_.data() + mark_, pos_ - mark_))) {
            for (const std::string_view text : texts) {
                if (!textcodec::isValidUtf8(text)) {
                    return damagedBecause("a cell text is not readable text");
                }
            }
        }
        switch (table_.appendRow(texts)) {
            case Table::AppendResult::Stored:
                return true;
            case Table::AppendResult::OverLimit:
                return overMemory();
            default:
                return damagedBecause("a column holds more text than a table can");
        }
    }

    bool readEnd() {
        if (taken() + kChecksumSize != static_cast<uint64_t>(source_.total())) {
            return remaining() < kChecksumSize
                       ? endsHere()
                       : fail(damaged(name_, QStringLiteral("it has more data than it should")));
        }
        quint64 stored = 0;
        if (!number(stored)) {
            return false;
        }
        char extra = 0;
        const qint64 more = end_ > pos_ ? 1 : source_.read(&extra, 1);
        if (more < 0) {
            return fail(source_.error());
        }
        if (more > 0) {
            return damagedBecause("it has more data than it should");
        }
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        if (stored != checksum_.result()) {
            return fail(damaged(name_, QLatin1StringView(kWrongSum)));
        }
#endif
        return source_.finish() || fail(source_.error());
    }

    ByteSource source_;
    QString name_;
    std::vector<char> buf_;
    static constexpr size_t kNoMark = std::numeric_limits<size_t>::max();
    size_t pos_ = 0;         // next byte of buf_ to take
    size_t mark_ = kNoMark;  // start of the row being read, kept in buf_
    size_t end_ = 0;         // bytes of buf_ filled
    qint64 offset_ = 0;      // file offset of buf_[0]
    quint32 version_ = kNativeVersion;
    quint32 rows_ = 0;
    quint32 cols_ = 0;
    quint32 heights_ = 0;
    quint32 styles_ = 0;
    quint64 memoryLimit_ = 0;
    Checksum checksum_;
    std::array<char, kChecksumSize> sumBytes_ = {};  // the check sum the file ends with
    bool readingBody_ = false;                       // past the header
    static constexpr const char* kWrongSum = "its contents do not match their check sum";
    Table table_;
    std::optional<FileError> error_;
};

}  // namespace

Result<Table> loadNative(QIODevice& device, const QString& name, const Progress& progress,
                         quint64 memoryLimit) {
    try {
        NativeReader reader(device, name, progress,
                            memoryLimit > 0 ? memoryLimit : memoryForLoads());
        return reader.run();
    } catch (const std::bad_alloc&) {
        return outOfMemory(name);
    }
}

Result<Table> loadNative(const QString& path, const Progress& progress, quint64 memoryLimit) {
    QFile file(path);
    if (auto error = openForReading(file)) {
        return *error;
    }
    return loadNative(file, displayName(path), progress, memoryLimit);
}

}  // namespace pellumar
