#include "gui/grid/FormPanelController.h"

#include "core/document/Document.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/services/CommandRegistry.h"
#include "gui/services/StatusPanels.h"

#include <QHeaderView>
#include <QWidget>

namespace pellumar {

using CellProperty = GridControl::CellProperty;

FormPanelController::FormPanelController(Document& document, RecordViews& views, QWidget& frame,
                                         CommandRegistry& commands, StatusPanels& status,
                                         QObject* parent)
    : QObject(parent),
      document_(document),
      views_(views),
      fa_(views.fa()),
      fb_(views.fb()),
      frame_(frame),
      commands_(commands),
      status_(status) {
    followModel();
    // Titles are not values: only the value column is edited.
    connect(fb_, &GridControl::beforeEdit, this, [](int, int col, bool* cancel) {
        if (col != 1) {
            *cancel = true;
        }
    });
    connect(fb_, &GridControl::cellClicked, this, &FormPanelController::fb_Click);
    connect(fb_, &GridControl::afterEdit, this, &FormPanelController::fb_AfterEdit);
}

bool FormPanelController::isOpen() const {
    return !frame_.isHidden();
}

void FormPanelController::followModel() {
    GridModel* model = &document_.model();
    connect(model, &QAbstractItemModel::columnsInserted, this,
            &FormPanelController::columnsChanged);
    connect(model, &QAbstractItemModel::columnsRemoved, this, &FormPanelController::columnsChanged);
    connect(model, &QAbstractItemModel::columnsMoved, this, &FormPanelController::columnsChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &FormPanelController::columnsChanged);
    connect(model, &QAbstractItemModel::headerDataChanged, this, [this] { titleChanged_ = true; });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                const GridModel& m = document_.model();
                cellsChanged(m.tableRow(topLeft), topLeft.column(), m.tableRow(bottomRight),
                             bottomRight.column());
            });
    // Rows coming or going at or above the current row put another record under its row number
    // (the current record itself removed, say) without the current cell moving: show it again.
    // Rows below it only change the count. Moved or sorted rows may put any record anywhere.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(model, signal, this, [this](const QModelIndex&, int first) {
            if (document_.model().fixedRows() + first <= fa_->row()) {
                recordsChanged();
            } else {
                showPosition();
            }
        });
    }
    connect(model, &QAbstractItemModel::rowsMoved, this, &FormPanelController::recordsChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FormPanelController::recordsChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &FormPanelController::recordsChanged);
    // The panel shows the current record, however it became current.
    connect(fa_, &GridControl::currentCellChanged, this, [this] { fa_Click(); });
}

void FormPanelController::recordsChanged() {
    if (isOpen()) {
        fa_Click();
    } else {
        showPosition();
    }
}

void FormPanelController::columnsChanged() {
    fb_->setRows(document_.model().cols() + 1);
    titleChanged_ = true;
}

void FormPanelController::cellsChanged(int top, int left, int bottom, int right) {
    if (writingBack_ || !isOpen() || shownRow_ < top || shownRow_ > bottom ||
        shownRow_ != fa_->row()) {
        return;
    }
    const int last = std::min(right, std::min(document_.model().cols(), fb_->rows() - 1) - 1);
    for (int k = std::max(left, 0); k <= last; ++k) {
        showValue(shownRow_, k);
    }
}

