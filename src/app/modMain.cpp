#include "app/modMain.h"

#include "app/PreferenceText.h"
#include "app/QtPrompter.h"
#include "app/frmMain.h"
#include "app/modRegistryFunctions.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace pellumar::modMain {

QString SettingsKey;
bool ShowTips = false;

void readStartupPreferences() {
    using namespace modRegistryFunctions;
    SettingsKey = QStringLiteral("Settings");
    ShowTips = false;
    const QString stored =
        RegGetString(RootKey::HKEY_LOCAL_MACHINE, SettingsKey, QStringLiteral("ShowTips"));
    if (stored.isEmpty()) {
        ShowTips = true;
    } else if (const auto value = preferenceBoolean(stored)) {
        ShowTips = *value;
    }
}

void CenterForm(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) {
        return;
    }
    const QRect area = screen->geometry();
    const QRect frame = window->frameGeometry();
    window->move(area.left() + (area.width() - frame.width()) / 2,
                 area.top() + (area.height() - frame.height()) / 2);
}

int Main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Pellumar"));
    QCoreApplication::setApplicationName(QStringLiteral("Pellumar"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLUMAR_VERSION));

    readStartupPreferences();
    QtPrompter prompter;
    frmMain window(prompter);
    window.show();
    if (ShowTips) {
        window.showTips();
    }
    return QApplication::exec();
}

}  // namespace pellumar::modMain
