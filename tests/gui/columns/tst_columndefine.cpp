// The Column Define dialog over a main window: what it shows, the lists it offers, its reactions,
// the definition buttons and the Columns spinner, and what "&OK" does to the data grid and the
// Form Panel. The dialog is driven without being shown; edits go through the grid's model as an
// editor's would.
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "TestWindow.h"
#include "core/document/NativeFile.h"
#include "gui/columns/frmColDef.h"

using namespace pellumar;
using CellProperty = GridControl::CellProperty;

namespace {

// A table of `cols` columns titled "A", "B", ..., and `records` records whose cells read "a1",
// "b1", ... (column letter, record number).
void makeTable(frmMain* m, int cols, int records = 3) {
    m->fa()->setCols(cols);
    m->fa()->setRows(records + 1);
    for (int c = 0; c < cols; ++c) {
        const QChar letter(u'A' + c);
        m->fa()->setTextMatrix(0, c, QString(letter));
        for (int r = 1; r <= records; ++r) {
            m->fa()->setTextMatrix(r, c, QString(letter.toLower()) + QString::number(r));
        }
    }
    m->fb()->setRows(cols + 1);
    m->txtCol()->setText(QString::number(cols));
    m->formPanel().setFbCol0Populated(false);
    m->fa()->select(1, 0);
    m->formPanel().fa_Click();
    m->document().MakeModified(false);
}

// An edit of a definition cell, as the grid's editor makes it.
void edit(frmColDef& d, int row, int col, const QString& text) {
    GridModel* m = d.fd->grid();
    QVERIFY(m->setData(m->indexAt(row, col), text, Qt::EditRole));
}

void check(frmColDef& d, int row, bool on) {
    GridModel* m = d.fd->grid();
    QVERIFY(m->setData(m->indexAt(row, frmColDef::ColHide), on ? Qt::Checked : Qt::Unchecked,
                       Qt::CheckStateRole));
}

QStringList titles(const GridControl* grid, int row0Col, int first, int count, bool down) {
    QStringList out;
    for (int i = first; i < first + count; ++i) {
        out << (down ? grid->textMatrix(i, row0Col) : grid->textMatrix(row0Col, i));
    }
    return out;
}
// The data grid's titles, and the Form Panel's title column.
QStringList faTitles(const frmMain* m) {
    return titles(m->fa(), 0, 0, m->fa()->cols(), false);
}
QStringList fbTitles(const frmMain* m) {
    return titles(m->fb(), 0, 1, m->fb()->rows() - 1, true);
}
QStringList record(const frmMain* m, int r) {
    return titles(m->fa(), r, 0, m->fa()->cols(), false);
}

frmColDef* openDialog(frmMain* m) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return m->findChild<frmColDef*>();
}

}  // namespace

class TstColumnDefine : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

