// What both workbook writers share: the checks of a table against a sheet's limits, and how a
// cell's look (its style, its column's alignment, a line break) is described.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>
#include <string_view>

#include "core/document/FileResult.h"
#include "core/document/WorkbookPackage.h"
#include "core/document/ZipWriter.h"
#include "core/table/Table.h"

namespace pellumar::workbook {

// The error of a table a workbook of `kind` cannot hold (too many rows or columns, a text too
// long for an .xlsx cell), naming the limit and what to save the table as instead; nothing when
// it fits. Checked before anything is written.
std::optional<FileError> checkLimits(const Table& table, const QString& name, Kind kind);

// A cell's look as written: alignment (an AlignmentCode, or -1 for general), font and colours
// (0xRRGGBB, or -1 for none), and whether its text wraps.
struct CellLook {
    int alignment = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int foreColor = -1;
    int backColor = -1;
    bool wrap = false;

    bool operator==(const CellLook&) const = default;
};

// The look of a cell from its style (when it has one), its column's alignment and its text.
CellLook lookOf(const CellStyle* style, int columnAlignment, std::string_view text, bool title);

// Horizontal: 0 left, 1 centre, 2 right, -1 general; vertical: 0 top, 1 centre, 2 bottom, -1 none.
inline int horizontalOf(int alignment) {
    return alignment >= 0 && alignment <= 8 ? alignment / 3 : -1;
}
inline int verticalOf(int alignment) {
    return alignment >= 0 && alignment <= 8 ? alignment % 3 : -1;
}

// Collects what an XML writer writes and hands it on to the zip's open entry a megabyte at a
// time (a zip part deflates large pieces much faster than many small ones).
class ChunkedWriter : public QIODevice {
public:
    explicit ChunkedWriter(ZipWriter& target) : target_(target) { open(QIODevice::WriteOnly); }
    // Hands on what is collected; false once the target refused a write.
    bool flushAll() {
        if (ok_ && !buffer_.isEmpty()) {
            ok_ = target_.write(buffer_);
        }
        buffer_.clear();
        return ok_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        buffer_.append(data, size);
        if (buffer_.size() >= (1 << 20)) {
            flushAll();
        }
        return ok_ ? size : -1;
    }

private:
    ZipWriter& target_;
    QByteArray buffer_;
    bool ok_ = true;
};

// The characters XML 1.0 cannot carry (controls other than tab and line feed) taken out.
QString xmlSafe(QString text);

}  // namespace pellumar::workbook
