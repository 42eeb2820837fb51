// The record table's storage: cells, moves, removes, sorting and the clip text.
#include <QtTest>

#include <array>
#include <numeric>
#include <random>
#include <thread>

#include "core/table/ClipText.h"
#include "core/table/Table.h"

using namespace pellumar;

namespace {

// Fills every cell with "r<row>c<col>" so that tests can tell where each cell went.
void fillNamed(Table& t) {
    for (int r = 0; r < t.rowCount(); ++r) {
        for (int c = 0; c < t.columnCount(); ++c) {
            t.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
        }
    }
}

QStringList column(const Table& t, int col) {
    QStringList out;
    for (int r = 0; r < t.rowCount(); ++r) {
        out << t.text(r, col);
    }
    return out;
}

// Everything a table holds, as text: cells, styles, column attributes and row heights.
QStringList contents(const Table& t) {
    QStringList out;
    out << QStringLiteral("%1x%2").arg(t.rowCount()).arg(t.columnCount());
    for (int c = 0; c < t.columnCount(); ++c) {
        const ColumnAttributes& a = t.columnAttributes(c);
        out << QStringLiteral("col %1: %2 %3 %4 %5")
                   .arg(c)
                   .arg(a.width)
                   .arg(a.dataType)
                   .arg(a.format, a.hidden ? QStringLiteral("hidden") : QString());
        for (int r = 0; r < t.rowCount(); ++r) {
            const CellStyle st = t.style(r, c);
            out << t.text(r, c) + QStringLiteral(" %1%2").arg(st.bold).arg(st.backColor);
        }
    }
    for (int r = 0; r < t.rowCount(); ++r) {
        out << QString::number(t.rowHeight(r));
    }
    return out;
}

// A table of short texts (kept in the cell), long ones (kept in the column's arena), styles,
// attributes and heights.
Table variedTable(int rows, int cols) {
    Table t(rows, cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            t.setText(r, c,
                      (r + c) % 2 ? QStringLiteral("r%1c%2").arg(r).arg(c)
                                  : QStringLiteral("a longer text r%1c%2").arg(r).arg(c));
        }
    }
    CellStyle bold;
    bold.bold = true;
    bold.backColor = 0xff00ff00;
    t.setStyle(1, 1, bold);
    ColumnAttributes attrs;
    attrs.format = QStringLiteral("#,###.00");
    attrs.dataType = DataTypeMoney;
    t.setColumnAttributes(0, attrs);
    t.setRowHeight(2, 480);
    return t;
}

}  // namespace

class TstTable : public QObject {
    Q_OBJECT

private slots:
    void textsOfEveryLength() {
        Table t(3, 2);
        const QString longText = QString(100000, u'x') + QStringLiteral("end");
        const QStringList texts{QString(),
                                QStringLiteral("a"),
                                QStringLiteral("1234567"),   // fits the cell itself
                                QStringLiteral("12345678"),  // the first that does not
                                QStringLiteral("Zürich – Ελλάδα – 東京"),
                                longText};
        for (const QString& s : texts) {
            t.setText(1, 1, s);
            QCOMPARE(t.text(1, 1), s);
            QCOMPARE(t.isEmpty(1, 1), s.isEmpty());
        }
        // Shorter over longer reuses the place, longer over shorter moves it; neighbours stay.
        t.setText(0, 1, QStringLiteral("neighbour text"));
        t.setText(1, 1, QStringLiteral("a long text of some length"));
        t.setText(1, 1, QStringLiteral("shorter text"));
        QCOMPARE(t.text(1, 1), QStringLiteral("shorter text"));
        QCOMPARE(t.text(0, 1), QStringLiteral("neighbour text"));
        QCOMPARE(t.text(5, 5), QString());  // outside the table
        t.setText(5, 5, QStringLiteral("ignored"));
        QCOMPARE(t.rowCount(), 3);
    }

    void manyRewritesKeepEveryCell() {
        // Enough rewrites of long texts to make the column reclaim its unused text space.
        Table t(200, 2);
        for (int round = 0; round < 60; ++round) {
            for (int r = 0; r < t.rowCount(); ++r) {
                t.setText(r, 0, QStringLiteral("round %1 row %2 ").arg(round).arg(r).repeated(40));
            }
        }
        for (int r = 0; r < t.rowCount(); ++r) {
            QCOMPARE(t.text(r, 0), QStringLiteral("round 59 row %1 ").arg(r).repeated(40));
        }
    }

