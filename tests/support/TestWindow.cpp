#include "TestWindow.h"

#include <QCoreApplication>
#include <QTest>

#include "app/modMain.h"

namespace pellumar {

TestSettings::TestSettings() {
    QCoreApplication::setOrganizationName(QStringLiteral("Pellumar"));
    QCoreApplication::setApplicationName(QStringLiteral("Pellumar"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    clear();
}

void TestSettings::clear() {
    QSettings s;
    s.clear();
    s.sync();
}

void TestSettings::set(const QString& name, const QString& value) {
    QSettings s;
    s.setValue(QStringLiteral("Settings/") + name, value);
    s.sync();
}

QString TestSettings::get(const QString& name) const {
    return QSettings().value(QStringLiteral("Settings/") + name).toString();
}

bool TestSettings::has(const QString& name) const {
    return QSettings().contains(QStringLiteral("Settings/") + name);
}

TestWindow::TestWindow(bool show) {
    modMain::readStartupPreferences();
    window = std::make_unique<frmMain>(prompter);
    window->setEndProgram([this] { ++ended; });
    if (show) {
        window->show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(window.get());
    }
}

TestWindow::~TestWindow() {
    window->setEndProgram({});
    window->document().MakeModified(false);
}

}  // namespace pellumar
