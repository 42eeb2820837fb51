#include "gui/app/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pellumar {

void drawProgramIcon(QPainter& p, int size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    // Small sizes keep only the strong shapes.
    const bool small = size < 32;

    // The tile.
    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(0x2f, 0xa3, 0x6f));
    tile.setColorAt(1, QColor(0x1b, 0x6e, 0x4b));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    // The sheet: a title row, a form column at the left and records with alternate colours.
    const QRectF sheet(36, 40, 184, 176);
    p.setBrush(Qt::white);
    p.drawRoundedRect(sheet, 14, 14);
    QPainterPath clip;
    clip.addRoundedRect(sheet, 14, 14);
    p.setClipPath(clip);
    const double titleBottom = small ? 96 : 80;
    p.fillRect(QRectF(sheet.left(), sheet.top(), sheet.width(), titleBottom - sheet.top()),
               QColor(0x2d, 0x5f, 0xa8));
    const int records = small ? 2 : 4;
    const double rowHeight = (sheet.bottom() - titleBottom) / records;
    for (int r = 1; r < records; r += 2) {
        p.fillRect(QRectF(sheet.left(), titleBottom + r * rowHeight, sheet.width(), rowHeight),
                   QColor(192, 255, 192));
    }
    const double formRight = 96;
    p.fillRect(
        QRectF(sheet.left(), titleBottom, formRight - sheet.left(), sheet.bottom() - titleBottom),
        QColor(0xe8, 0xee, 0xf6));
    p.setClipping(false);
    p.setPen(QPen(QColor(0x5b, 0x6b, 0x7a), small ? 10 : 5));
    p.drawLine(QPointF(formRight, titleBottom), QPointF(formRight, sheet.bottom()));
    if (!small) {
        p.setPen(QPen(QColor(0x9a, 0xa8, 0xb4), 3));
        for (int r = 1; r < records; ++r) {
            const double y = titleBottom + r * rowHeight;
            p.drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
        }
        p.drawLine(QPointF(158, titleBottom), QPointF(158, sheet.bottom()));
    }
    p.restore();
}

QImage programIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    drawProgramIcon(p, size);
    p.end();
    return image;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    }
    return icon;
}

}  // namespace pellumar
