// Writing a table in the program's own file: the header, each column's texts, attributes and
// style runs, the row-height runs, and the check sum.
#include "core/document/NativeFile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "core/document/FileAccess.h"
#include "core/document/NativeFormat.h"

namespace pellumar {

namespace {

using namespace fileaccess;
using namespace nativeformat;

// The longest run of empty records or cells one number names.
constexpr int64_t kMaxRun = int64_t{1} << 31;

// Writes a number of up to 35 bits as LEB128 at out; gives the end.
char* varint(char* out, uint64_t n) {
    while (n >= 0x80) {
        *out++ = static_cast<char>(0x80 | (n & 0x7f));
        n >>= 7;
    }
    *out++ = static_cast<char>(n);
    return out;
}

void putVarint(ByteSink& sink, uint64_t n) {
    char* out = sink.room(5);
    sink.advance(static_cast<size_t>(varint(out, n) - out));
}

template <typename T>
void putNumber(ByteSink& sink, T value) {
    const T le = qToLittleEndian(value);
    sink.put(reinterpret_cast<const char*>(&le), sizeof le);
}

void putString(ByteSink& sink, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    putNumber<quint32>(sink, static_cast<quint32>(utf8.size()));
    sink.put(utf8.constData(), static_cast<size_t>(utf8.size()));
}

// A style as the file keeps it.
std::string styleRecord(const CellStyle& s) {
    std::string out(kStyleRecordSize, '\0');
    char* p = out.data();
    const auto put = [&p](auto value) {
        const auto le = qToLittleEndian(value);
        std::memcpy(p, &le, sizeof le);
        p += sizeof le;
    };
    put(s.foreColor);
    put(s.backColor);
    put(s.fontSize);
    put(s.alignment);
    put(s.pictureAlignment);
    put(s.picture);
    put(s.checkState);
    put(static_cast<quint8>((s.bold ? 1 : 0) | (s.italic ? 2 : 0) | (s.underline ? 4 : 0)));
    return out;
}

struct StyleRun {
    quint32 col;
    quint32 first;
    quint32 count;
    quint32 style;
};

struct HeightRun {
    quint32 first;
    quint32 count;
    qint32 twips;
};

void writeTable(const Table& table, ByteSink& sink) {
    const int rows = table.rowCount();
    const int cols = table.columnCount();
    // Styles: each distinct one once, and runs of cells that share one.
    std::vector<std::string> styles;
    std::unordered_map<std::string, quint32> styleIds;
    std::vector<StyleRun> styleRuns;
    table.forEachStyleRun([&](int col, int first, int count, const CellStyle& style) {
        std::string record = styleRecord(style);
        const auto [it, fresh] = styleIds.try_emplace(record, static_cast<quint32>(styles.size()));
        if (fresh) {
            styles.push_back(std::move(record));
        }
        styleRuns.push_back({static_cast<quint32>(col), static_cast<quint32>(first),
                             static_cast<quint32>(count), it->second});
    });
    std::vector<HeightRun> heightRuns;
    table.forEachHeightRun([&heightRuns](int first, int count, int twips) {
        heightRuns.push_back({static_cast<quint32>(first), static_cast<quint32>(count), twips});
    });

    sink.put(kMagic, sizeof kMagic);
    putNumber<quint32>(sink, kNativeVersion);
    putNumber<quint32>(sink, static_cast<quint32>(rows));
    putNumber<quint32>(sink, static_cast<quint32>(cols));
    putNumber<quint32>(sink, static_cast<quint32>(heightRuns.size()));
    putNumber<quint32>(sink, static_cast<quint32>(styleRuns.size()));
    for (int c = 0; c < cols; ++c) {
        const ColumnAttributes& a = table.columnAttributes(c);
        putNumber<qint32>(sink, a.width);
        putNumber<qint32>(sink, a.alignment);
        putNumber<qint32>(sink, a.dataType);
        putNumber<quint8>(sink, a.hidden ? 1 : 0);
        putString(sink, a.format);
        putString(sink, a.comboList);
    }
    // Texts, record by record: a record gives its cells up to its last filled one, a stretch of
    // empty cells inside it is one number, and a stretch of empty records is one number too.
    int next = 0;  // the first record not written yet
    const auto emptyRecords = [&sink](int64_t count) {
        for (; count > 0; count -= kMaxRun) {
            putVarint(sink, 2 * (std::min<int64_t>(count, kMaxRun) - 1) + 1);
        }
    };
    table.forEachFilledRow([&](int row, std::span<const std::pair<int, std::string_view>> cells) {
        emptyRecords(row - next);
        next = row + 1;
        putVarint(sink, 2 * (uint64_t(cells.back().first) + 1));
        int col = 0;
        for (const auto& [c, text] : cells) {
            if (c > col) {
                putVarint(sink, 2 * uint64_t(c - col - 1) + 1);
            }
            char* out = sink.room(5 + text.size());
            char* o = varint(out, 2 * uint64_t(text.size()));
            std::memcpy(o, text.data(), text.size());
            sink.advance(static_cast<size_t>(o - out) + text.size());
            col = c + 1;
        }
    });
    emptyRecords(rows - next);
    for (const HeightRun& run : heightRuns) {
        putNumber<quint32>(sink, run.first);
        putNumber<quint32>(sink, run.count);
        putNumber<qint32>(sink, run.twips);
    }
    putNumber<quint32>(sink, static_cast<quint32>(styles.size()));
    for (const std::string& record : styles) {
        sink.put(record.data(), record.size());
    }
    for (const StyleRun& run : styleRuns) {
        putNumber<quint32>(sink, run.col);
        putNumber<quint32>(sink, run.first);
        putNumber<quint32>(sink, run.count);
        putNumber<quint32>(sink, run.style);
    }
}

// A save the system gives too little memory for: the file is not written, an old one stays.
FileError noMemoryToSave(const QString& name) {
    return FileError{
        FileError::Reason::NoMemory,
        QStringLiteral("Cannot save %1: there is not enough memory to write it.").arg(name)};
}

}  // namespace

Result<void> saveNative(const Table& table, QIODevice& device, const QString& name) {
    try {
        ByteSink sink(device);
        Checksum checksum;
        sink.observer = [&checksum](const char* p, size_t n) { checksum.update(p, n); };
        writeTable(table, sink);
        sink.flush();
        sink.observer = nullptr;
        putNumber<quint64>(sink, checksum.result());
        if (!sink.flush()) {
            return writeFailed(name, device, sink.systemError());
        }
        return {};
    } catch (const std::bad_alloc&) {
        return noMemoryToSave(name);
    }
}

Result<void> saveNative(const Table& table, const QString& path) {
    try {
        return saveAtomically(path, [&](QIODevice& device, const QString& name) {
            return saveNative(table, device, name);
        });
    } catch (const std::bad_alloc&) {
        return noMemoryToSave(displayName(path));
    }
}

}  // namespace pellumar
