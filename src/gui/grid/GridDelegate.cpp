#include "gui/grid/GridDelegate.h"

#include "core/grid/GridModel.h"
#include "gui/grid/GridControl.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace pellumar {

GridDelegate::GridDelegate(GridControl* grid) : QStyledItemDelegate(grid), grid_(grid) {}

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
    if (freeText) {
        // A typed text stays as typed: the list is offered, but nothing completes the text as
        // it is typed, and Enter does not swap it for an item that differs only in case (the
        // combo box matches its items as its completer does, so the completer is a
        // case-sensitive one with nothing to offer).
        auto* exact = new QCompleter(QStringList(), combo);
        exact->setCaseSensitivity(Qt::CaseSensitive);
        combo->setCompleter(exact);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
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

QRect GridDelegate::alignedCheckRect(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    // Only an alignment given to the cell or its column moves the box ("general" leaves it).
    const int code = index.data(GridModel::AlignmentCodeRole).toInt();
    if (!(option.features & QStyleOptionViewItem::HasCheckIndicator) || !option.text.isEmpty() ||
        code < 3 || code > 8) {
        return {};
    }
    const Qt::Alignment horizontal = code < 6 ? Qt::AlignHCenter : Qt::AlignRight;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, widget);
    const QRect aligned = QStyle::alignedRect(option.direction, horizontal | Qt::AlignVCenter,
                                              box.size(), option.rect);
    return QRect(aligned.left(), box.top(), box.width(), box.height());
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& given,
                         const QModelIndex& index) const {
    // Rows of a list selection show as selected.
    QStyleOptionViewItem option(given);
    if (grid_->hasRowList() && grid_->isRowListed(index.row() + grid_->fixedRows())) {
        option.state |= QStyle::State_Selected;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QRect box = alignedCheckRect(opt, index);
    if (box.isNull()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell without its box, then the box in its place.
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem cell = opt;
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    QStyleOptionViewItem check = opt;
    check.rect = box;
    check.state &= ~QStyle::State_HasFocus;
    check.state |= opt.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                               const QStyleOptionViewItem& option, const QModelIndex& index) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick) {
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QRect box = alignedCheckRect(opt, index);
    if (box.isNull()) {
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
    // A click on the box where it is drawn toggles it, as the style's own place would.
    const Qt::ItemFlags flags = model->flags(index);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (!(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled) ||
        !(opt.state & QStyle::State_Enabled) || mouse->button() != Qt::LeftButton ||
        !box.contains(mouse->position().toPoint())) {
        return false;
    }
    if (type != QEvent::MouseButtonRelease) {
        return true;
    }
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

}  // namespace pellumar
