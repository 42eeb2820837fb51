#include "grid/GridModel.h"

#include "columns/CellValue.h"
#include "grid/ClipText.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>

namespace pellumar {

Qt::Alignment alignmentFlags(int code, bool isNumber) {
    if (code < 0 || code > 8) {
        code = isNumber ? AlignRightCenter : AlignLeftCenter;
    }
    static constexpr Qt::AlignmentFlag kHorizontal[] = {Qt::AlignLeft, Qt::AlignHCenter,
                                                        Qt::AlignRight};
    static constexpr Qt::AlignmentFlag kVertical[] = {Qt::AlignTop, Qt::AlignVCenter,
                                                      Qt::AlignBottom};
    return kHorizontal[code / 3] | kVertical[code % 3];
}

namespace {

// A cell style's value for one of the style roles; nothing for a value left at its default.
QVariant styleRoleValue(const CellStyle& s, int role) {
    switch (role) {
        case GridModel::BoldRole:
            return s.bold;
        case GridModel::ItalicRole:
            return s.italic;
        case GridModel::UnderlineRole:
            return s.underline;
        case GridModel::ForeColorRole:
            return s.foreColor >> 24 ? QVariant(s.foreColor) : QVariant();
        case GridModel::BackColorRole:
            return s.backColor >> 24 ? QVariant(s.backColor) : QVariant();
        case GridModel::FontSizeRole:
            return s.fontSize > 0 ? QVariant(s.fontSize) : QVariant();
        case GridModel::PictureRole:
            return s.picture != PictureNone ? QVariant(int(s.picture)) : QVariant();
        case GridModel::PictureAlignmentRole:
            return s.pictureAlignment >= 0 ? QVariant(int(s.pictureAlignment)) : QVariant();
        default:
            return {};
    }
}

}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}
GridModel::~GridModel() = default;

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, table_.rowCount() - fixedRows_);
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.columnCount();
}

bool GridModel::validCell(int row, int col) const {
    return row >= 0 && col >= 0 && row < table_.rowCount() && col < table_.columnCount();
}

QModelIndex GridModel::indexAt(int row, int col) const {
    return row >= fixedRows_ ? index(row - fixedRows_, col) : QModelIndex();
}

QString GridModel::displayText(int row, int col) const {
    if (table_.columnAttributes(col).dataType == DataTypeCheckbox) {
        return {};
    }
    const DisplayFormat& format = table_.displayFormat(col);
    return format.isIdentity() ? table_.text(row, col) : format.apply(table_.text(row, col));
}

int GridModel::checkState(int row, int col) const {
    if (!validCell(row, col)) {
        return CheckNone;
    }
    if (table_.columnAttributes(col).dataType == DataTypeCheckbox) {
        const auto v = parseNumber(table_.utf8(row, col));
        return v && (*v == 1 || *v == -1) ? CheckChecked : CheckUnchecked;
    }
    return table_.hasStyle(row, col) ? int(table_.style(row, col).checkState) : int(CheckNone);
}

