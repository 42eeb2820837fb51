// Label sheets without a printer: every label of every format against the sheet's figures (first
// and last label, pitch, margins, the labels inside the paper and clear of each other), the letter
// formats' labels against the cells their sheet prints in, the start label, the calibration
// offsets, how a label's lines sit in its height, and the label settings as stored.
#include <QtTest>

#include <map>

#include "core/print/AddressLabels.h"
#include "core/print/LabelSheet.h"
#include "core/print/SheetBook.h"
#include "core/print/SheetLayout.h"
#include "core/table/Table.h"

using namespace pellumar;

Q_DECLARE_METATYPE(pellumar::LabelFormat)

namespace {

constexpr double kTolerance = 0.01;  // millimetres

bool near(double a, double b) {
    return std::abs(a - b) < kTolerance;
}

QRectF twipsToMm(const QRectF& r) {
    return QRectF(r.x() / kTwipsPerMillimetre, r.y() / kTwipsPerMillimetre,
                  r.width() / kTwipsPerMillimetre, r.height() / kTwipsPerMillimetre);
}

bool nearRect(const QRectF& a, const QRectF& b) {
    return near(a.x(), b.x()) && near(a.y(), b.y()) && near(a.width(), b.width()) &&
           near(a.height(), b.height());
}

QString describe(const QRectF& r) {
    return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

}  // namespace

class TstLabelSheet : public QObject {
    Q_OBJECT

private slots:
    void formats() {
        QCOMPARE(labelFormatNames(), QStringList({"3 x 10", "2 x 10", "2 x 5", "3 x 7 A4",
                                                  "3 x 8 A4", "2 x 7 A4", "2 x 8 A4", "2 x 4 A4"}));
        QCOMPARE(labelFormatAt(-1), LabelFormat::ThreeByTen);
        QCOMPARE(labelFormatAt(8), LabelFormat::ThreeByTen);
        QCOMPARE(labelFormatAt(7), LabelFormat::TwoByFourA4);
        QVERIFY(!isA4Format(LabelFormat::TwoByFive));
        QVERIFY(isA4Format(LabelFormat::ThreeBySevenA4));
    }

    // The A4 sheets as sold: label size, side and top margin, pitch across and down.
    void a4Sheets_data() {
        QTest::addColumn<LabelFormat>("format");
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::addColumn<QSizeF>("label");
        QTest::addColumn<QPointF>("margin");
        QTest::addColumn<QSizeF>("pitch");
        QTest::newRow("3 x 7 A4") << LabelFormat::ThreeBySevenA4 << 3 << 7 << QSizeF(63.5, 38.1)
                                  << QPointF(7.25, 15.15) << QSizeF(66.0, 38.1);
        QTest::newRow("3 x 8 A4") << LabelFormat::ThreeByEightA4 << 3 << 8 << QSizeF(63.5, 33.9)
                                  << QPointF(7.25, 12.9) << QSizeF(66.0, 33.9);
        QTest::newRow("2 x 7 A4") << LabelFormat::TwoBySevenA4 << 2 << 7 << QSizeF(99.1, 38.1)
                                  << QPointF(4.65, 15.15) << QSizeF(101.6, 38.1);
        QTest::newRow("2 x 8 A4") << LabelFormat::TwoByEightA4 << 2 << 8 << QSizeF(99.1, 33.9)
                                  << QPointF(4.65, 12.9) << QSizeF(101.6, 33.9);
        QTest::newRow("2 x 4 A4") << LabelFormat::TwoByFourA4 << 2 << 4 << QSizeF(99.1, 67.7)
                                  << QPointF(4.65, 13.1) << QSizeF(101.6, 67.7);
    }

