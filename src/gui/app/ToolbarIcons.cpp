#include "gui/app/ToolbarIcons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <functional>

namespace pellumar {

namespace {

constexpr int kSize = 32;  // the pictures are drawn on a 32 x 32 grid, scaled to the size asked

using Drawing = std::function<void(QPainter&)>;

// An icon drawn afresh at each size it is shown at, device pixels included, so that it stays
// sharp at any scale factor of the screen.
class DrawnIconEngine : public QIconEngine {
public:
    explicit DrawnIconEngine(Drawing draw) : draw_(std::move(draw)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        Q_UNUSED(state);
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.scale(size.width() / double(kSize), size.height() / double(kSize));
            draw_(p);
        }
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
        }
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, pm);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new DrawnIconEngine(draw_); }
    QString key() const override { return QStringLiteral("pellumar-drawn"); }

private:
    Drawing draw_;
};

QIcon drawn(Drawing draw) {
    return QIcon(new DrawnIconEngine(std::move(draw)));
}

QIcon letter(const QString& text, bool bold, bool italic, bool underline) {
    return drawn([=](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        QFont f(QStringLiteral("Serif"));
        f.setPixelSize(26);
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
        p.setFont(f);
        p.setPen(QColor(30, 30, 30));
        p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
    });
}

void drawPage(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 7, r.top());
    path.lineTo(r.right(), r.top() + 7);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.fillPath(path, Qt::white);
    p.drawPath(path);
}

QIcon rows(bool block) {
    return drawn([=](QPainter& p) {
        p.setPen(QColor(80, 80, 80));
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 3; ++c) {
                const QRect cell(3 + c * 9, 5 + r * 6, 8, 5);
                const bool marked = block ? (r >= 1 && r <= 2 && c >= 1) : r == 1;
                p.fillRect(cell, marked ? QColor(40, 90, 200) : QColor(250, 250, 250));
                p.drawRect(cell);
            }
        }
    });
}

}  // namespace

QIcon fontColorIcon(const QColor& color) {
    return drawn([=](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        QFont f(QStringLiteral("Sans"));
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(30, 30, 30));
        p.drawText(QRect(0, 0, kSize, 24), Qt::AlignCenter, QStringLiteral("A"));
        p.fillRect(QRect(4, 25, kSize - 8, 6), color);
    });
}

QIcon eraserIcon() {
    return drawn([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 90, 90));
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
    });
}

QIcon closeIcon() {
    return drawn([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(60, 60, 60), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
    });
}

