// The two views of the record table that most commands act on, the data grid `fa` and the Form
// Panel `fb`, with what the commands read of them: which area had the keyboard focus last
// (`ActiveArea`) and whether the data grid is in Block mode.
#pragma once

#include <QObject>

#include <cstdint>

namespace pellumar {

class GridControl;

// The area that last received the keyboard focus; the clipboard, stamp, style and colour
// commands and the Edit menu act on it rather than on the focus of the moment.
enum class ActiveArea : uint8_t { None = 0, DataGrid = 1, FormPanel = 2, DropBox = 4 };

class RecordViews : public QObject {
    Q_OBJECT

public:
    RecordViews(GridControl& fa, GridControl& fb, QObject* parent = nullptr);

    // The data grid (the document's table) and the Form Panel.
    GridControl* fa() const { return fa_; }
    GridControl* fb() const { return fb_; }

    ActiveArea activeArea() const { return activeArea_; }
    // An area received the focus (also when it is the same area again).
    void setActiveArea(ActiveArea area);

    // Block mode is in force while the toolbar button "BlockMode" is pressed; the mode commands
    // keep this in step with it.
    bool isBlockMode() const { return blockMode_; }
    void setBlockMode(bool on);

signals:
    void areaFocused(ActiveArea area);
    void mouseModeChanged(bool blockMode);

private:
    GridControl* fa_;
    GridControl* fb_;
    ActiveArea activeArea_ = ActiveArea::None;
    bool blockMode_ = false;
};

}  // namespace pellumar
