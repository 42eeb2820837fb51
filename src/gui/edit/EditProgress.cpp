#include "gui/edit/EditProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace pellumar {

namespace {
constexpr qint64 kShowAfterMs = 500;
constexpr int kSteps = 1000;
}  // namespace

EditProgress::EditProgress(QWidget& window, QString label)
    : window_(window), label_(std::move(label)) {
    started_.start();
}

EditProgress::~EditProgress() {
    delete dialog_.data();
}

ClipProgress EditProgress::report() {
    return [this](qint64 done, qint64 total) { step(done, total); };
}

void EditProgress::step(qint64 done, qint64 total) {
    if (!dialog_) {
        if (started_.elapsed() < kShowAfterMs) {
            return;
        }
        auto* dialog = new QProgressDialog(label_, QString(), 0, kSteps, &window_);
        dialog->setObjectName(QStringLiteral("editProgress"));
        dialog->setWindowTitle(QStringLiteral("Pellumar"));
        dialog->setCancelButton(nullptr);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->show();
        dialog_ = dialog;
    }
    const qint64 value = total > 0 ? done * kSteps / total : 0;
    dialog_->setValue(static_cast<int>(std::clamp<qint64>(value, 0, kSteps - 1)));
    // The window paints; clicks and keys wait, since the table is in the middle of a change.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace pellumar
