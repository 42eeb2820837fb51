// The data grid as the document's record table: its empty-document settings and its reactions
// to edits, sorting, column drags, keys, the right button and the selection.
#include "app/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>

namespace pellumar {

void frmMain::SetDefaults() {
    fa->setFixedRows(1);
    fa->setRows(50);
    fa->setCols(9);
    fa->setColAlignment(-1, AlignGeneral);
    fa->setFixedCols(0);
    fa->setTitleBarMode(true);

    fb->setColAlignment(-1, AlignLeftTop);
    if (fb->rows() > fb->fixedRows()) {
        fb->setCol(1);
    }
}

bool frmMain::isBlockMode() const {
    return toolButton(QStringLiteral("BlockMode"))->isChecked();
}

void frmMain::UpdateEditMenu() {
    if (ActiveArea != 1 && ActiveArea != 2) {
        return;
    }
    const bool show = ActiveArea == 1;
    static const char* kItems[] = {"mnuEditCut",     "mnuEditPaste", "mnuInsert",   "mnuDelete",
                                   "mnuSelectAll",   "mnuEditFind",  "mnuEditStat", "mnuMove",
                                   "mnuEditColAttr", "mnuAlign"};
    for (const char* item : kItems) {
        action(QString::fromLatin1(item))->setVisible(show);
    }
    // The separators between those items go with them.
    static const char* kSeparators[] = {"mnuSelectAll", "mnuEditFind",    "mnuDelete", "mnuMove",
                                        "mnuEditStat",  "mnuEditColAttr", "mnuAlign"};
    for (const char* item : kSeparators) {
        separatorAfter(QString::fromLatin1(item))->setVisible(show);
    }
}

void frmMain::popupEditMenu(const QPoint& globalPos) {
    menu(QStringLiteral("mnuEdit"))->popup(globalPos);
}

void frmMain::connectGrids() {
    connect(fa, &GridControl::focusGained, this, [this] {
        ActiveArea = 1;
        UpdateEditMenu();
        if (isBlockMode()) {
            setCommandEnabled(QStringLiteral("mnuEditCut"), true);
            setCommandEnabled(QStringLiteral("mnuEditPaste"), true);
        }
    });
    connect(fb, &GridControl::focusGained, this, [this] {
        ActiveArea = 2;
        UpdateEditMenu();
    });

    connect(fa, &GridControl::afterEdit, this, [this](int row, int col) {
        if (fa->colDataType(col) == DataTypeCheckbox) {
            fb->grid()->setCheckState(col + 1, 1, fa->grid()->checkState(row, col));
        } else {
            fb->setTextMatrix(col + 1, 1, fa->textMatrix(row, col));
        }
        if (!IsModified) {
            MakeModified(true);
        }
    });

    connect(fa, &GridControl::beforeSort, this, [this](int, int) {
        fa->setCell(GridControl::CellProperty::Picture, 0, LastSortCol, 0, LastSortCol,
                    int(PictureNone));
    });
    connect(fa, &GridControl::afterSort, this, [this](int col, int order) {
        fa->setCell(GridControl::CellProperty::PictureAlignment, 0, col, 0, col,
                    int(AlignRightCenter));
        fa->setCell(GridControl::CellProperty::Picture, 0, col, 0, col,
                    int(order == GridControl::SortAscending ? PictureSortUp : PictureSortDown));
        LastSortCol = static_cast<int16_t>(col);
        if (!IsModified) {
            MakeModified(true);
        }
    });

    connect(fa, &GridControl::afterMoveColumn, this, [this](int, int) {
        if (!IsModified) {
            MakeModified(true);
        }
        IsTitleChanged = true;
    });

    connect(fa, &GridControl::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up ||
            key == Qt::Key_Down) {
            fa_Click();
        }
    });
    connect(fa, &GridControl::cellClicked, this, [this] { fa_Click(); });

    connect(fa, &GridControl::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
                if (button != Qt::RightButton) {
                    return;
                }
                const bool rowMode = action(QStringLiteral("mnuMouseMode0"))->isChecked();
                setCommandEnabled(QStringLiteral("mnuRowHeight"), rowMode);
                setCommandEnabled(QStringLiteral("mnuEditStat"), !rowMode);
                setCommandEnabled(QStringLiteral("mnuMove"), rowMode);
                popupEditMenu(fa->viewport()->mapToGlobal(pos));
            });
    connect(fb, &GridControl::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
                if (button != Qt::RightButton) {
                    return;
                }
                setCommandEnabled(QStringLiteral("mnuRowHeight"), true);
                popupEditMenu(fb->viewport()->mapToGlobal(pos));
            });

    connect(fa, &GridControl::selChanged, this, [this] {
        setPanelText(5, QString::number(fa->selectedRows()) + QStringLiteral(" Sel"));
    });
    for (GridControl* grid : {fa, fb}) {
        connect(grid, &GridControl::mouseMoved, grid, [grid] { grid->viewport()->unsetCursor(); });
    }
    connectFormPanel();
}

}  // namespace pellumar
