// Arithmetic over a block: which cells add a value, the sum kept in double precision with a
// count that has no 16-bit limit, blocks given by any two corners, and the message's number form.
#include <QtTest>

#include <cmath>
#include <random>

#include "core/columns/CellValue.h"
#include "core/edit/Arithmetic.h"
#include "core/table/Table.h"

using namespace pellumar;

namespace {

QString message(const Table& t) {
    return arithmeticMessage(sumBlock(t, 1, 0, t.rowCount() - 1, t.columnCount() - 1));
}

}  // namespace

class TstArithmetic : public QObject {
    Q_OBJECT

private slots:
    void general_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0.0 << "0";
        QTest::newRow("-0") << -0.0 << "0";
        QTest::newRow("2.5") << 2.5 << "2.5";
        QTest::newRow("-2.5") << -2.5 << "-2.5";
        QTest::newRow("30") << 30.0 << "30";
        QTest::newRow("7.5") << 7.5 << "7.5";
        QTest::newRow("100") << 100.0 << "100";
        QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << "0.3";
        QTest::newRow("1/3") << 1.0 / 3 << "0.3333333";
        QTest::newRow("seven digits") << 1234567.0 << "1234567";
        QTest::newRow("rounded to seven") << 123456.75 << "123456.8";
        QTest::newRow("2^24 + 1") << 16777217.0 << "1.677722E+07";
        QTest::newRow("eight digits") << 12345678.0 << "1.234568E+07";
        QTest::newRow("rounds up to 1E+07") << 9999999.6 << "1E+07";
        QTest::newRow("1E+07") << 1e7 << "1E+07";
        QTest::newRow("1E+100") << 1e100 << "1E+100";
        QTest::newRow("0.0001") << 0.0001 << "0.0001";
        QTest::newRow("1E-05") << 0.00001 << "1E-05";
        QTest::newRow("-1.234E-05") << -0.00001234 << "-1.234E-05";
        QTest::newRow("0.001234") << 0.001234 << "0.001234";
    }
    void general() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(generalNumber(value), text);
    }

    // The direct reading of common numbers gives exactly what the full reader gives.
    void cellNumberAgreesWithReader() {
        QStringList texts{"10",
                          "-3.25",
                          "+4",
                          " 5 ",
                          "1e3",
                          "5.",
                          ".5",
                          "-.5",
                          "-",
                          "+-1",
                          "1.2.3",
                          "$5",
                          "12%",
                          "1,234",
                          "03/14/2024",
                          "total",
                          "",
                          "0.01",
                          "-0",
                          "007",
                          "123456789012345678",
                          "1234567890123456789",
                          "9007199254740993",
                          "0.1234567890123456789012345",
                          "1e400",
                          "nan",
                          "inf"};
        std::mt19937 rng(7);
        for (int i = 0; i < 20000; ++i) {
            const int whole = int(rng() % 10);
            const int frac = int(rng() % 12);
            QString t = rng() % 2 ? QStringLiteral("-") : QString();
            for (int k = 0; k < whole; ++k) {
                t += QChar(u'0' + int(rng() % 10));
            }
            if (frac > 0 || whole == 0) {
                t += u'.';
                for (int k = 0; k < frac; ++k) {
                    t += QChar(u'0' + int(rng() % 10));
                }
            }
            texts << t;
        }
        for (const QString& t : texts) {
            const QByteArray utf8 = t.toUtf8();
            const std::string_view v(utf8.constData(), size_t(utf8.size()));
            const auto fast = cellNumber(v);
            const auto full = parseNumber(v);
            QVERIFY2(fast.has_value() == full.has_value(), qPrintable(t));
            if (fast) {
                QVERIFY2(std::signbit(*fast) == std::signbit(*full) && *fast == *full,
                         qPrintable(t));
            }
        }
    }

    void message_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("text");
        QTest::newRow("2.5 alone")
            << QStringList{"2.5"} << "Sum = 2.5\r\nCount = 1\r\nAverage = 2.5";
        QTest::newRow("all empty")
            << QStringList{"", "", ""} << "Sum = 0\r\nCount = 3\r\nAverage = 0";
        QTest::newRow("2^24 and 1") << QStringList{"16777216", "1", ""}
                                    << "Sum = 1.677722E+07\r\nCount = 3\r\nAverage = 5592406";
        QTest::newRow("10, 20, empty, total")
            << QStringList{"10", "20", "", "total"} << "Sum = 30\r\nCount = 4\r\nAverage = 7.5";
        QTest::newRow("dates, money, percentages add nothing")
            << QStringList{"03/14/2024", "$5", "12%", "1,234", "4"}
            << "Sum = 4\r\nCount = 5\r\nAverage = 0.8";
        QTest::newRow("an overflowing cell adds nothing")
            << QStringList{"1e308", "1e308", "-1"}
            << "Sum = 1E+308\r\nCount = 3\r\nAverage = 3.333333E+307";
    }
    void message() {
        QFETCH(QStringList, cells);
        QFETCH(QString, text);
        Table t(int(cells.size()) + 1, 1);
        for (int i = 0; i < cells.size(); ++i) {
            t.setText(i + 1, 0, cells[i]);
        }
        QCOMPARE(::message(t), text);
    }

    // Any two corners give the same block, walked from its top left; outside the table nothing.
    void blockCorners() {
        Table t(4, 3);
        for (int r = 1; r < 4; ++r) {
            for (int c = 0; c < 3; ++c) {
                t.setText(r, c, QString::number(r * 10 + c));
            }
        }
        const BlockSum down = sumBlock(t, 1, 1, 3, 2);
        QCOMPARE(down.count, int64_t(6));
        QCOMPARE(down.sum, 11.0 + 12 + 21 + 22 + 31 + 32);
        for (const auto& [r1, c1, r2, c2] : {std::tuple{3, 2, 1, 1}, {3, 1, 1, 2}, {1, 2, 3, 1}}) {
            const BlockSum b = sumBlock(t, r1, c1, r2, c2);
            QCOMPARE(b.count, down.count);
            QCOMPARE(b.sum, down.sum);
        }
        const BlockSum clipped = sumBlock(t, 2, 2, 99, 99);
        QCOMPARE(clipped.count, int64_t(2));
        const BlockSum outside = sumBlock(t, 10, 5, 12, 7);
        QCOMPARE(outside.count, int64_t(0));
        QCOMPARE(arithmeticMessage(outside), QStringLiteral("Sum = 0\r\nCount = 0\r\nAverage = 0"));
    }

    // A million cells of 0.01: the sum is 10000 and the count goes past 32767.
    void millionCents() {
        const int records = 1000000;
        Table t(records + 1, 1);
        for (int r = 1; r <= records; ++r) {
            t.setUtf8(r, 0, "0.01");
        }
        int ticks = 0;
        const BlockSum b = sumBlock(t, 1, 0, records, 0, [&] { ++ticks; });
        QCOMPARE(arithmeticMessage(b),
                 QStringLiteral("Sum = 10000\r\nCount = 1000000\r\nAverage = 0.01"));
        QCOMPARE(ticks, records / 65536);
    }
};

QTEST_GUILESS_MAIN(TstArithmetic)
#include "tst_arithmetic.moc"
