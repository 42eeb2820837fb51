#include "gui/app/MainLayout.h"

#include "gui/app/SplitterBar.h"
#include "gui/grid/Twips.h"

#include <QTabBar>
#include <QTabWidget>

namespace pellumar {

namespace {

// The Drop Box row, in twips.
constexpr int kLabelWidth = 750;
constexpr int kLabelHeight = 240;
constexpr int kDropButton = 315;  // the decode and erase buttons are square
constexpr int kBoxTop = 30;
// Inside the Form Panel frame, in twips.
constexpr int kFormPanelLeft = 100;
constexpr int kFormPanelTop = 400;
constexpr int kCloseBoxOffset = 260;  // from the splitter's left edge
constexpr int kDecreaseOffset = 480;
constexpr int kIncreaseOffset = 680;

}  // namespace

MainLayout::MainLayout(QWidget* workArea) : QLayout(workArea) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

MainLayout::~MainLayout() {
    qDeleteAll(items_);
}

int MainLayout::px(int twips) const {
    return twipsToPixels(twips, parentWidget());
}

void MainLayout::manage(QWidget* w) {
    addChildWidget(w);
    items_.append(new QWidgetItem(w));
}

void MainLayout::setRuleLine(QWidget* line) {
    line_ = line;
    manage(line);
}

void MainLayout::setDropBoxRow(QWidget* label, QWidget* box, QWidget* decode, QWidget* erase) {
    label_ = label;
    box_ = box;
    decode_ = decode;
    erase_ = erase;
    for (QWidget* w : {label, box, decode, erase}) {
        manage(w);
    }
}

void MainLayout::setWorkArea(QTabWidget* frame, SplitterBar* splitter, QWidget* grid) {
    frame_ = frame;
    splitter_ = splitter;
    grid_ = grid;
    for (QWidget* w : {static_cast<QWidget*>(frame), static_cast<QWidget*>(splitter), grid}) {
        manage(w);
    }
}

void MainLayout::setFrameContents(QWidget* formPanel, const QList<QWidget*>& recordButtons,
                                  QWidget* increase, QWidget* decrease, QWidget* closeBox) {
    formPanel_ = formPanel;
    recordButtons_.clear();
    for (QWidget* b : recordButtons) {
        recordButtons_.append(b);
    }
    increase_ = increase;
    decrease_ = decrease;
    closeBox_ = closeBox;
    // They stand on the frame, above its page.
    formPanel->raise();
    for (QWidget* b : recordButtons) {
        b->raise();
    }
    for (QWidget* b : {increase, decrease, closeBox}) {
        b->raise();
    }
}

void MainLayout::setSplitterLeft(int twips) {
    splitterLeft_ = twips;
    relayout();
}

void MainLayout::setDropBoxShown(bool shown) {
    dropBoxShown_ = shown;
    for (QWidget* w : {label_.data(), box_.data(), decode_.data(), erase_.data()}) {
        if (w) {
            w->setVisible(shown);
        }
    }
    relayout();
}

void MainLayout::setFormPanelShown(bool shown) {
    formPanelShown_ = shown;
    for (QWidget* w : {static_cast<QWidget*>(frame_.data()), static_cast<QWidget*>(splitter_)}) {
        if (w) {
            w->setVisible(shown);
        }
    }
    relayout();
}

int MainLayout::workAreaTop() const {
    return dropBoxShown_ ? kDropBoxHeight + kBandGap : kBandGap;
}

void MainLayout::relayout() {
    if (QWidget* area = parentWidget()) {
        setGeometry(area->contentsRect());
    }
}

void MainLayout::place(QWidget* w, QPoint origin, int left, int top, int width, int height) const {
    if (!w) {
        return;
    }
    // Edges are converted, not sizes, so that neighbours meet without gaps.
    const int x = px(left);
    const int y = px(top);
    const int pxWidth = width < 0 ? w->width() : px(left + width) - x;
    const int pxHeight = height < 0 ? w->height() : px(top + height) - y;
    w->setGeometry(origin.x() + x, origin.y() + y, pxWidth, pxHeight);
}

void MainLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QWidget* area = parentWidget();
    const QPoint o = rect.topLeft();
    const int innerWidth = pixelsToTwips(rect.width(), area);
    const int innerHeight = pixelsToTwips(rect.height(), area);

