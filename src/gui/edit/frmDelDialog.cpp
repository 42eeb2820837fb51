#include "gui/edit/frmDelDialog.h"

#include "gui/edit/EditController.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace pellumar {

frmDelDialog::frmDelDialog(QWidget& parent, EditController& edit)
    : QDialog(&parent),
      edit_(edit),
      imgPicture_(new QLabel(this)),
      lblMessage_(new QLabel(QStringLiteral("Are you sure you want to delete this record?"), this)),
      chkAskDel_(new QCheckBox(QStringLiteral("Do not ask me next time"), this)) {
    setObjectName(QStringLiteral("frmDelDialog"));
    setWindowTitle(QStringLiteral("Delete Record"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    imgPicture_->setObjectName(QStringLiteral("imgPicture"));
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    imgPicture_->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(iconSize));
    imgPicture_->setAlignment(Qt::AlignTop);
    lblMessage_->setObjectName(QStringLiteral("lblMessage"));
    chkAskDel_->setObjectName(QStringLiteral("chkAskDel"));

    auto* layout = new QVBoxLayout(this);
    auto* question = new QHBoxLayout;
    question->setSpacing(16);
    question->addWidget(imgPicture_);
    question->addWidget(lblMessage_, 1);
    layout->addLayout(question);
    layout->addSpacing(6);
    layout->addWidget(chkAskDel_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    static const char* kCaptions[] = {"&Yes", "&No", "&Cancel"};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kCaptions[i]), this);
        button->setObjectName(QStringLiteral("cmdBtn%1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { cmdBtn_Click(i); });
        buttons->addWidget(button);
        cmdBtn_.push_back(button);
    }
    cmdBtn_[0]->setDefault(true);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* frmDelDialog::cmdBtn(int index) const {
    return cmdBtn_.value(index);
}

void frmDelDialog::cmdBtn_Click(int index) {
    if (index == 0) {
        edit_.deleteCurrentRecord();
        accept();
    } else if (index == 1 || index == 2) {
        reject();
    }
}

void frmDelDialog::reject() {
    edit_.setDeleteCancelled(true);
    QDialog::reject();
}

}  // namespace pellumar
