// Workbooks made by a spreadsheet program (LibreOffice Calc, from data/office/office.fods; see
// make-office-workbooks.sh there): what is read from each form, the columns' types, and that a
// workbook opened and saved again in either form keeps every value, type and date.
#include <QTemporaryDir>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "core/document/Workbook.h"

using namespace pellumar;
using namespace pellumar::testing;

Q_DECLARE_METATYPE(pellumar::WorkbookKind)

namespace {

const Rows kRows = {
    {"Name", "Count", "Amount", "Share", "Price", "Born", "Seen", "At", "Member", "Zip", "Next",
     "Note"},
    {"Ann", "12", "1234.5", "0.25", "3.5", "1990-03-14", "2024-03-14 13:05:09", "07:30:00", "TRUE",
     "01234", "13", QStringLiteral("two\nlines, and “quotes” é")},
    {"Bob", "1E+20", "-0.5", "1", "1234567.25", "1900-03-01", "2000-01-01 00:00:01", "23:59:59",
     "FALSE", "00501", "1E+20", "merged"},
    {"Cy", "0.3", "0.0001", "0.125", "-7", "2099-12-31", "1999-12-31 23:59:59", "00:00:01", "TRUE",
     "", "1.3", "last"},
};

// Each column's type, in order.
const QList<int> kTypes = {DataTypeText,     DataTypeNumber, DataTypeNumber, DataTypeNumber,
                           DataTypeMoney,    DataTypeDate,   DataTypeDate,   DataTypeText,
                           DataTypeCheckbox, DataTypeText,   DataTypeNumber, DataTypeText};

QList<int> typesOf(const Table& table) {
    QList<int> types;
    for (int c = 0; c < table.columnCount(); ++c) {
        types << table.columnAttributes(c).dataType;
    }
    return types;
}

Table loaded(const QString& path, WorkbookKind kind, QString* error) {
    auto result = loadWorkbook(path, kind);
    if (!result) {
        *error = result.message();
        return Table();
    }
    return std::move(result.value().table);
}

}  // namespace

class WorkbookOfficeTest : public QObject {
    Q_OBJECT

private slots:
    void madeBySpreadsheetProgram_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<WorkbookKind>("kind");
        QTest::addColumn<int>("width");  // of the first column, in twips
        // 13.61 characters in the .xlsx, 1.2 inches in the .ods.
        QTest::newRow("xlsx") << QStringLiteral("data/office/office.xlsx") << WorkbookKind::Xlsx
                              << (100 * 15);
        QTest::newRow("ods") << QStringLiteral("data/office/office.ods") << WorkbookKind::Ods
                             << 1728;
    }
    void madeBySpreadsheetProgram() {
        QFETCH(QString, file);
        QFETCH(WorkbookKind, kind);
        QFETCH(int, width);
        const QString path = QFINDTESTDATA(file);
        QString error;
        const Table table = loaded(path, kind, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(rowsOf(table), kRows);
        QCOMPARE(typesOf(table), kTypes);
        QCOMPARE(table.columnAttributes(3).format, QStringLiteral("#.00%"));
        QCOMPARE(table.columnAttributes(4).format, QStringLiteral("$#,###.00"));
        QCOMPARE(table.columnAttributes(0).width, width);
        const auto names = workbookSheetNames(path, kind);
        QVERIFY(names.ok());
        QCOMPARE(names.value(), (QStringList{"People", "Second"}));

        // Saved again in each form, and read back: the same values, types and formats.
        QTemporaryDir dir;
        for (const WorkbookKind to : {WorkbookKind::Xlsx, WorkbookKind::Ods}) {
            const QString out =
                dir.filePath(to == WorkbookKind::Xlsx ? QStringLiteral("again.xlsx")
                                                      : QStringLiteral("again.ods"));
            const auto saved = saveWorkbook(table, out, to);
            QVERIFY2(saved.ok(), qPrintable(saved.ok() ? QString() : saved.message()));
            const Table back = loaded(out, to, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(rowsOf(back), kRows);
            QCOMPARE(typesOf(back), kTypes);
            for (int c = 0; c < table.columnCount(); ++c) {
                QCOMPARE(back.columnAttributes(c).format, table.columnAttributes(c).format);
            }
        }
    }
};

QTEST_GUILESS_MAIN(WorkbookOfficeTest)
#include "tst_workbookoffice.moc"
