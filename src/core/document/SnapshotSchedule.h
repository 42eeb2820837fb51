// When the crash-recovery snapshot of a document with unsaved changes is taken.
//
// A change is covered within `interval` (30 s): the snapshot comes `settle` (5 s) after the
// first change not yet covered, so that a burst of editing is taken in one, and never sooner
// than `interval` after the previous snapshot. A record added by the Drop Box is due at once,
// again no sooner than `interval` after the previous snapshot. Later changes never postpone a
// snapshot already due. Times are milliseconds of a monotonic clock.
#pragma once

#include <QtGlobal>

#include <optional>

namespace pellumar {

class SnapshotSchedule {
public:
    static constexpr qint64 kDefaultInterval = 30000;
    static constexpr qint64 kDefaultSettle = 5000;

    explicit SnapshotSchedule(qint64 interval = kDefaultInterval, qint64 settle = kDefaultSettle);

    qint64 interval() const { return interval_; }
    // The settle time is kept no longer than the interval.
    void setTimes(qint64 interval, qint64 settle);

    // The document changed at `now` while it has unsaved changes.
    void changed(qint64 now);
    // The Drop Box added a record at `now`.
    void formRecordAdded(qint64 now);
    // The document has no unsaved changes any more: nothing is due.
    void clear();
    // A snapshot covering every change so far was taken at `now`.
    void taken(qint64 now);

    // When the next snapshot is due; nothing when none is.
    std::optional<qint64> due() const { return due_; }
    bool isDue(qint64 now) const { return due_ && *due_ <= now; }

private:
    void bring(qint64 when);

    qint64 interval_;
    qint64 settle_;
    std::optional<qint64> last_;  // when the last snapshot was taken
    std::optional<qint64> due_;
};

}  // namespace pellumar
