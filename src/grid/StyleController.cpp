#include "grid/StyleController.h"

#include "grid/GridControl.h"
#include "grid/RecordViews.h"
#include "ui/CommandRegistry.h"
#include "ui/StatusPanels.h"

namespace pellumar {

StyleController::StyleController(RecordViews& views, CommandRegistry& commands,
                                 StatusPanels& status, QObject* parent)
    : QObject(parent), views_(views), fa_(views.fa()), commands_(commands), status_(status) {
    commands_.registerCommand(CommandId::mnuMouseMode0, [this] { mnuMouseMode_Click(0); });
    commands_.registerCommand(CommandId::mnuMouseMode1, [this] { mnuMouseMode_Click(1); });
    commands_.registerCommand(CommandId::mnuDragDrop, [this] { mnuDragDrop_Click(); });
    commands_.registerCommand(CommandId::mnuAlternateColor, [this] { mnuAlternateColor_Click(); });
    commands_.registerCommand(CommandId::mnuGrid, [this] { mnuGrid_Click(); });
}

void StyleController::mnuMouseMode_Click(int index) {
    if (index == 0) {
        commands_.setCommandChecked(CommandId::mnuMouseMode0, true);
        commands_.setCommandChecked(CommandId::mnuMouseMode1, false);
        views_.setBlockMode(false);
        status_.setPanelText(3, QStringLiteral("ROW"));
        fa_->setSelectionKind(GridControl::SelectionByRow);
        fa_->select(fa_->row(), 0, fa_->row(), fa_->cols() - 1);
    } else if (index == 1) {
        commands_.setCommandChecked(CommandId::mnuMouseMode0, false);
        commands_.setCommandChecked(CommandId::mnuMouseMode1, true);
        views_.setBlockMode(true);
        status_.setPanelText(3, QStringLiteral("EDIT"));
        fa_->setSelectionKind(GridControl::SelectionFree);
    }
}

void StyleController::mnuDragDrop_Click() {
    const bool on = !commands_.commandChecked(CommandId::mnuDragDrop);
    commands_.setCommandChecked(CommandId::mnuDragDrop, on);
    fa_->setDragMode(on);
    status_.setPanelText(4, on ? QStringLiteral("DRAG") : QString());
}

void StyleController::applyAlternateColor(bool on, const QColor& offColor) {
    commands_.setCommandChecked(CommandId::mnuAlternateColor, on);
    fa_->setAlternateRowColor(on ? QColor(192, 255, 192) : offColor);
    alternateColor_ = on;
}

void StyleController::mnuAlternateColor_Click() {
    applyAlternateColor(!commands_.commandChecked(CommandId::mnuAlternateColor),
                        QColor(255, 255, 255));
}

void StyleController::mnuGrid_Click() {
    const bool on = !commands_.commandChecked(CommandId::mnuGrid);
    commands_.setCommandChecked(CommandId::mnuGrid, on);
    fa_->setGridLines(on);
}

}  // namespace pellumar
