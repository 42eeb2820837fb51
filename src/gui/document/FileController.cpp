#include "gui/document/FileController.h"

#include "core/document/DocumentPaths.h"
#include "core/document/FileAccess.h"
#include "core/document/NativeFile.h"
#include "core/document/TextFile.h"
#include "core/document/Workbook.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordGridController.h"
#include "gui/grid/RecordViews.h"
#include "gui/grid/StyleController.h"
#include "gui/services/CommandRegistry.h"
#include "gui/services/ProgressDialog.h"
#include "gui/services/Prompter.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <memory>
#include <new>
#include <vector>

namespace pellumar {

namespace {

WorkbookKind workbookKindOf(FileKind kind) {
    return kind == FileKind::Xlsx ? WorkbookKind::Xlsx : WorkbookKind::Ods;
}

const QString kXlsxFilter = QStringLiteral("Excel Workbook (*.xlsx)|*.xlsx");
const QString kOdsFilter = QStringLiteral("OpenDocument Spreadsheet (*.ods)|*.ods");

const QString kSaveChangesText =
    QStringLiteral("Changes have been made. Do you want to save the changes?");

}  // namespace

FileController::FileController(Document& document, Prompter& prompter, QWidget& window,
                               CommandRegistry& commands, RecordViews& views,
                               RecordGridController& recordGrid, FormPanelController& formPanel,
                               StyleController& styles, QObject* parent)
    : QObject(parent),
      document_(document),
      prompter_(prompter),
      window_(window),
      views_(views),
      recordGrid_(recordGrid),
      formPanel_(formPanel),
      styles_(styles) {
    commands.registerCommand(CommandId::mnuNew, [this] { mnuNew_Click(); });
    commands.registerCommand(CommandId::mnuSave, [this] { mnuSave_Click(); });
    commands.registerCommand(CommandId::mnuSaveAsPLM, [this] { mnuSaveAsPLM_Click(); });
    commands.registerCommand(CommandId::mnuSaveAsComma, [this] { mnuSaveAsComma_Click(); });
    commands.registerCommand(CommandId::mnuSaveAsTab, [this] { mnuSaveAsTab_Click(); });
    commands.registerCommand(CommandId::mnuOpen0, [this] { mnuOpen_Click(0); });
    commands.registerCommand(CommandId::OPEN_PLM, [this] { mnuOpen_Click(0); });
    commands.registerCommand(CommandId::mnuOpenCSV0, [this] { mnuOpenCSV_Click(0); });
    commands.registerCommand(CommandId::mnuOpenCSV1, [this] { mnuOpenCSV_Click(1); });
    commands.registerCommand(CommandId::OPEN_CSV, [this] { mnuOpenCSV_Click(0); });
    commands.registerCommand(CommandId::mnuOpenTAB0, [this] { mnuOpenTAB_Click(0); });
    commands.registerCommand(CommandId::mnuOpenTAB1, [this] { mnuOpenTAB_Click(1); });
    commands.registerCommand(CommandId::OPEN_TXT, [this] { mnuOpenTAB_Click(0); });
    commands.registerCommand(CommandId::mnuOpenXlsx, [this] { mnuOpenXlsx_Click(); });
    commands.registerCommand(CommandId::OPEN_XLSX, [this] { mnuOpenXlsx_Click(); });
    commands.registerCommand(CommandId::mnuOpenOds, [this] { mnuOpenOds_Click(); });
    commands.registerCommand(CommandId::OPEN_ODS, [this] { mnuOpenOds_Click(); });
    commands.registerCommand(CommandId::mnuSaveAsXlsx, [this] { mnuSaveAsXlsx_Click(); });
    commands.registerCommand(CommandId::mnuSaveAsOds, [this] { mnuSaveAsOds_Click(); });
    commands.registerCommand(CommandId::mnuAppend, [this] { mnuAppend_Click(); });
    makeLoadProgress_ = [this](const QString& path) {
        return delayedProgress(&window_, QStringLiteral("Opening ") + path + QStringLiteral("..."),
                               QStringLiteral("Pellumar"));
    };
    // Save is offered exactly while the document has unsaved changes (the toolbar's Save shares
    // the menu item).
    connect(&document_, &Document::modifiedChanged, this, [&commands](bool modified) {
        commands.setCommandEnabled(CommandId::mnuSave, modified);
    });
}

Progress FileController::loadProgress(const QString& path) {
    return makeLoadProgress_ ? makeLoadProgress_(path) : Progress();
}

void FileController::reportLoadFailure(const FileError& error, const QString& message,
                                       const QString& caption) {
    if (error.reason != FileError::Reason::Cancelled) {
        prompter_.inform(&window_, Prompter::Icon::Critical, caption, message);
    }
}

bool FileController::saveChangesPrompt(const QString& caption, const QString& text) {
    if (!document_.isModified()) {
        return true;
    }
    const auto answer = prompter_.message(&window_, Prompter::Icon::Question, caption, text,
                                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                          QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        // Going on after a save that did not happen would throw the changes away.
        return mnuSave_Click();
    }
    return answer == QMessageBox::No;
}

bool FileController::confirmReplace(const QString& caption) {
    return saveChangesPrompt(caption, kSaveChangesText);
}

void FileController::mnuNew_Click() {
    if (!confirmReplace(QStringLiteral("New"))) {
        return;
    }
    // A new table starts a new history.
    const auto fresh = document_.freshHistory();
    GridModel& model = document_.model();
    model.setCols(0);  // empties the table
    model.setRows(0);
    recordGrid_.SetDefaults();
    model.setCols(10);
    model.setRows(21);
    views_.fa()->select(1, 0);  // record 1 is the current record
    RefreshDocumentView();
    document_.setTitle(QStringLiteral("Pellumar -- Untitled.plm"));
    document_.setFile(untitledPath(), FileKind::Native);
    document_.setNewDocument(true);
    document_.setFirstLineData(false);
    document_.MakeModified(false);
    document_.resetComboLists();
}

bool FileController::mnuSave_Click() {
    const FileKind kind = document_.fileKind();
    const QString file = document_.currentFile();
    if (kind == FileKind::Comma || kind == FileKind::Tab) {
        const auto saved =
            saveDelimited(document_.model().table(), file, kind == FileKind::Comma ? u',' : u'\t',
                          document_.encoding(), titleLine());
        if (!saved) {
            prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Save"),
                             saved.message());
            return false;
        }
        document_.setEncoding(saved.value());
        prompter_.inform(&window_, Prompter::Icon::Information, QStringLiteral("Pellumar"),
                         QStringLiteral("Use 'Save As...' Pellumar(*.plm) from the 'File' menu "
                                        "if you want to save data as a RichText Pellumar file "
                                        "format."));
        document_.MakeModified(false);
        return true;
    }
    if (isWorkbookKind(kind)) {
        // The table is one sheet: writing it over a workbook of several would lose the others.
        const auto sheets = workbookSheetNames(file, workbookKindOf(kind));
        if (sheets && sheets.value().size() > 1) {
            prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Save"),
                             QStringLiteral("%1 has %2 sheets, and Pellumar saves one. Choose a "
                                            "name to save this table under, so that the other "
                                            "sheets stay.")
                                 .arg(QFileInfo(file).fileName())
                                 .arg(sheets.value().size()));
            return saveAsWorkbook(kind);
        }
        const auto saved = saveWorkbook(document_.model().table(), file, workbookKindOf(kind));
        if (!saved) {
            prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Save"),
                             saved.message());
            return false;
        }
        document_.MakeModified(false);
        return true;
    }
    const bool isUntitled = file.compare(untitledPath(), Qt::CaseInsensitive) == 0;
    if (isUntitled && QFileInfo::exists(file)) {
        const auto answer =
            prompter_.message(&window_, Prompter::Icon::Question, QStringLiteral("Save"),
                              QStringLiteral("Do you want to overwrite ") + file + u'?',
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            return mnuSaveAsPLM_Click();
        }
    }
    const auto saved = saveNative(document_.model().table(), file);
    if (!saved) {
        prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Save"),
                         saved.message());
        return false;
    }
    document_.MakeModified(false);
    return true;
}

