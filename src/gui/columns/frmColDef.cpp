#include "gui/columns/frmColDef.h"

#include "core/columns/ColumnAttributeNames.h"
#include "core/document/Document.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/Twips.h"
#include "gui/services/Prompter.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pellumar {

using namespace Qt::StringLiterals;
using CellProperty = GridControl::CellProperty;

namespace {

constexpr int kSpinnerMaxColumns = 201;    // the Columns spinner stops here
constexpr int kOneColumnGridHeight = 810;  // twips: the headings and one definition
constexpr int kAllColumnsGridHeight = 2700;

struct Heading {
    const char16_t* text;
    int width;  // twips
};
constexpr Heading kHeadings[frmColDef::DefinitionColumns] = {
    {u"Col", 500},
    {u"Title", 1500},
    {u"Data Type", 1000},
    {u"Data Format", 2000},
    {u"Alignment", 1000},
    {u"Hide", 300},
    {u"Combo List (Use '|' to separate items)", 0},
};

// The pictures of the definition buttons: a small table with the column concerned marked.
QIcon definitionIcon(int index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor frame(64, 64, 64);
    const QColor mark = index == 2 ? QColor(192, 0, 0) : QColor(0, 128, 0);
    // Two plain columns, and the one added, inserted or deleted.
    const int markLeft = index == 0 ? 10 : (index == 1 ? 1 : 5);
    p.fillRect(markLeft, 2, 5, 12, mark.lighter(170));
    p.setPen(frame);
    p.drawRect(1, 2, 14, 12);
    p.drawLine(6, 2, 6, 14);
    p.drawLine(10, 2, 10, 14);
    p.drawLine(1, 5, 15, 5);
    QPen pen(mark, 2);
    p.setPen(pen);
    const int cx = markLeft + 2;
    if (index == 2) {
        p.drawLine(cx - 2, 7, cx + 2, 11);
        p.drawLine(cx + 2, 7, cx - 2, 11);
    } else {
        p.drawLine(cx - 2, 9, cx + 2, 9);
        p.drawLine(cx, 7, cx, 11);
    }
    return QIcon(pixmap);
}

}  // namespace

frmColDef::frmColDef(QWidget* parent, Document& document, Prompter& prompter, GridControl& fa,
                     FormPanelController& formPanel, QLineEdit& mainColumnBox, bool oneColumn)
    : QDialog(parent),
      bOneCol(oneColumn),
      document_(document),
      prompter_(prompter),
      fa_(fa),
      formPanel_(formPanel),
      mainColumnBox_(mainColumnBox) {
    setObjectName(u"frmColDef"_s);
    setWindowTitle(u"Column Define"_s);
    buildWidgets();
    Form_Load();
}

frmColDef::~frmColDef() = default;

