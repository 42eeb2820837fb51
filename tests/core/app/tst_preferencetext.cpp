// Reading and writing preference texts.
#include <QtTest>

#include "core/app/PreferenceText.h"

using namespace pellumar;

class TstPreferenceText : public QObject {
    Q_OBJECT

private slots:
    void intOrZero_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("plain") << "1200" << 1200;
        QTest::newRow("negative") << "-60" << -60;
        QTest::newRow("fraction") << "1200.4" << 1200;
        QTest::newRow("half to even, down") << "2.5" << 2;
        QTest::newRow("half to even, up") << "3.5" << 4;
        QTest::newRow("negative half") << "-2.5" << -2;
        QTest::newRow("spaces") << " 12 " << 12;
        QTest::newRow("exponent") << "1e3" << 1000;
        QTest::newRow("top of the range") << "32767" << 32767;
        QTest::newRow("rounds out of the range") << "32767.5" << 0;
        QTest::newRow("above the range") << "40000" << 0;
        QTest::newRow("below the range") << "-32769" << 0;
        QTest::newRow("bottom of the range") << "-32768" << -32768;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("number then text") << "12px" << 0;
    }
    void intOrZero() {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        QCOMPARE(int(IntOrZero(stored)), expected);
    }

    void booleans() {
        QCOMPARE(preferenceBoolean("True"), std::optional<bool>(true));
        QCOMPARE(preferenceBoolean("fALSE"), std::optional<bool>(false));
        QCOMPARE(preferenceBoolean("1"), std::optional<bool>(true));
        QCOMPARE(preferenceBoolean("-1"), std::optional<bool>(true));
        QCOMPARE(preferenceBoolean("0"), std::optional<bool>(false));
        QCOMPARE(preferenceBoolean("yes"), std::nullopt);
        QCOMPARE(preferenceBoolean(""), std::nullopt);
        QCOMPARE(preferenceInt16("2"), std::optional<int16_t>(2));
        QCOMPARE(preferenceInt16("x"), std::nullopt);
    }

    void writtenForms() {
        QCOMPARE(preferenceNumberText(1200), QStringLiteral("1200"));
        QCOMPARE(preferenceNumberText(-60), QStringLiteral("-60"));
        QCOMPARE(preferenceNumberText(0), QStringLiteral("0"));
        QCOMPARE(preferenceNumberText(1200.5), QStringLiteral("1200.5"));
        QCOMPARE(preferenceBooleanText(true), QStringLiteral("True"));
        QCOMPARE(preferenceBooleanText(false), QStringLiteral("False"));
    }
};

QTEST_GUILESS_MAIN(TstPreferenceText)
#include "tst_preferencetext.moc"
