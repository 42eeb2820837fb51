#include "gui/print/frmReportOptions.h"

#include "core/document/Document.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/Twips.h"
#include "gui/print/LabelPages.h"
#include "gui/print/PrintDialogSupport.h"
#include "gui/services/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

struct Heading {
    const char16_t* text;
    int width;  // twips
};
constexpr Heading kHeadings[frmReportOptions::PatternColumns] = {
    {u"Line", 500},    {u"", 300},           {u"Column", 1100}, {u"Separator", 1500},
    {u"Column", 1100}, {u"Separator", 1500}, {u"Column", 1100},
};

constexpr uint32_t kLightYellow = 0xffffffc0u;  // &HC0FFFF

// A drawing of a sheet of labels: its paper with the labels where they lie.
QPixmap formatPicture(LabelFormat format) {
    constexpr double kHeight = 88;
    const LabelSheetFigures f = labelSheetFigures(format);
    const double scale = kHeight / f.paper.height();
    const int width = static_cast<int>(std::lround(f.paper.width() * scale));
    QPixmap pixmap(width + 2, static_cast<int>(kHeight) + 2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.fillRect(1, 1, width, static_cast<int>(kHeight), Qt::white);
    p.setPen(QColor(96, 96, 96));
    p.drawRect(0, 0, width + 1, static_cast<int>(kHeight) + 1);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 100, 0), 0.8));
    p.setBrush(QColor(220, 240, 220));
    for (int slot = 0; slot < labelsPerSheet(format); ++slot) {
        const QRectF r = labelRect(format, slot);
        p.drawRoundedRect(QRectF(1 + r.x() * scale + 0.4, 1 + r.y() * scale + 0.4,
                                 r.width() * scale - 0.8, r.height() * scale - 0.8),
                          1.2, 1.2);
    }
    return pixmap;
}

QDoubleSpinBox* offsetBox(QWidget* parent, const QString& name) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(-kMaxLabelOffset, kMaxLabelOffset);
    box->setDecimals(1);
    box->setSingleStep(0.5);
    box->setSuffix(u" mm"_s);
    return box;
}

}  // namespace

frmReportOptions::frmReportOptions(QWidget* parent, Document& document, Prompter& prompter,
                                   GridControl& fa, LabelSettings& settings)
    : QDialog(parent), document_(document), prompter_(prompter), fa_(fa), settings_(settings) {
    setObjectName(u"frmReportOptions"_s);
    setWindowTitle(u"Address Labels Printing"_s);
    buildWidgets();
    Form_Load();
}

frmReportOptions::~frmReportOptions() = default;

