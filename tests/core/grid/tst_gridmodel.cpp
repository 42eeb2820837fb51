// The grid model: the title row as header, notifications, check-box columns, block properties, the
// clip rules and the operations behind the editing commands (each changes exactly the cells it
// names and tells the views once), watched by Qt's model tester throughout.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include "core/grid/GridModel.h"
#include "core/table/ClipText.h"

#include <vector>

Q_DECLARE_METATYPE(std::vector<int>)

using namespace pellumar;
using CellProperty = GridModel::CellProperty;

class TstGridModel : public QObject {
    Q_OBJECT

private:
    GridModel* model_ = nullptr;
    QAbstractItemModelTester* tester_ = nullptr;

    // A record table: title row plus `records` rows, `cols` columns, cells "r<row>c<col>".
    void makeTable(int records, int cols) {
        model_->setFixedRows(1);
        model_->setCols(cols);
        model_->setRows(records + 1);
        for (int r = 0; r <= records; ++r) {
            for (int c = 0; c < cols; ++c) {
                model_->setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
            }
        }
    }

    QStringList column(int col) const {
        QStringList out;
        for (int r = 0; r < model_->rows(); ++r) {
            out << model_->text(r, col);
        }
        return out;
    }

    // Every cell of the table outside the block still holds its "r<row>c<col>" text.
    bool untouchedOutside(int top, int left, int bottom, int right) const {
        for (int r = 0; r < model_->rows(); ++r) {
            for (int c = 0; c < model_->cols(); ++c) {
                const bool inside = r >= top && r <= bottom && c >= left && c <= right;
                if (!inside && model_->text(r, c) != QStringLiteral("r%1c%2").arg(r).arg(c)) {
                    return false;
                }
            }
        }
        return true;
    }

private slots:
    void init() {
        model_ = new GridModel(this);
        tester_ = new QAbstractItemModelTester(
            model_, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    }
    void cleanup() {
        delete tester_;
        delete model_;
    }

    void titleRowIsTheHeader() {
        makeTable(3, 2);
        QCOMPARE(model_->rowCount(), 3);
        QCOMPARE(model_->headerData(1, Qt::Horizontal).toString(), QStringLiteral("r0c1"));
        QCOMPARE(model_->index(0, 1).data().toString(), QStringLiteral("r1c1"));
        QSignalSpy header(model_, &QAbstractItemModel::headerDataChanged);
        QSignalSpy data(model_, &QAbstractItemModel::dataChanged);
        model_->setText(0, 1, QStringLiteral("Name"));
        QCOMPARE(header.count(), 1);
        QCOMPARE(data.count(), 0);
        model_->setText(2, 1, QStringLiteral("x"));
        QCOMPARE(data.count(), 1);
        QCOMPARE(data[0][0].toModelIndex().row(), 1);

        // Without a fixed row, row 0 is a record like the others.
        model_->setFixedRows(0);
        QCOMPARE(model_->rowCount(), 4);
        QCOMPARE(model_->index(0, 1).data().toString(), QStringLiteral("Name"));
    }

    void shapeChangesKeepCells() {
        makeTable(2, 2);
        model_->setRows(1);  // only the title row
        QCOMPARE(model_->rowCount(), 0);
        QCOMPARE(model_->text(0, 1), QStringLiteral("r0c1"));
        model_->setRows(4);
        model_->setCols(5);
        QCOMPARE(model_->rowCount(), 3);
        QVERIFY(model_->text(2, 4).isEmpty());
        model_->setCols(0);  // how New empties a table
        model_->setCols(3);
        QVERIFY(model_->text(0, 1).isEmpty());
        model_->setRows(0);
        QCOMPARE(model_->headerData(0, Qt::Horizontal).toString(), QString());
    }

    void structureKeepsTheRightCells() {
        makeTable(5, 3);
        model_->moveRowBlock(4, 2, 2);
        QCOMPARE(model_->text(2, 0), QStringLiteral("r4c0"));
        QCOMPARE(model_->text(3, 0), QStringLiteral("r5c0"));
        QCOMPARE(model_->text(4, 0), QStringLiteral("r2c0"));
        model_->moveRow(2, 5);
        QCOMPARE(model_->text(5, 0), QStringLiteral("r4c0"));
        model_->moveColumn(0, 2);
        QCOMPARE(model_->text(0, 2), QStringLiteral("r0c0"));
        QCOMPARE(model_->text(0, 0), QStringLiteral("r0c1"));
        model_->removeRow(1);
        QCOMPARE(model_->rows(), 5);
        QCOMPARE(model_->text(1, 2), QStringLiteral("r5c0"));
        model_->insertRowsAt(1, 2);
        QVERIFY(model_->text(1, 0).isEmpty());
        QCOMPARE(model_->text(3, 2), QStringLiteral("r5c0"));
        model_->insertColumnsAt(0, 1);
        model_->removeColumnsAt(3, 1);
        QCOMPARE(model_->cols(), 3);
        QCOMPARE(model_->text(0, 1), QStringLiteral("r0c1"));
    }

    void checkBoxColumns() {
        makeTable(4, 2);
        model_->setColDataType(1, DataTypeCheckbox);
        const QStringList texts{"1", "-1", "0", "yes"};
        const QList<int> states{CheckChecked, CheckChecked, CheckUnchecked, CheckUnchecked};
        for (int i = 0; i < 4; ++i) {
            model_->setText(i + 1, 1, texts[i]);
            QCOMPARE(model_->checkState(i + 1, 1), states[i]);
        }
        QCOMPARE(model_->index(0, 1).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        QCOMPARE(model_->index(0, 1).data().toString(), QString());  // a box, no text
        QVERIFY(model_->flags(model_->index(0, 1)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(model_->flags(model_->index(0, 0)) & Qt::ItemIsUserCheckable));
        // Setting the state writes the text, and a view's toggle is an edit.
        QSignalSpy edited(model_, &GridModel::cellEdited);
        model_->setData(model_->index(2, 1), Qt::Checked, Qt::CheckStateRole);
        QCOMPARE(model_->text(3, 1), QStringLiteral("1"));
        QCOMPARE(edited.count(), 1);
        model_->setCheckState(3, 1, CheckUnchecked);
        QCOMPARE(model_->text(3, 1), QStringLiteral("0"));
        QCOMPARE(model_->cell(CellProperty::Value, 1, 1).toBool(), true);
        // Outside check-box columns a cell may carry a box of its own (the Form Panel's values).
        model_->setCheckState(1, 0, CheckChecked);
        QCOMPARE(model_->text(1, 0), QStringLiteral("r1c0"));
        QCOMPARE(model_->checkState(1, 0), int(CheckChecked));
        model_->setCheckState(1, 0, CheckNone);
        QVERIFY(!model_->index(0, 0).data(Qt::CheckStateRole).isValid());
    }

    void blockProperties() {
        makeTable(4, 4);
        model_->setCell(CellProperty::FontBold, 3, 2, 2, 1, true);  // corners either way round
        for (int r = 1; r <= 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                const bool inside = r >= 2 && r <= 3 && c >= 1 && c <= 2;
                QCOMPARE(model_->cell(CellProperty::FontBold, r, c).toBool(), inside);
            }
        }
        model_->setCell(CellProperty::ForeColor, 1, 0, 1, 3, 0xffff0000u);
        QCOMPARE(model_->index(0, 3).data(GridModel::ForeColorRole).toUInt(), 0xffff0000u);
        QVERIFY(!model_->index(1, 3).data(GridModel::ForeColorRole).isValid());
        model_->setCell(CellProperty::Alignment, 1, 0, 1, 0, int(AlignRightCenter));
        QCOMPARE(model_->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
        // General alignment puts numbers right and text left.
        model_->setText(2, 0, QStringLiteral("12.5"));
        QCOMPARE(model_->index(1, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(model_->index(2, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignLeft | Qt::AlignVCenter);
        // The title row takes pictures (the sort arrows).
        model_->setCell(CellProperty::Picture, 0, 2, 0, 2, int(PictureSortUp));
        QCOMPARE(model_->headerData(2, Qt::Horizontal, GridModel::PictureRole).toInt(),
                 int(PictureSortUp));
        model_->clearCells();
        QVERIFY(!model_->table().hasAnyStyle());
        QVERIFY(model_->text(1, 1).isEmpty());
        QCOMPARE(model_->rows(), 5);
    }

    void sortKeepsTitlesAndFollowsTheCurrentRecord() {
        makeTable(0, 2);
        model_->setText(0, 0, QStringLiteral("Amount"));
        model_->setRows(5);
        const QStringList amounts{"30", "4", "200", "15"};
        for (int i = 0; i < 4; ++i) {
            model_->setText(i + 1, 0, amounts[i]);
            model_->setText(i + 1, 1, QString::number(i));
        }
        QPersistentModelIndex current = model_->index(0, 1);  // record "30"
        model_->sortRecords(0, true);
        QCOMPARE(model_->text(0, 0), QStringLiteral("Amount"));
        QCOMPARE(model_->text(1, 0), QStringLiteral("4"));
        QCOMPARE(model_->text(4, 0), QStringLiteral("200"));
        QCOMPARE(current.row(), 2);
        QCOMPARE(current.data().toString(), QStringLiteral("0"));
        model_->sortRecords(0, false);
        QCOMPARE(model_->text(1, 0), QStringLiteral("200"));
    }

    void clipFillsOnlyTheBlock() {
        makeTable(4, 4);
        // A larger text fills only the block.
        model_->setClipText(1, 1, 2, 2, QStringLiteral("a\tb\tc\nd\te\tf\ng\th\ti"));
        QCOMPARE(model_->clipText(1, 1, 2, 2), QStringLiteral("a\tb\nd\te"));
        QCOMPARE(model_->text(1, 3), QStringLiteral("r1c3"));
        QCOMPARE(model_->text(3, 1), QStringLiteral("r3c1"));
        // A smaller one fills what it has and leaves the rest of the block alone.
        model_->setClipText(1, 0, 3, 3, QStringLiteral("x\ty"));
        QCOMPARE(model_->text(1, 0), QStringLiteral("x"));
        QCOMPARE(model_->text(1, 2), QStringLiteral("b"));
        QCOMPARE(model_->text(2, 0), QStringLiteral("r2c0"));
        // A block read out and written to another of the same size is reproduced.
        const QString clip = model_->clipText(1, 0, 2, 2);
        model_->setClipText(3, 1, 4, 3, clip);
        QCOMPARE(model_->clipText(3, 1, 4, 3), clip);
    }

    void columnAttributes() {
        makeTable(2, 3);
        QSignalSpy attrs(model_, &GridModel::columnAttributesChanged);
        model_->setColAlignment(-1, AlignCenterCenter);
        QCOMPARE(attrs.count(), 1);
        QCOMPARE(attrs[0][1].toInt(), 2);
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(model_->colAlignment(c), int(AlignCenterCenter));
        }
        model_->setColHidden(1, true);
        model_->setColWidth(2, 2000);
        model_->moveColumn(2, 0);
        QCOMPARE(model_->colWidth(0), 2000);
        QVERIFY(model_->colHidden(2));
        QCOMPARE(model_->text(1, 0), QStringLiteral("r1c2"));
    }

    void growthStopsAtTheTableLimits() {
        // Every way of adding columns stops at the limit the file forms share, and a refused
        // call changes nothing.
        delete tester_;  // it would look at every column on every change
        tester_ = nullptr;
        makeTable(2, 2);
        model_->setCols(kMaxColumns - 2);
        QSignalSpy inserted(model_, &QAbstractItemModel::columnsInserted);
        QVERIFY(model_->canAddColumns(2));
        QVERIFY(!model_->canAddColumns(3));
        QVERIFY(!model_->insertColumnsAt(0, 3));
        QVERIFY(!model_->setCols(kMaxColumns + 1));
        QCOMPARE(model_->cols(), kMaxColumns - 2);
        QCOMPARE(model_->text(0, 0), QStringLiteral("r0c0"));
        QCOMPARE(inserted.count(), 0);
        QVERIFY(model_->insertColumnsAt(1, 2));
        QCOMPARE(model_->cols(), kMaxColumns);
        QCOMPARE(model_->text(0, 3), QStringLiteral("r0c1"));
        QVERIFY(!model_->canAddColumns(1));
        QVERIFY(!model_->canAddRows(qint64{kMaxRows}));
        QVERIFY(!model_->setRows(kMaxRows + 1));
        QCOMPARE(model_->rows(), 3);
        QVERIFY(tooManyColumnsMessage().contains(QStringLiteral("65,536 columns")));
    }

    // Blocks of two and more rows moved down and up: the model tester checks every notification
    // and persistent indexes follow their rows.
    void blockMovesKeepPersistentIndexes_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("to");
        QTest::newRow("two rows down") << 2 << 2 << 5;
        QTest::newRow("three rows down by one") << 3 << 3 << 4;
        QTest::newRow("to the last rows") << 1 << 3 << 6;
        QTest::newRow("two rows up") << 5 << 2 << 1;
    }
    void blockMovesKeepPersistentIndexes() {
        QFETCH(int, from);
        QFETCH(int, count);
        QFETCH(int, to);
        makeTable(8, 2);
        // Persistent indexes on every record, by the record they show.
        std::vector<QPersistentModelIndex> held;
        for (int r = 1; r <= 8; ++r) {
            held.emplace_back(model_->indexAt(r, 1));
        }
        QSignalSpy moved(model_, &QAbstractItemModel::rowsMoved);
        model_->moveRowBlock(from, count, to);
        QCOMPARE(moved.count(), 1);
        for (int r = 1; r <= 8; ++r) {
            const QPersistentModelIndex& p = held[size_t(r - 1)];
            QVERIFY(p.isValid());
            QCOMPARE(p.data().toString(), QStringLiteral("r%1c1").arg(r));
        }
        for (int i = 0; i < count; ++i) {
            QCOMPARE(model_->text(to + i, 0), QStringLiteral("r%1c0").arg(from + i));
        }
    }

    // Scattered rows go at once, however they lie: what stays is every other record in its
    // order, the titles included.
    void removeRowSets_data() {
        QTest::addColumn<std::vector<int>>("gone");
        QTest::newRow("one run, repeats and strangers ignored")
            << std::vector<int>{7, 5, 6, 6, 500, -1};
        QTest::newRow("a few runs") << std::vector<int>{2, 10, 20};
        std::vector<int> every;
        for (int r = 1; r <= 100; r += 2) {
            every.push_back(r);
        }
        QTest::newRow("every other record") << every;
    }
    void removeRowSets() {
        QFETCH(std::vector<int>, gone);
        makeTable(100, 2);
        model_->removeRowSet(gone);
        QStringList expected;
        for (int r = 0; r <= 100; ++r) {
            if (std::find(gone.begin(), gone.end(), r) == gone.end()) {
                expected << QStringLiteral("r%1c0").arg(r);
            }
        }
        QStringList texts;
        for (int r = 0; r < model_->rows(); ++r) {
            texts << model_->text(r, 0);
        }
        QCOMPARE(texts, expected);
    }

    // The clip text of a list of rows, and emptying them; nothing between them is touched.
    void listedRows() {
        makeTable(6, 3);
        const std::vector<int> rows{2, 5};
        QCOMPARE(model_->clipTextOfRows(rows, 0, 1), QStringLiteral("r2c0\tr2c1\nr5c0\tr5c1"));
        model_->setText(5, 2, QString());
        QCOMPARE(model_->clipTextOfRows(rows, 2, 2), QStringLiteral("r2c2\n\"\""));
        QSignalSpy changed(model_, &QAbstractItemModel::dataChanged);
        model_->clearTextsOfRows(rows, 0, 2);
        QCOMPARE(changed.count(), 1);
        QVERIFY(model_->text(2, 1).isEmpty());
        QVERIFY(model_->text(5, 0).isEmpty());
        QCOMPARE(model_->text(3, 1), QStringLiteral("r3c1"));
        QCOMPARE(model_->text(4, 0), QStringLiteral("r4c0"));
    }

    void movingTextsLeavesStylesAndHeights() {
        makeTable(10, 3);
        model_->setCell(CellProperty::FontBold, 3, 0, 3, 2, true);
        model_->setRowHeight(3, 720);
        QSignalSpy changed(model_, &QAbstractItemModel::dataChanged);
        QSignalSpy moved(model_, &QAbstractItemModel::rowsMoved);
        // What Move Down of records 3 to 5 does: record 6 goes above them.
        model_->moveRowTexts(6, 1, 3);
        QCOMPARE(column(1).mid(1, 7),
                 (QStringList{"r1c1", "r2c1", "r6c1", "r3c1", "r4c1", "r5c1", "r7c1"}));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(moved.count(), 0);
        QVERIFY(model_->cell(CellProperty::FontBold, 3, 1).toBool());
        QVERIFY(!model_->cell(CellProperty::FontBold, 4, 1).toBool());
        QCOMPARE(model_->rowHeight(3), 720);
        QCOMPARE(model_->rowHeight(4), kDefaultRowHeight);
        // And back up: record 6 below them again.
        model_->moveRowTexts(3, 1, 6);
        QVERIFY(untouchedOutside(-1, -1, -1, -1));
    }

    void clipStaysInsideTheBlock_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("wider and taller") << QStringLiteral("a\tb\tc\td\ne\tf\tg\th\ni\tj\tk\tl");
        QTest::newRow("lone carriage returns") << QStringLiteral("a\rb\rc\rd\re");
        QTest::newRow("NULs") << QStringLiteral("aXb\tcX\ndX\tX").replace(u'X', QChar(0));
        QTest::newRow("an unclosed quote") << QStringLiteral("\"a\tb\nc\"d\t\"");
        QTest::newRow("only line breaks") << QStringLiteral("\n\n\n\n\n\n");
    }

    void clipStaysInsideTheBlock() {
        QFETCH(QString, text);
        makeTable(6, 5);
        QSignalSpy changed(model_, &QAbstractItemModel::dataChanged);
        model_->setClipText(2, 1, 3, 2, text);
        QVERIFY(untouchedOutside(2, 1, 3, 2));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model_->rows(), 7);
        QCOMPARE(model_->cols(), 5);
    }

    void clipTextKeepsWhatItCarries() {
        makeTable(3, 3);
        // A NUL is a character like any other; a lone carriage return ends a row.
        QString withNul = QStringLiteral("aXb");
        withNul[1] = QChar(0);
        model_->setClipText(1, 0, 2, 1, withNul + QStringLiteral("\tc\rd\te"));
        QCOMPARE(model_->text(1, 0), withNul);
        QCOMPARE(model_->text(1, 1), QStringLiteral("c"));
        QCOMPARE(model_->text(2, 0), QStringLiteral("d"));
        QCOMPARE(model_->clipText(1, 0, 1, 0), withNul);
        // A 2 x 3 block read out and written to another 2 x 3 block is reproduced.
        makeTable(6, 4);
        model_->setText(1, 1, QStringLiteral("tab\there"));
        model_->setText(2, 2, QStringLiteral("\"quoted\" line\nbreak"));
        const QString clip = model_->clipText(1, 0, 2, 2);
        QCOMPARE(clip.count(u'\n'), 2);  // one inside the quoted cell
        model_->setClipText(4, 1, 5, 3, clip);
        QCOMPARE(model_->clipText(4, 1, 5, 3), clip);
        QCOMPARE(model_->text(5, 3), QStringLiteral("\"quoted\" line\nbreak"));
    }

    void readingStopsAtTheBlock() {
        // A huge text costs only the rows the block takes.
        std::string huge;
        for (int i = 0; i < 100000; ++i) {
            huge += "cell\tcell\tcell\n";
        }
        int cells = 0;
        QCOMPARE(readClip(huge, 2, 2, [&](int, int, std::string_view) { ++cells; }), 2);
        QCOMPARE(cells, 4);
        qint64 lastDone = 0;
        QCOMPARE(readClip(
                     huge, 1 << 30, 1, [](int, int, std::string_view) {},
                     [&](qint64 done, qint64 total) {
                         QVERIFY(done > lastDone && done <= total);
                         lastDone = done;
                     }),
                 100000);
        QVERIFY(lastDone > 0);
        QCOMPARE(readClip("", 3, 3, [&](int, int, std::string_view) { ++cells; }), 1);
        QCOMPARE(readClip("x", 0, 3, [&](int, int, std::string_view) { ++cells; }), 0);
    }
};

QTEST_GUILESS_MAIN(TstGridModel)
#include "tst_gridmodel.moc"
