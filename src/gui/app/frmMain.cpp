// The main window's start-up, layout, preferences and exit.
#include "gui/app/frmMain.h"

#include "core/app/PreferenceText.h"
#include "core/app/ProductInfo.h"
#include "core/document/Document.h"
#include "core/document/DocumentPaths.h"
#include "core/document/RecoveryStore.h"
#include "gui/app/AccessibleNames.h"
#include "gui/app/CommandBar.h"
#include "gui/app/HelpController.h"
#include "gui/app/MainLayout.h"
#include "gui/app/SplitterBar.h"
#include "gui/app/ToolbarIcons.h"
#include "gui/app/ViewController.h"
#include "gui/app/modMain.h"
#include "gui/app/modRegistryFunctions.h"
#include "gui/columns/ColumnController.h"
#include "gui/document/FileController.h"
#include "gui/document/RecoveryController.h"
#include "gui/document/UndoController.h"
#include "gui/edit/CalcController.h"
#include "gui/edit/EditController.h"
#include "gui/edit/FindController.h"
#include "gui/formreader/DropBox.h"
#include "gui/formreader/FormReaderController.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/NavigationController.h"
#include "gui/grid/RecordGridController.h"
#include "gui/grid/RecordViews.h"
#include "gui/grid/RowColControl.h"
#include "gui/grid/StyleController.h"
#include "gui/grid/Twips.h"
#include "gui/print/PrintController.h"
#include "gui/services/Prompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace pellumar {

using modRegistryFunctions::RegGetString;
using modRegistryFunctions::RegSetString;
using modRegistryFunctions::RootKey;

namespace {

QString readPreference(const char* name) {
    return RegGetString(RootKey::HKEY_LOCAL_MACHINE, modMain::SettingsKey,
                        QString::fromLatin1(name));
}

void writePreference(const char* name, const QString& text) {
    RegSetString(RootKey::HKEY_LOCAL_MACHINE, modMain::SettingsKey, QString::fromLatin1(name),
                 text);
}

// A length preference: the default when empty, else IntOrZero.
int lengthPreference(const char* name, int defaultTwips) {
    const QString stored = readPreference(name);
    return stored.isEmpty() ? defaultTwips : IntOrZero(stored);
}

}  // namespace

frmMain::frmMain(Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), document_(std::make_unique<Document>()) {
    setWindowTitle(QStringLiteral("Pellumar"));
    connect(document_.get(), &Document::titleChanged, this, &QWidget::setWindowTitle);
    endProgram_ = [this] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != this && w->isVisible()) {
                w->close();
            }
        }
        close();
        QCoreApplication::quit();
    };
    buildWidgets();
    buildStatusBar();
    buildControllers();
    Form_Load();
}

frmMain::~frmMain() {
    // The views go before the document they show, and so does the recovery, which may still
    // be writing a snapshot.
    delete takeCentralWidget();
    delete recovery_;
    delete undo_;
}