    void cellsAcrossStorageBoundaries() {
        // Rows around the places where the storage of a column grows or starts a new block.
        const QList<int> rows{0, 15, 16, 17, 8191, 8192, 8193, 16383, 16384, 19999};
        Table t(20000, 3);
        for (int r : rows) {
            t.setText(r, 1, QStringLiteral("cell %1").arg(r));
            t.setText(r, 2, QString::number(r));
        }
        for (int r = 0; r < t.rowCount(); ++r) {
            const bool set = rows.contains(r);
            QCOMPARE(t.text(r, 1), set ? QStringLiteral("cell %1").arg(r) : QString());
            QVERIFY(t.isEmpty(r, 0));
        }
        // Emptying a cell in a block that was never written keeps it empty.
        t.setText(12000, 0, QString());
        QVERIFY(t.isEmpty(12000, 0));
        // Removed rows come back empty, wherever their storage was.
        t.removeRows(8190, 5);
        t.insertRows(0, 5);
        for (int r = 0; r < 5; ++r) {
            QVERIFY(t.isEmpty(r, 1));
        }
        QCOMPARE(t.text(5 + 16384 - 5, 1), QStringLiteral("cell 16384"));
        t.sortRows(0, t.rowCount() - 1, 2, false);
        QCOMPARE(t.text(0, 1), QStringLiteral("cell 19999"));
        QCOMPARE(t.text(6, 1), QStringLiteral("cell 0"));  // 8191, 8192 and 8193 were removed
        QVERIFY(t.isEmpty(7, 1));
        // A very wide table of one row.
        Table wide(1, kMaxColumns);
        wide.setText(0, kMaxColumns - 1, QStringLiteral("last"));
        QCOMPARE(wide.text(0, kMaxColumns - 1), QStringLiteral("last"));
        QVERIFY(wide.isEmpty(0, 35000));
    }

    void growingAndShrinking() {
        Table t(3, 3);
        fillNamed(t);
        t.setRowCount(5);
        t.setColumnCount(4);
        QCOMPARE(t.text(2, 2), QStringLiteral("r2c2"));
        QVERIFY(t.isEmpty(4, 3));
        QVERIFY(t.isEmpty(0, 3));
        t.setRowCount(2);
        t.setColumnCount(1);
        QCOMPARE(t.rowCount(), 2);
        QCOMPARE(t.columnCount(), 1);
        QCOMPARE(t.text(1, 0), QStringLiteral("r1c0"));
        // Dropped cells do not come back when the table grows again.
        t.setRowCount(3);
        t.setColumnCount(3);
        QVERIFY(t.isEmpty(2, 0));
        QVERIFY(t.isEmpty(1, 1));
        t.setRowCount(0);
        t.setRowCount(2);
        QVERIFY(t.isEmpty(0, 0));
    }

    void removedRowsLeaveNothingBehind() {
        Table t(4, 2);
        fillNamed(t);
        CellStyle bold;
        bold.bold = true;
        t.setStyle(2, 1, bold);
        t.setRowHeight(2, 480);
        t.removeRows(2, 1);
        QCOMPARE(column(t, 0), (QStringList{"r0c0", "r1c0", "r3c0"}));
        QVERIFY(!t.hasAnyStyle());
        QCOMPARE(t.rowHeight(2), kDefaultRowHeight);
        // The storage of the removed row is reused, empty and unstyled.
        t.insertRows(1, 1);
        QVERIFY(t.isEmpty(1, 0));
        QVERIFY(t.isEmpty(1, 1));
        QVERIFY(!t.hasStyle(1, 1));
        QCOMPARE(t.rowHeight(1), kDefaultRowHeight);
        QCOMPARE(column(t, 1), (QStringList{"r0c1", "", "r1c1", "r3c1"}));
    }

