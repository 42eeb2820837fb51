// The record table's storage: cell texts, sparse cell styles, column attributes and row heights.
//
// Built for big tables: a cell is eight bytes, short texts (up to seven UTF-8 bytes) live inside
// the cell itself and longer ones in a per-column text arena. Rows and columns are reached through
// index maps, so moving, inserting and removing rows or columns never copies cell contents (the
// row map is made only once the rows' order changes: a loaded table's rows cost nothing).
// Each distinct cell style is kept once; a cell holds the index of its style and a row its height,
// by physical row, as runs (core/table/RowValues.h): a table without formatting pays nothing for
// them, and styles and heights travel with their rows.
#pragma once

#include <QString>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "core/columns/ColumnCodes.h"
#include "core/columns/DisplayFormat.h"
#include "core/table/RowValues.h"
#include "core/table/TableLimits.h"

namespace pellumar {

// Check state codes of a cell.
enum CheckCode : int { CheckNone = 0, CheckChecked = 1, CheckUnchecked = 2 };

// Picture codes shown in a cell (the sort arrows of the title row).
enum PictureCode : int { PictureNone = 0, PictureSortUp = 1, PictureSortDown = 2 };

constexpr int kDefaultRowHeight = 240;  // twips
constexpr int kMaxRowHeight = 1000000;  // twips; the native file keeps no taller row
constexpr int kMaxTextBytes = 0x7fffffff;

// Per-cell formatting. Colours are 0xAARRGGBB; an alpha of 0 means "not set".
struct CellStyle {
    uint32_t foreColor = 0;
    uint32_t backColor = 0;
    float fontSize = 0;     // points; 0 means the grid's font size
    int8_t alignment = -1;  // AlignmentCode, -1 means the column's alignment
    int8_t pictureAlignment = -1;
    uint8_t picture = PictureNone;
    uint8_t checkState = CheckNone;  // used outside check-box columns
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool isDefault() const { return *this == CellStyle{}; }
    bool operator==(const CellStyle&) const = default;
};

struct ColumnAttributes {
    int width = -1;  // twips; -1 means the grid's default width
    int alignment = AlignGeneral;
    int dataType = DataTypeNone;
    QString format;
    bool hidden = false;
    QString comboList;

    bool operator==(const ColumnAttributes&) const = default;
};

// What a table's storage may still take while a load watches its memory (Table::setStorageLimit).
struct StorageBudget {
    size_t limit = std::numeric_limits<size_t>::max();
    size_t used = 0;  // the storage when the limit was set, and what it took since

    bool take(size_t bytes) {
        if (bytes > limit - used) {
            return false;
        }
        used += bytes;
        return true;
    }
};

class Table {
    struct Column;

public:
    Table();
    Table(int rows, int cols);
    Table(Table&&) noexcept;
    Table& operator=(Table&&) noexcept;
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;
    ~Table();

    // A frozen copy for a reader on another thread (the crash-recovery writer): it shares the
    // columns' storage with this table, so it costs next to nothing however big the table is.
    // The first later change of a shared column here copies that column first; the copy itself
    // never changes. Only the copy may leave the thread that changes this table.
    Table snapshot() const;

    int rowCount() const {
        return mapped_ ? static_cast<int>(rowMap_.size()) : static_cast<int>(physicalRows_.count);
    }
    int columnCount() const { return static_cast<int>(cols_.size()); }

    // Growing adds empty rows or columns at the end; shrinking drops the last ones. Nothing grows
    // past kMaxRows or kMaxColumns (TableLimits.h): such a call changes nothing.
    void setRowCount(int rows);
    void setColumnCount(int cols);
    void insertRows(int at, int count);
    void removeRows(int at, int count);
    void insertColumns(int at, int count);
    void removeColumns(int at, int count);
    // Removes the listed rows (ascending, no repeats) in one pass.
    void removeRowSet(std::span<const int> rows);
    // Moves `count` rows starting at `from` so that the first of them ends at index `to`.
    void moveRows(int from, int count, int to);
    // The same for the rows' texts only: cell styles and row heights stay at their positions.
    void moveRowTexts(int from, int count, int to);
    void moveColumns(int from, int count, int to);

    // Cell texts. Out-of-range reads give the empty text; out-of-range writes are ignored.
    QString text(int row, int col) const;
    std::string_view utf8(int row, int col) const;
    bool isEmpty(int row, int col) const { return utf8(row, col).empty(); }
    void setText(int row, int col, QStringView text);
    void setUtf8(int row, int col, std::string_view text);
    // Empties every cell text and drops every cell style; counts and column attributes stay.
    void clearCells();

