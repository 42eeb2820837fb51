// The Help menu: the Tip of the Day window (F1, and at start-up when the user wants it), the
// program's web page and the About window. Both windows are modeless; asking for one that is
// open brings it to the front.
#pragma once

#include <QObject>
#include <QPointer>

#include "gui/app/frmAbout.h"
#include "gui/app/frmTips.h"

class QWidget;

namespace pellumar {

class CommandRegistry;

class HelpController : public QObject {
    Q_OBJECT

public:
    // The windows open over `window`.
    HelpController(QWidget& window, CommandRegistry& commands, QObject* parent = nullptr);

    void mnuTip_Click();
    void mnuWeb_Click();
    void mnuAbout_Click();

    // The open windows, if any.
    frmTips* tipsWindow() const { return tips_; }
    frmAbout* aboutWindow() const { return about_; }

    // How web and e-mail addresses are opened; by default with the user's own programs.
    void setUrlOpener(UrlOpener opener) { open_ = std::move(opener); }

private:
    void openUrl(const QUrl& url);

    QWidget& window_;
    UrlOpener open_;
    QPointer<frmTips> tips_;
    QPointer<frmAbout> about_;
};

}  // namespace pellumar
