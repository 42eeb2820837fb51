// The status bar's six panels, counted from 1, as the subsystems write them: 2 the separator
// setting, 3 the mouse mode, 4 drag mode, 5 the selection count, 6 the current record's place.
#pragma once

#include <QString>

namespace pellumar {

class StatusPanels {
public:
    virtual ~StatusPanels();

    virtual QString panelText(int panel) const = 0;
    virtual void setPanelText(int panel, const QString& text) = 0;
};

}  // namespace pellumar
