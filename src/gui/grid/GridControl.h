// GridControl: the table widget every grid of the program is made of. A QTableView over a
// GridModel, addressed in table coordinates (row 0 is the title row when the grid has one fixed
// row, which is drawn as the column header). Sizes are in twips.
//
// The current cell is one corner of the selection and (selectionEndRow, selectionEndCol) the
// other; in whole-row selection the selection spans every column.
#pragma once

#include <QPersistentModelIndex>
#include <QTableView>

#include <vector>

#include "core/grid/GridModel.h"

namespace pellumar {

class GridStyleProxy;
class GridHeaderView;

class GridControl : public QTableView {
    Q_OBJECT

public:
    enum SelectionKind { SelectionFree = 0, SelectionByRow = 3 };
    enum SortOrder { SortAscending = 1, SortDescending = 2 };
    using CellProperty = GridModel::CellProperty;

    // Shows `model` (which outlives the grid), or a table of its own when none is given.
    explicit GridControl(QWidget* parent = nullptr, GridModel* model = nullptr);
    ~GridControl() override;

    GridModel* grid() const { return model_; }

    // Shape.
    int rows() const { return model_->rows(); }
    void setRows(int rows) { model_->setRows(rows); }
    int cols() const { return model_->cols(); }
    void setCols(int cols) { model_->setCols(cols); }
    int fixedRows() const { return model_->fixedRows(); }
    void setFixedRows(int fixedRows);
    int fixedCols() const { return model_->fixedCols(); }
    void setFixedCols(int fixedCols) { model_->setFixedCols(fixedCols); }

    // Current cell and selection.
    int row() const;
    int col() const;
    void setRow(int row) { select(row, col()); }
    void setCol(int col) { select(row(), col); }
    int selectionEndRow() const;
    int selectionEndCol() const;
    void select(int row, int col) { select(row, col, row, col); }
    // Selects the block; with `scroll` the current cell is brought into view.
    void select(int row1, int col1, int row2, int col2, bool scroll = true);
    // Top, bottom, left and right of the selection, in table coordinates; whole-row selection
    // spans every column.
    int selectionTop() const { return std::min(row(), selectionEndRow()); }
    int selectionBottom() const { return std::max(row(), selectionEndRow()); }
    int selectionLeft() const;
    int selectionRight() const;

    // Cells.
    QString textMatrix(int row, int col) const { return model_->text(row, col); }
    void setTextMatrix(int row, int col, const QString& text) { model_->setText(row, col, text); }
    QVariant cell(CellProperty property, int row, int col) const {
        return model_->cell(property, row, col);
    }
    void setCell(CellProperty property, int row1, int col1, int row2, int col2,
                 const QVariant& value) {
        model_->setCell(property, row1, col1, row2, col2, value);
    }
    // The current cell.
    QString text() const { return textMatrix(row(), col()); }
    void setText(const QString& text) { setTextMatrix(row(), col(), text); }
    QVariant currentCell(CellProperty property) const { return cell(property, row(), col()); }
    void setCurrentCell(CellProperty property, const QVariant& value) {
        setCell(property, row(), col(), row(), col(), value);
    }
    int cellChecked() const { return model_->checkState(row(), col()); }
    void setCellChecked(int state) { model_->setCheckState(row(), col(), state); }

    // Columns and rows (twips).
    int colWidth(int col) const;
    void setColWidth(int col, int twips) { model_->setColWidth(col, twips); }
    int colAlignment(int col) const { return model_->colAlignment(col); }
    void setColAlignment(int col, int alignment) { model_->setColAlignment(col, alignment); }
    QString colFormat(int col) const { return model_->colFormat(col); }
    void setColFormat(int col, const QString& format) { model_->setColFormat(col, format); }
    int colDataType(int col) const { return model_->colDataType(col); }
    void setColDataType(int col, int type) { model_->setColDataType(col, type); }
    bool colHidden(int col) const { return model_->colHidden(col); }
    void setColHidden(int col, bool hidden) { model_->setColHidden(col, hidden); }
    int rowHeight(int row) const { return model_->rowHeight(row); }
    void setRowHeight(int row, int twips) { model_->setRowHeight(row, twips); }
    int defaultColWidth() const { return defaultColWidth_; }
    void setDefaultColWidth(int twips);

    // The list offered when a cell is edited, items separated by "|"; "" gives a plain editor.
    // A list starting with "|" also lets the user type a text of their own.
    QString comboList() const { return comboList_; }
    void setComboList(const QString& list) { comboList_ = list; }

    // The selection as clip text (a list of rows one after another), and writing a clip text
    // into the selection.
    QString clip(const ClipProgress& progress = {}) const;
    void setClip(const QString& text);

