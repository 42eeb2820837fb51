#include "gui/edit/FindController.h"

#include "gui/edit/frmSearch.h"
#include "gui/services/CommandRegistry.h"

#include <QLayout>
#include <QWidget>

namespace pellumar {

FindController::FindController(RecordViews& views, Prompter& prompter, QWidget& window,
                               CommandRegistry& commands, QObject* parent)
    : QObject(parent), views_(views), prompter_(prompter), window_(window) {
    commands.registerCommand(CommandId::mnuEditFind, [this] { mnuEditFind_Click(); });
}

frmSearch* FindController::dialog() const {
    return dialog_.data();
}

frmSearch* FindController::mnuEditFind_Click() {
    if (dialog_) {
        dialog_->activateWindow();
        return dialog_;
    }
    auto* dialog = new frmSearch(&window_, views_, prompter_, state_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog_ = dialog;
    // The main window's top-right corner, by the window's size as it will show.
    dialog->ensurePolished();
    dialog->layout()->activate();
    dialog->adjustSize();
    // Its frame is not known before it shows: take it as wide as the main window's.
    const QRect main = window_.frameGeometry();
    const int frameWidth = dialog->width() + main.width() - window_.width();
    dialog->move(main.x() + main.width() - frameWidth, main.y());
    dialog->open();
    dialog->Form_Activate();
    return dialog;
}

}  // namespace pellumar
