// Big .xlsx sheets are read in runs of rows on several threads: whatever the shape of the
// sheet's XML, the table must be the one a single reader makes, in the sheet's order, and a
// sheet that cannot be cut safely (comments, CDATA, a damaged end) must still be read right or
// refused as before.
#include <QTemporaryDir>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "WorkbookTestSupport.h"
#include "core/document/Workbook.h"

using namespace pellumar;
using namespace pellumar::testing;

namespace {

constexpr int kRows = 8000;  // about 1.3 MB of sheet: several runs

enum class Shape { Plain, Prefixed, Unnumbered, Gaps, Comments, Cdata, Wide };

struct Sheet {
    QByteArray data;  // the inside of <sheetData>
    Rows rows;        // what the table must hold
};

// A sheet of `kRows` rows whose cells are shared strings, inline strings (some not ASCII, some
// with escapes) and numbers, in the shape asked for.
Sheet bigSheet(Shape shape, const QByteArray& p) {
    Sheet sheet;
    sheet.data.reserve(kRows * 200);
    int number = 0;
    for (int r = 0; r < kRows; ++r) {
        number += shape == Shape::Gaps && r % 97 == 5 ? 3 : 1;  // two empty rows now and then
        while (sheet.rows.size() < number - 1) {
            sheet.rows << QStringList{"", "", "", ""};
        }
        const QString text = r % 7 == 3    ? QStringLiteral("Zoë %1 漢字").arg(r)
                             : r % 11 == 4 ? QStringLiteral("a\tb %1").arg(r)
                                           : QStringLiteral("name %1").arg(r);
        const QByteArray xmlText = r % 11 == 4 && r % 7 != 3
                                       ? QByteArray("a_x0009_b ") + QByteArray::number(r)
                                       : text.toUtf8();
        const bool numbered = shape != Shape::Unnumbered;
        const QByteArray n = QByteArray::number(number);
        sheet.data += "<" + p + "row" + (numbered ? " r=\"" + n + "\"" : "") + ">";
        const auto cellStart = [&](const char* col, const char* type) {
            return "<" + p + "c" + (numbered ? QByteArray(" r=\"") + col + n + "\"" : "") +
                   " t=\"" + type + "\">";
        };
        sheet.data += cellStart("A", "s") + "<" + p + "v>" + QByteArray::number(r % 2) + "</" + p +
                      "v></" + p + "c>";
        sheet.data += cellStart("B", "inlineStr") + "<" + p + "is><" + p + "t>";
        if (shape == Shape::Cdata) {
            sheet.data += "<![CDATA[x</" + p + "row>y]]>";
        }
        sheet.data += xmlText + "</" + p + "t></" + p + "is></" + p + "c>";
        sheet.data += "<" + p + "c" + (numbered ? " r=\"C" + n + "\"" : "") + "><" + p + "v>" +
                      QByteArray::number(r * 0.25) + "</" + p + "v></" + p + "c>";
        if (shape == Shape::Wide) {
            sheet.data += "<" + p + "c r=\"D" + n + "\" t=\"inlineStr\"><" + p + "is><" + p + "t>" +
                          QByteArray(300, 'w') + "</" + p + "t></" + p + "is></" + p + "c>";
        }
        sheet.data += "</" + p + "row>";
        if (shape == Shape::Comments) {
            sheet.data += "<!-- </" + p + "row> <" + p + "row r=\"1\"> -->";
        }
        const QString b =
            (shape == Shape::Cdata ? QStringLiteral("x</%1row>y").arg(QString(p)) : QString()) +
            text;
        sheet.rows << QStringList{r % 2 ? "two" : "one", b, QString::number(r * 0.25),
                                  shape == Shape::Wide ? QString(300, u'w') : QString()};
    }
    return sheet;
}

Parts partsOf(const Sheet& sheet, const QByteArray& prefix) {
    Parts parts = xlsxParts(sheet.data, {}, "<si><t>one</t></si><si><t>two</t></si>");
    if (!prefix.isEmpty()) {
        // The main namespace under a prefix, as some programs write it.
        const QByteArray x = prefix.chopped(1);
        parts[3].second =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + x + ":worksheet xmlns:" + x +
            "=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><" + prefix +
            "sheetData>\n" + sheet.data + "</" + prefix + "sheetData></" + x + ":worksheet>";
    }
    return parts;
}

enum class OdsShape { Plain, Nested, Grouped };

// A first table of `kRows` rows (some repeated, some empty and repeated) followed by a second
// table whose rows must not be read with it.
Sheet bigOdsSheet(OdsShape shape) {
    Sheet sheet;
    QByteArray& x = sheet.data;
    x += "<table:table table:name=\"First\">";
    for (int r = 0; r < kRows; ++r) {
        if (shape == OdsShape::Grouped && r % 1000 == 1) {
            x += "<table:table-row-group>";
        }
        const int repeat = r % 50 == 7 ? 3 : 1;
        const QString text =
            r % 7 == 3 ? QStringLiteral("Zoë %1 漢字").arg(r) : QStringLiteral("name %1").arg(r);
        x += "<table:table-row" +
             (repeat > 1 ? " table:number-rows-repeated=\"" + QByteArray::number(repeat) + "\""
                         : QByteArray()) +
             ">";
        x +=
            "<table:table-cell office:value-type=\"string\"><text:p>" + text.toUtf8() + "</text:p>";
        if (shape == OdsShape::Nested && r % 500 == 9) {
            x += "<table:table table:name=\"inner\"><table:table-row><table:table-cell "
                 "office:value-type=\"string\"><text:p>inner</text:p></table:table-cell>"
                 "</table:table-row></table:table>";
        }
        x += "</table:table-cell><table:table-cell office:value-type=\"float\" office:value=\"" +
             QByteArray::number(r * 0.25) + "\"/></table:table-row>";
        for (int i = 0; i < repeat; ++i) {
            sheet.rows << QStringList{text, QString::number(r * 0.25)};
        }
        if (r % 97 == 5) {
            x += "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
                 "table:number-columns-repeated=\"2\"/></table:table-row>";
            sheet.rows << QStringList{"", ""} << QStringList{"", ""};
        }
        if (shape == OdsShape::Grouped && r % 1000 == 0 && r > 0) {
            x += "</table:table-row-group>";
        }
    }
    if (shape == OdsShape::Grouped && (kRows - 1) % 1000 != 0) {
        x += "</table:table-row-group>";
    }
    x += "</table:table><table:table table:name=\"Second\">";
    for (int r = 0; r < 3000; ++r) {
        x += "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>other"
             "</text:p></table:table-cell></table:table-row>";
    }
    x += "</table:table>";
    return sheet;
}

}  // namespace

