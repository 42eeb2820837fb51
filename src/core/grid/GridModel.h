// The item model over a Table: every change of a grid's table goes through this class, which
// tells the views about it. Operations take table coordinates, where row 0 is the title row when
// the grid has one fixed row; the Qt model rows are the rows below the fixed rows, and the fixed
// row is the horizontal header.
#pragma once

#include <QAbstractTableModel>
#include <QVariant>

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "core/grid/ModelChanges.h"
#include "core/table/ClipText.h"
#include "core/table/EditRecorder.h"
#include "core/table/Table.h"

namespace pellumar {

class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Style roles, mapped to fonts and colours by the widget layer.
    enum Role {
        BoldRole = Qt::UserRole + 1,
        ItalicRole,
        UnderlineRole,
        ForeColorRole,  // uint 0xAARRGGBB, invalid when not set
        BackColorRole,
        FontSizeRole,
        PictureRole,  // PictureCode
        PictureAlignmentRole,
        AlignmentCodeRole,  // the cell's effective AlignmentCode
    };

    // The cell properties readable and settable over a block of cells.
    enum class CellProperty {
        Text,
        Value,  // check-box cells give true or false, others their text
        Alignment,
        Picture,
        PictureAlignment,
        Checked,
        BackColor,
        ForeColor,
        FontSize,
        FontBold,
        FontItalic,
        FontUnderline,
    };

    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const Table& table() const { return table_; }
    // Replaces the whole table at once (a load). The fixed row count stays.
    void replaceTable(Table&& table);
    // Hands the table out, leaving an empty one (0 x 0).
    Table takeTable();

