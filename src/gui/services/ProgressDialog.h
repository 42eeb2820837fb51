// The progress of a long load or import in the window.
#pragma once

#include <QString>

#include "core/document/FileResult.h"

class QWidget;

namespace pellumar {

// A progress callback whose dialog (`label` over a bar, Cancel, the title `caption`) shows itself
// once the task runs longer than half a second. While it is up the window keeps painting and
// takes no other input; its Cancel stops the task.
Progress delayedProgress(QWidget* parent, const QString& label, const QString& caption);

}  // namespace pellumar
