#include "core/grid/GridModel.h"

#include "core/columns/CellValue.h"
#include "core/table/ClipText.h"
#include "core/table/RowRuns.h"

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
        // 1 and -1 are checked, and so is TRUE, as workbooks give their booleans.
        const std::string_view text = table_.utf8(row, col);
        const auto v = parseNumber(text);
        const bool isTrue = text.size() == 4 &&
                            QLatin1StringView(text.data(), 4)
                                    .compare(QLatin1StringView("true"), Qt::CaseInsensitive) == 0;
        return isTrue || (v && (*v == 1 || *v == -1)) ? CheckChecked : CheckUnchecked;
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

}  // namespace pellumar