void GridModel::setCheckState(int row, int col, int state) {
    if (!validCell(row, col)) {
        return;
    }
    if (recording()) {
        changeCells("Typing", CellArea{{row, row, {}}, col, col}, true, true,
                    [&] { setCheckState(row, col, state); });
        return;
    }
    if (table_.columnAttributes(col).dataType == DataTypeCheckbox) {
        if (state == CheckChecked || state == CheckUnchecked) {
            table_.setUtf8(row, col, state == CheckChecked ? "1" : "0");
        }
    } else {
        CellStyle s = table_.style(row, col);
        s.checkState = static_cast<uint8_t>(std::clamp(state, 0, 2));
        table_.setStyle(row, col, s);
    }
    notifyCells(row, col, row, col);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const int row = tableRow(index);
    const int col = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return displayText(row, col);
        case Qt::EditRole:
            return table_.text(row, col);
        case Qt::CheckStateRole: {
            const int state = checkState(row, col);
            if (state == CheckNone) {
                return {};
            }
            return QVariant::fromValue(state == CheckChecked ? Qt::Checked : Qt::Unchecked);
        }
        case Qt::TextAlignmentRole:
        case AlignmentCodeRole: {
            const CellStyle s = table_.style(row, col);
            const int code =
                s.alignment >= 0 ? s.alignment : table_.columnAttributes(col).alignment;
            if (role == AlignmentCodeRole) {
                return code;
            }
            const bool isNumber =
                (code < 0 || code > 8) && parseNumber(table_.utf8(row, col)).has_value();
            return QVariant::fromValue(alignmentFlags(code, isNumber));
        }
        default:
            break;
    }
    if (role < BoldRole || role > PictureAlignmentRole || !table_.hasStyle(row, col)) {
        return {};
    }
    return styleRoleValue(table_.style(row, col), role);
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return false;
    }
    const int row = tableRow(index);
    const int col = index.column();
    const auto step = implicitStep("Typing");
    if (role == Qt::EditRole || role == Qt::DisplayRole) {
        setText(row, col, value.toString());
    } else if (role == Qt::CheckStateRole) {
        const bool checked = value.toInt() == Qt::Checked;
        setCheckState(row, col, checked ? CheckChecked : CheckUnchecked);
    } else {
        return false;
    }
    emit cellEdited(row, col);
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags f =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    if (checkState(tableRow(index), index.column()) != CheckNone) {
        f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        return role == Qt::DisplayRole ? QVariant(section + fixedRows_) : QVariant();
    }
    if (section < 0 || section >= table_.columnCount()) {
        return {};
    }
    if (fixedRows_ == 0 || table_.rowCount() == 0) {
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return table_.text(0, section);
        case Qt::TextAlignmentRole: {
            const CellStyle s = table_.style(0, section);
            return QVariant::fromValue(alignmentFlags(
                s.alignment >= 0 ? int(s.alignment) : int(AlignCenterCenter), false));
        }
        default:
            break;
    }
    if (role < BoldRole || role > PictureAlignmentRole || !table_.hasStyle(0, section)) {
        return {};
    }
    return styleRoleValue(table_.style(0, section), role);
}

void GridModel::notifyCells(int row1, int col1, int row2, int col2) {
    const int top = std::max(std::min(row1, row2), 0);
    const int bottom = std::min(std::max(row1, row2), table_.rowCount() - 1);
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table_.columnCount() - 1);
    if (top > bottom || left > right) {
        return;
    }
    if (top < fixedRows_) {
        emit headerDataChanged(Qt::Horizontal, left, right);
    }
    const int first = std::max(top, fixedRows_);
    if (first <= bottom) {
        emit dataChanged(index(first - fixedRows_, left), index(bottom - fixedRows_, right));
    }
}

void GridModel::replaceTable(Table&& table) {
    forgetHistory();
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
    if (table_.columnCount() > 0) {
        emit columnAttributesChanged(0, table_.columnCount() - 1);
    }
    emit rowHeightsChanged(0, table_.rowCount() - 1);
}

Table GridModel::takeTable() {
    forgetHistory();
    beginResetModel();
    Table out = std::move(table_);
    table_ = Table();
    endResetModel();
    return out;
}

bool GridModel::setRows(int rows) {
    rows = std::max(rows, 0);
    const int oldRows = table_.rowCount();
    if (rows == oldRows) {
        return true;
    }
    if (!canAddRows(qint64{rows} - oldRows)) {
        return false;
    }
    if (recording()) {
        const auto step = implicitStep("Table Size");
        if (rows > oldRows) {
            insertRowsAt(oldRows, rows - oldRows);
        } else {
            std::vector<int> gone(static_cast<size_t>(oldRows - rows));
            std::iota(gone.begin(), gone.end(), rows);
            removeRowsRecorded(std::move(gone));
        }
        return true;
    }
    const int oldModel = rowCount();
    const int newModel = std::max(0, rows - fixedRows_);
    const bool headerChanges = std::min(oldRows, rows) < fixedRows_;
    if (newModel > oldModel) {
        beginInsertRows(QModelIndex(), oldModel, newModel - 1);
        table_.setRowCount(rows);
        endInsertRows();
    } else if (newModel < oldModel) {
        beginRemoveRows(QModelIndex(), newModel, oldModel - 1);
        table_.setRowCount(rows);
        endRemoveRows();
    } else {
        table_.setRowCount(rows);
    }
    if (headerChanges && table_.columnCount() > 0) {
        emit headerDataChanged(Qt::Horizontal, 0, table_.columnCount() - 1);
    }
    return true;
}

