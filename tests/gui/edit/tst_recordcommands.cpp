// Adding, inserting, deleting and moving records and columns, the Delete Record dialog with its
// "Do not ask me next time", and the Edit menu's shortcuts driving it all in a shown window.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "EditTestSupport.h"
#include "core/table/TableLimits.h"
#include "gui/edit/frmDelDialog.h"

using namespace pellumar;
using namespace pellumar::testing;
using CellProperty = GridModel::CellProperty;

class TstRecordCommands : public QObject, private EditFixture {
    Q_OBJECT

private:
    // Column 0 of the records, as the names of the records they came from ("r3c0" -> 3).
    QList<int> recordOrder() const {
        QList<int> out;
        for (int r = 1; r < model().rows(); ++r) {
            const QString t = model().text(r, 0);
            out << (t.isEmpty() ? 0 : t.mid(1, t.indexOf(u'c') - 1).toInt());
        }
        return out;
    }

private slots:
    void init() {
        w_ = std::make_unique<TestWindow>();
        fill(10, 4);
    }
    void cleanup() { w_.reset(); }

    void insertRowAtRecordFour() {
        fa()->select(4, 2);
        edit().mnuInsertRow_Click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 3, 0, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE((*w_)->txtRow()->text(), QStringLiteral("11"));
        QCOMPARE(fa()->row(), 4);  // the new empty record is current
        QCOMPARE((*w_)->panelText(6), QStringLiteral("4 / 11"));
        QVERIFY(modified());
        // A table without records gets its first one.
        model().setRows(1);
        edit().mnuInsertRow_Click();
        QCOMPARE(model().rows(), 2);
        QCOMPARE(fa()->row(), 1);
    }

    void insertAndDeleteColumns() {
        fa()->select(3, 2);
        (*w_)->formPanel().fa_Click();
        edit().mnuInsertCol_Click();
        QCOMPARE(model().cols(), 5);
        QVERIFY(model().text(0, 2).isEmpty());
        QCOMPARE(model().text(0, 3), named(0, 2));
        QCOMPARE(model().text(3, 4), named(3, 3));
        QCOMPARE(model().colAlignment(2), int(AlignGeneral));
        QCOMPARE((*w_)->txtCol()->text(), QStringLiteral("5"));
        QCOMPARE((*w_)->fb()->rows(), 6);
        QCOMPARE((*w_)->fb()->textMatrix(4, 0), named(0, 2));  // titles read again
        QCOMPARE(fa()->col(), 2);
        QVERIFY(modified());

        (*w_)->document().MakeModified(false);
        fa()->select(3, 0);
        edit().mnuDeleteCol_Click();
        QCOMPARE(model().cols(), 4);
        QCOMPARE(model().text(0, 0), named(0, 1));
        QCOMPARE((*w_)->txtCol()->text(), QStringLiteral("4"));
        QCOMPARE((*w_)->fb()->rows(), 5);
        QCOMPARE((*w_)->fb()->textMatrix(1, 0), named(0, 1));
        QVERIFY(modified());

        // The last column stays.
        model().setCols(1);
        (*w_)->document().MakeModified(false);
        edit().mnuDeleteCol_Click();
        QCOMPARE(model().cols(), 1);
        QVERIFY(!modified());
    }

    // The sort arrow and the sort column follow a column inserted or deleted before them: the
    // next sort by another title leaves one arrow only, and a further click on the sorted
    // title reverses its order.
    void sortColumnFollowsInsertAndDeleteColumn_data() {
        QTest::addColumn<bool>("insert");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("arrowAfter");  // -1: the sorted column itself went
        QTest::newRow("insert before it") << true << 0 << 3;
        QTest::newRow("insert after it") << true << 3 << 2;
        QTest::newRow("delete before it") << false << 0 << 1;
        QTest::newRow("delete after it") << false << 3 << 2;
        QTest::newRow("delete it") << false << 2 << -1;
    }
    void sortColumnFollowsInsertAndDeleteColumn() {
        QFETCH(bool, insert);
        QFETCH(int, at);
        QFETCH(int, arrowAfter);
        w_ = std::make_unique<TestWindow>(true);
        fill(6, 4);
        QHeaderView* titles = fa()->horizontalHeader();
        const auto clickTitle = [&](int col) {
            QTest::mouseClick(
                titles->viewport(), Qt::LeftButton, {},
                QPoint(titles->sectionViewportPosition(col) + titles->sectionSize(col) / 2,
                       titles->height() / 2));
        };
        const auto arrows = [&] {
            QList<int> cols;
            for (int c = 0; c < model().cols(); ++c) {
                const int picture = model().cell(CellProperty::Picture, 0, c).toInt();
                if (picture == PictureSortUp || picture == PictureSortDown) {
                    cols << c;
                }
            }
            return cols;
        };
        clickTitle(2);
        QCOMPARE(arrows(), QList<int>{2});
        fa()->select(1, at);
        insert ? edit().mnuInsertCol_Click() : edit().mnuDeleteCol_Click();
        QCOMPARE(arrows(), arrowAfter < 0 ? QList<int>{} : QList<int>{arrowAfter});
        if (arrowAfter >= 0) {
            QCOMPARE((*w_)->document().lastSortCol(), arrowAfter);
            // The same title again: the order reverses.
            clickTitle(arrowAfter);
            QCOMPARE(model().cell(CellProperty::Picture, 0, arrowAfter).toInt(),
                     int(PictureSortDown));
        }
        // Another title: its arrow is the only one.
        clickTitle(1);
        QCOMPARE(arrows(), QList<int>{1});
    }

