// How the user selects in the data grid and how the grid shows: Row mode and Block mode, Drag
// mode, the alternate row colour and the grid lines.
#pragma once

#include <QObject>

namespace pellumar {

class CommandRegistry;
class GridControl;
class RecordViews;
class StatusPanels;

class StyleController : public QObject {
    Q_OBJECT

public:
    StyleController(RecordViews& views, CommandRegistry& commands, StatusPanels& status,
                    QObject* parent = nullptr);

    // Row mode (0) or Block mode (1); any other index does nothing.
    void mnuMouseMode_Click(int index);
    void mnuDragDrop_Click();
    void mnuAlternateColor_Click();
    void mnuGrid_Click();

    // The alternate row colour switch (a preference); applying it sets the menu tick, the
    // toolbar button and the grid's colour.
    bool alternateColor() const { return alternateColor_; }
    void applyAlternateColor(bool on, const QColor& offColor);

private:
    RecordViews& views_;
    GridControl* fa_;
    CommandRegistry& commands_;
    StatusPanels& status_;
    bool alternateColor_ = true;
};

}  // namespace pellumar