bool GridModel::setCols(int cols) {
    cols = std::max(cols, 0);
    const int old = table_.columnCount();
    if (!canAddColumns(qint64{cols} - old)) {
        return false;
    }
    if (recording() && cols != old) {
        const auto step = implicitStep("Table Size");
        if (cols > old) {
            insertColumnsAt(old, cols - old);
        } else {
            removeColumnsAt(cols, old - cols);
        }
        return true;
    }
    if (cols > old) {
        beginInsertColumns(QModelIndex(), old, cols - 1);
        table_.setColumnCount(cols);
        endInsertColumns();
        emit columnAttributesChanged(old, cols - 1);
    } else if (cols < old) {
        beginRemoveColumns(QModelIndex(), cols, old - 1);
        table_.setColumnCount(cols);
        endRemoveColumns();
    }
    return true;
}

void GridModel::setFixedRows(int fixedRows) {
    fixedRows = std::clamp(fixedRows, 0, 1);
    if (fixedRows == fixedRows_) {
        return;
    }
    beginResetModel();
    fixedRows_ = fixedRows;
    endResetModel();
}

void GridModel::setFixedCols(int fixedCols) {
    fixedCols_ = std::clamp(fixedCols, 0, 1);
}

void GridModel::setText(int row, int col, const QString& text) {
    if (!validCell(row, col)) {
        return;
    }
    if (recording()) {
        changeCells("Typing", CellArea{{row, row, {}}, col, col}, true, false,
                    [&] { setText(row, col, text); });
        return;
    }
    table_.setText(row, col, text);
    notifyCells(row, col, row, col);
}

void GridModel::setBlockText(int row1, int col1, int row2, int col2, const QString& text) {
    const int top = std::max(std::min(row1, row2), 0);
    const int bottom = std::min(std::max(row1, row2), table_.rowCount() - 1);
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table_.columnCount() - 1);
    if (recording() && top <= bottom && left <= right) {
        changeCells("Edit", CellArea{{top, bottom, {}}, left, right}, true, false,
                    [&] { setBlockText(top, left, bottom, right, text); });
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    const std::string_view v(utf8.constData(), static_cast<size_t>(utf8.size()));
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            table_.setUtf8(r, c, v);
        }
    }
    notifyCells(top, left, bottom, right);
}

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

bool GridModel::insertRowsAt(int at, int count) {
    if (count <= 0 || at < 0 || at > table_.rowCount()) {
        return true;
    }
    if (!canAddRows(count)) {
        return false;
    }
    const auto step = implicitStep("Insert Row");
    if (at < fixedRows_) {
        beginResetModel();
        table_.insertRows(at, count);
        endResetModel();
    } else {
        beginInsertRows(QModelIndex(), at - fixedRows_, at - fixedRows_ + count - 1);
        table_.insertRows(at, count);
        endInsertRows();
    }
    if (recording()) {
        keep([&] { return rowsAddedChange(*this, at, count); });
    }
    return true;
}

void GridModel::removeRowsAt(int at, int count) {
    if (count <= 0 || at < 0 || at >= table_.rowCount()) {
        return;
    }
    count = std::min(count, table_.rowCount() - at);
    if (recording()) {
        std::vector<int> rows(static_cast<size_t>(count));
        std::iota(rows.begin(), rows.end(), at);
        removeRowsRecorded(std::move(rows));
        return;
    }
    if (at < fixedRows_) {
        beginResetModel();
        table_.removeRows(at, count);
        endResetModel();
        return;
    }
    beginRemoveRows(QModelIndex(), at - fixedRows_, at - fixedRows_ + count - 1);
    table_.removeRows(at, count);
    endRemoveRows();
}

