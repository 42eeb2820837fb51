// The main window's start-up, layout, preferences and exit.
#include "app/frmMain.h"

#include "app/PreferenceText.h"
#include "app/Prompter.h"
#include "app/modMain.h"
#include "app/modRegistryFunctions.h"
#include "grid/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

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

frmMain::frmMain(Prompter& prompter, QWidget* parent) : QMainWindow(parent), prompter_(prompter) {
    setWindowTitle(QStringLiteral("Pellumar"));
    endProgram = [this] {
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
    buildCommands();
    connectGrids();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::buildWidgets() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(2, 0, 2, 0);
    column->setSpacing(2);

    auto* line1 = new QFrame(central);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    column->addWidget(line1);

    // The Drop Box row.
    auto* dropRow = new QWidget(central);
    dropRow->setObjectName(QStringLiteral("dropBoxRow"));
    auto* dropLayout = new QHBoxLayout(dropRow);
    dropLayout->setContentsMargins(0, 0, 0, 0);
    lbDropBox = new QLabel(QStringLiteral("Drop Box:"), dropRow);
    lbDropBox->setObjectName(QStringLiteral("lbDropBox"));
    lbDropBox->setMinimumWidth(twipsToPixels(750, this));
    txtDrop = new DropBox(dropRow);
    txtDrop->setObjectName(QStringLiteral("txtDrop"));
    txtDrop->setPlainText(QStringLiteral("Drag or copy valid Form Post text to here"));
    txtDrop->setToolTip(QStringLiteral("Drag valid form text to here "));
    txtDrop->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDrop->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtDrop->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtDrop->setFixedHeight(
        std::max(twipsToPixels(285, this), txtDrop->fontMetrics().height() + 8));
    cmdDownArrow = new QToolButton(dropRow);
    cmdDownArrow->setObjectName(QStringLiteral("cmdDownArrow"));
    cmdDownArrow->setArrowType(Qt::DownArrow);
    cmdDownArrow->setToolTip(QStringLiteral("Decode the Form text in the Drop Box"));
    cmdEraser = new QToolButton(dropRow);
    cmdEraser->setObjectName(QStringLiteral("cmdEraser"));
    cmdEraser->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
    cmdEraser->setToolTip(QStringLiteral("Erase the text in the Drop Box"));
    for (QToolButton* b : {cmdDownArrow, cmdEraser}) {
        b->setFixedSize(twipsToPixels(315, this) + 4, txtDrop->height());
    }
    dropLayout->addWidget(lbDropBox);
    dropLayout->addWidget(txtDrop, 1);
    dropLayout->addWidget(cmdDownArrow);
    dropLayout->addWidget(cmdEraser);
    column->addWidget(dropRow);

    // The work area: the Form Panel frame, the splitter and the data grid.
    VBar = new QSplitter(Qt::Horizontal, central);
    VBar->setObjectName(QStringLiteral("VBar"));
    VBar->setChildrenCollapsible(false);
    VBar->setHandleWidth(std::max(4, twipsToPixels(60, this)));

    TabStrip1 = new QTabWidget(VBar);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    auto* formPage = new QWidget(TabStrip1);
    auto* formLayout = new QVBoxLayout(formPage);
    formLayout->setContentsMargins(4, 2, 4, 4);
    formLayout->setSpacing(2);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(1);
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
    for (int i = 0; i < 8; ++i) {
        auto* b = new QToolButton(formPage);
        b->setObjectName(QStringLiteral("imgBtn%1").arg(i));
        b->setToolTip(QString::fromLatin1(kRecordTips[i]));
        b->setIcon(style()->standardIcon(kRecordIcons[i]));
        b->setAutoRaise(true);
        b->setEnabled(false);  // the record buttons' commands are not built yet
        imgBtn.push_back(b);
        if (i == 6) {
            buttons->addStretch(1);
        }
        buttons->addWidget(b);
    }
    imgClose = new QToolButton(formPage);
    imgClose->setObjectName(QStringLiteral("imgClose"));
    imgClose->setToolTip(QStringLiteral("Close Form (F2)"));
    imgClose->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    imgClose->setAutoRaise(true);
    imgClose->setEnabled(false);
    buttons->addWidget(imgClose);
    formLayout->addLayout(buttons);
    fb = new GridControl(formPage);
    fb->setObjectName(QStringLiteral("fb"));
    formLayout->addWidget(fb, 1);
    TabStrip1->addTab(formPage, QStringLiteral("Form"));

    fa = new GridControl(VBar);
    fa->setObjectName(QStringLiteral("fa"));
    VBar->addWidget(TabStrip1);
    VBar->addWidget(fa);
    VBar->setStretchFactor(0, 0);
    VBar->setStretchFactor(1, 1);
    column->addWidget(VBar, 1);
    setCentralWidget(central);

    // The scratch grid is never shown.
    fc = new GridControl(this);
    fc->setObjectName(QStringLiteral("fc"));
    fc->hide();

    // The Row Col Control lives in the toolbar row, hidden until asked for.
    rowColControl = new QWidget(this);
    rowColControl->setObjectName(QStringLiteral("rowColControl"));
    auto* rc = new QHBoxLayout(rowColControl);
    rc->setContentsMargins(6, 0, 6, 0);
    txtRow = new QLineEdit(rowColControl);
    txtRow->setObjectName(QStringLiteral("txtRow"));
    txtCol = new QLineEdit(rowColControl);
    txtCol->setObjectName(QStringLiteral("txtCol"));
    for (QLineEdit* box : {txtRow, txtCol}) {
        box->setFixedWidth(twipsToPixels(900, this));
        box->setReadOnly(true);  // typing into the boxes comes with their own commands
    }
    rc->addWidget(new QLabel(QStringLiteral("Rows"), rowColControl));
    rc->addWidget(txtRow);
    rc->addWidget(new QLabel(QStringLiteral("Cols"), rowColControl));
    rc->addWidget(txtCol);
}

void frmMain::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("SBar"));
    bar->setSizeGripEnabled(true);
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
        } else {
            panel->setFixedWidth(twipsToPixels(kWidths[i], this));
            panel->setAlignment(i == 5 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
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

namespace {
QString& applicationFolderOverride() {
    static QString folder;
    return folder;
}
}  // namespace

void frmMain::setApplicationFolderForTesting(const QString& folder) {
    applicationFolderOverride() = folder;
}

QString frmMain::applicationFolder() {
    const QString programFolder = applicationFolderOverride().isEmpty()
                                      ? QCoreApplication::applicationDirPath()
                                      : applicationFolderOverride();
    const QFileInfo info(programFolder);
    QString folder = programFolder;
    if (!info.isWritable()) {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!documents.isEmpty()) {
            QDir().mkpath(documents);
            folder = documents;
        }
    }
    return QDir::toNativeSeparators(folder);
}

QString frmMain::untitledPath() {
    return applicationFolder() + QDir::separator() + QStringLiteral("Untitled.plm");
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
    appliedTwips_ = QRect(left, top, width, height);
}

// A length to store: the stored value itself while the window still stands where it put it, so
// that a run without changes writes back what it read.
static int twipsToStore(int pixelsNow, int pixelsApplied, int twipsApplied, const QWidget* w) {
    return pixelsNow == pixelsApplied ? twipsApplied : pixelsToTwips(pixelsNow, w);
}

void frmMain::Form_Load() {
    // 2. The version text.
    setPanelText(1, QStringLiteral("Pellumar ") + QStringLiteral("Version 7.0"));
    // 3. Window geometry.
    applyGeometryPreferences();
    // 4-5. The splitter (the buttons above the Form Panel follow it in the frame's layout).
    vbarLeftTwips_ = lengthPreference("VBarLeft", 3570);
    // 6. Alternate row colour.
    AlternateColor = false;
    {
        const QString stored = readPreference("AlternateColor");
        if (stored.isEmpty()) {
            AlternateColor = true;
        } else if (const auto v = preferenceBoolean(stored)) {
            AlternateColor = *v;
        }
    }
    // 7. The Drop Box.
    EmailParser = 0;
    {
        const QString stored = readPreference("EmailParser");
        if (stored.isEmpty()) {
            EmailParser = 1;
        } else if (const auto v = preferenceInt16(stored)) {
            EmailParser = *v;
        }
    }
    action(QStringLiteral("mnuEmailParser"))->setChecked(EmailParser != 0);
    findChild<QWidget*>(QStringLiteral("dropBoxRow"))->setVisible(EmailParser != 0);
    // 8. The folder the open dialogs start in.
    LastOpenPath = readPreference("LastOpenPath");
    if (LastOpenPath.isEmpty()) {
        LastOpenPath = applicationFolder() + QDir::separator();
    }
    // 9. The separator setting.
    modMain::ConvertionChr = readPreference("ConvertionChr");
    if (modMain::ConvertionChr.isEmpty()) {
        modMain::ConvertionChr = QStringLiteral("=");
    }
    setPanelText(2, modMain::ConvertionChr);
    // 10. Alternate row colouring.
    action(QStringLiteral("mnuAlternateColor"))->setChecked(AlternateColor);
    fa->setAlternateRowColor(AlternateColor ? QColor(192, 255, 192)
                                            : palette().color(QPalette::Base));
    // 12-13. The empty document's grids.
    SetDefaults();
    SetupFormPanel();
    // 14. Drag mode off.
    fa->setDragMode(false);
    action(QStringLiteral("mnuDragDrop"))->setChecked(false);
    // 15. Row mode.
    mnuMouseMode_Click(0);
    // 16. The user may size columns by dragging their title borders.
    fa->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // 17. The Row Col Control, prepared and hidden.
    txtCol->setText(QStringLiteral("10"));
    txtRow->setText(QStringLiteral("20"));
    // 18-19. The untitled table of 20 records.
    fa->setRows(21);
    IsNewDocument = true;
    // 20. Form Panel alignment: titles right, values left.
    fb->setColAlignment(0, AlignRightCenter);
    fb->setColAlignment(1, AlignLeftCenter);
    // 21. The document's file.
    CurrentFile = untitledPath();
    i_FileType = 2;
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstShow_) {
        firstShow_ = false;
        // The splitter's place is known once the window has its size.
        const int left = std::max(0, twipsToPixels(vbarLeftTwips_, this));
        VBar->setSizes({left, std::max(1, VBar->width() - left - VBar->handleWidth())});
        // Activated for the first time: the Form Panel and the position panel show the current
        // record (also where the window system does not activate new windows).
        fa_Click();
    }
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        fa_Click();  // Activate: the Form Panel follows the current record
    }
}

