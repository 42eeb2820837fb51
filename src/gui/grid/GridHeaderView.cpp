#include "gui/grid/GridHeaderView.h"

#include "core/grid/GridModel.h"

#include <QPainter>
#include <QPainterPath>

namespace pellumar {

GridHeaderView::GridHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

void GridHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    // The style leaves the painter clipped to nothing once it has drawn a section of a header
    // painted without a clip of its own; the arrow is drawn with the painter as it was.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (!model()) {
        return;
    }
    const int picture =
        model()->headerData(logicalIndex, Qt::Horizontal, GridModel::PictureRole).toInt();
    if (picture != PictureSortUp && picture != PictureSortDown) {
        return;
    }
    const int size = std::max(6, std::min(rect.height() / 2, 10));
    const QRect box(rect.right() - size - 4, rect.center().y() - size / 2, size, size);
    QPainterPath arrow;
    if (picture == PictureSortUp) {
        arrow.moveTo(box.left(), box.bottom());
        arrow.lineTo(box.right(), box.bottom());
        arrow.lineTo(box.center().x(), box.top());
    } else {
        arrow.moveTo(box.left(), box.top());
        arrow.lineTo(box.right(), box.top());
        arrow.lineTo(box.center().x(), box.bottom());
    }
    arrow.closeSubpath();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(arrow, palette().color(QPalette::ButtonText));
    painter->restore();
}

}  // namespace pellumar
