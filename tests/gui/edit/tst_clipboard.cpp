// Cut, Copy, Paste and Select All on the area that had the focus last: blocks and records of the
// data grid (lists of records included), the Form Panel, the Drop Box, and clipboards holding
// nothing, too much or odd characters.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QtTest>

#include "EditTestSupport.h"

using namespace pellumar;
using namespace pellumar::testing;

namespace {

QClipboard* clipboard() {
    return QGuiApplication::clipboard();
}

}  // namespace

class TstClipboard : public QObject, private EditFixture {
    Q_OBJECT

private:
    // The cells that no longer hold their names, as "row,col" (empty cells as "row,col=").
    QStringList changedCells() const {
        QStringList out;
        for (int r = 0; r < model().rows(); ++r) {
            for (int c = 0; c < model().cols(); ++c) {
                if (model().text(r, c) != named(r, c)) {
                    out << QStringLiteral("%1,%2=%3").arg(r).arg(c).arg(model().text(r, c));
                }
            }
        }
        return out;
    }

    void blockMode() { (*w_)->styles().mnuMouseMode_Click(1); }
    void onGrid() { (*w_)->views().setActiveArea(ActiveArea::DataGrid); }

private slots:
    void init() {
        w_ = std::make_unique<TestWindow>();
        fill(10, 4);
        clipboard()->clear();
    }
    void cleanup() { w_.reset(); }

    void blockCopiedAndPastedElsewhere() {
        blockMode();
        onGrid();
        fa()->select(1, 0, 2, 2);
        edit().mnuEditCopy_Click();
        QCOMPARE(clipboard()->text(), QStringLiteral("r1c0\tr1c1\tr1c2\nr2c0\tr2c1\tr2c2"));
        QVERIFY(!modified());
        fa()->select(6, 1, 5, 3);  // corners either way round
        edit().mnuEditPaste_Click();
        QVERIFY(modified());
        QCOMPARE(model().clipText(5, 1, 6, 3), clipboard()->text());
        QCOMPARE(changedCells().size(), 6);
        QCOMPARE(fa()->selectionTop(), 5);  // the selection stays as it was made
        QCOMPARE(fa()->selectionBottom(), 6);

        // Cut then Paste moves a block.
        fa()->select(8, 2, 9, 3);
        edit().mnuEditCut_Click();
        QVERIFY(model().text(8, 2).isEmpty() && model().text(9, 3).isEmpty());
        QCOMPARE(model().text(8, 1), named(8, 1));
        fa()->select(1, 0, 2, 1);
        edit().mnuEditPaste_Click();
        QCOMPARE(model().text(2, 1), named(9, 3));
    }

    void rowModeCutLeavesEmptyRecords() {
        onGrid();
        fa()->select(3, 0, 5, 3);
        edit().mnuEditCut_Click();
        QCOMPARE(clipboard()->text().count(u'\n'), 2);
        QVERIFY(clipboard()->text().startsWith(QStringLiteral("r3c0\tr3c1\tr3c2\tr3c3\n")));
        QCOMPARE(changedCells().size(), 12);
        QCOMPARE((*w_)->document().recordCount(), 10);
        QCOMPARE((*w_)->txtRow()->text(), QStringLiteral("10"));
        QVERIFY(modified());
        // Paste fills whole records from column 0, only those selected.
        fa()->select(8, 2, 8, 2);
        edit().mnuEditPaste_Click();
        QCOMPARE(model().text(8, 0), named(3, 0));
        QCOMPARE(model().text(8, 3), named(3, 3));
        QCOMPARE(model().text(9, 0), named(9, 0));
    }

    void listOfRecords() {
        onGrid();
        fa()->selectRowList({7, 2, 5});
        edit().mnuEditCopy_Click();
        QCOMPARE(clipboard()->text(), model().clipText(2, 0, 2, 3) + u'\n' +
                                          model().clipText(5, 0, 5, 3) + u'\n' +
                                          model().clipText(7, 0, 7, 3));
        QVERIFY(!modified());
        fa()->selectRowList({2, 5, 7});
        edit().mnuEditCut_Click();
        QCOMPARE(changedCells().size(), 12);  // rows 3, 4 and 6 between them are untouched
        for (const QString& cell : changedCells()) {
            QVERIFY(cell.startsWith(u'2') || cell.startsWith(u'5') || cell.startsWith(u'7'));
        }
        QVERIFY(modified());
        // Paste writes the three records from the current one (2) downward.
        fa()->selectRowList({2, 9});
        edit().mnuEditPaste_Click();
        QCOMPARE(model().text(2, 0), named(2, 0));
        QCOMPARE(model().text(3, 1), named(5, 1));
        QCOMPARE(model().text(4, 3), named(7, 3));
        QCOMPARE(model().text(5, 0), QString());
        QCOMPARE(model().text(9, 0), named(9, 0));
    }

