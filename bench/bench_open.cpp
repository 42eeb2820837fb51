// Opening a big comma file end to end through File > Open > Comma Delimited > First Line
// Header, as the user does: from the command until the grid has painted its first records.
//
//   build/release/bench/gen_files build/bench-data
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_open build/bench-data/big.csv
//
// With --show after the file name the window stays open afterwards, to be looked at.
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

#include "BenchUtil.h"
#include "core/document/Document.h"
#include "gui/app/frmMain.h"
#include "gui/document/FileController.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/services/Prompter.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// Answers the open dialog with the file to open; nothing else is asked.
class OpenOnly : public Prompter {
public:
    explicit OpenOnly(QString path) : path_(std::move(path)) {}
    QMessageBox::StandardButton message(QWidget*, Icon, const QString&, const QString& text,
                                        QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton) override {
        std::printf("unexpected message: %s\n", qPrintable(text));
        return QMessageBox::Cancel;
    }
    QString openFileName(QWidget*, const FileDialogOptions&) override { return path_; }
    QString saveFileName(QWidget*, const FileDialogOptions&) override { return {}; }
    QColor color(QWidget*, const QColor&) override { return {}; }
    bool print(QWidget*, QPrinter*) override { return false; }
    bool printPreview(QWidget*, const PageSource&, QPrinter*) override { return false; }

private:
    QString path_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_open FILE.csv\n");
        return 2;
    }
    QTemporaryDir settingsDir;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

    OpenOnly prompter(QString::fromLocal8Bit(argv[1]));
    frmMain window(prompter);
    window.setEndProgram([] {});
    window.resize(1000, 700);
    window.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    window.fileCommands().mnuOpenCSV_Click(0);
    const double loaded = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    window.fa()->viewport()->repaint();  // the first records on the screen
    QCoreApplication::processEvents();
    const double shown = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("Open %s: %d records x %d columns\n", argv[1], window.fa()->rows() - 1,
                window.fa()->cols());
    report("command returned", loaded);
    report("first records painted", shown);
    std::printf("%-44s %10.1f MB\n", "peak resident", residentMb(true));
    std::fflush(stdout);
    if (argc > 2 && qstrcmp(argv[2], "--show") == 0) {
        window.document().MakeModified(false);
        return QApplication::exec();
    }
    return 0;
}
