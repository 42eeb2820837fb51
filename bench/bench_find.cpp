// Find and Arithmetic on a table of a million records x 10 columns (integers, decimals, dates and
// short words), through the commands as the user runs them, and the core passes alone:
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_find [records]
//
// Find Next whose only hit is the table's last cell, a whole pass without a hit (Match case off,
// the slower comparison, and on), and Arithmetic over every cell; each the median of 5 runs.
#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "BenchUtil.h"
#include "BenchWindow.h"
#include "MixedTable.h"
#include "core/document/Document.h"
#include "core/edit/Arithmetic.h"
#include "core/edit/Find.h"
#include "gui/app/frmMain.h"
#include "gui/edit/CalcController.h"
#include "gui/edit/FindController.h"
#include "gui/edit/frmSearch.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/StyleController.h"

#include <QCheckBox>

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// Keeps the last message; asks nothing else.
class Recorder : public QuietPrompter {
public:
    QMessageBox::StandardButton message(QWidget*, Icon, const QString&, const QString& text,
                                        QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton) override {
        last = text;
        return QMessageBox::Ok;
    }

    QString last;
};

// Every cell a decimal number: Arithmetic's slowest case.
Table decimalTable(int records, int cols) {
    std::mt19937 rng(42);
    Table table(records + 1, cols);
    char buf[64];
    for (int c = 0; c < cols; ++c) {
        table.setUtf8(0, c, "Title");
    }
    for (int r = 1; r <= records; ++r) {
        const unsigned v = rng();
        for (int c = 0; c < cols; ++c) {
            const int n = std::snprintf(buf, sizeof buf, "%u.%02u", (v >> c) % 10000, v % 100);
            table.setUtf8(r, c, {buf, static_cast<size_t>(n)});
        }
    }
    return table;
}

// The median of 5 runs: wall clock, and processor time.
struct Times {
    double wall;
    double cpu;
};

template <typename F>
Times median5(F&& f) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < 5; ++i) {
        const double before = threadCpuMs();
        wall.push_back(timeMs(f));
        cpu.push_back(threadCpuMs() - before);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[2], cpu[2]};
}

void report(const char* what, Times t) {
    std::printf("%-52s %8.1f ms %8.1f ms cpu\n", what, t.wall, t.cpu);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int cols = 10;
    ScratchSettings settings;
    Recorder prompter;
    frmMain window(prompter);
    showWindow(window, 1000, 700);

    GridModel& model = window.document().model();
    model.replaceTable(mixedTable(records, cols));
    model.setText(records, cols - 1, QStringLiteral("a needle here"));
    window.fa()->select(1, 0);
    QCoreApplication::processEvents();
    std::printf("Find and Arithmetic, %d records x %d columns\n", records, cols);

    // --- Find, through the Find window ----------------------------------------------------------
    frmSearch* find = window.findCommands().mnuEditFind_Click();
    QLineEdit* text = find->txtSearched();
    auto findNext = [&](const QString& what, bool matchCase) {
        return median5([&] {
            text->setText(QString());  // a new text: the pass starts at the first cell
            text->setText(what);
            find->chkMatchCase()->setChecked(matchCase);
            find->cmdNext_Click();
        });
    };
    report("Find Next, only hit the last cell", findNext(QStringLiteral("NEEDLE"), false));
    std::printf("    current cell %d,%d\n", window.fa()->row(), window.fa()->col());
    report("Find Next, only hit the last cell, Match case",
           findNext(QStringLiteral("needle"), true));
    report("Find Next, a pass without a hit", findNext(QStringLiteral("zebra"), false));
    std::printf("    %s\n", qPrintable(prompter.last));
    report("Find Next, a pass without a hit, Match case", findNext(QStringLiteral("zebra"), true));
    report("Find Next, a pass without a hit, text with an accent",
           findNext(QString::fromUtf8("z\xc3\xa9"
                                      "bra"),
                    false));
    find->close();

    // --- Find, the core pass alone --------------------------------------------------------------
    const Table& table = model.table();
    report("core: a pass without a hit", median5([&] {
               SearchState state;
               state.findNext(table, {QStringLiteral("zebra"), false, true}, 1, 0);
           }));

    // --- Arithmetic over every cell -------------------------------------------------------------
    window.styles().mnuMouseMode_Click(1);
    window.fa()->select(1, 0, records, cols - 1);
    report("Arithmetic, every cell", median5([&] { window.calcCommands().mnuEditStat_Click(); }));
    std::printf(
        "    %s\n",
        qPrintable(QString(prompter.last).replace(QStringLiteral("\r\n"), QStringLiteral("; "))));
    model.replaceTable(decimalTable(records, cols));
    window.fa()->select(1, 0, records, cols - 1);
    report("Arithmetic, every cell, all decimals",
           median5([&] { window.calcCommands().mnuEditStat_Click(); }));
    std::printf(
        "    %s\n",
        qPrintable(QString(prompter.last).replace(QStringLiteral("\r\n"), QStringLiteral("; "))));
    report("core: sum of every cell, all decimals",
           median5([&] { sumBlock(model.table(), 1, 0, records, cols - 1); }));
    std::printf("%-44s %10.1f MB\n", "peak resident", residentMb(true));
    window.document().MakeModified(false);
    return 0;
}
