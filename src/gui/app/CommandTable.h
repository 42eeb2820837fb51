// The main window's commands as data: the menu tree with captions, shortcuts, separators and start
// states, and the two toolbars with their keys and tool tips. The window builds its menus and
// toolbars from these tables; a toolbar button that runs a menu command shares its QAction.
#pragma once

#include <optional>
#include <span>

#include "gui/services/CommandIds.h"

namespace pellumar {

enum CommandFlag : unsigned {
    CommandNone = 0,
    CommandSubmenu = 1 << 0,  // opens a submenu; its items name it as their parent
    CommandCheckable = 1 << 1,
    CommandChecked = 1 << 2,         // checked at start
    CommandDisabled = 1 << 3,        // disabled at start
    CommandSeparatorAfter = 1 << 4,  // a separator follows in its menu
    CommandSeparatorBefore = 1 << 5,
};

struct MenuEntry {
    std::optional<CommandId> parent;  // the menu or submenu it belongs to (none: the menu bar)
    CommandId id;                     // `mnuNew`, `mnuOpen0`, ...
    const char* caption;              // as shown, "&" marking the access key
    const char* shortcut;  // portable key text ("Ctrl+N", "Shift+Ins"; several joined by "; ")
    unsigned flags;
};

enum class ToolKind { Plain, DropDown, Check, ModePair };

struct ToolEntry {
    const char* key;  // "New", "Open", "Bold", ...
    const char* toolTip;
    CommandId command;  // the menu command it shares, or the button's own command
    ToolKind kind;
    bool separatorAfter;
};

struct DropDownEntry {
    CommandId id;  // keyed by its name: "OPEN_PLM", ...
    const char* caption;
};

std::span<const MenuEntry> menuEntries();
std::span<const ToolEntry> mainToolbarEntries();
std::span<const ToolEntry> moveToolbarEntries();
std::span<const DropDownEntry> openDropDownEntries();

}  // namespace pellumar