void frmMain::buildWidgets() {
    // The work area under the toolbar, laid out in twips by the program's own rules.
    auto* central = new QWidget(this);
    layout_ = new MainLayout(central);

    auto* line1 = new QFrame(central);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    layout_->setRuleLine(line1);

    // The Drop Box row.
    lbDropBox_ = new QLabel(QStringLiteral("Drop Box:"), central);
    lbDropBox_->setObjectName(QStringLiteral("lbDropBox"));
    txtDrop_ = new DropBox(central);
    txtDrop_->setObjectName(QStringLiteral("txtDrop"));
    txtDrop_->setPlainText(QStringLiteral("Drag or copy valid Form Post text to here"));
    txtDrop_->setToolTip(QStringLiteral("Drag valid form text to here "));
    txtDrop_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDrop_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtDrop_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtDrop_->setFixedHeight(
        std::max(twipsToPixels(285, this), txtDrop_->fontMetrics().height() + 8));
    cmdDownArrow_ = new QToolButton(central);
    cmdDownArrow_->setObjectName(QStringLiteral("cmdDownArrow"));
    cmdDownArrow_->setArrowType(Qt::DownArrow);
    cmdDownArrow_->setToolTip(QStringLiteral("Decode the Form text in the Drop Box"));
    cmdEraser_ = new QToolButton(central);
    cmdEraser_->setObjectName(QStringLiteral("cmdEraser"));
    cmdEraser_->setIcon(eraserIcon());
    cmdEraser_->setToolTip(QStringLiteral("Erase the text in the Drop Box"));
    layout_->setDropBoxRow(lbDropBox_, txtDrop_, cmdDownArrow_, cmdEraser_);

    // The work area: the Form Panel frame, the splitter and the data grid. The Form Panel and
    // its buttons stand on the frame's one tab.
    TabStrip1_ = new QTabWidget(central);
    TabStrip1_->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1_->addTab(new QWidget(TabStrip1_), QStringLiteral("Form"));
    static const char* kRecordTips[] = {"Dlete this record",   "Add one record",     "First record",
                                        "Up one record",       "Down one record",    "Last record",
                                        "Row Height Increase", "Row Height Decrease"};
    static const QStyle::StandardPixmap kRecordIcons[] = {QStyle::SP_TrashIcon,
                                                          QStyle::SP_FileIcon,
                                                          QStyle::SP_MediaSkipBackward,
                                                          QStyle::SP_ArrowUp,
                                                          QStyle::SP_ArrowDown,
                                                          QStyle::SP_MediaSkipForward,
                                                          QStyle::SP_TitleBarUnshadeButton,
                                                          QStyle::SP_TitleBarShadeButton};
    const QSize buttonIcon(twipsToPixels(MainLayout::kButtonSize, this) - 2,
                           twipsToPixels(MainLayout::kButtonSize, this) - 2);
    for (int i = 0; i < 8; ++i) {
        auto* b = new QToolButton(TabStrip1_);
        b->setObjectName(QStringLiteral("imgBtn%1").arg(i));
        b->setToolTip(QString::fromLatin1(kRecordTips[i]));
        b->setIcon(style()->standardIcon(kRecordIcons[i]));
        b->setIconSize(buttonIcon);
        b->setAutoRaise(true);
        imgBtn_.push_back(b);
    }
    imgClose_ = new QToolButton(TabStrip1_);
    imgClose_->setObjectName(QStringLiteral("imgClose"));
    imgClose_->setToolTip(QStringLiteral("Close Form (F2)"));
    imgClose_->setIcon(closeIcon());
    imgClose_->setIconSize(buttonIcon);
    imgClose_->setAutoRaise(true);
    fb_ = new GridControl(TabStrip1_);
    fb_->setObjectName(QStringLiteral("fb"));
    layout_->setFrameContents(fb_, QList<QWidget*>(imgBtn_.begin(), imgBtn_.begin() + 6),
                              imgBtn_[6], imgBtn_[7], imgClose_);

    VBar_ = new SplitterBar(central);
    fa_ = new GridControl(central, &document_->model());
    fa_->setObjectName(QStringLiteral("fa"));
    layout_->setWorkArea(TabStrip1_, VBar_, fa_);
    connect(VBar_, &SplitterBar::moved, layout_, &MainLayout::setSplitterLeft);
    setCentralWidget(central);

    // The Row Col Control lives in the toolbar row, hidden until asked for.
    rowCol_ = new RowColControl(*document_, this);
}

void frmMain::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("SBar"));
    bar->setSizeGripEnabled(true);
    bar->setFixedHeight(twipsToPixels(285, this));
    static constexpr int kWidths[] = {700, 333, 620, 620, 880, 1200};
    for (int i = 0; i < 6; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("SBarPanel%1").arg(i + 1));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(3, 0, 3, 0);
        if (i == 0) {
            panel->setMinimumWidth(twipsToPixels(kWidths[i], this));
            bar->addWidget(panel, 1);
        } else if (i == 5) {
            // The position grows to show its whole text ("202 / 1000000").
            panel->setMinimumWidth(twipsToPixels(kWidths[i], this));
            panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            bar->addPermanentWidget(panel);
        } else {
            panel->setFixedWidth(twipsToPixels(kWidths[i], this));
            panel->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(panel);
        }
        panels_.push_back(panel);
    }
}

