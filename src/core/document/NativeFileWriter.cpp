// Writing a table in the program's own file: the header, each column's texts, attributes and
// style runs, the row-height runs, and the check sum.
#include "core/document/NativeFile.h"

#include <QFile>
#include <QtEndian>

#include <string>
#include <vector>

#include "core/document/FileAccess.h"
#include "core/document/NativeFormat.h"

namespace pellumar {

namespace {

using namespace fileaccess;
using namespace nativeformat;

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
    for (const int r : table.rowsWithHeight()) {
        const int twips = table.rowHeight(r);
        if (!heightRuns.empty() &&
            heightRuns.back().first + heightRuns.back().count == quint32(r) &&
            heightRuns.back().twips == twips) {
            ++heightRuns.back().count;
        } else {
            heightRuns.push_back({static_cast<quint32>(r), 1, twips});
        }
    }

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
    if (cols == 0) {
        // A table without columns still gives each row a byte, so that a file's row count is
        // bounded by its size.
        for (int r = 0; r < rows; ++r) {
            sink.put('\0');
        }
    }
    std::vector<std::string_view> texts(static_cast<size_t>(cols));
    for (int r = 0; r < rows; ++r) {
        table.rowUtf8(r, texts);
        for (const std::string_view text : texts) {
            char* out = sink.room(5 + text.size());
            char* o = out;
            auto n = static_cast<uint32_t>(text.size());
            while (n >= 0x80) {
                *o++ = static_cast<char>(0x80 | (n & 0x7f));
                n >>= 7;
            }
            *o++ = static_cast<char>(n);
            if (!text.empty()) {
                std::memcpy(o, text.data(), text.size());
            }
            sink.advance(static_cast<size_t>(o - out) + text.size());
        }
    }
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

}  // namespace

Result<void> saveNative(const Table& table, QIODevice& device, const QString& name) {
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
}

Result<void> saveNative(const Table& table, const QString& path) {
    return saveAtomically(path, [&](QIODevice& device, const QString& name) {
        return saveNative(table, device, name);
    });
}

}  // namespace pellumar