    void movesKeepTheRightCells() {
        Table t(6, 3);
        fillNamed(t);
        CellStyle italic;
        italic.italic = true;
        t.setStyle(4, 2, italic);
        t.setRowHeight(4, 720);

        t.moveRows(3, 2, 1);  // rows 3 and 4 up before row 1
        QCOMPARE(column(t, 0), (QStringList{"r0c0", "r3c0", "r4c0", "r1c0", "r2c0", "r5c0"}));
        QVERIFY(t.style(2, 2).italic);
        QCOMPARE(t.rowHeight(2), 720);

        t.moveRows(1, 2, 3);  // and back down
        QCOMPARE(column(t, 0), (QStringList{"r0c0", "r1c0", "r2c0", "r3c0", "r4c0", "r5c0"}));
        QVERIFY(t.style(4, 2).italic);

        ColumnAttributes money;
        money.dataType = DataTypeMoney;
        money.format = QStringLiteral("$#,###.00");
        t.setColumnAttributes(2, money);
        t.moveColumns(2, 1, 0);
        QCOMPARE(t.text(1, 0), QStringLiteral("r1c2"));
        QCOMPARE(t.text(1, 1), QStringLiteral("r1c0"));
        QCOMPARE(t.columnAttributes(0).format, QStringLiteral("$#,###.00"));
        QVERIFY(t.style(4, 0).italic);

        t.insertColumns(1, 1);
        QVERIFY(t.isEmpty(1, 1));
        QCOMPARE(t.text(1, 2), QStringLiteral("r1c0"));
        t.removeColumns(0, 1);
        QCOMPARE(t.columnAttributes(0).dataType, int(DataTypeNone));
        QCOMPARE(t.text(1, 1), QStringLiteral("r1c0"));

        // Moves outside the table change nothing.
        t.moveRows(5, 2, 0);
        t.moveColumns(-1, 1, 0);
        QCOMPARE(t.text(1, 1), QStringLiteral("r1c0"));
    }

    // A column's texts read a batch of rows at a time follow the rows' order after moves, with
    // empty texts past the table.
    void columnTextsInRowOrder() {
        Table t(6, 2);
        fillNamed(t);
        t.setText(2, 1, QStringLiteral("a text longer than a cell holds"));
        t.moveRows(4, 1, 1);
        std::array<std::string_view, 5> out;
        t.columnUtf8(1, 3, out);
        QVERIFY(out[0] == "a text longer than a cell holds");
        QVERIFY(out[1] == "r3c1");
        QVERIFY(out[2] == "r5c1");
        QVERIFY(out[3].empty() && out[4].empty());
        t.columnUtf8(1, 0, {out.data(), 2});
        QVERIFY(out[1] == "r4c1");
        t.columnUtf8(2, 0, out);
        QVERIFY(out[0].empty());
    }

    void stylesOverBlocks() {
        Table t(2001, 3);
        CellStyle red;
        red.foreColor = 0xffff0000;
        t.setStyle(5, 1, red);
        // One property over a block: each cell keeps the rest of its style.
        t.changeStyles(2000, 2, 1, 0, [](CellStyle& s) { s.bold = true; });
        QVERIFY(t.style(5, 1).bold);
        QCOMPARE(t.style(5, 1).foreColor, 0xffff0000u);
        QVERIFY(t.style(1, 0).bold && t.style(2000, 2).bold);
        QVERIFY(!t.hasStyle(0, 0));
        // Taken off again, the cells have no style of their own.
        t.changeStyles(1, 0, 2000, 2, [](CellStyle& s) { s.bold = false; });
        QVERIFY(!t.hasStyle(1, 0));
        QVERIFY(!t.style(5, 1).bold);
        t.setStyle(5, 1, CellStyle{});
        QVERIFY(!t.hasAnyStyle());
        // One style for a block, corners in any order, clipped to the table.
        t.setStyles(3, 2, 1, 1, red);
        for (int r = 0; r <= 4; ++r) {
            for (int c = 0; c < 3; ++c) {
                QCOMPARE(t.hasStyle(r, c), r >= 1 && r <= 3 && c >= 1);
            }
        }
        t.setStyles(1999, 2, 5000, 9, red);
        QVERIFY(t.hasStyle(2000, 2));
        t.clearCells();
        QVERIFY(!t.hasAnyStyle());
        QCOMPARE(t.style(2, 2), CellStyle{});
    }

