#include "gui/app/CommandTable.h"

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
    MenuEntry{{}, CommandId::mnuFile, "&File", "", Sub},
    MenuEntry{CommandId::mnuFile, CommandId::mnuNew, "&New", "Ctrl+N", 0},
    MenuEntry{CommandId::mnuFile, CommandId::mnuOpenA, "&Open", "", Sub},
    MenuEntry{CommandId::mnuOpenA, CommandId::mnuOpen0, "&Pellumar (*.plm)", "", 0},
    MenuEntry{CommandId::mnuOpenA, CommandId::mnuOpen1, "&Comma Delimited (*.csv)", "", Sub},
    MenuEntry{CommandId::mnuOpen1, CommandId::mnuOpenCSV0, "First Line &Header", "", 0},
    MenuEntry{CommandId::mnuOpen1, CommandId::mnuOpenCSV1, "First Line &Data", "", 0},
    MenuEntry{CommandId::mnuOpenA, CommandId::mnuOpen2, "Ta&b Delimited (*.txt)", "", Sub},
    MenuEntry{CommandId::mnuOpen2, CommandId::mnuOpenTAB0, "First Line &Header", "", 0},
    MenuEntry{CommandId::mnuOpen2, CommandId::mnuOpenTAB1, "First Line &Data", "", 0},
    MenuEntry{CommandId::mnuOpenA, CommandId::mnuOpenXlsx, "&Excel Workbook (*.xlsx)", "", 0},
    MenuEntry{CommandId::mnuOpenA, CommandId::mnuOpenOds, "Open&Document Spreadsheet (*.ods)", "",
              0},
    MenuEntry{CommandId::mnuFile, CommandId::mnuAppend, "&Append", "Ctrl+A", 0},
    MenuEntry{CommandId::mnuFile, CommandId::mnuImportFormPosts, "&Import Form Posts...", "", 0},
    MenuEntry{CommandId::mnuFile, CommandId::mnuSave, "&Save", "Ctrl+S", Off},
    MenuEntry{CommandId::mnuFile, CommandId::mnuSaveAs, "Save &As", "", Sub | Sep},
    MenuEntry{CommandId::mnuSaveAs, CommandId::mnuSaveAsPLM, "Pellumar (*.plm)", "", 0},
    MenuEntry{CommandId::mnuSaveAs, CommandId::mnuSaveAsComma, "Comma Delimited (*.csv)", "", 0},
    MenuEntry{CommandId::mnuSaveAs, CommandId::mnuSaveAsTab, "Tab Delimited (*.txt)", "", 0},
    MenuEntry{CommandId::mnuSaveAs, CommandId::mnuSaveAsXlsx, "Excel Workbook (*.xlsx)", "", 0},
    MenuEntry{CommandId::mnuSaveAs, CommandId::mnuSaveAsOds, "OpenDocument Spreadsheet (*.ods)", "",
              0},
    MenuEntry{CommandId::mnuFile, CommandId::mnuPrintSheet, "&Print Sheet...", "F4", Sep},
    MenuEntry{CommandId::mnuFile, CommandId::mnuPrintLabels, "Print &Mailing Labels...", "F5", Sep},
    MenuEntry{CommandId::mnuFile, CommandId::mnuExit, "E&xit", "", 0},

    MenuEntry{{}, CommandId::mnuEdit, "&Edit", "", Sub},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuUndo, "U&ndo", "Ctrl+Z", Off},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuRedo, "R&edo", "Ctrl+Y; Ctrl+Shift+Z", Off | Sep},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuEditCut, "C&ut", "Ctrl+X", 0},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuEditCopy, "&Copy", "Ctrl+C", 0},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuEditPaste, "&Paste", "Ctrl+V", 0},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuSelectAll, "Select &All", "Ctrl+L", Sep},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuEditFind, "&Find...", "Ctrl+F", Sep},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuAddRow, "&Add Row", "Ctrl+F2", 0},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuInsert, "&Insert", "", Sub},
    MenuEntry{CommandId::mnuInsert, CommandId::mnuInsertRow, "&Row", "Shift+Ins", 0},
    MenuEntry{CommandId::mnuInsert, CommandId::mnuInsertCol, "&Col", "Ctrl+Ins", 0},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuDelete, "&Delete", "", Sub | Sep},
    MenuEntry{CommandId::mnuDelete, CommandId::mnuDeleteRow, "&Row(s)", "Shift+Del", 0},
    MenuEntry{CommandId::mnuDelete, CommandId::mnuDeleteCol, "&Col", "Ctrl+D", 0},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuMove, "&Move", "", Sub | Sep},
    MenuEntry{CommandId::mnuMove, CommandId::mnuMoveUp, "&Up", "Ctrl+F11", 0},
    MenuEntry{CommandId::mnuMove, CommandId::mnuMoveDown, "&Down", "Ctrl+F12", 0},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuEditStat, "A&rithmetic", "Shift+F2", Off | Sep},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuEditColAttr, "Column A&ttributes...", "", Sep},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuAlign, "A&lignment", "", Sub | Sep},
    MenuEntry{CommandId::mnuAlign, CommandId::mnuAlignLeft, "&Left", "", 0},
    MenuEntry{CommandId::mnuAlign, CommandId::mnuAlignCenter, "&Center", "", 0},
    MenuEntry{CommandId::mnuAlign, CommandId::mnuAlignRight, "&Right", "", 0},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuBkColor, "&Backgorund Color...", "", Sep},
    MenuEntry{CommandId::mnuEdit, CommandId::mnuRowHeight, "Row &Height", "", Sub},
    MenuEntry{CommandId::mnuRowHeight, CommandId::mnuRowHeightReset, "&Reset All", "", 0},
    MenuEntry{CommandId::mnuRowHeight, CommandId::mnuRowHeightInc, "&Increase", "F11", 0},
    MenuEntry{CommandId::mnuRowHeight, CommandId::mnuRowHeightDec, "&Decrease", "F12", 0},

    MenuEntry{{}, CommandId::mnuView, "&View", "", Sub},
    MenuEntry{CommandId::mnuView, CommandId::mnuEmailParser, "&Drop Box", "", Chk | Sep},
    MenuEntry{CommandId::mnuView, CommandId::mnuViewFb, "&Form Panel", "F2", Chk | On | Sep},
    MenuEntry{CommandId::mnuView, CommandId::mnuRowCol, "&Row Col Control", "", Chk | Sep},
    MenuEntry{CommandId::mnuView, CommandId::mnuMoveControl, "&Move Control", "", Chk | Sep},
    MenuEntry{CommandId::mnuView, CommandId::mnuAlternateColor, "&Alternate Row Color", "", Chk},
    MenuEntry{CommandId::mnuView, CommandId::mnuGrid, "&Grid Lines", "", Chk | On},

    MenuEntry{{}, CommandId::mnuTools, "&Tools", "", Sub},
    MenuEntry{CommandId::mnuTools, CommandId::mnuMouseMode0, "&Row Mode", "F6", Chk | On},
    MenuEntry{CommandId::mnuTools, CommandId::mnuMouseMode1, "&Block && Edit Mode", "F7",
              Chk | Sep},
    MenuEntry{CommandId::mnuTools, CommandId::mnuDragDrop, "&Drag Mode", "F8", Chk | Sep},
    MenuEntry{CommandId::mnuTools, CommandId::mnuColDef, "&Column Define...", "F9", Sep},
    MenuEntry{CommandId::mnuTools, CommandId::mnuDateTimeNow, "DateTime Stamp Now", "F3", Sep},
    MenuEntry{CommandId::mnuTools, CommandId::mnuConvChr, "Set &Separator...", "", 0},

    MenuEntry{{}, CommandId::mnuHelp, "&Help", "", Sub},
    MenuEntry{CommandId::mnuHelp, CommandId::mnuTip, "&Tip of The Day", "F1", Sep},
    MenuEntry{CommandId::mnuHelp, CommandId::mnuWeb, "Pellumar on the &Web", "", 0},
    MenuEntry{CommandId::mnuHelp, CommandId::mnuAbout, "&About", "", SepBefore},
};

