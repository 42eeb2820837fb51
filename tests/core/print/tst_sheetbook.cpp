// The sheet print component without a printer: range references, pasted clip text, cells set one
// by one, the page layout (bands down first, then across; headings and hidden columns), and the
// sheet the Print Sheet dialog builds.
#include <QtTest>

#include "core/print/SheetBook.h"
#include "core/print/SheetLayout.h"
#include "core/print/SheetPrintJob.h"
#include "core/table/ClipText.h"
#include "core/table/Table.h"

using namespace pellumar;

namespace {

const QSize kLetter(12240, 15840);  // 8.5 x 11 inches in twips

// Every cell text of a pasted block, as rows of cells.
ClipRows cells(const SheetBook& book, const SheetRange& r) {
    ClipRows rows;
    for (int row = r.row1; row <= r.row2; ++row) {
        QStringList line;
        for (int col = r.col1; col <= r.col2; ++col) {
            line << book.text(row, col);
        }
        rows.push_back(line);
    }
    return rows;
}

// A job over `records` x `cols` records whose cells read "r1c1", ...; the clip text is what the
// data grid gives for them.
SheetPrintJob job(int records, int cols) {
    Table table(records + 1, cols);
    SheetPrintJob j;
    for (int c = 0; c < cols; ++c) {
        table.setText(0, c, QStringLiteral("Title %1").arg(c + 1));
        j.columns.push_back({table.text(0, c), 1200, false, true});
        for (int r = 1; r <= records; ++r) {
            table.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c + 1));
        }
    }
    j.clipText = joinClip(table, 1, 0, records, cols - 1);
    j.records = records;
    j.scaleText = QStringLiteral("100");
    return j;
}

}  // namespace

class TstSheetBook : public QObject {
    Q_OBJECT

private slots:
    void rangeReferences_data() {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<int>("row1");
        QTest::addColumn<int>("col1");
        QTest::addColumn<int>("row2");
        QTest::addColumn<int>("col2");
        QTest::newRow("block") << "A1:C20" << 1 << 1 << 20 << 3;
        QTest::newRow("absolute") << "$B$2:$AA$7" << 2 << 2 << 7 << 27;
        QTest::newRow("one cell") << "D4" << 4 << 4 << 4 << 4;
        QTest::newRow("reversed") << "C20:A1" << 1 << 1 << 20 << 3;
        QTest::newRow("lower case") << "a1:b2" << 1 << 1 << 2 << 2;
        QTest::newRow("row 0") << "A0:B2" << 0 << 0 << 0 << 0;
        QTest::newRow("no digits") << "A:B" << 0 << 0 << 0 << 0;
        QTest::newRow("trailing text") << "A1:B2x" << 0 << 0 << 0 << 0;
        QTest::newRow("empty") << "" << 0 << 0 << 0 << 0;
        QTest::newRow("too many columns") << "A1:ZZZZ2" << 0 << 0 << 0 << 0;
    }
    void rangeReferences() {
        QFETCH(QString, ref);
        const SheetRange r = parseRangeRef(ref);
        QFETCH(int, row1);
        QFETCH(int, col1);
        QFETCH(int, row2);
        QFETCH(int, col2);
        QCOMPARE(r, (SheetRange{row1, col1, row2, col2}));
        if (!r.isEmpty()) {
            QCOMPARE(parseRangeRef(rangeRef(r)), r);
        }
        QCOMPARE(columnLetters(1), QStringLiteral("A"));
        QCOMPARE(columnLetters(26), QStringLiteral("Z"));
        QCOMPARE(columnLetters(27), QStringLiteral("AA"));
        QCOMPARE(columnLetters(703), QStringLiteral("AAA"));
    }

