// Names for assistive technology: a screen reader reads a control by its accessible name, which
// Qt takes from a button's text or a label it is tied to. The program's buttons show pictures
// and its boxes stand beside no label, so they are named here after their tool tips.
#pragma once

class QWidget;

namespace pellumar {

// Gives every widget under `root` that has no accessible name of its own, and a tool tip, the
// tool tip (without surrounding spaces) as its name.
void nameControlsAfterToolTips(QWidget& root);

}  // namespace pellumar
