#include "core/table/EditRecorder.h"

#include <new>
#include <utility>

namespace pellumar {

TableChange::~TableChange() = default;

size_t EditStep::bytes() const {
    size_t bytes = sizeof(EditStep) + static_cast<size_t>(name_.size()) * 2;
    for (const auto& change : changes_) {
        bytes += change->bytes();
    }
    return bytes;
}

void EditStep::undo() {
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        (*it)->undo();
    }
}

void EditStep::redo() {
    for (auto& change : changes_) {
        change->redo();
    }
}

void EditStep::release() {
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        (*it)->release();
    }
    changes_.clear();
}

std::optional<std::pair<int, int>> EditStep::place() const {
    for (const auto& change : changes_) {
        if (auto at = change->place()) {
            return at;
        }
    }
    return std::nullopt;
}

EditRecorder::EditRecorder() = default;
EditRecorder::~EditRecorder() = default;

EditRecorder::Step::~Step() {
    if (recorder_) {
        recorder_->close();
    }
}

EditRecorder::Step EditRecorder::step(const QString& name) {
    open(name);
    return Step(this);
}

void EditRecorder::open(const QString& name) {
    if (depth_++ == 0) {
        open_ = std::make_unique<EditStep>(name);
    }
}

void EditRecorder::close() {
    if (--depth_ > 0) {
        return;
    }
    std::unique_ptr<EditStep> done = std::move(open_);
    if (!done || done->isEmpty()) {
        return;
    }
    if (!sink_) {
        done->release();
        return;
    }
    // A step the history cannot take leaves the history behind the table: it starts afresh.
    try {
        sink_(std::move(done));
    } catch (const std::bad_alloc&) {
        forget();
    }
}

void EditRecorder::record(std::unique_ptr<TableChange> change) {
    if (!open_ || !recording()) {
        return;
    }
    open_->add(std::move(change));
}

void EditRecorder::forget() {
    ++generation_;
    if (open_) {
        // A step open across the forgetting keeps nothing from before it.
        open_ = std::make_unique<EditStep>(open_->name());
    }
    if (forgotten_) {
        forgotten_();
    }
}

void EditRecorder::setSink(std::function<void(std::unique_ptr<EditStep>)> sink,
                           std::function<void()> forgotten) {
    sink_ = std::move(sink);
    forgotten_ = std::move(forgotten);
}

}  // namespace pellumar
