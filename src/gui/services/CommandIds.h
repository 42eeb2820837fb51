// Every command of the main window by a typed id: the menu items (named as the menus name them,
// indexed items with their index: `mnuOpen0`, `mnuMouseMode1`), the toolbar buttons that run no
// menu command ("Bold", "A", ...) and the entries of the Open button's drop-down.
//
// The list is the one place the ids come from; the command table (app/CommandTable.cpp) gives
// each its caption, shortcut and place, and a test checks that the two agree.
#pragma once

#include <QString>

#include <optional>

namespace pellumar {

#define PELLUMAR_COMMANDS(X) \
    X(mnuFile)               \
    X(mnuNew)                \
    X(mnuOpenA)              \
    X(mnuOpen0)              \
    X(mnuOpen1)              \
    X(mnuOpenCSV0)           \
    X(mnuOpenCSV1)           \
    X(mnuOpen2)              \
    X(mnuOpenTAB0)           \
    X(mnuOpenTAB1)           \
    X(mnuOpenXlsx)           \
    X(mnuOpenOds)            \
    X(mnuAppend)             \
    X(mnuImportFormPosts)    \
    X(mnuSave)               \
    X(mnuSaveAs)             \
    X(mnuSaveAsPLM)          \
    X(mnuSaveAsComma)        \
    X(mnuSaveAsTab)          \
    X(mnuSaveAsXlsx)         \
    X(mnuSaveAsOds)          \
    X(mnuPrintSheet)         \
    X(mnuPrintLabels)        \
    X(mnuExit)               \
    X(mnuEdit)               \
    X(mnuUndo)               \
    X(mnuRedo)               \
    X(mnuEditCut)            \
    X(mnuEditCopy)           \
    X(mnuEditPaste)          \
    X(mnuSelectAll)          \
    X(mnuEditFind)           \
    X(mnuAddRow)             \
    X(mnuInsert)             \
    X(mnuInsertRow)          \
    X(mnuInsertCol)          \
    X(mnuDelete)             \
    X(mnuDeleteRow)          \
    X(mnuDeleteCol)          \
    X(mnuMove)               \
    X(mnuMoveUp)             \
    X(mnuMoveDown)           \
    X(mnuEditStat)           \
    X(mnuEditColAttr)        \
    X(mnuAlign)              \
    X(mnuAlignLeft)          \
    X(mnuAlignCenter)        \
    X(mnuAlignRight)         \
    X(mnuBkColor)            \
    X(mnuRowHeight)          \
    X(mnuRowHeightReset)     \
    X(mnuRowHeightInc)       \
    X(mnuRowHeightDec)       \
    X(mnuView)               \
    X(mnuEmailParser)        \
    X(mnuViewFb)             \
    X(mnuRowCol)             \
    X(mnuMoveControl)        \
    X(mnuAlternateColor)     \
    X(mnuGrid)               \
    X(mnuTools)              \
    X(mnuMouseMode0)         \
    X(mnuMouseMode1)         \
    X(mnuDragDrop)           \
    X(mnuColDef)             \
    X(mnuDateTimeNow)        \
    X(mnuConvChr)            \
    X(mnuHelp)               \
    X(mnuTip)                \
    X(mnuWeb)                \
    X(mnuAbout)              \
    X(Bold)                  \
    X(Italic)                \
    X(Underline)             \
    X(A)                     \
    X(Acolor)                \
    X(OPEN_PLM)              \
    X(OPEN_CSV)              \
    X(OPEN_TXT)              \
    X(OPEN_XLSX)             \
    X(OPEN_ODS)

enum class CommandId : int {
#define PELLUMAR_COMMAND_ENUM(name) name,
    PELLUMAR_COMMANDS(PELLUMAR_COMMAND_ENUM)
#undef PELLUMAR_COMMAND_ENUM
};

constexpr int kCommandCount = 0
#define PELLUMAR_COMMAND_COUNT(name) +1
    PELLUMAR_COMMANDS(PELLUMAR_COMMAND_COUNT)
#undef PELLUMAR_COMMAND_COUNT
    ;

// The command's name as the program's description names it ("mnuSave", "Bold").
QString commandName(CommandId id);
// The command of a name; nothing for a name that is no command.
std::optional<CommandId> commandFromName(QStringView name);

}  // namespace pellumar