QString frmMain::panelText(int panel) const {
    return panel >= 1 && panel <= panels_.size() ? panels_[panel - 1]->text() : QString();
}

void frmMain::setPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= panels_.size()) {
        panels_[panel - 1]->setText(text);
    }
}

QLineEdit* frmMain::txtRow() const {
    return rowCol_->txtRow();
}

QLineEdit* frmMain::txtCol() const {
    return rowCol_->txtCol();
}

QAction* frmMain::action(CommandId id) const {
    return commands_->action(id);
}

QToolButton* frmMain::toolButton(const QString& key) const {
    return commands_->toolButton(key);
}

void frmMain::buildControllers() {
    commands_ = new CommandBar(*this);
    connect(commands_, &CommandBar::outOfMemory, this, [this] {
        prompter_.inform(this, Prompter::Icon::Critical, QStringLiteral("Pellumar"),
                         QStringLiteral("There was not enough memory to finish the command, so "
                                        "it stopped part of the way. Check the table before you "
                                        "save it."));
    });
    commands_->toolbar()->setFixedHeight(twipsToPixels(360, this));
    // The Row Col Control and the row-move buttons sit at the right of the toolbar row.
    QToolBar* toolbar = commands_->toolbar();
    auto* spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    QAction* rowColAction = toolbar->addWidget(rowCol_);
    rowColAction->setObjectName(QStringLiteral("rowColControlAction"));
    rowColAction->setVisible(false);
    QAction* moveAction = toolbar->addWidget(commands_->toolbar2());
    moveAction->setObjectName(QStringLiteral("Toolbar2Action"));
    moveAction->setVisible(false);

    CommandRegistry& commands = *commands_;
    views_ = new RecordViews(*fa_, *fb_, this);
    formPanel_ = new FormPanelController(*document_, *views_, *TabStrip1_, commands, *this, this);
    recordGrid_ = new RecordGridController(*document_, *views_, *formPanel_, commands, *this, this);
    styles_ = new StyleController(*document_, prompter_, *views_, *formPanel_, commands, *this,
                                  *this, this);
    styles_->setPaletteAnchor(commands_->toolButton(QStringLiteral("Acolor")));
    // Every toolbar click puts the palette away before the button's command runs; "A" shows the
    // current font colour.
    connect(commands_, &CommandBar::toolbarButtonClicked, styles_, &StyleController::hidePalette);
    // So does the main window getting the focus.
    connect(this, &frmMain::gotFocus, styles_, &StyleController::hidePalette);
    connect(styles_, &StyleController::fontColorChanged, this, [this](const QColor& color) {
        commands_->toolButton(QStringLiteral("A"))->setIcon(fontColorIcon(color));
    });
    navigation_ = new NavigationController(*document_, *views_, *formPanel_, commands,
                                           {imgBtn_.begin(), imgBtn_.end()}, *TabStrip1_, this);
    files_ = new FileController(*document_, prompter_, *this, commands, *views_, *recordGrid_,
                                *formPanel_, *styles_, this);
    formReader_ =
        new FormReaderController(*document_, prompter_, *this, commands, *this, *views_,
                                 *formPanel_, *txtDrop_, *cmdDownArrow_, *cmdEraser_, this);
    columns_ = new ColumnController(*document_, prompter_, *this, commands, *fa_, *formPanel_,
                                    *rowCol_->txtCol(), this);
    edit_ = new EditController(*document_, prompter_, *this, commands, *views_, *formPanel_,
                               *txtDrop_, this);
    // The record button "Dlete this record" asks through the Delete Record dialog.
    navigation_->setDeleteRecordHandler([this] { edit_->deleteCurrentRecordAsked(); });
    find_ = new FindController(*views_, prompter_, *this, commands, this);
    calc_ = new CalcController(*document_, *views_, prompter_, *this, commands, this);
    print_ = new PrintController(*document_, prompter_, *this, commands, *fa_, this);
    viewSwitches_ = new ViewController(*layout_, commands, *formPanel_, *rowColAction, *moveAction,
                                       *imgClose_, this);
    help_ = new HelpController(*this, commands, this);
    undo_ = new UndoController(*document_, prompter_, *this, commands, *fa_, this);
    commands.registerCommand(CommandId::mnuExit, [this] { mnuExit_Click(); });
    recovery_ = new RecoveryController(*document_, prompter_, *this, *files_,
                                       std::make_unique<RecoveryStore>(), this);
    connect(formReader_, &FormReaderController::formRecordsAdded, recovery_,
            &RecoveryController::formRecordAdded);
    // What a screen reader calls the controls: the grids and the Drop Box by what they are, the
    // picture buttons by their tool tips.
    fa_->setAccessibleName(QStringLiteral("Data Grid"));
    fb_->setAccessibleName(QStringLiteral("Form Panel"));
    txtDrop_->setAccessibleName(QStringLiteral("Drop Box"));
    txtDrop_->setAccessibleDescription(txtDrop_->toolTip().trimmed());
    nameControlsAfterToolTips(*this);
}

