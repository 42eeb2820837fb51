// The record of a document's changes, for undo and redo.
//
// A user command opens one step around everything it does (EditRecorder::step); while a step is
// open, each operation of the table's model that changes something adds what it needs to go back
// and forth (a TableChange). Nested steps fold into the outermost one; a step that recorded
// nothing is no step. A change made while no step is open becomes a step of its own, named for
// what it was. Each finished step goes to the history (the sink), which undoes and redoes it
// while the recorder replays, so that the replay itself records nothing.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace pellumar {

// One recorded change. undo() and redo() run through the model's own operations, so the views
// follow; redo() takes again whatever undo() gave back.
class TableChange {
public:
    virtual ~TableChange();
    virtual void undo() = 0;
    virtual void redo() = 0;
    // About the bytes the change keeps.
    virtual size_t bytes() const = 0;
    // The change leaves the history while done (its undo will never run): what it keeps aside
    // in the table goes back to the table.
    virtual void release() {}
    // Where the change is, for the views to show it: a cell, or a row or a column alone (the
    // other -1); nothing for a change of the whole table (a sort).
    virtual std::optional<std::pair<int, int>> place() const { return std::nullopt; }
};

// The changes of one command, under the name the menus show ("Paste", "Typing", ...).
class EditStep {
public:
    explicit EditStep(QString name) : name_(std::move(name)) {}
    const QString& name() const { return name_; }
    bool isEmpty() const { return changes_.empty(); }
    void add(std::unique_ptr<TableChange> change) { changes_.push_back(std::move(change)); }
    size_t bytes() const;
    // Undoes the changes last to first; redoes them first to last.
    void undo();
    void redo();
    // The step leaves the history while done; afterwards it holds nothing and cannot be undone.
    void release();
    // The place of its first change that has one.
    std::optional<std::pair<int, int>> place() const;

private:
    QString name_;
    std::vector<std::unique_ptr<TableChange>> changes_;
};

class EditRecorder {
public:
    EditRecorder();
    EditRecorder(const EditRecorder&) = delete;
    EditRecorder& operator=(const EditRecorder&) = delete;
    ~EditRecorder();

    // An open step; the outermost one hands its changes to the history when it ends.
    class Step {
    public:
        Step(Step&& other) noexcept : recorder_(std::exchange(other.recorder_, nullptr)) {}
        Step& operator=(Step&&) = delete;
        ~Step();

    private:
        friend class EditRecorder;
        explicit Step(EditRecorder* recorder) : recorder_(recorder) {}
        EditRecorder* recorder_;
    };
    [[nodiscard]] Step step(const QString& name);

    // True while changes are recorded: not while a step is replayed or recording is paused.
    bool recording() const { return replaying_ == 0 && paused_ == 0; }
    bool stepOpen() const { return depth_ > 0; }
    // Adds a change to the open step (call inside a step).
    void record(std::unique_ptr<TableChange> change);

    // While a Replay lives, the model's operations record nothing (undo and redo).
    class Replay {
    public:
        explicit Replay(EditRecorder& recorder) : recorder_(recorder) { ++recorder_.replaying_; }
        Replay(const Replay&) = delete;
        Replay& operator=(const Replay&) = delete;
        ~Replay() { --recorder_.replaying_; }

    private:
        EditRecorder& recorder_;
    };

    // While a Pause lives nothing is recorded; it starts by forgetting the history, since the
    // table then changes in ways no step can take back (New builds the table afresh).
    class Pause {
    public:
        explicit Pause(EditRecorder& recorder) : recorder_(&recorder) {
            recorder_->forget();
            ++recorder_->paused_;
        }
        Pause(Pause&& other) noexcept : recorder_(std::exchange(other.recorder_, nullptr)) {}
        Pause& operator=(Pause&&) = delete;
        ~Pause() {
            if (recorder_) {
                --recorder_->paused_;
            }
        }

    private:
        EditRecorder* recorder_;
    };

    // The history is no longer the table's (a load, New): the history empties itself, and
    // changes recorded before never touch the table again.
    void forget();
    // Counts the forgettings: a change releases rows into the table only when it still belongs.
    uint64_t generation() const { return generation_; }

    // Where finished steps go, and who hears that the history was forgotten. Without a sink,
    // finished steps are dropped (released) at once.
    void setSink(std::function<void(std::unique_ptr<EditStep>)> sink,
                 std::function<void()> forgotten);

private:
    void open(const QString& name);
    void close();

    int depth_ = 0;
    int replaying_ = 0;
    int paused_ = 0;
    uint64_t generation_ = 0;
    std::unique_ptr<EditStep> open_;
    std::function<void(std::unique_ptr<EditStep>)> sink_;
    std::function<void()> forgotten_;
};

}  // namespace pellumar