    // Bulk loading, for the file forms. appendRow adds one row at the end holding texts[i] in
    // column i; columns are added when there are more texts than columns (their cells above stay
    // empty) and the cells beyond the texts stay empty; empty texts take no storage. A text that
    // cannot be stored (a column holds at most 4 GB of text) leaves its cell empty.
    enum class AppendResult {
        Stored,
        TextTooLong,  // a text could not be stored
        TooWide,      // more texts than kMaxColumns: nothing was added
        TooLong,      // the table has kMaxRows rows: nothing was added
        OverLimit,    // the storage would pass its limit: the row is added in part
    };
    AppendResult appendRow(std::span<const std::string_view> texts);
    // The texts of row `row` in columns 0 to out.size() - 1 (empty past the last column), for
    // writers that go through a table row by row.
    void rowUtf8(int row, std::span<std::string_view> out) const;
    // The filled cells of each row with any, in row order, for writers that keep empty cells at
    // no cost: `row` is called with the row and its (column, text) pairs in column order. A row
    // costs what its filled cells cost, not the table's width, and rows without filled cells
    // are passed over (a stretch of them after the last filled cell of a load at once).
    void forEachFilledRow(
        const std::function<void(int row, std::span<const std::pair<int, std::string_view>> cells)>&
            row) const;
    // The texts of column `col` in rows firstRow to firstRow + out.size() - 1 (empty past the last
    // row), for passes that go through a table column by column.
    void columnUtf8(int col, int firstRow, std::span<std::string_view> out) const;
    // Gives back the room reserved or grown beyond what the rows and texts use, when it is
    // worth a copy (more than an eighth of what they use).
    void squeeze();
    // Loads watch their memory: while a limit is set, appendRow refuses a row whose cells, long
    // texts or place in the row index would take the storage past it. Every chunk of cells or
    // texts counts from the moment it is made, whether filled yet or not.
    void setStorageLimit(size_t bytes);
    void clearStorageLimit();
    // The bytes the storage of cell texts and rows holds now.
    size_t storageBytes() const;
    // After appendRow refused a row for the limit: about the bytes the row would still have taken.
    size_t shortfall() const { return shortfall_; }

    // Per-cell style.
    CellStyle style(int row, int col) const;
    bool hasStyle(int row, int col) const;
    void setStyle(int row, int col, const CellStyle& style);
    bool hasAnyStyle() const;
    // The same style for every cell of a block (corners in any order, clipped to the table).
    void setStyles(int row1, int col1, int row2, int col2, const CellStyle& style);
    // Changes the style of every cell of a block in one pass: `change` is called once for each
    // distinct style the block holds, not once a cell.
    void changeStyles(int row1, int col1, int row2, int col2,
                      const std::function<void(CellStyle&)>& change);
    // The styled cells as runs of equally styled cells down each column, column by column and
    // top to bottom (for writers); cells without a style of their own make no run.
    void forEachStyleRun(const std::function<void(int col, int firstRow, int count,
                                                  const CellStyle& style)>& run) const;
    // The same for rows first to last of one column.
    void forEachStyleRun(
        int col, int first, int last,
        const std::function<void(int firstRow, int count, const CellStyle& style)>& run) const;

    // Column attributes.
    const ColumnAttributes& columnAttributes(int col) const;
    void setColumnAttributes(int col, const ColumnAttributes& attrs);
    // The column's display picture, parsed once when the format or the type changes.
    const DisplayFormat& displayFormat(int col) const;

    // Row heights in twips (kDefaultRowHeight unless set), from 0 to kMaxRowHeight.
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    // The same height for rows first to first + count - 1 (clipped to the table).
    void setRowHeights(int first, int count, int twips);
    // Rows whose height differs from the default, in row order.
    std::vector<int> rowsWithHeight() const;
    // The same as runs of rows of one height, in row order (for writers).
    void forEachHeightRun(const std::function<void(int first, int count, int twips)>& run) const;

    // Stable sort of rows [first, last] by one column. A column whose non-empty cells are all
    // numbers sorts numerically, all dates chronologically, otherwise as text without regard to
    // case; empty cells go last in either order.
    void sortRows(int first, int last, int col, bool ascending);

    // The physical row behind a logical row, for callers that keep row identities across moves.
    uint32_t rowId(int row) const { return physical(row); }