void FileController::RefreshDocumentView() {
    document_.setTitle(QStringLiteral("Pellumar [") + lastDialogFile_ + u']');
    // The Form Panel's rows follow the column count by themselves.
    formPanel_.FillFormPanelTitles();
    formPanel_.fa_Click();
}

void FileController::AfterFileLoad() {
    RefreshDocumentView();
    views_.fa()->setSelectionKind(GridControl::SelectionByRow);
    formPanel_.fa_Click();
    styles_.mnuMouseMode_Click(0);
    document_.MakeModified(false);
    // The record and column boxes follow the table by themselves.
    document_.resetComboLists();
}

TitleLine FileController::titleLine() const {
    return document_.writesTitleLine() ? TitleLine::Written : TitleLine::Skipped;
}

void FileController::showLoadedTable(Table&& table, const QString& path, FileKind kind,
                                     bool firstLineData) {
    document_.setLastOpenPath(FolderOfPath(path));
    lastDialogFile_ = path;
    document_.setNewDocument(false);
    document_.setFirstLineData(firstLineData);
    const TextEncoding encoding = document_.encoding();
    document_.setFile(path, kind, encoding);
    // At least the title row and one column, as an empty file leaves them.
    table.setColumnCount(std::max(table.columnCount(), 1));
    table.setRowCount(std::max(table.rowCount(), 1));
    document_.model().replaceTable(std::move(table));
    document_.setLastSortCol(0);
    GridControl* fa = views_.fa();
    fa->select(1, 0, 1, fa->cols() - 1);
    document_.setTitle(QStringLiteral("Pellumar -- ") + path);
    AfterFileLoad();
}

