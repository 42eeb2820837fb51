// A copy of the program for the crash-recovery test, started as a process of its own with its
// own home and data folders. It starts as the program does (modMain) and then:
//
//   recovery_child drop N   adds N records through the Drop Box, prints "ready" once a snapshot
//                           holds them all, and runs until it is killed;
//   recovery_child offer    answers Yes to every question of the start-up offer, prints each
//                           question ("asked: ...") and the table ("row: ..."), and ends.
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

#include "ScriptedPrompter.h"
#include "TestWindow.h"
#include "gui/app/modMain.h"
#include "gui/document/RecoveryController.h"

using namespace pellumar;

namespace {

void say(const QString& line) {
    std::fputs(qUtf8Printable(line + u'\n'), stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    modMain::setApplicationNames();
    const QStringList args = QCoreApplication::arguments();
    const QString mode = args.value(1);
    modMain::readStartupPreferences();
    ScriptedPrompter prompter;
    for (int i = 0; i < 10; ++i) {
        prompter.answerMessage(QMessageBox::Yes);
    }
    frmMain window(prompter);
    window.show();
    modMain::startUp(window, QString());

    if (mode == u"drop") {
        RecoveryController& recovery = window.recovery();
        recovery.setTimes(300, 0);
        const int records = args.value(2).toInt();
        for (int i = 1; i <= records; ++i) {
            dropTextOnDropBox(&window, QStringLiteral("Name=Person %1\r\nCity=Town %1\r\n").arg(i));
            QCoreApplication::processEvents();
        }
        QElapsedTimer waited;
        waited.start();
        while (recovery.isWriting() || recovery.schedule().due()) {
            if (waited.elapsed() > 60000) {
                return 1;
            }
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        say(QStringLiteral("ready %1").arg(recovery.snapshotsTaken()));
        return QApplication::exec();  // until killed
    }
    if (mode != u"offer") {
        return 2;
    }
    for (const auto& q : prompter.asked()) {
        say(QStringLiteral("asked: ") + q.text);
    }
    const GridModel& model = window.document().model();
    for (int r = 0; r < model.rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.cols(); ++c) {
            cells << model.text(r, c);
        }
        while (!cells.isEmpty() && cells.constLast().isEmpty()) {
            cells.removeLast();  // the blank columns of a new document
        }
        say(QStringLiteral("row: ") + cells.join(u'\t'));
    }
    say(QStringLiteral("modified: %1").arg(window.document().isModified() ? 1 : 0));
    say(QStringLiteral("title: ") + window.windowTitle());
    return 0;
}
