// The toolbar's pictures, drawn by the program so that they look alike on every platform.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace pellumar {

QIcon toolbarIcon(const QString& key);
// The "A" button's picture: the letter over a bar of the current font colour.
QIcon fontColorIcon(const QColor& color);
// The Drop Box's Erase button and the Form Panel's Close button.
QIcon eraserIcon();
QIcon closeIcon();

}  // namespace pellumar
