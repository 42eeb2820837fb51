// Column attributes and the Column Define dialog: the main window's side.
#include "app/frmMain.h"

namespace pellumar {

void frmMain::registerColumnCommands() {}

}  // namespace pellumar
