// Column attributes and the Column Define dialog: the main window's side.
#include "app/frmMain.h"
#include "columns/frmColDef.h"

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

// The dialog is modal to the main window and goes away when it is closed.
void openColumnDefine(frmMain* window, bool oneColumn) {
    if (window->fa->cols() == 0) {
        return;
    }
    auto* dialog = new frmColDef(window, oneColumn);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

}  // namespace

// Edit, "Column A&ttributes..." defines the data grid's current column; Tools, "&Column
// Define..." every column.
void frmMain::registerColumnCommands() {
    registerCommand(u"mnuEditColAttr"_s, [this] { openColumnDefine(this, true); });
    registerCommand(u"mnuColDef"_s, [this] { openColumnDefine(this, false); });
}

}  // namespace pellumar