constexpr std::array kMainTools{
    ToolEntry{"New", "New", CommandId::mnuNew, ToolKind::Plain, false},
    ToolEntry{"Open", "Open Pellumar File", CommandId::mnuOpen0, ToolKind::DropDown, false},
    ToolEntry{"Save", "Save", CommandId::mnuSave, ToolKind::Plain, true},
    ToolEntry{"Cut", "Cut", CommandId::mnuEditCut, ToolKind::Plain, false},
    ToolEntry{"Copy", "Copy", CommandId::mnuEditCopy, ToolKind::Plain, false},
    ToolEntry{"Paste", "Paste", CommandId::mnuEditPaste, ToolKind::Plain, true},
    ToolEntry{"Find", "Find", CommandId::mnuEditFind, ToolKind::Plain, true},
    ToolEntry{"Bold", "Bold", CommandId::Bold, ToolKind::Check, false},
    ToolEntry{"Italic", "Italic", CommandId::Italic, ToolKind::Check, false},
    ToolEntry{"Underline", "Underline", CommandId::Underline, ToolKind::Check, true},
    ToolEntry{"A", "Current Font Color", CommandId::A, ToolKind::Plain, false},
    ToolEntry{"Acolor", "Set Font Color", CommandId::Acolor, ToolKind::Plain, true},
    ToolEntry{"Flood", "Set Background Color", CommandId::mnuBkColor, ToolKind::Plain, true},
    ToolEntry{"RowMode", "Row and Find Mode", CommandId::mnuMouseMode0, ToolKind::ModePair, false},
    ToolEntry{"BlockMode", "Block and Edit Mode", CommandId::mnuMouseMode1, ToolKind::ModePair,
              true},
    ToolEntry{"DragMode", "Toggle Drag Mode", CommandId::mnuDragDrop, ToolKind::Check, false},
    ToolEntry{"AlternateColor", "Toggle Alternate Color", CommandId::mnuAlternateColor,
              ToolKind::Check, true},
};

constexpr std::array kMoveTools{
    ToolEntry{"Up", "Move Row(s) Up", CommandId::mnuMoveUp, ToolKind::Plain, false},
    ToolEntry{"Down", "Move Row(s) Down", CommandId::mnuMoveDown, ToolKind::Plain, false},
};

constexpr std::array kOpenDropDown{
    DropDownEntry{CommandId::OPEN_PLM, "Pellumar (*.plm)"},
    DropDownEntry{CommandId::OPEN_CSV, "Comma Delimited (*.csv)"},
    DropDownEntry{CommandId::OPEN_TXT, "Tab Delimited (*.txt)"},
    DropDownEntry{CommandId::OPEN_XLSX, "Excel Workbook (*.xlsx)"},
    DropDownEntry{CommandId::OPEN_ODS, "OpenDocument Spreadsheet (*.ods)"},
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
