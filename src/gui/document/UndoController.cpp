#include "gui/document/UndoController.h"

#include <QAction>
#include <QUndoCommand>
#include <QWidget>

#include <algorithm>
#include <new>

#include "core/document/Document.h"
#include "core/table/EditRecorder.h"
#include "gui/grid/GridControl.h"
#include "gui/services/CommandRegistry.h"
#include "gui/services/Prompter.h"

namespace pellumar {

namespace {

// One step on the stack. Its change is already made when it is pushed: the first redo, which
// QUndoStack runs on push, does nothing.
class StepCommand : public QUndoCommand {
public:
    explicit StepCommand(std::unique_ptr<EditStep> step)
        : QUndoCommand(step->name()), step_(std::move(step)) {}

    void undo() override { step_->undo(); }
    void redo() override {
        if (pushed_) {
            step_->redo();
        }
        pushed_ = true;
    }
    size_t bytes() const { return released_ ? sizeof(*this) : sizeof(*this) + step_->bytes(); }
    std::optional<std::pair<int, int>> place() const { return step_->place(); }
    void release() {
        if (!released_) {
            step_->release();
            released_ = true;
        }
    }

private:
    std::unique_ptr<EditStep> step_;
    bool pushed_ = false;
    bool released_ = false;
};

}  // namespace

UndoController::UndoController(Document& document, Prompter& prompter, QWidget& window,
                               CommandRegistry& commands, GridControl& fa, QObject* parent)
    : QObject(parent),
      document_(document),
      prompter_(prompter),
      window_(window),
      commands_(commands),
      fa_(fa),
      stack_(this) {
    commands_.registerCommand(CommandId::mnuUndo, [this] { mnuUndo_Click(); });
    commands_.registerCommand(CommandId::mnuRedo, [this] { mnuRedo_Click(); });
    document_.recorder().setSink([this](std::unique_ptr<EditStep> step) { push(std::move(step)); },
                                 [this] { clearHistory(); });
    refreshCommands();
}

UndoController::~UndoController() {
    document_.recorder().setSink({}, {});
}

bool UndoController::canUndo() const {
    return stack_.index() > floor_;
}

bool UndoController::canRedo() const {
    return stack_.canRedo();
}

QString UndoController::undoName() const {
    return canUndo() ? stack_.undoText() : QString();
}

QString UndoController::redoName() const {
    return canRedo() ? stack_.redoText() : QString();
}

int UndoController::undoableSteps() const {
    return stack_.index() - floor_;
}

size_t UndoController::historyBytes() const {
    return bytes_;
}

size_t UndoController::commandBytes(int index) const {
    return static_cast<const StepCommand*>(stack_.command(index))->bytes();
}

void UndoController::setBudget(size_t bytes) {
    budget_ = bytes;
    keepBudget();
    refreshCommands();
}

void UndoController::clearHistory() {
    stack_.clear();
    floor_ = 0;
    bytes_ = 0;
    refreshCommands();
}

void UndoController::push(std::unique_ptr<EditStep> step) {
    // The steps that could be redone go with the push.
    for (int i = stack_.index(); i < stack_.count(); ++i) {
        bytes_ -= commandBytes(i);
    }
    auto* command = new StepCommand(std::move(step));
    bytes_ += command->bytes();
    stack_.push(command);
    keepBudget();
    refreshCommands();
}

void UndoController::keepBudget() {
    // The newest step that can be undone stays, whatever it keeps.
    while (bytes_ > budget_ && floor_ < stack_.index() - 1) {
        auto* oldest = static_cast<StepCommand*>(const_cast<QUndoCommand*>(stack_.command(floor_)));
        bytes_ -= oldest->bytes();  // below the floor nothing counts
        oldest->release();
        ++floor_;
    }
}

void UndoController::replay(bool undo) {
    const QString name = undo ? undoName() : redoName();
    const int index = undo ? stack_.index() - 1 : stack_.index();
    try {
        const EditRecorder::Replay quiet(document_.recorder());
        const size_t before = commandBytes(index);
        if (undo) {
            stack_.undo();
        } else {
            stack_.redo();
        }
        bytes_ = bytes_ - before + commandBytes(index);
    } catch (const std::bad_alloc&) {
        clearHistory();
        document_.MakeModified(true);
        prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Pellumar"),
                         QStringLiteral("There was not enough memory to %1 %2, so it stopped part "
                                        "of the way and the changes can no longer be undone. "
                                        "Check the table before you save it.")
                             .arg(undo ? QStringLiteral("undo") : QStringLiteral("redo"), name));
        return;
    }
    document_.MakeModified(true);
    refreshCommands();
    show(static_cast<const StepCommand*>(stack_.command(index))->place());
}

void UndoController::show(std::optional<std::pair<int, int>> place) {
    // The data grid goes to the first cell the step changed: its record (the first record for
    // the title row or a column) and its column (the current one for a record).
    const int records = document_.recordCount();
    const int cols = document_.model().cols();
    if (!place || records == 0 || cols == 0) {
        return;
    }
    const int row = place->first < 0 ? fa_.row() : place->first;
    const int col = place->second < 0 ? fa_.col() : place->second;
    fa_.select(std::clamp(row, 1, records), std::clamp(col, 0, cols - 1));
}

void UndoController::mnuUndo_Click() {
    if (canUndo()) {
        replay(true);
    }
}

void UndoController::mnuRedo_Click() {
    if (canRedo()) {
        replay(false);
    }
}

void UndoController::refreshCommands() {
    const auto caption = [](const QString& verb, const QString& name) {
        return name.isEmpty() ? verb : verb + u' ' + name;
    };
    commands_.setCommandEnabled(CommandId::mnuUndo, canUndo());
    commands_.setCommandEnabled(CommandId::mnuRedo, canRedo());
    if (QAction* a = commands_.action(CommandId::mnuUndo)) {
        a->setText(caption(QStringLiteral("U&ndo"), undoName()));
    }
    if (QAction* a = commands_.action(CommandId::mnuRedo)) {
        a->setText(caption(QStringLiteral("R&edo"), redoName()));
    }
    emit historyChanged();
}

}  // namespace pellumar
