// Mailing labels without a printer: separators, title look-up, the text of a label line, and the
// label sheet (size, print area, where each label goes), with skipping of incomplete addresses,
// the country line and the font size.
#include <QtTest>

#include "core/print/AddressLabels.h"
#include "core/print/SheetBook.h"
#include "core/print/SheetLayout.h"
#include "core/table/Table.h"

using namespace pellumar;

namespace {

// Name, Street, City, State, Zipcode and `records` addresses "Name k", "k Main St", ...
Table addresses(int records) {
    Table t(records + 1, 5);
    const QStringList titles = {"Name", "Street", "City", "State", "Zipcode"};
    for (int c = 0; c < 5; ++c) {
        t.setText(0, c, titles[c]);
    }
    for (int r = 1; r <= records; ++r) {
        t.setText(r, 0, QStringLiteral("Name %1").arg(r));
        t.setText(r, 1, QStringLiteral("%1 Main St").arg(r));
        t.setText(r, 2, QStringLiteral("Rivertown"));
        t.setText(r, 3, QStringLiteral("XY"));
        t.setText(r, 4, QStringLiteral("1234%1").arg(r % 10));
    }
    return t;
}

// The standard pattern: lines 2, 3 and 4 ticked.
LabelJob standardJob(const Table& t, int records) {
    LabelJob job;
    job.ticked = {false, true, true, true, false};
    job.lines[1] = {TitleColumnIndex(t, "Name"), -1, -1, {}, {}};
    job.lines[2] = {TitleColumnIndex(t, "Street"), -1, -1, {}, {}};
    job.lines[3] = {TitleColumnIndex(t, "City"), TitleColumnIndex(t, "State"),
                    TitleColumnIndex(t, "Zipcode"), SeparatorText("comma+space"),
                    SeparatorText("space")};
    for (int r = 1; r <= records; ++r) {
        job.records.push_back(r);
    }
    return job;
}

}  // namespace

class TstAddressLabels : public QObject {
    Q_OBJECT

private slots:
    void separators() {
        QCOMPARE(SeparatorText("comma+space"), QStringLiteral(", "));
        QCOMPARE(SeparatorText("comma"), QStringLiteral(","));
        QCOMPARE(SeparatorText("space"), QStringLiteral(" "));
        QCOMPARE(SeparatorText("double space"), QStringLiteral("  "));
        QCOMPARE(SeparatorText("  "), QString());
        QCOMPARE(SeparatorText(""), QString());
        QCOMPARE(SeparatorText("Comma"), QString());  // names are exact
        QCOMPARE(SeparatorText("semicolon"), QString());
    }

    void titles() {
        Table t = addresses(1);
        t.setText(0, 4, u"City");  // a second "City": the first one counts
        QCOMPARE(TitleColumnIndex(t, "Street"), 1);
        QCOMPARE(TitleColumnIndex(t, "City"), 2);
        QCOMPARE(TitleColumnIndex(t, "city"), -1);
        QCOMPARE(TitleColumnIndex(t, ""), -1);
        QCOMPARE(TitleColumnIndex(t, "  "), -1);
        QCOMPARE(TitleColumnIndex(t, "Phone"), -1);  // no title of that name
    }

    void lineText() {
        Table t(2, 5);
        const QStringList row = {"Front Desk", "1 Main St", "Rivertown", "", "12345"};
        for (int c = 0; c < 5; ++c) {
            t.setText(1, c, row[c]);
        }
        const QString commaSpace = SeparatorText("comma+space");
        // An empty State keeps both separators.
        QCOMPARE(LabelLineText(t, 1, {2, 3, 4, commaSpace, " "}),
                 QStringLiteral("Rivertown,  12345"));
        // A comma without a space; an unknown separator gives none.
        QCOMPARE(LabelLineText(t, 1, {2, 4, -1, SeparatorText("comma"), {}}),
                 QStringLiteral("Rivertown,12345"));
        QCOMPARE(LabelLineText(t, 1, {2, 4, -1, SeparatorText("dash"), {}}),
                 QStringLiteral("Rivertown12345"));
        // A third column without a second prints the first alone; no first column, nothing.
        QCOMPARE(LabelLineText(t, 1, {0, -1, 0, commaSpace, commaSpace}),
                 QStringLiteral("Front Desk"));
        QCOMPARE(LabelLineText(t, 1, {-1, 1, 2, commaSpace, commaSpace}), QString());
        // A record beyond the table reads empty cells.
        QCOMPARE(LabelLineText(t, 9, {0, 1, -1, commaSpace, {}}), QStringLiteral(", "));
    }

