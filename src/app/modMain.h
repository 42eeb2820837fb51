// The start-up module: the program's entry and the state shared by every window.
#pragma once

#include <QString>

class QWidget;

namespace pellumar::modMain {

// The key under which every preference lives.
extern QString SettingsKey;
// Open the Tip of the Day window at start-up.
extern bool ShowTips;

// The first start-up steps: the settings key and the tips preference.
void readStartupPreferences();

// Places the window in the middle of its screen.
void CenterForm(QWidget* window);

// The process entry: shows the main window and runs the program until it ends.
int Main(int argc, char** argv);

}  // namespace pellumar::modMain
