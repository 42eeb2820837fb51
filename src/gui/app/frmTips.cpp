#include "gui/app/frmTips.h"

#include "core/app/ProductInfo.h"
#include "gui/app/modMain.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include <array>

namespace pellumar {

namespace {

struct TipEntry {
    bool formReader;  // ends with the "(Form Reader)" tag
    const char* text;
};

// Tip 11 names the web page and is made apart.
constexpr std::array<TipEntry, frmTips::kTipCount> kTips{{
    {true,
     "You can define the separator character as ':', '=', or any other single character. The "
     "default separator is '='."},
    {false,
     "You can turn the Alternate Row Color on or off by going to the View menu and selecting "
     "Alternate Row Color."},
    {true,
     "The current separator character is displayed in the first panel on the status bar at the "
     "bottom."},
    {false,
     "A file saved in a Pellumar grid file mode (*.plm) will be loaded much faster than text file "
     "(*.txt) when you open it next time."},
    {false,
     "You can resize left or right panel by dragging the middle bar or the boundaries with mouse "
     "pointer."},
    {false,
     "You can copy the selected block or selected rows, and paste to Excel, Word, or other "
     "Windows applications."},
    {false,
     "You can save addresses file in a comma delimited file then use Word to print the mailing "
     "labels."},
    {false,
     "You can select the navigation mode to Row Mode or Block Mode. Drag Mode is for Drag-Drop "
     "copying use."},
    {false,
     "You can sort the data by any column, ascending or descending, by clicking the column title "
     "bar."},
    {false,
     "The program remembers your Windows settings and preferences when you leave the "
     "application."},
    {false, nullptr},
    {false, "You can use the Up, Down, Page Up, and Page Down arrow keys to navigate the data."},
    {true,
     "You can use Ctrl-C to copy the Form Post Response text, Ctrl-V to paste it to the Drop Box "
     "then click the down arrow on the right."},
    {true, "You can view the Form Reader Drop Box by going to View menu and select Drop Box."},
    {true,
     "To use Form Reader parser, highlight the text, drag-drop to the Drop Box, the program "
     "automatically add one record to the data grid."},
    {false,
     "You can use Ctrl-C to copy a range of data, then Ctrl-V to paste the data to other Windows "
     "applications."},
    {false,
     "To search text in the current file, click the Find icon on the tool bar, type in text in "
     "the Search box and then hit Enter key. To search the next occurrence, you need just hit the "
     "Enter key again."},
    {false,
     "To resize the row height, point to the row and hit F11 key or click the row height wider "
     "icon. Larger row height is useful on the Form panel if you have long text in a cell."},
    {false,
     "If you do not need to use the Form panel, close it by clicking the close box on the top "
     "right corner of the panel. To reopen, select Form Panel from the menu View."},
    {false,
     "Close Form Panel if you load a big file. The program just runs faster without populating "
     "the record form."},
    {false, "You can view the tips in this window while working around with Pellumar."},
    {false, "Almost everybody likes the one-click data sorting function."},
    {false, "You can double click on a cell to edit the cell content."},
    {false,
     "The current row number and the total row number are displayed at the lower right corner "
     "of the application screen."},
    {false,
     "If you like Pellumar's data browsing or navigating functions, you can copy the data from "
     "your Excel file and paste to Pellumar."},
    {false, "Use F2 key to switch Form panel open and close."},
    {false, "Use Right mouse click to pup up available menu items."},
    {false,
     "If you like some of the nice features of the program, save your data file as comma "
     "delimited file from Excel and read the file into Pellumar."},
    {false,
     "You can add a column to the end as the Remark column then extend the row height of the "
     "last row on the left pane to include a long text field."},
    {false,
     "Pellumar is a record-based data spreadsheet. You can combine two same structure data files "
     "into one by selecting Append from the File menu."},
    {false, "Use font style and background color to mark your special data."},
    {false, "To use Cut and Paste function, set selection in the Block mode."},
    {false,
     "Select Tools->Column Define from the menu bar (or F9 key) to create or modify column "
     "title, data type, numeric format and alignment on one table."},
    {false,
     "To add date-time stamp on a cell, point to the cell and press F3 key. You may make "
     "date-time stamp on contact time."},
    {false, "You may make change on date-time, money or number format on any column. "},
    {false, "To quick delete a block of rows, highlight rows and press Shift-Delete. "},
    {false,
     "To calculate the sum of highlighted area, select block mode, right click to pop up menu "
     "then select Arithmetic. "},
    {false,
     "You can preview the printout by clicking the Preview button on the print dialog window."},
    {false, "Use File->Printing Labels Option... from the menu to setup address labels format."},
    {false,
     "You can print the address labels for all or only selected records. You can also skip the "
     "incomplete address ones."},
    {false,
     "You can move a row or a block of rows up and down by selecting Move from the menu or click "
     "the up or down arrow at the upper right corner when the Move Control is visible."},
}};

}  // namespace

QString frmTips::tip(int index) {
    if (index < 1 || index > kTipCount) {
        return {};
    }
    const TipEntry& entry = kTips[static_cast<size_t>(index - 1)];
    QString text = QStringLiteral("     ");
    if (entry.text) {
        text += QString::fromLatin1(entry.text);
    } else {
        text += QStringLiteral("For further techniques, visit the Pellumar web site at ") +
                ProductInfo::webPage() +
                QStringLiteral(" or choose Pellumar on the Web from the Help menu.");
    }
    if (entry.formReader) {
        text += QStringLiteral("\r\n\r\n(Form Reader)");
    }
    return text;
}

frmTips::frmTips(QWidget* parent)
    : QDialog(parent),
      tipText_(new QLabel(this)),
      chkShowTips_(new QCheckBox(QStringLiteral("Show Tips at Startup"), this)),
      cmdPrevious_(new QPushButton(QStringLiteral("PreviousTip"), this)),
      cmdNext_(new QPushButton(QStringLiteral("Next Tip"), this)),
      cmdOK_(new QPushButton(QStringLiteral("Close"), this)) {
    setObjectName(QStringLiteral("frmTips"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setAttribute(Qt::WA_DeleteOnClose);
    tipText_->setObjectName(QStringLiteral("lblTipText"));
    chkShowTips_->setObjectName(QStringLiteral("chkShowTips"));
    cmdPrevious_->setObjectName(QStringLiteral("cmdPrevious"));
    cmdNext_->setObjectName(QStringLiteral("cmdNext"));
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));

    // The tip stands on a white panel under its heading and the program's name.
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("tipPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(white);
    auto* didYouKnow = new QLabel(QStringLiteral("Did you know..."), panel);
    QFont heading = didYouKnow->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    didYouKnow->setFont(heading);
    auto* product = new QLabel(ProductInfo::name(), panel);
    QFont productFont = product->font();
    productFont.setItalic(true);
    productFont.setBold(true);
    product->setFont(productFont);
    product->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tipText_->setParent(panel);
    tipText_->setWordWrap(true);
    tipText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tipText_->setTextFormat(Qt::PlainText);
    tipText_->setMinimumSize(360, 140);
    auto* panelLayout = new QVBoxLayout(panel);
    auto* headingRow = new QHBoxLayout;
    headingRow->addWidget(didYouKnow);
    headingRow->addStretch(1);
    headingRow->addWidget(product);
    panelLayout->addLayout(headingRow);
    auto* rule = new QFrame(panel);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    panelLayout->addWidget(rule);
    panelLayout->addWidget(tipText_, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdNext_);
    buttons->addWidget(cmdPrevious_);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(panel, 1);
    top->addLayout(buttons);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top, 1);
    outer->addWidget(chkShowTips_);
    cmdOK_->setDefault(true);

    connect(cmdNext_, &QPushButton::clicked, this, &frmTips::cmdNext_Click);
    connect(cmdPrevious_, &QPushButton::clicked, this, &frmTips::cmdPrevious_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmTips::cmdOK_Click);
    Form_Load();
}

void frmTips::Form_Load() {
    chkShowTips_->setChecked(modMain::ShowTips);
    adjustSize();
    modMain::CenterForm(this);
    // A tip at random; stepping starts from the beginning all the same.
    showTip(static_cast<int>(QRandomGenerator::global()->bounded(kTipCount)) + 1);
    current_ = 0;
}

void frmTips::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!centred_) {
        centred_ = true;
        modMain::CenterForm(this);  // again, now that the window has its frame
    }
}

void frmTips::showTip(int index) {
    shown_ = index;
    // The label breaks lines at line feeds.
    QString text = tip(index);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    tipText_->setText(text);
}

void frmTips::cmdNext_Click() {
    current_ = current_ > kTipCount - 1 ? 1 : current_ + 1;
    showTip(current_);
}

void frmTips::cmdPrevious_Click() {
    current_ = current_ >= 2 ? current_ - 1 : kTipCount;
    showTip(current_);
}

void frmTips::cmdOK_Click() {
    accept();
}

void frmTips::done(int result) {
    modMain::ShowTips = chkShowTips_->isChecked();
    QDialog::done(result);
}

}  // namespace pellumar
