// The refresh that runs on every click and arrow key: the Form Panel filled from the current
// record of a 200-column table, open and closed.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_formpanel
#include <QApplication>
#include <QTabWidget>

#include <cstdio>

#include "BenchUtil.h"
#include "BenchWindow.h"
#include "WideTable.h"
#include "core/document/Document.h"
#include "gui/app/QtPrompter.h"
#include "gui/app/frmMain.h"
#include "gui/document/FileController.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"

using namespace pellumar;
using namespace pellumar::bench;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScratchSettings settings;
    QtPrompter prompter;
    frmMain window(prompter);
    window.setEndProgram([] {});
    window.show();
    const int cols = 200;
    const int records = 1000;
    loadWideTable(window, cols, records);
    QCoreApplication::processEvents();

    // Moving the current record refreshes the Form Panel by itself (fa_Click runs whenever the
    // current cell changes).
    const int rounds = 500;
    auto run = [&] {
        for (int i = 0; i < rounds; ++i) {
            window.fa()->select(1 + i % records, 0, 1 + i % records, cols - 1, false);
            if (i % 50 == 0) {
                QCoreApplication::processEvents();  // let the views repaint now and then
            }
        }
    };
    std::printf("Form Panel refresh (fa_Click), %d columns, average of %d records\n", cols, rounds);
    std::printf("%-44s %10.3f ms\n", "moving the current record, Form Panel open",
                timeMs(run) / rounds);
    window.TabStrip1()->hide();
    std::printf("%-44s %10.3f ms\n", "moving the current record, Form Panel closed",
                timeMs(run) / rounds);
    window.document().MakeModified(false);
    return 0;
}
