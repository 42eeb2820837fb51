// The main window: it owns the document (the data grid `fa`) and every view of it, the Form
// Panel `fb`, the hidden scratch grid `fc`, the Drop Box, the toolbars and the status bar.
//
// Its operations are spread over the files of their subsystems: start-up and exit in
// app/frmMain.cpp, menus and toolbars in app/frmMain_commands.cpp, the data grid's reactions in
// grid/RecordGrid.cpp, the Form Panel in grid/FormPanel.cpp, document state in document/.
#pragma once

#include <QHash>
#include <QMainWindow>

#include <cstdint>
#include <functional>

#include "document/TextFile.h"
#include "formreader/DropBox.h"
#include "grid/GridControl.h"

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace pellumar {

class Prompter;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(Prompter& prompter, QWidget* parent = nullptr);
    ~frmMain() override;

    Prompter& prompter() const { return prompter_; }

    // --- Controls -----------------------------------------------------------------------------
    GridControl* fa = nullptr;  // the data grid: the document's table
    GridControl* fb = nullptr;  // the Form Panel
    GridControl* fc = nullptr;  // scratch grid for loads and appends, never shown
    QTabWidget* TabStrip1 = nullptr;
    QSplitter* VBar = nullptr;   // the splitter between the Form Panel and the data grid
    DropBox* txtDrop = nullptr;  // the Drop Box
    QLabel* lbDropBox = nullptr;
    QToolButton* cmdDownArrow = nullptr;
    QToolButton* cmdEraser = nullptr;
    QToolBar* Toolbar = nullptr;
    QToolBar* Toolbar2 = nullptr;
    QLineEdit* txtRow = nullptr;
    QLineEdit* txtCol = nullptr;
    QWidget* rowColControl = nullptr;  // txtRow, txtCol, their spinners and captions
    QToolButton* imgClose = nullptr;
    QList<QToolButton*> imgBtn;  // the record buttons 0 to 7

    // --- Document and window state --------------------------------------------------------------
    bool IsModified = false;
    bool AlternateColor = true;
    int16_t EmailParser = 1;
    QString LastOpenPath;
    QString CurrentFile;
    int16_t i_FileType = 2;
    bool IsNewDocument = true;
    bool IsFbCol0Populated = false;
    bool IsTitleChanged = false;
    uint8_t ActiveArea = 0;
    bool IsFaBold = false;
    bool IsFaItalic = false;
    bool IsFaUnderline = false;
    bool IsFbBold = false;
    bool IsFbItalic = false;
    bool IsFbUnderline = false;
    int16_t LastSortCol = 0;
    int splitterLeftLimit = 3000;   // twips
    int splitterRightMargin = 600;  // twips
    // The Column Define dialog's combo list texts, one per column.
    QStringList ComboLists;
    // The encoding a delimited document was read in, to write it back the same way.
    TextEncoding fileEncoding = TextEncoding::Utf8;
    // The name the last open dialog returned (the full path of the file last opened).
    QString lastDialogFile;
    // The path of the file last appended.
    QString appendFile;
    // Makes the progress report of a file load: the default shows a progress dialog once a load
    // takes longer than half a second, keeps the window painting and lets the user cancel.
    std::function<std::function<bool(qint64, qint64)>(const QString& path)> makeLoadProgress;

    // --- Public operations --------------------------------------------------------------------
    // The refresh: style buttons, the position panel and, while it is open, the Form Panel.
    void fa_Click();
    // The only way IsModified changes; Save follows it.
    void MakeModified(bool bWhat);
    void SetDefaults();
    void SetupFormPanel();
    void FillFormPanelTitles();
    void UpdateEditMenu();
    void RefreshDocumentView();
    void AfterFileLoad();

    // Commands.
    void mnuNew_Click();
    // True when the table was written.
    bool mnuSave_Click();
    bool mnuSaveAsPLM_Click();
    void mnuSaveAsComma_Click();
    void mnuSaveAsTab_Click();
    void mnuOpen_Click(int index);
    void mnuOpenCSV_Click(int index);
    void mnuOpenTAB_Click(int index);
    void mnuAppend_Click();
    // The save-changes prompt of New and Open: true when the operation may go on (No, or Yes
    // and the save happened).
    bool confirmReplace(const QString& caption);
    void mnuExit_Click();
    void mnuMouseMode_Click(int index);
    void mnuDragDrop_Click();
    void mnuAlternateColor_Click();
    void mnuGrid_Click();

    // The Form Reader (formreader/): the Drop Box's text, the reader and the Drop Box's events.
    QString FormText;
    void ReadFormText();
    void AppendFormRecord();
    void AppendDelimitedRows();
    void txtDrop_OLEDragDrop(const QMimeData& data);
    void txtDrop_Change();
    void txtDrop_GotFocus();
    void cmdDownArrow_Click();
    void cmdEraser_Click();
    // The Separator Character Setting dialog, modal; it closes itself.
    void mnuConvChr_Click();

    // Writes the preferences and ends the program.
    void SaveSettings();
    // The Tip of the Day window, modeless.
    void showTips();

    // The status bar's six panels, counted from 1.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    // Menu items and toolbar buttons by name ("mnuSave") and by key ("Bold").
    QAction* action(const QString& name) const { return actions_.value(name); }
    QAction* toolButton(const QString& key) const { return toolActions_.value(key); }
    QMenu* menu(const QString& name) const { return menus_.value(name); }
    // The separator that follows a menu item, if any.
    QAction* separatorAfter(const QString& name) const { return separators_.value(name); }
    // Commands are enabled by the window's state, and only once they are carried out.
    void setCommandEnabled(const QString& name, bool enabled);
    bool commandEnabled(const QString& name) const;
    bool commandBuilt(const QString& name) const;
    // Connects a menu item or toolbar button to the operation that carries it out.
    void registerCommand(const QString& name, std::function<void()> handler);
    // Block mode is in force while the toolbar button "BlockMode" is pressed.
    bool isBlockMode() const;

    // Where documents go by default: the program's folder, or the user's documents folder when
    // the program's folder cannot be written.
    static QString applicationFolder();
    // Tests point the application folder somewhere of their own ("" restores the real one).
    static void setApplicationFolderForTesting(const QString& folder);
    // `CurrentFile` of a new document.
    static QString untitledPath();

    // Runs when the program ends (after the preferences are written). The program quits.
    std::function<void()> endProgram;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void buildCommands();
    // Each subsystem connects its own commands.
    void registerDocumentCommands();
    void registerFormReaderCommands();
    void registerColumnCommands();
    void openDelimited(int index, char16_t separator);
    // The common end of every Open: the loaded table becomes the document.
    void showLoadedTable(Table&& table, const QString& path, int16_t fileType);
    bool saveAsDelimited(char16_t separator);
    // Save As: the save dialog, then `write` (which gives a failure's message, or "").
    bool saveAs(const QString& filter, const QString& extension,
                const std::function<QString(const QString& path)>& write);
    void buildStatusBar();
    void connectGrids();
    void Form_Load();
    void Form_Activate();
    // The exit prompt; true when the program may end.
    bool confirmExit(const QString& text);
    void popupEditMenu(const QPoint& globalPos);
    void applyGeometryPreferences();
    void connectFormPanel();

    Prompter& prompter_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QAction*> toolActions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, QAction*> separators_;
    QList<QLabel*> panels_;
    bool exiting_ = false;
    bool firstShow_ = true;
    int vbarLeftTwips_ = 3570;
    QRect appliedPixels_;  // the stored geometry as applied at start-up
    QRect appliedTwips_;
};

}  // namespace pellumar
