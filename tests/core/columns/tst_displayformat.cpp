// Display formats: every picture of the Number, Money and Date lists over many values, the
// picture rules beyond those lists, the date-time stamp and the formats' use in the grid.
#include <QtTest>

#include "core/columns/CellValue.h"
#include "core/columns/DisplayFormat.h"
#include "core/grid/GridModel.h"

using namespace pellumar;

namespace {

// Rows "picture | text | shown" for a format table.
void addRows(const char* picture, std::initializer_list<std::pair<const char*, const char*>> rows) {
    for (const auto& [text, shown] : rows) {
        QTest::addRow("%s | %s", picture, text) << QString::fromUtf8(picture) << text << shown;
    }
}

const QStringList kDatePictures{"mm/dd/yy",
                                "mm/dd/yyyy",
                                "m/d/yy",
                                "m/d/yyyy",
                                "dd-Mmm-yyyy",
                                "Mmm-dd-yyyy",
                                "mm/dd/yy hh:mm",
                                "mm/dd/yy hh:mm:ss",
                                "mm/dd/yy hh:mm AMPM",
                                "mm/dd/yy hh:mm:ss AMPM"};

}  // namespace

class TstDisplayFormat : public QObject {
    Q_OBJECT

private slots:
    void numberList_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        addRows("0", {{"0", "0"},
                      {"1234.5", "1235"},
                      {"-1234.5", "-1235"},
                      {"2.5", "3"},
                      {"-2.5", "-3"},
                      {"0.4", "0"},
                      {"-0.4", "0"},
                      {"1e15", "1000000000000000"},
                      {"abc", "abc"},
                      {"", ""},
                      {"1,234.5", "1235"},
                      {"2024-03-14", "45365"},
                      {"03/14/24 12:00 PM", "45366"}});
        addRows("0.0", {{"0", "0.0"},
                        {"0.05", "0.1"},
                        {"-0.05", "-0.1"},
                        {"-0.04", "0.0"},
                        {"2.25", "2.3"},
                        {"1234.56", "1234.6"},
                        {"99.96", "100.0"}});
        addRows("0.00", {{"2.675", "2.68"},
                         {"1.005", "1.01"},
                         {"-1.005", "-1.01"},
                         {"1e-10", "0.00"},
                         {"$5", "5.00"},
                         {"12%", "0.12"},
                         {"2024-03-14 12:00", "45365.50"}});
        addRows("0.000", {{"0.33333333", "0.333"}, {"0.0005", "0.001"}, {"-7", "-7.000"}});
        addRows(
            "0.0000",
            {{"3.14159265", "3.1416"}, {"0", "0.0000"}, {"1e20", "100000000000000000000.0000"}});
        addRows("%", {{"0.5", "50%"},
                      {"0.125", "13%"},
                      {"0", "0%"},
                      {"-0.25", "-25%"},
                      {"1", "100%"},
                      {"0.005", "1%"},
                      {"50%", "50%"}});
        addRows("#.00%", {{"0.123", "12.30%"},
                          {"0", ".00%"},
                          {"1", "100.00%"},
                          {"-0.0005", "-.05%"},
                          {"0.00004", ".00%"},
                          {"0.00125", ".13%"}});
        addRows("#,###", {{"0", ""},
                          {"1234.5", "1,235"},
                          {"-1234.5", "-1,235"},
                          {"999.5", "1,000"},
                          {"1234567", "1,234,567"},
                          {"0.4", ""},
                          {"0.5", "1"},
                          {"123", "123"},
                          {"1e15", "1,000,000,000,000,000"},
                          {"123456789012345678", "123,456,789,012,346,000"},
                          {"12 apples", "12 apples"}});
        addRows("#,###.00", {{"0", ".00"},
                             {"1234.5", "1,234.50"},
                             {"-0.5", "-.50"},
                             {"1234567.891", "1,234,567.89"},
                             {"0.005", ".01"},
                             {"-0.004", ".00"}});
        addRows("$#,###", {{"1234.5", "$1,235"},
                           {"0", "$"},
                           {"-1234.5", "-$1,235"},
                           {"$1,234.50", "$1,235"},
                           {"abc", "abc"}});
        addRows("$#,###.00", {{"1234.5", "$1,234.50"},
                              {"0", "$.00"},
                              {"-5", "-$5.00"},
                              {"1000000", "$1,000,000.00"},
                              {"(1,234.50)", "-$1,234.50"},
                              {"$1,234.50", "$1,234.50"},
                              {"1,5", "1,5"}});
    }

    void numberList() { checkRow(DataTypeNumber); }

    void dateList_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const char* afternoon = "2024-03-14 13:05:09";
        addRows("mm/dd/yy", {{afternoon, "03/14/24"},
                             {"12/31/1999", "12/31/99"},
                             {"1/1/2000", "01/01/00"},
                             {"45365", "03/14/24"},
                             {"-1", "12/29/99"},
                             {"3000000", "3000000"},
                             {"13/45/2024", "13/45/2024"},
                             {"1,234", "1,234"},
                             {"abc", "abc"},
                             {"", ""}});
        addRows("mm/dd/yyyy",
                {{afternoon, "03/14/2024"}, {"14-Mar-1999", "03/14/1999"}, {"0", "12/30/1899"}});
        addRows("m/d/yy", {{afternoon, "3/14/24"}, {"2000-01-09", "1/9/00"}});
        addRows("m/d/yyyy", {{afternoon, "3/14/2024"}, {"Mar-14-24", "3/14/2024"}});
        addRows("dd-Mmm-yyyy", {{afternoon, "14-Mar-2024"}, {"2/1/99", "01-Feb-1999"}});
        addRows("Mmm-dd-yyyy", {{afternoon, "Mar-14-2024"}, {"12/25/2000", "Dec-25-2000"}});
        addRows("mm/dd/yy hh:mm", {{afternoon, "03/14/24 13:05"},
                                   {"12/31/1999", "12/31/99 00:00"},
                                   {"2000-01-01 12:00", "01/01/00 12:00"},
                                   {"45365.75", "03/14/24 18:00"}});
        addRows("mm/dd/yy hh:mm:ss", {{afternoon, "03/14/24 13:05:09"},
                                      {"1/1/2000 11:59:59 PM", "01/01/00 23:59:59"},
                                      {"45365.9999999", "03/15/24 00:00:00"}});
        addRows("mm/dd/yy hh:mm AMPM", {{afternoon, "03/14/24 01:05 PM"},
                                        {"12/31/1999", "12/31/99 12:00 AM"},
                                        {"2000-01-01 00:30", "01/01/00 12:30 AM"},
                                        {"2000-01-01 12:00", "01/01/00 12:00 PM"},
                                        {"2000-01-01 11:59", "01/01/00 11:59 AM"}});
        addRows("mm/dd/yy hh:mm:ss AMPM", {{afternoon, "03/14/24 01:05:09 PM"},
                                           {"2000-01-01 23:59:59", "01/01/00 11:59:59 PM"},
                                           {"2000-01-01 12:00:01", "01/01/00 12:00:01 PM"}});
    }

    void dateList() { checkRow(DataTypeDate); }

    void pictureRules_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        addRows("0.00;(0.00);\"zero\"", {{"5", "5.00"}, {"-5", "(5.00)"}, {"0", "zero"}});
        addRows("0;", {{"-5", "-5"}});
        addRows("0.00E+00", {{"12345", "1.23E+04"},
                             {"0.000123", "1.23E-04"},
                             {"0", "0.00E+00"},
                             {"9.999", "1.00E+01"},
                             {"-12345", "-1.23E+04"}});
        addRows("0.0e-0", {{"12345", "1.2e4"}, {"0.5", "5.0e-1"}});
        addRows("#,##0,", {{"1234567", "1,235"}});
        addRows("0.0,,", {{"1234567", "1.2"}});
        addRows("\"Qty \"0", {{"5", "Qty 5"}});
        addRows("#,##0 USD", {{"1234", "1,234 USD"}});
        addRows("000-00-0000", {{"123456789", "123-45-6789"}, {"5", "000-00-0005"}});
        addRows("00000", {{"42", "00042"}, {"1234567", "1234567"}});
        addRows("0.0#", {{"1.5", "1.5"}, {"1.25", "1.25"}, {"1.255", "1.26"}});
        addRows("#", {{"1e20", "100000000000000000000"}});
        addRows("Currency", {{"-1234.5", "($1,234.50)"}, {"1234.5", "$1,234.50"}});
        addRows("fixed", {{"1234.5", "1234.50"}});
        addRows("Standard", {{"1234.5", "1,234.50"}});
        addRows("Percent", {{"0.5", "50.00%"}});
        addRows("Scientific", {{"1234.5", "1.23E+03"}});
        addRows("General", {{"1234.5", "1234.5"}});
        const char* afternoon = "2024-03-14 13:05:09";
        addRows("Long Date", {{afternoon, "Thursday, March 14, 2024"}});
        addRows("Medium Date", {{afternoon, "14-Mar-24"}});
        addRows("Short Date", {{afternoon, "3/14/2024"}});
        addRows("Long Time", {{afternoon, "1:05:09 PM"}});
        addRows("Medium Time", {{afternoon, "01:05 PM"}});
        addRows("Short Time", {{afternoon, "13:05"}});
        addRows("General Date", {{afternoon, "3/14/2024 1:05:09 PM"},
                                 {"2024-03-14", "3/14/2024"},
                                 {"0.5", "12:00:00 PM"}});
        addRows("ddd dd MMM yy", {{afternoon, "Thu 14 Mar 24"}});
        addRows("dddd d mmmm yyyy", {{"2000-01-01", "Saturday 1 January 2000"}});
        addRows("yyyy", {{"0999-03-14", "0999"}});
        addRows("h:mm", {{afternoon, "13:05"}});
        addRows("mm:ss", {{afternoon, "05:09"}});
        addRows("hh \"h\" nn \"min\"", {{afternoon, "13 h 05 min"}});
        addRows("h:mm am/pm", {{afternoon, "1:05 pm"}, {"2024-03-14", "12:00 am"}});
        addRows("h:mm A/P", {{afternoon, "1:05 P"}});
        addRows("\\d\\a\\y d", {{afternoon, "day 14"}});
    }

    void pictureRules() { checkRow(DataTypeNone); }

    // The picture decides the reading, whatever the type; Text and later types show the text.
    void whichColumnsFormat() {
        QVERIFY(DisplayFormat().isIdentity());
        QVERIFY(DisplayFormat(QString(), DataTypeNumber).isIdentity());
        QVERIFY(DisplayFormat("General", DataTypeNumber).isIdentity());
        QVERIFY(DisplayFormat("  ", DataTypeNumber).isIdentity());
        QVERIFY(DisplayFormat("0.00", DataTypeText).isIdentity());
        QVERIFY(DisplayFormat("0.00", DataTypeCheckbox).isIdentity());
        QVERIFY(DisplayFormat("0.00", 12).isIdentity());
        QCOMPARE(DisplayFormat("0.00", DataTypeDate).apply("1.5"), QString("1.50"));
        QCOMPARE(DisplayFormat("mm/dd/yy", DataTypeNumber).apply("45365"), QString("03/14/24"));
        QCOMPARE(DisplayFormat("0.00", DataTypeNone).apply("1.5"), QString("1.50"));
    }

    // Separators, names and designators are fixed, so a file shows the same on every machine.
    void machineLocaleIsIgnored() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(DisplayFormat("#,###.00", DataTypeNumber).apply("1234.5"), QString("1,234.50"));
        QCOMPARE(DisplayFormat("#,###.00", DataTypeNumber).apply("1234,5"), QString("1234,5"));
        QCOMPARE(DisplayFormat("dd-Mmm-yyyy hh:mm AMPM", DataTypeDate).apply("2024-05-14 13:05"),
                 QString("14-May-2024 01:05 PM"));
        QLocale::setDefault(saved);
    }

    // What a date picture writes reads back as a date and shows the same again, so the Form
    // Panel's copy of a shown value sorts and formats like the value itself.
    void datesReadBack() {
        const QStringList samples{"1930-01-01",          "1999-12-31 23:59:59",
                                  "2000-01-01 00:00:00", "2000-02-29 12:00:00",
                                  "2024-03-14 13:05:09", "2029-12-31 00:30:00"};
        for (const QString& picture : kDatePictures + QStringList{"General Date", "Medium Date"}) {
            const DisplayFormat format(picture, DataTypeDate);
            for (const QString& sample : samples) {
                const QString shown = format.apply(sample);
                QVERIFY2(parseDateSerial(QStringView(shown)), qPrintable(picture + ": " + shown));
                QCOMPARE(format.apply(shown), shown);
            }
        }
        // With a four-digit year and seconds nothing is lost.
        const QString full = DisplayFormat("mm/dd/yyyy hh:mm:ss", 0).apply("1999-12-31 23:59:59");
        QCOMPARE(parseDateSerial(QStringView(full)), dateSerial(1999, 12, 31, 23, 59, 59));
    }

    void stamp_data() {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("stamp");
        const QTime afternoon(13, 5, 9, 700);  // milliseconds are dropped, not rounded
        QTest::newRow("general form") << afternoon << ""
                                      << "3/14/2024 1:05:09 PM";
        QTest::newRow("general at midnight") << QTime(0, 0) << ""
                                             << "3/14/2024 12:00:00 AM";
        QTest::newRow("general at noon") << QTime(12, 0) << ""
                                         << "3/14/2024 12:00:00 PM";
        for (const QString& picture : kDatePictures) {
            QTest::addRow("%s", qPrintable(picture))
                << afternoon << picture
                << DisplayFormat(picture, DataTypeDate).apply("2024-03-14 13:05:09");
        }
        QTest::newRow("number picture shows the serial") << QTime(12, 0) << "0.00"
                                                         << "45365.50";
        QTest::newRow("picture of a Text column") << afternoon << "General"
                                                  << "3/14/2024 1:05:09 PM";
    }

    void stamp() {
        QFETCH(QTime, time);
        QFETCH(QString, picture);
        QFETCH(QString, stamp);
        const QDateTime now(QDate(2024, 3, 14), time);
        QCOMPARE(formatDateTimeStamp(now, picture), stamp);
        if (picture.isEmpty()) {
            QCOMPARE(parseDateSerial(QStringView(stamp)),
                     dateSerial(2024, 3, 14, time.hour(), time.minute(), time.second()));
        }
    }

    // The grid shows a money column through its format; the stored text stays as typed.
    void gridShowsFormattedCells() {
        GridModel model;
        model.setFixedRows(1);
        model.setCols(2);
        model.setRows(3);
        model.setText(1, 0, "1234.5");
        model.setText(2, 0, "abc");
        model.setText(1, 1, "2024-03-14");
        model.setColDataType(0, DataTypeMoney);
        model.setColFormat(0, "$#,###.00");
        model.setColFormat(1, "dd-Mmm-yyyy");
        QCOMPARE(model.displayText(1, 0), QString("$1,234.50"));
        QCOMPARE(model.displayText(2, 0), QString("abc"));
        QCOMPARE(model.displayText(1, 1), QString("14-Mar-2024"));
        QCOMPARE(model.text(1, 0), QString("1234.5"));
        model.setColDataType(0, DataTypeText);
        QCOMPARE(model.displayText(1, 0), QString("1234.5"));
    }

private:
    void checkRow(int dataType) {
        QFETCH(QString, picture);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(DisplayFormat(picture, dataType).apply(text), shown);
    }
};

QTEST_GUILESS_MAIN(TstDisplayFormat)
#include "tst_displayformat.moc"
