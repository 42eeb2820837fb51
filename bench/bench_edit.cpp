// The Edit menu's commands on a table of a million records and ten columns, through the main
// window as the user runs them, each timed until the window has handled what it was told
// (painting included):
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_edit [records]
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

#include "BenchUtil.h"
#include "app/frmMain.h"
#include "document/Document.h"
#include "edit/EditController.h"
#include "grid/GridControl.h"
#include "grid/RecordViews.h"
#include "grid/StyleController.h"
#include "ui/Prompter.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// Nothing is asked on the way; a question would be a fault of the benchmark.
class NoQuestions : public Prompter {
public:
    QMessageBox::StandardButton message(QWidget*, Icon, const QString&, const QString& text,
                                        QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton) override {
        std::printf("unexpected message: %s\n", qPrintable(text));
        return QMessageBox::Cancel;
    }
    QString openFileName(QWidget*, const FileDialogOptions&) override { return {}; }
    QString saveFileName(QWidget*, const FileDialogOptions&) override { return {}; }
    QColor color(QWidget*, const QColor&) override { return {}; }
    bool print(QWidget*, QPrinter*) override { return false; }
    bool printPreview(QWidget*, const PageSource&, QPrinter*) override { return false; }
};

Table makeTable(int records, int cols) {
    static const char* kWords[] = {"alpha", "Bravo", "charlie", "delta",  "Echo", "foxtrot",
                                   "golf",  "hotel", "India",   "juliet", "kilo", "lima"};
    std::mt19937 rng(42);
    Table table(1, cols);
    char buf[64];
    for (int c = 0; c < cols; ++c) {
        const int n = std::snprintf(buf, sizeof buf, "Title %d", c);
        table.setUtf8(0, c, {buf, static_cast<size_t>(n)});
    }
    std::vector<std::string> texts(static_cast<size_t>(cols));
    std::vector<std::string_view> views(static_cast<size_t>(cols));
    for (int r = 1; r <= records; ++r) {
        const unsigned v = rng();
        texts[0] = std::to_string(v % 1000000);
        std::snprintf(buf, sizeof buf, "%u.%02u", v % 10000, v % 100);
        texts[1] = buf;
        std::snprintf(buf, sizeof buf, "%02u/%02u/%u", v % 12 + 1, v % 28 + 1, 1990 + v % 35);
        texts[2] = buf;
        for (int c = 3; c < cols; ++c) {
            texts[static_cast<size_t>(c)] = kWords[(v >> c) % 12];
        }
        std::copy(texts.begin(), texts.end(), views.begin());
        table.appendRow(views);
    }
    return table;
}

// A command's time until it returns, and until the window has also handled the events it left
// (the repaint and the like).
// The processor time is what the figures come to on a machine with nothing else running.
struct Timing {
    double command = 0;
    double painted = 0;
    double cpu = 0;
};

double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

template <typename F>
Timing run(F&& f) {
    QElapsedTimer t;
    t.start();
    const double cpuStart = cpuMs();
    f();
    Timing out;
    out.command = static_cast<double>(t.nsecsElapsed()) / 1e6;
    QCoreApplication::processEvents();
    out.painted = static_cast<double>(t.nsecsElapsed()) / 1e6;
    out.cpu = cpuMs() - cpuStart;
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
    QTemporaryDir settingsDir;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

    NoQuestions prompter;
    frmMain window(prompter);
    window.setEndProgram([] {});
    window.resize(1000, 700);
    window.show();
    QCoreApplication::processEvents();
    GridModel& model = window.document().model();
    EditController& edit = window.editCommands();
    GridControl* fa = window.fa();
    QClipboard* clipboard = QGuiApplication::clipboard();

    auto reload = [&] {
        model.replaceTable(makeTable(records, cols));
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
