// Undo and redo on a table of a million records and ten columns, through the main window's
// commands: Delete Rows of 500,000 records, a Paste of 100,000 x 10, a sort, each done, undone
// and redone; and what recording costs a typed edit. Each time runs until the window has handled
// what it was told (painting included):
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_undo [records]
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "BenchUtil.h"
#include "BenchWindow.h"
#include "core/document/Document.h"
#include "gui/app/frmMain.h"
#include "gui/document/UndoController.h"
#include "gui/edit/EditController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/grid/StyleController.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// Numbers, amounts and words, some of them longer than a cell holds in itself.
Table recordTable(int records, int cols) {
    static const char* kWords[] = {
        "alpha", "Bravo", "charlie long", "delta", "Echo", "foxtrot and more", "golf", "hotel"};
    std::mt19937 rng(42);
    Table table(1, cols);
    for (int c = 0; c < cols; ++c) {
        table.setText(0, c, QStringLiteral("Title %1").arg(c));
    }
    std::vector<std::string> texts(static_cast<size_t>(cols));
    std::vector<std::string_view> views(static_cast<size_t>(cols));
    for (int r = 1; r <= records; ++r) {
        const unsigned v = rng();
        texts[0] = std::to_string(v % 1000000);
        texts[1] = std::to_string(v % 10000) + "." + std::to_string(v % 100);
        for (int c = 2; c < cols; ++c) {
            texts[static_cast<size_t>(c)] = kWords[(v >> c) % 8];
        }
        std::copy(texts.begin(), texts.end(), views.begin());
        table.appendRow(views);
    }
    return table;
}

template <typename F>
double painted(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    QCoreApplication::processEvents();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
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
    UndoController& history = window.history();
    GridControl* fa = window.fa();

    const auto reload = [&] {
        model.replaceTable(recordTable(records, cols));
        window.styles().mnuMouseMode_Click(0);
        QCoreApplication::processEvents();
    };
    const auto check = [&](bool ok, const char* what) {
        if (!ok) {
            std::printf("FAILED: %s\n", what);
            std::exit(1);
        }
    };
    // The whole table's texts and row order, as one number.
    const auto fingerprint = [&] {
        const Table& t = model.table();
        size_t h = static_cast<size_t>(t.rowCount());
        for (int r = 0; r < t.rowCount(); ++r) {
            for (int c = 0; c < t.columnCount(); ++c) {
                h = h * 1099511628211u ^ std::hash<std::string_view>()(t.utf8(r, c));
            }
        }
        return h;
    };
    const auto three = [&](const char* what, auto&& command) {
        const size_t before = fingerprint();
        const double done = painted(command);
        const size_t after = fingerprint();
        const size_t kept = history.historyBytes();
        const double undone = painted([&] { history.mnuUndo_Click(); });
        check(fingerprint() == before, "undo gives the table back");
        const double redone = painted([&] { history.mnuRedo_Click(); });
        check(fingerprint() == after, "redo makes the change again");
        std::printf("%-34s %9.1f ms %9.1f ms %9.1f ms %9.1f MB\n", what, done, undone, redone,
                    static_cast<double>(kept) / 1048576.0);
    };

    reload();
    window.views().setActiveArea(ActiveArea::DataGrid);
    std::printf("Undo and redo, %d records x %d columns\n", records, cols);
    std::printf("%-34s %12s %12s %12s %12s\n", "", "command", "undo", "redo", "history");

    // Delete Rows of the first half of the records, selected as a block of whole rows.
    const int half = records / 2;
    fa->select(1, 0, half, cols - 1);
    three("Delete Rows, 500,000 records", [&] { edit.mnuDeleteRow_Click(); });
    check(window.document().recordCount() == records - half, "half the records are left");
    history.mnuUndo_Click();
    check(window.document().recordCount() == records, "the records came back");

    // A Paste of 100,000 x 10 over other records.
    const int block = std::min(100000, records / 4);
    QGuiApplication::clipboard()->setText(model.clipText(1, 0, block, cols - 1));
    fa->select(records / 2, 0, records / 2 + block - 1, cols - 1);
    three("Paste 100,000 x 10", [&] { edit.mnuEditPaste_Click(); });

    // A title click sorts; the current record stays selected, as after a click on it.
    fa->select(1, 0);
    three("Sort by column 0 (numbers)", [&] { fa->sortByColumn(0, GridControl::SortAscending); });
    three("Sort by column 2 (words)", [&] { fa->sortByColumn(2, GridControl::SortDescending); });
    // Select All, then half the records: a block that the sort would scatter.
    fa->select(1, 0, records, cols - 1, false);
    three("Sort, all records selected", [&] { fa->sortByColumn(1, GridControl::SortAscending); });
    fa->select(1, 0, records / 2, cols - 1, false);
    three("Sort, half the records selected",
          [&] { fa->sortByColumn(3, GridControl::SortAscending); });

    // A typed edit, recorded and not: the best of five rounds of each, taken in turns.
    const int edits = 20000;
    const auto typeAll = [&] {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < edits; ++i) {
            model.setData(model.indexAt(1 + i % records, i % cols), QString::number(i));
        }
        return static_cast<double>(t.nsecsElapsed()) / 1e3 / edits;
    };
    double recorded = 1e9;
    double plain = 1e9;
    for (int round = 0; round < 5; ++round) {
        recorded = std::min(recorded, typeAll());
        const auto unrecorded = window.document().freshHistory();
        plain = std::min(plain, typeAll());
    }
    std::printf("%-34s %9.2f us\n", "typed edit, recorded (each)", recorded);
    std::printf("%-34s %9.2f us\n", "typed edit, not recorded (each)", plain);
    std::printf("%-34s %9.2f us\n", "recording a typed edit costs", recorded - plain);
    std::printf("%-34s %9.1f MB\n", "peak resident", residentMb(true));
    window.document().MakeModified(false);
    return 0;
}
