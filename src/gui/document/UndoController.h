// Undo and redo: the document's history of steps (grid/EditRecorder.h) on a QUndoStack, the Edit
// menu's "U&ndo" and "R&edo" with the name of the step they would take back or again, and the
// history's memory budget.
//
// An undo or a redo marks the document modified, as any edit does. New, Open and every load
// empty the history. Beyond the budget the oldest steps give up what they keep and can no longer
// be undone; the newest step stays undoable whatever its size. After an undo or a redo the data
// grid shows the first cell the step changed.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>

class QWidget;

namespace pellumar {

class CommandRegistry;
class Document;
class EditStep;
class GridControl;
class Prompter;

class UndoController : public QObject {
    Q_OBJECT

public:
    static constexpr size_t kDefaultBudget = size_t{256} << 20;  // 256 MB

    UndoController(Document& document, Prompter& prompter, QWidget& window,
                   CommandRegistry& commands, GridControl& fa, QObject* parent = nullptr);
    ~UndoController() override;

    void mnuUndo_Click();
    void mnuRedo_Click();

    bool canUndo() const;
    bool canRedo() const;
    // The names of the steps an undo and a redo would take ("Paste"), empty when there is none.
    QString undoName() const;
    QString redoName() const;
    // Steps that can still be undone, and the bytes the history keeps.
    int undoableSteps() const;
    size_t historyBytes() const;

    // The memory the history may keep (kDefaultBudget unless changed).
    size_t budget() const { return budget_; }
    void setBudget(size_t bytes);
    // Empties the history (New, loads).
    void clearHistory();

signals:
    void historyChanged();

private:
    void push(std::unique_ptr<EditStep> step);
    void keepBudget();
    void refreshCommands();
    size_t commandBytes(int index) const;
    // Runs an undo or a redo; a replay that runs out of memory leaves a history that no longer
    // matches the table, so the history goes and the user is told.
    void replay(bool undo);
    // Makes the first cell a step changed the data grid's current cell.
    void show(std::optional<std::pair<int, int>> place);

    Document& document_;
    Prompter& prompter_;
    QWidget& window_;
    CommandRegistry& commands_;
    GridControl& fa_;
    QUndoStack stack_;
    // Steps below this index gave up their data for the budget and cannot be undone.
    int floor_ = 0;
    size_t budget_ = kDefaultBudget;
    size_t bytes_ = 0;  // what the steps from the floor up keep
};

}  // namespace pellumar