void frmReportOptions::buildWidgets() {
    auto* hint = new QLabel(
        u"Click the Sample button to preview the first record. Click the cell to form the "
        u"string concatenation for each line."_s,
        this);
    hint->setWordWrap(true);
    fd_ = new GridControl(this);
    fd_->setObjectName(u"fd"_s);

    // The legend of the standard pattern.
    auto* legend = new QGridLayout;
    const std::pair<QString, QString> legends[] = {
        {u"Line2:"_s, u"Name(1)"_s},
        {u"Line3:"_s, u"Street(2)"_s},
        {u"Line4:"_s, u"City(3), State(4) Zipcode(5)"_s},
    };
    int legendRow = 0;
    for (const auto& [line, text] : legends) {
        legend->addWidget(new QLabel(line, this), legendRow, 0);
        legend->addWidget(new QLabel(text, this), legendRow, 1);
        ++legendRow;
    }
    legend->setColumnStretch(2, 1);

    // Sample and Reset, with the sample label.
    cmdSample_ = new QPushButton(u"&Sample"_s, this);
    cmdSample_->setObjectName(u"cmdSample"_s);
    cmdSample_->setToolTip(u"View the first record label format"_s);
    cmdReset_ = new QPushButton(u"&Reset"_s, this);
    cmdReset_->setObjectName(u"cmdReset"_s);
    cmdReset_->setToolTip(u"Reset to standard 3-line address pattern"_s);
    auto* sample = new QFrame(this);
    sample->setObjectName(u"sampleLabel"_s);
    sample->setFrameShape(QFrame::Box);
    sample->setAutoFillBackground(true);
    QPalette paper = sample->palette();
    paper.setColor(QPalette::Window, Qt::white);
    paper.setColor(QPalette::WindowText, Qt::black);
    sample->setPalette(paper);
    auto* sampleLines = new QVBoxLayout(sample);
    sampleLines->setSpacing(0);
    for (int i = 0; i < kLabelLines; ++i) {
        auto* line = new QLabel(sample);
        line->setObjectName(u"lbSample%1"_s.arg(i));
        line->setTextFormat(Qt::PlainText);
        line->setMinimumHeight(line->fontMetrics().height());
        sampleLines->addWidget(line);
        lbSample_.push_back(line);
    }
    sample->setFixedWidth(twipsToPixels(3976, this));
    auto* sampleButtons = new QVBoxLayout;
    sampleButtons->addWidget(cmdSample_);
    sampleButtons->addWidget(cmdReset_);
    sampleButtons->addStretch(1);
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addLayout(sampleButtons);
    sampleRow->addWidget(sample);
    sampleRow->addLayout(legend, 1);

    // The label format with its pictures, and the font size.
    auto* format = new QGroupBox(u"Label Format"_s, this);
    auto* formatLayout = new QGridLayout(format);
    cboLabelFormat_ = new QComboBox(format);
    cboLabelFormat_->setObjectName(u"cboLabelFormat"_s);
    formatLayout->addWidget(cboLabelFormat_, 0, 0);
    auto* pictures = new QHBoxLayout;
    for (int i = 0; i < kLabelFormats; ++i) {
        const LabelFormat f = labelFormatAt(i);
        auto* picture = new QLabel(format);
        picture->setObjectName(u"imgFormat%1"_s.arg(imgFormat_.size()));
        picture->setPixmap(formatPicture(f));
        picture->setToolTip(labelFormatName(f));
        pictures->addWidget(picture);
        imgFormat_.push_back(picture);
    }
    formatLayout->addLayout(pictures, 0, 1, 3, 1);
    auto* fontRow = new QHBoxLayout;
    auto* fontLabel = new QLabel(u"Font size:"_s, format);
    txtFontSize_ = new QSpinBox(format);
    txtFontSize_->setObjectName(u"txtFontSize"_s);
    txtFontSize_->setRange(6, 36);
    txtFontSize_->setValue(10);
    fontLabel->setBuddy(txtFontSize_);
    fontRow->addWidget(fontLabel);
    fontRow->addWidget(txtFontSize_);
    fontRow->addStretch(1);
    formatLayout->addLayout(fontRow, 1, 0);
    auto* startRow = new QHBoxLayout;
    auto* startLabel = new QLabel(u"Start at label"_s, format);
    spnStartLabel_ = new QSpinBox(format);
    spnStartLabel_->setObjectName(u"spnStartLabel"_s);
    spnStartLabel_->setRange(1, labelsPerSheet(LabelFormat::ThreeByTen));
    startLabel->setBuddy(spnStartLabel_);
    startRow->addWidget(startLabel);
    startRow->addWidget(spnStartLabel_);
    startRow->addStretch(1);
    formatLayout->addLayout(startRow, 2, 0);
    formatLayout->setRowStretch(3, 1);

    // The address options.
    chkSkip_ = new QCheckBox(u"Skip incompleted address"_s, this);
    chkSkip_->setObjectName(u"chkSkip"_s);
    chkSkip_->setChecked(true);
    fraCountry_ = new QGroupBox(u"Print Country Name"_s, this);
    fraCountry_->setObjectName(u"fraCountry"_s);
    auto* countryLayout = new QVBoxLayout(fraCountry_);
    txtCountry_ = new QLineEdit(u"U.S.A."_s, fraCountry_);
    txtCountry_->setObjectName(u"txtCountry"_s);
    txtCountry_->setEnabled(false);
    chkCountry_ = new QCheckBox(u"Print on the 4th line"_s, fraCountry_);
    chkCountry_->setObjectName(u"chkCountry"_s);
    countryLayout->addWidget(txtCountry_);
    countryLayout->addWidget(chkCountry_);
    connect(chkCountry_, &QCheckBox::toggled, txtCountry_, &QLineEdit::setEnabled);

    auto* area = printAreaGroup(this, OpDataSource_);

    cmdPrint_ = new QPushButton(u"&Print && Preview"_s, this);
    cmdPrint_->setObjectName(u"cmdPrint"_s);
    cmdCancel_ = new QPushButton(u"&Cancel"_s, this);
    cmdCancel_->setObjectName(u"cmdCancel"_s);
    for (QPushButton* b : {cmdSample_, cmdReset_, cmdPrint_, cmdCancel_}) {
        b->setAutoDefault(false);
    }

    auto* options = new QVBoxLayout;
    options->addWidget(chkSkip_);
    options->addWidget(fraCountry_);
    options->addWidget(buildCalibration());
    options->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(area);
    buttons->addStretch(1);
    buttons->addWidget(cmdPrint_);
    buttons->addWidget(cmdCancel_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(format);
    bottom->addLayout(options);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(fd_);
    layout->addLayout(sampleRow);
    layout->addLayout(bottom);

    connect(cmdSample_, &QPushButton::clicked, this, &frmReportOptions::cmdSample_Click);
    connect(cmdReset_, &QPushButton::clicked, this, &frmReportOptions::cmdReset_Click);
    connect(cmdPrint_, &QPushButton::clicked, this, &frmReportOptions::cmdPrint_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cboLabelFormat_, &QComboBox::activated, this, &frmReportOptions::cboLabelFormat_Click);
    connect(cmdTestSheet_, &QPushButton::clicked, this, &frmReportOptions::cmdTestSheet_Click);
    connect(spnStartLabel_, &QSpinBox::valueChanged, this, &frmReportOptions::keepSettings);
    for (QDoubleSpinBox* box : {txtOffsetX_, txtOffsetY_}) {
        connect(box, &QDoubleSpinBox::valueChanged, this, &frmReportOptions::keepSettings);
    }
    connect(fd_, &GridControl::beforeEdit, this, &frmReportOptions::fd_BeforeEdit);
    connect(fd_, &GridControl::cellClicked, this, &frmReportOptions::fd_Click);
    connect(fd_, &GridControl::keyPressed, this,
            [this](int key, Qt::KeyboardModifiers) { fd_KeyPressed(key); });
}

QWidget* frmReportOptions::buildCalibration() {
    auto* frame = new QGroupBox(u"Calibration"_s, this);
    frame->setObjectName(u"fraCalibration"_s);
    auto* layout = new QGridLayout(frame);
    txtOffsetX_ = offsetBox(frame, u"txtOffsetX"_s);
    txtOffsetY_ = offsetBox(frame, u"txtOffsetY"_s);
    auto* across = new QLabel(u"Horizontal offset"_s, frame);
    auto* down = new QLabel(u"Vertical offset"_s, frame);
    across->setBuddy(txtOffsetX_);
    down->setBuddy(txtOffsetY_);
    layout->addWidget(across, 0, 0);
    layout->addWidget(txtOffsetX_, 0, 1);
    layout->addWidget(down, 1, 0);
    layout->addWidget(txtOffsetY_, 1, 1);
    cmdTestSheet_ = new QPushButton(u"&Test sheet"_s, frame);
    cmdTestSheet_->setObjectName(u"cmdTestSheet"_s);
    cmdTestSheet_->setToolTip(u"Print the outline of every label of the format"_s);
    cmdTestSheet_->setAutoDefault(false);
    layout->addWidget(cmdTestSheet_, 2, 0, 1, 2);
    return frame;
}

void frmReportOptions::setUpTable() {
    fd_->setFixedRows(1);
    fd_->setCols(PatternColumns);
    fd_->setRows(kLabelLines + 1);
    int width = 0;
    for (int c = 0; c < PatternColumns; ++c) {
        fd_->setTextMatrix(0, c, QString::fromUtf16(kHeadings[c].text));
        fd_->setColWidth(c, kHeadings[c].width);
        width += kHeadings[c].width;
    }
    styleHeadingRow(*fd_);
    fd_->setColAlignment(ColLine, AlignCenterCenter);
    fd_->setColDataType(ColUsed, DataTypeCheckbox);
    for (int c : {ColFirst, ColSecond, ColThird, ColSeparator1, ColSeparator2}) {
        fd_->setColAlignment(c, AlignLeftCenter);
    }
    for (int line = 1; line <= kLabelLines; ++line) {
        fd_->setTextMatrix(line, ColLine, QString::number(line));
        fd_->grid()->setCheckState(line, ColUsed, CheckUnchecked);
    }
    fd_->setCell(GridControl::CellProperty::FontBold, 1, ColLine, kLabelLines, ColLine, true);
    for (int c : {ColSeparator1, ColSeparator2}) {
        fd_->setCell(GridControl::CellProperty::BackColor, 1, c, kLabelLines, c, kLightYellow);
    }
    fd_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fd_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fd_->setFixedWidth(twipsToPixels(width, this) + 2 * fd_->frameWidth());
    int height = fd_->horizontalHeader()->sizeHint().height() + 2 * fd_->frameWidth();
    for (int r = 0; r < kLabelLines; ++r) {
        height += fd_->verticalHeader()->sectionSize(r);
    }
    fd_->setFixedHeight(height);
}

void frmReportOptions::Form_Load() {
    cboLabelFormat_->addItems(labelFormatNames());
    applySettings();
    Form_Activate();
    setUpTable();
    cmdReset_Click();
    fd_->select(1, ColFirst);
}

void frmReportOptions::Form_Activate() {
    OpDataSource_[1]->setText(selectedRowsCaption(fa_));
}

bool frmReportOptions::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QDialog::event(event);
}

