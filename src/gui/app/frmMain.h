// The main window: it builds the window (the toolbars, the Drop Box row, the Form Panel frame,
// the splitter, the data grid and the status bar), lays it out, reads and writes the
// preferences, and wires the document to the controllers of the subsystems, which carry out the
// commands: files (document/), the Form Reader and Drop Box (formreader/), columns (columns/),
// the record grid, the Form Panel and the grid's modes (grid/), printing (print/).
#pragma once

#include <QList>
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>

#include "gui/services/CommandIds.h"
#include "gui/services/StatusPanels.h"

class QAction;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolButton;

namespace pellumar {

class CalcController;
class ColumnController;
class CommandBar;
class Document;
class DropBox;
class EditController;
class FileController;
class FindController;
class FormPanelController;
class FormReaderController;
class RecoveryController;
class UndoController;
class GridControl;
class PrintController;
class NavigationController;
class HelpController;
class MainLayout;
class Prompter;
class RecordGridController;
class RecordViews;
class RowColControl;
class SplitterBar;
class StyleController;
class ViewController;

class frmMain : public QMainWindow, public StatusPanels {
    Q_OBJECT

public:
    explicit frmMain(Prompter& prompter, QWidget* parent = nullptr);
    ~frmMain() override;

    // --- The document and the controllers -------------------------------------------------------
    Document& document() const { return *document_; }
    CommandBar& commands() const { return *commands_; }
    RecordViews& views() const { return *views_; }
    FormPanelController& formPanel() const { return *formPanel_; }
    RecordGridController& recordGrid() const { return *recordGrid_; }
    StyleController& styles() const { return *styles_; }
    NavigationController& navigation() const { return *navigation_; }
    FileController& fileCommands() const { return *files_; }
    FormReaderController& formReader() const { return *formReader_; }
    ColumnController& columns() const { return *columns_; }
    RecoveryController& recovery() const { return *recovery_; }
    UndoController& history() const { return *undo_; }
    EditController& editCommands() const { return *edit_; }
    FindController& findCommands() const { return *find_; }
    CalcController& calcCommands() const { return *calc_; }
    PrintController& printing() const { return *print_; }
    MainLayout& mainLayout() const { return *layout_; }
    ViewController& viewSwitches() const { return *viewSwitches_; }
    HelpController& help() const { return *help_; }
    Prompter& prompter() const { return prompter_; }

    // --- Controls -------------------------------------------------------------------------------
    GridControl* fa() const { return fa_; }  // the data grid: the document's table
    GridControl* fb() const { return fb_; }  // the Form Panel
    QTabWidget* TabStrip1() const { return TabStrip1_; }
    SplitterBar* VBar() const { return VBar_; }
    DropBox* txtDrop() const { return txtDrop_; }
    QLabel* lbDropBox() const { return lbDropBox_; }
    QToolButton* cmdDownArrow() const { return cmdDownArrow_; }
    QToolButton* cmdEraser() const { return cmdEraser_; }
    RowColControl* rowColControl() const { return rowCol_; }
    QLineEdit* txtRow() const;
    QLineEdit* txtCol() const;
    QToolButton* imgClose() const { return imgClose_; }
    QToolButton* imgBtn(int index) const { return imgBtn_.value(index); }

    // Menu items and toolbar buttons.
    QAction* action(CommandId id) const;
    QToolButton* toolButton(const QString& key) const;

    // The status bar's six panels, counted from 1.
    QString panelText(int panel) const override;
    void setPanelText(int panel, const QString& text) override;

    // --- Preferences held by the window ---------------------------------------------------------
    // The Drop Box shown (nonzero) or hidden.
    int16_t EmailParser() const;

    // --- Start-up and exit ----------------------------------------------------------------------
    void mnuExit_Click();
    // Writes the preferences and ends the program.
    void SaveSettings();
    // The Tip of the Day window, modeless.
    void showTips();
    // Runs when the program ends (after the preferences are written); by default the program
    // quits. Tests put something of their own here.
    void setEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }

signals:
    // The window was activated or got the focus: the colour palette hides here.
    void gotFocus();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void buildWidgets();
    void buildStatusBar();
    void buildControllers();
    void Form_Load();
    // The exit prompt; true when the program may end.
    bool confirmExit(const QString& text);
    void applyGeometryPreferences();

    Prompter& prompter_;
    std::unique_ptr<Document> document_;
    CommandBar* commands_ = nullptr;
    RecordViews* views_ = nullptr;
    FormPanelController* formPanel_ = nullptr;
    RecordGridController* recordGrid_ = nullptr;
    StyleController* styles_ = nullptr;
    NavigationController* navigation_ = nullptr;
    FileController* files_ = nullptr;
    FormReaderController* formReader_ = nullptr;
    ColumnController* columns_ = nullptr;
    RecoveryController* recovery_ = nullptr;
    UndoController* undo_ = nullptr;
    EditController* edit_ = nullptr;
    FindController* find_ = nullptr;
    CalcController* calc_ = nullptr;
    PrintController* print_ = nullptr;
    ViewController* viewSwitches_ = nullptr;
    HelpController* help_ = nullptr;

    GridControl* fa_ = nullptr;
    GridControl* fb_ = nullptr;
    QTabWidget* TabStrip1_ = nullptr;
    MainLayout* layout_ = nullptr;
    SplitterBar* VBar_ = nullptr;
    DropBox* txtDrop_ = nullptr;
    QLabel* lbDropBox_ = nullptr;
    QToolButton* cmdDownArrow_ = nullptr;
    QToolButton* cmdEraser_ = nullptr;
    RowColControl* rowCol_ = nullptr;
    QToolButton* imgClose_ = nullptr;
    QList<QToolButton*> imgBtn_;  // the record buttons 0 to 7
    QList<QLabel*> panels_;

    std::function<void()> endProgram_;
    bool exiting_ = false;
    bool firstShow_ = true;
    QRect appliedPixels_;  // the stored geometry as applied at start-up
    QRect appliedTwips_;
};

}  // namespace pellumar
