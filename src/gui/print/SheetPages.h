// The pages of a SheetBook as a PageSource: the layout on one paper and the painting of a page,
// used alike by the preview, the printer and PDF files.
#pragma once

#include <QFont>

#include <vector>

#include "core/print/SheetLayout.h"
#include "gui/services/PageSource.h"

namespace pellumar {

class SheetBook;

class SheetPages : public PageSource {
public:
    // `book` must outlive the pages and stay as it is while they are shown.
    SheetPages(const SheetBook& book, const QSize& paperTwips);

    // Lays the pages out again on another paper (the printer's).
    void setPaper(const QSize& paperTwips);
    const SheetLayout& layout() const { return layout_; }

    int pageCount() const override { return layout_.pageCount(); }
    QSize paperTwips() const override { return layout_.paper; }
    void paintPage(QPainter& painter, int index) const override;

private:
    void paintHeadings(QPainter& p, const SheetLayout::Page& page,
                       const std::vector<int>& colX) const;
    void paintCells(QPainter& p, const SheetLayout::Page& page, const std::vector<int>& colX,
                    const std::vector<int>& rowY) const;
    void paintGridLines(QPainter& p, const std::vector<int>& colX,
                        const std::vector<int>& rowY) const;
    void paintCheckBoxes(QPainter& p, const SheetLayout::Page& page, const std::vector<int>& colX,
                         const std::vector<int>& rowY) const;
    QColor ink(int grey) const;

    const SheetBook& book_;
    SheetLayout layout_;
    QFont font_;                 // pixel size in twips
    std::vector<int> boxOrder_;  // check boxes by the row they start in
};

}  // namespace pellumar
