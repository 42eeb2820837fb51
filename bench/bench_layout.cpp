// The window layout with a 200-column table: a resize of the window, a splitter release, and F2
// showing the Form Panel (which fills it from the current record).
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_layout
#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchUtil.h"
#include "BenchWindow.h"
#include "WideTable.h"
#include "core/document/Document.h"
#include "gui/app/MainLayout.h"
#include "gui/app/QtPrompter.h"
#include "gui/app/ViewController.h"
#include "gui/app/frmMain.h"
#include "gui/document/FileController.h"
#include "gui/grid/GridControl.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// Median and worst of `rounds` runs of `step`, each followed by the events it left (repaints).
template <typename F>
void measure(const char* what, int rounds, F&& step) {
    std::vector<double> alone;
    std::vector<double> painted;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        step(i);
        alone.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents();
        painted.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("%-40s %8.3f ms  (worst %7.3f)   with repaint %8.3f ms\n", what, median(alone),
                *std::max_element(alone.begin(), alone.end()), median(painted));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScratchSettings settings;
    QtPrompter prompter;
    frmMain window(prompter);
    showWindow(window, 1200, 800);
    const int cols = 200;
    const int records = 1000;
    loadWideTable(window, cols, records);
    window.fa()->select(500, 0);
    QCoreApplication::processEvents();

    const int rounds = 200;
    std::printf("Window layout, %d columns x %d records, median of %d\n", cols, records, rounds);
    MainLayout& layout = window.mainLayout();
    QWidget* area = window.centralWidget();
    const QRect full = area->rect();
    // What a resize of the window asks of the layout: everything placed at a new size.
    measure("relayout at a new size", rounds,
            [&](int i) { layout.setGeometry(full.adjusted(0, 0, -(i % 2) * 7, -(i % 2) * 5)); });
    measure("splitter released at a new place", rounds,
            [&](int i) { layout.setSplitterLeft(i % 2 ? 4200 : 3600); });
    // For comparison: what painting the whole window costs.
    measure("the whole window painted", rounds / 4, [&](int) { window.repaint(); });
    // F2 with the Form Panel closed: it opens and fills from the current record, which moved
    // while it was closed.
    ViewController& view = window.viewSwitches();
    std::vector<double> alone;
    std::vector<double> painted;
    for (int i = 0; i < rounds / 4; ++i) {
        view.mnuViewFb_Click();
        window.fa()->select(1 + i * 7 % records, 0);
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        view.mnuViewFb_Click();
        alone.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents();
        painted.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(alone.begin(), alone.end());
    std::sort(painted.begin(), painted.end());
    std::printf("%-40s %8.3f ms  (worst %7.3f)   with repaint %8.3f ms\n",
                "F2 showing the Form Panel", alone[alone.size() / 2], alone.back(),
                painted[painted.size() / 2]);
    window.document().MakeModified(false);
    return 0;
}