    // 7 records "3 x 10": 20 sheet rows, 3 columns, "A1:C20"; labels left to right, then down.
    void threeAcross() {
        const Table t = addresses(7);
        LabelJob job = standardJob(t, 7);
        SheetBook f1;
        fillLabelSheet(f1, t, job);
        QCOMPARE(f1.maxRow(), 20);
        QCOMPARE(f1.maxCol(), 3);
        QCOMPARE(f1.printAreaRef(), QStringLiteral("A1:C20"));
        QCOMPARE(f1.colWidth(1), 3976);
        QCOMPARE(f1.colWidth(2), 3976);
        QCOMPARE(f1.colWidth(3), 3300);
        // Label 1 in rows 1 to 5 of column 1, label 4 in rows 7 to 11, label 7 in rows 13 to 17.
        QCOMPARE(f1.text(1, 1), QString());
        QCOMPARE(f1.text(2, 1), QStringLiteral("Name 1"));
        QCOMPARE(f1.text(3, 1), QStringLiteral("1 Main St"));
        QCOMPARE(f1.text(4, 1), QStringLiteral("Rivertown, XY 12341"));
        QCOMPARE(f1.text(2, 3), QStringLiteral("Name 3"));
        QCOMPARE(f1.text(8, 1), QStringLiteral("Name 4"));
        QCOMPARE(f1.text(14, 1), QStringLiteral("Name 7"));
        QCOMPARE(f1.text(14, 2), QString());
        QCOMPARE(f1.text(6, 1), QString());

        // The page set-up of a label sheet.
        QCOMPARE(f1.fontName(), QStringLiteral("Arial"));
        QCOMPARE(f1.fontSize(), 10.0);
        QCOMPARE(f1.rowHeight(1), 240);
        QCOMPARE(f1.rowHeight(20), 240);
        QCOMPARE(f1.printHeader(), QString());
        QCOMPARE(f1.printFooter(), QString());
        QVERIFY(!f1.printOption(SheetBook::PrintOption::GridLines));
        QVERIFY(!f1.printOption(SheetBook::PrintOption::ColHeadings));
        QVERIFY(f1.printOption(SheetBook::PrintOption::ClipCells));
        QVERIFY(!f1.printLandscape());
        QCOMPARE(f1.printLeftMargin(), 0.4);
        QCOMPARE(f1.printTopMargin(), 0.5);

        // Thirty labels a letter page: ten labels of six rows, one inch each.
        LabelJob many = standardJob(t, 0);
        for (int k = 0; k < 31; ++k) {
            many.records.push_back(1 + k % 7);
        }
        fillLabelSheet(f1, t, many);
        const SheetLayout layout =
            SheetLayout::make(f1, SheetLayout::orientedPaper(f1, QSizeF(8.27, 11.69)));
        QCOMPARE(layout.paper, QSize(12240, 15840));  // letter, whatever the printer's paper
        QCOMPARE(layout.pageCount(), 2);
        QCOMPARE(layout.rowBands[0], (SheetLayout::Band{1, 60}));
        QCOMPARE(layout.colBands.size(), size_t(1));
    }

    // 5 records "2 x 10": 21 rows, "A1:B21", labels in pairs; "2 x 5" rows are twice as high.
    void twoAcross() {
        const Table t = addresses(5);
        LabelJob job = standardJob(t, 5);
        job.format = LabelFormat::TwoByTen;
        SheetBook f1;
        fillLabelSheet(f1, t, job);
        QCOMPARE(f1.maxRow(), 21);
        QCOMPARE(f1.maxCol(), 2);
        QCOMPARE(f1.printAreaRef(), QStringLiteral("A1:B21"));
        QCOMPARE(f1.colWidth(1), 6120);
        QCOMPARE(f1.colWidth(2), 5100);
        QCOMPARE(f1.text(2, 2), QStringLiteral("Name 2"));
        QCOMPARE(f1.text(8, 1), QStringLiteral("Name 3"));
        QCOMPARE(f1.text(14, 1), QStringLiteral("Name 5"));

        job.format = LabelFormat::TwoByFive;
        job.fontSize = labelFontSize(job.format);
        fillLabelSheet(f1, t, job);
        QCOMPARE(f1.fontName(), QStringLiteral("Times New Roman"));
        QCOMPARE(f1.fontSize(), 16.0);
        QCOMPARE(f1.rowHeight(7), 480);
    }

