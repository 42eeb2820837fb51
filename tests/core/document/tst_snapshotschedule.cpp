// When crash-recovery snapshots fall due: within the interval of a change, at once after a Drop
// Box record, never two within the interval.
#include <QRandomGenerator>
#include <QtTest>

#include "core/document/SnapshotSchedule.h"

using namespace pellumar;

class TstSnapshotSchedule : public QObject {
    Q_OBJECT

private slots:
    void aChangeSettlesFirst() {
        SnapshotSchedule s(30000, 5000);
        QVERIFY(!s.due());
        s.changed(1000);
        QCOMPARE(s.due(), std::optional<qint64>(6000));
        // More editing does not put it off.
        s.changed(4000);
        s.changed(5999);
        QCOMPARE(s.due(), std::optional<qint64>(6000));
        QVERIFY(!s.isDue(5999));
        QVERIFY(s.isDue(6000));
    }

    void atMostOneEveryInterval() {
        SnapshotSchedule s(30000, 5000);
        s.taken(10000);
        QVERIFY(!s.due());
        s.changed(11000);
        QCOMPARE(s.due(), std::optional<qint64>(40000));
        // A Drop Box record waits for the interval as well.
        s.formRecordAdded(12000);
        QCOMPARE(s.due(), std::optional<qint64>(40000));
        s.taken(40000);
        // Long after the last one, a change only settles.
        s.changed(100000);
        QCOMPARE(s.due(), std::optional<qint64>(105000));
    }

    void aDropBoxRecordIsDueAtOnce() {
        SnapshotSchedule s(30000, 5000);
        s.formRecordAdded(500);
        QCOMPARE(s.due(), std::optional<qint64>(500));
        s.taken(500);
        s.formRecordAdded(45000);
        QCOMPARE(s.due(), std::optional<qint64>(45000));
        // A record brings forward a snapshot that an edit had put later.
        s.taken(45000);
        s.changed(80000);
        QCOMPARE(s.due(), std::optional<qint64>(85000));
        s.formRecordAdded(81000);
        QCOMPARE(s.due(), std::optional<qint64>(81000));
    }

    void savedWorkIsNotDue() {
        SnapshotSchedule s(30000, 5000);
        s.changed(0);
        s.clear();
        QVERIFY(!s.due());
        // The interval still counts from the last snapshot taken.
        s.taken(1000);
        s.clear();
        s.formRecordAdded(2000);
        QCOMPARE(s.due(), std::optional<qint64>(31000));
    }

    void everyChangeIsCoveredWithinTheInterval() {
        // Whatever the order of edits, records and snapshots: a change at t is covered by a
        // snapshot taken no later than t + interval, and two snapshots are an interval apart.
        QRandomGenerator rng(7);
        for (int run = 0; run < 200; ++run) {
            SnapshotSchedule s(30000, 5000);
            qint64 now = 0;
            std::optional<qint64> lastTaken;
            std::optional<qint64> oldestUncovered;
            for (int step = 0; step < 100; ++step) {
                now += rng.bounded(20000);
                while (s.due() && *s.due() <= now) {
                    const qint64 at = *s.due();
                    if (lastTaken) {
                        QVERIFY(at - *lastTaken >= 30000);
                    }
                    if (oldestUncovered) {
                        QVERIFY(at - *oldestUncovered <= 30000);
                    }
                    s.taken(at);
                    lastTaken = at;
                    oldestUncovered.reset();
                }
                if (rng.bounded(4) == 0) {
                    s.formRecordAdded(now);
                } else {
                    s.changed(now);
                }
                if (!oldestUncovered) {
                    oldestUncovered = now;
                }
                QVERIFY(s.due() && *s.due() - *oldestUncovered <= 30000);
            }
        }
    }

    void shortTimesForTests() {
        SnapshotSchedule s;
        QCOMPARE(s.interval(), qint64(30000));
        s.setTimes(200, 1000);  // the settle time is kept within the interval
        s.changed(0);
        QCOMPARE(s.due(), std::optional<qint64>(200));
    }
};

QTEST_GUILESS_MAIN(TstSnapshotSchedule)
#include "tst_snapshotschedule.moc"
