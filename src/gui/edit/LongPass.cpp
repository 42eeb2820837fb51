#include "gui/edit/LongPass.h"

#include <QCursor>
#include <QGuiApplication>

namespace pellumar {

namespace {

constexpr qint64 kQuietMs = 150;  // a pass this short shows nothing

}  // namespace

LongPass::LongPass() {
    started_.start();
}

LongPass::~LongPass() {
    if (busy_) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void LongPass::tick() {
    if (!busy_ && started_.elapsed() >= kQuietMs) {
        busy_ = true;
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
}

}  // namespace pellumar
