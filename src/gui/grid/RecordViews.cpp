#include "gui/grid/RecordViews.h"

namespace pellumar {

RecordViews::RecordViews(GridControl& fa, GridControl& fb, QObject* parent)
    : QObject(parent), fa_(&fa), fb_(&fb) {}

void RecordViews::setActiveArea(ActiveArea area) {
    activeArea_ = area;
    emit areaFocused(area);
}

void RecordViews::setBlockMode(bool on) {
    if (blockMode_ != on) {
        blockMode_ = on;
        emit mouseModeChanged(on);
    }
}

}  // namespace pellumar