void FileController::mnuOpen_Click(int index) {
    if (index != 0 || !confirmReplace(QStringLiteral("Open"))) {
        return;
    }
    FileDialogOptions options;
    options.defaultExt = QStringLiteral("*.plm");
    options.filter = QStringLiteral("Pellumar Files (*.plm)|*.plm|All Files (*.*)|*.*");
    options.initialName = QStringLiteral("*.plm");
    options.initialDir = document_.lastOpenPath();
    const QString name = prompter_.openFileName(&window_, options);
    if (isCancelledFileName(name)) {
        return;
    }
    loadAndShow(name, FileKind::Native, false);
}

bool FileController::openFile(const QString& path, FileKind kind, bool firstLineAsData) {
    if (!confirmReplace(QStringLiteral("Open"))) {
        return false;
    }
    return loadAndShow(path, kind, firstLineAsData);
}

void FileController::restoreDocument(Table&& table, const QString& path, FileKind kind,
                                     TextEncoding encoding, bool untitled, bool firstLineData) {
    const QString lastOpenPath = document_.lastOpenPath();
    document_.setEncoding(encoding);
    showLoadedTable(std::move(table), path, kind, firstLineData);
    document_.setLastOpenPath(lastOpenPath);  // no file was opened
    if (untitled) {
        document_.setTitle(QStringLiteral("Pellumar -- Untitled.plm"));
    }
    // The restored work has never been saved.
    document_.MakeModified(true);
}

std::optional<WorkbookLoad> FileController::readWorkbook(const QString& name, FileKind kind,
                                                         const QString& caption) {
    // A workbook of several sheets asks which to read.
    const auto names = workbookSheetNames(name, workbookKindOf(kind));
    if (!names) {
        reportLoadFailure(names.error(), names.message(), caption);
        return std::nullopt;
    }
    QString sheet;
    if (names.value().size() > 1) {
        const int picked =
            prompter_.choice(&window_, caption,
                             QStringLiteral("%1 has %2 sheets. Which one do you want to open?")
                                 .arg(QFileInfo(name).fileName())
                                 .arg(names.value().size()),
                             names.value(), 0);
        if (picked < 0 || picked >= names.value().size()) {
            return std::nullopt;
        }
        sheet = QString::number(picked + 1);
    }
    auto loaded = loadWorkbook(name, workbookKindOf(kind), sheet, loadProgress(name));
    if (!loaded) {
        reportLoadFailure(loaded.error(), loaded.message(), caption);
        return std::nullopt;
    }
    return loaded.take();
}

bool FileController::loadAndShow(const QString& name, FileKind kind, bool firstLineAsData) {
    if (isWorkbookKind(kind)) {
        auto loaded = readWorkbook(name, kind, QStringLiteral("Open"));
        if (!loaded) {
            return false;
        }
        document_.setEncoding(TextEncoding::Utf8);
        showLoadedTable(std::move(loaded->table), name, kind);
        for (const QString& warning : loaded->warnings) {
            prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Open"),
                             warning);
        }
        return true;
    }
    if (kind == FileKind::Native) {
        auto loaded = loadNative(name, loadProgress(name));
        if (!loaded) {
            reportLoadFailure(loaded.error(), loaded.message(), QStringLiteral("Open"));
            return false;
        }
        document_.setEncoding(TextEncoding::Utf8);
        showLoadedTable(loaded.take(), name, FileKind::Native);
        return true;
    }
    const char16_t separator = kind == FileKind::Comma ? u',' : u'\t';
    auto loaded = loadDelimited(name, separator, loadProgress(name));
    if (!loaded) {
        reportLoadFailure(loaded.error(), loaded.message(), QStringLiteral("Open"));
        return false;
    }
    Table table = std::move(loaded.value().table);
    if (firstLineAsData) {
        // First line as data: every line is a record below an empty title row. The rows move
        // straight into the table; the clipboard stays as the user left it.
        if (!rowsFit(table.rowCount(), 1)) {
            prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Open"),
                             tooManyRowsMessage());
            return false;
        }
        try {
            table.insertRows(0, 1);
        } catch (const std::bad_alloc&) {
            prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Open"),
                             fileaccess::outOfMemory(fileaccess::displayName(name)).message);
            return false;
        }
    }
    document_.setEncoding(loaded.value().encoding);
    showLoadedTable(std::move(table), name, kind, firstLineAsData);
    // What the user should know about the file (a mix of encodings, a quoted field left open),
    // once its table is shown.
    for (const QString& warning : loaded.value().warnings) {
        prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Open"), warning);
    }
    return true;
}

