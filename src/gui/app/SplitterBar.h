// The splitter bar `VBar` between the Form Panel and the data grid, with its two drag bars: the
// feedback bar `VBar1`, which follows the pointer while the bar is dragged, and the limit bar
// `VBar2`, which stands at the right limit while the pointer is beyond it.
//
// A drag moves nothing but the drag bars; when the button comes up, the bar reports where the
// splitter now stands and the window lays itself out around it. The Form Panel side never gets
// narrower than the left limit by a drag, and the splitter never goes further right than the
// window's outer width less the right margin; the feedback bar still follows the pointer past
// the left limit, and only the release stops it there.
#pragma once

#include <QFrame>

namespace pellumar {

class SplitterBar : public QFrame {
    Q_OBJECT

public:
    // The bar and its drag bars are children of `parent`, the window's work area.
    explicit SplitterBar(QWidget* parent);

    // The bars' width: 60 twips.
    static constexpr int kWidth = 60;

    QWidget* VBar1() const { return feedbackBar_; }
    QWidget* VBar2() const { return limitBar_; }

    // The limits, in twips: the smallest Form Panel width a drag leaves, and the distance from
    // the window's outer width at which the splitter stops on the right.
    void setLimits(int leftLimit, int rightMargin);
    int leftLimit() const { return leftLimit_; }
    int rightMargin() const { return rightMargin_; }

    // Where a drag stops on the right now, in twips: the window's outer width less the margin.
    int rightLimit() const;

    // While the left button is held on the bar.
    bool isDragging() const { return dragging_; }
    // Whether the drag is held beyond the left or the right limit.
    bool isAtLeftLimit() const { return atLeftLimit_; }
    bool isAtRightLimit() const { return atRightLimit_; }

signals:
    // The button came up after a drag: the splitter's new left edge, in twips.
    void moved(int leftTwips);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Places a drag bar's left edge (twips), keeping its top and height.
    void placeDragBar(QWidget* bar, int leftTwips);
    void endDrag();

    QFrame* feedbackBar_;
    QFrame* limitBar_;
    int leftLimit_ = 3000;
    int rightMargin_ = 600;
    bool dragging_ = false;
    bool dragMoved_ = false;
    bool atLeftLimit_ = false;
    bool atRightLimit_ = false;
    int feedbackLeft_ = 0;  // twips
    int limitLeft_ = 0;     // twips
};

}  // namespace pellumar
