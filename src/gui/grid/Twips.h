// Twips (1/1440 inch) to screen pixels and back, by the logical dots per inch of a widget's
// screen: 15 twips a pixel at 96 dpi.
#pragma once

class QWidget;

namespace pellumar {

double logicalDpi(const QWidget* widget);
int twipsToPixels(int twips, const QWidget* widget);
int pixelsToTwips(int pixels, const QWidget* widget);

}  // namespace pellumar