void FileController::mnuOpenCSV_Click(int index) {
    openDelimited(index, u',');
}

void FileController::mnuOpenTAB_Click(int index) {
    openDelimited(index, u'\t');
}

void FileController::openDelimited(int index, char16_t separator) {
    if (!confirmReplace(QStringLiteral("Open"))) {
        return;
    }
    const bool comma = separator == u',';
    FileDialogOptions options;
    options.defaultExt = comma ? QStringLiteral("*.csv") : QStringLiteral("*.txt");
    options.initialName = options.defaultExt;
    options.filter = comma
                         ? QStringLiteral("Comma Delimited Files (*.csv)|*.csv|All Files (*.*)|*.*")
                         : QStringLiteral("Tab Delimited Files (*.txt)|*.txt|All Files (*.*)|*.*");
    options.initialDir = document_.lastOpenPath();
    const QString name = prompter_.openFileName(&window_, options);
    if (isCancelledFileName(name)) {
        return;
    }
    loadAndShow(name, comma ? FileKind::Comma : FileKind::Tab, index == 1);
}

void FileController::mnuOpenXlsx_Click() {
    openWorkbook(FileKind::Xlsx);
}

void FileController::mnuOpenOds_Click() {
    openWorkbook(FileKind::Ods);
}

void FileController::openWorkbook(FileKind kind) {
    if (!confirmReplace(QStringLiteral("Open"))) {
        return;
    }
    const bool xlsx = kind == FileKind::Xlsx;
    FileDialogOptions options;
    options.defaultExt = xlsx ? QStringLiteral("*.xlsx") : QStringLiteral("*.ods");
    options.initialName = options.defaultExt;
    options.filter = (xlsx ? kXlsxFilter : kOdsFilter) + QStringLiteral("|All Files (*.*)|*.*");
    options.initialDir = document_.lastOpenPath();
    const QString name = prompter_.openFileName(&window_, options);
    if (isCancelledFileName(name)) {
        return;
    }
    loadAndShow(name, kind, false);
}

bool FileController::saveAs(const QString& filter, const QString& extension,
                            const std::function<QString(const QString& path)>& write) {
    FileDialogOptions options;
    options.filter = filter;
    options.overwritePrompt = true;
    options.defaultExt = extension;
    const QString chosen = prompter_.saveFileName(&window_, options);
    if (chosen.isEmpty()) {
        return false;
    }
    const QString path = withDefaultExtension(chosen, extension);
    const QString failure = write(path);
    if (!failure.isEmpty()) {
        // The title and the document's state stay as they were: nothing was saved.
        prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Save As"), failure);
        return false;
    }
    document_.setTitle(QStringLiteral("Pellumar -- ") + path);
    document_.MakeModified(false);
    return true;
}

bool FileController::saveAsDelimited(char16_t separator) {
    const bool comma = separator == u',';
    // A document read from a text file keeps its encoding; others are written as UTF-8.
    const FileKind kind = document_.fileKind();
    const TextEncoding encoding = kind == FileKind::Comma || kind == FileKind::Tab
                                      ? document_.encoding()
                                      : TextEncoding::Utf8;
    return saveAs(comma ? QStringLiteral("Comma Delimited Text Files (*.csv)|*.csv")
                        : QStringLiteral("Tab Delimited Text Files (*.txt)|*.txt"),
                  comma ? QStringLiteral("csv") : QStringLiteral("txt"), [&](const QString& path) {
                      const auto saved = saveDelimited(document_.model().table(), path, separator,
                                                       encoding, titleLine());
                      return saved ? QString() : saved.message();
                  });
}