private slots:
    void init() { settings_.clear(); }

    void commandsOpenTheDialog() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 4);
        QAction* attr = m->action(CommandId::mnuEditColAttr);
        QAction* define = m->action(CommandId::mnuColDef);
        QVERIFY(attr->isEnabled());
        QVERIFY(define->isEnabled());
        QCOMPARE(define->shortcut(), QKeySequence(Qt::Key_F9));

        // Column Attributes: the current column only.
        m->fa()->select(2, 2);
        attr->trigger();
        frmColDef* d = openDialog(m);
        QVERIFY(d);
        QVERIFY(d->bOneCol);
        QCOMPARE(d->windowTitle(), QStringLiteral("Column Define"));
        QVERIFY(d->isModal());
        QCOMPARE(d->fd->rows(), 2);
        QCOMPARE(d->fd->textMatrix(1, 0), QStringLiteral("3"));
        QCOMPARE(d->fd->textMatrix(1, 1), QStringLiteral("C"));
        QVERIFY(!d->cmdBtn[2]->isHidden());
        QVERIFY(d->txtCol->isHidden());
        QVERIFY(d->cmdCol[0]->isHidden());
        d->cmdBtn[1]->click();
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QVERIFY(!openDialog(m));  // closed and gone

        // Column Define: every column; the data grid's current column walks to the last one.
        define->trigger();
        d = openDialog(m);
        QVERIFY(d);
        QVERIFY(!d->bOneCol);
        QCOMPARE(d->fd->rows(), 5);
        QCOMPARE(titles(d->fd, 1, 1, 4, true), QStringList({"A", "B", "C", "D"}));
        QCOMPARE(d->txtCol->text(), QStringLiteral("4"));
        QVERIFY(d->cmdBtn[2]->isHidden());
        QVERIFY(!d->txtCol->isHidden());
        QCOMPARE(m->fa()->col(), 3);
        d->cmdBtn[1]->click();
        QVERIFY(!openDialog(m));
        QVERIFY(!m->document().isModified());
    }

    void definitionGrid() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 2);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        GridControl* fd = d.fd;
        QCOMPARE(fd->cols(), 7);
        QCOMPARE(fd->fixedRows(), 1);
        QCOMPARE(titles(fd, 0, 0, 7, false),
                 QStringList({"Col", "Title", "Data Type", "Data Format", "Alignment", "Hide",
                              "Combo List (Use '|' to separate items)"}));
        // Each column as wide as given, or as its bold heading needs ("Alignment", "Hide").
        const int widths[] = {500, 1500, 1000, 2000, 1000, 300};
        for (int c = 0; c < 6; ++c) {
            QVERIFY(fd->colWidth(c) >= widths[c]);
            QVERIFY2(fd->columnWidth(c) >= fd->horizontalHeader()->sectionSizeHint(c),
                     qPrintable(fd->textMatrix(0, c)));
        }
        QCOMPARE(fd->colWidth(1), 1500);
        QCOMPARE(fd->colWidth(3), 2000);
        QVERIFY(fd->colWidth(5) > 300);
        QVERIFY(fd->isColumnHidden(6));
        for (int c = 0; c < 7; ++c) {
            QVERIFY(fd->cell(CellProperty::FontBold, 0, c).toBool());
            QCOMPARE(fd->cell(CellProperty::ForeColor, 0, c).toUInt(), 0xffffffffu);
            QCOMPARE(fd->cell(CellProperty::BackColor, 0, c).toUInt(), 0xff008000u);
            QCOMPARE(fd->cell(CellProperty::Alignment, 0, c).toInt(), int(AlignCenterCenter));
        }
        QVERIFY(fd->cell(CellProperty::FontBold, 2, 0).toBool());
        QCOMPARE(fd->cell(CellProperty::Alignment, 2, 0).toInt(), int(AlignCenterCenter));
        QCOMPARE(fd->colAlignment(3), int(AlignRightCenter));
        QCOMPARE(fd->colDataType(5), int(DataTypeCheckbox));

        const char* buttons[] = {"&OK", "&Cancel", "&All Cols"};
        const char* tips[] = {"Add Column", "Insert Column", "Delete Column"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(d.cmdBtn[i]->text(), QString(buttons[i]));
            QCOMPARE(d.cmdCol[i]->toolTip(), QString(tips[i]));
        }
        QVERIFY(d.Label1->isHidden());
        QCOMPARE(d.Label1->text(),
                 QStringLiteral("Warning: Use Edit function in the main program to insert or "
                                "delete column when data is not empty"));
        QVERIFY(!d.cmdBtn[0]->isEnabled());
    }

    void definitionsShowTheAttributes() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 4);
        GridModel* data = m->fa()->grid();
        data->setColDataType(0, DataTypeMoney);
        data->setColFormat(0, "$#,###.00");
        data->setColAlignment(0, AlignRightCenter);
        data->setColDataType(1, DataTypeDate);
        data->setColFormat(1, "mm/dd/yy");  // alignment stays general: shown as "Left"
        data->setColDataType(2, DataTypeNone);
        data->setColAlignment(2, AlignCenterCenter);
        data->setColDataType(3, DataTypeCheckbox);
        data->setColHidden(3, true);
        m->fa()->setComboList("p|q");
        m->document().setComboLists(QStringList({"x", "y"}));

        {
            m->fa()->select(1, 2);
            frmColDef one(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(),
                          true);
            // Resized to the column count, keeping its entries; the column shown takes the data
            // grid's list.
            QCOMPARE(m->document().comboLists(), QStringList({"x", "y", "p|q", ""}));
            QCOMPARE(one.fd->textMatrix(1, 6), QStringLiteral("p|q"));
            QCOMPARE(titles(one.fd, 1, 0, 6, false),
                     QStringList({"3", "C", "Text", "", "Center", "0"}));
        }

        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        QCOMPARE(m->document().comboLists(), QStringList({"p|q", "p|q", "p|q", "p|q"}));
        QCOMPARE(titles(d.fd, 1, 0, 5, false),
                 QStringList({"1", "A", "Money", "$#,###.00", "Right"}));
        QCOMPARE(titles(d.fd, 2, 0, 5, false), QStringList({"2", "B", "Date", "mm/dd/yy", "Left"}));
        QCOMPARE(titles(d.fd, 4, 0, 5, false), QStringList({"4", "D", "Checkbox", "", "Left"}));
        QCOMPARE(d.fd->grid()->checkState(4, 5), int(CheckChecked));
        QCOMPARE(d.fd->grid()->checkState(1, 5), int(CheckUnchecked));
    }

    void listsOfferedBeforeEdit_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("edits");
        const QString types = "Checkbox|Date|Money|Number|Text";
        QTest::newRow("title") << "Text"
                               << "" << 1 << "" << true;
        QTest::newRow("type") << "Text"
                              << "" << 2 << types << true;
        QTest::newRow("number formats")
            << "Number"
            << "" << 3 << "0|0.0|0.00|0.000|0.0000|%|#.00%|#,###|#,###.00" << true;
        QTest::newRow("money formats") << "Money"
                                       << "$#,###" << 3 << "$#,###|$#,###.00" << true;
        QTest::newRow("date formats")
            << "Date"
            << "" << 3
            << "mm/dd/yy|mm/dd/yyyy|m/d/yy|m/d/yyyy|dd-Mmm-yyyy|Mmm-dd-yyyy|mm/dd/yy hh:mm|"
               "mm/dd/yy hh:mm:ss|mm/dd/yy hh:mm AMPM|mm/dd/yy hh:mm:ss AMPM"
            << true;
        QTest::newRow("text: typed freely") << "Text"
                                            << "" << 3 << "" << true;
        QTest::newRow("checkbox: typed freely") << "Checkbox"
                                                << "" << 3 << "" << true;
        // A format from elsewhere stays on offer, so leaving the list does not replace it.
        QTest::newRow("format not in the list")
            << "Money"
            << "$0.000" << 3 << "$0.000|$#,###|$#,###.00" << true;
        QTest::newRow("alignment") << "Text"
                                   << "" << 4 << "Left|Center|Right" << true;
        QTest::newRow("number: not edited") << "Text"
                                            << "" << 0 << "stale" << false;
        QTest::newRow("hide: a check box, not a text") << "Text"
                                                       << "" << 5 << "stale" << false;
    }
    void listsOfferedBeforeEdit() {
        QFETCH(QString, type);
        QFETCH(QString, format);
        QFETCH(int, col);
        QFETCH(QString, list);
        QFETCH(bool, edits);
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 3);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), true);
        d.fd->setTextMatrix(1, 2, type);
        d.fd->setTextMatrix(1, 3, format);
        d.fd->setComboList("stale");
        d.fd->select(1, col);
        d.fd->editCell();
        QCOMPARE(d.fd->isEditing(), edits);
        QCOMPARE(d.fd->comboList(), list);
    }

    void typeChange_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("alignment");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<int>("alignmentCode");
        QTest::newRow("Money keeps the format") << "Money"
                                                << "Right"
                                                << "0.00" << 6 << 7;
        QTest::newRow("Number keeps the format") << "Number"
                                                 << "Right"
                                                 << "0.00" << 5 << 7;
        QTest::newRow("Date clears it") << "Date"
                                        << "Left"
                                        << "" << 7 << 1;
        QTest::newRow("Checkbox clears it") << "Checkbox"
                                            << "Center"
                                            << "" << 11 << 4;
        QTest::newRow("Text clears it") << "Text"
                                        << "Left"
                                        << "" << 8 << 1;
    }
    void typeChange() {
        QFETCH(QString, type);
        QFETCH(QString, alignment);
        QFETCH(QString, format);
        QFETCH(int, typeCode);
        QFETCH(int, alignmentCode);
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 3);
        m->fa()->grid()->setColDataType(1, DataTypeNumber);
        m->fa()->grid()->setColFormat(1, "0.00");
        m->fa()->grid()->setColAlignment(1, AlignCenterCenter);
        m->fa()->select(1, 1);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), true);
        d.fd->select(1, 2);
        edit(d, 1, 2, type);
        QCOMPARE(d.fd->textMatrix(1, 4), alignment);
        QCOMPARE(d.fd->textMatrix(1, 3), format);
        QCOMPARE(d.fd->col(), 4);
        QVERIFY(d.cmdBtn[0]->isEnabled());
        // Nothing reaches the table before "&OK".
        QCOMPARE(m->fa()->colDataType(1), int(DataTypeNumber));
        d.cmdBtn[0]->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m->fa()->colDataType(1), typeCode);
        QCOMPARE(m->fa()->colAlignment(1), alignmentCode);
        QCOMPARE(m->fa()->colFormat(1), format);
        QCOMPARE(record(m, 1), QStringList({"a1", "b1", "c1"}));  // cells untouched
    }

    // Return after choosing a data type from the list: the type applies its alignment, the
    // current cell moves to the alignment, and the editor closes without complaint.
    void returnAfterChoosingADataType() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("closeEditor")));
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 3);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.fd->select(2, frmColDef::ColDataType);
        d.fd->editCell();
        auto* combo = d.fd->viewport()->findChild<QComboBox*>();
        QVERIFY(combo);
        combo->setCurrentIndex(combo->findText(QStringLiteral("Money")));
        QTest::keyClick(combo, Qt::Key_Return);
        QCoreApplication::processEvents();
        QVERIFY(!d.fd->isEditing());
        QCOMPARE(d.fd->textMatrix(2, frmColDef::ColDataType), QStringLiteral("Money"));
        QCOMPARE(d.fd->textMatrix(2, frmColDef::ColAlignment), QStringLiteral("Right"));
        QCOMPARE(d.fd->row(), 2);
        QCOMPARE(d.fd->col(), int(frmColDef::ColAlignment));
        QVERIFY(d.cmdBtn[0]->isEnabled());
    }

    // A column added here joins the highlight of the current record at once.
    void addedColumnJoinsTheRecordHighlight() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 3);
        m->fa()->select(2, 0);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.cmdCol[0]->click();
        d.cmdBtn[0]->click();
        QCOMPARE(m->fa()->cols(), 4);
        QVERIFY(m->fa()->selectionModel()->isRowSelected(1, QModelIndex()));
        QVERIFY(m->fa()->selectionModel()->isSelected(m->fa()->model()->index(1, 3)));
    }

    // "&OK" cannot apply nothing: an editor left without a change leaves it disabled.
    void okDisabledUntilAChange() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 3);
        m->fa()->select(1, 1);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), true);
        QVERIFY(!d.cmdBtn[0]->isEnabled());
        d.fd->select(1, 1);
        d.fd->editCell();
        auto* editor = d.fd->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QVERIFY(!d.fd->isEditing());
        QVERIFY(!d.cmdBtn[0]->isEnabled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        d.fd->editCell();
        editor = d.fd->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText("Renamed");
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QVERIFY(d.cmdBtn[0]->isEnabled());
        QCOMPARE(d.result(), int(QDialog::Rejected));  // Enter in the editor does not close it
        QCOMPARE(m->fa()->textMatrix(0, 1), QStringLiteral("B"));

        // Cancel applies nothing.
        d.cmdBtn[1]->click();
        QCOMPARE(m->fa()->textMatrix(0, 1), QStringLiteral("B"));
        QVERIFY(!m->document().isModified());
    }

    void oneColumnTitleChange() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 4);
        QCOMPARE(fbTitles(m), QStringList({"A", "B", "C", "D"}));
        m->fa()->select(2, 2);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), true);
        edit(d, 1, 1, "Country");
        d.cmdBtn[0]->click();
        QCOMPARE(faTitles(m), QStringList({"A", "B", "Country", "D"}));
        QCOMPARE(fbTitles(m), QStringList({"A", "B", "Country", "D"}));
        QCOMPARE(m->fa()->cols(), 4);
        QCOMPARE(m->fb()->rows(), 5);
        QVERIFY(m->document().isModified());
        QVERIFY(m->action(CommandId::mnuSave)->isEnabled());
        // The definition shown is written back by its names: no type set becomes text.
        QCOMPARE(m->fa()->colDataType(2), int(DataTypeText));
        QCOMPARE(m->fa()->colDataType(1), int(DataTypeNone));
    }

    void allColsFromOneColumn() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 3);
        m->fa()->select(1, 1);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), true);
        edit(d, 1, 1, "Renamed");
        d.cmdBtn[2]->click();
        QVERIFY(!d.bOneCol);
        QVERIFY(d.cmdBtn[2]->isHidden());
        QVERIFY(!d.txtCol->isHidden());
        QVERIFY(!d.cmdCol[1]->isHidden());
        QCOMPARE(d.txtCol->text(), QStringLiteral("3"));
        QCOMPARE(titles(d.fd, 1, 1, 3, true), QStringList({"A", "Renamed", "C"}));
        QCOMPARE(titles(d.fd, 0, 1, 3, true), QStringList({"1", "2", "3"}));
        QVERIFY(d.cmdBtn[0]->isEnabled());
        edit(d, 3, 1, "Last");
        d.cmdBtn[0]->click();
        QCOMPARE(faTitles(m), QStringList({"A", "Renamed", "Last"}));
    }

    void addThreeColumns() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 5);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        for (int i = 0; i < 3; ++i) {
            d.cmdCol_Click(0);
        }
        QCOMPARE(d.fd->rows(), 9);
        QCOMPARE(titles(d.fd, 8, 0, 5, false), QStringList({"8", "", "Text", "", "Left"}));
        QCOMPARE(d.fd->row(), 8);  // the new definition, selected across the grid
        QCOMPARE(d.fd->selectionLeft(), 0);
        QCOMPARE(d.fd->selectionRight(), 6);
        QCOMPARE(d.txtCol->text(), QStringLiteral("8"));
        QVERIFY(d.Label1->isHidden());  // adding at the end moves nothing
        QVERIFY(d.cmdBtn[0]->isEnabled());
        edit(d, 6, 1, "F");
        edit(d, 7, 1, "G");
        edit(d, 8, 1, "H");
        d.cmdBtn[0]->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(w.prompter.asked().isEmpty());
        QCOMPARE(faTitles(m), QStringList({"A", "B", "C", "D", "E", "F", "G", "H"}));
        QCOMPARE(record(m, 1), QStringList({"a1", "b1", "c1", "d1", "e1", "", "", ""}));
        for (int c = 5; c < 8; ++c) {
            QCOMPARE(m->fa()->colDataType(c), int(DataTypeText));
            QCOMPARE(m->fa()->colAlignment(c), int(AlignLeftCenter));
        }
        QCOMPARE(m->fb()->rows(), 9);
        QCOMPARE(fbTitles(m), faTitles(m));
        QCOMPARE(m->txtCol()->text(), QStringLiteral("8"));
        QCOMPARE(m->document().comboLists().size(), 8);
        QVERIFY(m->document().isModified());
    }

    // The spinner from 10 down to 8 drops the last two columns with their cells, once the user
    // has agreed to lose what they hold.
    void spinnerDropsColumnsWithData() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 10);
        m->fa()->setTextMatrix(1, 8, QString());  // column I keeps data in records 2 and 3 only
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.UpDownCol_DownClick();
        QCOMPARE(m->txtCol()->text(), QStringLiteral("9"));  // the main window's box follows
        d.UpDownCol_DownClick();
        QCOMPARE(d.txtCol->text(), QStringLiteral("8"));
        QCOMPARE(m->txtCol()->text(), QStringLiteral("8"));
        QCOMPARE(d.fd->rows(), 9);
        QCOMPARE(m->fa()->cols(), 10);  // nothing applied yet

        w.prompter.answerMessage(QMessageBox::Yes);
        d.cmdBtn[0]->click();
        QCOMPARE(w.prompter.asked().size(), 1);
        const auto& q = w.prompter.last();
        QCOMPARE(q.caption, QStringLiteral("Column Define"));
        QCOMPARE(q.text, QStringLiteral("Reducing the table to 8 columns deletes the last 2 "
                                        "columns and the data they hold. Continue?"));
        QCOMPARE(q.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(q.defaultButton, QMessageBox::No);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m->fa()->cols(), 8);
        QCOMPARE(m->fb()->rows(), 9);
        QCOMPARE(fbTitles(m), QStringList({"A", "B", "C", "D", "E", "F", "G", "H"}));
        QCOMPARE(m->fa()->textMatrix(3, 7), QStringLiteral("h3"));
        // The dropped cells are gone: columns grown again come back empty.
        m->fa()->setCols(10);
        QCOMPARE(m->fa()->textMatrix(3, 8), QString());
        QCOMPARE(m->fa()->textMatrix(0, 9), QString());
    }

    void declinedDropKeepsEverything() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 3);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.UpDownCol_DownClick();
        w.prompter.answerMessage(QMessageBox::No);
        d.cmdBtn[0]->click();
        QCOMPARE(w.prompter.last().text,
                 QStringLiteral("Reducing the table to 2 columns deletes the last column and "
                                "the data it holds. Continue?"));
        QCOMPARE(d.result(), int(QDialog::Rejected));  // still open, for another try
        QCOMPARE(m->fa()->cols(), 3);
        QCOMPARE(record(m, 1), QStringList({"a1", "b1", "c1"}));
        QVERIFY(!m->document().isModified());
        // Cancel: the number the spinner put in the main window's box stays there.
        d.cmdBtn[1]->click();
        QCOMPARE(m->txtCol()->text(), QStringLiteral("2"));
        QCOMPARE(m->fa()->cols(), 3);
    }

    void emptyColumnsDropWithoutQuestion() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 4);
        for (int r = 1; r < m->fa()->rows(); ++r) {
            m->fa()->setTextMatrix(r, 2, QString());
            m->fa()->setTextMatrix(r, 3, QString());
        }
        m->fa()->setCell(CellProperty::FontBold, 1, 3, 3, 3, true);  // styles are not data
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.UpDownCol_DownClick();
        d.UpDownCol_DownClick();
        d.cmdBtn[0]->click();
        QVERIFY(w.prompter.asked().isEmpty());
        QCOMPARE(faTitles(m), QStringList({"A", "B"}));
    }

    void spinnerSteps() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 2);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.UpDownCol_DownClick();
        d.UpDownCol_DownClick();
        QCOMPARE(d.txtCol->text(), QStringLiteral("1"));
        QCOMPARE(d.fd->rows(), 2);

        // Typing alone changes nothing; the next step starts from the typed number.
        d.txtCol->setText("5");
        QCOMPARE(d.fd->rows(), 2);
        QCOMPARE(m->txtCol()->text(), QStringLiteral("1"));
        d.UpDownCol_UpClick();
        QCOMPARE(d.fd->rows(), 7);
        QCOMPARE(m->txtCol()->text(), QStringLiteral("6"));
        for (int r = 2; r <= 6; ++r) {
            QCOMPARE(titles(d.fd, r, 0, 5, false),
                     QStringList({QString::number(r), "", "Text", "", "Left"}));
        }

        d.txtCol->setText("200");
        d.UpDownCol_UpClick();
        d.UpDownCol_UpClick();
        QCOMPARE(d.txtCol->text(), QStringLiteral("201"));
        QCOMPARE(d.fd->rows(), 202);
        QCOMPARE(d.fd->textMatrix(201, 0), QStringLiteral("201"));

        // A typed number beyond the spinner's range is brought back into it.
        d.txtCol->setText("500");
        d.UpDownCol_DownClick();
        QCOMPARE(d.txtCol->text(), QStringLiteral("201"));
        d.txtCol->setText("0");
        d.UpDownCol_UpClick();
        QCOMPARE(d.txtCol->text(), QStringLiteral("1"));

        // An empty box has no number to step from.
        d.txtCol->clear();
        d.UpDownCol_UpClick();
        QCOMPARE(d.fd->rows(), 2);
        QCOMPARE(d.txtCol->text(), QString());
    }

    // Definitions move, cells stay: the warning says so.
    void insertDefinitionShiftsTitles() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 4);
        m->fa()->grid()->setColDataType(1, DataTypeMoney);
        m->fa()->grid()->setColAlignment(1, AlignRightCenter);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.fd->select(2, 1);
        d.cmdCol_Click(1);
        QVERIFY(!d.Label1->isHidden());
        QCOMPARE(d.fd->rows(), 6);
        QCOMPARE(titles(d.fd, 0, 1, 5, true), QStringList({"1", "2", "3", "4", "5"}));
        QCOMPARE(titles(d.fd, 1, 1, 5, true), QStringList({"A", "", "B", "C", "D"}));
        QCOMPARE(titles(d.fd, 2, 0, 5, false), QStringList({"2", "", "Text", "", "Left"}));
        QCOMPARE(d.fd->textMatrix(3, 2), QStringLiteral("Money"));
        QCOMPARE(d.txtCol->text(), QStringLiteral("5"));
        d.cmdBtn[0]->click();
        QVERIFY(w.prompter.asked().isEmpty());
        QCOMPARE(faTitles(m), QStringList({"A", "", "B", "C", "D"}));
        QCOMPARE(record(m, 1), QStringList({"a1", "b1", "c1", "d1", ""}));
        QCOMPARE(m->fa()->colDataType(1), int(DataTypeText));
        QCOMPARE(m->fa()->colAlignment(1), int(AlignLeftCenter));
        QCOMPARE(m->fa()->colDataType(2), int(DataTypeMoney));
        QCOMPARE(m->fa()->colAlignment(2), int(AlignRightCenter));
        QCOMPARE(fbTitles(m), QStringList({"A", "", "B", "C", "D"}));
        QCOMPARE(m->fb()->textMatrix(3, 1), QStringLiteral("c1"));  // title B over the cells of C
    }

    void deleteDefinition() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 4);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.fd->select(2, 1);
        d.cmdCol_Click(2);
        QVERIFY(!d.Label1->isHidden());
        QCOMPARE(titles(d.fd, 0, 1, 3, true), QStringList({"1", "2", "3"}));
        QCOMPARE(titles(d.fd, 1, 1, 3, true), QStringList({"A", "C", "D"}));
        QCOMPARE(d.txtCol->text(), QStringLiteral("3"));
        // The last column loses its definition, and with it its cells.
        w.prompter.answerMessage(QMessageBox::Yes);
        d.cmdBtn[0]->click();
        QCOMPARE(w.prompter.asked().size(), 1);
        QCOMPARE(faTitles(m), QStringList({"A", "C", "D"}));
        QCOMPARE(record(m, 1), QStringList({"a1", "b1", "c1"}));

        // The table keeps one column at least.
        frmColDef again(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(),
                        false);
        for (int i = 0; i < 5; ++i) {
            again.fd->select(1, 1);
            again.cmdCol_Click(2);
        }
        QCOMPARE(again.fd->rows(), 2);
        QCOMPARE(again.fd->textMatrix(1, 1), QStringLiteral("D"));
    }

    // A hidden column leaves the data grid's view only: it keeps its cells and its Form Panel
    // row, and the native file keeps it hidden.
    void hiddenColumn() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 3);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.fd->select(2, 5);
        QTest::keyClick(d.fd, Qt::Key_Space);  // the hide flag's box, from the keyboard
        QCOMPARE(d.fd->grid()->checkState(2, 5), int(CheckChecked));
        QVERIFY(d.cmdBtn[0]->isEnabled());
        QTest::keyClick(d.fd, Qt::Key_F2);  // no text editor over the box
        QVERIFY(!d.fd->isEditing());
        d.cmdBtn[0]->click();
        QVERIFY(m->fa()->colHidden(1));
        QVERIFY(m->fa()->isColumnHidden(1));
        QVERIFY(!m->fa()->isColumnHidden(0));
        QCOMPARE(record(m, 2), QStringList({"a2", "b2", "c2"}));
        QCOMPARE(m->fb()->rows(), 4);
        QCOMPARE(m->fb()->textMatrix(2, 0), QStringLiteral("B"));
        QCOMPARE(m->fb()->textMatrix(2, 1), QStringLiteral("b1"));

        QTemporaryDir dir;
        const QString path = dir.filePath("hidden.plm");
        QVERIFY(saveNative(m->fa()->grid()->table(), path).ok());
        auto loaded = loadNative(path);
        QVERIFY(loaded.ok());
        QVERIFY(loaded.value().columnAttributes(1).hidden);
        QCOMPARE(loaded.value().text(2, 1), QStringLiteral("b2"));

        // Showing it again.
        frmColDef again(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(),
                        false);
        QCOMPARE(again.fd->grid()->checkState(2, 5), int(CheckChecked));
        check(again, 2, false);
        again.cmdBtn[0]->click();
        QVERIFY(!m->fa()->isColumnHidden(1));
    }

    void checkboxColumnInTheFormPanel() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 2, 4);
        const char* values[] = {"1", "-1", "0", "yes"};
        for (int r = 1; r <= 4; ++r) {
            m->fa()->setTextMatrix(r, 1, values[r - 1]);
        }
        m->fa()->select(1, 1);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), true);
        edit(d, 1, 2, "Checkbox");
        QCOMPARE(d.fd->textMatrix(1, 4), QStringLiteral("Center"));
        d.cmdBtn[0]->click();
        QCOMPARE(m->fa()->colDataType(1), int(DataTypeCheckbox));
        const int expected[] = {CheckChecked, CheckChecked, CheckUnchecked, CheckUnchecked};
        for (int r = 1; r <= 4; ++r) {
            m->fa()->select(r, 0);
            m->formPanel().fa_Click();
            QCOMPARE(m->fb()->grid()->checkState(2, 1), expected[r - 1]);
            QCOMPARE(m->fb()->textMatrix(2, 1), QString());
            QCOMPARE(m->fa()->grid()->checkState(r, 1), expected[r - 1]);
            QCOMPARE(m->fa()->textMatrix(r, 1), QString(values[r - 1]));  // texts untouched
        }
    }

    void moneyFormatInTheFormPanel() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, 2, 2);
        m->fa()->setTextMatrix(1, 1, "1234.5");
        m->fa()->setTextMatrix(2, 1, "abc");
        m->fa()->select(1, 1);
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), true);
        edit(d, 1, 2, "Money");
        d.fd->select(1, 3);
        d.fd->editCell();
        QCOMPARE(d.fd->comboList(), QStringLiteral("$#,###|$#,###.00"));
        edit(d, 1, 3, "$#,###.00");
        d.cmdBtn[0]->click();
        QCOMPARE(m->fa()->colDataType(1), int(DataTypeMoney));
        QCOMPARE(m->fa()->colAlignment(1), int(AlignRightCenter));
        QCOMPARE(m->fa()->colFormat(1), QStringLiteral("$#,###.00"));
        QCOMPARE(m->fa()->textMatrix(1, 1), QStringLiteral("1234.5"));
        QCOMPARE(m->fa()->grid()->displayText(1, 1), QStringLiteral("$1,234.50"));
        m->fa()->select(1, 0);
        m->formPanel().fa_Click();
        QCOMPARE(m->fb()->textMatrix(2, 1), QStringLiteral("$1,234.50"));
        m->fa()->select(2, 0);
        m->formPanel().fa_Click();
        QCOMPARE(m->fb()->textMatrix(2, 1), QStringLiteral("abc"));
    }
};

QTEST_MAIN(TstColumnDefine)
#include "tst_columndefine.moc"