class WorkbookRunsTest : public QObject {
    Q_OBJECT

private slots:
    void bigSheetsReadAsOneReaderWould_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QByteArray>("prefix");
        QTest::newRow("plain") << int(Shape::Plain) << QByteArray();
        QTest::newRow("a prefix on every element") << int(Shape::Prefixed) << QByteArray("x:");
        QTest::newRow("rows and cells without numbers") << int(Shape::Unnumbered) << QByteArray();
        QTest::newRow("empty rows between") << int(Shape::Gaps) << QByteArray();
        QTest::newRow("comments holding row tags") << int(Shape::Comments) << QByteArray();
        QTest::newRow("CDATA holding row tags") << int(Shape::Cdata) << QByteArray();
        QTest::newRow("long rows") << int(Shape::Wide) << QByteArray();
    }
    void bigSheetsReadAsOneReaderWould() {
        QFETCH(int, shape);
        QFETCH(QByteArray, prefix);
        const Sheet sheet = bigSheet(Shape(shape), prefix);
        QTemporaryDir dir;
        const QString path = dir.filePath("big.xlsx");
        QVERIFY(writeZip(path, partsOf(sheet, prefix)));
        auto loaded = loadWorkbook(path, WorkbookKind::Xlsx);
        QVERIFY2(loaded.ok(), qPrintable(loaded.ok() ? QString() : loaded.message()));
        Rows rows = rowsOf(loaded.value().table);
        if (Shape(shape) != Shape::Wide) {
            for (QStringList& row : rows) {
                row << QString();  // the fourth column, empty
            }
        }
        QCOMPARE(rows.size(), sheet.rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i], sheet.rows[i]);
        }
        QCOMPARE(loaded.value().table.columnAttributes(2).dataType, int(DataTypeNumber));
    }

    // The first sheet of a big .ods is read in runs too, and stops at its own end.
    void bigOdsSheetsReadAsOneReaderWould_data() {
        QTest::addColumn<int>("shape");
        QTest::newRow("plain") << int(OdsShape::Plain);
        QTest::newRow("tables inside cells") << int(OdsShape::Nested);
        QTest::newRow("row groups") << int(OdsShape::Grouped);
    }
    void bigOdsSheetsReadAsOneReaderWould() {
        QFETCH(int, shape);
        const Sheet sheet = bigOdsSheet(OdsShape(shape));
        QTemporaryDir dir;
        const QString path = dir.filePath("big.ods");
        QVERIFY(writeZip(path, odsParts(sheet.data)));
        auto loaded = loadWorkbook(path, WorkbookKind::Ods);
        QVERIFY2(loaded.ok(), qPrintable(loaded.ok() ? QString() : loaded.message()));
        const Rows rows = rowsOf(loaded.value().table);
        QCOMPARE(rows.size(), sheet.rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i], sheet.rows[i]);
        }
        auto second = loadWorkbook(path, WorkbookKind::Ods, QStringLiteral("Second"));
        QVERIFY(second.ok());
        QCOMPARE(second.value().table.rowCount(), 3000);

        // Cut short inside the first sheet: refused.
        Parts parts = odsParts(sheet.data);
        parts[1].second.truncate(parts[1].second.size() / 2);
        QVERIFY(writeZip(path, parts));
        loaded = loadWorkbook(path, WorkbookKind::Ods);
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.message().contains(u"its content cannot be read"),
                 qPrintable(loaded.message()));
    }

    // A big sheet whose end is damaged, or whose rows are not closed, is refused as before, and
    // a read cancelled part way gives nothing.
    void damagedOrCancelledBigSheets() {
        const Sheet sheet = bigSheet(Shape::Plain, {});
        QTemporaryDir dir;
        const QString path = dir.filePath("cut.xlsx");
        Parts parts = partsOf(sheet, {});
        parts[3].second.chop(parts[3].second.size() / 3);
        QVERIFY(writeZip(path, parts));
        auto loaded = loadWorkbook(path, WorkbookKind::Xlsx);
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.message().contains(u"its sheet \"S\" cannot be read"),
                 qPrintable(loaded.message()));

        parts = partsOf(sheet, {});
        parts[3].second.replace(parts[3].second.size() / 2, 6, "<row>");  // a row left open
        QVERIFY(writeZip(path, parts));
        loaded = loadWorkbook(path, WorkbookKind::Xlsx);
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.message().contains(u"cannot be read"), qPrintable(loaded.message()));

        QVERIFY(writeZip(path, partsOf(sheet, {})));
        int calls = 0;
        loaded =
            loadWorkbook(path, WorkbookKind::Xlsx, {}, [&](qint64, qint64) { return ++calls < 2; });
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.message().contains(u"cancel", Qt::CaseInsensitive),
                 qPrintable(loaded.message()));
    }
};

QTEST_GUILESS_MAIN(WorkbookRunsTest)
#include "tst_workbookruns.moc"