bool FileController::mnuSaveAsPLM_Click() {
    return saveAs(QStringLiteral("Pellumar Files (*.plm)|*.plm"), QStringLiteral("plm"),
                  [&](const QString& path) {
                      const auto saved = saveNative(document_.model().table(), path);
                      return saved ? QString() : saved.message();
                  });
}

bool FileController::saveAsWorkbook(FileKind kind) {
    const bool xlsx = kind == FileKind::Xlsx;
    return saveAs(xlsx ? kXlsxFilter : kOdsFilter,
                  xlsx ? QStringLiteral("xlsx") : QStringLiteral("ods"), [&](const QString& path) {
                      const auto saved =
                          saveWorkbook(document_.model().table(), path, workbookKindOf(kind));
                      return saved ? QString() : saved.message();
                  });
}

bool FileController::mnuSaveAsXlsx_Click() {
    return saveAsWorkbook(FileKind::Xlsx);
}

bool FileController::mnuSaveAsOds_Click() {
    return saveAsWorkbook(FileKind::Ods);
}

bool FileController::mnuSaveAsComma_Click() {
    return saveAsDelimited(u',');
}

bool FileController::mnuSaveAsTab_Click() {
    return saveAsDelimited(u'\t');
}

void FileController::mnuAppend_Click() {
    FileDialogOptions options;
    options.defaultExt = QStringLiteral("*.plm");
    options.filter = QStringLiteral("Grid Files (*.plm)|*.plm|") + kXlsxFilter + u'|' + kOdsFilter;
    options.initialDir = FolderOfPath(appendFile_);
    const QString name = prompter_.openFileName(&window_, options);
    if (name.isEmpty()) {
        return;
    }
    appendFile_ = name;
    const QString type = name.right(3).toUpper();
    const auto kind = fileKindOfPath(name);
    const bool workbook = kind && isWorkbookKind(*kind);
    if (type != u"QVF" && type != u"PLM" && !workbook) {
        prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Open"),
                         QStringLiteral("You can only select the reconizable file types. Plaese "
                                        "select the correct file type from the 'File of Types' "
                                        "list box in the Open Dialog and reopen again."));
        return;
    }
    Table appended;
    if (workbook) {
        auto loaded = readWorkbook(name, *kind, QStringLiteral("Append"));
        if (!loaded) {
            return;
        }
        appended = std::move(loaded->table);
    } else {
        auto loaded = loadNative(name, loadProgress(name));
        if (!loaded) {
            reportLoadFailure(loaded.error(), loaded.message(), QStringLiteral("Append"));
            return;
        }
        appended = loaded.take();
    }
    const Table& scratch = appended;
    GridModel& grid = document_.model();
    const int firstNew = grid.rows();
    const int oldCols = grid.cols();
    const int records = std::max(scratch.rowCount() - 1, 0);
    // Both tables are within a table's column limit, so the wider is; the records may not fit.
    if (!grid.canAddRows(records) || !grid.canAddColumns(scratch.columnCount() - oldCols)) {
        prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Append"),
                         grid.canAddRows(records) ? tooManyColumnsMessage() : tooManyRowsMessage());
        return;
    }
    const auto step = document_.step(QStringLiteral("Append"));
    std::vector<int> titled;  // the columns that took the appended file's titles
    try {
        if (scratch.columnCount() > grid.cols()) {
            grid.setCols(scratch.columnCount());
        }
        // Titles are taken only for columns that have none.
        if (scratch.rowCount() > 0) {
            for (int c = 0; c < grid.cols() && c < scratch.columnCount(); ++c) {
                if (grid.text(0, c).isEmpty() && !scratch.isEmpty(0, c)) {
                    grid.setText(0, c, scratch.text(0, c));
                    titled.push_back(c);
                }
            }
        }
        grid.setRows(firstNew + records);
        // The records move straight between the tables; the clipboard stays as the user left it.
        grid.copyTexts(scratch, 1, 0, records, scratch.columnCount(), firstNew, 0);
    } catch (const std::bad_alloc&) {
        // What was added goes again.
        grid.setRows(firstNew);
        grid.setCols(oldCols);
        for (const int c : titled) {
            grid.setText(0, c, QString());
        }
        prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Append"),
                         QStringLiteral("There is not enough memory to append %1. Nothing was "
                                        "changed.")
                             .arg(fileaccess::displayName(name)));
        return;
    }
    GridControl* fa = views_.fa();
    if (records > 0) {
        fa->select(firstNew, 0, grid.rows() - 1, grid.cols() - 1);
    }
    document_.markChanged();
    formPanel_.fa_Click();
}

}  // namespace pellumar