    // A larger font makes the rows higher, keeping whole labels on a page.
    void fontSize() {
        QCOMPARE(labelRowHeight(LabelFormat::ThreeByTen, 10), 240);
        QCOMPARE(labelRowHeight(LabelFormat::TwoByFive, 16), 480);
        QCOMPARE(labelRowHeight(LabelFormat::TwoByFive, 20), 480);
        const int h = labelRowHeight(LabelFormat::ThreeByTen, 14);
        QVERIFY(h >= 14 * 24);
        QCOMPARE(14400 % (6 * h) < h, true);  // no room wasted beyond a row
        QCOMPARE((14400 / h) % 6, 0);         // a page holds whole labels

        const Table t = addresses(40);
        LabelJob job = standardJob(t, 40);
        job.fontSize = 14;
        SheetBook f1;
        fillLabelSheet(f1, t, job);
        QCOMPARE(f1.fontSize(), 14.0);
        QCOMPARE(f1.rowHeight(1), h);
        const SheetLayout layout = SheetLayout::make(f1, QSize(12240, 15840));
        QCOMPARE((layout.rowBands[0].last - layout.rowBands[0].first + 1) % 6, 0);
    }

    // Skipping leaves out a record whose ticked line would print nothing but separators; an
    // empty State alone does not; the labels are counted and placed after skipping.
    void skipIncomplete() {
        Table t = addresses(5);
        t.setText(2, 1, QString());            // no street
        t.setText(3, 3, QString());            // no state: still complete
        t.setText(4, 2, QStringLiteral(" "));  // city, state and zip all blank
        t.setText(4, 3, QString());
        t.setText(4, 4, QString());
        LabelJob job = standardJob(t, 5);
        job.skipIncomplete = true;
        QVERIFY(isIncompleteAddress(t, 2, job));
        QVERIFY(!isIncompleteAddress(t, 3, job));
        QVERIFY(isIncompleteAddress(t, 4, job));
        QCOMPARE(labelRecords(t, job), std::vector<int>({1, 3, 5}));
        SheetBook f1;
        fillLabelSheet(f1, t, job);
        QCOMPARE(f1.maxRow(), 12);  // three labels
        QCOMPARE(f1.text(2, 2), QStringLiteral("Name 3"));
        QCOMPARE(f1.text(4, 2), QStringLiteral("Rivertown,  12343"));
        QCOMPARE(f1.text(2, 3), QStringLiteral("Name 5"));

        // A ticked line naming no column never makes a record incomplete, nor does an unticked
        // one; without skipping every record is labelled.
        LabelJob other = standardJob(t, 5);
        other.ticked = {true, false, false, false, false};
        other.lines[4] = {TitleColumnIndex(t, "Street"), -1, -1, {}, {}};
        QVERIFY(!isIncompleteAddress(t, 2, other));
        job.skipIncomplete = false;
        QCOMPARE(labelRecords(t, job).size(), size_t(5));
    }

    // The country goes on the line after the last ticked one, only while asked for, and not
    // when line 5 is ticked.
    void country() {
        const Table t = addresses(1);
        LabelJob job = standardJob(t, 1);
        job.country = QStringLiteral("U.S.A.");
        QCOMPARE(countryLine(job), 0);
        job.printCountry = true;
        QCOMPARE(countryLine(job), 5);
        QCOMPARE(labelText(t, 1, job),
                 QStringList({"", "Name 1", "1 Main St", "Rivertown, XY 12341", "U.S.A."}));
        SheetBook f1;
        fillLabelSheet(f1, t, job);
        QCOMPARE(f1.text(5, 1), QStringLiteral("U.S.A."));
        job.ticked[2] = false;
        job.ticked[3] = false;
        QCOMPARE(countryLine(job), 3);
        job.ticked[4] = true;
        QCOMPARE(countryLine(job), 0);
        job.ticked[4] = false;
        job.country.clear();
        QCOMPARE(countryLine(job), 0);
    }

    // No records: one empty label band, nothing in it.
    void noRecords() {
        const Table t = addresses(0);
        const LabelJob job = standardJob(t, 0);
        SheetBook f1;
        fillLabelSheet(f1, t, job);
        QCOMPARE(f1.maxRow(), 6);
        QCOMPARE(f1.printAreaRef(), QStringLiteral("A1:C6"));
        for (int r = 1; r <= 6; ++r) {
            QCOMPARE(f1.text(r, 1), QString());
        }
    }
};

QTEST_GUILESS_MAIN(TstAddressLabels)
#include "tst_addresslabels.moc"