    void insertColumnStopsAtTheLimit() {
        model().setRows(3);
        model().setCols(kMaxColumns);
        (*w_)->document().MakeModified(false);
        edit().mnuInsertCol_Click();
        QCOMPARE(model().cols(), kMaxColumns);
        QVERIFY(!modified());
        QCOMPARE(w_->prompter.asked().size(), 1);
        QCOMPARE(w_->prompter.last().text, tooManyColumnsMessage());
        QVERIFY(w_->prompter.last().text.contains(QStringLiteral("65,536 columns")));
    }

    void deleteRows() {
        // Records that are not adjacent: exactly those go.
        fa()->selectRowList({2, 5, 7});
        edit().mnuDeleteRow_Click();
        QCOMPARE(recordOrder(), (QList<int>{1, 3, 4, 6, 8, 9, 10}));
        QCOMPARE((*w_)->txtRow()->text(), QStringLiteral("7"));
        QCOMPARE(fa()->row(), 2);  // the record that took the first one's place
        QCOMPARE((*w_)->panelText(6), QStringLiteral("2 / 7"));
        QVERIFY(modified());

        // Block mode: the rows the block spans.
        (*w_)->styles().mnuMouseMode_Click(1);
        fa()->select(4, 3, 3, 1);
        edit().mnuDeleteRow_Click();
        QCOMPARE(recordOrder(), (QList<int>{1, 3, 8, 9, 10}));

        // Every record may go; the table keeps its titles and takes new records.
        (*w_)->styles().mnuMouseMode_Click(0);
        fa()->select(1, 0, 5, 3);
        edit().mnuDeleteRow_Click();
        QCOMPARE(model().rows(), 1);
        QCOMPARE(model().text(0, 1), named(0, 1));
        QCOMPARE((*w_)->txtRow()->text(), QStringLiteral("0"));
        edit().mnuDeleteRow_Click();  // nothing left to delete
        QCOMPARE(model().rows(), 1);
        edit().mnuAddRow_Click();
        QCOMPARE(model().rows(), 2);
    }