    void a4Sheets() {
        QFETCH(LabelFormat, format);
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(QSizeF, label);
        QFETCH(QPointF, margin);
        QFETCH(QSizeF, pitch);
        QCOMPARE(labelsAcross(format), across);
        QCOMPARE(labelsDown(format), down);
        QCOMPARE(labelsPerSheet(format), across * down);
        QCOMPARE(labelSheetFigures(format).paper, QSizeF(210, 297));

        // Every label where the figures put it.
        for (int slot = 0; slot < across * down; ++slot) {
            const QRectF expected(margin.x() + (slot % across) * pitch.width(),
                                  margin.y() + (slot / across) * pitch.height(), label.width(),
                                  label.height());
            QVERIFY2(
                nearRect(labelRect(format, slot), expected),
                qPrintable(
                    QStringLiteral("slot %1 %2").arg(slot).arg(describe(labelRect(format, slot)))));
        }
        // The first label on the margins; the last leaves the same margins to the paper's right
        // and bottom edges: the labels sit in the middle of the sheet.
        const QRectF first = labelRect(format, 0);
        const QRectF last = labelRect(format, across * down - 1);
        QVERIFY(near(first.left(), margin.x()));
        QVERIFY(near(first.top(), margin.y()));
        QVERIFY2(near(210 - last.right(), margin.x()), qPrintable(describe(last)));
        QVERIFY2(near(297 - last.bottom(), margin.y()), qPrintable(describe(last)));
        // Neighbours one pitch apart, never overlapping.
        QVERIFY(near(labelRect(format, 1).left() - first.left(), pitch.width()));
        QVERIFY(near(labelRect(format, across).top() - first.top(), pitch.height()));
        QVERIFY(pitch.width() >= label.width());
        QVERIFY(pitch.height() >= label.height());
    }

    // The letter formats' labels are the cells their sheet prints a label in, moved alike by the
    // offset: first and last label, pitch 3976 (6120) twips across and one (two) inch down.
    void letterSheets_data() {
        QTest::addColumn<LabelFormat>("format");
        QTest::addColumn<QPointF>("offset");
        QTest::addColumn<QRectF>("firstTwips");
        QTest::addColumn<QRectF>("lastTwips");
        QTest::newRow("3 x 10") << LabelFormat::ThreeByTen << QPointF()
                                << QRectF(576, 720, 3976, 1440)
                                << QRectF(576 + 7952, 720 + 9 * 1440, 3300, 1440);
        QTest::newRow("2 x 10") << LabelFormat::TwoByTen << QPointF(2, -3)
                                << QRectF(576, 720, 6120, 1440)
                                << QRectF(576 + 6120, 720 + 9 * 1440, 5100, 1440);
        QTest::newRow("2 x 5") << LabelFormat::TwoByFive << QPointF(-10, 10)
                               << QRectF(576, 720, 6120, 2880)
                               << QRectF(576 + 6120, 720 + 4 * 2880, 5100, 2880);
    }

    void letterSheets() {
        QFETCH(LabelFormat, format);
        QFETCH(QPointF, offset);
        QFETCH(QRectF, firstTwips);
        QFETCH(QRectF, lastTwips);
        const int per = labelsPerSheet(format);
        const QPointF move = offset;
        QVERIFY(nearRect(labelRect(format, 0, offset), twipsToMm(firstTwips).translated(move)));
        QVERIFY(
            nearRect(labelRect(format, per - 1, offset), twipsToMm(lastTwips).translated(move)));

        // A full sheet of labels laid out by the sheet: each label's six cells make its rectangle.
        const int across = labelsAcross(format);
        Table table(per + 1, 1);
        table.setText(0, 0, u"Name");
        LabelJob job;
        job.format = format;
        job.fontSize = labelFontSize(format);
        job.offset = offset;
        job.ticked = {true, false, false, false, false};
        job.lines[0] = {0, -1, -1, {}, {}};
        for (int r = 1; r <= per; ++r) {
            job.records.push_back(r);
        }
        SheetBook f1;
        fillLabelSheet(f1, table, job);
        const SheetLayout layout = SheetLayout::make(f1, QSize(12240, 15840));
        QVERIFY(layout.pageCount() >= 1);  // the sheet ends with a blank row of labels
        const SheetLayout::Page page = layout.page(0);
        for (int slot = 0; slot < per; ++slot) {
            const int base = kRowsPerLabel * (slot / across);
            const int col = slot % across + 1;
            const QRect top = layout.cellRect(f1, page, base + 1, col);
            const QRect bottom = layout.cellRect(f1, page, base + kRowsPerLabel, col);
            const QRectF cells = layout.toPaper(QRectF(top.united(bottom)));
            QVERIFY2(nearRect(twipsToMm(cells), labelRect(format, slot, offset)),
                     qPrintable(QStringLiteral("slot %1: cells %2, label %3")
                                    .arg(slot)
                                    .arg(describe(twipsToMm(cells)),
                                         describe(labelRect(format, slot, offset)))));
        }
    }

