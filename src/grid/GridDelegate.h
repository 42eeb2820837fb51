// Cell editing for a grid: a plain line editor, or a list when the grid offers a combo list.
#pragma once

#include <QStyledItemDelegate>

namespace pellumar {

class GridControl;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit GridDelegate(GridControl* grid);

    // Rows of a list selection show as selected.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    GridControl* grid_;
};

}  // namespace pellumar
