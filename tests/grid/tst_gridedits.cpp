// The grid model's operations behind the editing commands: each changes exactly the cells it
// names and tells the views once, and the clip text survives hostile input.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include "grid/ClipText.h"
#include "grid/GridModel.h"

using namespace pellumar;
using CellProperty = GridModel::CellProperty;

class TstGridEdits : public QObject {
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

    void scatteredRowsGoInOneBatch() {
        makeTable(10, 2);
        QSignalSpy removed(model_, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(model_, &QAbstractItemModel::modelReset);
        model_->removeRowSet({7, 2, 5, 5, 40});  // any order; repeats and strays ignored
        QCOMPARE(model_->rows(), 8);
        QCOMPARE(column(0),
                 (QStringList{"r0c0", "r1c0", "r3c0", "r4c0", "r6c0", "r8c0", "r9c0", "r10c0"}));
        QCOMPARE(removed.count(), 3);  // a few runs: one removal each, the views keep their place

        // Many scattered rows: one reset, whatever their number.
        makeTable(200, 2);
        removed.clear();
        std::vector<int> odd;
        for (int r = 1; r <= 200; r += 2) {
            odd.push_back(r);
        }
        model_->removeRowSet(odd);
        QCOMPARE(model_->rows(), 101);
        QCOMPARE(removed.count(), 0);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model_->text(1, 1), QStringLiteral("r2c1"));
        QCOMPARE(model_->text(100, 1), QStringLiteral("r200c1"));
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

    void listsOfRows() {
        makeTable(8, 3);
        const std::vector<int> rows{2, 5, 7};
        QCOMPARE(model_->clipTextOfRows(rows, 0, 2),
                 QStringLiteral("r2c0\tr2c1\tr2c2\nr5c0\tr5c1\tr5c2\nr7c0\tr7c1\tr7c2"));
        QSignalSpy changed(model_, &QAbstractItemModel::dataChanged);
        model_->clearTextsOfRows(rows, 0, 2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(column(1),
                 (QStringList{"r0c1", "r1c1", "", "r3c1", "r4c1", "", "r6c1", "", "r8c1"}));
        // One column whose last listed cell is empty still reads back as three rows.
        const QString clip = model_->clipTextOfRows(rows, 1, 1);
        QCOMPARE(splitClip(clip).size(), size_t(3));
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

QTEST_GUILESS_MAIN(TstGridEdits)
#include "tst_gridedits.moc"
