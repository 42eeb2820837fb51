// The main window as the window benchmarks drive it: preferences in a scratch folder, a prompter
// that asks nobody, and the window shown at a fixed size.
#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

#include "gui/app/frmMain.h"
#include "gui/services/Prompter.h"

namespace pellumar::bench {

// Answers every question without asking: a message is printed (nothing should be asked on a
// benchmark's way) and cancelled, dialogs are cancelled. Benchmarks that expect a question
// override what they expect.
class QuietPrompter : public Prompter {
public:
    QMessageBox::StandardButton message(QWidget*, Icon, const QString&, const QString& text,
                                        QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton) override {
        std::printf("message: %s\n", qPrintable(text));
        return QMessageBox::Cancel;
    }
    QString openFileName(QWidget*, const FileDialogOptions&) override { return {}; }
    QString saveFileName(QWidget*, const FileDialogOptions&) override { return {}; }
    QColor color(QWidget*, const QColor&) override { return {}; }
    bool print(QWidget*, QPrinter*) override { return false; }
    bool printPreview(QWidget*, const PageSource&, QPrinter*) override { return false; }
};

// Keeps the user's preferences out of reach while it lives.
class ScratchSettings {
public:
    ScratchSettings() {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }

private:
    QTemporaryDir dir_;
};

// The window shown at `width` x `height` pixels, with its own events handled; closing it does
// not end the benchmark.
inline void showWindow(frmMain& window, int width, int height) {
    window.setEndProgram([] {});
    window.resize(width, height);
    window.show();
    QCoreApplication::processEvents();
}

}  // namespace pellumar::bench