void FormPanelController::SetupFormPanel() {
    fb_->setSelectionKind(GridControl::SelectionByRow);
    fb_->setFixedRows(1);
    fb_->setCols(2);
    fb_->setRows(10);
    fb_->setColWidth(0, 1300);
    fb_->setColWidth(1, 1300);
    fb_->setColAlignment(0, AlignRightCenter);
    fb_->setTextMatrix(0, 0, QStringLiteral("Column"));
    fb_->setTextMatrix(0, 1, QStringLiteral("Value"));
    fb_->setCell(CellProperty::FontBold, 0, 0, 0, 1, true);
    fb_->setCell(CellProperty::ForeColor, 0, 0, 0, 1, 0xffffffffu);
    fb_->setCell(CellProperty::BackColor, 0, 0, 0, 1, 0xff008000u);
    fb_->setCell(CellProperty::Alignment, 0, 0, 0, 1, int(AlignCenterCenter));
    // The value column takes the rest of the panel's width, now and on every resize.
    fb_->horizontalHeader()->setStretchLastSection(true);
    fb_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void FormPanelController::FillFormPanelTitles() {
    const GridModel& data = document_.model();
    const int cols = data.cols();
    for (int k = 0; k < cols; ++k) {
        fb_->setTextMatrix(k + 1, 0, data.text(0, k));
    }
    if (cols > 0) {
        fb_->setCell(CellProperty::Alignment, 1, 0, cols, 0, int(AlignRightCenter));
    }
    titlesFilled_ = true;
}

void FormPanelController::showStyleButtons(StyleFlags flags) {
    commands_.setCommandChecked(CommandId::Bold, flags.bold);
    commands_.setCommandChecked(CommandId::Italic, flags.italic);
    commands_.setCommandChecked(CommandId::Underline, flags.underline);
}

void FormPanelController::showPosition() {
    const int row = fa_->row();
    const bool hasRecord = fa_->rows() > 1 && row >= 1;
    status_.setPanelText(6, QString::number(hasRecord ? row : 0) + QStringLiteral(" / ") +
                                QString::number(document_.recordCount()));
}

void FormPanelController::showValue(int row, int k) {
    const GridModel& data = document_.model();
    GridModel* form = fb_->grid();
    const int formRow = k + 1;
    const bool hasRecord = data.rows() > 1 && row >= 1;
    if (data.colDataType(k) == DataTypeCheckbox) {
        form->setText(formRow, 1, QString());
        form->setCheckState(formRow, 1, hasRecord ? data.checkState(row, k) : int(CheckUnchecked));
    } else {
        if (form->checkState(formRow, 1) != CheckNone) {
            form->setCheckState(formRow, 1, CheckNone);
        }
        form->setText(formRow, 1, hasRecord ? data.displayText(row, k) : QString());
    }
}

void FormPanelController::fa_Click() {
    // 1. The style buttons show the current cell.
    const int row = fa_->row();
    const int col = fa_->col();
    faStyle_ = {fa_->cell(CellProperty::FontBold, row, col).toBool(),
                fa_->cell(CellProperty::FontItalic, row, col).toBool(),
                fa_->cell(CellProperty::FontUnderline, row, col).toBool()};
    showStyleButtons(faStyle_);

    // 2. The position of the current record.
    showPosition();

    // 3. A closed Form Panel is not refilled.
    if (!isOpen()) {
        return;
    }
    // 4. Titles.
    if (!titlesFilled_ || titleChanged_) {
        FillFormPanelTitles();
        titlesFilled_ = true;
        titleChanged_ = false;
    }
    // 5-6. Values, one row per data column.
    const int cols = std::min(document_.model().cols(), fb_->rows() - 1);
    shownRow_ = row;
    for (int k = 0; k < cols; ++k) {
        showValue(row, k);
    }
    // The refresh walks the rows in order, so it ends on the last one (without scrolling the
    // form away from where the user reads it).
    if (cols > 0) {
        fb_->select(cols, 1, cols, 1, false);
    }
}

void FormPanelController::fb_Click() {
    const int row = fb_->row();
    fbStyle_ = {fb_->cell(CellProperty::FontBold, row, 1).toBool(),
                fb_->cell(CellProperty::FontItalic, row, 1).toBool(),
                fb_->cell(CellProperty::FontUnderline, row, 1).toBool()};
    showStyleButtons(fbStyle_);
}

void FormPanelController::fb_AfterEdit(int row, int col) {
    GridModel& data = document_.model();
    const int k = row - 1;
    const int record = fa_->row();
    if (k < 0 || k >= data.cols() || data.rows() <= 1 || record < 1) {
        return;
    }
    // The value goes into the data grid as it stands in the panel (a formatted value stays
    // formatted unless the user retyped it).
    const auto step = document_.step(QStringLiteral("Typing"));
    writingBack_ = true;
    if (data.colDataType(k) == DataTypeCheckbox) {
        data.setCheckState(record, k, fb_->grid()->checkState(row, col));
    } else {
        data.setText(record, k, fb_->textMatrix(row, col));
    }
    writingBack_ = false;
    document_.markChanged();
}

}  // namespace pellumar
