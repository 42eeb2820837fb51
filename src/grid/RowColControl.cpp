#include "grid/RowColControl.h"

#include "grid/GridModel.h"
#include "grid/Twips.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace pellumar {

RowColControl::RowColControl(GridModel& model, QWidget* parent)
    : QWidget(parent), model_(model), txtRow_(new QLineEdit(this)), txtCol_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("rowColControl"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    txtRow_->setObjectName(QStringLiteral("txtRow"));
    txtCol_->setObjectName(QStringLiteral("txtCol"));
    for (QLineEdit* box : {txtRow_, txtCol_}) {
        box->setFixedWidth(twipsToPixels(900, this));
        box->setReadOnly(true);  // typing into the boxes comes with their own commands
    }
    auto* rows = new QLabel(QStringLiteral("Rows"), this);
    rows->setObjectName(QStringLiteral("SSPanel1_0"));
    auto* cols = new QLabel(QStringLiteral("Cols"), this);
    cols->setObjectName(QStringLiteral("SSPanel1_1"));
    layout->addWidget(rows);
    layout->addWidget(txtRow_);
    layout->addWidget(cols);
    layout->addWidget(txtCol_);

    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&model_, signal, this, &RowColControl::showRows);
    }
    for (auto signal :
         {&QAbstractItemModel::columnsInserted, &QAbstractItemModel::columnsRemoved}) {
        connect(&model_, signal, this, &RowColControl::showCols);
    }
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        showRows();
        showCols();
    });
}

void RowColControl::showRows() {
    txtRow_->setText(QString::number(std::max(0, model_.rows() - 1)));
}

void RowColControl::showCols() {
    txtCol_->setText(QString::number(model_.cols()));
}

}  // namespace pellumar