    void otherAreas() {
        // Before any area had the focus: Copy empties the clipboard, Cut and Paste do nothing.
        clipboard()->setText(QStringLiteral("kept"));
        edit().mnuEditCut_Click();
        edit().mnuEditPaste_Click();
        QCOMPARE(clipboard()->text(), QStringLiteral("kept"));
        edit().mnuEditCopy_Click();
        QVERIFY(clipboard()->text().isEmpty());
        QVERIFY(changedCells().isEmpty());
        QVERIFY(!modified());

        // The Form Panel: Copy takes its selected rows, titles and values; Cut and Paste nothing.
        fa()->select(4, 0);
        (*w_)->formPanel().fa_Click();
        (*w_)->views().setActiveArea(ActiveArea::FormPanel);
        (*w_)->fb()->select(2, 0, 3, 1);
        edit().mnuEditCopy_Click();
        QCOMPARE(clipboard()->text(), QStringLiteral("T1\tr4c1\nT2\tr4c2"));
        edit().mnuEditCut_Click();
        edit().mnuEditPaste_Click();
        QCOMPARE((*w_)->fb()->textMatrix(2, 1), named(4, 1));
        QVERIFY(changedCells().isEmpty());
        QVERIFY(!modified());

        // The Drop Box: Cut takes its whole text even when a part is selected, Copy the
        // selected part, Paste replaces the whole text; the document is not touched.
        QPlainTextEdit* drop = (*w_)->txtDrop();
        drop->setPlainText(QStringLiteral("name=Ann\nmail=ann@example.org"));
        (*w_)->views().setActiveArea(ActiveArea::DropBox);
        QTextCursor cursor = drop->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(8, QTextCursor::KeepAnchor);
        drop->setTextCursor(cursor);
        edit().mnuEditCopy_Click();
        QCOMPARE(clipboard()->text(), QStringLiteral("name=Ann"));
        edit().mnuEditCut_Click();
        QCOMPARE(clipboard()->text(), QStringLiteral("name=Ann\nmail=ann@example.org"));
        QVERIFY(drop->toPlainText().isEmpty());
        edit().mnuEditCopy_Click();  // nothing selected, nothing there
        QVERIFY(clipboard()->text().isEmpty());
        clipboard()->setText(QStringLiteral("city=Oslo"));
        drop->setPlainText(QStringLiteral("old"));
        edit().mnuEditPaste_Click();
        QCOMPARE(drop->toPlainText(), QStringLiteral("city=Oslo"));
        edit().mnuEditCopy_Click();
        QCOMPARE(clipboard()->text(), QStringLiteral("city=Oslo"));
        QVERIFY(changedCells().isEmpty());
        QVERIFY(!modified());
    }

    void selectAll() {
        (*w_)->views().setActiveArea(ActiveArea::FormPanel);
        edit().mnuSelectAll_Click();
        QCOMPARE((*w_)->views().activeArea(), ActiveArea::DataGrid);
        QCOMPARE(fa()->selectedRows(), 10);
        QCOMPARE(fa()->selectionTop(), 1);
        QCOMPARE((*w_)->panelText(5), QStringLiteral("10 Sel"));
        edit().mnuEditCopy_Click();
        QCOMPARE(clipboard()->text(), model().clipText(1, 0, 10, 3));  // no titles
        QVERIFY(!modified());

        // A table without records: nothing is selected, and Copy gives nothing.
        model().setRows(1);
        (*w_)->views().setActiveArea(ActiveArea::FormPanel);
        edit().mnuSelectAll_Click();
        QCOMPARE((*w_)->views().activeArea(), ActiveArea::DataGrid);
        QCOMPARE(fa()->selectedRows(), 0);
        edit().mnuEditCopy_Click();
        QVERIFY(clipboard()->text().isEmpty());
        edit().mnuEditCut_Click();
        edit().mnuEditPaste_Click();
        QCOMPARE(model().rows(), 1);
        QVERIFY(!modified());
    }

    void badClipboards() {
        blockMode();
        onGrid();
        fa()->select(3, 1, 4, 2);
        // No text at all: Paste leaves the table alone.
        clipboard()->clear();
        edit().mnuEditPaste_Click();
        QVERIFY(changedCells().isEmpty());
        QVERIFY(!modified());

        // Wider and taller than the block, with NULs and lone carriage returns: only the block.
        QString odd = QStringLiteral("aXb\tc\td\re\tfX\rg\th\r\r\r");
        odd.replace(u'X', QChar(0));
        clipboard()->setText(odd);
        edit().mnuEditPaste_Click();
        QCOMPARE(model().text(3, 1), QStringLiteral("aXb").replace(u'X', QChar(0)));
        QCOMPARE(model().text(4, 2), QStringLiteral("fX").replace(u'X', QChar(0)));
        QCOMPARE(changedCells().size(), 4);
        for (const QString& cell : changedCells()) {
            QVERIFY(cell.startsWith(QStringLiteral("3,")) || cell.startsWith(QStringLiteral("4,")));
        }

        // A hundred megabytes: the block takes its share and the table stays as it was.
        QString huge;
        huge.reserve(100 * 1024 * 1024);
        const QString line = QStringLiteral("%1\t").repeated(20) + u'\n';
        while (huge.size() < 100 * 1024 * 1024) {
            huge += line;
        }
        clipboard()->setText(huge);
        huge.clear();
        edit().mnuEditPaste_Click();
        QCOMPARE(model().text(3, 1), QStringLiteral("%1"));
        QCOMPARE(model().rows(), 11);
        QCOMPARE(model().cols(), 4);
        QCOMPARE(changedCells().size(), 4);
        // The Drop Box refuses it with a message and keeps its text.
        (*w_)->txtDrop()->setPlainText(QStringLiteral("name=Ann"));
        (*w_)->views().setActiveArea(ActiveArea::DropBox);
        edit().mnuEditPaste_Click();
        QCOMPARE((*w_)->txtDrop()->toPlainText(), QStringLiteral("name=Ann"));
        QCOMPARE(w_->prompter.asked().size(), 1);
        QVERIFY(w_->prompter.last().text.contains(QStringLiteral("Drop Box takes up to")));
        clipboard()->clear();
    }
};

QTEST_MAIN(TstClipboard)
#include "tst_clipboard.moc"