    // A pasted clip text reads back cell for cell, quoted cells included, and becomes the
    // selection; cells set afterwards win over it, and a later paste over them.
    void pasteAndCells() {
        SheetBook book;
        const QString clip =
            QStringLiteral("a\tb\tc\r\n\"two\nlines\"\t\"has\ttab\"\t\"\"\"q\"\"\"\n\t\tlast\n");
        book.setActiveCell(2, 3);
        book.pasteText(clip);
        QCOMPARE(book.selection(), (SheetRange{2, 3, 4, 5}));
        QCOMPARE(book.selectionRef(), QStringLiteral("C2:E4"));
        QCOMPARE(cells(book, book.selection()), splitClip(clip));
        QCOMPARE(book.maxRow(), 4);
        QCOMPARE(book.maxCol(), 5);
        QCOMPARE(book.text(1, 1), QString());
        QCOMPARE(book.text(3, 2), QString());  // left of the block

        book.setText(3, 3, QString());  // emptied over the paste
        book.setText(3, 4, QStringLiteral("set"));
        QCOMPARE(book.text(3, 3), QString());
        QCOMPARE(book.text(3, 4), QStringLiteral("set"));
        QCOMPARE(book.text(3, 5), QStringLiteral("\"q\""));
        book.setActiveCell(3, 4);
        book.pasteText(QStringLiteral("new"));
        QCOMPARE(book.text(3, 4), QStringLiteral("new"));
        QCOMPARE(book.text(2, 4), QStringLiteral("b"));

        // Shrinking the sheet drops what lies beyond; clear empties it.
        book.setMaxRow(3);
        QCOMPARE(book.text(3, 3), QString());
        QCOMPARE(book.text(3, 5), QStringLiteral("\"q\""));  // the row's last cell stays whole
        QCOMPARE(book.text(4, 5), QString());
        book.setMaxRow(2);
        QCOMPARE(book.text(3, 4), QString());
        QCOMPARE(book.text(2, 5), QStringLiteral("c"));
        book.setMaxCol(4);
        QCOMPARE(book.text(2, 5), QString());
        QCOMPARE(book.text(2, 4), QStringLiteral("b"));
        book.clear();
        QCOMPARE(book.text(2, 4), QString());
        QCOMPARE(book.maxRow(), 0);
        QCOMPARE(book.selection(), (SheetRange{1, 1, 1, 1}));
        book.pasteText(QString());  // nothing to paste: nothing changes
        QCOMPARE(book.maxRow(), 0);
    }

    // The data grid's clip text of any cells, pasted into the sheet, reads back as the cells.
    void gridClipTextRoundTrip() {
        const QStringList texts = {
            "plain", "na\u00efve \u20ac", "tab\there", "\"quoted", "line\nbreak", "", "cr\rlf",
            "x\"y",  "12345678901"};
        Table table(4, 3);
        for (int i = 0; i < texts.size(); ++i) {
            table.setText(1 + i / 3, i % 3, texts[i]);
        }
        SheetBook book;
        book.pasteText(joinClip(table, 1, 0, 3, 2));
        QCOMPARE(book.selection(), (SheetRange{1, 1, 3, 3}));
        for (int i = 0; i < texts.size(); ++i) {
            QCOMPARE(book.text(1 + i / 3, 1 + i % 3), texts[i]);
        }
        // A last row of one empty cell survives as a row.
        Table column(3, 1);
        column.setText(1, 0, u"a");
        book.clear();
        book.pasteText(joinClip(column, 1, 0, 2, 0));
        QCOMPARE(book.selection(), (SheetRange{1, 1, 2, 1}));
    }

    void settings() {
        SheetBook book;
        // Widths in characters by default, then in twips; 0 hides.
        book.setColWidth(1, 256);
        QCOMPARE(book.colWidthTwips(1), SheetBook::kTwipsPerCharacter);
        book.setColWidthUnit(SheetBook::WidthUnit::Twips);
        book.setColWidth(2, 1800);
        QCOMPARE(book.colWidth(2), 1800);
        book.setColWidth(3, 0);
        QCOMPARE(book.colWidthTwips(3), 0);
        QCOMPARE(book.colText(2), QStringLiteral("B"));
        book.setColText(2, QStringLiteral("Street"));
        QCOMPARE(book.colText(2), QStringLiteral("Street"));

        // The scale takes 10 to 400 and refuses the rest.
        QVERIFY(book.setPrintScale(120));
        QVERIFY(!book.setPrintScale(401));
        QVERIFY(!book.setPrintScale(9));
        QCOMPARE(book.printScale(), 120);
        QVERIFY(!book.setPrintArea(QStringLiteral("nowhere")));
        QCOMPARE(book.printAreaRef(), QString());

        QCOMPARE(book.printFooter(), QStringLiteral("Page &P"));
        QCOMPARE(SheetBook::pageText(QStringLiteral("Page &P of &N, R&&D"), 3, 7),
                 QStringLiteral("Page 3 of 7, R&D"));

        // Row heights follow the font until set.
        QCOMPARE(book.rowHeight(5), 255);
        book.setFont(QStringLiteral("Times New Roman"), 16);
        QCOMPARE(book.rowHeight(5), 408);
        book.setRowHeight(2, 4, 480);
        QCOMPARE(book.rowHeight(4), 480);
        QCOMPARE(book.rowHeight(5), 408);

        // Alignment goes to the selection.
        book.setSelection({1, 1, 2, 2});
        book.setAlignment(SheetBook::HAlign::Left, false, SheetBook::VAlign::Bottom, 0);
        QCOMPARE(book.alignment(2, 2).horizontal, SheetBook::HAlign::Left);
        QCOMPARE(book.alignment(3, 2).horizontal, SheetBook::HAlign::General);

        const int id = book.addCheckBox(2.4, 0.1, 2.6, 0.9);
        book.setObjectValue(id, 1);
        QCOMPARE(book.objectValue(id), 1);
        QCOMPARE(book.objectValue(id + 1), 0);
    }