    void stylesStayOrTravelWithTheirRows() {
        Table t(6, 2);
        fillNamed(t);
        CellStyle bold;
        bold.bold = true;
        t.setStyle(1, 0, bold);
        t.setRowHeight(1, 480);
        // Moving texts leaves styles and heights where they are.
        t.moveRowTexts(1, 2, 3);
        QCOMPARE(t.text(3, 0), QStringLiteral("r1c0"));
        QVERIFY(t.style(1, 0).bold);
        QVERIFY(!t.hasStyle(3, 0));
        QCOMPARE(t.rowHeight(1), 480);
        QCOMPARE(t.rowHeight(3), kDefaultRowHeight);
        t.moveRowTexts(3, 2, 1);
        QCOMPARE(t.text(1, 0), QStringLiteral("r1c0"));
        QVERIFY(t.style(1, 0).bold);
        // A sort carries them with their records.
        Table s = Table(4, 1);
        s.setText(1, 0, QStringLiteral("c"));
        s.setText(2, 0, QStringLiteral("a"));
        s.setText(3, 0, QStringLiteral("b"));
        s.setStyle(1, 0, bold);
        s.setRowHeight(1, 720);
        s.sortRows(1, 3, 0, true);
        QCOMPARE(s.text(3, 0), QStringLiteral("c"));
        QVERIFY(s.style(3, 0).bold);
        QCOMPARE(s.rowHeight(3), 720);
        QVERIFY(!s.hasStyle(1, 0));
    }

    void styleRunsAndManyDistinctStyles() {
        Table t(10, 2);
        CellStyle bold;
        bold.bold = true;
        CellStyle italic;
        italic.italic = true;
        t.setStyles(2, 0, 4, 0, bold);
        t.setStyle(5, 0, italic);
        t.setStyle(6, 0, bold);
        t.setStyles(0, 1, 9, 1, bold);
        QStringList runs;
        t.forEachStyleRun([&](int col, int first, int count, const CellStyle& style) {
            runs << QStringLiteral("%1:%2+%3%4")
                        .arg(col)
                        .arg(first)
                        .arg(count)
                        .arg(QChar(style.bold ? u'b' : u'i'));
        });
        QCOMPARE(runs, (QStringList{"0:2+3b", "0:5+1i", "0:6+1b", "1:0+10b"}));

        // More distinct styles than two bytes can number: each cell keeps its own.
        constexpr int kStyles = 70000;
        Table many(kStyles, 1);
        for (int r = 0; r < kStyles; ++r) {
            CellStyle s;
            s.foreColor = 0xff000000u | static_cast<uint32_t>(r);
            many.setStyle(r, 0, s);
        }
        for (int r : {0, 1, 65534, 65535, 65536, kStyles - 1}) {
            QCOMPARE(many.style(r, 0).foreColor, 0xff000000u | static_cast<uint32_t>(r));
        }
        many.changeStyles(0, 0, kStyles - 1, 0, [](CellStyle& s) { s.underline = true; });
        QVERIFY(many.style(65536, 0).underline);
        QCOMPARE(many.style(65536, 0).foreColor, 0xff010000u);
    }

    void styleAndHeightStoresCopy() {
        // What a table keeps per row copies whole and apart from the original.
        StyleIndexes indexes;
        indexes.set(5, 3);
        indexes.set(2000, 70000);
        StyleIndexes copy(indexes);
        indexes.set(5, 0);
        QCOMPARE(copy.get(5), 3u);
        QCOMPARE(copy.get(2000), 70000u);
        QCOMPARE(copy.count(), size_t{2});
        QCOMPARE(indexes.count(), size_t{1});
        RowValues<int32_t> heights;
        heights.set(7, 240);
        RowValues<int32_t> other;
        other = heights;
        heights.clear();
        QCOMPARE(other.get(7), 240);
        QVERIFY(heights.empty());
    }

