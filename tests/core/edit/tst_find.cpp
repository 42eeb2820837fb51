// Find over a table: the order of the search, what a cell matches, the count of a pass and the
// two end-of-pass messages, and how the position and the count live on between steps, text
// changes and openings of the Find window.
#include <QtTest>

#include "core/edit/Find.h"
#include "core/table/Table.h"

using namespace pellumar;
using Outcome = FindStep::Outcome;

namespace {

// A table with a title row, `records` records and `cols` columns, and the given texts.
Table makeTable(int records, int cols,
                std::initializer_list<std::tuple<int, int, const char*>> cells) {
    Table t(records + 1, cols);
    for (int c = 0; c < cols; ++c) {
        t.setText(0, c, QStringLiteral("apple title"));  // titles are never searched
    }
    for (const auto& [r, c, text] : cells) {
        t.setText(r, c, QString::fromUtf8(text));
    }
    return t;
}

// The steps' outcomes as text: "2,0" for a hit, the message otherwise.
QStringList run(SearchState& s, const Table& t, const FindOptions& o, int steps, int row = 1,
                int col = 0) {
    QStringList out;
    for (int i = 0; i < steps; ++i) {
        const FindStep step = s.findNext(t, o, row, col);
        if (step.outcome == Outcome::Hit) {
            out << QStringLiteral("%1,%2").arg(step.row).arg(step.col);
            row = step.row;  // a hit becomes the grid's current cell
            col = step.col;
        } else {
            out << findEndMessage(step);
        }
    }
    return out;
}

const QString kSearched2 = QStringLiteral("The document has been searched.\r\n2 found.");
const QString kNotFound = QStringLiteral("Search text is not found.");

}  // namespace

