#include "gui/print/PrintDialogSupport.h"

#include "gui/grid/GridControl.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellumar {

using namespace Qt::StringLiterals;

std::vector<int> selectedRecords(const GridControl& fa) {
    std::vector<int> rows;
    const int n = fa.selectedRows();
    rows.reserve(size_t(std::max(0, n)));
    for (int k = 0; k < n; ++k) {
        const int row = fa.selectedRow(k);
        if (row >= fa.fixedRows() && row < fa.rows()) {
            rows.push_back(row);
        }
    }
    return rows;
}

void selectAllRecords(GridControl& fa) {
    fa.select(fa.fixedRows(), 0, fa.rows() - 1, fa.cols() - 1);
}

QString selectedRowsCaption(const GridControl& fa) {
    return u"Slected rows ("_s + QString::number(fa.selectedRows()) + u')';
}

QGroupBox* optionGroup(QWidget* parent, const QString& title, const QStringList& texts,
                       const QString& name, int checked, QList<QRadioButton*>& options) {
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(group);
    for (int i = 0; i < texts.size(); ++i) {
        auto* option = new QRadioButton(texts[i], group);
        option->setObjectName(name + QString::number(i));
        option->setChecked(i == checked);
        layout->addWidget(option);
        options.push_back(option);
    }
    return group;
}

QGroupBox* printAreaGroup(QWidget* parent, QList<QRadioButton*>& options) {
    return optionGroup(parent, u"Print Area"_s, {u"All"_s, u"Selected rows only"_s},
                       u"OpDataSource"_s, 1, options);
}

void styleHeadingRow(GridControl& grid) {
    const int last = grid.cols() - 1;
    grid.setCell(GridControl::CellProperty::FontBold, 0, 0, 0, last, true);
    grid.setCell(GridControl::CellProperty::ForeColor, 0, 0, 0, last, 0xffffffffu);
    grid.setCell(GridControl::CellProperty::BackColor, 0, 0, 0, last, 0xff008000u);
    grid.setCell(GridControl::CellProperty::Alignment, 0, 0, 0, last, int(AlignCenterCenter));
}

bool isTicked(const GridControl& grid, int row, int col) {
    return grid.grid()->checkState(row, col) == CheckChecked;
}

void toggleTick(GridControl& grid, int row, int col) {
    GridModel* model = grid.grid();
    model->setData(model->indexAt(row, col), isTicked(grid, row, col) ? Qt::Unchecked : Qt::Checked,
                   Qt::CheckStateRole);
}

}  // namespace pellumar
