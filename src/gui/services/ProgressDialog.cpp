#include "gui/services/ProgressDialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

#include <algorithm>
#include <memory>

namespace pellumar {

Progress delayedProgress(QWidget* parent, const QString& label, const QString& caption) {
    auto dialog = std::make_shared<QPointer<QProgressDialog>>();
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    return [=](qint64 done, qint64 total) {
        if (!*dialog) {
            if (started->elapsed() < 500 || done >= total) {
                return true;  // short tasks never show a dialog
            }
            auto* d = new QProgressDialog(label, QStringLiteral("Cancel"), 0, 1000, parent);
            d->setAttribute(Qt::WA_DeleteOnClose);
            d->setWindowTitle(caption);
            d->setWindowModality(Qt::WindowModal);
            d->setMinimumDuration(0);
            d->setAutoClose(false);
            d->setAutoReset(false);
            d->show();
            *dialog = d;
        }
        QProgressDialog* d = *dialog;
        d->setValue(total > 0 ? static_cast<int>(std::min<qint64>(done * 1000 / total, 999)) : 0);
        QCoreApplication::processEvents();  // the window keeps painting
        const bool goOn = *dialog && !d->wasCanceled();
        if ((!goOn || done >= total) && *dialog) {
            d->close();
        }
        return goOn;
    };
}

}  // namespace pellumar