void frmColDef::buildWidgets() {
    fd = new GridControl(this);
    fd->setObjectName(u"fd"_s);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(fd);

    auto* row = new QHBoxLayout;
    columnsLabel_ = new QLabel(u"Columns:"_s, this);
    row->addWidget(columnsLabel_);
    txtCol = new QLineEdit(this);
    txtCol->setObjectName(u"txtCol"_s);
    txtCol->setValidator(new QIntValidator(0, 999, txtCol));
    txtCol->setFixedWidth(twipsToPixels(600, this));
    row->addWidget(txtCol);
    // The spinner: two small arrow buttons beside the box.
    UpDownCol = new QWidget(this);
    UpDownCol->setObjectName(u"UpDownCol"_s);
    auto* arrows = new QVBoxLayout(UpDownCol);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    UpDownColUp = new QToolButton(UpDownCol);
    UpDownColUp->setArrowType(Qt::UpArrow);
    UpDownColDown = new QToolButton(UpDownCol);
    UpDownColDown->setArrowType(Qt::DownArrow);
    const int arrowHeight = std::max(8, txtCol->sizeHint().height() / 2);
    for (QToolButton* b : {UpDownColUp, UpDownColDown}) {
        b->setFixedSize(twipsToPixels(255, this), arrowHeight);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        arrows->addWidget(b);
    }
    connect(UpDownColUp, &QToolButton::clicked, this, [this] { UpDownCol_UpClick(); });
    connect(UpDownColDown, &QToolButton::clicked, this, [this] { UpDownCol_DownClick(); });
    row->addWidget(UpDownCol);
    row->addSpacing(twipsToPixels(180, this));

    static constexpr const char16_t* kColTips[] = {u"Add Column", u"Insert Column",
                                                   u"Delete Column"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(u"cmdCol%1"_s.arg(i));
        b->setToolTip(QString::fromUtf16(kColTips[i]));
        b->setIcon(definitionIcon(i));
        connect(b, &QToolButton::clicked, this, [this, i] { cmdCol_Click(i); });
        cmdCol.push_back(b);
        row->addWidget(b);
    }
    row->addStretch(1);

    static constexpr const char16_t* kButtons[] = {u"&OK", u"&Cancel", u"&All Cols"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(QString::fromUtf16(kButtons[i]), this);
        b->setObjectName(u"cmdBtn%1"_s.arg(i));
        // Enter belongs to the grid's editor; no button takes it.
        b->setAutoDefault(false);
        b->setFixedWidth(std::max(b->sizeHint().width(), twipsToPixels(1000, this)));
        connect(b, &QPushButton::clicked, this, [this, i] { cmdBtn_Click(i); });
        cmdBtn.push_back(b);
        row->addWidget(b);
    }
    layout->addLayout(row);

    Label1 = new QLabel(
        u"Warning: Use Edit function in the main program to insert or delete "
        u"column when data is not empty"_s,
        this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setWordWrap(true);
    QPalette warning = Label1->palette();
    warning.setColor(QPalette::WindowText, QColor(192, 0, 0));
    Label1->setPalette(warning);
    Label1->hide();
    layout->addWidget(Label1);

    connect(fd, &GridControl::beforeEdit, this, &frmColDef::fd_BeforeEdit);
    connect(fd, &GridControl::afterEdit, this, &frmColDef::fd_AfterEdit);
    connect(fd, &GridControl::cellClicked, this, &frmColDef::fd_Click);
    connect(fd, &GridControl::keyPressed, this,
            [this](int key, Qt::KeyboardModifiers) { fd_KeyPressed(key); });
}

void frmColDef::setUpGrid() {
    fd->setFixedRows(1);
    fd->setCols(DefinitionColumns);
    fd->setRows(1);
    for (int c = 0; c < DefinitionColumns; ++c) {
        fd->setTextMatrix(0, c, QString::fromUtf16(kHeadings[c].text));
    }
    const int last = DefinitionColumns - 1;
    fd->setCell(CellProperty::FontBold, 0, 0, 0, last, true);
    fd->setCell(CellProperty::ForeColor, 0, 0, 0, last, 0xffffffffu);
    fd->setCell(CellProperty::BackColor, 0, 0, 0, last, 0xff008000u);
    fd->setCell(CellProperty::Alignment, 0, 0, 0, last, int(AlignCenterCenter));
    // Each column at its width, or wider where that cannot hold its heading ("Alignment" and
    // "Hide" in bold).
    int width = 0;
    for (int c = 0; c < ColComboList; ++c) {
        const int heading = pixelsToTwips(fd->horizontalHeader()->sectionSizeHint(c), this);
        const int twips = std::max(kHeadings[c].width, heading);
        fd->setColWidth(c, twips);
        width += twips;
    }
    fd->setColWidth(ColComboList, kHeadings[ColComboList].width);
    fd->setColAlignment(ColNumber, AlignCenterCenter);
    for (int c : {ColTitle, ColDataType, ColAlignment, ColComboList}) {
        fd->setColAlignment(c, AlignLeftCenter);
    }
    fd->setColAlignment(ColFormat, AlignRightCenter);
    fd->setColDataType(ColHide, DataTypeCheckbox);
    fd->setColHidden(ColComboList, true);

    // Wide enough for every visible column and the vertical scroll bar.
    fd->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fd->setFixedWidth(twipsToPixels(width, this) + fd->verticalScrollBar()->sizeHint().width() +
                      2 * fd->frameWidth());
    Label1->setFixedWidth(fd->width());
    Label1->setFixedHeight(Label1->heightForWidth(fd->width()));
}

void frmColDef::Form_Load() {
    setUpGrid();
    GridControl* fa = &fa_;
    currentCol_ = std::clamp(fa->col(), 0, std::max(0, fa->cols() - 1));
    document_.fitComboLists();
    if (bOneCol && fa->cols() > 0) {
        fd->setRows(2);
        showColumn(1, currentCol_);
    } else {
        bOneCol = false;
        fillAllColumns();
    }
    placeControls();
    cmdBtn[0]->setEnabled(false);
    fd->select(1, ColTitle);
    fd->setFocus();
}

void frmColDef::fillAllColumns() {
    GridControl* fa = &fa_;
    const int cols = fa->cols();
    fd->setRows(cols + 1);
    for (int k = 0; k < cols; ++k) {
        showColumn(k + 1, k);
    }
    // The data grid's current column walks along, so it ends on the last column.
    if (cols > 0) {
        fa->setCol(cols - 1);
    }
    txtCol->setText(QString::number(cols));
}

void frmColDef::showColumn(int row, int col) {
    const GridModel* data = &document_.model();
    fd->setTextMatrix(row, ColNumber, QString::number(col + 1));
    fd->setCell(CellProperty::FontBold, row, ColNumber, row, ColNumber, true);
    fd->setTextMatrix(row, ColTitle, data->text(0, col));
    fd->setTextMatrix(row, ColDataType, dataTypeName(data->colDataType(col)));
    fd->setTextMatrix(row, ColFormat, data->colFormat(col));
    fd->setTextMatrix(row, ColAlignment, alignmentName(data->colAlignment(col)));
    fd->grid()->setCheckState(row, ColHide, data->colHidden(col) ? CheckChecked : CheckUnchecked);
    QString& comboList = document_.comboList(col);
    comboList = fa_.comboList();
    fd->setTextMatrix(row, ColComboList, comboList);
}

void frmColDef::newDefinition(int row) {
    setNumber(row);
    fd->setTextMatrix(row, ColDataType, dataTypeName(DataTypeText));
    fd->setTextMatrix(row, ColAlignment, alignmentName(AlignLeftCenter));
}

void frmColDef::setNumber(int row) {
    fd->setTextMatrix(row, ColNumber, QString::number(row));
    fd->setCell(CellProperty::FontBold, row, ColNumber, row, ColNumber, true);
}

void frmColDef::renumber() {
    for (int r = 1; r < fd->rows(); ++r) {
        setNumber(r);
    }
}

void frmColDef::definitionsChanged() {
    txtCol->setText(QString::number(fd->rows() - 1));
    cmdBtn[0]->setEnabled(true);
}

void frmColDef::placeControls() {
    fd->setFixedHeight(twipsToPixels(bOneCol ? kOneColumnGridHeight : kAllColumnsGridHeight, this));
    fd->setVerticalScrollBarPolicy(bOneCol ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    for (QWidget* w :
         {static_cast<QWidget*>(columnsLabel_), static_cast<QWidget*>(txtCol), UpDownCol}) {
        w->setVisible(!bOneCol);
    }
    for (QToolButton* b : cmdCol) {
        b->setVisible(!bOneCol);
    }
    cmdBtn[2]->setVisible(bOneCol);
}

QString frmColDef::listFor(int row, int col) const {
    QString list;
    switch (col) {
        case ColDataType:
            list = dataTypeList();
            break;
        case ColFormat:
            list = formatList(fd->textMatrix(row, ColDataType));
            break;
        case ColAlignment:
            list = alignmentList();
            break;
        default:
            return {};
    }
    // A fixed list would turn a value it does not hold into its first item; offer the value too.
    const QString current = fd->textMatrix(row, col);
    if (!list.isEmpty() && !current.isEmpty() && !list.split(u'|').contains(current)) {
        return current + u'|' + list;
    }
    return list;
}

void frmColDef::fd_BeforeEdit(int row, int col, bool* cancel) {
    // The numbers are not read back, and the hide flag is a check box, not a text.
    if (col == ColNumber || col == ColHide || col == ColComboList) {
        *cancel = true;
        return;
    }
    fd->setComboList(listFor(row, col));
}

void frmColDef::fd_Click() {
    if (fd->col() == ColTitle || fd->col() == ColHide) {
        fd->setComboList({});
    }
}

void frmColDef::fd_KeyPressed(int key) {
    // Space toggles the hide flag, as a click on the box does.
    const int row = fd->row();
    if (key != Qt::Key_Space || fd->col() != ColHide || row < 1 || fd->isEditing()) {
        return;
    }
    const bool checked = fd->grid()->checkState(row, ColHide) == CheckChecked;
    fd->grid()->setData(fd->grid()->indexAt(row, ColHide), checked ? Qt::Unchecked : Qt::Checked,
                        Qt::CheckStateRole);
}

void frmColDef::fd_AfterEdit(int row, int col) {
    if (col == ColDataType) {
        fd->select(row, ColAlignment);
        const TypeChangeEffect effect = typeChangeEffect(fd->textMatrix(row, ColDataType));
        fd->setTextMatrix(row, ColAlignment, effect.alignment);
        if (effect.clearsFormat) {
            fd->setTextMatrix(row, ColFormat, QString());
        }
    }
    cmdBtn[0]->setEnabled(true);
}

void frmColDef::cmdCol_Click(int index) {
    if (bOneCol) {
        return;
    }
    const int last = fd->rows();
    switch (index) {
        case 0:  // Add Column
            fd->setRows(last + 1);
            newDefinition(last);
            fd->select(last, 0, last, DefinitionColumns - 1);
            break;
        case 1: {  // Insert Column: a new definition before the current one
            const int at = std::max(1, fd->row());
            fd->setRows(last + 1);
            newDefinition(last);
            fd->setRowPosition(last, at);
            renumber();
            Label1->show();
            fd->select(at, ColTitle);
            break;
        }
        case 2: {  // Delete Column; the table keeps at least one column
            const int at = fd->row();
            if (last <= 2 || at < 1) {
                return;
            }
            fd->removeItem(at);
            renumber();
            Label1->show();
            fd->select(std::min(at, fd->rows() - 1), fd->col());
            break;
        }
        default:
            return;
    }
    definitionsChanged();
}

void frmColDef::UpDownCol_DownClick() {
    spin(-1);
}

void frmColDef::UpDownCol_UpClick() {
    spin(1);
}

void frmColDef::spin(int step) {
    bool ok = false;
    int n = txtCol->text().toInt(&ok);
    if (!ok) {
        return;  // an empty box has no number to step from
    }
    if (step < 0 ? n >= 2 : n <= kSpinnerMaxColumns - 1) {
        n += step;
    }
    n = std::clamp(n, 1, kSpinnerMaxColumns);
    const QString number = QString::number(n);
    txtCol->setText(number);
    mainColumnBox_.setText(number);
    const int old = fd->rows();
    fd->setRows(n + 1);
    for (int r = old; r <= n; ++r) {
        newDefinition(r);
    }
    cmdBtn[0]->setEnabled(true);
}

void frmColDef::cmdBtn_Click(int index) {
    switch (index) {
        case 0:
            if (applyDefinitions()) {
                accept();
            }
            break;
        case 1:
            reject();
            break;
        case 2: {
            // Whatever was changed in the one definition carries over to its row.
            const bool carry = bOneCol && cmdBtn[0]->isEnabled();
            QStringList edited;
            for (int c = ColTitle; c < DefinitionColumns; ++c) {
                edited.push_back(fd->textMatrix(1, c));
            }
            bOneCol = false;
            fillAllColumns();
            if (carry && currentCol_ + 1 < fd->rows()) {
                for (int c = ColTitle; c < DefinitionColumns; ++c) {
                    fd->setTextMatrix(currentCol_ + 1, c, edited[c - ColTitle]);
                }
            }
            placeControls();
            fd->select(currentCol_ + 1, ColTitle);
            break;
        }
        default:
            break;
    }
}

bool frmColDef::applyDefinitions() {
    const auto step = document_.step(QStringLiteral("Column Define"));
    GridControl* fa = &fa_;
    if (bOneCol) {
        if (currentCol_ >= fa->cols()) {
            return true;
        }
        applyDefinition(1, currentCol_);
    } else {
        const int cols = fd->rows() - 1;
        if (!confirmDroppedColumns(cols)) {
            return false;
        }
        // The Form Panel's rows and the column box follow the column count.
        document_.model().setCols(cols);
        for (int k = 0; k < cols; ++k) {
            applyDefinition(k + 1, k);
        }
        document_.fitComboLists();
    }
    formPanel_.setFbCol0Populated(false);
    formPanel_.fa_Click();
    document_.MakeModified(true);
    return true;
}

void frmColDef::applyDefinition(int row, int col) {
    GridModel* data = &document_.model();
    data->setText(0, col, fd->textMatrix(row, ColTitle));
    ColumnAttributes attrs = data->columnAttributes(col);
    attrs.dataType = dataTypeCode(fd->textMatrix(row, ColDataType));
    attrs.format = fd->textMatrix(row, ColFormat);
    attrs.alignment = alignmentCode(fd->textMatrix(row, ColAlignment));
    attrs.hidden = fd->grid()->checkState(row, ColHide) == CheckChecked;
    if (!(attrs == data->columnAttributes(col))) {
        data->setColumnAttributes(col, attrs);
    }
}

bool frmColDef::confirmDroppedColumns(int newCols) {
    const Table& table = document_.model().table();
    const int oldCols = table.columnCount();
    const int firstRecord = document_.model().fixedRows();
    bool holdsData = false;
    for (int c = newCols; c < oldCols && !holdsData; ++c) {
        for (int r = firstRecord; r < table.rowCount(); ++r) {
            if (!table.isEmpty(r, c)) {
                holdsData = true;
                break;
            }
        }
    }
    if (!holdsData) {
        return true;
    }
    const int dropped = oldCols - newCols;
    const QString kept = newCols == 1 ? u"1 column"_s : u"%1 columns"_s.arg(newCols);
    const QString text =
        dropped == 1
            ? u"Reducing the table to %1 deletes the last column and the data it holds. "
              u"Continue?"_s.arg(kept)
            : u"Reducing the table to %1 deletes the last %2 columns and the data they hold. "
              u"Continue?"_s.arg(kept)
                  .arg(dropped);
    const auto answer =
        prompter_.message(this, Prompter::Icon::Exclamation, u"Column Define"_s, text,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

}  // namespace pellumar
