// How the user selects in the data grid and how a selection is styled: Row mode and Block mode,
// Drag mode, the toolbar's Bold, Italic and Underline toggles, the text colour (the palette
// `PanColor` and the "A" button), the background colour, the cell alignment, the alternate row
// colour and the grid lines.
//
// Styles go to the area that had the focus last: on the data grid they cover the selected block
// (Block mode) or the selected rows across all columns (Row mode) and mark the document
// modified; on the Form Panel (the Form Panel or the Drop Box focused last) they cover the value
// cells of the panel's selected rows and leave the document as it is. Alignment always acts on
// the data grid and leaves the document's state alone.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>

#include <vector>

#include "core/grid/GridModel.h"
#include "gui/services/CommandIds.h"

class QWidget;

namespace pellumar {

class ColorPalette;
class CommandRegistry;
class Document;
class FormPanelController;
class GridControl;
class Prompter;
class RecordViews;
class StatusPanels;

class StyleController : public QObject {
    Q_OBJECT

public:
    // `paletteHost` is the window the colour palette pops up in.
    StyleController(Document& document, Prompter& prompter, RecordViews& views,
                    FormPanelController& formPanel, CommandRegistry& commands, StatusPanels& status,
                    QWidget& paletteHost, QObject* parent = nullptr);

    // Row mode (0) or Block mode (1); any other index does nothing.
    void mnuMouseMode_Click(int index);
    void mnuDragDrop_Click();
    void mnuAlternateColor_Click();
    void mnuGrid_Click();

    // The alternate row colour switch (a preference); applying it sets the menu tick, the
    // toolbar button and the grid's colour.
    bool alternateColor() const { return alternateColor_; }
    void applyAlternateColor(bool on, const QColor& offColor);

    // The toolbar's "Bold", "Italic" and "Underline": the style of the area focused last goes
    // to the opposite of what its flag (`IsFaBold`, `IsFbBold`, ...) says.
    void Bold_Click() { toggleStyle(CommandId::Bold); }
    void Italic_Click() { toggleStyle(CommandId::Italic); }
    void Underline_Click() { toggleStyle(CommandId::Underline); }
    // "A": the current font colour to the selection.
    void A_Click();
    // "Acolor": shows the palette.
    void Acolor_Click();
    // Swatch k of the palette chosen.
    void SSPanelColor_Click(int k);
    // Edit > "&Backgorund Color..." and "Flood": the colour dialog's colour to the selection.
    void mnuBkColor_Click();
    void mnuAlignLeft_Click() { align(AlignLeftCenter); }
    void mnuAlignCenter_Click() { align(AlignCenterCenter); }
    void mnuAlignRight_Click() { align(AlignRightCenter); }

    // The colour palette `PanColor`; it pops up under `anchor` (the "Acolor" button).
    ColorPalette* PanColor() const { return palette_; }
    void setPaletteAnchor(QWidget* anchor) { anchor_ = anchor; }
    void showPalette();
    void hidePalette();

    // The current font colour index (0 to 7), the swatch chosen last, and its colour.
    int fontColorIndex() const { return fontColorIndex_; }
    QColor fontColor() const;

signals:
    // The current font colour changed (the "A" button shows it).
    void fontColorChanged(const QColor& color);

private:
    // The cells a style command acts on: the Form Panel's selected value cells, or the data
    // grid's selected block or rows. Empty when the grid has no rows below its title row.
    struct Target {
        GridControl* grid = nullptr;
        int top = 0;
        int left = 0;
        int bottom = -1;
        int right = -1;
        bool dataGrid = false;
        // In Row mode, the records picked one by one (Ctrl+click) when the selection is such a
        // list; top and bottom then span them.
        std::vector<int> listed;
        bool isEmpty() const { return !grid || bottom < top || right < left; }
    };
    Target target() const;
    Target dataGridTarget() const;
    Target formPanelTarget() const;
    // Sets a property on the target's cells; on the data grid the document is then modified.
    void apply(const Target& target, GridModel::CellProperty property, const QVariant& value);
    // Sets the property on the target's cells, without opening a step or marking the document.
    static void setCells(const Target& target, GridModel::CellProperty property,
                         const QVariant& value);
    void toggleStyle(CommandId key);
    void align(int code);

    Document& document_;
    Prompter& prompter_;
    RecordViews& views_;
    GridControl* fa_;
    GridControl* fb_;
    FormPanelController& formPanel_;
    CommandRegistry& commands_;
    StatusPanels& status_;
    QWidget& paletteHost_;
    ColorPalette* palette_;
    QPointer<QWidget> anchor_;
    bool alternateColor_ = true;
    int fontColorIndex_ = 0;
};

}  // namespace pellumar
