// The Drop Box and the separator setting: the main window's side of the form reader.
#include "app/frmMain.h"

namespace pellumar {

void frmMain::registerFormReaderCommands() {}

}  // namespace pellumar
