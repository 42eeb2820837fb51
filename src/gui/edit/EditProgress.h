// The progress of an editing command that can run long (a copy or a paste of a million records):
// a dialog shows once the command has run for half a second, and the window keeps painting. A
// command that changes the table cannot stop halfway, so the dialog offers no Cancel, and other
// input waits until the command ends.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include "core/table/ClipText.h"

class QProgressDialog;
class QWidget;

namespace pellumar {

class EditProgress {
public:
    EditProgress(QWidget& window, QString label);
    ~EditProgress();
    EditProgress(const EditProgress&) = delete;
    EditProgress& operator=(const EditProgress&) = delete;

    // The report to hand to the table's long operations; it lives as long as this object.
    ClipProgress report();

private:
    void step(qint64 done, qint64 total);

    QWidget& window_;
    QString label_;
    QElapsedTimer started_;
    QPointer<QProgressDialog> dialog_;
};

}  // namespace pellumar
