// What the model's operations keep of a change so that it can be undone and redone: the texts,
// styles and heights of the cells and rows a change touched, compactly, and the changes built
// from them. Only the model (grid/GridModel.cpp) makes these.
#pragma once

#include <QString>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/table/EditRecorder.h"
#include "core/table/Table.h"

namespace pellumar {

class GridModel;

// A sequence of rows: top to bottom, or the listed rows when there is a list.
struct RowSpan {
    int top = 0;
    int bottom = -1;
    std::vector<int> list;

    size_t size() const {
        return list.empty() ? static_cast<size_t>(std::max(bottom - top + 1, 0)) : list.size();
    }
    int at(size_t i) const { return list.empty() ? top + static_cast<int>(i) : list[i]; }
    int first() const { return list.empty() ? top : list.front(); }
    int last() const { return list.empty() ? bottom : list.back(); }
};

// Cells: the rows of a span, columns left to right.
struct CellArea {
    RowSpan rows;
    int left = 0;
    int right = -1;

    size_t width() const { return static_cast<size_t>(std::max(right - left + 1, 0)); }
    size_t cells() const { return rows.size() * width(); }
};

// The texts of an area's cells, row by row, in one buffer. Empty texts before the first one that
// is not cost nothing, so the texts of an empty block take no room.
class CellTexts {
public:
    void append(std::string_view text);
    std::string_view at(size_t i) const;
    size_t count() const { return count_; }
    // Gives back the room grown beyond the texts.
    void squeeze() {
        bytes_.shrink_to_fit();
        ends_.shrink_to_fit();
    }
    size_t bytes() const { return bytes_.capacity() + ends_.capacity() * sizeof(uint32_t); }

private:
    std::string bytes_;
    std::vector<uint32_t> ends_;  // end of each text in bytes_; none while all are empty
    size_t count_ = 0;
};

// The styles of a block's cells as runs down each column.
struct StyleRun {
    int col;
    int first;  // row
    int count;
    CellStyle style;
};
using StyleRuns = std::vector<StyleRun>;

// Row heights along a row span, as runs of equal heights.
struct HeightRun {
    uint32_t count;
    int32_t twips;
};
using HeightRuns = std::vector<HeightRun>;

// The changes.
// The texts and/or styles of an area as they were before the change (the table holds them after).
std::unique_ptr<TableChange> cellsChange(GridModel& model, CellArea area, CellTexts texts,
                                         StyleRuns styles, bool hasTexts, bool hasStyles);
std::unique_ptr<TableChange> heightsChange(GridModel& model, RowSpan rows, HeightRuns before,
                                           HeightRuns after);
std::unique_ptr<TableChange> attributesChange(GridModel& model, int first,
                                              std::vector<ColumnAttributes> before,
                                              std::vector<ColumnAttributes> after);
// Rows added at `at` (empty ones); undone by dropping them.
std::unique_ptr<TableChange> rowsAddedChange(GridModel& model, int at, int count);
// Rows taken out (ascending), kept aside until undone or released.
std::unique_ptr<TableChange> rowsRemovedChange(GridModel& model, std::vector<int> rows,
                                               std::vector<uint32_t> ids, uint64_t generation);
std::unique_ptr<TableChange> columnsAddedChange(GridModel& model, int at, int count);
std::unique_ptr<TableChange> columnsRemovedChange(GridModel& model, int at,
                                                  Table::ColumnSet columns);
// Rows moved whole (texts, styles and heights), or their texts only.
std::unique_ptr<TableChange> rowsMovedChange(GridModel& model, int from, int count, int to,
                                             bool textsOnly);
std::unique_ptr<TableChange> columnMovedChange(GridModel& model, int from, int to);
// Records put in another order: the record at first + i came from first + order[i].
std::unique_ptr<TableChange> rowOrderChange(GridModel& model, int first, std::vector<int> order);
// A change of state kept beside the table, by two functions.
std::unique_ptr<TableChange> valueChange(std::function<void()> undo, std::function<void()> redo,
                                         size_t bytes);

}  // namespace pellumar