    void sortOrder_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("numbers, not as text")
            << QStringList{"10", "9", "", "-2.5", "100", "1e3"} << true
            << QStringList{"-2.5", "9", "10", "100", "1e3", ""};
        QTest::newRow("numbers descending, empty still last")
            << QStringList{"", "10", "9", "100"} << false << QStringList{"100", "10", "9", ""};
        QTest::newRow("dates in time order")
            << QStringList{"03/14/2024", "2023-12-31", "1/2/24", "", "14-Mar-1999"} << true
            << QStringList{"14-Mar-1999", "2023-12-31", "1/2/24", "03/14/2024", ""};
        QTest::newRow("text without regard to case")
            << QStringList{"banana", "Apple", "cherry", "apple2", "Éclair", "éa"} << true
            << QStringList{"Apple", "apple2", "banana", "cherry", "éa", "Éclair"};
        QTest::newRow("one word among numbers makes it text")
            << QStringList{"10", "9", "x", "100"} << true << QStringList{"10", "100", "9", "x"};
    }

    void sortOrder() {
        QFETCH(QStringList, cells);
        QFETCH(bool, ascending);
        QFETCH(QStringList, expected);
        Table t(static_cast<int>(cells.size()) + 1, 1);
        t.setText(0, 0, QStringLiteral("Title"));
        for (int i = 0; i < cells.size(); ++i) {
            t.setText(i + 1, 0, cells[i]);
        }
        t.sortRows(1, t.rowCount() - 1, 0, ascending);
        QCOMPARE(t.text(0, 0), QStringLiteral("Title"));
        QCOMPARE(column(t, 0).mid(1), expected);
    }

    // Tied keys keep their order in either direction, and empty cells go last in their own
    // order, for texts (without regard to case, Z included), numbers and dates.
    void sortTiesAndEmpties_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QList<int>>("expected");  // the rows' first places, in sorted order
        const QStringList texts{"b", "", "Zulu", "apple", "B", "", "zulu", "Apple", "b"};
        QTest::newRow("text ascending") << texts << true << QList<int>{3, 7, 0, 4, 8, 2, 6, 1, 5};
        QTest::newRow("text descending") << texts << false << QList<int>{2, 6, 0, 4, 8, 3, 7, 1, 5};
        const QStringList numbers{"2", "", "10", "2.0", "-1", "", "10", "2"};
        QTest::newRow("numbers ascending") << numbers << true << QList<int>{4, 0, 3, 7, 2, 6, 1, 5};
        QTest::newRow("numbers descending")
            << numbers << false << QList<int>{2, 6, 0, 3, 7, 4, 1, 5};
        const QStringList dates{"03/14/2024",  "", "2023-12-31", "3/14/24",
                                "14-Mar-1999", "", "2024-03-14"};
        QTest::newRow("dates ascending") << dates << true << QList<int>{4, 2, 0, 3, 6, 1, 5};
        QTest::newRow("dates descending") << dates << false << QList<int>{0, 3, 6, 2, 4, 1, 5};
    }
    void sortTiesAndEmpties() {
        QFETCH(QStringList, cells);
        QFETCH(bool, ascending);
        QFETCH(QList<int>, expected);
        Table t(static_cast<int>(cells.size()) + 1, 2);
        for (int i = 0; i < cells.size(); ++i) {
            t.setText(i + 1, 0, cells[i]);
            t.setText(i + 1, 1, QString::number(i));
        }
        t.sortRows(1, t.rowCount() - 1, 0, ascending);
        QList<int> order;
        for (int r = 1; r < t.rowCount(); ++r) {
            order.push_back(t.text(r, 1).toInt());
        }
        QCOMPARE(order, expected);
    }

    void sortIsStable() {
        Table t(7, 2);
        const QStringList keys{"b", "A", "a", "B", "a", "b", "A"};
        for (int r = 0; r < 7; ++r) {
            t.setText(r, 0, keys[r]);
            t.setText(r, 1, QString::number(r));
        }
        t.sortRows(0, 6, 0, true);
        QCOMPARE(column(t, 1), (QStringList{"1", "2", "4", "6", "0", "3", "5"}));
        t.sortRows(0, 6, 0, false);  // equal keys keep their order in either direction
        QCOMPARE(column(t, 1), (QStringList{"0", "3", "5", "1", "2", "4", "6"}));
    }

    // Texts that agree on their first 8 or 16 bytes, differ only in case or length, hold a zero
    // byte or letters beyond ASCII: the order is the texts' own, whatever the first bytes say.
    void sortOfLongAndAlikeTexts() {
        std::mt19937 rng(11);
        const QStringList stems{"",
                                "Pellumar ",
                                "pellumar records",
                                "PELLUMAR RECORDS!",
                                "Straße ",
                                QStringLiteral("x\u0000y")};
        const int n = 3000;
        Table t(n, 2);
        for (int r = 0; r < n; ++r) {
            QString text = stems[static_cast<qsizetype>(rng() % stems.size())];
            const int tail = static_cast<int>(rng() % 4);
            for (int i = 0; i < tail; ++i) {
                text += QChar(u"aAbB \u00e9\u00c9"[rng() % 7]);
            }
            t.setText(r, 0, text.isEmpty() ? QStringLiteral("z") : text);
            t.setText(r, 1, QString::number(r));
        }
        // The reference: folded keys compared byte by byte, equal keys in their first order.
        const auto keyOf = [](const QString& text) { return text.toCaseFolded().toUtf8(); };
        for (bool ascending : {true, false}) {
            std::vector<int> expected(n);
            std::iota(expected.begin(), expected.end(), 0);
            std::vector<QByteArray> keys;
            for (int r = 0; r < n; ++r) {
                keys.push_back(keyOf(t.text(r, 0)));
            }
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
            });
            QStringList before = column(t, 0);
            t.sortRows(0, n - 1, 0, ascending);
            QStringList sorted;
            for (int r : expected) {
                sorted.push_back(before[r]);
            }
            QCOMPARE(column(t, 0), sorted);
        }
    }

    void snapshotStaysAsTaken_data();
    void snapshotStaysAsTaken();
    void snapshotReadOnAnotherThread();

    void clipRoundTrips_data() {
        QTest::addColumn<QList<QStringList>>("block");
        QTest::newRow("plain") << QList<QStringList>{{"a", "b", "c"}, {"d", "e", "f"}};
        QTest::newRow("tabs, line breaks, quotes") << QList<QStringList>{
            {"a\tb", "line1\nline2", "\"quoted\""}, {"say \"hi\"", "cr\r\nlf", "\""}};
        QTest::newRow("empty cells and rows")
            << QList<QStringList>{{"", "", ""}, {"x", "", ""}, {"", "", ""}};
        QTest::newRow("one column ending empty") << QList<QStringList>{{"a"}, {""}, {""}};
        QTest::newRow("one column, trailing line break in the last cell")
            << QList<QStringList>{{"a"}, {"b\n"}};
        QTest::newRow("single empty cell") << QList<QStringList>{{""}};
    }

    void clipRoundTrips() {
        QFETCH(QList<QStringList>, block);
        const int rows = static_cast<int>(block.size());
        const int cols = static_cast<int>(block[0].size());
        Table source(rows + 2, cols + 2);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols; ++c) {
                source.setText(r + 1, c + 1, block[r][c]);
            }
        }
        const QString clip = joinClip(source, rows, cols, 1, 1);  // corners either way round
        const ClipRows back = splitClip(clip);
        QCOMPARE(static_cast<int>(back.size()), rows);
        for (int r = 0; r < rows; ++r) {
            QCOMPARE(back[static_cast<size_t>(r)], block[r]);
        }
    }

    void clipTextForm() {
        Table t(2, 3);
        fillNamed(t);
        QCOMPARE(joinClip(t, 0, 0, 1, 2), QStringLiteral("r0c0\tr0c1\tr0c2\nr1c0\tr1c1\tr1c2"));
        // Text from spreadsheets ends its last row with a line break, in any convention.
        QCOMPARE(splitClip(u"a\tb\r\nc\td\r\n").size(), size_t(2));
        QCOMPARE(splitClip(u"a\rb").size(), size_t(2));
        QCOMPARE(splitClip(u"").size(), size_t(1));
        // A lone quote that never closes is just text.
        QCOMPARE(splitClip(u"\"abc\tdef")[0], (QStringList{"\"abc", "def"}));
        QCOMPARE(splitClip(u"\"ab\"c\td")[0], (QStringList{"\"ab\"c", "d"}));
    }

    void loadsStayWithinTheirStorageLimit() {
        // A row whose cells would take the storage past the limit is refused; rows that fit are
        // stored, and empty texts take nothing.
        Table t;
        t.setStorageLimit(1 << 20);
        const std::vector<std::string_view> row(1000, std::string_view("x"));
        QCOMPARE(t.appendRow(row), Table::AppendResult::Stored);  // 1,000 small first blocks
        const std::vector<std::string_view> empties(1000, std::string_view());
        const size_t before = t.storageBytes();
        for (int r = 0; r < 9000; ++r) {
            QCOMPARE(t.appendRow(empties), Table::AppendResult::Stored);
        }
        QCOMPARE(t.columnCount(), 1000);
        QVERIFY(t.storageBytes() - before <= 9000 * 4);
        // 9,000 rows further down, every column needs a fresh 64 KB block: 64 MB.
        QCOMPARE(t.appendRow(row), Table::AppendResult::OverLimit);
        QVERIFY(t.storageBytes() <= (size_t{1} << 20) + 65536);  // and the blocks' own list
        QCOMPARE(t.text(0, 999), QStringLiteral("x"));
        t.clearStorageLimit();
        t.setText(5, 5, QStringLiteral("free again"));
        QCOMPARE(t.text(5, 5), QStringLiteral("free again"));

        // The limits of a table hold for loads too.
        Table wide;
        QCOMPARE(wide.appendRow(std::vector<std::string_view>(kMaxColumns + 1, "y")),
                 Table::AppendResult::TooWide);
        QCOMPARE(wide.columnCount(), 0);
        wide.insertColumns(0, kMaxColumns + 1);
        QCOMPARE(wide.columnCount(), 0);
    }
};

