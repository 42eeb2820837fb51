// Reading cell texts as numbers and dates, and the calendar behind date serial numbers.
#include <QtTest>

#include <cmath>

#include "core/columns/CellValue.h"

using namespace pellumar;

Q_DECLARE_METATYPE(std::optional<double>)

namespace {

std::string_view utf8(const QByteArray& a) {
    return {a.constData(), static_cast<size_t>(a.size())};
}

const std::optional<double> kNone;

}  // namespace

class TstCellValue : public QObject {
    Q_OBJECT

private slots:
    void plainNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("plain");
        QTest::addColumn<std::optional<double>>("formatted");
        const auto v = [](double d) { return std::optional<double>(d); };
        QTest::newRow("integer") << " 12 " << v(12) << v(12);
        QTest::newRow("signs and exponent") << "+1.5e3" << v(1500) << v(1500);
        QTest::newRow("leading point") << "-.5" << v(-0.5) << v(-0.5);
        QTest::newRow("grouped") << "1,234,567.5" << kNone << v(1234567.5);
        QTest::newRow("dollar") << "$5" << kNone << v(5);
        QTest::newRow("minus before dollar") << "-$1,234.50" << kNone << v(-1234.5);
        QTest::newRow("minus after dollar") << "$-5" << kNone << v(-5);
        QTest::newRow("parentheses") << "($1,234.50)" << kNone << v(-1234.5);
        QTest::newRow("percent") << "12.5%" << kNone << v(0.125);
        QTest::newRow("European decimal comma") << "1,5" << kNone << kNone;
        QTest::newRow("short group") << "12,34" << kNone << kNone;
        QTest::newRow("long group") << "1,2345" << kNone << kNone;
        QTest::newRow("leading comma") << ",123" << kNone << kNone;
        QTest::newRow("double comma") << "1,,234" << kNone << kNone;
        QTest::newRow("comma in fraction") << "1.234,5" << kNone << kNone;
        QTest::newRow("signs in parentheses") << "(-5)" << kNone << kNone;
        QTest::newRow("two signs") << "--5" << kNone << kNone;
        QTest::newRow("two dollars") << "$$5" << kNone << kNone;
        QTest::newRow("trailing sign") << "5-" << kNone << kNone;
        QTest::newRow("only symbols") << "$%" << kNone << kNone;
        QTest::newRow("infinity") << "inf" << kNone << kNone;
        QTest::newRow("nan") << "nan" << kNone << kNone;
        QTest::newRow("hexadecimal") << "0x10" << kNone << kNone;
        QTest::newRow("too large") << "1e400" << kNone << kNone;
        QTest::newRow("full-width digits") << "１２" << kNone << kNone;
        QTest::newRow("empty") << "" << kNone << kNone;
        QTest::newRow("date") << "3/14/24" << kNone << kNone;
    }

    void plainNumbers() {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, plain);
        QFETCH(std::optional<double>, formatted);
        const QByteArray bytes = text.toUtf8();
        QCOMPARE(parseNumber(QStringView(text)), plain);
        QCOMPARE(parseNumber(utf8(bytes)), plain);
        QCOMPARE(parseFormattedNumber(QStringView(text)), formatted);
        QCOMPARE(parseFormattedNumber(utf8(bytes)), formatted);
    }

    void dateForms_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("serial");
        const auto at = [](int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
            return std::optional<double>(dateSerial(y, m, d, h, mi, s));
        };
        QTest::newRow("ISO") << "2024-03-14" << at(2024, 3, 14);
        QTest::newRow("ISO with T") << "2024-03-14T13:05:09" << at(2024, 3, 14, 13, 5, 9);
        QTest::newRow("year first, slashes") << "2024/3/14" << at(2024, 3, 14);
        QTest::newRow("month first") << "03/14/2024" << at(2024, 3, 14);
        QTest::newRow("short year 24") << "3/14/24" << at(2024, 3, 14);
        QTest::newRow("short year 29") << "1/1/29" << at(2029, 1, 1);
        QTest::newRow("short year 30") << "1/1/30" << at(1930, 1, 1);
        QTest::newRow("short year 99") << "12/31/99" << at(1999, 12, 31);
        QTest::newRow("short year 00") << "01/01/00" << at(2000, 1, 1);
        QTest::newRow("day month year") << "14-Mar-2024" << at(2024, 3, 14);
        QTest::newRow("month day year") << "Mar-14-2024" << at(2024, 3, 14);
        QTest::newRow("month name in full") << "14-March-2024" << at(2024, 3, 14);
        QTest::newRow("month name in any case") << "sEP-01-99" << at(1999, 9, 1);
        QTest::newRow("24-hour time") << "03/14/24 13:05:09" << at(2024, 3, 14, 13, 5, 9);
        QTest::newRow("PM") << "03/14/24 01:05 PM" << at(2024, 3, 14, 13, 5);
        QTest::newRow("12 AM is midnight") << "03/14/24 12:00 AM" << at(2024, 3, 14);
        QTest::newRow("12 PM is noon") << "03/14/24 12:00:00 pm" << at(2024, 3, 14, 12);
        QTest::newRow("general stamp form") << "3/14/2024 1:05:09 PM" << at(2024, 3, 14, 13, 5, 9);
        QTest::newRow("leap day") << "2/29/2000" << at(2000, 2, 29);
        QTest::newRow("four-digit year below 1000") << "03/14/0999" << at(999, 3, 14);
        QTest::newRow("before the epoch") << "1899-12-29 06:00" << std::optional<double>(-0.75);
        QTest::newRow("no leap day in 1900") << "2/29/1900" << kNone;
        QTest::newRow("no 30 February") << "2024-02-30" << kNone;
        QTest::newRow("month 13") << "13/01/2024" << kNone;
        QTest::newRow("three-digit year") << "03/14/202" << kNone;
        QTest::newRow("year below 100") << "0099-01-01" << kNone;
        QTest::newRow("hour 25") << "03/14/2024 25:00" << kNone;
        QTest::newRow("13 PM") << "03/14/2024 13:00 PM" << kNone;
        QTest::newRow("0 AM") << "03/14/2024 0:30 AM" << kNone;
        QTest::newRow("unknown month") << "14-Mrz-2024" << kNone;
        QTest::newRow("clipped month name") << "14-Marc-2024" << kNone;
        QTest::newRow("T without a time") << "2024-03-14T" << kNone;
        QTest::newRow("trailing words") << "2024-03-14 soon" << kNone;
        QTest::newRow("number") << "45365" << kNone;
        QTest::newRow("too long") << "2024-03-14                                     13:00"
                                  << kNone;
    }

    void dateForms() {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, serial);
        const QByteArray bytes = text.toUtf8();
        QCOMPARE(parseDateSerial(QStringView(text)), serial);
        QCOMPARE(parseDateSerial(utf8(bytes)), serial);
    }

    void serialToParts_data() {
        QTest::addColumn<double>("serial");
        QTest::addColumn<QString>("expected");  // "yyyy-mm-dd hh:mm:ss weekday", or empty
        QTest::newRow("epoch, a Saturday") << 0.0 << "1899-12-30 00:00:00 6";
        QTest::newRow("Thursday noon") << 45365.5 << "2024-03-14 12:00:00 4";
        QTest::newRow("a breath before midnight") << 45365.999999 << "2024-03-15 00:00:00 5";
        QTest::newRow("before the epoch") << -0.75 << "1899-12-29 06:00:00 5";
        QTest::newRow("first day") << -657434.0 << "0100-01-01 00:00:00 5";
        QTest::newRow("last second") << 2958465.99998 << "9999-12-31 23:59:58 5";
        QTest::newRow("rounds past 9999") << 2958465.999999 << "";
        QTest::newRow("before year 100") << -657435.0 << "";
        QTest::newRow("not a number") << std::nan("") << "";
    }

    void serialToParts() {
        QFETCH(double, serial);
        QFETCH(QString, expected);
        const auto p = dateTimeFromSerial(serial);
        QCOMPARE(p.has_value(), !expected.isEmpty());
        if (p) {
            const QString got =
                QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d %d", p->year, p->month, p->day,
                                  p->hour, p->minute, p->second, p->dayOfWeek);
            QCOMPARE(got, expected);
        }
    }

    // Every 13th day from year 100 to 9999 turns into its parts and back, with the weekday
    // stepping along.
    void calendarRoundTrip() {
        const auto first = dateTimeFromSerial(-657434);
        QVERIFY(first);
        int weekday = first->dayOfWeek;
        for (int day = -657434; day <= 2958465; day += 13) {
            const auto p = dateTimeFromSerial(day + 0.25);
            QVERIFY(p);
            QCOMPARE(dateSerial(p->year, p->month, p->day, p->hour), day + 0.25);
            QCOMPARE(p->dayOfWeek, weekday);
            weekday = (weekday + 13) % 7;
        }
    }
};

QTEST_GUILESS_MAIN(TstCellValue)
#include "tst_cellvalue.moc"