    // With every row at the default height, the pages down the sheet take the rows in turn:
    // each page's first row follows the previous page's last, none is printed twice or left
    // out, and each page's rows fit its height.
    void pagesTakeTheRowsInTurn_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("headings");
        QTest::addColumn<int>("scale");
        QTest::newRow("one page") << 20 << false << 100;
        QTest::newRow("several pages") << 250 << false << 100;
        QTest::newRow("headings") << 250 << true << 100;
        QTest::newRow("scaled") << 1000 << true << 37;
        QTest::newRow("a page and one row") << 61 << false << 100;
    }
    void pagesTakeTheRowsInTurn() {
        QFETCH(int, rows);
        QFETCH(bool, headings);
        QFETCH(int, scale);
        SheetBook book;
        book.setColWidthUnit(SheetBook::WidthUnit::Twips);
        book.setPrintOption(SheetBook::PrintOption::ColHeadings, headings);
        book.setPrintMargins(0.5, 0.5, 0.5, 0.5);
        QVERIFY(book.setPrintScale(scale));
        book.setMaxRow(rows);
        book.setMaxCol(3);
        for (int c = 1; c <= 3; ++c) {
            book.setColWidth(c, 6000);  // pages across too, unless scaled down
        }
        QVERIFY(!book.hasRowHeights());
        const SheetLayout layout = SheetLayout::make(book, kLetter);
        const int down = int(layout.rowBands.size());
        QVERIFY(down >= 1);
        const int acrossPages = int(layout.colBands.size());
        QCOMPARE(layout.pageCount(), down * acrossPages);
        const double room = layout.printable.height() / layout.scale - layout.headingHeight;
        for (int across = 0; across < acrossPages; ++across) {
            int next = 1;
            for (int k = 0; k < down; ++k) {
                const SheetLayout::Page p = layout.page(across * down + k);
                QCOMPARE(p.firstRow, next);
                QVERIFY(p.lastRow >= p.firstRow);
                QVERIFY((p.lastRow - p.firstRow + 1) * book.defaultRowHeight() <= room);
                next = p.lastRow + 1;
            }
            QCOMPARE(next, rows + 1);
        }
        // Full pages are full: one row more would not have fitted.
        const SheetLayout::Page first = layout.page(0);
        if (down > 1) {
            QVERIFY((first.lastRow - first.firstRow + 2) * book.defaultRowHeight() > room);
        }
    }

    // 60 rows of 240 twips fill a letter page inside half-inch margins; rows and columns that do
    // not fit go on further pages, down first, then across.
    void layoutDownThenAcross() {
        SheetBook book;
        book.setColWidthUnit(SheetBook::WidthUnit::Twips);
        book.setPrintOption(SheetBook::PrintOption::ColHeadings, false);
        book.setPrintMargins(0.5, 0.5, 0.5, 0.5);
        book.setMaxRow(130);
        book.setMaxCol(4);
        book.setRowHeight(1, 130, 240);
        for (int c = 1; c <= 4; ++c) {
            book.setColWidth(c, 4000);  // two and a half fit in 7.5 inches
        }
        book.setColWidth(2, 0);  // hidden: takes no room
        const SheetLayout layout = SheetLayout::make(book, kLetter);
        QCOMPARE(layout.printable, QRect(720, 720, 10800, 14400));
        QCOMPARE(layout.rowBands.size(), size_t(3));
        QCOMPARE(layout.rowBands[0], (SheetLayout::Band{1, 60}));
        QCOMPARE(layout.rowBands[2], (SheetLayout::Band{121, 130}));
        QCOMPARE(layout.colBands.size(), size_t(2));
        QCOMPARE(layout.colBands[0], (SheetLayout::Band{1, 3}));
        QCOMPARE(layout.colBands[1], (SheetLayout::Band{4, 4}));
        QCOMPARE(layout.pageCount(), 6);
        const SheetLayout::Page p2 = layout.page(1);
        QCOMPARE(p2.firstRow, 61);
        QCOMPARE(p2.firstCol, 1);
        const SheetLayout::Page p4 = layout.page(3);
        QCOMPARE(p4.firstRow, 1);
        QCOMPARE(p4.firstCol, 4);
        // A cell's place follows from its page's first row and column.
        QCOMPARE(layout.cellRect(book, p2, 62, 3), QRect(4000, 240, 4000, 240));
        QCOMPARE(layout.toPaper(QRectF(layout.cellRect(book, p2, 62, 3))),
                 QRectF(4720, 960, 4000, 240));
        // The last column may run into the right margin, but not off the paper.
        book.setColWidth(4, 3500);
        QCOMPARE(SheetLayout::make(book, kLetter).colBands.size(), size_t(1));
        book.setColWidth(4, 3600);
        QCOMPARE(SheetLayout::make(book, kLetter).colBands.size(), size_t(2));
        book.setColWidth(4, 4000);

        // Headings take a row on every page; the scale makes room for more.
        book.setPrintOption(SheetBook::PrintOption::ColHeadings, true);
        SheetLayout withHeadings = SheetLayout::make(book, kLetter);
        QCOMPARE(withHeadings.headingHeight, 255);
        QCOMPARE(withHeadings.rowBands[0], (SheetLayout::Band{1, 58}));
        QCOMPARE(withHeadings.page(0).origin, QPoint(0, 255));
        QVERIFY(book.setPrintScale(50));
        withHeadings = SheetLayout::make(book, kLetter);
        QCOMPARE(withHeadings.rowBands[0], (SheetLayout::Band{1, 118}));
        QCOMPARE(withHeadings.colBands.size(), size_t(1));

        // Landscape turns the paper; the print area limits the block.
        book.setPrintLandscape(true);
        QCOMPARE(SheetLayout::orientedPaper(book, QSizeF(8.5, 11)), QSize(15840, 12240));
        QVERIFY(book.setPrintArea(QStringLiteral("C10:D20")));
        const SheetLayout area = SheetLayout::make(book, QSize(15840, 12240));
        QCOMPARE(area.pageCount(), 1);
        QCOMPARE(area.page(0).firstRow, 10);
        QCOMPARE(area.page(0).lastCol, 4);

        // Nothing to print: no pages.
        SheetBook empty;
        QCOMPARE(SheetLayout::make(empty, kLetter).pageCount(), 0);
        book.setColWidth(3, 0);
        book.setColWidth(4, 0);
        QCOMPARE(SheetLayout::make(book, kLetter).pageCount(), 0);
    }

    // 25 records of 4 columns, column 2 not ticked: three printed columns titled as the data
    // grid, 25 rows, the header and a page number on each page.
    void printSheetFromJob() {
        SheetPrintJob j = job(25, 4);
        j.columns[1].print = false;
        j.columns[0].width = 1500;
        SheetBook f1;
        f1.setText(40, 9, QStringLiteral("left over"));
        fillPrintSheet(f1, j);
        QCOMPARE(f1.text(40, 9), QString());  // cleared first
        QCOMPARE(f1.colWidthUnit(), SheetBook::WidthUnit::Twips);
        QCOMPARE(f1.colWidth(1), 1800);  // 1500 printed 1.2 times as wide
        QCOMPARE(f1.colWidth(2), 0);
        QCOMPARE(f1.colWidth(3), 1440);
        QCOMPARE(f1.colText(1), QStringLiteral("Title 1"));
        QCOMPARE(f1.colText(4), QStringLiteral("Title 4"));
        QCOMPARE(f1.printHeader(), QStringLiteral("Ostrevane Pellumar"));
        QCOMPARE(f1.printFooter(), QStringLiteral("Page &P"));
        QVERIFY(f1.printOption(SheetBook::PrintOption::GridLines));
        QVERIFY(f1.printOption(SheetBook::PrintOption::ColHeadings));
        QCOMPARE(f1.printAreaRef(), QStringLiteral("A1:D25"));
        QCOMPARE(f1.text(1, 1), QStringLiteral("r1c1"));
        QCOMPARE(f1.text(25, 4), QStringLiteral("r25c4"));
        QCOMPARE(f1.alignment(25, 4).horizontal, SheetBook::HAlign::Left);
        QCOMPARE(f1.alignment(25, 4).vertical, SheetBook::VAlign::Bottom);
        QCOMPARE(f1.printScale(), 100);

        const SheetLayout layout = SheetLayout::make(f1, kLetter);
        QCOMPARE(layout.pageCount(), 1);
        const SheetLayout::Page page = layout.page(0);
        QCOMPARE(page.firstRow, 1);
        QCOMPARE(page.lastRow, 25);
        int printed = 0;
        for (int c = page.firstCol; c <= page.lastCol; ++c) {
            printed += f1.colWidthTwips(c) > 0;
        }
        QCOMPARE(printed, 3);
        QCOMPARE(SheetBook::pageText(f1.printFooter(), page.index + 1, layout.pageCount()),
                 QStringLiteral("Page 1"));
    }

    // A Checkbox column prints boxes, ticked for true values, and no text under them.
    void checkBoxColumns() {
        SheetPrintJob j = job(5, 3);
        j.columns[1].checkbox = true;
        j.columns[1].width = 960;
        const QStringList values = {"1", "0", "True", "", "-1"};
        QStringList lines = j.clipText.split(u'\n');
        for (int r = 0; r < 5; ++r) {
            QStringList cells = lines[r].split(u'\t');
            cells[1] = values[r];
            lines[r] = cells.join(u'\t');
        }
        j.clipText = lines.join(u'\n');
        SheetBook f1;
        fillPrintSheet(f1, j);
        const auto& boxes = f1.checkBoxes();
        QCOMPARE(boxes.size(), size_t(5));
        QList<int> ticked;
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(f1.text(k + 1, 2), QString());
            ticked << boxes[size_t(k)].value;
            QCOMPARE(boxes[size_t(k)].x1, 1.4);
            QCOMPARE(boxes[size_t(k)].x2, 1.4 + 192.0 / 960);
            QCOMPARE(boxes[size_t(k)].y1, k + 0.1);
            QCOMPARE(boxes[size_t(k)].y2, k + 0.9);
        }
        QCOMPARE(ticked, QList<int>({1, 0, 1, 0, 1}));
        QCOMPARE(f1.text(3, 1), QStringLiteral("r3c1"));

        // An unticked check-box column gets no boxes.
        j.columns[1].print = false;
        fillPrintSheet(f1, j);
        QVERIFY(f1.checkBoxes().empty());
    }

    // The typed scale is used as typed; a text that is no number, or a scale outside 10 to 400,
    // leaves the scale as it was.
    void scaleAsTyped() {
        SheetBook f1;
        SheetPrintJob j = job(2, 2);
        j.scaleText = QStringLiteral("120");
        fillPrintSheet(f1, j);
        QCOMPARE(f1.printScale(), 120);
        for (const char* text : {"abc", "", "5", "1000", "1e300"}) {
            j.scaleText = QString::fromLatin1(text);
            fillPrintSheet(f1, j);
            QCOMPARE(f1.printScale(), 120);
        }
        j.scaleText = QStringLiteral(" 75 ");
        j.landscape = true;
        fillPrintSheet(f1, j);
        QCOMPARE(f1.printScale(), 75);
        QVERIFY(f1.printLandscape());
    }

    // A block that starts at the third data column lines up with that column's width and title.
    void blockBesideTheFirstColumn() {
        SheetPrintJob j = job(3, 4);
        j.clipText = QStringLiteral("x\ty\nz\tw");
        j.firstColumn = 2;
        j.records = 2;
        SheetBook f1;
        fillPrintSheet(f1, j);
        QCOMPARE(f1.printAreaRef(), QStringLiteral("C1:D2"));
        QCOMPARE(f1.text(1, 3), QStringLiteral("x"));
        QCOMPARE(f1.colText(3), QStringLiteral("Title 3"));

        // No records: nothing pasted, no print area, no pages.
        j.clipText.clear();
        j.records = 0;
        fillPrintSheet(f1, j);
        QCOMPARE(f1.printAreaRef(), QString());
        QCOMPARE(SheetLayout::make(f1, kLetter).pageCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TstSheetBook)
#include "tst_sheetbook.moc"
