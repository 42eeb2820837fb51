// Row and Block mode, Drag mode, the alternate row colour and the grid lines of the data grid.
#include "app/frmMain.h"

#include <QAction>

namespace pellumar {

void frmMain::mnuMouseMode_Click(int index) {
    QAction* rowMode = action(QStringLiteral("mnuMouseMode0"));
    QAction* blockMode = action(QStringLiteral("mnuMouseMode1"));
    if (index == 0) {
        rowMode->setChecked(true);
        blockMode->setChecked(false);
        setPanelText(3, QStringLiteral("ROW"));
        fa->setSelectionKind(GridControl::SelectionByRow);
        fa->select(fa->row(), 0, fa->row(), fa->cols() - 1);
    } else if (index == 1) {
        rowMode->setChecked(false);
        blockMode->setChecked(true);
        setPanelText(3, QStringLiteral("EDIT"));
        fa->setSelectionKind(GridControl::SelectionFree);
    }
}

void frmMain::mnuDragDrop_Click() {
    QAction* drag = action(QStringLiteral("mnuDragDrop"));
    const bool on = !drag->isChecked();
    drag->setChecked(on);
    fa->setDragMode(on);
    setPanelText(4, on ? QStringLiteral("DRAG") : QString());
}

void frmMain::mnuAlternateColor_Click() {
    QAction* alternate = action(QStringLiteral("mnuAlternateColor"));
    const bool on = !alternate->isChecked();
    alternate->setChecked(on);
    fa->setAlternateRowColor(on ? QColor(192, 255, 192) : QColor(255, 255, 255));
    AlternateColor = on;
}

void frmMain::mnuGrid_Click() {
    QAction* grid = action(QStringLiteral("mnuGrid"));
    const bool on = !grid->isChecked();
    grid->setChecked(on);
    fa->setGridLines(on);
}

}  // namespace pellumar
