#include "gui/app/AccessibleNames.h"

#include <QWidget>

namespace pellumar {

void nameControlsAfterToolTips(QWidget& root) {
    const QList<QWidget*> widgets = root.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        const QString tip = w->toolTip().trimmed();
        if (w->accessibleName().isEmpty() && !tip.isEmpty()) {
            w->setAccessibleName(tip);
        }
    }
}

}  // namespace pellumar
