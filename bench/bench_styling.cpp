// Styling a whole big table as the user does: Select All on 1,000,000 records x 10 columns,
// then Bold, a text colour (a swatch of the palette) and a background colour (Flood), each from
// the command until the grid has painted; then Row Height > Increase on every record, a repaint
// of the styled window, and the native file that keeps it all.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_styling [records]
#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <random>

#include "BenchUtil.h"
#include "BenchWindow.h"
#include "core/document/Document.h"
#include "core/document/NativeFile.h"
#include "gui/app/frmMain.h"
#include "gui/document/FileController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/NavigationController.h"
#include "gui/grid/RecordViews.h"
#include "gui/grid/StyleController.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// Answers the colour dialog with one colour; nothing else is asked.
class ColorOnly : public QuietPrompter {
public:
    QColor color(QWidget*, const QColor&) override { return QColor(255, 240, 200); }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int cols = 10;
    ScratchSettings settings;
    ColorOnly prompter;
    frmMain window(prompter);
    showWindow(window, 1200, 800);

    std::mt19937 rng(7);
    {
        Table table(records + 1, cols);
        char buf[32];
        for (int c = 0; c < cols; ++c) {
            table.setUtf8(0, c, "Title");
        }
        for (int r = 1; r <= records; ++r) {
            for (int c = 0; c < cols; ++c) {
                const int n = std::snprintf(buf, sizeof buf, "%u", unsigned(rng() % 100000));
                table.setUtf8(r, c, {buf, static_cast<size_t>(n)});
            }
        }
        window.document().model().replaceTable(std::move(table));
    }
    window.fileCommands().AfterFileLoad();
    window.fa()->viewport()->repaint();
    QCoreApplication::processEvents();
    std::printf("Styling %d records x %d columns, all selected (Row mode)\n", records, cols);
    const double before = residentMb(false);
    std::printf("%-44s %10.1f MB\n", "resident before styling", before);

    GridControl* fa = window.fa();
    window.views().setActiveArea(ActiveArea::DataGrid);
    fa->select(1, 0, fa->rows() - 1, cols - 1, false);  // Select All
    window.repaint();
    QCoreApplication::processEvents();
    // Each command until the window has painted, wall clock and the process's processor time
    // (the two differ when other programs share the processor).
    auto painted = [&](const char* what, auto&& command) {
        const std::clock_t cpu = std::clock();
        const double ms = timeMs([&] {
            command();
            window.repaint();
            QCoreApplication::processEvents();
        });
        std::printf("%-44s %10.1f ms (processor %.1f ms)\n", what, ms,
                    static_cast<double>(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
    };
    painted("Bold", [&] { window.styles().Bold_Click(); });
    painted("text colour (red swatch)", [&] { window.styles().SSPanelColor_Click(1); });
    painted("background colour (Flood)", [&] { window.styles().mnuBkColor_Click(); });
    const double styled = residentMb(false);
    std::printf("%-44s %10.1f MB\n", "memory added by the three", styled - before);
    painted("Row Height > Increase", [&] { window.navigation().mnuRowHeightInc_Click(); });
    painted("Row Height > Reset All", [&] { window.navigation().mnuRowHeightReset_Click(); });
    window.navigation().mnuRowHeightInc_Click();
    QCoreApplication::processEvents();

    // A repaint of the styled grid, in the middle of the table.
    fa->scrollTo(fa->model()->index(records / 2, 0));
    QCoreApplication::processEvents();
    constexpr int kRepaints = 20;
    double worst = 0;
    double total = 0;
    const std::clock_t cpu = std::clock();
    for (int i = 0; i < kRepaints; ++i) {
        const double ms = timeMs([&] { fa->viewport()->repaint(); });
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf("%-44s %10.1f ms (worst %.1f ms, processor %.1f ms)\n",
                "repaint of the styled grid", total / kRepaints, worst,
                static_cast<double>(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC / kRepaints);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("styled.plm"));
    report("native save",
           timeMs([&] { (void)saveNative(window.document().model().table(), path); }));
    std::printf("%-44s %10.1f MB\n", "native file", QFileInfo(path).size() / 1048576.0);
    bool same = false;
    report("native load", timeMs([&] {
               auto loaded = loadNative(path);
               same = loaded.ok() && loaded.value().style(records, cols - 1) ==
                                         window.document().model().table().style(records, cols - 1);
           }));
    std::printf("%-44s %10s\n", "styles read back", same ? "yes" : "NO");
    std::printf("%-44s %10.1f MB\n", "peak resident", residentMb(true));
    window.document().MakeModified(false);
    return 0;
}