    void offsetsMoveEveryLabel_data() {
        QTest::addColumn<QPointF>("offset");
        QTest::newRow("none") << QPointF();
        QTest::newRow("right and up") << QPointF(1.5, -2);
        QTest::newRow("the limits") << QPointF(-10, 10);
    }

    void offsetsMoveEveryLabel() {
        QFETCH(QPointF, offset);
        for (int f = 0; f < kLabelFormats; ++f) {
            const LabelFormat format = labelFormatAt(f);
            for (int slot = 0; slot < labelsPerSheet(format); ++slot) {
                QVERIFY(nearRect(labelRect(format, slot, offset),
                                 labelRect(format, slot).translated(offset)));
            }
        }
    }

    // Which sheet and slot the k-th label takes: the first start - 1 labels of the first sheet
    // stay empty, and the next sheets are used from their first label.
    void startLabel_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("perSheet");
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("slot");
        QTest::newRow("first label") << 0 << 1 << 21 << 0 << 0;
        QTest::newRow("start at 5") << 0 << 5 << 21 << 0 << 4;
        QTest::newRow("last of the first sheet") << 16 << 5 << 21 << 0 << 20;
        QTest::newRow("next sheet from its first") << 17 << 5 << 21 << 1 << 0;
        QTest::newRow("third sheet") << 49 << 5 << 21 << 2 << 11;
        QTest::newRow("start at the last") << 1 << 8 << 8 << 1 << 0;
        QTest::newRow("start below 1") << 3 << 0 << 24 << 0 << 3;
        QTest::newRow("start past the sheet") << 0 << 40 << 14 << 0 << 13;
    }

    void startLabel() {
        QFETCH(int, k);
        QFETCH(int, start);
        QFETCH(int, perSheet);
        QFETCH(int, sheet);
        QFETCH(int, slot);
        QCOMPARE(labelPlace(k, start, perSheet), (LabelPlace{sheet, slot}));
    }

    void sheetCount() {
        QCOMPARE(labelSheetCount(50, 5, 21), 3);  // 54 labels' places
        QCOMPARE(labelSheetCount(17, 5, 21), 1);
        QCOMPARE(labelSheetCount(18, 5, 21), 2);
        QCOMPARE(labelSheetCount(0, 5, 21), 1);
        QCOMPARE(labelSheetCount(8, 1, 8), 1);
    }

    // Five line slots centred when they fit inside the padding; else from the top padding, and
    // the lines that would pass the bottom padding left out.
    void lineLayout_data() {
        QTest::addColumn<double>("labelHeight");
        QTest::addColumn<double>("lineHeight");
        QTest::addColumn<double>("firstTop");
        QTest::addColumn<int>("fitting");
        QTest::newRow("3 x 7 A4, 10 pt") << 38.1 << 4.0 << 9.05 << 5;
        QTest::newRow("exactly five") << 34.0 << 6.0 << 2.0 << 5;
        QTest::newRow("four of five") << 33.9 << 7.0 << 2.0 << 4;
        QTest::newRow("one") << 12.0 << 7.5 << 2.0 << 1;
        QTest::newRow("none") << 10.0 << 7.0 << 2.0 << 0;
    }

    void lineLayout() {
        QFETCH(double, labelHeight);
        QFETCH(double, lineHeight);
        QFETCH(double, firstTop);
        QFETCH(int, fitting);
        const LabelLineLayout layout = labelLineLayout(labelHeight, lineHeight);
        QVERIFY2(near(layout.firstTop, firstTop), qPrintable(QString::number(layout.firstTop)));
        QCOMPARE(layout.fitting, fitting);
        // What fits stays inside the padding.
        QVERIFY(layout.firstTop + layout.fitting * lineHeight <=
                labelHeight - kLabelPadding + kTolerance);
    }