void frmReportOptions::cboLabelFormat_Click() {
    const int chosen = std::max(0, cboLabelFormat_->currentIndex());
    for (int i = 0; i < imgFormat_.size(); ++i) {
        imgFormat_[i]->setVisible(i == chosen);
    }
    txtFontSize_->setValue(labelFontSize(labelFormat()));
    // A start label past the new format's labels becomes its last one.
    spnStartLabel_->setMaximum(labelsPerSheet(labelFormat()));
    keepSettings();
}

void frmReportOptions::applySettings() {
    loading_ = true;
    const LabelSettings s = boundedLabelSettings(settings_);
    cboLabelFormat_->setCurrentIndex(static_cast<int>(s.format));
    cboLabelFormat_Click();
    spnStartLabel_->setValue(s.startLabel);
    txtOffsetX_->setValue(s.offsetX);
    txtOffsetY_->setValue(s.offsetY);
    loading_ = false;
}

void frmReportOptions::keepSettings() {
    if (loading_) {
        return;
    }
    settings_.format = labelFormat();
    settings_.startLabel = spnStartLabel_->value();
    settings_.offsetX = txtOffsetX_->value();
    settings_.offsetY = txtOffsetY_->value();
}

LabelFormat frmReportOptions::labelFormat() const {
    return labelFormatAt(cboLabelFormat_->currentIndex());
}