bool GridModel::insertColumnsAt(int at, int count) {
    if (count <= 0 || at < 0 || at > table_.columnCount()) {
        return true;
    }
    if (!canAddColumns(count)) {
        return false;
    }
    const auto step = implicitStep("Insert Column");
    beginInsertColumns(QModelIndex(), at, at + count - 1);
    table_.insertColumns(at, count);
    endInsertColumns();
    emit columnAttributesChanged(at, table_.columnCount() - 1);
    if (recording()) {
        keep([&] { return columnsAddedChange(*this, at, count); });
    }
    return true;
}

void GridModel::removeColumnsAt(int at, int count) {
    if (count <= 0 || at < 0 || at >= table_.columnCount()) {
        return;
    }
    count = std::min(count, table_.columnCount() - at);
    if (recording()) {
        const auto step = implicitStep("Delete Column");
        keep([&] { return columnsRemovedChange(*this, at, takeColumns(at, count)); });
        return;
    }
    beginRemoveColumns(QModelIndex(), at, at + count - 1);
    table_.removeColumns(at, count);
    endRemoveColumns();
    if (at < table_.columnCount()) {
        emit columnAttributesChanged(at, table_.columnCount() - 1);
    }
}

void GridModel::moveRowBlock(int from, int count, int to) {
    const int rows = table_.rowCount();
    if (count <= 0 || from < 0 || to < 0 || from + count > rows || to + count > rows ||
        from == to) {
        return;
    }
    if (recording()) {
        const auto step = implicitStep("Move Rows");
        keep([&] { return rowsMovedChange(*this, from, count, to, false); });
    }
    if (from < fixedRows_ || to < fixedRows_) {
        beginResetModel();
        table_.moveRows(from, count, to);
        endResetModel();
        return;
    }
    const int mf = from - fixedRows_;
    const int mt = to - fixedRows_;
    const int dest = mt < mf ? mt : mt + count;
    beginMoveRows(QModelIndex(), mf, mf + count - 1, QModelIndex(), dest);
    table_.moveRows(from, count, to);
    endMoveRows();
    emit rowHeightsChanged(std::min(from, to), std::max(from, to) + count - 1);
}

namespace {

// Runs of consecutive rows (first row, count) of an ascending list.
std::vector<std::pair<int, int>> rowRuns(std::span<const int> rows) {
    std::vector<std::pair<int, int>> runs;
    for (const int r : rows) {
        if (!runs.empty() && runs.back().first + runs.back().second == r) {
            ++runs.back().second;
        } else {
            runs.emplace_back(r, 1);
        }
    }
    return runs;
}

// A few runs of rows come and go one by one, so that views keep their place; many scattered
// rows are one reset of the model, which costs the views far less than many changes.
constexpr size_t kMaxRowRuns = 32;

}  // namespace

void GridModel::removeRowSet(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [this](int r) { return r < 0 || r >= table_.rowCount(); }),
               rows.end());
    if (rows.empty()) {
        return;
    }
    if (recording()) {
        removeRowsRecorded(std::move(rows));
        return;
    }
    if (rows.back() - rows.front() + 1 == static_cast<int>(rows.size())) {
        removeRowsAt(rows.front(), static_cast<int>(rows.size()));
        return;
    }
    const bool touchesTitles = rows.front() < fixedRows_;
    const auto runs = rowRuns(rows);
    if (touchesTitles || runs.size() > kMaxRowRuns) {
        beginResetModel();
        table_.removeRowSet(rows);
        endResetModel();
        return;
    }
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        removeRowsAt(it->first, it->second);
    }
}

void GridModel::moveRowTexts(int from, int count, int to) {
    const int rows = table_.rowCount();
    if (count <= 0 || from < 0 || to < 0 || from + count > rows || to + count > rows ||
        from == to) {
        return;
    }
    if (recording()) {
        const auto step = implicitStep("Move Rows");
        keep([&] { return rowsMovedChange(*this, from, count, to, true); });
    }
    table_.moveRowTexts(from, count, to);
    if (table_.columnCount() > 0) {
        notifyCells(std::min(from, to), 0, std::max(from, to) + count - 1,
                    table_.columnCount() - 1);
    }
}

