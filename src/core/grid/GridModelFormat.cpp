// The model's formatting: cell styles and pictures, column attributes and row heights.
#include "core/grid/GridModel.h"

#include "core/columns/CellValue.h"
#include "core/table/RowRuns.h"

#include <algorithm>
#include <new>

namespace pellumar {

QVariant GridModel::cell(CellProperty property, int row, int col) const {
    if (!validCell(row, col)) {
        return {};
    }
    const CellStyle s = table_.style(row, col);
    switch (property) {
        case CellProperty::Text:
            return table_.text(row, col);
        case CellProperty::Value: {
            if (table_.columnAttributes(col).dataType == DataTypeCheckbox) {
                return checkState(row, col) == CheckChecked;
            }
            if (const auto v = parseNumber(table_.utf8(row, col))) {
                return *v;
            }
            return table_.text(row, col);
        }
        case CellProperty::Alignment:
            return s.alignment >= 0 ? int(s.alignment) : table_.columnAttributes(col).alignment;
        case CellProperty::Picture:
            return int(s.picture);
        case CellProperty::PictureAlignment:
            return int(s.pictureAlignment);
        case CellProperty::Checked:
            return checkState(row, col);
        case CellProperty::BackColor:
            return s.backColor;
        case CellProperty::ForeColor:
            return s.foreColor;
        case CellProperty::FontSize:
            return double(s.fontSize);
        case CellProperty::FontBold:
            return s.bold;
        case CellProperty::FontItalic:
            return s.italic;
        case CellProperty::FontUnderline:
            return s.underline;
    }
    return {};
}

void GridModel::setCell(CellProperty property, int row1, int col1, int row2, int col2,
                        const QVariant& value) {
    const int top = std::max(std::min(row1, row2), 0);
    const int bottom = std::min(std::max(row1, row2), table_.rowCount() - 1);
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table_.columnCount() - 1);
    if (top > bottom || left > right) {
        return;
    }
    if (property == CellProperty::Text) {
        setBlockText(top, left, bottom, right, value.toString());
        return;
    }
    if (recording()) {
        const bool texts = property == CellProperty::Checked || property == CellProperty::Value;
        changeCells(texts ? "Edit" : "Style", CellArea{{top, bottom, {}}, left, right}, texts, true,
                    [&] { setCell(property, top, left, bottom, right, value); });
        return;
    }
    if (property == CellProperty::Checked || property == CellProperty::Value) {
        for (int r = top; r <= bottom; ++r) {
            for (int c = left; c <= right; ++c) {
                if (property == CellProperty::Value &&
                    table_.columnAttributes(c).dataType != DataTypeCheckbox) {
                    table_.setText(r, c, value.toString());
                    continue;
                }
                int state = value.toInt();
                if (property == CellProperty::Value) {
                    state = value.toBool() ? CheckChecked : CheckUnchecked;
                }
                if (table_.columnAttributes(c).dataType == DataTypeCheckbox) {
                    if (state == CheckChecked || state == CheckUnchecked) {
                        table_.setUtf8(r, c, state == CheckChecked ? "1" : "0");
                    }
                    continue;
                }
                CellStyle s = table_.style(r, c);
                s.checkState = static_cast<uint8_t>(std::clamp(state, 0, 2));
                table_.setStyle(r, c, s);
            }
        }
        notifyCells(top, left, bottom, right);
        return;
    }
    // Style properties: the block's few distinct styles change, in one pass over its cells.
    const auto change = [&]() -> std::function<void(CellStyle&)> {
        switch (property) {
            case CellProperty::Alignment: {
                const auto v = static_cast<int8_t>(std::clamp(value.toInt(), -1, 9));
                return [v](CellStyle& s) { s.alignment = v; };
            }
            case CellProperty::Picture: {
                const auto v = static_cast<uint8_t>(std::clamp(value.toInt(), 0, 255));
                return [v](CellStyle& s) { s.picture = v; };
            }
            case CellProperty::PictureAlignment: {
                const auto v = static_cast<int8_t>(std::clamp(value.toInt(), -1, 9));
                return [v](CellStyle& s) { s.pictureAlignment = v; };
            }
            case CellProperty::BackColor: {
                const uint32_t v = value.toUInt();
                return [v](CellStyle& s) { s.backColor = v; };
            }
            case CellProperty::ForeColor: {
                const uint32_t v = value.toUInt();
                return [v](CellStyle& s) { s.foreColor = v; };
            }
            case CellProperty::FontSize: {
                const float v = std::clamp(value.toFloat(), 0.0f, 400.0f);
                return [v](CellStyle& s) { s.fontSize = v; };
            }
            case CellProperty::FontBold: {
                const bool v = value.toBool();
                return [v](CellStyle& s) { s.bold = v; };
            }
            case CellProperty::FontItalic: {
                const bool v = value.toBool();
                return [v](CellStyle& s) { s.italic = v; };
            }
            case CellProperty::FontUnderline: {
                const bool v = value.toBool();
                return [v](CellStyle& s) { s.underline = v; };
            }
            default:
                return {};
        }
    }();
    if (change) {
        table_.changeStyles(top, left, bottom, right, change);
    }
    notifyCells(top, left, bottom, right);
}

void GridModel::setCellOfRows(CellProperty property, std::span<const int> rows, int col1, int col2,
                              const QVariant& value) {
    if (property == CellProperty::Text || property == CellProperty::Checked ||
        property == CellProperty::Value) {
        return;
    }
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table_.columnCount() - 1);
    std::vector<int> listed;
    for (const int r : rows) {
        if (r >= 0 && r < table_.rowCount() && (listed.empty() || listed.back() < r)) {
            listed.push_back(r);
        }
    }
    if (listed.empty() || left > right) {
        return;
    }
    if (recording()) {
        changeCells("Style", CellArea{{0, -1, listed}, left, right}, false, true,
                    [&] { setCellOfRows(property, listed, left, right, value); });
        return;
    }
    for (const auto& [first, count] : rowRuns(listed)) {
        setCell(property, first, left, first + count - 1, right, value);
    }
}

