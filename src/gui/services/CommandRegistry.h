// What a subsystem's controller sees of the main window's menus and toolbars: it connects its
// commands to their menu items and buttons, and sets their enabled, checked and shown states.
//
// Every call names a command by its typed id. A command of the table that no controller has
// connected yet stays disabled, so nothing in the menus pretends to work.
#pragma once

#include <QPoint>

#include <functional>

#include "gui/services/CommandIds.h"

class QAction;
class QMenu;

namespace pellumar {

class CommandRegistry {
public:
    virtual ~CommandRegistry();

    // Runs `handler` when the command is chosen (menu item, shortcut or toolbar button). A
    // checkable command's handler decides the check mark itself.
    virtual void registerCommand(CommandId id, std::function<void()> handler) = 0;

    // A command is enabled by the window's state, and only once it is connected.
    virtual void setCommandEnabled(CommandId id, bool enabled) = 0;
    virtual bool commandEnabled(CommandId id) const = 0;
    virtual void setCommandChecked(CommandId id, bool checked) = 0;
    virtual bool commandChecked(CommandId id) const = 0;
    // Shows or hides a menu item (toolbar buttons keep showing).
    virtual void setCommandVisible(CommandId id, bool visible) = 0;
    // Shows or hides the separator that follows the item in its menu.
    virtual void setSeparatorAfterVisible(CommandId id, bool visible) = 0;

    // The action behind a command, for the few views that show one themselves.
    virtual QAction* action(CommandId id) const = 0;
    // Pops a menu up at a screen position (the Edit menu over the grids).
    virtual void popupMenu(CommandId menu, const QPoint& globalPos) = 0;
};

}  // namespace pellumar