void GridModel::moveColumn(int from, int to) {
    const int cols = table_.columnCount();
    if (from < 0 || to < 0 || from >= cols || to >= cols || from == to) {
        return;
    }
    if (recording()) {
        const auto step = implicitStep("Move Column");
        keep([&] { return columnMovedChange(*this, from, to); });
    }
    beginMoveColumns(QModelIndex(), from, from, QModelIndex(), to < from ? to : to + 1);
    table_.moveColumns(from, 1, to);
    endMoveColumns();
    emit columnAttributesChanged(std::min(from, to), std::max(from, to));
}

void GridModel::sortRecords(int col, bool ascending) {
    if (col < 0 || col >= table_.columnCount() || rowCount() < 2) {
        return;
    }
    if (!recording()) {
        rearrangeRecords(
            [&] { table_.sortRows(fixedRows_, table_.rowCount() - 1, col, ascending); });
        return;
    }
    // The order the sort gave, by the records' places before it.
    const auto step = implicitStep("Sort");
    const int first = fixedRows_;
    const auto n = static_cast<size_t>(table_.rowCount() - first);
    std::vector<int> order(n);
    {
        std::vector<uint32_t> ids(n);
        uint32_t most = 0;
        for (size_t i = 0; i < n; ++i) {
            ids[i] = table_.rowId(first + static_cast<int>(i));
            most = std::max(most, ids[i]);
        }
        std::vector<int> placeOf(size_t{most} + 1);
        for (size_t i = 0; i < n; ++i) {
            placeOf[ids[i]] = static_cast<int>(i);
        }
        rearrangeRecords([&] { table_.sortRows(first, table_.rowCount() - 1, col, ascending); });
        for (size_t i = 0; i < n; ++i) {
            order[i] = placeOf[table_.rowId(first + static_cast<int>(i))];
        }
    }
    keep([&] { return rowOrderChange(*this, first, std::move(order)); });
}

void GridModel::reorderRecords(std::span<const int> order) {
    if (order.empty()) {
        return;
    }
    rearrangeRecords([&] { table_.reorderRows(fixedRows_, order); });
}

void GridModel::rearrangeRecords(const std::function<void()>& rearrange) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    std::vector<uint32_t> ids;
    ids.reserve(static_cast<size_t>(persistent.size()));
    for (const QModelIndex& i : persistent) {
        ids.push_back(table_.rowId(tableRow(i)));
    }
    rearrange();
    QHash<uint32_t, int> newRow;
    if (!persistent.isEmpty()) {
        QHash<uint32_t, int> wanted;
        for (uint32_t id : ids) {
            wanted.insert(id, -1);
        }
        for (int r = fixedRows_; r < table_.rowCount() && !wanted.isEmpty(); ++r) {
            const auto it = wanted.find(table_.rowId(r));
            if (it != wanted.end()) {
                newRow.insert(it.key(), r);
                wanted.erase(it);
            }
        }
    }
    QModelIndexList to;
    to.reserve(persistent.size());
    for (qsizetype i = 0; i < persistent.size(); ++i) {
        to.push_back(
            index(newRow.value(ids[static_cast<size_t>(i)]) - fixedRows_, persistent[i].column()));
    }
    changePersistentIndexList(persistent, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit rowHeightsChanged(fixedRows_, table_.rowCount() - 1);
}

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

// --- The edit history ----------------------------------------------------------------------------

std::optional<EditRecorder::Step> GridModel::implicitStep(const char* name) {
    if (!recording()) {
        return std::nullopt;
    }
    return recorder_->step(QString::fromLatin1(name));
}

void GridModel::changeCells(const char* name, const CellArea& area, bool texts, bool styles,
                            const std::function<void()>& op) {
    const auto step = implicitStep(name);
    CellTexts textsBefore;
    StyleRuns stylesBefore;
    if (texts) {
        textsBefore = readTexts(area);
    }
    if (styles) {
        stylesBefore = readStyles(area);
    }
    {
        const EditRecorder::Replay quiet(*recorder_);
        op();
    }
    keep([&] {
        return cellsChange(*this, area, std::move(textsBefore), std::move(stylesBefore), texts,
                           styles);
    });
}

