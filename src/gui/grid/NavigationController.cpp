#include "gui/grid/NavigationController.h"

#include "core/document/Document.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/services/CommandRegistry.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMouseEvent>
#include <QToolButton>

#include <vector>

namespace pellumar {

NavigationController::NavigationController(Document& document, RecordViews& views,
                                           FormPanelController& formPanel,
                                           CommandRegistry& commands,
                                           const QList<QAbstractButton*>& buttons, QWidget& frame,
                                           QObject* parent)
    : QObject(parent),
      document_(document),
      views_(views),
      fa_(views.fa()),
      fb_(views.fb()),
      formPanel_(formPanel),
      buttons_(buttons),
      frame_(frame) {
    for (int i = 0; i < buttons_.size(); ++i) {
        QAbstractButton* button = buttons_[i];
        button->setEnabled(true);
        button->setMouseTracking(true);
        button->installEventFilter(this);
        connect(button, &QAbstractButton::clicked, this, [this, i] { imgBtn_Click(i); });
    }
    // A move over the frame, or over the panel around the buttons, takes the hover border off.
    frame_.setMouseTracking(true);
    frame_.installEventFilter(this);
    if (!buttons_.isEmpty() && buttons_.front()->parentWidget()) {
        buttons_.front()->parentWidget()->setMouseTracking(true);
        buttons_.front()->parentWidget()->installEventFilter(this);
    }
    commands.registerCommand(CommandId::mnuRowHeightReset, [this] { mnuRowHeightReset_Click(); });
    commands.registerCommand(CommandId::mnuRowHeightInc, [this] { mnuRowHeightInc_Click(); });
    commands.registerCommand(CommandId::mnuRowHeightDec, [this] { mnuRowHeightDec_Click(); });
}

bool NavigationController::hasRecords() const {
    return fa_->rows() > fa_->fixedRows();
}

void NavigationController::goToRecord(int row) {
    fa_->setRow(row);
    formPanel_.fa_Click();
}

void NavigationController::imgBtn_Click(int index) {
    switch (index) {
        case DeleteRecord:
            if (hasRecords() && deleteRecord_) {
                deleteRecord_();
            }
            break;
        case AddRecord:
            addRecord();
            break;
        case FirstRecord:
            if (hasRecords()) {
                goToRecord(1);
            }
            break;
        case UpRecord:
            if (hasRecords() && fa_->row() >= 2) {
                goToRecord(fa_->row() - 1);
            }
            break;
        case DownRecord:
            if (hasRecords() && fa_->row() <= fa_->rows() - 2) {
                goToRecord(fa_->row() + 1);
            }
            break;
        case LastRecord:
            if (hasRecords()) {
                goToRecord(fa_->rows() - 1);
            }
            break;
        case RowHeightIncrease:
            changeSelectedRowHeights(fb_, +1);
            fb_->setFocus();
            break;
        case RowHeightDecrease:
            changeSelectedRowHeights(fb_, -1);
            fb_->setFocus();
            break;
        default:
            break;
    }
}

void NavigationController::addRecord() {
    const auto step = document_.step(QStringLiteral("Add Row"));
    document_.markChanged();
    GridModel& data = document_.model();
    data.setRows(data.rows() + 1);
    // The Form Panel's values start empty: unchecked boxes, empty texts.
    GridModel* form = fb_->grid();
    for (int i = 1; i < form->rows(); ++i) {
        if (data.colDataType(i - 1) == DataTypeCheckbox) {
            form->setCheckState(i, 1, CheckUnchecked);
        } else {
            form->setText(i, 1, QString());
        }
    }
    fa_->setRow(data.rows() - 1);
    // The user types the new record's first value at once.
    fb_->select(1, 1);
    fb_->setFocus();
    formPanel_.showPosition();
}

void NavigationController::imgBtn_MouseMove(int index) {
    if (index == hovered_) {
        return;
    }
    if (auto* old = qobject_cast<QToolButton*>(buttons_.value(hovered_))) {
        old->setAutoRaise(true);
    }
    hovered_ = index;
    if (auto* now = qobject_cast<QToolButton*>(buttons_.value(hovered_))) {
        now->setAutoRaise(false);
    }
}

bool NavigationController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        const int index = buttons_.indexOf(qobject_cast<QAbstractButton*>(watched));
        if (index >= 0) {
            imgBtn_MouseMove(index);
        } else if (event->type() == QEvent::MouseMove) {
            // Over the frame; a move over a button reaches the frame too when the button lets
            // it through.
            const auto* widget = qobject_cast<QWidget*>(watched);
            const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
            QWidget* under = widget ? widget->childAt(pos) : nullptr;
            if (!buttons_.contains(qobject_cast<QAbstractButton*>(under))) {
                imgBtn_MouseMove(-1);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

GridControl* NavigationController::rowHeightGrid() const {
    return views_.activeArea() == ActiveArea::DataGrid ? fa_ : fb_;
}

void NavigationController::changeSelectedRowHeights(GridControl* grid, int step) {
    if (grid->rows() <= grid->fixedRows()) {
        return;  // no rows below the title row
    }
    // Lower only while the current row is taller than one step.
    if (step < 0 && grid->rowHeight(grid->row()) <= kRowHeightStep) {
        return;
    }
    const int count = grid->selectedRows();
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(std::max(count, 1)));
    for (int n = 0; n < count; ++n) {
        rows.push_back(grid->selectedRow(n));
    }
    if (rows.empty()) {
        rows.push_back(grid->row());
    }
    // Only the data grid's heights are the document's: the Form Panel's make no step.
    const auto named = document_.step(QStringLiteral("Row Height"));
    grid->grid()->adjustRowHeights(rows, step * kRowHeightStep);
}

void NavigationController::mnuRowHeightReset_Click() {
    GridControl* grid = rowHeightGrid();
    const auto step = document_.step(QStringLiteral("Row Height"));
    grid->grid()->setRowHeights(grid->fixedRows(), grid->rows() - 1, kDefaultRowHeight);
}

void NavigationController::mnuRowHeightInc_Click() {
    changeSelectedRowHeights(rowHeightGrid(), +1);
}

void NavigationController::mnuRowHeightDec_Click() {
    changeSelectedRowHeights(rowHeightGrid(), -1);
}

}  // namespace pellumar
