// Printing through the Print Sheet dialog, end to end (run it offscreen):
//   - a sheet of 1,000,000 records x 10 columns: "&Print && Preview" with "All" until the preview
//     would open (selection, clip text, clipboard, the sheet, its pages), with the memory it adds;
//   - the preview of 100,000 records: until its first page is painted, then scrolling;
//   - a PDF file of 10,000 records.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_print [records-for-layout]
//   build/release/bench/bench_print --show sheet|labels|labels-a4|preview    (to look at the
//   windows)
#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

#include "BenchUtil.h"
#include "BenchWindow.h"
#include "MixedTable.h"
#include "core/document/Document.h"
#include "gui/app/QtPrompter.h"
#include "gui/app/frmMain.h"
#include "gui/grid/GridControl.h"
#include "gui/print/PrintController.h"
#include "gui/print/PrintPreview.h"
#include "gui/print/frmPrintSheet.h"
#include "gui/print/frmReportOptions.h"
#include "gui/services/PageSource.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// What the benchmark does when the preview is asked for.
class BenchPrompter : public QuietPrompter {
public:
    enum class Mode { Close, Preview, Pdf };

    bool printPreview(QWidget* parent, const PageSource& pages, QPrinter* printer) override {
        reached = timer.nsecsElapsed() / 1e6;
        reachedCpu = processCpuMs() - startCpu;
        resident = residentMb(false);
        pageCount = pages.pageCount();
        if (mode == Mode::Pdf) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdfPath);
            return true;
        }
        if (mode == Mode::Preview) {
            PrintPreview preview(pages, parent);
            preview.show();
            while (preview.view()->paintedPages() == 0) {
                QCoreApplication::processEvents();
            }
            firstPaint = timer.nsecsElapsed() / 1e6;
            firstPaintCpu = processCpuMs() - startCpu;
            // Scrolling a screen at a time through fifty screens, each repainted at once.
            QScrollBar* bar = preview.view()->verticalScrollBar();
            for (int i = 0; i < 50; ++i) {
                const double ms = timeMs([&] {
                    bar->setValue(bar->value() + bar->pageStep());
                    preview.view()->viewport()->repaint();
                });
                slowestScroll = std::max(slowestScroll, ms);
            }
            preview.view()->showPage(pages.pageCount() - 1);
            lastPage = timeMs([&] { preview.view()->viewport()->repaint(); });
        }
        return false;
    }

    Mode mode = Mode::Close;
    QString pdfPath;
    void start() {
        timer.start();
        startCpu = processCpuMs();
    }

    QElapsedTimer timer;
    double startCpu = 0;
    double reached = 0;
    double reachedCpu = 0;
    double firstPaint = 0;
    double firstPaintCpu = 0;
    double slowestScroll = 0;
    double lastPage = 0;
    double resident = 0;
    int pageCount = 0;
};

// `records` records of 10 columns: integers, decimals, dates, words, as bench_grid fills them.
void fill(frmMain& window, int records) {
    window.document().model().replaceTable(mixedTable(records, 10));
    window.fa()->select(1, 0);
}

// Forgets the peak resident size, so that the next reading is the peak from now on.
void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

frmPrintSheet* printAll(frmMain& window) {
    frmPrintSheet* dialog = window.printing().mnuPrintSheet_Click();
    dialog->OpDataSource(0)->setChecked(true);
    return dialog;
}

