// The Form Panel: the current record of the data grid as a form of title/value rows, and the
// refresh `fa_Click` that keeps it, the style buttons and the position panel in step.
#include "app/frmMain.h"

#include <QAction>
#include <QHeaderView>
#include <QTabWidget>

namespace pellumar {

using CellProperty = GridControl::CellProperty;

void frmMain::SetupFormPanel() {
    fb->setSelectionKind(GridControl::SelectionByRow);
    fb->setFixedRows(1);
    fb->setCols(2);
    fb->setRows(10);
    fb->setColWidth(0, 1300);
    fb->setColWidth(1, 1300);
    fb->setColAlignment(0, AlignRightCenter);
    fb->setTextMatrix(0, 0, QStringLiteral("Column"));
    fb->setTextMatrix(0, 1, QStringLiteral("Value"));
    fb->setCell(CellProperty::FontBold, 0, 0, 0, 1, true);
    fb->setCell(CellProperty::ForeColor, 0, 0, 0, 1, 0xffffffffu);
    fb->setCell(CellProperty::BackColor, 0, 0, 0, 1, 0xff008000u);
    fb->setCell(CellProperty::Alignment, 0, 0, 0, 1, int(AlignCenterCenter));
    // The value column takes the rest of the panel's width, now and on every resize.
    fb->horizontalHeader()->setStretchLastSection(true);
    fb->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void frmMain::FillFormPanelTitles() {
    const int cols = fa->cols();
    for (int k = 0; k < cols; ++k) {
        fb->setTextMatrix(k + 1, 0, fa->textMatrix(0, k));
    }
    if (cols > 0) {
        fb->setCell(CellProperty::Alignment, 1, 0, cols, 0, int(AlignRightCenter));
    }
    IsFbCol0Populated = true;
}

void frmMain::fa_Click() {
    // 1. The style buttons show the current cell.
    const int row = fa->row();
    const int col = fa->col();
    IsFaBold = fa->cell(CellProperty::FontBold, row, col).toBool();
    IsFaItalic = fa->cell(CellProperty::FontItalic, row, col).toBool();
    IsFaUnderline = fa->cell(CellProperty::FontUnderline, row, col).toBool();
    toolButton(QStringLiteral("Bold"))->setChecked(IsFaBold);
    toolButton(QStringLiteral("Italic"))->setChecked(IsFaItalic);
    toolButton(QStringLiteral("Underline"))->setChecked(IsFaUnderline);

    // 2. The position of the current record.
    const bool hasRecord = fa->rows() > 1 && row >= 1;
    setPanelText(6, QString::number(hasRecord ? row : 0) + QStringLiteral(" / ") +
                        QString::number(std::max(0, fa->rows() - 1)));

    // 3. A closed Form Panel is not refilled.
    if (TabStrip1->isHidden()) {
        return;
    }
    // 4. Titles.
    if (!IsFbCol0Populated || IsTitleChanged) {
        FillFormPanelTitles();
        IsFbCol0Populated = true;
        IsTitleChanged = false;
    }
    // 5-6. Values, one row per data column.
    const int cols = std::min(fa->cols(), fb->rows() - 1);
    GridModel* data = fa->grid();
    GridModel* form = fb->grid();
    for (int k = 0; k < cols; ++k) {
        const int formRow = k + 1;
        if (data->colDataType(k) == DataTypeCheckbox) {
            form->setText(formRow, 1, QString());
            form->setCheckState(formRow, 1,
                                hasRecord ? data->checkState(row, k) : int(CheckUnchecked));
        } else {
            if (form->checkState(formRow, 1) != CheckNone) {
                form->setCheckState(formRow, 1, CheckNone);
            }
            form->setText(formRow, 1, hasRecord ? data->displayText(row, k) : QString());
        }
    }
    // The refresh walks the rows in order, so it ends on the last one (without scrolling the
    // form away from where the user reads it).
    if (cols > 0) {
        fb->select(cols, 1, cols, 1, false);
    }
}

void frmMain::connectFormPanel() {
    // Titles are not values: only the value column is edited.
    connect(fb, &GridControl::beforeEdit, this, [](int, int col, bool* cancel) {
        if (col != 1) {
            *cancel = true;
        }
    });
    connect(fb, &GridControl::cellClicked, this, [this] {
        const int row = fb->row();
        IsFbBold = fb->cell(CellProperty::FontBold, row, 1).toBool();
        IsFbItalic = fb->cell(CellProperty::FontItalic, row, 1).toBool();
        IsFbUnderline = fb->cell(CellProperty::FontUnderline, row, 1).toBool();
        toolButton(QStringLiteral("Bold"))->setChecked(IsFbBold);
        toolButton(QStringLiteral("Italic"))->setChecked(IsFbItalic);
        toolButton(QStringLiteral("Underline"))->setChecked(IsFbUnderline);
    });
    connect(fb, &GridControl::afterEdit, this, [this](int row, int col) {
        const int k = row - 1;
        const int record = fa->row();
        if (k < 0 || k >= fa->cols() || fa->rows() <= 1 || record < 1) {
            return;
        }
        if (fa->colDataType(k) == DataTypeCheckbox) {
            fa->grid()->setCheckState(record, k, fb->grid()->checkState(row, col));
        } else {
            fa->setTextMatrix(record, k, fb->textMatrix(row, col));
        }
        if (!IsModified) {
            MakeModified(true);
        }
    });
}

}  // namespace pellumar