bool frmMain::confirmExit(const QString& text) {
    if (!IsModified) {
        return true;
    }
    const auto answer = prompter_.message(
        this, Prompter::Icon::Question, QStringLiteral("Exit"), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        // Only a save that happened lets the program end; otherwise its changes stay open.
        return mnuSave_Click();
    }
    return answer == QMessageBox::No;
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
    int splitter = vbarLeftTwips_;
    if (TabStrip1->isVisible()) {
        splitter = twipsToStore(VBar->sizes().value(0), twipsToPixels(vbarLeftTwips_, this),
                                vbarLeftTwips_, this);
    }
    const QRect& px = appliedPixels_;
    const QRect& tw = appliedTwips_;
    writePreference("TOP", preferenceNumberText(twipsToStore(y(), px.y(), tw.y(), this)));
    writePreference("LEFT", preferenceNumberText(twipsToStore(x(), px.x(), tw.x(), this)));
    writePreference("WIDTH",
                    preferenceNumberText(twipsToStore(width(), px.width(), tw.width(), this)));
    writePreference("HEIGHT",
                    preferenceNumberText(twipsToStore(height(), px.height(), tw.height(), this)));
    writePreference("VBarLeft", preferenceNumberText(splitter));
    writePreference("AlternateColor", preferenceBooleanText(AlternateColor));
    writePreference("ConvertionChr", modMain::ConvertionChr);
    writePreference("LastOpenPath", LastOpenPath);
    writePreference("ShowTips", preferenceBooleanText(modMain::ShowTips));
    writePreference("EmailParser", QString::number(EmailParser));
    exiting_ = true;
    if (endProgram) {
        endProgram();
    }
}

void frmMain::showTips() {
    // The Tip of the Day window is not part of the program yet.
}

}  // namespace pellumar