QString frmReportOptions::listFor(int col) const {
    switch (col) {
        case ColFirst:
        case ColSecond:
        case ColThird: {
            // "  " for none, then every title; the leading "|" lets a text be typed.
            QString list = u"|  "_s;
            const GridModel& data = document_.model();
            for (int c = 0; c < data.cols(); ++c) {
                list += u'|' + data.text(0, c);
            }
            return list;
        }
        case ColSeparator1:
        case ColSeparator2:
            return u'|' + separatorList();
        default:
            return {};
    }
}

void frmReportOptions::fd_BeforeEdit(int, int col, bool* cancel) {
    if (col == ColLine || col == ColUsed) {
        *cancel = true;
        return;
    }
    fd_->setComboList(listFor(col));
}

void frmReportOptions::fd_Click() {
    if (fd_->col() == ColUsed) {
        fd_->setComboList({});
    }
}

void frmReportOptions::fd_KeyPressed(int key) {
    if (key == Qt::Key_Space && fd_->col() == ColUsed && fd_->row() >= 1 && !fd_->isEditing()) {
        toggleTick(*fd_, fd_->row(), ColUsed);
    }
}

void frmReportOptions::cmdReset_Click() {
    for (int line : {2, 3, 4}) {
        fd_->grid()->setCheckState(line, ColUsed, CheckChecked);
    }
    for (int line = 2; line <= kLabelLines; ++line) {
        for (int c = ColFirst; c <= ColSeparator2; ++c) {
            fd_->setTextMatrix(line, c, QString());
        }
    }
    // The titles of the first five columns; a column the table lacks leaves its cell empty.
    const GridModel& data = document_.model();
    const auto title = [&data](int col) {
        return col < data.cols() ? data.text(0, col) : QString();
    };
    fd_->setTextMatrix(2, ColFirst, title(0));
    fd_->setTextMatrix(3, ColFirst, title(1));
    fd_->setTextMatrix(4, ColFirst, title(2));
    fd_->setTextMatrix(4, ColSeparator1, u"comma+space"_s);
    fd_->setTextMatrix(4, ColSecond, title(3));
    fd_->setTextMatrix(4, ColSeparator2, u"space"_s);
    fd_->setTextMatrix(4, ColThird, title(4));
}

