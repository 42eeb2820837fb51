#include "gui/columns/ColumnController.h"

#include "gui/columns/frmColDef.h"
#include "gui/grid/GridControl.h"
#include "gui/services/CommandRegistry.h"

namespace pellumar {

ColumnController::ColumnController(Document& document, Prompter& prompter, QWidget& window,
                                   CommandRegistry& commands, GridControl& fa,
                                   FormPanelController& formPanel, QLineEdit& mainColumnBox,
                                   QObject* parent)
    : QObject(parent),
      document_(document),
      prompter_(prompter),
      window_(window),
      fa_(fa),
      formPanel_(formPanel),
      mainColumnBox_(mainColumnBox) {
    commands.registerCommand(CommandId::mnuEditColAttr, [this] { mnuEditColAttr_Click(); });
    commands.registerCommand(CommandId::mnuColDef, [this] { mnuColDef_Click(); });
}

frmColDef* ColumnController::mnuEditColAttr_Click() {
    return openColumnDefine(true);
}

frmColDef* ColumnController::mnuColDef_Click() {
    return openColumnDefine(false);
}

frmColDef* ColumnController::openColumnDefine(bool oneColumn) {
    if (fa_.cols() == 0) {
        return nullptr;
    }
    auto* dialog =
        new frmColDef(&window_, document_, prompter_, fa_, formPanel_, mainColumnBox_, oneColumn);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

}  // namespace pellumar
