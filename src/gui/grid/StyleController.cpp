#include "gui/grid/StyleController.h"

#include "core/document/Document.h"
#include "gui/grid/ColorPalette.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/services/CommandRegistry.h"
#include "gui/services/Prompter.h"
#include "gui/services/StatusPanels.h"

namespace pellumar {

using CellProperty = GridModel::CellProperty;

StyleController::StyleController(Document& document, Prompter& prompter, RecordViews& views,
                                 FormPanelController& formPanel, CommandRegistry& commands,
                                 StatusPanels& status, QWidget& paletteHost, QObject* parent)
    : QObject(parent),
      document_(document),
      prompter_(prompter),
      views_(views),
      fa_(views.fa()),
      fb_(views.fb()),
      formPanel_(formPanel),
      commands_(commands),
      status_(status),
      paletteHost_(paletteHost),
      palette_(new ColorPalette(&paletteHost)) {
    palette_->hide();
    palette_->setPressedSwatch(fontColorIndex_);
    connect(palette_, &ColorPalette::swatchChosen, this, &StyleController::SSPanelColor_Click);
    // The data grid, the Form Panel and the Drop Box put the palette away when they get the
    // focus.
    connect(&views_, &RecordViews::areaFocused, this, &StyleController::hidePalette);

    commands_.registerCommand(CommandId::mnuMouseMode0, [this] { mnuMouseMode_Click(0); });
    commands_.registerCommand(CommandId::mnuMouseMode1, [this] { mnuMouseMode_Click(1); });
    commands_.registerCommand(CommandId::mnuDragDrop, [this] { mnuDragDrop_Click(); });
    commands_.registerCommand(CommandId::mnuAlternateColor, [this] { mnuAlternateColor_Click(); });
    commands_.registerCommand(CommandId::mnuGrid, [this] { mnuGrid_Click(); });
    commands_.registerCommand(CommandId::Bold, [this] { Bold_Click(); });
    commands_.registerCommand(CommandId::Italic, [this] { Italic_Click(); });
    commands_.registerCommand(CommandId::Underline, [this] { Underline_Click(); });
    commands_.registerCommand(CommandId::A, [this] { A_Click(); });
    commands_.registerCommand(CommandId::Acolor, [this] { Acolor_Click(); });
    commands_.registerCommand(CommandId::mnuBkColor, [this] { mnuBkColor_Click(); });
    commands_.registerCommand(CommandId::mnuAlignLeft, [this] { mnuAlignLeft_Click(); });
    commands_.registerCommand(CommandId::mnuAlignCenter, [this] { mnuAlignCenter_Click(); });
    commands_.registerCommand(CommandId::mnuAlignRight, [this] { mnuAlignRight_Click(); });
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

// ---- Where styles go ----------------------------------------------------------------------------

StyleController::Target StyleController::dataGridTarget() const {
    Target t;
    if (fa_->rows() <= fa_->fixedRows() || fa_->cols() == 0) {
        return t;
    }
    t.grid = fa_;
    t.dataGrid = true;
    t.top = std::min(fa_->row(), fa_->selectionEndRow());
    t.bottom = std::max(fa_->row(), fa_->selectionEndRow());
    if (views_.isBlockMode()) {
        t.left = std::min(fa_->col(), fa_->selectionEndCol());
        t.right = std::max(fa_->col(), fa_->selectionEndCol());
    } else {
        t.left = 0;
        t.right = fa_->cols() - 1;
        if (fa_->hasRowList()) {
            t.listed = fa_->selectedRowList();
            if (!t.listed.empty()) {
                t.top = t.listed.front();
                t.bottom = t.listed.back();
            }
        }
    }
    return t;
}

StyleController::Target StyleController::formPanelTarget() const {
    Target t;
    if (fb_->rows() <= fb_->fixedRows() || fb_->cols() < 2) {
        return t;
    }
    t.grid = fb_;
    t.top = std::min(fb_->row(), fb_->selectionEndRow());
    t.bottom = std::max(fb_->row(), fb_->selectionEndRow());
    t.left = t.right = 1;  // the value cells
    return t;
}

StyleController::Target StyleController::target() const {
    return views_.activeArea() == ActiveArea::DataGrid ? dataGridTarget() : formPanelTarget();
}

void StyleController::apply(const Target& target, CellProperty property, const QVariant& value) {
    if (target.isEmpty()) {
        return;
    }
    // The step's name in the Edit menu; only the data grid's cells are the document's.
    const QString name = property == CellProperty::FontBold        ? QStringLiteral("Bold")
                         : property == CellProperty::FontItalic    ? QStringLiteral("Italic")
                         : property == CellProperty::FontUnderline ? QStringLiteral("Underline")
                         : property == CellProperty::ForeColor     ? QStringLiteral("Text Color")
                                                               : QStringLiteral("Background Color");
    const auto step = document_.step(name);
    setCells(target, property, value);
    if (target.dataGrid) {
        document_.markChanged();
    }
}

void StyleController::setCells(const Target& target, CellProperty property, const QVariant& value) {
    if (target.listed.empty()) {
        target.grid->setCell(property, target.top, target.left, target.bottom, target.right, value);
    } else {
        target.grid->grid()->setCellOfRows(property, target.listed, target.left, target.right,
                                           value);
    }
}

// ---- Bold, Italic, Underline --------------------------------------------------------------------

void StyleController::toggleStyle(CommandId key) {
    const auto flagOf = [key](StyleFlags& flags) -> bool& {
        return key == CommandId::Bold     ? flags.bold
               : key == CommandId::Italic ? flags.italic
                                          : flags.underline;
    };
    const CellProperty property = key == CommandId::Bold     ? CellProperty::FontBold
                                  : key == CommandId::Italic ? CellProperty::FontItalic
                                                             : CellProperty::FontUnderline;
    const Target t = target();
    const bool dataGrid = views_.activeArea() == ActiveArea::DataGrid;
    // The flag, not the button's look, decides: the first click after a refresh always inverts
    // what the current cell shows.
    StyleFlags flags = dataGrid ? formPanel_.faStyle() : formPanel_.fbStyle();
    const bool on = !flagOf(flags);
    if (t.isEmpty()) {
        commands_.setCommandChecked(key, flagOf(flags));
        return;
    }
    apply(t, property, on);
    commands_.setCommandChecked(key, on);
    flagOf(flags) = on;
    if (dataGrid) {
        formPanel_.setFaStyle(flags);
    } else {
        formPanel_.setFbStyle(flags);
    }
}

// ---- Colours ------------------------------------------------------------------------------------

QColor StyleController::fontColor() const {
    return ColorPalette::swatchColor(fontColorIndex_);
}

void StyleController::showPalette() {
    QPoint at(0, 0);
    if (anchor_ && paletteHost_.isAncestorOf(anchor_)) {
        at = anchor_->mapTo(&paletteHost_, QPoint(0, anchor_->height()));
    }
    palette_->adjustSize();
    palette_->move(at);
    palette_->raise();
    palette_->show();
}

void StyleController::hidePalette() {
    palette_->hide();
}

void StyleController::Acolor_Click() {
    showPalette();
}

void StyleController::SSPanelColor_Click(int k) {
    const QColor color = ColorPalette::swatchColor(k);
    if (!color.isValid()) {
        return;
    }
    hidePalette();
    palette_->setPressedSwatch(k);
    if (views_.activeArea() == ActiveArea::DataGrid) {
        apply(dataGridTarget(), CellProperty::ForeColor, color.rgba());
    } else if (fb_->row() > 0) {
        apply(formPanelTarget(), CellProperty::ForeColor, color.rgba());
    }
    fontColorIndex_ = k;
    emit fontColorChanged(color);
}

void StyleController::A_Click() {
    apply(target(), CellProperty::ForeColor, fontColor().rgba());
}

void StyleController::mnuBkColor_Click() {
    const Target t = target();
    QColor initial = Qt::white;
    if (!t.isEmpty()) {
        const uint32_t current = t.grid->cell(CellProperty::BackColor, t.top, t.left).toUInt();
        if (current >> 24) {
            initial = QColor::fromRgba(current);
        }
    }
    const QColor chosen = prompter_.color(fa_->window(), initial);
    if (!chosen.isValid()) {
        return;  // cancelled: nothing changes
    }
    apply(t, CellProperty::BackColor, QColor(chosen.rgb()).rgba());
}

// ---- Alignment ----------------------------------------------------------------------------------

void StyleController::align(int code) {
    const Target t = dataGridTarget();
    if (!t.isEmpty()) {
        const auto step = document_.step(QStringLiteral("Alignment"));
        setCells(t, CellProperty::Alignment, code);
    }
}

}  // namespace pellumar
