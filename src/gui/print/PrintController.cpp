#include "gui/print/PrintController.h"

#include "gui/print/frmPrintSheet.h"
#include "gui/print/frmReportOptions.h"
#include "gui/services/CommandRegistry.h"

namespace pellumar {

PrintController::PrintController(Document& document, Prompter& prompter, QWidget& window,
                                 CommandRegistry& commands, GridControl& fa, QObject* parent)
    : QObject(parent), document_(document), prompter_(prompter), window_(window), fa_(fa) {
    commands.registerCommand(CommandId::mnuPrintSheet, [this] { mnuPrintSheet_Click(); });
    commands.registerCommand(CommandId::mnuPrintLabels, [this] { mnuPrintLabels_Click(); });
}

frmPrintSheet* PrintController::mnuPrintSheet_Click() {
    auto* dialog = new frmPrintSheet(&window_, document_, prompter_, fa_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

frmReportOptions* PrintController::mnuPrintLabels_Click() {
    auto* dialog = new frmReportOptions(&window_, document_, prompter_, fa_, labelSettings_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

}  // namespace pellumar