QIcon toolbarIcon(const QString& key) {
    if (key == u"New") {
        return drawn([=](QPainter& p) {
            p.setPen(QPen(QColor(60, 60, 60), 2));
            drawPage(p, QRectF(6, 2, 20, 28));
        });
    }
    if (key == u"Open") {
        return drawn([](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(120, 90, 20), 1.5));
            QPainterPath back;  // the folder with its tab
            back.moveTo(3, 7);
            back.lineTo(12, 7);
            back.lineTo(15, 10);
            back.lineTo(26, 10);
            back.lineTo(26, 27);
            back.lineTo(3, 27);
            back.closeSubpath();
            p.setBrush(QColor(230, 180, 60));
            p.drawPath(back);
            QPainterPath front;  // the open front, leaning forward
            front.moveTo(3, 27);
            front.lineTo(8, 15);
            front.lineTo(30, 15);
            front.lineTo(26, 27);
            front.closeSubpath();
            p.setBrush(QColor(250, 210, 100));
            p.drawPath(front);
        });
    }
    if (key == u"Save") {
        return drawn([](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(20, 40, 90), 1.5));
            p.setBrush(QColor(50, 90, 170));
            p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(250, 250, 250));
            p.drawRect(QRectF(8, 5, 16, 10));  // the label
            p.setBrush(QColor(190, 195, 205));
            p.drawRect(QRectF(10, 19, 12, 8));  // the shutter
            p.setBrush(QColor(50, 90, 170));
            p.drawRect(QRectF(18, 20, 3, 6));
        });
    }
    if (key == u"Copy" || key == u"Paste" || key == u"Cut") {
        return drawn([=](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(60, 60, 60), 2));
            if (key == u"Copy") {
                drawPage(p, QRectF(3, 2, 16, 20));
                drawPage(p, QRectF(13, 10, 16, 20));
            } else if (key == u"Paste") {
                p.setBrush(QColor(200, 160, 90));
                p.drawRoundedRect(QRectF(4, 5, 20, 25), 2, 2);
                p.setBrush(QColor(120, 120, 120));
                p.drawRect(QRectF(10, 2, 8, 6));
                drawPage(p, QRectF(14, 12, 15, 18));
            } else {
                p.drawEllipse(QRectF(4, 20, 9, 9));
                p.drawEllipse(QRectF(19, 20, 9, 9));
                p.drawLine(QPointF(11, 21), QPointF(22, 3));
                p.drawLine(QPointF(21, 21), QPointF(10, 3));
            }
        });
    }
    if (key == u"Find") {
        return drawn([=](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(50, 50, 50), 3));
            p.drawEllipse(QRectF(4, 4, 16, 16));
            p.drawLine(QPointF(18, 18), QPointF(28, 28));
        });
    }
    if (key == u"Bold") {
        return letter(QStringLiteral("B"), true, false, false);
    }
    if (key == u"Italic") {
        return letter(QStringLiteral("I"), false, true, false);
    }
    if (key == u"Underline") {
        return letter(QStringLiteral("U"), false, false, true);
    }
    if (key == u"A") {
        return fontColorIcon(Qt::black);
    }
    if (key == u"Acolor" || key == u"Flood") {
        return drawn([=](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            if (key == u"Acolor") {
                const QColor swatches[] = {Qt::red, QColor(0, 128, 0), QColor(0, 0, 128),
                                           QColor(128, 0, 128)};
                for (int i = 0; i < 4; ++i) {
                    p.fillRect(QRect(3 + (i % 2) * 14, 3 + (i / 2) * 14, 12, 12), swatches[i]);
                }
            } else {
                p.setPen(QPen(QColor(60, 60, 60), 2));
                p.setBrush(QColor(255, 230, 120));
                p.drawRect(QRectF(6, 4, 20, 24));
                p.fillRect(QRectF(7, 16, 18, 11), QColor(250, 200, 40));
            }
        });
    }
    if (key == u"RowMode") {
        return rows(false);
    }
    if (key == u"BlockMode") {
        return rows(true);
    }
    if (key == u"DragMode") {
        return drawn([=](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(60, 60, 60), 2));
            p.drawRect(QRectF(3, 3, 14, 10));
            p.setBrush(QColor(40, 90, 200));
            QPainterPath arrow;
            arrow.moveTo(14, 12);
            arrow.lineTo(28, 22);
            arrow.lineTo(21, 23);
            arrow.lineTo(25, 30);
            arrow.lineTo(22, 31);
            arrow.lineTo(18, 25);
            arrow.lineTo(14, 29);
            arrow.closeSubpath();
            p.drawPath(arrow);
        });
    }
    if (key == u"AlternateColor") {
        return drawn([=](QPainter& p) {
            for (int r = 0; r < 5; ++r) {
                p.fillRect(QRect(3, 3 + r * 5, 26, 5), r % 2 ? QColor(192, 255, 192) : Qt::white);
            }
            p.setPen(QColor(80, 80, 80));
            p.drawRect(QRect(3, 3, 26, 25));
        });
    }
    if (key == u"Up" || key == u"Down") {
        const bool up = key == u"Up";
        return drawn([up](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            if (!up) {
                p.translate(0, kSize);
                p.scale(1, -1);
            }
            QPainterPath arrow;
            arrow.moveTo(16, 3);
            arrow.lineTo(28, 16);
            arrow.lineTo(20, 16);
            arrow.lineTo(20, 29);
            arrow.lineTo(12, 29);
            arrow.lineTo(12, 16);
            arrow.lineTo(4, 16);
            arrow.closeSubpath();
            p.setPen(QPen(QColor(20, 80, 40), 1.5));
            p.setBrush(QColor(60, 160, 90));
            p.drawPath(arrow);
        });
    }
    return {};
}

}  // namespace pellumar