    void moveDownTwiceAndUp() {
        model().setCell(CellProperty::FontBold, 3, 0, 3, 3, true);
        model().setRowHeight(3, 480);
        fa()->select(3, 0, 5, 3);
        edit().mnuMoveDown_Click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 6, 3, 4, 5, 7, 8, 9, 10}));
        QCOMPARE(fa()->selectionTop(), 4);
        QCOMPARE(fa()->selectionBottom(), 6);
        QCOMPARE(QGuiApplication::clipboard()->text(), model().clipText(4, 0, 6, 3));
        QVERIFY(modified());
        // Formatting stays at its row.
        QVERIFY(model().cell(CellProperty::FontBold, 3, 1).toBool());
        QVERIFY(!model().cell(CellProperty::FontBold, 4, 1).toBool());
        QCOMPARE(model().rowHeight(3), 480);

        edit().mnuMoveDown_Click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 6, 7, 3, 4, 5, 8, 9, 10}));
        QCOMPARE(fa()->selectedRowList(), (std::vector<int>{5, 6, 7}));

        // A block selected upwards moves as the same records.
        fa()->select(7, 0, 5, 3);
        edit().mnuMoveUp_Click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 6, 3, 4, 5, 7, 8, 9, 10}));
        QCOMPARE(fa()->selectedRowList(), (std::vector<int>{4, 5, 6}));

        // At either end nothing moves, yet the document is modified.
        fill(10, 4);
        fa()->select(1, 0, 1, 3);
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        edit().mnuMoveUp_Click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QVERIFY(modified());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
        (*w_)->document().MakeModified(false);
        fa()->select(9, 0, 10, 3);
        edit().mnuMoveDown_Click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QVERIFY(modified());
    }

    void addRowPastTheSpinnersLimit() {
        model().setRows(200002);  // 200,001 records, where the record spinner stops
        (*w_)->document().MakeModified(false);
        fa()->select(5, 1);
        edit().mnuAddRow_Click();
        QCOMPARE(model().rows(), 200003);
        QCOMPARE((*w_)->txtRow()->text(), QStringLiteral("200002"));
        QCOMPARE(fa()->row(), 5);  // Add Row leaves the current record where it is
        QVERIFY(model().text(200002, 0).isEmpty());
        QVERIFY(modified());
    }

    void deleteRecordDialog() {
        fa()->select(4, 1);
        edit().deleteCurrentRecordAsked();
        frmDelDialog& dialog = edit().delDialog();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Delete Record"));
        QCOMPARE(dialog.lblMessage()->text(),
                 QStringLiteral("Are you sure you want to delete this record?"));
        QCOMPARE(dialog.chkAskDel()->text(), QStringLiteral("Do not ask me next time"));
        QCOMPARE(dialog.cmdBtn(0)->text(), QStringLiteral("&Yes"));
        QCOMPARE(dialog.cmdBtn(1)->text(), QStringLiteral("&No"));
        QCOMPARE(dialog.cmdBtn(2)->text(), QStringLiteral("&Cancel"));
        QVERIFY(!dialog.imgPicture()->pixmap().isNull());

        // No and Cancel change nothing; the caller clears the flag they set.
        dialog.cmdBtn(1)->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!edit().deleteCancelled());
        edit().deleteCurrentRecordAsked();
        dialog.cmdBtn(2)->click();
        edit().deleteCurrentRecordAsked();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(model().rows(), 11);
        QVERIFY(!modified());
        QVERIFY(!edit().deleteCancelled());

        // Yes removes the current record.
        edit().deleteCurrentRecordAsked();
        dialog.cmdBtn(0)->click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 3, 5, 6, 7, 8, 9, 10}));
        QCOMPARE((*w_)->txtRow()->text(), QStringLiteral("9"));
        QCOMPARE(fa()->row(), 4);
        QVERIFY(modified());

        // Ticked and answered No, the box still stops the questions for the rest of the run.
        edit().deleteCurrentRecordAsked();
        dialog.chkAskDel()->setChecked(true);
        dialog.cmdBtn(1)->click();
        QCOMPARE(model().rows(), 10);
        edit().deleteCurrentRecordAsked();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 3, 6, 7, 8, 9, 10}));
        QCOMPARE((*w_)->txtRow()->text(), QStringLiteral("8"));

        // The next run asks again.
        w_ = std::make_unique<TestWindow>();
        edit().deleteCurrentRecordAsked();
        QVERIFY(edit().delDialog().isVisible());
        QVERIFY(!edit().delDialog().chkAskDel()->isChecked());
        edit().delDialog().cmdBtn(2)->click();
        QCOMPARE(model().rows(), 21);

        // A table without records has nothing to delete and asks nothing.
        model().setRows(1);
        edit().deleteCurrentRecordAsked();
        QVERIFY(!edit().delDialog().isVisible());
    }

    void menuShortcutsInAShownWindow() {
        w_ = std::make_unique<TestWindow>(true);
        fill(10, 4);
        (*w_)->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_->window.get()));
        fa()->setFocus();
        QTRY_COMPARE((*w_)->views().activeArea(), ActiveArea::DataGrid);
        QWidget* target = fa();
        QClipboard* clipboard = QGuiApplication::clipboard();

        fa()->select(2, 0);
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), model().clipText(2, 0, 2, 3));
        QTest::keyClick(target, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(fa()->selectedRows(), 10);
        QVERIFY(!modified());

        fa()->select(3, 0, 5, 3);
        QTest::keyClick(target, Qt::Key_F12, Qt::ControlModifier);
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 6, 3, 4, 5, 7, 8, 9, 10}));
        QVERIFY(modified());
        // The Toolbar2 buttons, shown as View > Move Control shows them.
        (*w_)->findChild<QAction*>(QStringLiteral("Toolbar2Action"))->setVisible(true);
        (*w_)->toolButton(QStringLiteral("Up"))->click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QTest::keyClick(target, Qt::Key_F11, Qt::ControlModifier);
        QCOMPARE(recordOrder(), (QList<int>{1, 3, 4, 5, 2, 6, 7, 8, 9, 10}));
        (*w_)->toolButton(QStringLiteral("Down"))->click();
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

        fa()->select(4, 1);
        QTest::keyClick(target, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(model().rows(), 12);
        QVERIFY(model().text(4, 0).isEmpty());
        QTest::keyClick(target, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(recordOrder(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QTest::keyClick(target, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(model().cols(), 5);
        QVERIFY(model().text(0, 1).isEmpty());
        QTest::keyClick(target, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(model().cols(), 4);
        QCOMPARE(model().text(0, 1), named(0, 1));
        QTest::keyClick(target, Qt::Key_F2, Qt::ControlModifier);
        QCOMPARE(model().rows(), 12);

        fa()->select(7, 0);
        QTest::keyClick(target, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(model().text(7, 2).isEmpty());
        fa()->select(11, 0);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(model().text(11, 2), named(7, 2));
    }
};

QTEST_MAIN(TstRecordCommands)
#include "tst_recordcommands.moc"
