// The crash-recovery snapshot of a table of a million records by 10 columns: what taking it
// costs the window (the frozen copy, handed to the writing thread), how long the writing takes
// beside it, and what the first edits cost while the snapshot is still shared. Run it
// offscreen:
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_recovery [records]
#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

#include "BenchUtil.h"
#include "MixedTable.h"
#include "core/document/Document.h"
#include "gui/app/QtPrompter.h"
#include "gui/app/frmMain.h"
#include "gui/app/modMain.h"
#include "gui/document/RecoveryController.h"

using namespace pellumar;
using namespace pellumar::bench;

int main(int argc, char** argv) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(data.path()));
    QApplication app(argc, argv);
    modMain::setApplicationNames();
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int cols = 10;

    // The same table as the grid benchmark: integers, decimals, dates and short words.
    Table table = mixedTable(records, cols);

    modMain::readStartupPreferences();
    QtPrompter prompter;
    frmMain window(prompter);
    Document& document = window.document();
    document.model().replaceTable(std::move(table));
    document.markChanged();
    RecoveryController& recovery = window.recovery();

    std::printf("Crash-recovery snapshot, %d records x %d columns\n", records, cols);
    for (int run = 1; run <= 3; ++run) {
        std::printf("run %d\n", run);
        QElapsedTimer written;
        written.start();
        report("  taking it (the window's part)", timeMs([&] { recovery.takeSnapshot(); }));
        // Edits while it is being written: the first change of a column copies that column.
        report("  first edit of a column while written",
               timeMs([&] { document.model().setText(run, 0, QStringLiteral("edited")); }));
        report("  next edit of that column",
               timeMs([&] { document.model().setText(run + 1, 0, QStringLiteral("edited")); }));
        // Removing a record changes every column.
        report("  deleting a record while written",
               timeMs([&] { document.model().removeRowsAt(10, 1); }));
        recovery.waitForWriter();
        report("  written (wall clock, from taking it)",
               static_cast<double>(written.nsecsElapsed()) / 1e6);
    }
    report("an edit once the snapshot is written",
           timeMs([&] { document.model().setText(5, 1, QStringLiteral("edited")); }));
    std::printf("%-44s %10.1f MB\n", "peak resident", residentMb(true));
    recovery.programEnds();
    return 0;
}
