#include "gui/edit/frmSearch.h"

#include "core/edit/Find.h"
#include "gui/edit/LongPass.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/grid/Twips.h"
#include "gui/services/Prompter.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace pellumar {

frmSearch::frmSearch(QWidget* parent, RecordViews& views, Prompter& prompter, SearchState& state)
    : QDialog(parent), views_(views), prompter_(prompter), state_(state) {
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("Search"));
    buildWidgets();
    // Each opening searches from the first record of the first column; the count goes on.
    state_.restart();
}

void frmSearch::buildWidgets() {
    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setHorizontalSpacing(twipsToPixels(120, this));

    auto* label = new QLabel(QStringLiteral("Find text:"), this);
    txtSearched_ = new QLineEdit(this);
    txtSearched_->setObjectName(QStringLiteral("txtSearched"));
    txtSearched_->setMinimumWidth(twipsToPixels(3000, this));
    txtSearched_->installEventFilter(this);
    label->setBuddy(txtSearched_);
    connect(txtSearched_, &QLineEdit::textChanged, this, [this] { txtSearched_Change(); });

    cmdNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
    cmdNext_->setObjectName(QStringLiteral("cmdNext"));
    // Enter in the text box, on the button or on a check box finds the next hit.
    cmdNext_->setDefault(true);
    connect(cmdNext_, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    lblEnter_ = new QLabel(QStringLiteral("(Enter)"), this);
    lblEnter_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    cmdClose_ = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose_, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    const int buttonWidth = std::max(
        {cmdNext_->sizeHint().width(), cmdClose_->sizeHint().width(), twipsToPixels(1200, this)});
    cmdNext_->setFixedWidth(buttonWidth);
    cmdClose_->setFixedWidth(buttonWidth);

    chkMatchCase_ = new QCheckBox(QStringLiteral("Match case"), this);
    chkMatchCase_->setObjectName(QStringLiteral("chkMatchCase"));
    chkFromBeginning_ = new QCheckBox(QStringLiteral("Starting from the beginning"), this);
    chkFromBeginning_->setObjectName(QStringLiteral("chkFromBeginning"));
    chkFromBeginning_->setChecked(true);

    layout->addWidget(label, 0, 0);
    layout->addWidget(txtSearched_, 0, 1);
    layout->addWidget(cmdNext_, 0, 2);
    layout->addWidget(lblEnter_, 1, 2);
    layout->addWidget(chkMatchCase_, 2, 1);
    layout->addWidget(cmdClose_, 2, 2);
    layout->addWidget(chkFromBeginning_, 3, 1);
    setTabOrder(txtSearched_, cmdNext_);
    setTabOrder(cmdNext_, chkMatchCase_);
    setTabOrder(chkMatchCase_, chkFromBeginning_);
    setTabOrder(chkFromBeginning_, cmdClose_);
}

void frmSearch::cmdNext_Click() {
    GridControl* fa = views_.fa();
    const FindOptions options{txtSearched_->text(), chkMatchCase_->isChecked(),
                              chkFromBeginning_->isChecked()};
    FindStep step;
    {
        LongPass pass;
        step = state_.findNext(fa->grid()->table(), options, fa->row(), fa->col(), pass.ticker());
    }
    if (step.outcome == FindStep::Outcome::Hit) {
        fa->select(step.row, step.col);
        return;
    }
    prompter_.inform(this, Prompter::Icon::Exclamation, QStringLiteral("Pellumar"),
                     findEndMessage(step));
}

void frmSearch::txtSearched_Change() {
    state_.textChanged();
}

void frmSearch::cmdClose_Click() {
    close();
}

void frmSearch::Form_Activate() {
    views_.fa()->setSelectionKind(GridControl::SelectionFree);
}

void frmSearch::closeStep() {
    GridControl* fa = views_.fa();
    const bool blockMode = views_.isBlockMode();
    if (!blockMode) {
        fa->setSelectionKind(GridControl::SelectionByRow);
    }
    // Without a hit since the window opened or the text changed there is nothing to show: the
    // selection stays as it is.
    const int row = state_.SearchRow() - 1;
    if (!state_.hasHit() || row < 1 || row >= fa->rows()) {
        return;
    }
    if (blockMode) {
        fa->select(row, state_.SearchCol());
    } else {
        fa->select(row, 0, row, fa->cols() - 1);
    }
}

void frmSearch::done(int result) {
    if (!closed_) {
        closed_ = true;
        closeStep();
    }
    QDialog::done(result);
}

void frmSearch::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_Activate();
    }
}

bool frmSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtSearched_ && event->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, txtSearched_, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace pellumar
