// The main window's commands as data: the menu tree with captions, shortcuts, separators and start
// states, and the two toolbars with their keys and tool tips. The window builds its menus and
// toolbars from these tables; a toolbar button that runs a menu command shares its QAction.
#pragma once

#include <span>

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
    const char* parent;    // the menu or submenu it belongs to ("" for the menu bar)
    const char* name;      // `mnuNew`, `mnuOpen0`, ...
    const char* caption;   // as shown, "&" marking the access key
    const char* shortcut;  // portable key text ("Ctrl+N", "Shift+Ins"), "" for none
    unsigned flags;
};

enum class ToolKind { Plain, DropDown, Check, ModePair };

struct ToolEntry {
    const char* key;  // "New", "Open", "Bold", ...
    const char* toolTip;
    const char* command;  // the menu command it shares, "" for a button of its own
    ToolKind kind;
    bool separatorAfter;
};

struct DropDownEntry {
    const char* key;  // "OPEN_PLM", ...
    const char* caption;
};

std::span<const MenuEntry> menuEntries();
std::span<const ToolEntry> mainToolbarEntries();
std::span<const ToolEntry> moveToolbarEntries();
std::span<const DropDownEntry> openDropDownEntries();

}  // namespace pellumar