    // --- Rows and columns set aside for an edit history ---------------------------------------
    // A history keeps what a change removed inside the table itself, so that taking it back costs
    // no copy of its cells: removed rows stay in the storage, out of the row order, until they are
    // put back or released; removed columns are held whole.

    // Takes the listed rows (ascending, no repeats, within the table) out of the row order,
    // keeping their cells, styles and heights; gives their physical rows in the same order.
    std::vector<uint32_t> detachRows(std::span<const int> rows);
    // Puts detached rows back: physical row ids[i] becomes row rows[i] of the table that results
    // (rows ascending).
    void attachRows(std::span<const int> rows, std::span<const uint32_t> ids);
    // Drops detached rows for good.
    void releaseRows(std::span<const uint32_t> ids);
    // About the bytes that detached rows hold.
    size_t detachedBytes(std::span<const uint32_t> ids) const;
    // Removes rows like removeRows, but never starts the storage afresh (detached rows and
    // columns held aside stay valid).
    void dropRows(int at, int count);
    // Rows [first, first + order.size()): the row at first + i becomes the row that was at
    // first + order[i].
    void reorderRows(int first, std::span<const int> order);

    // Whole columns taken out of the table, with their cells, styles and attributes.
    class ColumnSet {
    public:
        ColumnSet();
        ColumnSet(ColumnSet&&) noexcept;
        ColumnSet& operator=(ColumnSet&&) noexcept;
        ~ColumnSet();
        int count() const { return static_cast<int>(columns_.size()); }
        size_t bytes() const;

    private:
        friend class Table;
        std::vector<std::shared_ptr<const Column>> columns_;
    };
    ColumnSet takeColumns(int at, int count);
    void putColumns(int at, ColumnSet&& set);

private:
    const Column* column(int col) const { return cols_[static_cast<size_t>(col)].get(); }
    // The text of a column's physical row, for code that walks a column's cells in the rows' map.
    static std::string_view cellView(const Column* column, uint32_t phys);
    // The column to change: copied first while a snapshot shares it.
    Column* writableColumn(int col) { return &writable(cols_[static_cast<size_t>(col)]); }
    static Column& writable(std::shared_ptr<const Column>& column);
    bool inRange(int row, int col) const;
    uint32_t takePhysicalRow();
    // Empties the rows and gives them back for reuse.
    void releasePhysicalRows(std::span<const uint32_t> ids);
    struct StylePalette;
    StylePalette& palette();

    // A count that a move takes along, leaving none behind.
    struct Count {
        uint32_t count = 0;
        Count() = default;
        Count(Count&& other) noexcept : count(std::exchange(other.count, 0)) {}
        Count& operator=(Count&& other) noexcept {
            count = std::exchange(other.count, 0);
            return *this;
        }
    };
    uint32_t physical(int row) const {
        return mapped_ ? rowMap_[static_cast<size_t>(row)] : static_cast<uint32_t>(row);
    }
    // Calls f(first, count, value) for each run of `values` within rows first to last, clipped to
    // them; only while row r is physical row r.
    template <typename Values, typename F>
    static void forEachRun(const Values& values, int first, int last, F&& f) {
        for (const auto& run : values.runs()) {
            const int64_t top = std::max<int64_t>(run.first, first);
            const int64_t bottom = std::min<int64_t>(int64_t(run.end()) - 1, last);
            if (top <= bottom) {
                f(static_cast<int>(top), static_cast<int>(bottom - top + 1), run.value);
            }
        }
    }
    // Makes the row map, for a change of the rows' order.
    void mapRows();
    // Gives OverLimit for a row refused at its text `from`, noting what the rest would take.
    AppendResult refuse(std::span<const std::string_view> texts, size_t from, uint32_t phys);

    // Logical row -> physical row. While rows have only been added at the end (as a load adds
    // them), row r is physical row r and no map is kept, so rows cost nothing; the first change
    // of their order makes the map.
    std::vector<uint32_t> rowMap_;
    bool mapped_ = false;
    std::vector<uint32_t> freeRows_;  // only while mapped
    Count physicalRows_;
    std::vector<std::shared_ptr<const Column>> cols_;  // shared with snapshots until changed
    std::unique_ptr<StylePalette> palette_;  // the distinct cell styles; none before the first
    RowValues<int32_t> rowHeights_;          // physical row -> twips - kDefaultRowHeight
    StorageBudget budget_;
    size_t shortfall_ = 0;
};

}  // namespace pellumar