// A snapshot stays as it was taken whatever happens to the table afterwards, and the table goes
// on as if no snapshot had been taken.
void TstTable::snapshotStaysAsTaken_data() {
    QTest::addColumn<int>("change");
    for (int i = 0; i < 15; ++i) {
        QTest::addRow("change %d", i) << i;
    }
}

void TstTable::snapshotStaysAsTaken() {
    QFETCH(int, change);
    Table t = variedTable(40, 4);
    const QStringList before = contents(t);
    const Table frozen = t.snapshot();
    QCOMPARE(contents(frozen), before);

    CellStyle italic;
    italic.italic = true;
    ColumnAttributes attrs;
    attrs.hidden = true;
    const std::string_view row[] = {"x", "a text longer than a cell", "y"};
    switch (change) {
        case 0:
            t.setText(3, 1, QStringLiteral("changed"));
            break;
        case 1:
            t.setText(4, 0, QStringLiteral("a changed text longer than a cell"));
            break;
        case 2:
            t.appendRow(row);
            break;
        case 3:
            t.setStyle(1, 1, italic);
            break;
        case 4:
            t.setColumnAttributes(0, attrs);
            break;
        case 5:
            t.removeRows(2, 5);
            break;
        case 6:
            t.insertRows(0, 3);
            t.setText(0, 0, QStringLiteral("new"));
            break;
        case 7:
            t.clearCells();
            break;
        case 8:
            t.moveRowTexts(1, 2, 10);
            break;
        case 9:
            t.sortRows(1, 39, 2, false);
            break;
        case 10:
            t.setRowHeight(2, 720);
            break;
        case 11:
            t.removeColumns(0, 2);
            t.setText(0, 0, QStringLiteral("z"));
            break;
        case 12:
            t.setRowCount(0);
            t.setRowCount(3);
            t.setText(1, 1, QStringLiteral("w"));
            break;
        case 13: {
            const int del[] = {1, 5, 9};
            t.removeRowSet(del);
            break;
        }
        case 14:
            t.squeeze();
            break;
    }
    QCOMPARE(contents(frozen), before);
    if (change != 14) {
        QVERIFY(contents(t) != before);
    }
    // Changing the snapshot leaves the table alone as well.
    const QStringList now = contents(t);
    Table copy = t.snapshot();
    copy.setText(1, 0, QStringLiteral("only in the copy"));
    QCOMPARE(contents(t), now);
}

void TstTable::snapshotReadOnAnotherThread() {
    // The table keeps changing while another thread reads its snapshot: the reader sees the
    // table as it was when the snapshot was taken.
    Table t = variedTable(20000, 3);
    const QStringList before = contents(t);
    Table frozen = t.snapshot();
    QStringList seen;
    std::thread reader([&] { seen = contents(frozen); });
    for (int r = 0; r < t.rowCount(); r += 7) {
        t.setText(r, r % 3, QStringLiteral("changed while read, with a long text"));
    }
    t.removeRows(100, 5000);
    reader.join();
    QCOMPARE(seen, before);
}

QTEST_GUILESS_MAIN(TstTable)
#include "tst_table.moc"
