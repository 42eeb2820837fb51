#include "gui/print/frmPrintSheet.h"

#include "core/document/Document.h"
#include "core/print/SheetPrintJob.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/Twips.h"
#include "gui/print/PrintDialogSupport.h"

#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

constexpr int kScaleMin = 50;  // the spin buttons stop here
constexpr int kScaleMax = 100;

struct Heading {
    const char16_t* text;
    int width;  // twips
};
constexpr Heading kHeadings[frmPrintSheet::TableColumns] = {
    {u"Col", 500},
    {u"Title", 1500},
    {u"Print", 700},
};

}  // namespace

frmPrintSheet::frmPrintSheet(QWidget* parent, Document& document, Prompter& prompter,
                             GridControl& fa)
    : QDialog(parent), document_(document), prompter_(prompter), fa_(fa) {
    setObjectName(u"frmPrintSheet"_s);
    setWindowTitle(u"Print Sheet"_s);
    buildWidgets();
    Form_Load();
}

frmPrintSheet::~frmPrintSheet() = default;

void frmPrintSheet::buildWidgets() {
    auto* columns = new QVBoxLayout;
    auto* tableLabel = new QLabel(u"Select columns to print"_s, this);
    columns->addWidget(tableLabel);
    fd_ = new GridControl(this);
    fd_->setObjectName(u"fd"_s);
    columns->addWidget(fd_, 1);

    auto* orientation = optionGroup(this, u"Orintation"_s, {u"Portrait"_s, u"Landscape"_s},
                                    u"OpOrin"_s, 0, OpOrin_);

    // Print scale, with its spin buttons.
    auto* scale = new QGroupBox(u"Print Scale"_s, this);
    auto* scaleLayout = new QHBoxLayout(scale);
    txtScale_ = new QLineEdit(u"75"_s, scale);
    txtScale_->setObjectName(u"txtScale"_s);
    txtScale_->setFixedWidth(twipsToPixels(600, this));
    scaleLayout->addWidget(txtScale_);
    auto* spin = new QWidget(scale);
    spin->setObjectName(u"UpDownCol"_s);
    auto* arrows = new QVBoxLayout(spin);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    UpDownColUp_ = new QToolButton(spin);
    UpDownColUp_->setArrowType(Qt::UpArrow);
    UpDownColDown_ = new QToolButton(spin);
    UpDownColDown_->setArrowType(Qt::DownArrow);
    const int arrowHeight = std::max(8, txtScale_->sizeHint().height() / 2);
    for (QToolButton* b : {UpDownColUp_, UpDownColDown_}) {
        b->setFixedSize(twipsToPixels(255, this), arrowHeight);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        arrows->addWidget(b);
    }
    connect(UpDownColUp_, &QToolButton::clicked, this, &frmPrintSheet::UpDownCol_UpClick);
    connect(UpDownColDown_, &QToolButton::clicked, this, &frmPrintSheet::UpDownCol_DownClick);
    scaleLayout->addWidget(spin);
    scaleLayout->addWidget(new QLabel(u"Max 100 Min   50"_s, scale));
    scaleLayout->addStretch(1);

    auto* area = printAreaGroup(this, OpDataSource_);

    cmdPrint_ = new QPushButton(u"&Print && Preview"_s, this);
    cmdPrint_->setObjectName(u"cmdPrint"_s);
    cmdCancel_ = new QPushButton(u"&Cancel"_s, this);
    cmdCancel_->setObjectName(u"cmdCancel"_s);
    for (QPushButton* b : {cmdPrint_, cmdCancel_}) {
        // Enter belongs to the table's editor.
        b->setAutoDefault(false);
    }
    connect(cmdPrint_, &QPushButton::clicked, this, &frmPrintSheet::cmdPrint_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrint_);
    buttons->addWidget(cmdCancel_);

    auto* settings = new QVBoxLayout;
    settings->addWidget(orientation);
    settings->addWidget(scale);
    settings->addWidget(area);
    settings->addStretch(1);
    settings->addLayout(buttons);

    auto* hintTitle = new QLabel(u"Hint:"_s, this);
    QFont bold = hintTitle->font();
    bold.setBold(true);
    hintTitle->setFont(bold);
    auto* hint = new QLabel(
        u"On the main program, adjust each column's width. From the table above, unselect the "
        u"column you don't want to print. Select a few rows to test before printing a large "
        u"amount of data."_s,
        this);
    hint->setWordWrap(true);
    auto* hintRow = new QHBoxLayout;
    hintRow->addWidget(hintTitle, 0, Qt::AlignTop);
    hintRow->addWidget(hint, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(columns, 1);
    top->addLayout(settings);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(hintRow);

    connect(fd_, &GridControl::beforeEdit, this, &frmPrintSheet::fd_BeforeEdit);
    connect(fd_, &GridControl::keyPressed, this,
            [this](int key, Qt::KeyboardModifiers) { fd_KeyPressed(key); });
}

void frmPrintSheet::Form_Load() {
    fd_->setFixedRows(1);
    fd_->setCols(TableColumns);
    fd_->setRows(1);
    int width = 0;
    for (int c = 0; c < TableColumns; ++c) {
        fd_->setTextMatrix(0, c, QString::fromUtf16(kHeadings[c].text));
        fd_->setColWidth(c, kHeadings[c].width);
        width += kHeadings[c].width;
    }
    styleHeadingRow(*fd_);
    fd_->setColAlignment(ColNumber, AlignCenterCenter);
    fd_->setColAlignment(ColTitle, AlignLeftCenter);
    fd_->setColDataType(ColPrint, DataTypeCheckbox);
    fd_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fd_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    fd_->setFixedWidth(twipsToPixels(width, this) + fd_->verticalScrollBar()->sizeHint().width() +
                       2 * fd_->frameWidth());
    fd_->setMinimumHeight(twipsToPixels(2400, this));

    const GridModel& data = document_.model();
    const int cols = data.cols();
    fd_->setRows(cols + 1);
    for (int i = 0; i < cols; ++i) {
        const int row = i + 1;
        fd_->setTextMatrix(row, ColNumber, QString::number(i + 1));
        fd_->setCell(GridControl::CellProperty::FontBold, row, ColNumber, row, ColNumber, true);
        fd_->setTextMatrix(row, ColTitle, data.text(0, i));
        fd_->grid()->setCheckState(row, ColPrint,
                                   data.colHidden(i) ? CheckUnchecked : CheckChecked);
    }
    if (cols > 0) {
        fd_->select(1, ColPrint);
    }
    Form_Activate();
}

void frmPrintSheet::Form_Activate() {
    OpDataSource_[1]->setText(selectedRowsCaption(fa_));
}

bool frmPrintSheet::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QDialog::event(event);
}