    // The letter sheet with a start label: the first labels' cells stay empty and the sheet
    // grows by their rows; the offset moves the margins, not the page's room.
    void letterSheetStartAndOffset() {
        Table table(8, 1);
        table.setText(0, 0, u"Name");
        LabelJob job;
        job.ticked = {true, false, false, false, false};
        job.lines[0] = {0, -1, -1, {}, {}};
        for (int r = 1; r <= 7; ++r) {
            table.setText(r, 0, QStringLiteral("N%1").arg(r));
            job.records.push_back(r);
        }
        job.startLabel = 5;
        job.offset = QPointF(2.54, -1.27);
        SheetBook f1;
        fillLabelSheet(f1, table, job);
        QCOMPARE(f1.maxRow(), 6 + 6 * 11 / 3);
        QCOMPARE(f1.printAreaRef(), QStringLiteral("A1:C28"));
        QCOMPARE(f1.text(1, 1), QString());
        QCOMPARE(f1.text(7, 1), QString());
        QCOMPARE(f1.text(7, 2), QStringLiteral("N1"));  // label 5: second column, second row
        QCOMPARE(f1.text(7, 3), QStringLiteral("N2"));
        QCOMPARE(f1.text(13, 1), QStringLiteral("N3"));
        QCOMPARE(f1.text(19, 2), QStringLiteral("N7"));
        QCOMPARE(f1.printLeftMargin(), 0.5);
        QCOMPARE(f1.printRightMargin(), 0.3);
        QCOMPARE(f1.printTopMargin(), 0.45);
        QCOMPARE(f1.printBottomMargin(), 0.55);
    }

    void settings_data() {
        QTest::addColumn<QStringList>("stored");  // format, start, offset x, offset y
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("start");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("nothing stored") << QStringList{"", "", "", ""} << 0 << 1 << 0.0 << 0.0;
        QTest::newRow("as written")
            << QStringList{"3 x 7 A4", "5", "1.5", "-2.0"} << 3 << 5 << 1.5 << -2.0;
        QTest::newRow("out of range")
            << QStringList{"2 x 4 A4", "21", "15", "-99"} << 7 << 8 << 10.0 << -10.0;
        QTest::newRow("unreadable")
            << QStringList{"3 x 7", "five", "nan", "inf"} << 0 << 1 << 0.0 << 0.0;
        QTest::newRow("start below 1")
            << QStringList{"2 x 5", "-3", " 0.5 ", "1e1"} << 2 << 1 << 0.5 << 10.0;
    }

    void settings() {
        QFETCH(QStringList, stored);
        QFETCH(int, format);
        QFETCH(int, start);
        QFETCH(double, x);
        QFETCH(double, y);
        const char* names[] = {"LabelFormat", "LabelStart", "LabelOffsetX", "LabelOffsetY"};
        std::map<QString, QString> store;
        for (int i = 0; i < 4; ++i) {
            store[QString::fromLatin1(names[i])] = stored[i];
        }
        const auto read = [&store](const char* name) { return store[QString::fromLatin1(name)]; };
        const LabelSettings s = readLabelSettings(read);
        QCOMPARE(int(s.format), format);
        QCOMPARE(s.startLabel, start);
        QCOMPARE(s.offsetX, x);
        QCOMPARE(s.offsetY, y);

        // Written back, the settings read the same.
        std::map<QString, QString> written;
        writeLabelSettings(s, [&written](const char* name, const QString& text) {
            written[QString::fromLatin1(name)] = text;
        });
        QCOMPARE(written.size(), size_t(4));
        const LabelSettings again =
            readLabelSettings([&written](const char* name) { return written[name]; });
        QCOMPARE(again, s);
    }
};

QTEST_GUILESS_MAIN(TstLabelSheet)
#include "tst_labelsheet.moc"
