#include "TestWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>

#include "gui/app/modMain.h"

namespace pellumar {

TestSettings::TestSettings() {
    QCoreApplication::setOrganizationName(QStringLiteral("Pellumar"));
    QCoreApplication::setApplicationName(QStringLiteral("Pellumar"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataFolder()));
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

Qt::DropAction dropOnDropBox(frmMain* w, QMimeData* data) {
    QWidget* target = w->txtDrop()->viewport();
    const QPointF at = QRectF(target->rect()).center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return Qt::IgnoreAction;
    }
    QDropEvent event(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
}

Qt::DropAction dropTextOnDropBox(frmMain* w, const QString& text) {
    QMimeData data;
    data.setText(text);
    return dropOnDropBox(w, &data);
}

}  // namespace pellumar
