// The views follow the document: the record and column boxes, the Form Panel's rows, titles and
// values, the position panel and Save's state change with the table, whichever operation changed
// it; and the places where a view is deliberately left as it was stay so.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "TestWindow.h"
#include "gui/columns/frmColDef.h"

using namespace pellumar;

class TstViewsFollow : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

    // Records 1 to `records` with texts "r<row>c<col>", titles "T<col>", the first record current.
    static void fill(TestWindow& w, int records, int cols) {
        GridModel& m = w->document().model();
        m.setCols(cols);
        m.setRows(records + 1);
        for (int r = 0; r <= records; ++r) {
            for (int c = 0; c < cols; ++c) {
                m.setText(
                    r, c,
                    r == 0 ? QStringLiteral("T%1").arg(c) : QStringLiteral("r%1c%2").arg(r).arg(c));
            }
        }
        w->document().setNewDocument(false);
        w->fa()->select(1, 0);
        w->formPanel().fa_Click();
    }

private slots:
    void init() { settings_.clear(); }

    // Any change of the table's shape shows in the boxes, the Form Panel and panel 6 at once.
    void shapeFollowsWhateverChangedIt() {
        TestWindow w(true);
        fill(w, 5, 3);
        GridModel& m = w->document().model();
        QCOMPARE(w->txtRow()->text(), QStringLiteral("5"));
        QCOMPARE(w->txtCol()->text(), QStringLiteral("3"));
        QCOMPARE(w->fb()->rows(), 4);

        m.insertRowsAt(2, 3);
        QCOMPARE(w->txtRow()->text(), QStringLiteral("8"));
        QCOMPARE(w->panelText(6), QStringLiteral("1 / 8"));
        m.removeRowSet({2, 3, 6});
        QCOMPARE(w->txtRow()->text(), QStringLiteral("5"));
        QCOMPARE(w->panelText(6), QStringLiteral("1 / 5"));

        m.insertColumnsAt(1, 2);
        QCOMPARE(w->txtCol()->text(), QStringLiteral("5"));
        QCOMPARE(w->fb()->rows(), 6);
        QVERIFY(w->formPanel().IsTitleChanged());
        w->formPanel().fa_Click();
        QCOMPARE(w->fb()->textMatrix(4, 0), QStringLiteral("T1"));
        QCOMPARE(w->fb()->textMatrix(5, 0), QStringLiteral("T2"));
        QVERIFY(w->fb()->textMatrix(2, 0).isEmpty());
        m.removeColumnsAt(0, 4);
        QCOMPARE(w->txtCol()->text(), QStringLiteral("1"));
        QCOMPARE(w->fb()->rows(), 2);

        // A title changed by any means is read again by the next refresh.
        m.setText(0, 0, QStringLiteral("Renamed"));
        QVERIFY(w->formPanel().IsTitleChanged());
        w->formPanel().fa_Click();
        QCOMPARE(w->fb()->textMatrix(1, 0), QStringLiteral("Renamed"));
    }

    // The Form Panel shows the current record however it became current, and the changes of its
    // cells; an edit in the Form Panel goes to the record it shows.
    void formPanelFollowsTheCurrentRecord() {
        TestWindow w(true);
        fill(w, 6, 2);
        w->fa()->select(4, 1);
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("r4c0"));
        QCOMPARE(w->panelText(6), QStringLiteral("4 / 6"));
        w->document().model().setText(4, 1, QStringLiteral("changed"));
        QCOMPARE(w->fb()->textMatrix(2, 1), QStringLiteral("changed"));
        w->document().model().setText(5, 1, QStringLiteral("elsewhere"));
        QCOMPARE(w->fb()->textMatrix(2, 1), QStringLiteral("changed"));
        // Rows removed above it: the current row stays where it was and now holds another record,
        // which the Form Panel shows.
        w->document().model().removeRowsAt(1, 2);
        QCOMPARE(w->fa()->row(), 4);
        QCOMPARE(w->fa()->selectionEndRow(), 4);
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("r6c0"));
        // Rows inserted above it: the same.
        w->document().model().insertRowsAt(1, 1);
        QCOMPARE(w->fa()->row(), 4);
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("r5c0"));
        // Its own row removed at the end of the table: the last record becomes current.
        w->fa()->select(5, 0);
        w->document().model().removeRowsAt(5, 1);
        QCOMPARE(w->fa()->row(), 4);
        QCOMPARE(w->fb()->textMatrix(1, 1), w->document().model().text(4, 0));
        // Editing the Form Panel writes into the record it shows.
        const int shown = w->fa()->row();
        w->fb()->grid()->setData(w->fb()->grid()->indexAt(1, 1), QStringLiteral("typed"));
        QCOMPARE(w->document().model().text(shown, 0), QStringLiteral("typed"));
        QVERIFY(w->document().isModified());
    }

    // A closed Form Panel keeps its last content; the position panel still follows.
    void closedFormPanelKeepsItsContent() {
        TestWindow w(true);
        fill(w, 6, 2);
        w->fa()->select(2, 0);
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("r2c0"));
        w->TabStrip1()->hide();
        w->fa()->select(5, 0);
        w->formPanel().fa_Click();
        w->document().model().setText(5, 0, QStringLiteral("new"));
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("r2c0"));
        QCOMPARE(w->panelText(6), QStringLiteral("5 / 6"));
        w->TabStrip1()->show();
        w->formPanel().fa_Click();
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("new"));
    }

    // The Form Panel's own styles and row heights belong to the panel, never to the document.
    void formPanelStylesStayInThePanel() {
        TestWindow w(true);
        fill(w, 3, 2);
        w->fb()->setCell(GridControl::CellProperty::FontBold, 1, 1, 2, 1, true);
        w->fb()->setRowHeight(1, 720);
        QVERIFY(!w->document().isModified());
        QVERIFY(!w->document().model().table().hasAnyStyle());
        QCOMPARE(w->document().model().rowHeight(1), kDefaultRowHeight);
        QVERIFY(!w->action(CommandId::mnuSave)->isEnabled());
    }

    // Save's state follows the document's modified state, set by any means.
    void saveFollowsTheModifiedState() {
        TestWindow w;
        QVERIFY(!w->toolButton("Save")->isEnabled());
        w->document().markChanged();
        QVERIFY(w->action(CommandId::mnuSave)->isEnabled());
        QVERIFY(w->toolButton("Save")->isEnabled());
        w->document().MakeModified(false);
        QVERIFY(!w->action(CommandId::mnuSave)->isEnabled());
        QVERIFY(!w->toolButton("Save")->isEnabled());
    }

    // Column Define's Cancel leaves in the column box the number its spinner already wrote there.
    void columnDefineCancelKeepsTheSpinnersNumber() {
        TestWindow w(true);
        fill(w, 2, 4);
        frmMain* m = w.window.get();
        frmColDef d(m, m->document(), m->prompter(), *m->fa(), m->formPanel(), *m->txtCol(), false);
        d.UpDownCol_UpClick();
        d.UpDownCol_UpClick();
        QCOMPARE(w->txtCol()->text(), QStringLiteral("6"));
        d.cmdBtn[1]->click();
        QCOMPARE(w->txtCol()->text(), QStringLiteral("6"));
        QCOMPARE(w->document().model().cols(), 4);
        QVERIFY(!w->document().isModified());
    }

    // Comma lines from the Drop Box leave the current record where it was.
    void commaLinesLeaveTheCurrentRecord() {
        TestWindow w(true);
        fill(w, 4, 3);
        w->fa()->select(2, 1);
        w->formReader().setSeparator(QStringLiteral("CV"));
        w->formReader().setFormText(QStringLiteral("a,b,c\r\nd,e,f"));
        w->formReader().ReadFormText();
        QCOMPARE(w->document().model().rows(), 7);
        QCOMPARE(w->fa()->row(), 2);
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("r2c0"));
        // The record box shows the records added (a spinner step from a stale count would drop
        // them).
        QCOMPARE(w->txtRow()->text(), QStringLiteral("6"));
    }
};

QTEST_MAIN(TstViewsFollow)
#include "tst_viewsfollow.moc"