void frmMain::applyGeometryPreferences() {
    const int top = IntOrZero(readPreference("TOP"));
    const int left = IntOrZero(readPreference("LEFT"));
    const int width = lengthPreference("WIDTH", 7000);
    const int height = lengthPreference("HEIGHT", 5000);
    // A size below the window's smallest gives the smallest.
    const QSize smallest = minimumSizeHint();
    QRect wanted(twipsToPixels(left, this), twipsToPixels(top, this),
                 std::max(twipsToPixels(width, this), smallest.width()),
                 std::max(twipsToPixels(height, this), smallest.height()));
    // A window that would stand entirely off every screen comes back onto the primary one.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(wanted)) {
            onScreen = true;
            break;
        }
    }
    if (!onScreen && QGuiApplication::primaryScreen()) {
        wanted.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    }
    resize(wanted.size());
    move(wanted.topLeft());
    appliedPixels_ = wanted;
    // The stored twips stand for the place only where they were applied as they are (not where
    // the smallest size or the screen overrode them).
    auto asApplied = [this](int twips, int pixels) {
        return twipsToPixels(twips, this) == pixels ? twips : pixelsToTwips(pixels, this);
    };
    appliedTwips_ = QRect(asApplied(left, wanted.x()), asApplied(top, wanted.y()),
                          asApplied(width, wanted.width()), asApplied(height, wanted.height()));
}

// A length to store: the stored value itself while the window still stands where it put it, so
// that a run without changes writes back what it read.
static int twipsToStore(int pixelsNow, int pixelsApplied, int twipsApplied, const QWidget* w) {
    return pixelsNow == pixelsApplied ? twipsApplied : pixelsToTwips(pixelsNow, w);
}

