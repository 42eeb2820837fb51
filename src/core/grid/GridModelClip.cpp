// The grid model's clip text: blocks and lists of rows read out and written as clip text, a
// list's texts cleared, and texts copied in from another table.
#include <algorithm>

#include "core/grid/GridModel.h"
#include "core/table/ClipText.h"

namespace pellumar {

QString GridModel::clipText(int row1, int col1, int row2, int col2,
                            const ClipProgress& progress) const {
    return joinClip(table_, row1, col1, row2, col2, progress);
}

void GridModel::setClipText(int row1, int col1, int row2, int col2, const QString& text,
                            const ClipProgress& progress) {
    const int top = std::max(std::min(row1, row2), 0);
    const int bottom = std::min(std::max(row1, row2), table_.rowCount() - 1);
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table_.columnCount() - 1);
    if (top > bottom || left > right) {
        return;
    }
    if (recording()) {
        // The text fills at most one row per line break, and the rows below keep their texts.
        const qsizetype breaks = text.count(u'\n') + text.count(u'\r');
        const int last = static_cast<int>(std::min<qint64>(bottom, qint64{top} + breaks));
        changeCells("Paste", CellArea{{top, last, {}}, left, right}, true, false,
                    [&] { setClipText(top, left, bottom, right, text, progress); });
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    const int rowsRead = readClip(
        std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), bottom - top + 1,
        right - left + 1,
        [this, top, left](int r, int c, std::string_view cell) {
            table_.setUtf8(top + r, left + c, cell);
        },
        progress);
    notifyCells(top, left, top + rowsRead - 1, right);
}

QString GridModel::clipTextOfRows(std::span<const int> rows, int col1, int col2,
                                  const ClipProgress& progress) const {
    return joinClipRows(table_, rows, col1, col2, progress);
}

void GridModel::clearTextsOfRows(std::span<const int> rows, int col1, int col2) {
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table_.columnCount() - 1);
    if (recording() && left <= right) {
        CellArea area{{}, left, right};
        for (const int r : rows) {
            if (r >= 0 && r < table_.rowCount()) {
                area.rows.list.push_back(r);
            }
        }
        if (!area.rows.list.empty()) {
            changeCells("Cut", area, true, false, [&] { clearTextsOfRows(rows, col1, col2); });
        }
        return;
    }
    int top = table_.rowCount();
    int bottom = -1;
    for (int r : rows) {
        if (r < 0 || r >= table_.rowCount()) {
            continue;
        }
        for (int c = left; c <= right; ++c) {
            table_.setUtf8(r, c, {});
        }
        top = std::min(top, r);
        bottom = std::max(bottom, r);
    }
    if (bottom >= top) {
        notifyCells(top, left, bottom, right);
    }
}

void GridModel::copyTexts(const Table& from, int fromRow, int fromCol, int rows, int cols,
                          int toRow, int toCol) {
    rows = std::min({rows, from.rowCount() - fromRow, table_.rowCount() - toRow});
    cols = std::min({cols, from.columnCount() - fromCol, table_.columnCount() - toCol});
    if (rows <= 0 || cols <= 0 || fromRow < 0 || fromCol < 0 || toRow < 0 || toCol < 0) {
        return;
    }
    if (recording()) {
        changeCells("Append", CellArea{{toRow, toRow + rows - 1, {}}, toCol, toCol + cols - 1},
                    true, false,
                    [&] { copyTexts(from, fromRow, fromCol, rows, cols, toRow, toCol); });
        return;
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            table_.setUtf8(toRow + r, toCol + c, from.utf8(fromRow + r, fromCol + c));
        }
    }
    notifyCells(toRow, toCol, toRow + rows - 1, toCol + cols - 1);
}

}  // namespace pellumar
