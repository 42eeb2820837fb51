#include "grid/GridDelegate.h"

#include "grid/GridControl.h"

#include <QComboBox>
#include <QLineEdit>

namespace pellumar {

GridDelegate::GridDelegate(GridControl* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    if (grid_->hasRowList() && grid_->isRowListed(index.row() + grid_->fixedRows())) {
        QStyleOptionViewItem listed(option);
        listed.state |= QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, listed, index);
        return;
    }
    QStyledItemDelegate::paint(painter, option, index);
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QString list = grid_->comboList();
    if (list.isEmpty()) {
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("gridComboEditor"));
    const bool freeText = list.startsWith(u'|');
    if (freeText) {
        list.remove(0, 1);
    }
    combo->setEditable(freeText);
    combo->addItems(list.split(u'|'));
    return combo;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const QString current = index.data(Qt::EditRole).toString();
        int at = combo->findText(current);
        if (at < 0 && !combo->isEditable() && !current.isEmpty()) {
            // A value the list does not hold is offered too, so that leaving the editor keeps it.
            combo->insertItem(0, current);
            at = 0;
        }
        if (at >= 0) {
            combo->setCurrentIndex(at);
        } else if (combo->isEditable()) {
            combo->setEditText(current);
        }
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    // Leaving an editor without a change is not an edit.
    const QString before = index.data(Qt::EditRole).toString();
    QString after;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        after = combo->currentText();
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        after = line->text();
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (after != before) {
        model->setData(index, after, Qt::EditRole);
    }
}

}  // namespace pellumar
