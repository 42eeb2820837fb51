#include "gui/app/modMain.h"

#include "core/app/PreferenceText.h"
#include "core/document/Document.h"
#include "gui/app/ProgramIcon.h"
#include "gui/app/QtPrompter.h"
#include "gui/app/frmMain.h"
#include "gui/app/modRegistryFunctions.h"
#include "gui/document/FileController.h"
#include "gui/document/RecoveryController.h"
#include "gui/services/Prompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace pellumar::modMain {

QString SettingsKey;
bool ShowTips = false;

void readStartupPreferences() {
    using namespace modRegistryFunctions;
    SettingsKey = QStringLiteral("Settings");
    ShowTips = false;
    const QString stored =
        RegGetString(RootKey::HKEY_LOCAL_MACHINE, SettingsKey, QStringLiteral("ShowTips"));
    if (stored.isEmpty()) {
        ShowTips = true;
    } else if (const auto value = preferenceBoolean(stored)) {
        ShowTips = *value;
    }
}

void CenterForm(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) {
        return;
    }
    const QRect area = screen->geometry();
    const QRect frame = window->frameGeometry();
    window->move(area.left() + (area.width() - frame.width()) / 2,
                 area.top() + (area.height() - frame.height()) / 2);
}

void setApplicationNames() {
    QCoreApplication::setOrganizationName(QStringLiteral("Pellumar"));
    QCoreApplication::setApplicationName(QStringLiteral("Pellumar"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLUMAR_VERSION));
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Pellumar keeps a table of records, with a form of the current record "
                       "beside it and a Drop Box that turns web-form text into records."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("The file to open: a Pellumar file (.plm), comma text (.csv), tab text "
                       "(.txt, .tsv), an Excel workbook (.xlsx) or an OpenDocument spreadsheet "
                       "(.ods), each with its first line as the column titles."),
        QStringLiteral("[FILE]"));
    const QString program = QStringLiteral("pellumar");
    CommandLine line;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        line.text = parser.helpText();
        return line;
    }
    if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        line.text = QCoreApplication::applicationName() + u' ' +
                    QCoreApplication::applicationVersion() + u'\n';
        return line;
    }
    if (!parsed) {
        line.action = CommandLine::Action::Error;
        line.text = program + QStringLiteral(": ") + parser.errorText() + u'\n';
        return line;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        line.action = CommandLine::Action::Error;
        line.text = program + QStringLiteral(": one file at a time, please (see --help).\n");
        return line;
    }
    line.file = files.value(0);
    return line;
}

bool openCommandLineFile(frmMain& window, const QString& file) {
    // A file manager may hand over a file: URL.
    QString path = file.startsWith(QStringLiteral("file:")) ? QUrl(file).toLocalFile() : file;
    path = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const auto kind = fileKindOfPath(path);
    if (!kind) {
        window.prompter().inform(
            &window, Prompter::Icon::Critical, QStringLiteral("Open"),
            QStringLiteral("Cannot open %1: Pellumar opens Pellumar files (.plm), comma "
                           "delimited files (.csv), tab delimited files (.txt, .tsv), Excel "
                           "workbooks (.xlsx) and OpenDocument spreadsheets (.ods).")
                .arg(path));
        return false;
    }
    return window.fileCommands().openFile(path, *kind);
}

void startUp(frmMain& window, const QString& file) {
    window.recovery().offerRecovery();
    if (!file.isEmpty()) {
        openCommandLineFile(window, file);
    }
    if (ShowTips) {
        window.showTips();
    }
}

namespace {

// --help and --version print without a window, so they work where there is no display.
bool hasOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--") {
            break;
        }
        if (arg.startsWith('-')) {
            return true;
        }
    }
    return false;
}

int printAndEnd(const CommandLine& line) {
    const bool error = line.action == CommandLine::Action::Error;
    std::fputs(qUtf8Printable(line.text), error ? stderr : stdout);
    return error ? 1 : 0;
}

}  // namespace

int Main(int argc, char** argv) {
    if (hasOption(argc, argv)) {
        QCoreApplication app(argc, argv);
        setApplicationNames();
        // Options of the window system are left for the application below to take.
        const CommandLine line = parseCommandLine(QCoreApplication::arguments());
        if (line.action == CommandLine::Action::Help ||
            line.action == CommandLine::Action::Version) {
            return printAndEnd(line);
        }
    }
    QApplication app(argc, argv);
    setApplicationNames();
    // The name of the desktop entry, and the icon of every window.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pellumar.Pellumar"));
    QApplication::setWindowIcon(programIcon());
    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    if (line.action != CommandLine::Action::Run) {
        return printAndEnd(line);
    }

    readStartupPreferences();
    QtPrompter prompter;
    frmMain window(prompter);
    window.show();
    startUp(window, line.file);
    return QApplication::exec();
}

}  // namespace pellumar::modMain
