#include "gui/grid/RecordGridController.h"

#include "core/document/Document.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/services/CommandRegistry.h"
#include "gui/services/StatusPanels.h"

namespace pellumar {

RecordGridController::RecordGridController(Document& document, RecordViews& views,
                                           FormPanelController& formPanel,
                                           CommandRegistry& commands, StatusPanels& status,
                                           QObject* parent)
    : QObject(parent),
      document_(document),
      views_(views),
      fa_(views.fa()),
      fb_(views.fb()),
      formPanel_(formPanel),
      commands_(commands),
      status_(status) {
    connect(fa_, &GridControl::focusGained, this, &RecordGridController::fa_GotFocus);
    connect(fb_, &GridControl::focusGained, this, &RecordGridController::fb_GotFocus);
    connect(fa_, &GridControl::afterEdit, this, &RecordGridController::fa_AfterEdit);
    connect(fa_, &GridControl::beforeSort, this, &RecordGridController::fa_BeforeSort);
    connect(fa_, &GridControl::afterSort, this, &RecordGridController::fa_AfterSort);
    connect(fa_, &GridControl::afterMoveColumn, this, &RecordGridController::fa_AfterMoveColumn);
    connect(fa_, &GridControl::keyPressed, this,
            [this](int key, Qt::KeyboardModifiers) { fa_KeyPressed(key); });
    connect(fa_, &GridControl::cellClicked, &formPanel_, &FormPanelController::fa_Click);
    connect(fa_, &GridControl::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
                fa_MouseUp(button, pos);
            });
    connect(fb_, &GridControl::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
                fb_MouseUp(button, pos);
            });
    connect(fa_, &GridControl::selChanged, this, &RecordGridController::fa_SelChange);
    // A move over either grid ends the splitter's sizing pointer.
    for (GridControl* grid : {fa_, fb_}) {
        connect(grid, &GridControl::mouseMoved, grid, [grid] { grid->viewport()->unsetCursor(); });
    }
}

void RecordGridController::SetDefaults() {
    fa_->setFixedRows(1);
    fa_->setRows(50);
    fa_->setCols(9);
    fa_->setColAlignment(-1, AlignGeneral);
    fa_->setFixedCols(0);
    fa_->setTitleBarMode(true);

    fb_->setColAlignment(-1, AlignLeftTop);
    if (fb_->rows() > fb_->fixedRows()) {
        fb_->setCol(1);
    }
}

void RecordGridController::UpdateEditMenu() {
    const ActiveArea area = views_.activeArea();
    if (area != ActiveArea::DataGrid && area != ActiveArea::FormPanel) {
        return;
    }
    const bool show = area == ActiveArea::DataGrid;
    for (CommandId item : {CommandId::mnuEditCut, CommandId::mnuEditPaste, CommandId::mnuInsert,
                           CommandId::mnuDelete, CommandId::mnuSelectAll, CommandId::mnuEditFind,
                           CommandId::mnuEditStat, CommandId::mnuMove, CommandId::mnuEditColAttr,
                           CommandId::mnuAlign}) {
        commands_.setCommandVisible(item, show);
    }
    // The separators between those items go with them.
    for (CommandId item :
         {CommandId::mnuSelectAll, CommandId::mnuEditFind, CommandId::mnuDelete, CommandId::mnuMove,
          CommandId::mnuEditStat, CommandId::mnuEditColAttr, CommandId::mnuAlign}) {
        commands_.setSeparatorAfterVisible(item, show);
    }
}

void RecordGridController::fa_GotFocus() {
    views_.setActiveArea(ActiveArea::DataGrid);
    UpdateEditMenu();
    if (views_.isBlockMode()) {
        commands_.setCommandEnabled(CommandId::mnuEditCut, true);
        commands_.setCommandEnabled(CommandId::mnuEditPaste, true);
    }
}

void RecordGridController::fb_GotFocus() {
    views_.setActiveArea(ActiveArea::FormPanel);
    UpdateEditMenu();
}

void RecordGridController::fa_AfterEdit(int row, int col) {
    // The Form Panel's value cell takes the new text unformatted, or the new check state.
    const GridModel& data = document_.model();
    if (data.colDataType(col) == DataTypeCheckbox) {
        fb_->grid()->setCheckState(col + 1, 1, data.checkState(row, col));
    } else {
        fb_->setTextMatrix(col + 1, 1, data.text(row, col));
    }
    document_.markChanged();
}

void RecordGridController::fa_BeforeSort() {
    // The arrows, the sort and the sort column are one step, which ends after the sort.
    sortStep_.reset();
    sortStep_.emplace(document_.step(QStringLiteral("Sort")));
    const int last = document_.lastSortCol();
    fa_->setCell(GridControl::CellProperty::Picture, 0, last, 0, last, int(PictureNone));
}

void RecordGridController::fa_AfterSort(int col, int order) {
    fa_->setCell(GridControl::CellProperty::PictureAlignment, 0, col, 0, col,
                 int(AlignRightCenter));
    fa_->setCell(GridControl::CellProperty::Picture, 0, col, 0, col,
                 int(order == GridControl::SortAscending ? PictureSortUp : PictureSortDown));
    document_.setLastSortCol(col);
    document_.markChanged();
    sortStep_.reset();
}

void RecordGridController::fa_AfterMoveColumn() {
    // The Form Panel reads its titles again: the model's column move tells it.
    document_.markChanged();
}

void RecordGridController::fa_KeyPressed(int key) {
    if (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up ||
        key == Qt::Key_Down) {
        formPanel_.fa_Click();
    }
}

void RecordGridController::fa_MouseUp(Qt::MouseButton button, QPoint pos) {
    if (button != Qt::RightButton) {
        return;
    }
    const bool rowMode = commands_.commandChecked(CommandId::mnuMouseMode0);
    commands_.setCommandEnabled(CommandId::mnuRowHeight, rowMode);
    commands_.setCommandEnabled(CommandId::mnuEditStat, !rowMode);
    commands_.setCommandEnabled(CommandId::mnuMove, rowMode);
    commands_.popupMenu(CommandId::mnuEdit, fa_->viewport()->mapToGlobal(pos));
}

void RecordGridController::fb_MouseUp(Qt::MouseButton button, QPoint pos) {
    if (button != Qt::RightButton) {
        return;
    }
    commands_.setCommandEnabled(CommandId::mnuRowHeight, true);
    commands_.popupMenu(CommandId::mnuEdit, fb_->viewport()->mapToGlobal(pos));
}

void RecordGridController::fa_SelChange() {
    status_.setPanelText(5, QString::number(fa_->selectedRows()) + QStringLiteral(" Sel"));
}

}  // namespace pellumar
