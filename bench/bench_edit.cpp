// The Edit menu's commands on a table of a million records and ten columns, through the main
// window as the user runs them, each timed until the window has handled what it was told
// (painting included):
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_edit [records]
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchUtil.h"
#include "BenchWindow.h"
#include "MixedTable.h"
#include "core/document/Document.h"
#include "gui/app/frmMain.h"
#include "gui/edit/EditController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/grid/StyleController.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// A command's time until it returns, and until the window has also handled the events it left
// (the repaint and the like).
// The processor time is what the figures come to on a machine with nothing else running.
struct Timing {
    double command = 0;
    double painted = 0;
    double cpu = 0;
};

template <typename F>
Timing run(F&& f) {
    QElapsedTimer t;
    t.start();
    const double cpuStart = processCpuMs();
    f();
    Timing out;
    out.command = static_cast<double>(t.nsecsElapsed()) / 1e6;
    QCoreApplication::processEvents();
    out.painted = static_cast<double>(t.nsecsElapsed()) / 1e6;
    out.cpu = processCpuMs() - cpuStart;
    return out;
}

void report(const char* what, Timing t) {
    std::printf("%-40s %9.1f ms %9.1f ms %9.1f ms\n", what, t.command, t.painted, t.cpu);
}

Timing median(std::vector<Timing> v) {
    Timing out;
    for (double Timing::*field : {&Timing::command, &Timing::painted, &Timing::cpu}) {
        std::sort(v.begin(), v.end(), [&](Timing a, Timing b) { return a.*field < b.*field; });
        out.*field = v[v.size() / 2].*field;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int cols = 10;
    ScratchSettings settings;
    QuietPrompter prompter;
    frmMain window(prompter);
    showWindow(window, 1000, 700);
    GridModel& model = window.document().model();
    EditController& edit = window.editCommands();
    GridControl* fa = window.fa();
    QClipboard* clipboard = QGuiApplication::clipboard();

    auto reload = [&] {
        model.replaceTable(mixedTable(records, cols));
        window.styles().mnuMouseMode_Click(0);
        QCoreApplication::processEvents();
    };
    reload();
    std::printf("Edit commands, %d records x %d columns\n", records, cols);
    std::printf("%-40s %12s %12s %12s\n", "", "command", "painted", "processor");

    report("Select All", run([&] { edit.mnuSelectAll_Click(); }));
    report("Copy (all records)", run([&] { edit.mnuEditCopy_Click(); }));
    std::printf("%-44s %10.1f MB\n", "  clip text", clipboard->text().size() * 2 / 1048576.0);

    // A clip text of 100,000 records, pasted over 100,000 other records.
    const int block = std::min(100000, records / 4);
    fa->select(1, 0, block, cols - 1);
    edit.mnuEditCopy_Click();
    fa->select(records / 2, 0, records / 2 + block - 1, cols - 1);
    report("Paste 100,000 x 10", run([&] { edit.mnuEditPaste_Click(); }));
    if (model.clipText(records / 2, 0, records / 2 + block - 1, cols - 1) !=
        model.clipText(1, 0, block, cols - 1)) {
        std::printf("the pasted records differ from the copied ones\n");
        return 1;
    }
    report("Move Down a block of 100,000 records", run([&] { edit.mnuMoveDown_Click(); }));
    report("Move Up the same block", run([&] { edit.mnuMoveUp_Click(); }));

    std::vector<Timing> times[4];
    for (int i = 0; i < 21; ++i) {
        fa->select(records / 2 + i, 3);
        times[0].push_back(run([&] { edit.mnuInsertRow_Click(); }));
        times[1].push_back(run([&] { edit.mnuInsertCol_Click(); }));
        times[2].push_back(run([&] { edit.mnuDeleteCol_Click(); }));
        times[3].push_back(run([&] { edit.mnuAddRow_Click(); }));
    }
    report("Insert Row (median of 21)", median(times[0]));
    report("Insert Col (median of 21)", median(times[1]));
    report("Delete Col (median of 21)", median(times[2]));
    report("Add Row (median of 21)", median(times[3]));

    // Every other record selected as a list, then Delete Rows.
    reload();
    std::vector<int> odd;
    odd.reserve(static_cast<size_t>(records / 2));
    for (int r = 1; r <= records; r += 2) {
        odd.push_back(r);
    }
    fa->selectRowList(std::move(odd));
    QCoreApplication::processEvents();
    report("Delete Rows, every other record listed", run([&] { edit.mnuDeleteRow_Click(); }));
    std::printf("%-44s %10d\n", "  records left", window.document().recordCount());
    report("Select All + Cut (all records left)", run([&] {
               edit.mnuSelectAll_Click();
               edit.mnuEditCut_Click();
           }));
    std::printf("%-44s %10.1f MB\n", "peak resident", residentMb(true));
    window.document().MakeModified(false);
    return 0;
}
