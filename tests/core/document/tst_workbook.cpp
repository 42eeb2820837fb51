// Workbooks (.xlsx and .ods): what reading makes of each kind of cell value, the columns' types
// and widths, sheets, the refusal of bad files, and what writing keeps (round trips, types,
// limits, the look of the sheet).
#include <QTemporaryDir>
#include <QtTest>

#include <minizip/zip.h>

#include "DocumentTestSupport.h"
#include "WorkbookTestSupport.h"
#include "core/document/TextFile.h"
#include "core/document/Workbook.h"
#include "core/document/WorkbookValues.h"

using namespace pellumar;
using namespace pellumar::testing;

Q_DECLARE_METATYPE(pellumar::WorkbookKind)

namespace {

struct Loaded {
    Table table;
    QStringList warnings;
    QString error;
};

Loaded load(const QString& path, WorkbookKind kind, const QString& sheet = {}) {
    auto loaded = loadWorkbook(path, kind, sheet);
    if (!loaded) {
        return {Table(), {}, loaded.message()};
    }
    return {std::move(loaded.value().table), loaded.value().warnings, {}};
}

QString extension(WorkbookKind kind) {
    return kind == WorkbookKind::Xlsx ? QStringLiteral("xlsx") : QStringLiteral("ods");
}

// An .xlsx whose sheet part announces `announced` bytes once inflated, and holds `compressed`
// bytes that are never meant to be inflated.
bool writeXlsxAnnouncing(const QString& path, qint64 announced, qint64 compressed) {
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip) {
        return false;
    }
    bool ok = true;
    for (const auto& [name, bytes] : xlsxParts("<row/>")) {
        const QByteArray entry = name.toUtf8();
        zip_fileinfo info{};
        const bool sheet = name.endsWith(u"sheet1.xml");
        ok = ok && zipOpenNewFileInZip2_64(zip, entry.constData(), &info, nullptr, 0, nullptr, 0,
                                           nullptr, Z_DEFLATED, 1, sheet ? 1 : 0, 1) == ZIP_OK;
        if (sheet) {
            const QByteArray block(1 << 20, '\x55');
            for (qint64 done = 0; ok && done < compressed; done += block.size()) {
                ok = zipWriteInFileInZip(zip, block.constData(), block.size()) == ZIP_OK;
            }
            ok = ok && zipCloseFileInZipRaw64(zip, static_cast<ZPOS64_T>(announced), 0) == ZIP_OK;
        } else {
            ok = ok &&
                 zipWriteInFileInZip(zip, bytes.constData(), static_cast<unsigned>(bytes.size())) ==
                     ZIP_OK &&
                 zipCloseFileInZip(zip) == ZIP_OK;
        }
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

// `size` bytes of text that deflate about two to one.
QByteArray hexNoise(qsizetype size) {
    QByteArray noise(size, Qt::Uninitialized);
    quint32 state = 12345;
    for (char& c : noise) {
        state = state * 1664525u + 1013904223u;
        c = "0123456789abcdef"[state >> 28];
    }
    return noise;
}

void addKinds() {
    QTest::addColumn<WorkbookKind>("kind");
    QTest::newRow("xlsx") << WorkbookKind::Xlsx;
    QTest::newRow("ods") << WorkbookKind::Ods;
}

}  // namespace

class WorkbookTest : public QObject {
    Q_OBJECT

private slots:
    void numberTexts_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("minus zero") << -0.0 << "0";
        QTest::newRow("shortest") << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("small plain") << 1e-4 << "0.0001";
        QTest::newRow("below plain") << 9.5e-5 << "9.5E-05";
        QTest::newRow("large plain") << 999999999999999.0 << "999999999999999";
        QTest::newRow("1E+15") << 1e15 << "1E+15";
        QTest::newRow("negative exponent") << -1.5e-7 << "-1.5E-07";
        QTest::newRow("three-digit exponent") << 1e100 << "1E+100";
        QTest::newRow("digits and zeros") << 1234500.0 << "1234500";
    }
    void numberTexts() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(workbook::numberText(value)), text);
    }

    // The fixture made by data/make-workbooks.py with openpyxl: every kind of value.
    void everyValueKindOfAnXlsx() {
        const Loaded l = load(QFINDTESTDATA("data/kinds.xlsx"), WorkbookKind::Xlsx);
        QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
        const Rows rows = rowsOf(l.table);
        QCOMPARE(l.table.rowCount(), 7);  // the trailing styled row 12 is dropped
        QCOMPARE(l.table.columnCount(), 14);
        QCOMPARE(rows[0].first(), QStringLiteral("Name"));
        QCOMPARE(rows[1], (QStringList{"Ann", "12", "0.25", "3.5", "1990-03-14",
                                       "2024-03-14 13:05:09", "07:30:00", "TRUE", "#DIV/0!", "",
                                       "102", "x", "Bold and plain\nnext", "shared text"}));
        QCOMPARE(rows[2].mid(1, 8),
                 (QStringList{"1E+20", "0.5", "1234.5", "1900-01-01", "2000-01-01 00:00:01",
                              "23:59:59", "FALSE", "#N/A"}));
        QCOMPARE(rows[3][1], QStringLiteral("0.3"));
        QCOMPARE(rows[3][4], QStringLiteral("2099-12-31"));
        QCOMPARE(rows[3][6], QStringLiteral("00:00:01"));
        // Merged A5:B5 keeps its value in A5; the empty row 6 stays.
        QCOMPARE(rows[4], QStringList({"merged"}) + QStringList(13));
        QCOMPARE(rows[5], QStringList(14));
        QCOMPARE(rows[6][0], QStringLiteral("after a gap"));
        // Three formulas without a computed value: one warning.
        QCOMPARE(l.warnings.size(), 1);
        QVERIFY2(l.warnings[0].startsWith(u"3 formula cell(s)"), qPrintable(l.warnings[0]));
    }

    void columnTypesFromAnXlsx() {
        const Loaded l = load(QFINDTESTDATA("data/kinds.xlsx"), WorkbookKind::Xlsx);
        QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
        const auto type = [&](int c) { return l.table.columnAttributes(c).dataType; };
        const auto format = [&](int c) { return l.table.columnAttributes(c).format; };
        QCOMPARE(type(0), int(DataTypeText));
        QCOMPARE(type(1), int(DataTypeNumber));
        QCOMPARE(format(1), QStringLiteral("0.0"));
        QCOMPARE(type(2), int(DataTypeNumber));
        QCOMPARE(format(2), QStringLiteral("#.00%"));
        QCOMPARE(type(3), int(DataTypeMoney));
        QCOMPARE(format(3), QStringLiteral("$#,###.00"));
        QCOMPARE(type(4), int(DataTypeDate));
        QCOMPARE(format(4), QStringLiteral("dd-Mmm-yyyy"));
        QCOMPARE(type(5), int(DataTypeDate));
        QCOMPARE(format(5), QStringLiteral("mm/dd/yy hh:mm:ss"));
        QCOMPARE(type(6), int(DataTypeText));  // times alone have no date format of their own
        QCOMPARE(type(7), int(DataTypeCheckbox));
        QCOMPARE(type(8), int(DataTypeText));
        QCOMPARE(type(10), int(DataTypeNumber));
        QCOMPARE(type(13), int(DataTypeText));  // text and numbers
        QCOMPARE(l.table.columnAttributes(0).width, (20 * 7 + 5) * 15);
        QVERIFY(l.table.columnAttributes(13).hidden);
        QVERIFY(!l.table.columnAttributes(12).hidden);
    }

    void sheetsByNameAndNumber() {
        const QString path = QFINDTESTDATA("data/kinds.xlsx");
        const auto names = workbookSheetNames(path, WorkbookKind::Xlsx);
        QVERIFY(names.ok());
        QCOMPARE(names.value(), (QStringList{"People", "Second", "Third"}));
        QCOMPARE(rowsOf(load(path, WorkbookKind::Xlsx, "Second").table),
                 (Rows{{"Only"}, {"in two"}}));
        QCOMPARE(rowsOf(load(path, WorkbookKind::Xlsx, "3").table), (Rows{{"Third title"}}));
        QCOMPARE(rowsOf(load(path, WorkbookKind::Xlsx, "third").table), (Rows{{"Third title"}}));
        const QString error = load(path, WorkbookKind::Xlsx, "Fourth").error;
        QVERIFY2(error.contains(u"no sheet named \"Fourth\" (its sheets: People, Second, Third)"),
                 qPrintable(error));
    }

    void datesOf1904() {
        const Loaded l = load(QFINDTESTDATA("data/dates1904.xlsx"), WorkbookKind::Xlsx);
        QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
        QCOMPARE(rowsOf(l.table)[1], (QStringList{"2024-03-14", "1904-01-02 12:00:00"}));
    }

    // Cells written by hand: shared and inline strings, escapes, a date cell, formulas.
    void xlsxCellsByHand() {
        QTemporaryDir dir;
        const QString path = dir.filePath("hand.xlsx");
        const QByteArray styles =
            "<numFmts><numFmt numFmtId=\"170\" formatCode=\"[$-409]yyyy/mm/dd;@\"/></numFmts>"
            "<cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>"
            "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"170\"/><xf numFmtId=\"22\"/></cellXfs>";
        const QByteArray shared = "<si><t>one</t></si><si><r><t>tw</t></r><r><t>o</t></r></si>";
        const QByteArray data =
            "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v></c></row>"
            "<row r=\"3\"><c r=\"A3\" s=\"1\"><v>45365</v></c><c r=\"B3\" s=\"2\"><v>45365.5</v>"
            "</c><c r=\"C3\" t=\"d\"><v>2024-03-14T08:00:00</v></c></row>"
            "<row><c t=\"inlineStr\"><is><t>a_x0009_b</t></is></c><c t=\"str\"><f>A1</f><v>"
            "one</v></c><c><f>1/0</f></c><c t=\"e\"><f>1/0</f><v>#DIV/0!</v></c></row>";
        QVERIFY(writeZip(path, xlsxParts(data, styles, shared)));
        const Loaded l = load(path, WorkbookKind::Xlsx);
        QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
        QCOMPARE(rowsOf(l.table),
                 (Rows{{"one", "", "two", ""},
                       {"", "", "", ""},
                       {"2024-03-14", "2024-03-14 12:00:00", "2024-03-14 08:00:00", ""},
                       {"a\tb", "one", "", "#DIV/0!"}}));
        QCOMPARE(l.warnings.size(), 1);
        QVERIFY(l.warnings[0].startsWith(u"1 formula cell(s)"));
        QCOMPARE(l.table.columnAttributes(0).dataType, int(DataTypeText));
        QCOMPARE(l.table.columnAttributes(2).dataType, int(DataTypeDate));
    }

    void odsCellsByHand() {
        QTemporaryDir dir;
        const QString path = dir.filePath("hand.ods");
        const QByteArray styles =
            "<number:date-style style:name=\"D1\"><number:year number:style=\"long\"/>"
            "<number:text>-</number:text><number:month number:style=\"long\"/><number:text>-"
            "</number:text><number:day number:style=\"long\"/></number:date-style>"
            "<number:number-style style:name=\"N2\"><number:number number:decimal-places=\"2\" "
            "number:grouping=\"true\"/></number:number-style>"
            "<style:style style:name=\"ce1\" style:family=\"table-cell\" "
            "style:data-style-name=\"D1\"/>"
            "<style:style style:name=\"ce2\" style:family=\"table-cell\" "
            "style:data-style-name=\"N2\"/>"
            "<style:style style:name=\"co1\" style:family=\"table-column\">"
            "<style:table-column-properties style:column-width=\"1in\"/></style:style>";
        const QByteArray sheet =
            "<table:table table:name=\"First\">"
            "<table:table-column table:style-name=\"co1\"/>"
            "<table:table-column table:number-columns-repeated=\"2\"/>"
            "<table:table-column table:visibility=\"collapse\"/>"
            "<table:table-column table:number-columns-repeated=\"1020\"/>"
            "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Two"
            "<text:s text:c=\"2\"/>spaces</text:p><text:p>and <text:span>a span</text:span>"
            "<text:line-break/>end<office:annotation><text:p>note</text:p></office:annotation>"
            "</text:p></table:table-cell><table:table-cell table:number-columns-repeated=\"2\" "
            "office:value-type=\"float\" office:value=\"1.5\"><text:p>1.50</text:p>"
            "</table:table-cell><table:table-cell table:number-columns-repeated=\"1021\"/>"
            "</table:table-row>"
            "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
            "table:style-name=\"ce1\" office:value-type=\"date\" "
            "office:date-value=\"2024-03-14T00:00:00\"/><table:table-cell "
            "office:value-type=\"percentage\" office:value=\"0.125\"/><table:table-cell "
            "table:style-name=\"ce2\" office:value-type=\"float\" office:value=\"1234.5\"/>"
            "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>"
            "</table:table-row>"
            "<table:table-row><table:table-cell table:number-columns-spanned=\"2\" "
            "office:value-type=\"date\" office:date-value=\"2024-03-14T13:05:09\"/>"
            "<table:covered-table-cell office:value-type=\"string\"><text:p>hidden</text:p>"
            "</table:covered-table-cell><table:table-cell office:value-type=\"time\" "
            "office:time-value=\"PT13H05M09S\"/><table:table-cell table:formula=\"of:=1/0\"/>"
            "</table:table-row>"
            "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
            "table:number-columns-repeated=\"1024\"/></table:table-row>"
            "</table:table><table:table table:name=\"Second\"><table:table-row>"
            "<table:table-cell office:value-type=\"currency\" office:value=\"-5\"/>"
            "</table:table-row></table:table>";
        QVERIFY(writeZip(path, odsParts(sheet, styles)));
        const Loaded l = load(path, WorkbookKind::Ods);
        QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
        QCOMPARE(rowsOf(l.table), (Rows{{"Two  spaces\nand a span\nend", "1.5", "1.5", ""},
                                        {"2024-03-14", "0.125", "1234.5", "TRUE"},
                                        {"2024-03-14", "0.125", "1234.5", "TRUE"},
                                        {"2024-03-14 13:05:09", "", "13:05:09", ""}}));
        QCOMPARE(l.warnings.size(), 1);
        QCOMPARE(l.table.columnAttributes(0).width, 1440);
        QVERIFY(l.table.columnAttributes(3).hidden);
        QCOMPARE(l.table.columnAttributes(0).dataType, int(DataTypeDate));
        QCOMPARE(l.table.columnAttributes(0).format, QStringLiteral("mm/dd/yy hh:mm:ss"));
        QCOMPARE(l.table.columnAttributes(1).format, QStringLiteral("%"));  // no style
        QCOMPARE(l.table.columnAttributes(2).dataType, int(DataTypeText));  // numbers and a time
        QCOMPARE(l.table.columnAttributes(3).dataType, int(DataTypeCheckbox));
        QCOMPARE(rowsOf(load(path, WorkbookKind::Ods, "2").table), (Rows{{"-5"}}));
        QCOMPARE(load(path, WorkbookKind::Ods, "2").table.columnAttributes(0).dataType,
                 int(DataTypeText));  // the title row is not counted
        const auto names = workbookSheetNames(path, WorkbookKind::Ods);
        QVERIFY(names.ok());
        QCOMPARE(names.value(), (QStringList{"First", "Second"}));
    }

    void badFilesAreRefused_data() {
        QTest::addColumn<WorkbookKind>("kind");
        QTest::addColumn<int>("shape");
        QTest::addColumn<QString>("message");
        const QString notXlsx = QStringLiteral("it is not an Excel workbook (.xlsx).");
        const QString notOds = QStringLiteral("it is not an OpenDocument spreadsheet (.ods).");
        const QString password = QStringLiteral("the workbook is protected by a password");
        const QString damaged = QStringLiteral("is damaged: its zip");
        const QString bomb = QStringLiteral("inflates to more than 200 times its compressed size");
        QTest::newRow("xlsx: text") << WorkbookKind::Xlsx << 0 << notXlsx;
        QTest::newRow("ods: text") << WorkbookKind::Ods << 0 << notOds;
        QTest::newRow("xlsx: damaged zip") << WorkbookKind::Xlsx << 1 << damaged;
        QTest::newRow("ods: damaged zip") << WorkbookKind::Ods << 1 << damaged;
        QTest::newRow("xlsx: truncated") << WorkbookKind::Xlsx << 2 << damaged;
        QTest::newRow("xlsx: encrypted") << WorkbookKind::Xlsx << 3 << password;
        QTest::newRow("ods: encrypted") << WorkbookKind::Ods << 4 << password;
        QTest::newRow("xlsx: old .xls") << WorkbookKind::Xlsx << 5
                                        << QStringLiteral(
                                               "it is an old binary Excel workbook "
                                               "(.xls)");
        QTest::newRow("xlsx: bomb") << WorkbookKind::Xlsx << 6 << bomb;
        QTest::newRow("ods: bomb") << WorkbookKind::Ods << 6 << bomb;
        QTest::newRow("xlsx: a zip of something else") << WorkbookKind::Xlsx << 7 << notXlsx;
        QTest::newRow("ods: an .xlsx") << WorkbookKind::Ods << 8 << notOds;
        QTest::newRow("xlsx: a sheet announcing 5 GB")
            << WorkbookKind::Xlsx << 10 << QStringLiteral("inflates to more than 4 GB");
        QTest::newRow("xlsx: styles of 40 MB")
            << WorkbookKind::Xlsx << 11
            << QStringLiteral("is too large to open: its part xl/styles.xml holds more than 32 MB");
        QTest::newRow("xlsx: broken XML")
            << WorkbookKind::Xlsx << 9 << QStringLiteral("its sheet \"S\" cannot be read");
    }
    void badFilesAreRefused() {
        QFETCH(WorkbookKind, kind);
        QFETCH(int, shape);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("bad." + extension(kind));
        const QByteArray ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        const auto good = [&] {
            return kind == WorkbookKind::Xlsx
                       ? xlsxParts("<row><c t=\"inlineStr\"><is><t>x</t></is></c></row>")
                       : odsParts(
                             "<table:table table:name=\"T\"><table:table-row>"
                             "<table:table-cell office:value-type=\"float\" "
                             "office:value=\"1\"/></table:table-row></table:table>");
        };
        QFile file(path);
        switch (shape) {
            case 0:
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("Name,Count\r\nAnn,1\r\n");
                break;
            case 1:
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(QByteArray("PK\x03\x04", 4) + QByteArray(300, 'x'));
                break;
            case 2: {
                QVERIFY(writeZip(path, good()));
                QVERIFY(file.open(QIODevice::ReadWrite));
                file.resize(file.size() - 30);  // the end of the zip's directory is gone
                break;
            }
            case 3:
            case 5: {
                QVERIFY(file.open(QIODevice::WriteOnly));
                QByteArray body = ole + QByteArray(1000, '\0');
                if (shape == 3) {
                    for (const char c : QByteArray("EncryptedPackage")) {
                        body += c;
                        body += '\0';
                    }
                } else {
                    body += QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
                }
                file.write(body);
                break;
            }
            case 4: {
                Parts parts = good();
                parts.last().second =
                    "<manifest:manifest><manifest:file-entry manifest:full-path=\"content.xml\">"
                    "<manifest:encryption-data/></manifest:file-entry></manifest:manifest>";
                QVERIFY(writeZip(path, parts));
                break;
            }
            case 6: {
                // 4 MB of spaces inside the sheet compress about a thousand times.
                Parts parts = good();
                parts[kind == WorkbookKind::Xlsx ? 3 : 1].second.append(QByteArray(4 << 20, ' '));
                QVERIFY(writeZip(path, parts));
                break;
            }
            case 7:
                QVERIFY(writeZip(path, {{"readme.txt", "hello"}}));
                break;
            case 8:
                QVERIFY(writeZip(path, xlsxParts("<row/>")));
                break;
            case 10:
                // 22 MB may inflate 200 times, past 4 GB: the 4 GB bound is the one met.
                QVERIFY(writeXlsxAnnouncing(path, qint64{5} << 30, qint64{22} << 20));
                break;
            case 11:
                QVERIFY(writeZip(path, xlsxParts("<row/>", "<!--" + hexNoise(40 << 20) + "-->")));
                break;
            case 9:
                QVERIFY(writeZip(path, xlsxParts("<row><c><v>1</v></c><row>")));
                break;
            default:
                QFAIL("no such shape");
        }
        file.close();
        const auto loaded = loadWorkbook(path, kind);
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.message().contains(message), qPrintable(loaded.message()));
        QVERIFY(loaded.message().contains(QDir::toNativeSeparators(path)));
    }

    // Comma text -> workbook -> the same texts, whatever the cells hold.
    void commaTextRoundTrip_data() { addKinds(); }
    void commaTextRoundTrip() {
        QFETCH(WorkbookKind, kind);
        const Rows rows{
            {"Name", "Zip", "Amount", "Note", ""},
            {"Ann", "01234", "12.50", "two\nlines", " lead"},
            {"", "", "", "", ""},
            {"Bøb \"q\"", "1E+20", "-0", "a  b\tc", "trail  "},
            {"_x0041_ stays", "2024-03-14", "TRUE", "<&>", "x"},
            {"long", QString(40000, u'w'), "=1+2", "#N/A", "€"},
        };
        Table table = tableOf(kind == WorkbookKind::Xlsx ? rows.mid(0, 5) : rows);
        if (kind == WorkbookKind::Xlsx) {
            // Characters XML cannot carry travel as _xHHHH_ escapes.
            table.setText(4, 4, QStringLiteral("a\x01b\x1f_x") + QChar(0xFFFE));
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("round." + extension(kind));
        const auto saved = saveWorkbook(table, path, kind);
        QVERIFY2(saved.ok(), saved.ok() ? "" : qPrintable(saved.message()));
        const Loaded l = load(path, kind);
        QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
        QCOMPARE(rowsOf(l.table), rowsOf(table));
    }

    // Parts of several MB go through the writers' buffers in pieces.
    void aBiggerTableRoundTrip_data() { addKinds(); }
    void aBiggerTableRoundTrip() {
        QFETCH(WorkbookKind, kind);
        Table table(30000, 3);
        for (int r = 0; r < table.rowCount(); ++r) {
            table.setText(r, 0, QStringLiteral("record %1").arg(r));
            table.setText(r, 2, QString::number(r * 7));
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("bigger." + extension(kind));
        QVERIFY(saveWorkbook(table, path, kind).ok());
        const Loaded l = load(path, kind);
        QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
        QCOMPARE(rowsOf(l.table), rowsOf(table));
    }

    // Typed columns are written as numbers, dates and booleans, and read back with their types.
    void typedColumnsBothWays_data() { addKinds(); }
    void typedColumnsBothWays() {
        QFETCH(WorkbookKind, kind);
        Table table = tableOf({{"Count", "Price", "Day", "Member", "Zip", "Share"},
                               {"1234.5", "3", "03/14/2024", "1", "01234", "0.25"},
                               {"n/a", "-2.5", "2024-03-15 13:05:09", "FALSE", "99", "1"}});
        const auto set = [&](int c, int type, const QString& format) {
            ColumnAttributes a = table.columnAttributes(c);
            a.dataType = type;
            a.format = format;
            a.width = 2000;
            a.hidden = c == 4;
            table.setColumnAttributes(c, a);
        };
        set(0, DataTypeNumber, "#,###.00");
        set(1, DataTypeMoney, "$#,###.00");
        set(2, DataTypeDate, "mm/dd/yyyy");
        set(3, DataTypeCheckbox, "");
        set(4, DataTypeText, "");
        set(5, DataTypeNumber, "%");
        table.setText(2, 0, QStringLiteral("7"));  // all numbers now: the column stays Number
        QTemporaryDir dir;
        const QString path = dir.filePath("typed." + extension(kind));
        const auto saved = saveWorkbook(table, path, kind);
        QVERIFY2(saved.ok(), saved.ok() ? "" : qPrintable(saved.message()));
        const Loaded l = load(path, kind);
        QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
        QCOMPARE(rowsOf(l.table), (Rows{{"Count", "Price", "Day", "Member", "Zip", "Share"},
                                        {"1234.5", "3", "2024-03-14", "TRUE", "01234", "0.25"},
                                        {"7", "-2.5", "2024-03-15 13:05:09", "FALSE", "99", "1"}}));
        const auto attrs = [&](int c) { return l.table.columnAttributes(c); };
        QCOMPARE(attrs(0).dataType, int(DataTypeNumber));
        QCOMPARE(attrs(0).format, QStringLiteral("#,###.00"));
        QCOMPARE(attrs(1).dataType, int(DataTypeMoney));
        QCOMPARE(attrs(1).format, QStringLiteral("$#,###.00"));
        QCOMPARE(attrs(2).dataType, int(DataTypeDate));
        QCOMPARE(attrs(3).dataType, int(DataTypeCheckbox));
        QCOMPARE(attrs(4).dataType, int(DataTypeText));
        QVERIFY(attrs(4).hidden);
        QCOMPARE(attrs(5).dataType, int(DataTypeNumber));
        QCOMPARE(attrs(5).format, QStringLiteral("%"));
        QVERIFY(std::abs(attrs(0).width - 2000) <= 15 * 7);  // whole characters in .xlsx
        // A cell that does not read as its column's type is written as text.
        Table mixed = tableOf({{"N"}, {"n/a"}, {"5"}});
        ColumnAttributes number;
        number.dataType = DataTypeNumber;
        mixed.setColumnAttributes(0, number);
        const QString mixedPath = dir.filePath("mixed." + extension(kind));
        QVERIFY(saveWorkbook(mixed, mixedPath, kind).ok());
        QCOMPARE(rowsOf(load(mixedPath, kind).table), rowsOf(mixed));
        // The same table saved and read again keeps its types and texts.
        const QString again = dir.filePath("again." + extension(kind));
        QVERIFY(saveWorkbook(l.table, again, kind).ok());
        const Loaded l2 = load(again, kind);
        QCOMPARE(rowsOf(l2.table), rowsOf(l.table));
        for (int c = 0; c < l.table.columnCount(); ++c) {
            QCOMPARE(l2.table.columnAttributes(c).dataType, attrs(c).dataType);
            QCOMPARE(l2.table.columnAttributes(c).format, attrs(c).format);
        }
    }

    void theLookOfTheSheet() {
        Table table = tableOf({{"Title", "B"}, {"bold", "wrap\nme"}});
        CellStyle bold;
        bold.bold = true;
        bold.foreColor = 0xff112233;
        bold.alignment = AlignRightCenter;
        table.setStyle(1, 0, bold);
        QTemporaryDir dir;
        const QString xlsx = dir.filePath("look.xlsx");
        QVERIFY(saveWorkbook(table, xlsx, WorkbookKind::Xlsx).ok());
        const QByteArray sheet = readPart(xlsx, "xl/worksheets/sheet1.xml");
        const QByteArray styles = readPart(xlsx, "xl/styles.xml");
        QVERIFY(sheet.contains("state=\"frozen\""));
        QVERIFY(styles.contains("<b/>"));
        QVERIFY(styles.contains("FF112233"));
        QVERIFY(styles.contains("horizontal=\"right\""));
        QVERIFY(styles.contains("wrapText=\"1\""));
        const QString ods = dir.filePath("look.ods");
        QVERIFY(saveWorkbook(table, ods, WorkbookKind::Ods).ok());
        const QByteArray odsStyles = readPart(ods, "styles.xml");
        QVERIFY(odsStyles.contains("fo:font-weight=\"bold\""));
        QVERIFY(odsStyles.contains("fo:color=\"#112233\""));
        QVERIFY(odsStyles.contains("fo:wrap-option=\"wrap\""));
        QVERIFY(readPart(ods, "settings.xml").contains("VerticalSplitMode"));
        QCOMPARE(readPart(ods, "mimetype"),
                 QByteArray("application/vnd.oasis.opendocument.spreadsheet"));
    }

    void limitsAreRefusedBeforeWriting_data() {
        QTest::addColumn<WorkbookKind>("kind");
        QTest::addColumn<int>("shape");
        QTest::addColumn<QString>("message");
        QTest::newRow("xlsx: columns") << WorkbookKind::Xlsx << 0 << "holds at most 16,384";
        QTest::newRow("ods: columns") << WorkbookKind::Ods << 0 << "holds at most 16,384";
        QTest::newRow("xlsx: rows") << WorkbookKind::Xlsx << 1 << "holds at most 1,048,576";
        QTest::newRow("xlsx: long text")
            << WorkbookKind::Xlsx << 2 << "more than 32,767 characters";
    }
    void limitsAreRefusedBeforeWriting() {
        QFETCH(WorkbookKind, kind);
        QFETCH(int, shape);
        QFETCH(QString, message);
        Table table(2, 2);
        if (shape == 0) {
            table.setColumnCount(kSheetMaxColumns + 1);
        } else if (shape == 1) {
            table.setRowCount(kSheetMaxRows + 1);
        } else {
            table.setText(1, 1, QString(kXlsxMaxText + 1, u'é'));
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("big." + extension(kind));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        const auto saved = saveWorkbook(table, path, kind);
        QVERIFY(!saved.ok());
        QVERIFY2(saved.message().contains(message), qPrintable(saved.message()));
        QVERIFY(saved.message().contains(u"instead"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));  // nothing written
    }
};

QTEST_GUILESS_MAIN(WorkbookTest)
#include "tst_workbook.moc"
