#include "gui/app/frmAbout.h"

#include "core/app/ProductInfo.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace pellumar {

namespace {

// The program's picture: a record table with its alternate green rows and, beside it, the form
// of the current record.
QPixmap programPicture() {
    QPixmap pm(72, 72);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2, 6, 68, 60), 4, 4);
    p.fillRect(QRectF(3, 7, 66, 10), QColor(0, 128, 0));
    for (int r = 0; r < 5; ++r) {
        const QRectF row(30, 19 + r * 9, 38, 8);
        p.fillRect(row, r % 2 ? QColor(192, 255, 192) : Qt::white);
    }
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int c = 0; c < 3; ++c) {
        p.drawLine(QPointF(30 + c * 13, 17), QPointF(30 + c * 13, 64));
    }
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int r = 0; r < 5; ++r) {
        p.drawLine(QPointF(6, 22 + r * 9), QPointF(14, 22 + r * 9));
        p.drawRect(QRectF(16, 19 + r * 9, 10, 6));
    }
    return pm;
}

QLabel* addressLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
    label->setPalette(pal);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

frmAbout::frmAbout(UrlOpener opener, QWidget* parent)
    : QDialog(parent),
      open_(std::move(opener)),
      lbVersion_(new QLabel(this)),
      email_(addressLabel(ProductInfo::emailAddress(), this)),
      web_(addressLabel(ProductInfo::webPage(), this)),
      cmdQuit_(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    lbVersion_->setObjectName(QStringLiteral("lbVersion"));
    email_->setObjectName(QStringLiteral("Label2_1"));
    web_->setObjectName(QStringLiteral("Label2_2"));
    cmdQuit_->setObjectName(QStringLiteral("cmdQuit"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(programPicture());
    picture->setAlignment(Qt::AlignTop);
    auto* name = new QLabel(ProductInfo::name(), this);
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.8);
    name->setFont(big);
    auto* subtitle =
        new QLabel(QStringLiteral(" Form Reader and Record based Data Explorer"), this);
    subtitle->setObjectName(QStringLiteral("lbSubtitle"));

    auto* addresses = new QGridLayout;
    addresses->addWidget(new QLabel(QStringLiteral("Web Site:"), this), 0, 0);
    addresses->addWidget(web_, 0, 1);
    addresses->addWidget(new QLabel(QStringLiteral("Email:"), this), 1, 0);
    addresses->addWidget(email_, 1, 1);
    addresses->setColumnStretch(1, 1);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(subtitle);
    text->addSpacing(8);
    text->addWidget(lbVersion_);
    text->addSpacing(8);
    text->addLayout(addresses);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* quitRow = new QHBoxLayout;
    quitRow->addStretch(1);
    quitRow->addWidget(cmdQuit_);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addSpacing(12);
    outer->addLayout(quitRow);

    email_->installEventFilter(this);
    web_->installEventFilter(this);
    connect(cmdQuit_, &QPushButton::clicked, this, &frmAbout::cmdQuit_Click);
    cmdQuit_->setDefault(true);
    Form_Load();
}

void frmAbout::Form_Load() {
    lbVersion_->setText(ProductInfo::versionText() + QStringLiteral("   Build ") +
                        QString::number(ProductInfo::buildRevision()));
}

QLabel* frmAbout::Label2(int index) const {
    return index == 1 ? email_ : index == 2 ? web_ : nullptr;
}

void frmAbout::Label2_Click(int index) {
    if (!open_) {
        return;
    }
    if (index == 1) {
        open_(ProductInfo::inquiryUrl());
    } else if (index == 2) {
        open_(ProductInfo::webPageUrl());
    }
}

void frmAbout::Form_Click() {
    close();
}

void frmAbout::cmdQuit_Click() {
    close();
}

void frmAbout::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Form_Click();
        return;
    }
    QDialog::mousePressEvent(event);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == email_ || watched == web_) {
            Label2_Click(watched == email_ ? 1 : 2);
            return true;  // a click on an address does not close the window
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace pellumar
