// GridControl as the user meets it: selection by mouse and keys in both modes, sorting and
// moving by the title row, editing with its events, and the view following the model.
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "gui/grid/GridControl.h"

using namespace pellumar;

class TstGridControl : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<GridControl> grid_;

    QPoint cellCenter(int row, int col) const {
        const QModelIndex i = grid_->model()->index(row - grid_->fixedRows(), col);
        return grid_->visualRect(i).center();
    }

    QPoint titleCenter(int col) const {
        QHeaderView* h = grid_->horizontalHeader();
        return QPoint(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
    }

private slots:
    void init() {
        grid_ = std::make_unique<GridControl>();
        grid_->setFixedRows(1);
        grid_->setCols(4);
        grid_->setRows(11);
        for (int r = 0; r < 11; ++r) {
            for (int c = 0; c < 4; ++c) {
                grid_->setTextMatrix(
                    r, c,
                    r == 0 ? QStringLiteral("T%1").arg(c) : QStringLiteral("%1").arg(r * 10 + c));
            }
        }
        grid_->resize(600, 400);
        grid_->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid_.get()));
    }
    void cleanup() { grid_.reset(); }

    void blockSelectionByMouse() {
        QSignalSpy sel(grid_.get(), &GridControl::selChanged);
        QTest::mousePress(grid_->viewport(), Qt::LeftButton, {}, cellCenter(2, 1));
        QTest::mouseMove(grid_->viewport(), cellCenter(4, 3));
        QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, cellCenter(4, 3));
        QCOMPARE(grid_->row(), 2);
        QCOMPARE(grid_->col(), 1);
        QCOMPARE(grid_->selectionEndRow(), 4);
        QCOMPARE(grid_->selectionEndCol(), 3);
        QCOMPARE(grid_->selectedRows(), 3);
        QCOMPARE(grid_->selectedRow(0), 2);
        QCOMPARE(grid_->selectedRow(2), 4);
        QVERIFY(sel.count() > 0);
        QCOMPARE(grid_->clip(), QStringLiteral("21\t22\t23\n31\t32\t33\n41\t42\t43"));
        // Shift+Up moves the other corner; the current cell stays.
        QTest::keyClick(grid_.get(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(grid_->row(), 2);
        QCOMPARE(grid_->selectionEndRow(), 3);
    }

    void rowSelection() {
        grid_->setSelectionKind(GridControl::SelectionByRow);
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, cellCenter(5, 2));
        QCOMPARE(grid_->row(), 5);
        QCOMPARE(grid_->col(), 2);
        QCOMPARE(grid_->selectionLeft(), 0);
        QCOMPARE(grid_->selectionRight(), 3);
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCenter(3, 0));
        QCOMPARE(grid_->selectedRows(), 3);
        QCOMPARE(grid_->selectionTop(), 3);
        QCOMPARE(grid_->selectionBottom(), 5);
        QCOMPARE(grid_->clip().count(u'\n'), 2);
        QCOMPARE(grid_->clip().section(u'\n', 0, 0), QStringLiteral("30\t31\t32\t33"));
        // Programmatic selection of one record across all columns.
        grid_->select(7, 0, 7, 3);
        QCOMPARE(grid_->row(), 7);
        QCOMPARE(grid_->col(), 0);
        QCOMPARE(grid_->selectionEndCol(), 3);
        QCOMPARE(grid_->selectedRows(), 1);
        QVERIFY(grid_->selectionModel()->isRowSelected(6, QModelIndex()));
    }

    void rowListByCtrlAndShiftClicks() {
        grid_->setSelectionKind(GridControl::SelectionByRow);
        QSignalSpy sel(grid_.get(), &GridControl::selChanged);
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, cellCenter(2, 1));
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(5, 2));
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(7, 0));
        QVERIFY(grid_->hasRowList());
        QCOMPARE(grid_->selectedRows(), 3);
        QCOMPARE(grid_->selectedRowList(), (std::vector<int>{2, 5, 7}));
        QCOMPARE(grid_->selectedRow(1), 5);
        QCOMPARE(grid_->row(), 7);  // the record clicked last is current
        QVERIFY(grid_->isRowListed(5) && !grid_->isRowListed(4));
        QCOMPARE(grid_->clip(), QStringLiteral("20\t21\t22\t23\n50\t51\t52\t53\n70\t71\t72\t73"));
        QVERIFY(sel.count() >= 3);

        // Ctrl+click on a listed record drops it, and it becomes the current one.
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(5, 1));
        QCOMPARE(grid_->selectedRowList(), (std::vector<int>{2, 7}));
        QCOMPARE(grid_->row(), 5);
        QVERIFY(!grid_->selectionModel()->isRowSelected(4, QModelIndex()));
        // Ctrl+Shift+click adds the records from the current one to the clicked one.
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton,
                          Qt::ControlModifier | Qt::ShiftModifier, cellCenter(3, 1));
        QCOMPARE(grid_->selectedRowList(), (std::vector<int>{2, 3, 4, 5, 7}));

        // A plain click, a key, a change of the rows or of the mode ends the list.
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, cellCenter(9, 1));
        QVERIFY(!grid_->hasRowList());
        QCOMPARE(grid_->selectedRowList(), (std::vector<int>{9}));
        grid_->selectRowList({8, 1, 4, 4, 0, 99});  // the title row and strays are left out
        QCOMPARE(grid_->selectedRowList(), (std::vector<int>{1, 4, 8}));
        QCOMPARE(grid_->row(), 1);
        QTest::keyClick(grid_.get(), Qt::Key_Down);
        QVERIFY(!grid_->hasRowList());
        grid_->selectRowList({3, 6});
        grid_->grid()->insertRowsAt(1, 1);
        QVERIFY(!grid_->hasRowList());
        grid_->selectRowList({3, 6});
        grid_->setSelectionKind(GridControl::SelectionFree);
        QVERIFY(!grid_->hasRowList());
        // Block selection keeps no list: Ctrl+click is a plain click there.
        grid_->selectRowList({3, 6});
        QVERIFY(!grid_->hasRowList());
    }

    void wholeRowsKeepTheColumnsInView() {
        grid_->setCols(30);
        grid_->setSelectionKind(GridControl::SelectionByRow);
        QScrollBar* across = grid_->horizontalScrollBar();
        QVERIFY(across->maximum() > 0);
        grid_->select(9, 0, 9, 29);
        QCOMPARE(across->value(), 0);
        grid_->selectRowList({2, 6});
        QCOMPARE(across->value(), 0);
        // A block is brought into view.
        grid_->setSelectionKind(GridControl::SelectionFree);
        grid_->select(3, 29, 3, 29);
        QVERIFY(across->value() > 0);
    }

    void titleClicksSortAndReverse() {
        QSignalSpy before(grid_.get(), &GridControl::beforeSort);
        QSignalSpy after(grid_.get(), &GridControl::afterSort);
        grid_->setTitleBarMode(true);
        grid_->setTextMatrix(3, 2, QStringLiteral("5"));
        QTest::mouseClick(grid_->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          titleCenter(2));
        QCOMPARE(after.count(), 1);
        QCOMPARE(after[0][0].toInt(), 2);
        QCOMPARE(after[0][1].toInt(), int(GridControl::SortAscending));
        QCOMPARE(grid_->textMatrix(1, 2), QStringLiteral("5"));
        QCOMPARE(grid_->textMatrix(0, 2), QStringLiteral("T2"));
        QTest::mouseClick(grid_->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          titleCenter(2));
        QCOMPARE(after[1][1].toInt(), int(GridControl::SortDescending));
        QCOMPARE(grid_->textMatrix(1, 2), QStringLiteral("102"));
        QCOMPARE(before.count(), 2);
        // Without the title-bar mode a title click does nothing.
        grid_->setTitleBarMode(false);
        QTest::mouseClick(grid_->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          titleCenter(0));
        QCOMPARE(after.count(), 2);
    }

    // After a sort a block of records would lie scattered: the current record stays selected
    // where its record went; a selection of every record stays whole.
    void sortingNarrowsASelectionOfSomeRecords() {
        grid_->setSelectionKind(GridControl::SelectionByRow);
        grid_->select(3, 1, 6, 1);  // records "30" to "60", "30" current
        grid_->sortByColumn(0, GridControl::SortDescending);
        QCOMPARE(grid_->textMatrix(grid_->row(), 0), QStringLiteral("30"));
        QCOMPARE(grid_->row(), 8);
        QCOMPARE(grid_->col(), 1);
        QCOMPARE(grid_->selectionEndRow(), 8);
        QCOMPARE(grid_->selectedRowList(), std::vector<int>{8});
        QCOMPARE(grid_->selectionModel()->selectedRows().size(), 1);

        grid_->select(1, 0, 10, 3);
        grid_->sortByColumn(0, GridControl::SortAscending);
        QCOMPARE(grid_->selectionModel()->selectedRows().size(), 10);
        QCOMPARE(grid_->textMatrix(1, 0), QStringLiteral("10"));

        // A list of records picked one by one goes the same way.
        grid_->selectRowList({2, 5, 9});
        const QString current = grid_->textMatrix(grid_->row(), 0);
        grid_->sortByColumn(0, GridControl::SortDescending);
        QCOMPARE(grid_->textMatrix(grid_->row(), 0), current);
        QCOMPARE(grid_->selectionModel()->selectedRows().size(), 1);
    }

    void draggingATitleMovesTheColumn() {
        grid_->setTitleBarMode(true);
        QSignalSpy moved(grid_.get(), &GridControl::afterMoveColumn);
        // What the header reports at the end of a drag of title 0 to the third place.
        grid_->horizontalHeader()->moveSection(0, 2);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(grid_->textMatrix(0, 2), QStringLiteral("T0"));
        QCOMPARE(grid_->textMatrix(0, 0), QStringLiteral("T1"));
        QCOMPARE(grid_->textMatrix(5, 2), QStringLiteral("50"));
        // The view shows the model's order: no visual reordering is left behind.
        QCOMPARE(grid_->horizontalHeader()->visualIndex(2), 2);
    }

    void editingRaisesItsEvents() {
        QSignalSpy before(grid_.get(), &GridControl::beforeEdit);
        QSignalSpy after(grid_.get(), &GridControl::afterEdit);
        grid_->select(3, 1);
        grid_->editCell();
        auto* editor = grid_->findChild<QLineEdit*>();
        QVERIFY(editor);
        QCOMPARE(before.count(), 1);
        editor->setText(QStringLiteral("changed"));
        QTest::keyClick(editor, Qt::Key_Return);  // the delegate commits on the next event turn
        QTRY_COMPARE(grid_->textMatrix(3, 1), QStringLiteral("changed"));
        QCOMPARE(after.count(), 1);
        QCOMPARE(after[0][0].toInt(), 3);
        QCOMPARE(after[0][1].toInt(), 1);

        // Leaving an editor unchanged is no edit.
        grid_->editCell();
        editor = grid_->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid_->isEditing());
        QCOMPARE(after.count(), 1);

        // A combo list offers its items.
        grid_->setComboList(QStringLiteral("Left|Center|Right"));
        grid_->select(2, 2);
        grid_->editCell();
        auto* combo = grid_->findChild<QComboBox*>(QStringLiteral("gridComboEditor"));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 4);  // the list, and the cell's own value "22" first
        QCOMPARE(combo->itemText(0), QStringLiteral("22"));
        combo->setCurrentIndex(3);
        QTest::keyClick(combo, Qt::Key_Return);
        QTRY_COMPARE(grid_->textMatrix(2, 2), QStringLiteral("Right"));

        // A value the list does not hold survives an editor left without a choice.
        grid_->setTextMatrix(4, 2, QStringLiteral("Justify"));
        grid_->select(4, 2);
        grid_->editCell();
        combo = grid_->findChild<QComboBox*>(QStringLiteral("gridComboEditor"));
        QVERIFY(combo);
        QCOMPARE(combo->currentText(), QStringLiteral("Justify"));
        QTest::keyClick(combo, Qt::Key_Return);
        QTRY_VERIFY(!grid_->isEditing());
        QCOMPARE(grid_->textMatrix(4, 2), QStringLiteral("Justify"));

        // A handler may refuse the edit.
        connect(grid_.get(), &GridControl::beforeEdit, this,
                [](int, int, bool* cancel) { *cancel = true; });
        grid_->setComboList(QString());
        grid_->editCell();
        QVERIFY(!grid_->isEditing());
    }

    // A handler of the end of an edit may move the current cell: the editor has closed by then
    // (Return in a list editor).
    void afterEditMayMoveTheCurrentCell() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("closeEditor")));
        connect(grid_.get(), &GridControl::afterEdit, this,
                [this](int row, int) { grid_->select(row, 3); });
        grid_->setComboList(QStringLiteral("Left|Center|Right"));
        grid_->select(2, 1);
        grid_->editCell();
        auto* combo = grid_->findChild<QComboBox*>(QStringLiteral("gridComboEditor"));
        QVERIFY(combo);
        combo->setCurrentIndex(combo->findText(QStringLiteral("Center")));
        QTest::keyClick(combo, Qt::Key_Return);
        QTRY_VERIFY(!grid_->isEditing());
        QCOMPARE(grid_->textMatrix(2, 1), QStringLiteral("Center"));
        QCOMPARE(grid_->row(), 2);
        QCOMPARE(grid_->col(), 3);
    }

    // Whole-row selection: Ctrl with a move key selects where it goes, and columns added to the
    // table join the selected rows.
    void wholeRowsFollowKeysAndNewColumns() {
        grid_->setSelectionKind(GridControl::SelectionByRow);
        grid_->select(4, 0);
        QTest::keyClick(grid_.get(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid_->row(), 10);
        QCOMPARE(grid_->selectedRows(), 1);
        QVERIFY(grid_->selectionModel()->isRowSelected(9, QModelIndex()));
        QVERIFY(!grid_->selectionModel()->isRowSelected(3, QModelIndex()));
        QTest::keyClick(grid_.get(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid_->row(), 1);
        QVERIFY(grid_->selectionModel()->isRowSelected(0, QModelIndex()));
        grid_->setCols(6);
        QVERIFY(grid_->selectionModel()->isSelected(grid_->model()->index(0, 5)));
        QCOMPARE(grid_->row(), 1);
    }

    // A check box in a cell aligned to the centre is drawn in the middle, and toggled there.
    void centredCheckBox() {
        grid_->setColDataType(1, DataTypeCheckbox);
        grid_->setColAlignment(1, AlignCenterCenter);
        grid_->setColWidth(1, 3000);
        grid_->setTextMatrix(2, 1, QStringLiteral("1"));
        grid_->select(5, 3);
        const QRect cell = grid_->visualRect(grid_->model()->index(1, 1));
        const QImage image = grid_->viewport()->grab().toImage();
        const QRgb background = image.pixel(cell.left() + 2, cell.center().y());
        int left = cell.right();
        int right = cell.left();
        for (int x = cell.left() + 1; x < cell.right(); ++x) {
            for (int y = cell.top() + 1; y < cell.bottom(); ++y) {
                if (image.pixel(x, y) != background) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        QVERIFY2(left < right, "no check box drawn");
        QVERIFY2(std::abs((left + right) / 2 - cell.center().x()) <= 2,
                 qPrintable(QStringLiteral("box from %1 to %2 in a cell from %3 to %4")
                                .arg(left)
                                .arg(right)
                                .arg(cell.left())
                                .arg(cell.right())));
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {},
                          QPoint(cell.left() + 8, cell.center().y()));
        QCOMPARE(grid_->grid()->checkState(2, 1), int(CheckChecked));
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(grid_->grid()->checkState(2, 1), int(CheckUnchecked));
        QCOMPARE(grid_->textMatrix(2, 1), QStringLiteral("0"));
    }

    void viewFollowsColumnAndRowAttributes() {
        grid_->setColHidden(1, true);
        QVERIFY(grid_->isColumnHidden(1));
        QCOMPARE(grid_->textMatrix(4, 1), QStringLiteral("41"));
        grid_->setColWidth(2, 3000);
        QCOMPARE(grid_->columnWidth(2), 200);  // 15 twips a pixel at 96 dpi
        grid_->setRowHeight(3, 720);
        QCOMPARE(grid_->verticalHeader()->sectionSize(2), 48);
        // Heights travel with their records when the table is sorted.
        grid_->setTextMatrix(3, 0, QStringLiteral("0"));
        grid_->sortByColumn(0, GridControl::SortAscending);
        QCOMPARE(grid_->verticalHeader()->sectionSize(0), 48);
        QCOMPARE(grid_->verticalHeader()->sectionSize(2),
                 grid_->verticalHeader()->defaultSectionSize());
    }

    void keysReportAfterMoving() {
        grid_->select(2, 0);
        int rowSeen = -1;
        connect(grid_.get(), &GridControl::keyPressed, this, [&](int key, Qt::KeyboardModifiers) {
            if (key == Qt::Key_Down) {
                rowSeen = grid_->row();
            }
        });
        QTest::keyClick(grid_.get(), Qt::Key_Down);
        QCOMPARE(rowSeen, 3);
    }
};

QTEST_MAIN(TstGridControl)
#include "tst_gridcontrol.moc"
