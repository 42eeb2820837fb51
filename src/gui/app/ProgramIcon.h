// The program's icon: one drawing, shown as the windows' icon and written out at the usual sizes
// of the desktop's icon theme when the program is built.
#pragma once

#include <QIcon>
#include <QImage>

class QPainter;

namespace pellumar {

// Draws the icon into a square of `size` pixels at the painter's origin.
void drawProgramIcon(QPainter& painter, int size);
// The icon at `size` x `size` pixels.
QImage programIconImage(int size);
// The icon at every size the window system asks for.
QIcon programIcon();

}  // namespace pellumar
