// A document shown and printed page by page: what a print preview needs of it. Pages are painted
// on demand, so a preview of thousands of pages paints only those in view.
#pragma once

#include <QSize>

class QPainter;

namespace pellumar {

class PageSource {
public:
    virtual ~PageSource();

    virtual int pageCount() const = 0;
    // The paper, in twips (1/1440 inch), as it lies: landscape is wider than high.
    virtual QSize paperTwips() const = 0;
    // Paints page `index` (from 0); the painter's unit is the twip and its origin the paper's
    // top-left corner.
    virtual void paintPage(QPainter& painter, int index) const = 0;
};

}  // namespace pellumar
