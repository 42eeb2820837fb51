#include "gui/app/HelpController.h"

#include "core/app/ProductInfo.h"
#include "gui/app/frmTips.h"
#include "gui/services/CommandRegistry.h"

#include <QDesktopServices>
#include <QUrl>

namespace pellumar {

namespace {

// Brings an open window to the front; false when there is none to show.
bool raiseOpen(QWidget* w) {
    if (!w || !w->isVisible()) {
        return false;
    }
    w->raise();
    w->activateWindow();
    return true;
}

}  // namespace

HelpController::HelpController(QWidget& window, CommandRegistry& commands, QObject* parent)
    : QObject(parent), window_(window), open_([](const QUrl& url) {
          QDesktopServices::openUrl(url);  // a failure leaves nothing to do
      }) {
    commands.registerCommand(CommandId::mnuTip, [this] { mnuTip_Click(); });
    commands.registerCommand(CommandId::mnuWeb, [this] { mnuWeb_Click(); });
    commands.registerCommand(CommandId::mnuAbout, [this] { mnuAbout_Click(); });
}

void HelpController::openUrl(const QUrl& url) {
    if (open_) {
        open_(url);
    }
}

void HelpController::mnuTip_Click() {
    if (raiseOpen(tips_)) {
        return;
    }
    delete tips_;  // closed but not yet gone
    tips_ = new frmTips(&window_);
    tips_->show();
}

void HelpController::mnuWeb_Click() {
    openUrl(ProductInfo::webPageUrl());
}

void HelpController::mnuAbout_Click() {
    if (raiseOpen(about_)) {
        return;
    }
    delete about_;
    about_ = new frmAbout([this](const QUrl& url) { openUrl(url); }, &window_);
    about_->show();
}

}  // namespace pellumar
