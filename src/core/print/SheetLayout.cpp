#include "core/print/SheetLayout.h"

#include "core/print/SheetBook.h"

#include <algorithm>
#include <cmath>

namespace pellumar {

namespace {

constexpr int kTwipsPerInch = 1440;

// Cuts [first, last] into bands whose sizes add up to at most `room`, or `lastRoom` for the band
// that ends with the last item; a single item larger than the room gets a band of its own. Items
// of size 0 are skipped.
template <typename Size>
std::vector<SheetLayout::Band> cut(int first, int last, qint64 room, qint64 lastRoom, Size size) {
    std::vector<SheetLayout::Band> bands;
    SheetLayout::Band band;
    qint64 used = 0;
    int lastShown = last;
    while (lastShown >= first && size(lastShown) <= 0) {
        --lastShown;
    }
    for (int i = first; i <= last; ++i) {
        const int s = size(i);
        if (s <= 0) {
            continue;
        }
        if (band.last >= band.first && used + s > (i == lastShown ? lastRoom : room)) {
            bands.push_back(band);
            band = {};
            used = 0;
        }
        if (band.last < band.first) {
            band.first = i;
        }
        band.last = i;
        used += s;
    }
    if (band.last >= band.first) {
        bands.push_back(band);
    }
    return bands;
}

int twips(double inches) {
    return static_cast<int>(std::lround(inches * kTwipsPerInch));
}

}  // namespace

QSize SheetLayout::orientedPaper(const SheetBook& book, const QSizeF& fallbackInches) {
    const QSizeF inches = book.paperSize().isEmpty() ? fallbackInches : book.paperSize();
    QSize paper(twips(std::min(inches.width(), inches.height())),
                twips(std::max(inches.width(), inches.height())));
    if (book.printLandscape()) {
        paper.transpose();
    }
    return paper;
}

SheetLayout SheetLayout::make(const SheetBook& book, const QSize& paper) {
    SheetLayout layout;
    layout.paper = paper;
    const int left = twips(book.printLeftMargin());
    const int top = twips(book.printTopMargin());
    const int right = twips(book.printRightMargin());
    const int bottom = twips(book.printBottomMargin());
    layout.printable = QRect(left, top, std::max(1, paper.width() - left - right),
                             std::max(1, paper.height() - top - bottom));
    layout.scale = book.printScale() / 100.0;
    layout.headingHeight =
        book.printOption(SheetBook::PrintOption::ColHeadings) ? book.defaultRowHeight() : 0;

    const SheetRange range = book.printedRange();
    if (range.isEmpty()) {
        return layout;
    }
    // The room on a page in sheet twips; the headings take their row on every page.
    const qint64 width = static_cast<qint64>(layout.printable.width() / layout.scale);
    const qint64 height = std::max<qint64>(
        1, static_cast<qint64>(layout.printable.height() / layout.scale) - layout.headingHeight);
    if (book.hasRowHeights()) {
        layout.rowBands = cut(range.row1, range.row2, height, height,
                              [&book](int r) { return book.rowHeight(r); });
    } else {
        // Every row has the same height: the bands are counted, not walked.
        const int h = std::max(1, book.defaultRowHeight());
        const qint64 perPage = std::max<qint64>(1, height / h);
        const qint64 rows = qint64(range.row2) - range.row1 + 1;
        layout.rowBands.reserve(size_t((rows + perPage - 1) / perPage));
        for (qint64 first = range.row1; first <= range.row2; first += perPage) {
            layout.rowBands.push_back(
                {int(first), int(std::min<qint64>(first + perPage - 1, range.row2))});
        }
    }
    // The last column may run into the right margin rather than go on pages of its own.
    const qint64 widthToEdge =
        static_cast<qint64>((paper.width() - layout.printable.left()) / layout.scale);
    layout.colBands = cut(range.col1, range.col2, width, std::max(width, widthToEdge),
                          [&book](int c) { return book.colWidthTwips(c); });
    if (layout.colBands.empty()) {
        layout.rowBands.clear();
    }
    return layout;
}

SheetLayout::Page SheetLayout::page(int index) const {
    Page p;
    const int count = pageCount();
    if (index < 0 || index >= count) {
        return p;
    }
    const size_t down = rowBands.size();
    const Band& rows = rowBands[size_t(index) % down];
    const Band& cols = colBands[size_t(index) / down];
    p.index = index;
    p.firstRow = rows.first;
    p.lastRow = rows.last;
    p.firstCol = cols.first;
    p.lastCol = cols.last;
    p.origin = QPoint(0, headingHeight);
    return p;
}

QRect SheetLayout::cellRect(const SheetBook& book, const Page& page, int row, int col) const {
    int x = page.origin.x();
    for (int c = page.firstCol; c < col; ++c) {
        x += book.colWidthTwips(c);
    }
    int y = page.origin.y();
    for (int r = page.firstRow; r < row; ++r) {
        y += book.rowHeight(r);
    }
    return QRect(x, y, book.colWidthTwips(col), book.rowHeight(row));
}

QRectF SheetLayout::toPaper(const QRectF& sheet) const {
    return QRectF(printable.left() + sheet.left() * scale, printable.top() + sheet.top() * scale,
                  sheet.width() * scale, sheet.height() * scale);
}

QRectF SheetLayout::headerRect(const SheetBook& book) const {
    const double h = book.fontSize() * 20 * 1.3;
    return QRectF(printable.left(), twips(book.printHeaderMargin()), printable.width(), h);
}

QRectF SheetLayout::footerRect(const SheetBook& book) const {
    const double h = book.fontSize() * 20 * 1.3;
    return QRectF(printable.left(), paper.height() - twips(book.printHeaderMargin()) - h,
                  printable.width(), h);
}

}  // namespace pellumar
