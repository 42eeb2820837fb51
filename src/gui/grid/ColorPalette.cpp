#include "gui/grid/ColorPalette.h"

#include <QEvent>
#include <QGridLayout>
#include <QMouseEvent>

namespace pellumar {

namespace {

// What assistive technology calls each swatch.
constexpr const char* kSwatchNames[] = {"Black", "Red",    "Dark Red", "Dark Green",
                                        "Navy",  "Purple", "Magenta",  "Blue"};

}  // namespace

QColor ColorPalette::swatchColor(int k) {
    static constexpr QRgb kColors[kSwatches] = {
        qRgb(0, 0, 0),   qRgb(255, 0, 0),   qRgb(128, 0, 0),   qRgb(0, 128, 0),
        qRgb(0, 0, 128), qRgb(128, 0, 128), qRgb(255, 0, 255), qRgb(0, 0, 255),
    };
    return k >= 0 && k < kSwatches ? QColor(kColors[k]) : QColor();
}

ColorPalette::ColorPalette(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("PanColor"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    for (int k = 0; k < kSwatches; ++k) {
        auto* swatch = new QFrame(this);
        swatch->setObjectName(QStringLiteral("SSPanelColor%1").arg(k));
        swatch->setAccessibleName(QString::fromLatin1(kSwatchNames[k]));
        swatch->setFrameShape(QFrame::Panel);
        swatch->setFrameShadow(QFrame::Raised);
        swatch->setLineWidth(2);
        swatch->setFixedSize(20, 20);
        swatch->setAutoFillBackground(true);
        QPalette p = swatch->palette();
        p.setColor(QPalette::Window, swatchColor(k));
        swatch->setPalette(p);
        swatch->setCursor(Qt::ArrowCursor);
        swatch->installEventFilter(this);
        layout->addWidget(swatch, k / 4, k % 4);
        swatches_.push_back(swatch);
    }
    adjustSize();
}

void ColorPalette::setPressedSwatch(int k) {
    if (k < 0 || k >= kSwatches) {
        return;
    }
    pressed_ = k;
    for (int i = 0; i < kSwatches; ++i) {
        swatches_[i]->setFrameShadow(i == k ? QFrame::Sunken : QFrame::Raised);
    }
}

bool ColorPalette::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const int k = swatches_.indexOf(static_cast<QFrame*>(watched));
        if (k >= 0) {
            emit swatchChosen(k);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void ColorPalette::mousePressEvent(QMouseEvent* event) {
    // A click on the background between the swatches puts the palette away.
    QFrame::mousePressEvent(event);
    hide();
}

}  // namespace pellumar