void GridModel::keep(const std::function<std::unique_ptr<TableChange>()>& make) {
    try {
        recorder_->record(make());
    } catch (const std::bad_alloc&) {
        // The table has changed past what the history could take back: it starts afresh.
        recorder_->forget();
        throw;
    }
}

void GridModel::removeRowsRecorded(std::vector<int> rows) {
    if (rows.empty()) {
        return;
    }
    const auto step = implicitStep("Delete Rows");
    std::vector<uint32_t> ids = detachRows(rows);
    keep([&] {
        return rowsRemovedChange(*this, std::move(rows), std::move(ids), recorder_->generation());
    });
}

void GridModel::forgetHistory() {
    if (recorder_) {
        recorder_->forget();
    }
}

CellTexts GridModel::readTexts(const CellArea& area) const {
    CellTexts texts;
    const size_t n = area.rows.size();
    for (size_t i = 0; i < n; ++i) {
        const int r = area.rows.at(i);
        for (int c = area.left; c <= area.right; ++c) {
            texts.append(table_.utf8(r, c));
        }
    }
    texts.squeeze();
    return texts;
}

void GridModel::writeTexts(const CellArea& area, const CellTexts& texts) {
    const size_t n = area.rows.size();
    size_t k = 0;
    int top = table_.rowCount();
    int bottom = -1;
    for (size_t i = 0; i < n; ++i) {
        const int r = area.rows.at(i);
        for (int c = area.left; c <= area.right; ++c) {
            table_.setUtf8(r, c, texts.at(k++));
        }
        top = std::min(top, r);
        bottom = std::max(bottom, r);
    }
    notifyCells(top, area.left, bottom, area.right);
}

StyleRuns GridModel::readStyles(const CellArea& area) const {
    StyleRuns runs;
    for (int c = area.left; c <= area.right; ++c) {
        table_.forEachStyleRun(c, area.rows.first(), area.rows.last(),
                               [&](int first, int count, const CellStyle& style) {
                                   runs.push_back({c, first, count, style});
                               });
    }
    return runs;
}

void GridModel::writeStyles(const CellArea& area, const StyleRuns& runs) {
    const int top = area.rows.first();
    const int bottom = area.rows.last();
    table_.setStyles(top, area.left, bottom, area.right, CellStyle{});
    for (const StyleRun& run : runs) {
        if (run.count == 1) {
            table_.setStyle(run.first, run.col, run.style);
        } else {
            table_.setStyles(run.first, run.col, run.first + run.count - 1, run.col, run.style);
        }
    }
    notifyCells(top, area.left, bottom, area.right);
}

HeightRuns GridModel::readHeights(const RowSpan& rows) const {
    HeightRuns runs;
    const size_t n = rows.size();
    for (size_t i = 0; i < n; ++i) {
        const int twips = table_.rowHeight(rows.at(i));
        if (!runs.empty() && runs.back().twips == twips) {
            ++runs.back().count;
        } else {
            runs.push_back({1, twips});
        }
    }
    return runs;
}

void GridModel::writeHeights(const RowSpan& rows, const HeightRuns& runs) {
    size_t i = 0;
    int first = table_.rowCount();
    int last = -1;
    for (const HeightRun& run : runs) {
        for (uint32_t k = 0; k < run.count && i < rows.size(); ++k, ++i) {
            const int r = rows.at(i);
            table_.setRowHeight(r, run.twips);
            first = std::min(first, r);
            last = std::max(last, r);
        }
    }
    if (first <= last) {
        emit rowHeightsChanged(first, last);
    }
}

std::vector<ColumnAttributes> GridModel::readAttributes(int first, int last) const {
    std::vector<ColumnAttributes> attrs;
    for (int c = first; c <= last && c < table_.columnCount(); ++c) {
        attrs.push_back(table_.columnAttributes(c));
    }
    return attrs;
}