    // Shape. Growing adds empty cells, shrinking drops them. Growth past the table's limits
    // (TableLimits.h) is refused: nothing changes and the call gives false.
    int rows() const { return table_.rowCount(); }
    int cols() const { return table_.columnCount(); }
    bool setRows(int rows);
    bool setCols(int cols);
    // True when `count` more columns (rows) fit in the table; a command that would go past
    // tells the user tooManyColumnsMessage() (tooManyRowsMessage()) and changes nothing.
    bool canAddColumns(qint64 count) const { return columnsFit(cols(), count); }
    bool canAddRows(qint64 count) const { return rowsFit(rows(), count); }
    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int fixedRows);  // 0 or 1
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int fixedCols);  // kept for the grid's contract; no column is drawn fixed

    // Table coordinates <-> model indexes. Rows above the model (the title row) give invalid
    // indexes.
    QModelIndex indexAt(int row, int col) const;
    int tableRow(const QModelIndex& index) const { return index.row() + fixedRows_; }

    // Cells.
    QString text(int row, int col) const { return table_.text(row, col); }
    void setText(int row, int col, const QString& text);
    void setBlockText(int row1, int col1, int row2, int col2, const QString& text);
    QVariant cell(CellProperty property, int row, int col) const;
    void setCell(CellProperty property, int row1, int col1, int row2, int col2,
                 const QVariant& value);
    void setCell(CellProperty property, int row, int col, const QVariant& value) {
        setCell(property, row, col, row, col, value);
    }
    // The same style property for the listed rows (ascending), columns col1 to col2: one change,
    // as the records picked one by one are styled together. Texts and check states are not
    // styles and go through setCell.
    void setCellOfRows(CellProperty property, std::span<const int> rows, int col1, int col2,
                       const QVariant& value);
    // 0 no box, 1 checked, 2 unchecked. In a check-box column the state follows the text:
    // checked exactly when the text is the number -1 or 1; setting it writes "1" or "0".
    int checkState(int row, int col) const;
    void setCheckState(int row, int col, int state);
    // The text as shown: through the column's display format, empty in check-box columns.
    QString displayText(int row, int col) const;
    // Empties every cell and drops every cell style.
    void clearCells();

    // Columns.
    const ColumnAttributes& columnAttributes(int col) const { return table_.columnAttributes(col); }
    void setColumnAttributes(int col, const ColumnAttributes& attrs);
    int colWidth(int col) const { return columnAttributes(col).width; }
    void setColWidth(int col, int twips);
    int colAlignment(int col) const { return columnAttributes(col).alignment; }
    void setColAlignment(int col, int alignment);  // col -1: every column
    QString colFormat(int col) const { return columnAttributes(col).format; }
    void setColFormat(int col, const QString& format);
    int colDataType(int col) const { return columnAttributes(col).dataType; }
    void setColDataType(int col, int dataType);
    bool colHidden(int col) const { return columnAttributes(col).hidden; }
    void setColHidden(int col, bool hidden);
    QString colComboList(int col) const { return columnAttributes(col).comboList; }
    void setColComboList(int col, const QString& list);

    // Rows.
    int rowHeight(int row) const { return table_.rowHeight(row); }
    void setRowHeight(int row, int twips);
    void setRowHeights(int firstRow, int lastRow, int twips);
    // Adds `delta` twips to the height of each listed row, up to kMaxRowHeight; a row that would
    // become 0 twips high or less keeps its height.
    void adjustRowHeights(std::span<const int> rows, int delta);

    // Structure.
    bool insertRowsAt(int at, int count);
    void removeRowsAt(int at, int count);
    void removeRow(int row) { removeRowsAt(row, 1); }
    bool insertColumnsAt(int at, int count);
    void removeColumnsAt(int at, int count);
    // Removes the listed rows (any order; repeats and rows outside the table are ignored) in one
    // batch: a contiguous run is one removal; many scattered rows are one reset of the model.
    void removeRowSet(std::vector<int> rows);
    // Moves `count` rows from `from` so that the first of them ends at `to`.
    void moveRowBlock(int from, int count, int to);
    // Moves only the texts of `count` whole rows so that the first ends at `to`; cell styles and
    // row heights stay where they are. One change of the rows between.
    void moveRowTexts(int from, int count, int to);
    void moveRow(int from, int to) { moveRowBlock(from, 1, to); }
    void moveColumn(int from, int to);

    // Stable sort of the records (the rows below the fixed rows) by one column.
    void sortRecords(int col, bool ascending);

    // The text form of a block (cells joined by tabs, rows by line breaks), and writing such a
    // text into a block: a larger text fills only the block, a smaller one only what it has.
    // `progress` hears now and then how far a long one has got.
    QString clipText(int row1, int col1, int row2, int col2,
                     const ClipProgress& progress = {}) const;
    void setClipText(int row1, int col1, int row2, int col2, const QString& text,
                     const ClipProgress& progress = {});
    // The same for a list of rows (ascending), columns col1 to col2: the clip text of the listed
    // rows one after another, and emptying their texts.
    QString clipTextOfRows(std::span<const int> rows, int col1, int col2,
                           const ClipProgress& progress = {}) const;
    void clearTextsOfRows(std::span<const int> rows, int col1, int col2);
    // Writes the texts of a block of another table here, as a clip text would carry them (texts
    // only); cells that fall outside this table are dropped.
    void copyTexts(const Table& from, int fromRow, int fromCol, int rows, int cols, int toRow,
                   int toCol);

    // --- The edit history ------------------------------------------------------------------------
    // With a recorder, each change below is recorded while the recorder records
    // (grid/EditRecorder.h). Loads (replaceTable, takeTable) and clearCells make the history
    // forget. Column widths are the view's, and fixed rows the grid's set-up: neither is recorded.
    void setRecorder(EditRecorder* recorder) { recorder_ = recorder; }
    EditRecorder* recorder() const { return recorder_; }

    // The operations through which recorded changes go back and forth.
    CellTexts readTexts(const CellArea& area) const;
    void writeTexts(const CellArea& area, const CellTexts& texts);
    // The cells of a block (rows top to bottom) whose style is not the default one.
    StyleRuns readStyles(const CellArea& area) const;
    void writeStyles(const CellArea& area, const StyleRuns& runs);
    HeightRuns readHeights(const RowSpan& rows) const;
    void writeHeights(const RowSpan& rows, const HeightRuns& runs);
    std::vector<ColumnAttributes> readAttributes(int first, int last) const;
    // Sets the attributes of columns first, first + 1, ...; the columns keep their widths.
    void writeAttributes(int first, const std::vector<ColumnAttributes>& attrs);
    // Takes the listed rows (ascending) out, keeping them aside; puts such rows back; drops them.
    std::vector<uint32_t> detachRows(std::span<const int> rows);
    void attachRows(std::span<const int> rows, std::span<const uint32_t> ids);
    void releaseRows(std::span<const uint32_t> ids);
    void dropRows(int at, int count);
    Table::ColumnSet takeColumns(int at, int count);
    void putColumns(int at, Table::ColumnSet&& columns);
    // The record at fixedRows() + i becomes the one that was at fixedRows() + order[i].
    void reorderRecords(std::span<const int> order);

signals:
    void columnAttributesChanged(int firstCol, int lastCol);
    void rowHeightsChanged(int firstRow, int lastRow);
    // A cell was changed by an edit in a view (the grid's after-edit event).
    void cellEdited(int row, int col);

private:
    bool recording() const { return recorder_ && recorder_->recording(); }
    // Opens a step of its own for a change made while none is open (nothing when not recording).
    std::optional<EditRecorder::Step> implicitStep(const char* name);
    // Runs `op`, recording the texts and/or styles `area` had before it.
    void changeCells(const char* name, const CellArea& area, bool texts, bool styles,
                     const std::function<void()>& op);
    // Adds the change `make` gives to the open step; when there is no memory for it, the history
    // forgets what it holds (it no longer matches the table) and the exception goes on.
    void keep(const std::function<std::unique_ptr<TableChange>()>& make);
    void removeRowsRecorded(std::vector<int> rows);
    void forgetHistory();
    // Rearranges the records in place, keeping the views' persistent indexes on their records.
    void rearrangeRecords(const std::function<void()>& rearrange);
    bool validCell(int row, int col) const;
    void notifyCells(int row1, int col1, int row2, int col2);
    void changeAttributes(int col, const std::function<void(ColumnAttributes&)>& change,
                          bool recorded = true);

    Table table_;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    EditRecorder* recorder_ = nullptr;
};

// Converts an AlignmentCode to Qt's alignment flags; general alignment needs the text.
Qt::Alignment alignmentFlags(int code, bool isNumber);

}  // namespace pellumar
