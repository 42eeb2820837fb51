#include "gui/grid/GridStyleProxy.h"

#include "core/grid/GridModel.h"

#include <QBrush>
#include <QColor>

namespace pellumar {

GridStyleProxy::GridStyleProxy(QObject* parent) : QIdentityProxyModel(parent) {}

QVariant GridStyleProxy::styled(int role, const std::function<QVariant(int)>& source) const {
    switch (role) {
        case Qt::FontRole: {
            const QVariant bold = source(GridModel::BoldRole);
            if (!bold.isValid()) {
                return {};  // a cell without a style of its own
            }
            QFont font = baseFont_;
            font.setBold(bold.toBool());
            font.setItalic(source(GridModel::ItalicRole).toBool());
            font.setUnderline(source(GridModel::UnderlineRole).toBool());
            const QVariant size = source(GridModel::FontSizeRole);
            if (size.isValid()) {
                font.setPointSizeF(size.toDouble());
            }
            return font;
        }
        case Qt::ForegroundRole: {
            const QVariant c = source(GridModel::ForeColorRole);
            return c.isValid() ? QVariant(QBrush(QColor::fromRgba(c.toUInt()))) : QVariant();
        }
        case Qt::BackgroundRole: {
            const QVariant c = source(GridModel::BackColorRole);
            return c.isValid() ? QVariant(QBrush(QColor::fromRgba(c.toUInt()))) : QVariant();
        }
        default:
            return source(role);
    }
}

QVariant GridStyleProxy::data(const QModelIndex& index, int role) const {
    return styled(role, [&](int r) { return QIdentityProxyModel::data(index, r); });
}

QVariant GridStyleProxy::headerData(int section, Qt::Orientation orientation, int role) const {
    return styled(role,
                  [&](int r) { return QIdentityProxyModel::headerData(section, orientation, r); });
}

}  // namespace pellumar
