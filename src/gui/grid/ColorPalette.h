// The colour palette `PanColor`: eight colour swatches (`SSPanelColor` 0 to 7) that pop up under
// the toolbar's "Acolor" button. Choosing a swatch or clicking the palette's background hides
// it; the owner decides what a swatch colours.
#pragma once

#include <QColor>
#include <QFrame>
#include <QList>

namespace pellumar {

class ColorPalette : public QFrame {
    Q_OBJECT

public:
    static constexpr int kSwatches = 8;
    // The colour of swatch k (black, red, dark red, dark green, navy, purple, magenta, blue); an
    // invalid colour for any other index.
    static QColor swatchColor(int k);

    explicit ColorPalette(QWidget* parent = nullptr);

    QFrame* swatch(int k) const { return swatches_.value(k); }
    // Draws swatch k pressed and the others raised.
    void setPressedSwatch(int k);
    int pressedSwatch() const { return pressed_; }

signals:
    void swatchChosen(int k);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QList<QFrame*> swatches_;
    int pressed_ = -1;
};

}  // namespace pellumar
