#include "gui/app/SplitterBar.h"

#include "gui/grid/Twips.h"

#include <QApplication>
#include <QMouseEvent>

namespace pellumar {

namespace {

QFrame* dragBar(QWidget* parent, const QString& name, const QColor& color) {
    auto* bar = new QFrame(parent);
    bar->setObjectName(name);
    bar->setAutoFillBackground(true);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, color);
    bar->setPalette(pal);
    bar->setAttribute(Qt::WA_TransparentForMouseEvents);
    bar->hide();
    return bar;
}

}  // namespace

SplitterBar::SplitterBar(QWidget* parent)
    : QFrame(parent),
      // The feedback bar is a dark shadow of the splitter; the limit bar is red, so that the
      // user sees the drag has reached the end.
      feedbackBar_(dragBar(parent, QStringLiteral("VBar1"), QColor(96, 96, 96))),
      limitBar_(dragBar(parent, QStringLiteral("VBar2"), QColor(200, 30, 30))) {
    setObjectName(QStringLiteral("VBar"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(1);
    setCursor(Qt::SizeHorCursor);
    setFocusPolicy(Qt::NoFocus);
}

void SplitterBar::setLimits(int leftLimit, int rightMargin) {
    leftLimit_ = leftLimit;
    rightMargin_ = rightMargin;
}

int SplitterBar::rightLimit() const {
    return pixelsToTwips(window()->frameGeometry().width(), this) - rightMargin_;
}

void SplitterBar::placeDragBar(QWidget* bar, int leftTwips) {
    bar->move(twipsToPixels(leftTwips, this), bar->y());
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || dragging_) {
        QFrame::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragMoved_ = false;
    atLeftLimit_ = false;
    atRightLimit_ = false;
    // The feedback bar starts on the splitter itself.
    feedbackLeft_ = pixelsToTwips(x(), this);
    placeDragBar(feedbackBar_, feedbackLeft_);
    feedbackBar_->show();
    feedbackBar_->raise();
    limitBar_->hide();
    QApplication::setOverrideCursor(Qt::SizeHorCursor);
    event->accept();
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) {
        QFrame::mouseMoveEvent(event);
        return;
    }
    dragMoved_ = true;
    // The splitter's left plus the pointer's offset within the bar.
    const int proposed = pixelsToTwips(x() + qRound(event->position().x()), this);
    atLeftLimit_ = proposed < leftLimit_;
    if (atLeftLimit_) {
        limitLeft_ = leftLimit_;
        placeDragBar(limitBar_, limitLeft_);
    }
    const int right = rightLimit();
    if (proposed > right) {
        feedbackLeft_ = right;
        limitLeft_ = right;
        placeDragBar(feedbackBar_, feedbackLeft_);
        placeDragBar(limitBar_, limitLeft_);
        limitBar_->show();
        limitBar_->raise();
        feedbackBar_->hide();
        atRightLimit_ = true;
    } else {
        feedbackLeft_ = proposed;
        placeDragBar(feedbackBar_, feedbackLeft_);
        feedbackBar_->show();
        feedbackBar_->raise();
        limitBar_->hide();
        atRightLimit_ = false;
    }
    event->accept();
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    const bool dragMoved = dragMoved_;
    int left = feedbackLeft_;
    if (atLeftLimit_ && limitLeft_ == leftLimit_) {
        left = leftLimit_;
    } else if (atRightLimit_ && limitLeft_ <= rightLimit()) {
        left = rightLimit();
    }
    endDrag();
    event->accept();
    // A click that never moved leaves the splitter exactly where it was.
    if (dragMoved) {
        emit moved(left);
    }
}

void SplitterBar::hideEvent(QHideEvent* event) {
    if (dragging_) {
        endDrag();  // the drag is dropped: the splitter stays where it was
    }
    QFrame::hideEvent(event);
}

void SplitterBar::endDrag() {
    dragging_ = false;
    atLeftLimit_ = false;
    atRightLimit_ = false;
    feedbackBar_->hide();
    limitBar_->hide();
    QApplication::restoreOverrideCursor();
}

}  // namespace pellumar
