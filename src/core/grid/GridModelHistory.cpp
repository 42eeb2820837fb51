// The model's side of the edit history: the steps its operations open, and the operations that
// read and write back what a step keeps (texts, styles, heights, attributes, rows and columns
// set aside).
#include "core/grid/GridModel.h"

#include "core/table/RowRuns.h"

#include <algorithm>
#include <new>

namespace pellumar {

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
