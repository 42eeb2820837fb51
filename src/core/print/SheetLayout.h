// The pages of a SheetBook on a given paper: which rows and columns each page shows, and where.
//
// The printed block (the print area, or the cells in use) is cut into bands of rows that fit the
// page's height and bands of columns that fit its width; hidden rows and columns (size 0) take no
// room. The block's last column may run on into the right margin up to the paper's edge rather
// than go on pages of its own (a label sheet's third column does). Pages run down first, then
// across, as spreadsheets print: page k shows row band k mod (row bands) and column band k div (row
// bands). Every page has the header and footer in its top and bottom margins and, when they are
// printed, the column headings above its cells.
//
// Geometry is in twips. On a page, "sheet" coordinates start at the top-left corner of the
// printable area (inside the margins) and are scaled by the print scale onto the paper; the
// first cell of a page sits below the headings. A cell's rectangle is computed from its page's
// first row and column, not stored.
#pragma once

#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace pellumar {

class SheetBook;

struct SheetLayout {
    struct Band {
        int first = 0;
        int last = -1;
        bool operator==(const Band&) const = default;
    };
    struct Page {
        int index = 0;  // from 0; the page number is index + 1
        int firstRow = 0;
        int lastRow = -1;
        int firstCol = 0;
        int lastCol = -1;
        // Where the first cell's top-left corner lies, in sheet twips from the printable
        // area's top-left corner (the headings are above it).
        QPoint origin;
    };

    // Lays the book out on paper of this size (twips, as it lies: landscape is wider).
    static SheetLayout make(const SheetBook& book, const QSize& paper);
    // The paper a book is printed on: its own (or `fallback`, portrait, in inches) turned for
    // landscape, in twips.
    static QSize orientedPaper(const SheetBook& book, const QSizeF& fallbackInches);

    QSize paper;         // twips
    QRect printable;     // the area inside the margins, twips on the paper
    double scale = 1.0;  // sheet twips to paper twips
    int headingHeight = 0;
    std::vector<Band> rowBands;
    std::vector<Band> colBands;

    int pageCount() const { return static_cast<int>(rowBands.size() * colBands.size()); }
    Page page(int index) const;

    // A cell's rectangle in sheet twips on its page (see above), and on the paper.
    QRect cellRect(const SheetBook& book, const Page& page, int row, int col) const;
    QRectF toPaper(const QRectF& sheet) const;
    // The rectangle of the header and of the footer line on the paper.
    QRectF headerRect(const SheetBook& book) const;
    QRectF footerRect(const SheetBook& book) const;
};

}  // namespace pellumar