int show(int argc, char** argv, const char* what) {
    QApplication app(argc, argv);
    ScratchSettings settings;
    QtPrompter prompter;
    frmMain window(prompter);
    showWindow(window, 1000, 700);
    // A small address book.
    static const char* kRows[][5] = {
        {"Name", "Street", "City", "State", "Zipcode"},
        {"Front Desk", "1 Main St", "Rivertown", "XY", "12345"},
        {"Ada Byron", "12 Analytical Way", "Marylebone", "LN", "10815"},
        {"Grace Hopper", "7 Compiler Ct", "Arlington", "VA", "22201"},
        {"Alan Turing", "3 Enigma Rd", "Wilmslow", "CH", "09412"},
        {"Edsger Dijkstra", "41 Shortest Path", "Austin", "TX", "78701"},
        {"Barbara Liskov", "5 Substitution Ave", "Cambridge", "MA", "02139"},
        {"Donald Knuth", "256 TeX Ln", "Stanford", "CA", "94305"},
    };
    Table table(8, 5);
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 5; ++c) {
            table.setUtf8(r, c, kRows[r][c]);
        }
    }
    window.document().model().replaceTable(std::move(table));
    window.fa()->select(2, 0, 4, 4);
    window.document().MakeModified(false);
    if (qstrcmp(what, "labels-a4") == 0) {
        // An A4 sheet of which four labels are used, on a printer feeding half a millimetre left
        // and one millimetre low.
        window.printing().setLabelSettings({LabelFormat::ThreeBySevenA4, 5, -0.5, 1});
        window.printing().mnuPrintLabels_Click()->cmdSample_Click();
    } else if (qstrcmp(what, "labels") == 0) {
        frmReportOptions* labels = window.printing().mnuPrintLabels_Click();
        labels->cmdSample_Click();
    } else if (qstrcmp(what, "preview") == 0) {
        frmPrintSheet* sheet = printAll(window);
        sheet->cmdPrint_Click();
    } else {
        window.printing().mnuPrintSheet_Click();
    }
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && qstrcmp(argv[1], "--show") == 0) {
        return show(argc, argv, argv[2]);
    }
    QApplication app(argc, argv);
    ScratchSettings settings;
    const int layoutRecords = argc > 1 ? std::atoi(argv[1]) : 1000000;

    BenchPrompter prompter;
    {
        frmMain window(prompter);
        window.setEndProgram([] {});
        fill(window, layoutRecords);
        std::printf("Print Sheet, %d records x 10 columns, \"All\"\n", layoutRecords);
        frmPrintSheet* dialog = printAll(window);
        QCoreApplication::processEvents();
        const double before = residentMb(false);
        resetPeak();
        prompter.start();
        dialog->cmdPrint_Click();
        report("until the preview opens", prompter.reached);
        report("  of which processor time", prompter.reachedCpu);
        std::printf("%-44s %10d\n", "pages", prompter.pageCount);
        std::printf("%-44s %10.1f MB\n", "resident added (sheet and clip text)",
                    prompter.resident - before);
        std::printf("%-44s %10.1f MB\n", "peak added", residentMb(true) - before);
        window.document().MakeModified(false);
    }
    {
        frmMain window(prompter);
        showWindow(window, 1000, 700);
        fill(window, 100000);
        std::printf("Preview, 100000 records x 10 columns\n");
        frmPrintSheet* dialog = printAll(window);
        prompter.mode = BenchPrompter::Mode::Preview;
        prompter.start();
        dialog->cmdPrint_Click();
        report("until the preview asked", prompter.reached);
        report("until its first page is painted", prompter.firstPaint);
        report("  of which processor time", prompter.firstPaintCpu);
        report("slowest of 50 scroll steps", prompter.slowestScroll);
        report("painting the last page", prompter.lastPage);
        std::printf("%-44s %10d\n", "pages", prompter.pageCount);
        window.document().MakeModified(false);
    }
    {
        frmMain window(prompter);
        window.setEndProgram([] {});
        fill(window, 10000);
        QTemporaryDir dir;
        prompter.mode = BenchPrompter::Mode::Pdf;
        prompter.pdfPath = dir.filePath(QStringLiteral("sheet.pdf"));
        std::printf("PDF, 10000 records x 10 columns\n");
        frmPrintSheet* dialog = printAll(window);
        prompter.start();
        const double cpu = processCpuMs();
        const double ms = timeMs([&] { dialog->cmdPrint_Click(); });
        report("print to PDF, whole command", ms);
        report("  of which processor time", processCpuMs() - cpu);
        std::printf("%-44s %10d\n", "pages", prompter.pageCount);
        std::printf("%-44s %10.1f MB\n", "file size", QFile(prompter.pdfPath).size() / 1048576.0);
        window.document().MakeModified(false);
    }
    return 0;
}