void GridModel::clearCells() {
    forgetHistory();
    beginResetModel();
    table_.clearCells();
    endResetModel();
}

void GridModel::changeAttributes(int col, const std::function<void(ColumnAttributes&)>& change,
                                 bool recorded) {
    const int first = col < 0 ? 0 : col;
    const int last = col < 0 ? table_.columnCount() - 1 : col;
    if (first >= table_.columnCount() || last < first) {
        return;
    }
    if (recorded && recording()) {
        const auto step = implicitStep("Column Define");
        std::vector<ColumnAttributes> before = readAttributes(first, last);
        changeAttributes(col, change, false);
        keep([&] {
            return attributesChange(*this, first, std::move(before), readAttributes(first, last));
        });
        return;
    }
    for (int c = first; c <= last; ++c) {
        ColumnAttributes attrs = table_.columnAttributes(c);
        change(attrs);
        table_.setColumnAttributes(c, attrs);
    }
    emit columnAttributesChanged(first, last);
    if (rowCount() > 0) {
        emit dataChanged(index(0, first), index(rowCount() - 1, last));
    }
}

void GridModel::setColumnAttributes(int col, const ColumnAttributes& attrs) {
    changeAttributes(col, [&](ColumnAttributes& a) { a = attrs; });
}

void GridModel::setColWidth(int col, int twips) {
    if (col >= 0 && col < cols() && colWidth(col) == twips) {
        return;
    }
    changeAttributes(
        col, [&](ColumnAttributes& a) { a.width = twips; }, false);
}

void GridModel::setColAlignment(int col, int alignment) {
    changeAttributes(col, [&](ColumnAttributes& a) { a.alignment = alignment; });
}

void GridModel::setColFormat(int col, const QString& format) {
    changeAttributes(col, [&](ColumnAttributes& a) { a.format = format; });
}

void GridModel::setColDataType(int col, int dataType) {
    changeAttributes(col, [&](ColumnAttributes& a) { a.dataType = dataType; });
}

void GridModel::setColHidden(int col, bool hidden) {
    changeAttributes(col, [&](ColumnAttributes& a) { a.hidden = hidden; });
}

void GridModel::setColComboList(int col, const QString& list) {
    const int first = col < 0 ? 0 : col;
    const int last = col < 0 ? table_.columnCount() - 1 : col;
    if (recording() && first <= last && last < table_.columnCount()) {
        const auto step = implicitStep("Column Define");
        std::vector<ColumnAttributes> before = readAttributes(first, last);
        {
            const EditRecorder::Replay quiet(*recorder_);
            setColComboList(col, list);
        }
        keep([&] {
            return attributesChange(*this, first, std::move(before), readAttributes(first, last));
        });
        return;
    }
    for (int c = first; c <= last && c < table_.columnCount(); ++c) {
        ColumnAttributes attrs = table_.columnAttributes(c);
        attrs.comboList = list;
        table_.setColumnAttributes(c, attrs);
    }
}

void GridModel::setRowHeight(int row, int twips) {
    setRowHeights(row, row, twips);
}

void GridModel::setRowHeights(int firstRow, int lastRow, int twips) {
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, table_.rowCount() - 1);
    if (firstRow > lastRow) {
        return;
    }
    twips = std::clamp(twips, 0, kMaxRowHeight);
    if (recording()) {
        const auto step = implicitStep("Row Height");
        const RowSpan span{firstRow, lastRow, {}};
        HeightRuns before = readHeights(span);
        {
            const EditRecorder::Replay quiet(*recorder_);
            setRowHeights(firstRow, lastRow, twips);
        }
        keep([&] { return heightsChange(*this, span, std::move(before), readHeights(span)); });
        return;
    }
    for (int r = firstRow; r <= lastRow; ++r) {
        table_.setRowHeight(r, twips);
    }
    emit rowHeightsChanged(firstRow, lastRow);
}

void GridModel::adjustRowHeights(std::span<const int> rows, int delta) {
    if (recording()) {
        RowSpan span;
        for (const int r : rows) {
            if (r >= 0 && r < table_.rowCount()) {
                span.list.push_back(r);
            }
        }
        if (span.list.empty()) {
            return;
        }
        if (std::is_sorted(span.list.begin(), span.list.end()) &&
            span.list.back() - span.list.front() + 1 == static_cast<int>(span.list.size())) {
            span = RowSpan{span.list.front(), span.list.back(), {}};  // whole rows keep no list
        }
        const auto step = implicitStep("Row Height");
        HeightRuns before = readHeights(span);
        {
            const EditRecorder::Replay quiet(*recorder_);
            adjustRowHeights(rows, delta);
        }
        keep([&] { return heightsChange(*this, span, std::move(before), readHeights(span)); });
        return;
    }
    int first = table_.rowCount();
    int last = -1;
    for (const int r : rows) {
        if (r < 0 || r >= table_.rowCount()) {
            continue;
        }
        const int twips = table_.rowHeight(r) + delta;
        if (twips > 0) {
            table_.setRowHeight(r, std::min(twips, kMaxRowHeight));
        }
        first = std::min(first, r);
        last = std::max(last, r);
    }
    if (first <= last) {
        emit rowHeightsChanged(first, last);
    }
}

}  // namespace pellumar