    // Selection mode: SelectionFree (0) or SelectionByRow (3).
    int selectionKind() const { return selectionKind_; }
    void setSelectionKind(int kind);
    // The selected rows, in row order. In whole-row selection they may be a list of records that
    // need not be adjacent: Ctrl+click adds a record or drops a selected one (it becomes the
    // current record either way), Ctrl+Shift+click adds the records from the current one to the
    // clicked one. Otherwise they are the rows the selection spans.
    int selectedRows() const;
    int selectedRow(int n) const;
    std::vector<int> selectedRowList() const;
    // True while the selection is such a list; any other selection, and any change of the
    // table's rows, ends it.
    bool hasRowList() const { return listActive_; }
    bool isRowListed(int row) const;
    // Selects the rows (any order; rows outside the records are left out) as a list, the first
    // of them current. Whole-row selection only.
    void selectRowList(std::vector<int> rows);

    // Structure.
    void removeItem(int row) { model_->removeRow(row); }
    void setRowPosition(int row, int position) { model_->moveRow(row, position); }
    void setColPosition(int col, int position) { model_->moveColumn(col, position); }
    void clear() { model_->clearCells(); }
    void editCell();
    bool isEditing() const { return state() == EditingState; }

    // Display.
    bool gridLines() const { return showGrid(); }
    void setGridLines(bool on) { setShowGrid(on); }
    // An invalid colour switches alternate row colouring off.
    void setAlternateRowColor(const QColor& color);
    bool dragMode() const { return dragEnabled(); }
    void setDragMode(bool on);
    // Title-bar mode: a click on a column title sorts by that column (a further click on the
    // same title reverses the order) and dragging a title moves the column.
    bool titleBarMode() const { return titleBarMode_; }
    void setTitleBarMode(bool on);
    bool editable() const { return editable_; }
    void setEditable(bool on) { editable_ = on; }

    // Sorts the records as a click on a title does, with the grid's before and after signals.
    void sortByColumn(int col, int order);

signals:
    void focusGained();
    void selChanged();
    void beforeEdit(int row, int col, bool* cancel);
    // An edit of cell (row, col) has ended; an editor has closed by then.
    void afterEdit(int row, int col);
    void beforeSort(int col, int order);
    void afterSort(int col, int order);
    void afterMoveColumn(int col, int position);
    void cellClicked();
    // The current cell (row(), col()) is another one, however it moved.
    void currentCellChanged(int row, int col);
    void cellDoubleClicked();
    // A key the grid has already acted on (the current cell has moved).
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void changeEvent(QEvent* event) override;

private:
    void applyColumnAttributes(int first, int last);
    void applyRowHeights(int first, int last);
    void onSelectionChanged();
    void noteCurrentCell();
    // Rows inserted or removed keep the current cell and the selection at their places (clamped
    // to the table), as the grid's commands expect; sorting and moves let them follow their rows.
    void rememberPlace();
    void restorePlace();
    // A selection of several records means nothing once the records are sorted or put in
    // another order (they would lie scattered, and the views would spend seconds following
    // them): it becomes the current record, which follows its record. All records stay selected.
    void narrowSelectionForReorder();
    void selectCurrentAfterReorder();
    void noteEdit(int row, int col);
    void reportEdits();
    void extendRowSelection();
    void endRowList();
    // Ctrl+click (with Shift: Ctrl+Shift+click) on a record in whole-row selection.
    void listClick(QMouseEvent* event, const QModelIndex& index);
    void onSectionClicked(int section);
    void onSectionMoved(int logical, int oldVisual, int newVisual);
    QModelIndex viewIndex(int row, int col) const;
    int toTableRow(const QModelIndex& index) const;
    // Whether the header stretches this column, its last one, to fill the view.
    bool isStretchedSection(int col) const;

    GridModel* model_;
    GridStyleProxy* proxy_;
    GridHeaderView* header_;
    int selectionKind_ = SelectionFree;
    bool titleBarMode_ = false;
    bool editable_ = true;
    bool programmatic_ = false;
    bool movingSection_ = false;
    struct Place {
        bool valid = false;
        int row = 0, col = 0, endRow = 0, endCol = 0;
    };
    Place place_;  // the selection before rows were inserted or removed
    bool reselectAfterReorder_ = false;
    // The current cell (the selection's other corner is the view's current index). It follows
    // the cell's record and column when rows or columns come, go, move or are sorted, as the
    // view's current index does.
    QPersistentModelIndex anchor_;
    bool committing_ = false;  // an editor's text is being written into the model
    std::vector<std::pair<int, int>> pendingEdits_;  // edits reported once their editor closed
    int notedRow_ = -1;                              // the current cell last reported
    int notedCol_ = -1;
    int lastSortCol_ = -1;
    int lastSortOrder_ = 0;
    int defaultColWidth_ = 1200;
    QString comboList_;
    std::vector<int> listed_;  // the list of selected rows (table rows, ascending)
    bool listActive_ = false;
    bool listClicking_ = false;          // between the press and the release of a Ctrl+click
    std::vector<int> customHeightRows_;  // model rows shown at another height than most rows
    int defaultRowPixels_ = 0;           // a row of the default height
};

}  // namespace pellumar
