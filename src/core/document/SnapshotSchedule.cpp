#include "core/document/SnapshotSchedule.h"

#include <algorithm>

namespace pellumar {

SnapshotSchedule::SnapshotSchedule(qint64 interval, qint64 settle) {
    setTimes(interval, settle);
}

void SnapshotSchedule::setTimes(qint64 interval, qint64 settle) {
    interval_ = std::max<qint64>(interval, 0);
    settle_ = std::clamp<qint64>(settle, 0, interval_);
}

void SnapshotSchedule::bring(qint64 when) {
    if (last_) {
        when = std::max(when, *last_ + interval_);
    }
    due_ = due_ ? std::min(*due_, when) : when;
}

void SnapshotSchedule::changed(qint64 now) {
    bring(now + settle_);
}

void SnapshotSchedule::formRecordAdded(qint64 now) {
    bring(now);
}

void SnapshotSchedule::clear() {
    due_.reset();
}

void SnapshotSchedule::taken(qint64 now) {
    last_ = now;
    due_.reset();
}

}  // namespace pellumar
