#include "gui/print/SheetPrinting.h"

#include "core/print/SheetBook.h"
#include "gui/print/SheetPages.h"
#include "gui/services/Prompter.h"

#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

constexpr double kTwipsPerPoint = 20;

QSize paperOf(const QPrinter& printer) {
    const QRectF points = printer.pageLayout().fullRect(QPageLayout::Point);
    return QSize(static_cast<int>(std::lround(points.width() * kTwipsPerPoint)),
                 static_cast<int>(std::lround(points.height() * kTwipsPerPoint)));
}

// The pages to print: the range chosen in the print dialog, or all.
void pageRange(const PageSource& pages, const QPrinter& printer, int& first, int& last) {
    first = 0;
    last = pages.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(first, printer.fromPage() - 1);
        last = std::min(last, std::max(printer.toPage(), printer.fromPage()) - 1);
    }
}

bool paintAll(const PageSource& pages, QPainter& painter, QPagedPaintDevice& device, int dpi,
              int first, int last) {
    const double scale = dpi / 1440.0;
    for (int i = first; i <= last; ++i) {
        if (i > first && !device.newPage()) {
            return false;
        }
        painter.save();
        painter.scale(scale, scale);
        pages.paintPage(painter, i);
        painter.restore();
    }
    return true;
}

bool printPdf(const PageSource& pages, const QPrinter& printer, QString* error) {
    const QString path = printer.outputFileName();
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = u"Cannot write \"%1\": %2."_s.arg(shown, file.errorString());
        return false;
    }
    int first = 0;
    int last = 0;
    pageRange(pages, printer, first, last);
    {
        QPdfWriter writer(&file);
        writer.setCreator(u"Pellumar"_s);
        writer.setTitle(printer.docName());
        writer.setResolution(1200);
        const QSize paper = pages.paperTwips();
        writer.setPageLayout(QPageLayout(
            QPageSize(QSizeF(paper.width() / kTwipsPerPoint, paper.height() / kTwipsPerPoint),
                      QPageSize::Point, QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            *error = u"Cannot write \"%1\"."_s.arg(shown);
            file.cancelWriting();
            return false;
        }
        const bool painted = last < first || paintAll(pages, painter, writer, 1200, first, last);
        if (!painter.end() || !painted) {
            *error = u"Cannot write \"%1\"."_s.arg(shown);
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        *error = u"Cannot write \"%1\": %2."_s.arg(shown, file.errorString());
        return false;
    }
    return true;
}

// The printer on the paper given, portrait or landscape as it lies, without margins.
void setUpPrinter(QPrinter& printer, const QSize& paper) {
    printer.setDocName(u"Pellumar"_s);
    const bool landscape = paper.width() > paper.height();
    printer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(std::min(paper.width(), paper.height()) / kTwipsPerPoint,
                                     std::max(paper.width(), paper.height()) / kTwipsPerPoint),
                              QPageSize::Point),
                    landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    printer.setFullPage(true);
}

PrintResult printChosen(const PageSource& pages, QPrinter& printer, Prompter& prompter,
                        QWidget* parent, const QString& caption) {
    QString error;
    if (!printPages(pages, printer, &error)) {
        prompter.inform(parent, Prompter::Icon::Critical, caption, u"The print failed. "_s + error);
        return PrintResult::Failed;
    }
    return PrintResult::Printed;
}

}  // namespace

bool printPages(const PageSource& pages, QPrinter& printer, QString* error) {
    QString ignored;
    if (!error) {
        error = &ignored;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return printPdf(pages, printer, error);
    }
    int first = 0;
    int last = 0;
    pageRange(pages, printer, first, last);
    if (last < first) {
        return true;
    }
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        *error = u"The printer \"%1\" cannot be used."_s.arg(printer.printerName());
        return false;
    }
    const bool painted = paintAll(pages, painter, printer, printer.resolution(), first, last);
    const bool ended = painter.end();
    if (!painted || !ended || printer.printerState() == QPrinter::Error) {
        *error = u"The printer \"%1\" reported an error."_s.arg(printer.printerName());
        return false;
    }
    return true;
}

PrintResult printWithDialog(const SheetBook& book, Prompter& prompter, QWidget* parent,
                            const QString& caption) {
    QPrinter printer(QPrinter::HighResolution);
    // The sheet's own paper, else the printer's, turned as the sheet asks.
    const QSizeF printerPaper = printer.pageLayout().pageSize().size(QPageSize::Inch).isEmpty()
                                    ? QSizeF(8.5, 11)
                                    : printer.pageLayout().pageSize().size(QPageSize::Inch);
    SheetPages pages(book, SheetLayout::orientedPaper(book, printerPaper));
    const QSize paper = pages.paperTwips();
    setUpPrinter(printer, paper);

    if (!prompter.printPreview(parent, pages, &printer)) {
        return PrintResult::Cancelled;
    }
    // The print dialog may have chosen another paper or orientation.
    const QSize chosen = paperOf(printer);
    if (!chosen.isEmpty() && chosen != paper) {
        pages.setPaper(chosen);
    }
    return printChosen(pages, printer, prompter, parent, caption);
}

PrintResult printWithDialog(const PageSource& pages, Prompter& prompter, QWidget* parent,
                            const QString& caption) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, pages.paperTwips());
    if (!prompter.printPreview(parent, pages, &printer)) {
        return PrintResult::Cancelled;
    }
    return printChosen(pages, printer, prompter, parent, caption);
}

}  // namespace pellumar
