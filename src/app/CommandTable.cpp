#include "app/CommandTable.h"

#include <array>

namespace pellumar {

namespace {

constexpr unsigned Sub = CommandSubmenu;
constexpr unsigned Chk = CommandCheckable;
constexpr unsigned On = CommandChecked;
constexpr unsigned Off = CommandDisabled;
constexpr unsigned Sep = CommandSeparatorAfter;
constexpr unsigned SepBefore = CommandSeparatorBefore;

constexpr std::array kMenus{
    MenuEntry{"", "mnuFile", "&File", "", Sub},
    MenuEntry{"mnuFile", "mnuNew", "&New", "Ctrl+N", 0},
    MenuEntry{"mnuFile", "mnuOpenA", "&Open", "", Sub},
    MenuEntry{"mnuOpenA", "mnuOpen0", "&Pellumar (*.plm)", "", 0},
    MenuEntry{"mnuOpenA", "mnuOpen1", "&Comma Delimited (*.csv)", "", Sub},
    MenuEntry{"mnuOpen1", "mnuOpenCSV0", "First Line &Header", "", 0},
    MenuEntry{"mnuOpen1", "mnuOpenCSV1", "First Line &Data", "", 0},
    MenuEntry{"mnuOpenA", "mnuOpen2", "Ta&b Delimited (*.txt)", "", Sub},
    MenuEntry{"mnuOpen2", "mnuOpenTAB0", "First Line &Header", "", 0},
    MenuEntry{"mnuOpen2", "mnuOpenTAB1", "First Line &Data", "", 0},
    MenuEntry{"mnuFile", "mnuAppend", "&Append", "Ctrl+A", 0},
    MenuEntry{"mnuFile", "mnuSave", "&Save", "Ctrl+S", Off},
    MenuEntry{"mnuFile", "mnuSaveAs", "Save &As", "", Sub | Sep},
    MenuEntry{"mnuSaveAs", "mnuSaveAsPLM", "Pellumar (*.plm)", "", 0},
    MenuEntry{"mnuSaveAs", "mnuSaveAsComma", "Comma Delimited (*.csv)", "", 0},
    MenuEntry{"mnuSaveAs", "mnuSaveAsTab", "Tab Delimited (*.txt)", "", 0},
    MenuEntry{"mnuFile", "mnuPrintSheet", "&Print Sheet...", "F4", Sep},
    MenuEntry{"mnuFile", "mnuPrintLabels", "Print &Mailing Labels...", "F5", Sep},
    MenuEntry{"mnuFile", "mnuExit", "E&xit", "", 0},

    MenuEntry{"", "mnuEdit", "&Edit", "", Sub},
    MenuEntry{"mnuEdit", "mnuEditCut", "C&ut", "Ctrl+X", 0},
    MenuEntry{"mnuEdit", "mnuEditCopy", "&Copy", "Ctrl+C", 0},
    MenuEntry{"mnuEdit", "mnuEditPaste", "&Paste", "Ctrl+V", 0},
    MenuEntry{"mnuEdit", "mnuSelectAll", "Select &All", "Ctrl+L", Sep},
    MenuEntry{"mnuEdit", "mnuEditFind", "&Find...", "Ctrl+F", Sep},
    MenuEntry{"mnuEdit", "mnuAddRow", "&Add Row", "Ctrl+F2", 0},
    MenuEntry{"mnuEdit", "mnuInsert", "&Insert", "", Sub},
    MenuEntry{"mnuInsert", "mnuInsertRow", "&Row", "Shift+Ins", 0},
    MenuEntry{"mnuInsert", "mnuInsertCol", "&Col", "Ctrl+Ins", 0},
    MenuEntry{"mnuEdit", "mnuDelete", "&Delete", "", Sub | Sep},
    MenuEntry{"mnuDelete", "mnuDeleteRow", "&Row(s)", "Shift+Del", 0},
    MenuEntry{"mnuDelete", "mnuDeleteCol", "&Col", "Ctrl+D", 0},
    MenuEntry{"mnuEdit", "mnuMove", "&Move", "", Sub | Sep},
    MenuEntry{"mnuMove", "mnuMoveUp", "&Up", "Ctrl+F11", 0},
    MenuEntry{"mnuMove", "mnuMoveDown", "&Down", "Ctrl+F12", 0},
    MenuEntry{"mnuEdit", "mnuEditStat", "A&rithmetic", "Shift+F2", Off | Sep},
    MenuEntry{"mnuEdit", "mnuEditColAttr", "Column A&ttributes...", "", Sep},
    MenuEntry{"mnuEdit", "mnuAlign", "A&lignment", "", Sub | Sep},
    MenuEntry{"mnuAlign", "mnuAlignLeft", "&Left", "", 0},
    MenuEntry{"mnuAlign", "mnuAlignCenter", "&Center", "", 0},
    MenuEntry{"mnuAlign", "mnuAlignRight", "&Right", "", 0},
    MenuEntry{"mnuEdit", "mnuBkColor", "&Backgorund Color...", "", Sep},
    MenuEntry{"mnuEdit", "mnuRowHeight", "Row &Height", "", Sub},
    MenuEntry{"mnuRowHeight", "mnuRowHeightReset", "&Reset All", "", 0},
    MenuEntry{"mnuRowHeight", "mnuRowHeightInc", "&Increase", "F11", 0},
    MenuEntry{"mnuRowHeight", "mnuRowHeightDec", "&Decrease", "F12", 0},

    MenuEntry{"", "mnuView", "&View", "", Sub},
    MenuEntry{"mnuView", "mnuEmailParser", "&Drop Box", "", Chk | Sep},
    MenuEntry{"mnuView", "mnuViewFb", "&Form Panel", "F2", Chk | On | Sep},
    MenuEntry{"mnuView", "mnuRowCol", "&Row Col Control", "", Chk | Sep},
    MenuEntry{"mnuView", "mnuMoveControl", "&Move Control", "", Chk | Sep},
    MenuEntry{"mnuView", "mnuAlternateColor", "&Alternate Row Color", "", Chk},
    MenuEntry{"mnuView", "mnuGrid", "&Grid Lines", "", Chk | On},

    MenuEntry{"", "mnuTools", "&Tools", "", Sub},
    MenuEntry{"mnuTools", "mnuMouseMode0", "&Row Mode", "F6", Chk | On},
    MenuEntry{"mnuTools", "mnuMouseMode1", "&Block && Edit Mode", "F7", Chk | Sep},
    MenuEntry{"mnuTools", "mnuDragDrop", "&Drag Mode", "F8", Chk | Sep},
    MenuEntry{"mnuTools", "mnuColDef", "&Column Define...", "F9", Sep},
    MenuEntry{"mnuTools", "mnuDateTimeNow", "DateTime Stamp Now", "F3", Sep},
    MenuEntry{"mnuTools", "mnuConvChr", "Set &Separator...", "", 0},

    MenuEntry{"", "mnuHelp", "&Help", "", Sub},
    MenuEntry{"mnuHelp", "mnuTip", "&Tip of The Day", "F1", Sep},
    MenuEntry{"mnuHelp", "mnuWeb", "Pellumar on the &Web", "", 0},
    MenuEntry{"mnuHelp", "mnuAbout", "&About", "", SepBefore},
};

constexpr std::array kMainTools{
    ToolEntry{"New", "New", "mnuNew", ToolKind::Plain, false},
    ToolEntry{"Open", "Open Pellumar File", "mnuOpen0", ToolKind::DropDown, false},
    ToolEntry{"Save", "Save", "mnuSave", ToolKind::Plain, true},
    ToolEntry{"Cut", "Cut", "mnuEditCut", ToolKind::Plain, false},
    ToolEntry{"Copy", "Copy", "mnuEditCopy", ToolKind::Plain, false},
    ToolEntry{"Paste", "Paste", "mnuEditPaste", ToolKind::Plain, true},
    ToolEntry{"Find", "Find", "mnuEditFind", ToolKind::Plain, true},
    ToolEntry{"Bold", "Bold", "", ToolKind::Check, false},
    ToolEntry{"Italic", "Italic", "", ToolKind::Check, false},
    ToolEntry{"Underline", "Underline", "", ToolKind::Check, true},
    ToolEntry{"A", "Current Font Color", "", ToolKind::Plain, false},
    ToolEntry{"Acolor", "Set Font Color", "", ToolKind::Plain, true},
    ToolEntry{"Flood", "Set Background Color", "mnuBkColor", ToolKind::Plain, true},
    ToolEntry{"RowMode", "Row and Find Mode", "mnuMouseMode0", ToolKind::ModePair, false},
    ToolEntry{"BlockMode", "Block and Edit Mode", "mnuMouseMode1", ToolKind::ModePair, true},
    ToolEntry{"DragMode", "Toggle Drag Mode", "mnuDragDrop", ToolKind::Check, false},
    ToolEntry{"AlternateColor", "Toggle Alternate Color", "mnuAlternateColor", ToolKind::Check,
              true},
};

constexpr std::array kMoveTools{
    ToolEntry{"Up", "Move Row(s) Up", "mnuMoveUp", ToolKind::Plain, false},
    ToolEntry{"Down", "Move Row(s) Down", "mnuMoveDown", ToolKind::Plain, false},
};

constexpr std::array kOpenDropDown{
    DropDownEntry{"OPEN_PLM", "Pellumar (*.plm)"},
    DropDownEntry{"OPEN_CSV", "Comma Delimited (*.csv)"},
    DropDownEntry{"OPEN_TXT", "Tab Delimited (*.txt)"},
};

}  // namespace

std::span<const MenuEntry> menuEntries() {
    return kMenus;
}
std::span<const ToolEntry> mainToolbarEntries() {
    return kMainTools;
}
std::span<const ToolEntry> moveToolbarEntries() {
    return kMoveTools;
}
std::span<const DropDownEntry> openDropDownEntries() {
    return kOpenDropDown;
}

}  // namespace pellumar
