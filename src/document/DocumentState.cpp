// What the main window knows about the document besides its cells: its file and kind, whether it
// has unsaved changes, New and Save, and the common set-up after a load.
#include "app/frmMain.h"

#include <QAction>

namespace pellumar {

void frmMain::MakeModified(bool bWhat) {
    IsModified = bWhat;
    setCommandEnabled(QStringLiteral("mnuSave"), bWhat);
}

bool frmMain::mnuSave_Click() {
    return false;  // writing files comes with the document commands
}

void frmMain::mnuNew_Click() {}
void frmMain::RefreshDocumentView() {}
void frmMain::AfterFileLoad() {}

}  // namespace pellumar