void frmMain::Form_Load() {
    // The start-up table is where the history begins.
    const auto fresh = document_->freshHistory();
    // 1. The splitter's limits.
    VBar_->setLimits(3000, 600);
    // 2. The version text.
    setPanelText(1, QStringLiteral("Pellumar ") + ProductInfo::versionText());
    // 3. Window geometry.
    applyGeometryPreferences();
    // 4-5. The splitter where it was left, without the limits (the buttons above the Form Panel
    // follow it).
    layout_->setSplitterLeft(lengthPreference("VBarLeft", 3570));
    // 6. Alternate row colour.
    bool alternateColor = false;
    {
        const QString stored = readPreference("AlternateColor");
        if (stored.isEmpty()) {
            alternateColor = true;
        } else if (const auto v = preferenceBoolean(stored)) {
            alternateColor = *v;
        }
    }
    // 7. The Drop Box.
    {
        int16_t emailParser = 0;
        const QString stored = readPreference("EmailParser");
        if (stored.isEmpty()) {
            emailParser = 1;
        } else if (const auto v = preferenceInt16(stored)) {
            emailParser = *v;
        }
        viewSwitches_->setEmailParser(emailParser);
    }
    // 8. The folder the open dialogs start in.
    QString lastOpenPath = readPreference("LastOpenPath");
    if (lastOpenPath.isEmpty()) {
        lastOpenPath = applicationFolder() + QDir::separator();
    }
    document_->setLastOpenPath(lastOpenPath);
    // 9. The separator setting (status panel 2 shows it).
    QString separator = readPreference("ConvertionChr");
    if (separator.isEmpty()) {
        separator = QStringLiteral("=");
    }
    formReader_->setSeparator(separator);
    // The label format, start label and calibration of the Address Labels Printing dialog.
    print_->setLabelSettings(readLabelSettings(readPreference));
    // The form-post import's mail columns check box.
    formReader_->setMailColumns(preferenceBoolean(readPreference("MailColumns")).value_or(false));
    // 10. Alternate row colouring.
    styles_->applyAlternateColor(alternateColor, palette().color(QPalette::Base));
    // 12-13. The empty document's grids.
    recordGrid_->SetDefaults();
    formPanel_->SetupFormPanel();
    // 14. Drag mode off.
    fa_->setDragMode(false);
    commands_->setCommandChecked(CommandId::mnuDragDrop, false);
    // 15. Row mode.
    styles_->mnuMouseMode_Click(0);
    // 16. The user may size columns by dragging their title borders.
    fa_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // 17. The Row Col Control is hidden; its boxes show the table's counts as they follow it
    // (the column box the 9 columns the table has, where "10" was written before).
    // 18-19. The untitled table of 20 records.
    document_->model().setRows(21);
    document_->setNewDocument(true);
    // 20. Form Panel alignment: titles right, values left.
    fb_->setColAlignment(0, AlignRightCenter);
    fb_->setColAlignment(1, AlignLeftCenter);
    // 21. The document's file.
    document_->setFile(untitledPath(), FileKind::Native);
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstShow_) {
        firstShow_ = false;
        // Activated for the first time: the Form Panel and the position panel show the current
        // record (also where the window system does not activate new windows).
        formPanel_->fa_Click();
    }
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        formPanel_->fa_Click();  // Activate: the Form Panel follows the current record
        emit gotFocus();
    }
}

void frmMain::focusInEvent(QFocusEvent* event) {
    QMainWindow::focusInEvent(event);
    emit gotFocus();
}

bool frmMain::confirmExit(const QString& text) {
    // Only a save that happened lets the program end; otherwise its changes stay open.
    return files_->saveChangesPrompt(QStringLiteral("Exit"), text);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (exiting_) {
        event->accept();
        return;
    }
    if (!confirmExit(QStringLiteral(
            "Changes have been made. Do you want to save the changes before exit Pellumar?"))) {
        event->ignore();
        return;
    }
    event->accept();
    SaveSettings();
}

void frmMain::mnuExit_Click() {
    if (!confirmExit(QStringLiteral("Changes have been made. Do you want to save the changes?"))) {
        return;
    }
    SaveSettings();
}

void frmMain::SaveSettings() {
    // The splitter is kept in twips: a run without a drag writes back what it read.
    const int splitter = layout_->splitterLeft();
    const QRect& px = appliedPixels_;
    const QRect& tw = appliedTwips_;
    writePreference("TOP", preferenceNumberText(twipsToStore(y(), px.y(), tw.y(), this)));
    writePreference("LEFT", preferenceNumberText(twipsToStore(x(), px.x(), tw.x(), this)));
    writePreference("WIDTH",
                    preferenceNumberText(twipsToStore(width(), px.width(), tw.width(), this)));
    writePreference("HEIGHT",
                    preferenceNumberText(twipsToStore(height(), px.height(), tw.height(), this)));
    writePreference("VBarLeft", preferenceNumberText(splitter));
    writePreference("AlternateColor", preferenceBooleanText(styles_->alternateColor()));
    writePreference("ConvertionChr", formReader_->separator());
    writePreference("MailColumns", preferenceBooleanText(formReader_->mailColumns()));
    writePreference("LastOpenPath", document_->lastOpenPath());
    writePreference("ShowTips", preferenceBooleanText(modMain::ShowTips));
    writePreference("EmailParser", QString::number(viewSwitches_->EmailParser()));
    writeLabelSettings(print_->labelSettings(), writePreference);
    // Only a saved document or one the user chose not to save ends the program.
    recovery_->programEnds();
    exiting_ = true;
    if (endProgram_) {
        endProgram_();
    }
}

int16_t frmMain::EmailParser() const {
    return viewSwitches_->EmailParser();
}

void frmMain::showTips() {
    help_->mnuTip_Click();
}

}  // namespace pellumar
