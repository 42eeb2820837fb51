// The start-up module: the program's entry and the state shared by every window.
#pragma once

#include <QString>

class QWidget;

namespace pellumar {
class frmMain;
}

namespace pellumar::modMain {

// The key under which every preference lives.
extern QString SettingsKey;
// Open the Tip of the Day window at start-up.
extern bool ShowTips;

// The first start-up steps: the settings key and the tips preference.
void readStartupPreferences();

// Places the window in the middle of its screen.
void CenterForm(QWidget* window);

// The program's names and version, as every copy of it reports them.
void setApplicationNames();

// What the command line asks for: `pellumar [FILE]`, or --help or --version, which print their
// text and end the program.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString file;  // the file to open, as given; empty for none
    QString text;  // what to print for Help, Version and Error
};
CommandLine parseCommandLine(const QStringList& arguments);

// Opens the command line's file as File > Open would by its extension (.plm native, .csv comma
// text, .txt and .tsv tab text, first line as titles), with the same messages; a file of
// another kind is refused with a message. True when the file became the document.
bool openCommandLineFile(frmMain& window, const QString& file);

// Start-up once the main window is shown: the offer of unsaved work left by copies of the
// program that no longer run, the command line's file, then the Tip of the Day.
void startUp(frmMain& window, const QString& file);

// The process entry: shows the main window and runs the program until it ends.
int Main(int argc, char** argv);

}  // namespace pellumar::modMain