    // The work area's band.
    const int top = workAreaTop();
    const int height = innerHeight - top;

    // The Drop Box row. The label is as wide as its caption needs if that is more than its own
    // width, so that the caption is never cut.
    const int frameLeft = 0;
    const int labelLeft = frameLeft - 10;
    const int labelWidth =
        label_ ? std::max(kLabelWidth, pixelsToTwips(label_->sizeHint().width(), area))
               : kLabelWidth;
    const int boxLeft = labelLeft + labelWidth + 60;
    const int boxWidth = innerWidth - boxLeft - kDropButton - kDropButton - 140;
    const int decodeLeft = boxLeft + boxWidth + 60;
    place(label_, o, labelLeft, kBoxTop + 30, labelWidth, kLabelHeight);
    place(box_, o, boxLeft, kBoxTop, boxWidth, kDropBoxHeight);
    place(decode_, o, decodeLeft, kBoxTop, kDropButton, kDropButton);
    place(erase_, o, decodeLeft + kDropButton + 30, kBoxTop, kDropButton, kDropButton);

    // The rule line under the toolbar.
    if (line_) {
        line_->setGeometry(o.x(), o.y(), rect.width(), line_->sizeHint().height());
    }

    // The splitter and its drag bars span the work area's height; the drag bars keep their
    // horizontal place, which only a drag sets.
    const int s = splitterLeft_;
    place(splitter_, o, s, top, SplitterBar::kWidth, height);
    if (splitter_) {
        for (QWidget* bar : {splitter_->VBar1(), splitter_->VBar2()}) {
            place(bar, o, pixelsToTwips(bar->x() - o.x(), area), top, SplitterBar::kWidth, height);
        }
    }
    // The frame keeps the width of the splitter's left even while it is hidden.
    place(frame_, o, frameLeft, top, s, height);
    placeFrameContents(s, height);
    if (formPanelShown_) {
        place(grid_, o, s + SplitterBar::kWidth, top, innerWidth - s - SplitterBar::kWidth, height);
    } else {
        place(grid_, o, frameLeft, top, innerWidth, height);
    }
}

void MainLayout::placeFrameContents(int frameWidth, int frameHeight) {
    if (!frame_) {
        return;
    }
    place(formPanel_, {}, kFormPanelLeft, kFormPanelTop, frameWidth - 2 * kFormPanelLeft,
          frameHeight - kFormPanelTop - 80);
    // The buttons stand in the tab row: the record buttons after the tab, the row height buttons
    // and the close box at their distance to the splitter.
    const QSize tab = frame_->tabBar()->sizeHint();
    const int buttonTop = std::max(0, pixelsToTwips(tab.height(), frame_) - kButtonSize) / 2;
    const int firstButton = pixelsToTwips(tab.width(), frame_) + 60;
    for (int i = 0; i < recordButtons_.size(); ++i) {
        place(recordButtons_[i], {}, firstButton + i * kButtonSize, buttonTop, kButtonSize,
              kButtonSize);
    }
    const int s = splitterLeft_;
    place(increase_, {}, s - kIncreaseOffset, buttonTop, kButtonSize, kButtonSize);
    place(decrease_, {}, s - kDecreaseOffset, buttonTop, kButtonSize, kButtonSize);
    place(closeBox_, {}, s - kCloseBoxOffset, buttonTop, kButtonSize, kButtonSize);
}

void MainLayout::addItem(QLayoutItem* item) {
    items_.append(item);
}

QLayoutItem* MainLayout::itemAt(int index) const {
    return items_.value(index);
}

QLayoutItem* MainLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int MainLayout::count() const {
    return static_cast<int>(items_.size());
}

QSize MainLayout::sizeHint() const {
    return {px(7000), px(5000 - 360 - 285)};
}

QSize MainLayout::minimumSize() const {
    return {0, 0};
}

}  // namespace pellumar