LinePattern frmReportOptions::linePattern(int line) const {
    if (line < 1 || line > kLabelLines || !isTicked(*fd_, line, ColUsed)) {
        return {};
    }
    const Table& table = document_.model().table();
    LinePattern p;
    p.col1 = TitleColumnIndex(table, fd_->textMatrix(line, ColFirst));
    p.sep1 = SeparatorText(fd_->textMatrix(line, ColSeparator1));
    p.col2 = TitleColumnIndex(table, fd_->textMatrix(line, ColSecond));
    p.sep2 = SeparatorText(fd_->textMatrix(line, ColSeparator2));
    p.col3 = TitleColumnIndex(table, fd_->textMatrix(line, ColThird));
    return p;
}

LabelJob frmReportOptions::labelJob() const {
    LabelJob job;
    job.format = labelFormat();
    for (int line = 1; line <= kLabelLines; ++line) {
        job.ticked[size_t(line) - 1] = isTicked(*fd_, line, ColUsed);
        job.lines[size_t(line) - 1] = linePattern(line);
    }
    job.skipIncomplete = chkSkip_->isChecked();
    job.printCountry = chkCountry_->isChecked();
    job.country = txtCountry_->text();
    job.fontSize = txtFontSize_->value();
    job.startLabel = spnStartLabel_->value();
    job.offset = QPointF(txtOffsetX_->value(), txtOffsetY_->value());
    return job;
}

void frmReportOptions::cmdSample_Click() {
    const Table& table = document_.model().table();
    // The first record, whether or not it would be skipped; nothing without one.
    const QStringList lines = document_.recordCount() > 0 ? labelText(table, 1, labelJob())
                                                          : QStringList(kLabelLines, QString());
    for (int i = 0; i < kLabelLines; ++i) {
        lbSample_[i]->setText(lines.value(i));
    }
}

void frmReportOptions::cmdPrint_Click() {
    LabelJob job = labelJob();
    if (OpDataSource_[0]->isChecked()) {
        selectAllRecords(fa_);
    }
    job.records = selectedRecords(fa_);
    const Table& table = document_.model().table();
    if (!isA4Format(job.format)) {
        fillLabelSheet(f1_, table, job);
        lastPrint_ = printWithDialog(f1_, prompter_, this, windowTitle());
    } else {
        f1_.clear();
        const LabelPages pages(table, job);
        lastPrint_ = printWithDialog(pages, prompter_, this, windowTitle());
        if (lastPrint_ == PrintResult::Printed) {
            const LabelPages::Fit fit = pages.fit();
            noteLinesThatDidNotFit(fit.cut, fit.leftOut);
        }
    }
    Form_Activate();
}

void frmReportOptions::noteLinesThatDidNotFit(int cut, int leftOut) {
    if (cut == 0 && leftOut == 0) {
        return;
    }
    prompter_.inform(this, Prompter::Icon::Information, windowTitle(),
                     u"Some label lines did not fit their labels: %1 cut at the label's edge, "
                     u"%2 left out for want of room on the label."_s.arg(cut)
                         .arg(leftOut));
}

void frmReportOptions::cmdTestSheet_Click() {
    const LabelPages pages(labelFormat(), QPointF(txtOffsetX_->value(), txtOffsetY_->value()));
    lastPrint_ = printWithDialog(pages, prompter_, this, windowTitle());
}

}  // namespace pellumar