void GridModel::writeAttributes(int first, const std::vector<ColumnAttributes>& attrs) {
    const int last = std::min(first + static_cast<int>(attrs.size()), table_.columnCount()) - 1;
    if (first < 0 || last < first) {
        return;
    }
    for (int c = first; c <= last; ++c) {
        ColumnAttributes a = attrs[static_cast<size_t>(c - first)];
        a.width = table_.columnAttributes(c).width;
        table_.setColumnAttributes(c, a);
    }
    emit columnAttributesChanged(first, last);
    if (rowCount() > 0) {
        emit dataChanged(index(0, first), index(rowCount() - 1, last));
    }
}

std::vector<uint32_t> GridModel::detachRows(std::span<const int> rows) {
    if (rows.empty()) {
        return {};
    }
    const auto runs = rowRuns(rows);
    if (rows.front() < fixedRows_ || runs.size() > kMaxRowRuns) {
        beginResetModel();
        std::vector<uint32_t> ids = table_.detachRows(rows);
        endResetModel();
        return ids;
    }
    std::vector<std::vector<uint32_t>> parts(runs.size());
    size_t offset = rows.size();
    for (size_t k = runs.size(); k-- > 0;) {
        const auto [first, count] = runs[k];
        offset -= static_cast<size_t>(count);
        beginRemoveRows(QModelIndex(), first - fixedRows_, first - fixedRows_ + count - 1);
        parts[k] = table_.detachRows(rows.subspan(offset, static_cast<size_t>(count)));
        endRemoveRows();
    }
    if (parts.size() == 1) {
        return std::move(parts.front());
    }
    std::vector<uint32_t> ids;
    ids.reserve(rows.size());
    for (const auto& part : parts) {
        ids.insert(ids.end(), part.begin(), part.end());
    }
    return ids;
}

void GridModel::attachRows(std::span<const int> rows, std::span<const uint32_t> ids) {
    if (rows.empty() || rows.size() != ids.size()) {
        return;
    }
    const auto runs = rowRuns(rows);
    if (rows.front() < fixedRows_ || runs.size() > kMaxRowRuns) {
        beginResetModel();
        table_.attachRows(rows, ids);
        endResetModel();
    } else {
        size_t offset = 0;
        for (const auto& [first, count] : runs) {
            const auto n = static_cast<size_t>(count);
            beginInsertRows(QModelIndex(), first - fixedRows_, first - fixedRows_ + count - 1);
            table_.attachRows(rows.subspan(offset, n), ids.subspan(offset, n));
            endInsertRows();
            offset += n;
        }
    }
    emit rowHeightsChanged(rows.front(), rows.back());
}

void GridModel::releaseRows(std::span<const uint32_t> ids) {
    table_.releaseRows(ids);
}

void GridModel::dropRows(int at, int count) {
    if (count <= 0 || at < 0 || at >= table_.rowCount()) {
        return;
    }
    count = std::min(count, table_.rowCount() - at);
    if (at < fixedRows_) {
        beginResetModel();
        table_.dropRows(at, count);
        endResetModel();
        return;
    }
    beginRemoveRows(QModelIndex(), at - fixedRows_, at - fixedRows_ + count - 1);
    table_.dropRows(at, count);
    endRemoveRows();
}

Table::ColumnSet GridModel::takeColumns(int at, int count) {
    if (count <= 0 || at < 0 || at >= table_.columnCount()) {
        return {};
    }
    count = std::min(count, table_.columnCount() - at);
    beginRemoveColumns(QModelIndex(), at, at + count - 1);
    Table::ColumnSet set = table_.takeColumns(at, count);
    endRemoveColumns();
    if (at < table_.columnCount()) {
        emit columnAttributesChanged(at, table_.columnCount() - 1);
    }
    return set;
}

void GridModel::putColumns(int at, Table::ColumnSet&& columns) {
    const int count = columns.count();
    if (count <= 0 || at < 0 || at > table_.columnCount()) {
        return;
    }
    beginInsertColumns(QModelIndex(), at, at + count - 1);
    table_.putColumns(at, std::move(columns));
    endInsertColumns();
    emit columnAttributesChanged(at, table_.columnCount() - 1);
    if (fixedRows_ > 0) {
        emit headerDataChanged(Qt::Horizontal, at, at + count - 1);
    }
}

}  // namespace pellumar