void frmPrintSheet::fd_BeforeEdit(int, int col, bool* cancel) {
    // The numbers are fixed and the Print column is a check box; titles may be typed (and are
    // not read back).
    fd_->setComboList({});
    if (col != ColTitle) {
        *cancel = true;
    }
}

void frmPrintSheet::fd_KeyPressed(int key) {
    if (key == Qt::Key_Space && fd_->col() == ColPrint && fd_->row() >= 1 && !fd_->isEditing()) {
        toggleTick(*fd_, fd_->row(), ColPrint);
    }
}

void frmPrintSheet::UpDownCol_DownClick() {
    bool ok = false;
    const int value = txtScale_->text().trimmed().toInt(&ok);
    if (ok && value >= kScaleMin + 1) {
        txtScale_->setText(QString::number(value - 1));
    }
}

void frmPrintSheet::UpDownCol_UpClick() {
    bool ok = false;
    const int value = txtScale_->text().trimmed().toInt(&ok);
    if (ok && value <= kScaleMax - 1) {
        txtScale_->setText(QString::number(value + 1));
    }
}

void frmPrintSheet::takeRecords(SheetPrintJob& job) {
    if (OpDataSource_[0]->isChecked()) {
        selectAllRecords(fa_);
    }
    const GridModel& data = document_.model();
    const int lastCol = data.cols() - 1;
    if (fa_.selectionKind() == GridControl::SelectionByRow) {
        // Whole records: the listed rows, read as one block when they follow each other.
        const std::vector<int> rows = selectedRecords(fa_);
        job.records = static_cast<int>(rows.size());
        job.firstColumn = 0;
        if (rows.empty() || lastCol < 0) {
            return;
        }
        if (rows.back() - rows.front() + 1 == job.records) {
            job.clipText = data.clipText(rows.front(), 0, rows.back(), lastCol);
        } else {
            job.clipText = data.clipTextOfRows(rows, 0, lastCol);
        }
        return;
    }
    // Block mode: the selected block as it is.
    job.records = fa_.selectedRows();
    job.firstColumn = fa_.selectionLeft();
    job.clipText = job.records > 0 ? fa_.clip() : QString();
}

void frmPrintSheet::cmdPrint_Click() {
    SheetPrintJob job;
    const int cols = fa_.cols();
    job.columns.reserve(size_t(std::max(0, cols)));
    for (int i = 1; i < fd_->rows() && i <= cols; ++i) {
        const int c = i - 1;
        job.columns.push_back({fa_.textMatrix(0, c), fa_.colWidth(c),
                               fa_.colDataType(c) == DataTypeCheckbox,
                               isTicked(*fd_, i, ColPrint)});
    }

    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    takeRecords(job);
    if (!job.clipText.isEmpty()) {
        clipboard->setText(job.clipText);
    }

    job.scaleText = txtScale_->text();
    job.landscape = OpOrin_[1]->isChecked();
    fillPrintSheet(f1_, job);
    lastPrint_ = printWithDialog(f1_, prompter_, this, windowTitle());
    Form_Activate();
}

}  // namespace pellumar
