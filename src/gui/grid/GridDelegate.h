// Cell editing for a grid: a plain line editor, or a list when the grid offers a combo list. A
// check box without text stands where the cell's alignment puts it (a centred Checkbox column
// shows its boxes centred), and a click toggles it there.
#pragma once

#include <QStyledItemDelegate>

namespace pellumar {

class GridControl;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit GridDelegate(GridControl* grid);

    // Rows of a list selection show as selected; a check box stands where its cell is aligned.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    // Where an aligned check box of a cell without text stands; an empty rect when the style's
    // own place (at the left) is the right one.
    QRect alignedCheckRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    GridControl* grid_;
};

}  // namespace pellumar
