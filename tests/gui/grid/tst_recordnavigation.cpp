// The record buttons above the Form Panel, the Row Col Control and Edit > Row Height: what each
// moves or changes, what it leaves alone when it has nothing to act on, and which of them mark
// the document modified.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "TestWindow.h"

using namespace pellumar;

class TstRecordNavigation : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

    // The toolbar's bold flag as the refresh leaves it; a flag set by hand survives until the
    // next refresh, which shows whether a command refreshed.
    static void markUnrefreshed(TestWindow& w) { w->formPanel().setFaStyle({true, false, false}); }
    static bool refreshed(TestWindow& w) { return !w->formPanel().faStyle().bold; }

    static void hover(QWidget* widget) {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

private slots:
    void init() { settings_.clear(); }

    void recordButtons() {
        TestWindow w(true);
        for (int i = 0; i < 8; ++i) {
            QVERIFY2(w->imgBtn(i)->isEnabled(), qPrintable(QString::number(i)));
        }
        QCOMPARE(w->imgBtn(0)->toolTip(), QStringLiteral("Dlete this record"));
        QCOMPARE(w->imgBtn(7)->toolTip(), QStringLiteral("Row Height Decrease"));
        w->fa()->select(5, 0);
        QTest::mouseClick(w->imgBtn(NavigationController::FirstRecord), Qt::LeftButton);
        QCOMPARE(w->fa()->row(), 1);
        QCOMPARE(w->panelText(6), QStringLiteral("1 / 20"));
        // Up on the first record and Down on the last change nothing and do not refresh.
        markUnrefreshed(w);
        QTest::mouseClick(w->imgBtn(NavigationController::UpRecord), Qt::LeftButton);
        QCOMPARE(w->fa()->row(), 1);
        QVERIFY(!refreshed(w));
        QTest::mouseClick(w->imgBtn(NavigationController::LastRecord), Qt::LeftButton);
        QCOMPARE(w->fa()->row(), 20);
        QCOMPARE(w->panelText(6), QStringLiteral("20 / 20"));
        markUnrefreshed(w);
        QTest::mouseClick(w->imgBtn(NavigationController::DownRecord), Qt::LeftButton);
        QCOMPARE(w->fa()->row(), 20);
        QVERIFY(!refreshed(w));
        QTest::mouseClick(w->imgBtn(NavigationController::UpRecord), Qt::LeftButton);
        QCOMPARE(w->fa()->row(), 19);
        QVERIFY(refreshed(w));
        QTest::mouseClick(w->imgBtn(NavigationController::DownRecord), Qt::LeftButton);
        QCOMPARE(w->fa()->row(), 20);
        // Moving between records is no change of the document.
        QVERIFY(!w->document().isModified());
        // The whole record stays selected in Row mode.
        QCOMPARE(w->fa()->selectionLeft(), 0);
        QCOMPARE(w->fa()->selectionRight(), w->fa()->cols() - 1);
    }

    void noRecordsNothingToActOn() {
        TestWindow w(true);
        int deletes = 0;
        w->navigation().setDeleteRecordHandler([&] { ++deletes; });
        w->document().model().setRows(1);
        for (int b : {NavigationController::DeleteRecord, NavigationController::FirstRecord,
                      NavigationController::UpRecord, NavigationController::DownRecord,
                      NavigationController::LastRecord}) {
            w->navigation().imgBtn_Click(b);
        }
        QCOMPARE(deletes, 0);
        QCOMPARE(w->fa()->rows(), 1);
        QVERIFY(!w->document().isModified());
        // Adding works on an empty table.
        w->navigation().imgBtn_Click(NavigationController::AddRecord);
        QCOMPARE(w->fa()->rows(), 2);
        QCOMPARE(w->fa()->row(), 1);
    }

    void addOneRecordOpensItInTheFormPanel() {
        TestWindow w(true);
        w->fa()->setColDataType(0, DataTypeCheckbox);
        w->fa()->setTextMatrix(3, 0, QStringLiteral("1"));
        w->fa()->setTextMatrix(3, 1, QStringLiteral("old"));
        w->fa()->select(3, 0);
        QCOMPARE(w->fb()->grid()->checkState(1, 1), int(CheckChecked));
        QTest::mouseClick(w->imgBtn(NavigationController::AddRecord), Qt::LeftButton);
        QCOMPARE(w->fa()->rows(), 22);
        QCOMPARE(w->fa()->row(), 21);
        QCOMPARE(w->txtRow()->text(), QStringLiteral("21"));
        QCOMPARE(w->panelText(6), QStringLiteral("21 / 21"));
        QVERIFY(w->document().isModified());
        // The new record's box is unchecked and its first value waits for typing.
        QCOMPARE(w->fb()->grid()->checkState(1, 1), int(CheckUnchecked));
        QCOMPARE(w->fb()->textMatrix(2, 1), QString());
        QCOMPARE(w->fb()->row(), 1);
        QCOMPARE(w->fb()->col(), 1);
        QTRY_VERIFY(w->fb()->hasFocus());
        QVERIFY(w->views().activeArea() == ActiveArea::FormPanel);
    }

    void deleteButtonRunsTheDeleteCommand() {
        TestWindow w(true);
        // The Delete Record command as it runs with "Do not ask me next time" checked.
        int deletes = 0;
        w->navigation().setDeleteRecordHandler([&] {
            ++deletes;
            w->document().model().removeRow(w->fa()->row());
            w->document().markChanged();
            w->formPanel().fa_Click();
            w->fa()->setFocus();
        });
        w->fa()->setTextMatrix(4, 0, QStringLiteral("doomed"));
        w->fa()->select(4, 0);
        QTest::mouseClick(w->imgBtn(NavigationController::DeleteRecord), Qt::LeftButton);
        QCOMPARE(deletes, 1);
        QCOMPARE(w->txtRow()->text(), QStringLiteral("19"));
        QCOMPARE(w->fa()->textMatrix(4, 0), QString());
        QVERIFY(w->document().isModified());
    }

    void hoverBorder() {
        TestWindow w(true);
        hover(w->imgBtn(3));
        QCOMPARE(w->navigation().hoveredButton(), 3);
        QVERIFY(!w->imgBtn(3)->autoRaise());
        hover(w->imgBtn(5));
        QCOMPARE(w->navigation().hoveredButton(), 5);
        QVERIFY(w->imgBtn(3)->autoRaise());
        QVERIFY(!w->imgBtn(5)->autoRaise());
        // A move over the frame takes the border off.
        hover(w->imgBtn(5)->parentWidget());
        QCOMPARE(w->navigation().hoveredButton(), -1);
        QVERIFY(w->imgBtn(5)->autoRaise());
    }

    void formPanelRowHeights() {
        TestWindow w(true);
        GridControl* fb = w->fb();
        fb->select(2, 0, 3, 1);
        QTest::mouseClick(w->imgBtn(NavigationController::RowHeightIncrease), Qt::LeftButton);
        QCOMPARE(fb->rowHeight(2), 480);
        QCOMPARE(fb->rowHeight(3), 480);
        QCOMPARE(fb->rowHeight(1), kDefaultRowHeight);
        QTRY_VERIFY(fb->hasFocus());
        // The Form Panel's heights are its own.
        QVERIFY(w->document().model().table().rowsWithHeight().empty());
        QVERIFY(!w->document().isModified());

        // Decrease is guarded by the current row: at 240 twips nothing changes, however tall
        // the other selected rows are.
        fb->setRowHeight(3, 720);
        fb->setRowHeight(2, kDefaultRowHeight);
        fb->select(2, 0, 3, 1);
        QTest::mouseClick(w->imgBtn(NavigationController::RowHeightDecrease), Qt::LeftButton);
        QCOMPARE(fb->rowHeight(2), kDefaultRowHeight);
        QCOMPARE(fb->rowHeight(3), 720);
        // From a taller current row every selected row is lowered, but none to 0 or below.
        fb->select(3, 0, 2, 1);
        QTest::mouseClick(w->imgBtn(NavigationController::RowHeightDecrease), Qt::LeftButton);
        QCOMPARE(fb->rowHeight(3), 480);
        QCOMPARE(fb->rowHeight(2), kDefaultRowHeight);
        QVERIFY(!w->document().isModified());
    }

    void editRowHeightOnTheActiveArea() {
        TestWindow w(true);
        GridControl* fa = w->fa();
        fa->setFocus();
        QTRY_VERIFY(w->views().activeArea() == ActiveArea::DataGrid);
        fa->select(3, 0, 5, fa->cols() - 1);
        w->action(CommandId::mnuRowHeightInc)->trigger();
        w->action(CommandId::mnuRowHeightInc)->trigger();
        for (int r = 3; r <= 5; ++r) {
            QCOMPARE(fa->rowHeight(r), 720);
        }
        QCOMPARE(fa->rowHeight(6), kDefaultRowHeight);
        QVERIFY(fa->verticalHeader()->sectionSize(3 - 1) > fa->verticalHeader()->sectionSize(0));
        w->action(CommandId::mnuRowHeightDec)->trigger();
        QCOMPARE(fa->rowHeight(4), 480);
        // Reset All: every record back to 240; the title row keeps its height.
        w->document().model().setRowHeight(0, 600);
        w->action(CommandId::mnuRowHeightReset)->trigger();
        QCOMPARE(fa->rowHeight(4), kDefaultRowHeight);
        QCOMPARE(fa->rowHeight(0), 600);
        // The Form Panel takes them when it had the focus last.
        w->fb()->setFocus();
        QTRY_VERIFY(w->views().activeArea() == ActiveArea::FormPanel);
        w->fb()->select(1, 0);
        w->action(CommandId::mnuRowHeightInc)->trigger();
        QCOMPARE(w->fb()->rowHeight(1), 480);
        QCOMPARE(fa->rowHeight(4), kDefaultRowHeight);
        // No row-height command marks the document modified.
        QVERIFY(!w->document().isModified());
        for (CommandId id : {CommandId::mnuRowHeightReset, CommandId::mnuRowHeightInc,
                             CommandId::mnuRowHeightDec}) {
            QVERIFY(w->action(id)->isEnabled());
        }
    }

    void manyRowsTallerAtOnce() {
        // A command on thousands of rows sizes the view's rows as well.
        TestWindow w(true);
        w->document().model().setRows(5001);
        GridControl* fa = w->fa();
        fa->setFocus();
        QTRY_VERIFY(w->views().activeArea() == ActiveArea::DataGrid);
        fa->select(1, 0, 4000, fa->cols() - 1);
        w->action(CommandId::mnuRowHeightInc)->trigger();
        QHeaderView* vh = fa->verticalHeader();
        const int tall = vh->sectionSize(0);
        const int plain = vh->sectionSize(4500);
        QVERIFY(tall > plain);
        QCOMPARE(vh->sectionSize(3999), tall);
        QCOMPARE(vh->sectionSize(4000), plain);
        // A record added now has the default height.
        QTest::mouseClick(w->imgBtn(NavigationController::AddRecord), Qt::LeftButton);
        QCOMPARE(vh->sectionSize(5000), plain);
        QCOMPARE(vh->sectionSize(3999), tall);
        fa->setFocus();  // adding put the focus in the Form Panel
        QTRY_VERIFY(w->views().activeArea() == ActiveArea::DataGrid);
        w->action(CommandId::mnuRowHeightReset)->trigger();
        QCOMPARE(vh->sectionSize(0), plain);
        QCOMPARE(vh->sectionSize(3999), plain);
    }

    void rowSpinner() {
        TestWindow w;
        QCOMPARE(w->txtRow()->text(), QStringLiteral("20"));
        w->rowColControl()->UpDownRow_UpClick();
        QCOMPARE(w->txtRow()->text(), QStringLiteral("21"));
        QCOMPARE(w->document().recordCount(), 21);
        QVERIFY(w->document().isModified());
        w->rowColControl()->UpDownRow_DownClick();
        QCOMPARE(w->document().recordCount(), 20);
        // At 0 records the down step stays; an empty box gives no records.
        w->txtRow()->setText(QStringLiteral("0"));
        w->rowColControl()->UpDownRow_DownClick();
        QCOMPARE(w->txtRow()->text(), QStringLiteral("0"));
        QCOMPARE(w->fa()->rows(), 1);
        w->txtRow()->setText(QString());
        w->rowColControl()->UpDownRow_UpClick();
        QCOMPARE(w->txtRow()->text(), QStringLiteral("1"));
        w->txtRow()->setText(QString());
        w->rowColControl()->UpDownRow_DownClick();
        QCOMPARE(w->txtRow()->text(), QStringLiteral("0"));
        QCOMPARE(w->fa()->rows(), 1);
        // The spinner stops at 200,001 records; a number no table can take is not stepped.
        w->txtRow()->setText(QStringLiteral("200001"));
        w->rowColControl()->UpDownRow_UpClick();
        QCOMPARE(w->txtRow()->text(), QStringLiteral("200001"));
        QCOMPARE(w->document().recordCount(), 200001);
        w->txtRow()->setText(QStringLiteral("9999999999"));
        w->rowColControl()->UpDownRow_DownClick();
        QCOMPARE(w->document().recordCount(), 200001);
    }

    void columnSpinner() {
        TestWindow w;
        // The box shows the columns the table has from the start.
        QCOMPARE(w->txtCol()->text(), QStringLiteral("9"));
        QCOMPARE(w->txtRow()->text(), QStringLiteral("20"));
        w->rowColControl()->UpDownCol_UpClick();
        QCOMPARE(w->txtCol()->text(), QStringLiteral("10"));
        QCOMPARE(w->fa()->cols(), 10);
        QCOMPARE(w->fb()->rows(), 11);
        QVERIFY(w->document().isModified());
        w->document().MakeModified(false);
        // A step on an empty box does nothing.
        w->txtCol()->setText(QString());
        w->rowColControl()->UpDownCol_DownClick();
        w->rowColControl()->UpDownCol_UpClick();
        QCOMPARE(w->fa()->cols(), 10);
        QVERIFY(!w->document().isModified());
        // Limits: 1 and 201 columns.
        w->txtCol()->setText(QStringLiteral("1"));
        w->rowColControl()->UpDownCol_DownClick();
        QCOMPARE(w->txtCol()->text(), QStringLiteral("1"));
        QCOMPARE(w->fa()->cols(), 1);
        w->txtCol()->setText(QStringLiteral("201"));
        w->rowColControl()->UpDownCol_UpClick();
        QCOMPARE(w->txtCol()->text(), QStringLiteral("201"));
        QCOMPARE(w->fa()->cols(), 201);
        QCOMPARE(w->fb()->rows(), 202);
    }

    void typingIntoTheBoxes() {
        TestWindow w;
        // View > Row Col Control shows the boxes.
        w->findChild<QAction*>(QStringLiteral("rowColControlAction"))->setVisible(true);
        QLineEdit* txtCol = w->txtCol();
        txtCol->setText(QStringLiteral("10"));
        txtCol->setCursorPosition(txtCol->text().size());
        QTest::keyClicks(txtCol, QStringLiteral("x"));
        QCOMPARE(txtCol->text(), QStringLiteral("10"));
        QTest::keyClicks(txtCol, QStringLiteral("-5 "));
        QCOMPARE(txtCol->text(), QStringLiteral("105"));
        QTest::keyClick(txtCol, Qt::Key_Backspace);
        QTest::keyClick(txtCol, Qt::Key_Backspace);
        QCOMPARE(txtCol->text(), QStringLiteral("1"));
        QTest::keyClicks(txtCol, QStringLiteral("2"));
        QCOMPARE(w->fa()->cols(), 9);  // typing alone applies nothing

        // Enter applies a box, neither refreshing nor marking the document modified.
        w->fa()->select(4, 0);
        markUnrefreshed(w);
        QTest::keyClick(txtCol, Qt::Key_Return);
        QCOMPARE(w->fa()->cols(), 12);
        QCOMPARE(w->fb()->rows(), 13);
        QLineEdit* txtRow = w->txtRow();
        txtRow->clear();
        QTest::keyClicks(txtRow, QStringLiteral("007"));
        QTest::keyClick(txtRow, Qt::Key_Enter);
        QCOMPARE(w->document().recordCount(), 7);
        QCOMPARE(txtRow->text(), QStringLiteral("7"));  // the box follows the table
        QCOMPARE(w->fa()->row(), 4);
        QVERIFY(!refreshed(w));
        QVERIFY(!w->document().isModified());

        // Nothing to apply: an empty or over-long box, a count the table cannot take.
        txtRow->clear();
        QTest::keyClick(txtRow, Qt::Key_Return);
        QTest::keyClicks(txtRow, QStringLiteral("9999999999"));
        QTest::keyClick(txtRow, Qt::Key_Return);
        QCOMPARE(w->document().recordCount(), 7);
        txtCol->clear();
        QTest::keyClicks(txtCol, QStringLiteral("0"));
        QTest::keyClick(txtCol, Qt::Key_Return);
        txtCol->clear();
        QTest::keyClicks(txtCol, QStringLiteral("70000"));
        QTest::keyClick(txtCol, Qt::Key_Return);
        QCOMPARE(w->fa()->cols(), 12);
    }
};

QTEST_MAIN(TstRecordNavigation)
#include "tst_recordnavigation.moc"
