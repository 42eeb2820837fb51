// Values by row kept as runs (style indexes, row heights): every way of changing them gives the
// same values as a plain array would, and the runs stay few: in order, apart, none of value 0,
// and no two equal neighbours.
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <random>
#include <vector>

#include "core/table/RowValues.h"

using namespace pellumar;

namespace {

constexpr uint32_t kRows = 2000;

// What is wrong with the runs against the expected values, or "".
QString mismatch(const RowValues<uint32_t>& values, const std::vector<uint32_t>& expected) {
    size_t used = 0;
    uint64_t end = 0;
    for (size_t i = 0; i < values.runs().size(); ++i) {
        const auto& run = values.runs()[i];
        if (run.count == 0 || run.value == 0 || run.first < end ||
            (i > 0 && run.first == end && values.runs()[i - 1].value == run.value)) {
            return QStringLiteral("run %1 (%2, %3) is not kept right")
                .arg(i)
                .arg(run.first)
                .arg(run.count);
        }
        end = run.end();
        used += run.count;
    }
    if (used != values.count()) {
        return QStringLiteral("count %1, runs hold %2").arg(values.count()).arg(used);
    }
    for (uint32_t r = 0; r < kRows + 5; ++r) {
        const uint32_t want = r < kRows ? expected[r] : 0;
        if (values.get(r) != want) {
            return QStringLiteral("row %1: %2, not %3").arg(r).arg(values.get(r)).arg(want);
        }
    }
    return {};
}

}  // namespace

class TstRowValues : public QObject {
    Q_OBJECT

private slots:
    void changesMatchAnArray_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("single rows") << 0;
        QTest::newRow("stretches of rows") << 1;
        QTest::newRow("scattered rows remapped") << 2;
        QTest::newRow("scattered rows given values") << 3;
        QTest::newRow("one stretch remapped") << 4;
        QTest::newRow("all kinds mixed") << 5;
    }

    void changesMatchAnArray() {
        QFETCH(int, kind);
        QRandomGenerator random(1234 + kind);
        RowValues<uint32_t> values;
        std::vector<uint32_t> expected(kRows, 0);
        for (int step = 0; step < 200; ++step) {
            const int what = kind == 5 ? random.bounded(5) : kind;
            const auto value = static_cast<uint32_t>(random.bounded(4));
            const auto first = static_cast<uint32_t>(random.bounded(kRows));
            const auto count = static_cast<uint32_t>(random.bounded(kRows - first) + 1);
            if (what == 0) {
                values.set(first, value);
                expected[first] = value;
            } else if (what == 1) {
                values.setRange(first, count, value);
                std::fill_n(expected.begin() + first, count, value);
            } else if (what == 2 || what == 3) {
                // Rows in a shuffled order, some in stretches, some alone.
                std::vector<uint32_t> rows;
                for (uint32_t r = 0; r < kRows; ++r) {
                    if (random.bounded(3) == 0) {
                        rows.push_back(r);
                    }
                }
                std::shuffle(rows.begin(), rows.end(), std::mt19937(random.generate()));
                if (what == 2) {
                    const auto shift = static_cast<uint32_t>(random.bounded(1, 4));
                    values.remap(
                        rows.size(), [&](size_t j) { return rows[j]; },
                        [&](uint32_t old) { return (old + shift) % 4; });
                    for (const uint32_t r : rows) {
                        expected[r] = (expected[r] + shift) % 4;
                    }
                } else {
                    std::vector<std::pair<uint32_t, uint32_t>> pairs;
                    for (const uint32_t r : rows) {
                        pairs.emplace_back(r, static_cast<uint32_t>(random.bounded(4)));
                        expected[r] = pairs.back().second;
                    }
                    values.assign(std::move(pairs));
                }
            } else {
                values.remapRange(first, count,
                                  [](uint32_t old) { return old == 0 ? 2 : old - 1; });
                for (uint32_t r = first; r < first + count; ++r) {
                    expected[r] = expected[r] == 0 ? 2 : expected[r] - 1;
                }
            }
            const QString wrong = mismatch(values, expected);
            QVERIFY2(wrong.isEmpty(),
                     qPrintable(QStringLiteral("step %1: %2").arg(step).arg(wrong)));
        }
    }

    void aLongStretchIsOneRun() {
        RowValues<int32_t> heights;
        heights.setRange(0, 2000000000u, 240);
        heights.set(1000000000u, 0);
        QCOMPARE(heights.runs().size(), size_t(2));
        QCOMPARE(heights.count(), size_t(1999999999));
        QCOMPARE(heights.get(999999999u), 240);
        QCOMPARE(heights.get(1000000000u), 0);
        heights.set(1000000000u, 240);
        QCOMPARE(heights.runs().size(), size_t(1));
        QVERIFY(heights.bytes() < 256);
    }
};

QTEST_GUILESS_MAIN(TstRowValues)
#include "tst_rowvalues.moc"
