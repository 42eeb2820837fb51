// The column header of a grid: the grid's fixed title row. Draws the title cell's picture (the
// sort arrows) at the right of the title.
#pragma once

#include <QHeaderView>

namespace pellumar {

class GridHeaderView : public QHeaderView {
    Q_OBJECT

public:
    explicit GridHeaderView(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

}  // namespace pellumar
