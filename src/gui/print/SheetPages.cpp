#include "gui/print/SheetPages.h"

#include "core/columns/CellValue.h"
#include "core/print/SheetBook.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace pellumar {

namespace {

constexpr int kPadding = 30;    // twips between a cell's edge and its text
constexpr int kLineWidth = 10;  // twips: half a point

QFont sheetFont(const SheetBook& book) {
    QFont font(book.fontName());
    // The painter's unit is the twip: a point is 20 of them.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(book.fontSize() * 20))));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace

SheetPages::SheetPages(const SheetBook& book, const QSize& paperTwips)
    : book_(book), layout_(SheetLayout::make(book, paperTwips)), font_(sheetFont(book)) {
    const auto& boxes = book_.checkBoxes();
    boxOrder_.resize(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        boxOrder_[i] = static_cast<int>(i);
    }
    std::stable_sort(boxOrder_.begin(), boxOrder_.end(),
                     [&boxes](int a, int b) { return boxes[size_t(a)].y1 < boxes[size_t(b)].y1; });
}

void SheetPages::setPaper(const QSize& paperTwips) {
    layout_ = SheetLayout::make(book_, paperTwips);
}

QColor SheetPages::ink(int grey) const {
    return book_.printOption(SheetBook::PrintOption::BlackAndWhite) ? QColor(Qt::black)
                                                                    : QColor(grey, grey, grey);
}

void SheetPages::paintPage(QPainter& p, int index) const {
    if (index < 0 || index >= pageCount()) {
        return;
    }
    const SheetLayout::Page page = layout_.page(index);
    p.save();
    p.setFont(font_);
    p.setPen(Qt::black);

    // Header and footer, centred in the margins.
    const QString header = SheetBook::pageText(book_.printHeader(), index + 1, pageCount());
    if (!header.isEmpty()) {
        p.drawText(layout_.headerRect(book_), Qt::AlignHCenter | Qt::AlignTop, header);
    }
    const QString footer = SheetBook::pageText(book_.printFooter(), index + 1, pageCount());
    if (!footer.isEmpty()) {
        p.drawText(layout_.footerRect(book_), Qt::AlignHCenter | Qt::AlignBottom, footer);
    }

    // The sheet: in sheet twips from the printable area's corner, scaled, kept inside it.
    p.setClipRect(layout_.printable);
    p.translate(layout_.printable.topLeft());
    p.scale(layout_.scale, layout_.scale);

    std::vector<int> colX;
    colX.reserve(size_t(page.lastCol - page.firstCol + 2));
    int x = page.origin.x();
    for (int c = page.firstCol; c <= page.lastCol; ++c) {
        colX.push_back(x);
        x += book_.colWidthTwips(c);
    }
    colX.push_back(x);
    std::vector<int> rowY;
    rowY.reserve(size_t(page.lastRow - page.firstRow + 2));
    int y = page.origin.y();
    for (int r = page.firstRow; r <= page.lastRow; ++r) {
        rowY.push_back(y);
        y += book_.rowHeight(r);
    }
    rowY.push_back(y);

    if (layout_.headingHeight > 0) {
        paintHeadings(p, page, colX);
    }
    paintCells(p, page, colX, rowY);
    if (book_.printOption(SheetBook::PrintOption::GridLines)) {
        paintGridLines(p, colX, rowY);
    }
    paintCheckBoxes(p, page, colX, rowY);
    p.restore();
}

void SheetPages::paintHeadings(QPainter& p, const SheetLayout::Page& page,
                               const std::vector<int>& colX) const {
    const int h = layout_.headingHeight;
    const bool shade = !book_.printOption(SheetBook::PrintOption::BlackAndWhite);
    p.setPen(QPen(ink(96), kLineWidth));
    for (int c = page.firstCol; c <= page.lastCol; ++c) {
        const size_t i = size_t(c - page.firstCol);
        const int w = colX[i + 1] - colX[i];
        if (w <= 0) {
            continue;
        }
        const QRect cell(colX[i], 0, w, h);
        if (shade) {
            p.fillRect(cell, QColor(224, 224, 224));
        }
        p.drawRect(cell);
        p.save();
        p.setClipRect(cell, Qt::IntersectClip);
        p.setPen(Qt::black);
        p.drawText(cell.adjusted(kPadding, 0, -kPadding, 0), Qt::AlignCenter, book_.colText(c));
        p.restore();
    }
}

void SheetPages::paintCells(QPainter& p, const SheetLayout::Page& page,
                            const std::vector<int>& colX, const std::vector<int>& rowY) const {
    const QFontMetricsF metrics(font_);
    const bool clipCells = book_.printOption(SheetBook::PrintOption::ClipCells);
    const int cols = page.lastCol - page.firstCol + 1;
    QStringList texts(cols);
    p.setPen(Qt::black);
    for (int r = page.firstRow; r <= page.lastRow; ++r) {
        const size_t ri = size_t(r - page.firstRow);
        const int top = rowY[ri];
        const int bottom = rowY[ri + 1];
        if (bottom <= top) {
            continue;
        }
        for (int i = 0; i < cols; ++i) {
            texts[i] = book_.text(r, page.firstCol + i);
        }
        for (int i = 0; i < cols; ++i) {
            const QString& text = texts[i];
            const int left = colX[size_t(i)];
            int right = colX[size_t(i) + 1];
            if (text.isEmpty() || right <= left) {
                continue;
            }
            const SheetBook::Alignment a = book_.alignment(r, page.firstCol + i);
            SheetBook::HAlign h = a.horizontal;
            if (h == SheetBook::HAlign::General) {
                h = parseNumber(QStringView(text)) ? SheetBook::HAlign::Right
                                                   : SheetBook::HAlign::Left;
            }
            const bool multiLine = a.wordWrap || text.contains(u'\n') || text.contains(u'\r');
            int flags = a.wordWrap ? Qt::TextWordWrap : 0;
            flags |= h == SheetBook::HAlign::Right
                         ? Qt::AlignRight
                         : (h == SheetBook::HAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft);
            flags |= a.vertical == SheetBook::VAlign::Top
                         ? Qt::AlignTop
                         : (a.vertical == SheetBook::VAlign::Center ? Qt::AlignVCenter
                                                                    : Qt::AlignBottom);
            if (multiLine) {
                // Drawn into the cell and cut at its edges.
                p.drawText(QRectF(left + kPadding, top, right - left - 2 * kPadding,
                                  bottom - top - kPadding / 2.0),
                           flags, text);
                continue;
            }
            const qreal width = metrics.horizontalAdvance(text);
            // A left-aligned text runs on over the empty cells to its right.
            if (!clipCells && h == SheetBook::HAlign::Left) {
                for (int j = i + 1;
                     j < cols && right - left - 2 * kPadding < width && texts[j].isEmpty(); ++j) {
                    right = colX[size_t(j) + 1];
                }
            }
            const QRectF room(left + kPadding, top, right - left - 2 * kPadding,
                              bottom - top - kPadding / 2.0);
            // Drawn on its baseline; only a text too wide for its room is cut at the room's edges.
            qreal x = room.left();
            if (h == SheetBook::HAlign::Right) {
                x = room.right() - width;
            } else if (h == SheetBook::HAlign::Center) {
                x = room.center().x() - width / 2;
            }
            qreal baseline = room.bottom() - metrics.descent();
            if (a.vertical == SheetBook::VAlign::Top) {
                baseline = top + metrics.ascent();
            } else if (a.vertical == SheetBook::VAlign::Center) {
                baseline = (top + bottom + metrics.ascent() - metrics.descent()) / 2;
            }
            // (A font's ascent leaves room for accents above capitals; the letters need less.)
            const bool cut =
                width > room.width() ||
                metrics.capHeight() + metrics.descent() + kPadding / 2.0 > bottom - top;
            if (cut) {
                p.save();
                p.setClipRect(QRectF(left, top, right - left, bottom - top), Qt::IntersectClip);
            }
            p.drawText(QPointF(x, baseline), text);
            if (cut) {
                p.restore();
            }
        }
    }
}

void SheetPages::paintGridLines(QPainter& p, const std::vector<int>& colX,
                                const std::vector<int>& rowY) const {
    p.setPen(QPen(ink(96), kLineWidth));
    const int left = colX.front();
    const int right = colX.back();
    const int top = rowY.front();
    const int bottom = rowY.back();
    int last = -1;
    for (int y : rowY) {
        if (y != last) {
            p.drawLine(left, y, right, y);
            last = y;
        }
    }
    last = -1;
    for (int x : colX) {
        if (x != last) {
            p.drawLine(x, top, x, bottom);
            last = x;
        }
    }
}

void SheetPages::paintCheckBoxes(QPainter& p, const SheetLayout::Page& page,
                                 const std::vector<int>& colX, const std::vector<int>& rowY) const {
    const auto& boxes = book_.checkBoxes();
    if (boxes.empty()) {
        return;
    }
    // A cell coordinate (whole numbers on borders, from 0) on this page.
    const auto xOf = [&](double cx) {
        const int col = static_cast<int>(std::floor(cx)) + 1;
        const double frac = cx - std::floor(cx);
        if (col < page.firstCol || col > page.lastCol) {
            return -1.0;
        }
        const size_t i = size_t(col - page.firstCol);
        return colX[i] + frac * (colX[i + 1] - colX[i]);
    };
    const auto yOf = [&](double cy) {
        const int row = static_cast<int>(std::floor(cy)) + 1;
        const double frac = cy - std::floor(cy);
        if (row < page.firstRow || row > page.lastRow) {
            return -1.0;
        }
        const size_t i = size_t(row - page.firstRow);
        return rowY[i] + frac * (rowY[i + 1] - rowY[i]);
    };
    // The boxes that start in the page's rows.
    const auto first =
        std::lower_bound(boxOrder_.begin(), boxOrder_.end(), double(page.firstRow - 1),
                         [&boxes](int id, double row) { return boxes[size_t(id)].y1 < row; });
    p.setBrush(Qt::NoBrush);
    for (auto it = first; it != boxOrder_.end(); ++it) {
        const SheetBook::CheckBox& box = boxes[size_t(*it)];
        if (box.y1 >= page.lastRow) {
            break;
        }
        const double x1 = xOf(box.x1);
        const double y1 = yOf(box.y1);
        if (x1 < 0 || y1 < 0) {
            continue;
        }
        // The far corner in the cell of the near one, measured by that cell's size.
        const size_t ci = size_t(int(std::floor(box.x1)) + 1 - page.firstCol);
        const size_t ri = size_t(int(std::floor(box.y1)) + 1 - page.firstRow);
        const double x2 = x1 + (box.x2 - box.x1) * (colX[ci + 1] - colX[ci]);
        const double y2 = y1 + (box.y2 - box.y1) * (rowY[ri + 1] - rowY[ri]);
        if (x2 - x1 < 1 || y2 - y1 < 1) {
            continue;
        }
        // A square box in the object's place.
        const double side = std::min(x2 - x1, y2 - y1);
        const QRectF square(x1, (y1 + y2 - side) / 2, side, side);
        p.setPen(QPen(Qt::black, kLineWidth));
        p.drawRect(square);
        if (box.value) {
            QPainterPath tick;
            tick.moveTo(square.left() + side * 0.2, square.top() + side * 0.52);
            tick.lineTo(square.left() + side * 0.42, square.top() + side * 0.75);
            tick.lineTo(square.left() + side * 0.8, square.top() + side * 0.25);
            p.setPen(QPen(Qt::black, side * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(tick);
        }
    }
}

}  // namespace pellumar