class TstFind : public QObject {
    Q_OBJECT

private slots:
    void matcher_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("hit");
        QTest::newRow("inside") << "pl" << false << "Apple pie" << true;
        QTest::newRow("case folded") << "APPLE" << false << "apple" << true;
        QTest::newRow("case kept") << "Apple" << true << "apple pie" << false;
        QTest::newRow("case kept, hit") << "pie" << true << "Apple pie" << true;
        QTest::newRow("longer than cell") << "apples" << false << "apple" << false;
        QTest::newRow("at the end") << "IE" << false << "Apple pie" << true;
        QTest::newRow("empty text, full cell") << "" << false << "x" << true;
        QTest::newRow("empty text, empty cell") << "" << false << "" << false;
        QTest::newRow("empty cell") << "a" << false << "" << false;
        QTest::newRow("accents folded")
            << QString::fromUtf8("école") << false << QString::fromUtf8("L'ÉCOLE") << true;
        QTest::newRow("accents kept")
            << QString::fromUtf8("école") << true << QString::fromUtf8("L'ÉCOLE") << false;
        QTest::newRow("ASCII text, accented cell")
            << "ecole" << false << QString::fromUtf8("école") << false;
        QTest::newRow("accented text, ASCII cell")
            << QString::fromUtf8("é") << false << "e" << false;
        QTest::newRow("beyond ASCII, case kept")
            << QString::fromUtf8("日本") << true << QString::fromUtf8("にっぽん日本語") << true;
    }
    void matcher() {
        QFETCH(QString, text);
        QFETCH(bool, matchCase);
        QFETCH(QString, cell);
        QFETCH(bool, hit);
        const QByteArray utf8 = cell.toUtf8();
        QCOMPARE(CellMatcher(text, matchCase).matches({utf8.constData(), size_t(utf8.size())}),
                 hit);
    }

    // apple at (2, 0) and Apple pie at (5, 1): the pass, its count, and the next pass.
    void applePass() {
        const Table t = makeTable(6, 3, {{2, 0, "apple"}, {5, 1, "Apple pie"}});
        SearchState s;
        QCOMPARE(run(s, t, {QStringLiteral("apple"), false, true}, 4),
                 QStringList({"2,0", "5,1", kSearched2, "2,0"}));
        SearchState exact;
        QCOMPARE(run(exact, t, {QStringLiteral("apple"), true, true}, 3),
                 QStringList({"2,0", QStringLiteral("The document has been searched.\r\n1 found."),
                              "2,0"}));
    }

    // Column by column, top to bottom in each; an empty text stops at each non-empty cell.
    void columnOrderAndEmptyText() {
        const Table t = makeTable(5, 3, {{4, 0, "z"}, {2, 1, "y"}, {5, 1, "x"}, {1, 2, "w"}});
        SearchState s;
        QCOMPARE(run(s, t, {QString(), false, true}, 5),
                 QStringList({"4,0", "2,1", "5,1", "1,2",
                              QStringLiteral("The document has been searched.\r\n4 found.")}));
    }

    void textChangeRestartsPositionNotCount() {
        const Table t = makeTable(6, 3, {{2, 0, "apple"}, {5, 1, "Apple pie"}});
        SearchState s;
        const FindOptions o{QStringLiteral("apple"), false, true};
        QCOMPARE(run(s, t, o, 2), QStringList({"2,0", "5,1"}));
        s.textChanged();
        QVERIFY(!s.hasHit());
        QCOMPARE(s.FoundCount(), int64_t(2));
        QCOMPARE(run(s, t, o, 3, 5, 1),
                 QStringList({"2,0", "5,1",
                              QStringLiteral("The document has been searched.\r\n4 found.")}));
        QCOMPARE(s.FoundCount(), int64_t(0));
    }

    // A new opening starts the position again but keeps the count and LastFound.
    void countCarriedOverOpenings() {
        const Table t = makeTable(6, 3, {{2, 0, "apple"}, {5, 1, "Apple pie"}});
        SearchState s;
        const FindOptions o{QStringLiteral("apple"), false, true};
        QCOMPARE(run(s, t, o, 2), QStringList({"2,0", "5,1"}));
        s.restart();
        QCOMPARE(s.SearchCol(), 0);
        QCOMPARE(s.SearchRow(), 1);
        QVERIFY(s.LastFound());
        QCOMPARE(run(s, t, o, 3, 5, 1),
                 QStringList({"2,0", "5,1",
                              QStringLiteral("The document has been searched.\r\n4 found.")}));
    }

    // Not from the beginning: from the grid's current cell on, and the press after the end of
    // the pass finds nothing, the count having been reset.
    void fromCurrentCell() {
        const Table t = makeTable(6, 3, {{2, 0, "apple"}, {3, 1, "apple"}, {5, 1, "Apple pie"}});
        SearchState s;
        const FindOptions o{QStringLiteral("apple"), false, false};
        QCOMPARE(run(s, t, o, 4, 4, 1),
                 QStringList({"5,1", QStringLiteral("The document has been searched.\r\n1 found."),
                              kNotFound, kNotFound}));
        // The current cell itself is examined first.
        SearchState t2;
        QCOMPARE(run(t2, t, o, 1, 3, 1), QStringList({"3,1"}));
    }

    void notFound() {
        const Table t = makeTable(6, 3, {{2, 0, "apple"}});
        SearchState s;
        QCOMPARE(run(s, t, {QStringLiteral("pear"), false, true}, 2),
                 QStringList({kNotFound, kNotFound}));
        QVERIFY(!s.hasHit());
        SearchState empty;
        QCOMPARE(run(empty, Table(1, 3), {QString(), false, true}, 1), QStringList({kNotFound}));
    }

    // A stored text is searched, not what a display format shows.
    void storedTextNotDisplay() {
        Table t = makeTable(3, 2, {{2, 1, "1234"}});
        ColumnAttributes money;
        money.dataType = DataTypeMoney;
        money.format = QStringLiteral("$#,###.00");
        t.setColumnAttributes(1, money);
        QCOMPARE(t.displayFormat(1).apply(t.text(2, 1)), QStringLiteral("$1,234.00"));
        SearchState s;
        QCOMPARE(run(s, t, {QStringLiteral("$"), false, true}, 1), QStringList({kNotFound}));
        QCOMPARE(run(s, t, {QStringLiteral("234"), false, true}, 1), QStringList({"2,1"}));
    }

    // A hit in the table's last cell: the next press reports the pass instead of starting it
    // again and counting the same hits a second time; the press after starts a new pass.
    void hitInLastCell() {
        const Table t = makeTable(6, 3, {{2, 0, "apple"}, {6, 2, "apple"}});
        SearchState s;
        QCOMPARE(run(s, t, {QStringLiteral("apple"), false, true}, 4),
                 QStringList({"2,0", "6,2", kSearched2, "2,0"}));
    }

    // The count of a pass goes past 32767.
    void countPast16Bits() {
        const int records = 40000;
        Table t(records + 1, 1);
        for (int r = 1; r <= records; ++r) {
            t.setUtf8(r, 0, "a");
        }
        SearchState s;
        const FindOptions o{QStringLiteral("A"), false, true};
        int row = 1;
        for (int i = 1; i <= records; ++i) {
            const FindStep step = s.findNext(t, o, row, 0);
            QVERIFY(step.outcome == Outcome::Hit);
            QCOMPARE(step.row, i);
            row = step.row;
        }
        const FindStep end = s.findNext(t, o, row, 0);
        QCOMPARE(findEndMessage(end),
                 QStringLiteral("The document has been searched.\r\n40000 found."));
    }

    // A long pass calls its tick.
    void tick() {
        Table t(200001, 1);
        SearchState s;
        int ticks = 0;
        s.findNext(t, {QStringLiteral("x"), false, true}, 1, 0, [&] { ++ticks; });
        QCOMPARE(ticks, 200000 / 65536);
    }
};

QTEST_GUILESS_MAIN(TstFind)
#include "tst_find.moc"
