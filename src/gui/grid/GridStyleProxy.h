// Turns the grid model's style roles (bold, colours, font size) into the fonts and brushes that
// Qt's views and delegates paint with.
#pragma once

#include <QFont>
#include <QIdentityProxyModel>

#include <functional>

namespace pellumar {

class GridStyleProxy : public QIdentityProxyModel {
    Q_OBJECT

public:
    explicit GridStyleProxy(QObject* parent = nullptr);

    void setBaseFont(const QFont& font) { baseFont_ = font; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVariant styled(int role, const std::function<QVariant(int)>& source) const;

    QFont baseFont_;
};

}  // namespace pellumar
