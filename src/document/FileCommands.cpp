// The File menu's file commands: Open (native, comma and tab text, first line as titles or as
// data), Save As comma and tab text, and Append of a native file's records.
//
// A file is read completely into a table of its own before the document is touched, so a file
// that cannot be read leaves the open document, its title and its state as they were.
#include "app/Prompter.h"
#include "app/frmMain.h"
#include "document/DocumentPaths.h"
#include "document/NativeFile.h"
#include "document/TextFile.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>

namespace pellumar {

namespace {

// A progress dialog that shows itself once a load runs longer than half a second. While it is up
// the window keeps painting and takes no other input; its Cancel stops the load.
std::function<bool(qint64, qint64)> dialogProgress(QWidget* parent, const QString& path) {
    auto dialog = std::make_shared<QPointer<QProgressDialog>>();
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    return [=](qint64 done, qint64 total) {
        if (!*dialog) {
            if (started->elapsed() < 500 || done >= total) {
                return true;  // short loads never show a dialog
            }
            auto* d = new QProgressDialog(QStringLiteral("Opening ") + path + QStringLiteral("..."),
                                          QStringLiteral("Cancel"), 0, 1000, parent);
            d->setAttribute(Qt::WA_DeleteOnClose);
            d->setWindowTitle(QStringLiteral("Pellumar"));
            d->setWindowModality(Qt::WindowModal);
            d->setMinimumDuration(0);
            d->setAutoClose(false);
            d->setAutoReset(false);
            d->show();
            *dialog = d;
        }
        QProgressDialog* d = *dialog;
        d->setValue(total > 0 ? static_cast<int>(std::min<qint64>(done * 1000 / total, 999)) : 0);
        QCoreApplication::processEvents();  // the window keeps painting
        const bool goOn = *dialog && !d->wasCanceled();
        if ((!goOn || done >= total) && *dialog) {
            d->close();
        }
        return goOn;
    };
}

// Tells the user why a load failed; a load the user cancelled says nothing. True when it loaded.
template <typename T>
bool loadSucceeded(Prompter& prompter, QWidget* parent, const Result<T>& loaded,
                   const QString& caption) {
    if (!loaded && loaded.error().reason != FileError::Reason::Cancelled) {
        prompter.inform(parent, Prompter::Icon::Critical, caption, loaded.message());
    }
    return loaded.ok();
}

}  // namespace

void frmMain::registerDocumentCommands() {
    registerCommand(QStringLiteral("mnuNew"), [this] { mnuNew_Click(); });
    registerCommand(QStringLiteral("mnuSave"), [this] { mnuSave_Click(); });
    registerCommand(QStringLiteral("mnuSaveAsPLM"), [this] { mnuSaveAsPLM_Click(); });
    registerCommand(QStringLiteral("mnuSaveAsComma"), [this] { mnuSaveAsComma_Click(); });
    registerCommand(QStringLiteral("mnuSaveAsTab"), [this] { mnuSaveAsTab_Click(); });
    registerCommand(QStringLiteral("mnuOpen0"), [this] { mnuOpen_Click(0); });
    registerCommand(QStringLiteral("OPEN_PLM"), [this] { mnuOpen_Click(0); });
    registerCommand(QStringLiteral("mnuOpenCSV0"), [this] { mnuOpenCSV_Click(0); });
    registerCommand(QStringLiteral("mnuOpenCSV1"), [this] { mnuOpenCSV_Click(1); });
    registerCommand(QStringLiteral("OPEN_CSV"), [this] { mnuOpenCSV_Click(0); });
    registerCommand(QStringLiteral("mnuOpenTAB0"), [this] { mnuOpenTAB_Click(0); });
    registerCommand(QStringLiteral("mnuOpenTAB1"), [this] { mnuOpenTAB_Click(1); });
    registerCommand(QStringLiteral("OPEN_TXT"), [this] { mnuOpenTAB_Click(0); });
    registerCommand(QStringLiteral("mnuAppend"), [this] { mnuAppend_Click(); });
    makeLoadProgress = [this](const QString& path) { return dialogProgress(this, path); };
}

void frmMain::showLoadedTable(Table&& table, const QString& path, int16_t fileType) {
    LastOpenPath = FolderOfPath(path);
    CurrentFile = path;
    lastDialogFile = path;
    IsNewDocument = false;
    i_FileType = fileType;
    // At least the title row and one column, as an empty file leaves them.
    table.setColumnCount(std::max(table.columnCount(), 1));
    table.setRowCount(std::max(table.rowCount(), 1));
    fa->grid()->replaceTable(std::move(table));
    LastSortCol = 0;
    fa->select(1, 0, 1, fa->cols() - 1);
    setWindowTitle(QStringLiteral("Pellumar -- ") + CurrentFile);
    AfterFileLoad();
}

void frmMain::mnuOpen_Click(int index) {
    if (index != 0 || !confirmReplace(QStringLiteral("Open"))) {
        return;
    }
    FileDialogOptions options;
    options.defaultExt = QStringLiteral("*.plm");
    options.filter = QStringLiteral("Pellumar Files (*.plm)|*.plm|All Files (*.*)|*.*");
    options.initialName = QStringLiteral("*.plm");
    options.initialDir = LastOpenPath;
    const QString name = prompter().openFileName(this, options);
    if (isCancelledFileName(name)) {
        return;
    }
    auto loaded = loadNative(name, makeLoadProgress ? makeLoadProgress(name) : Progress());
    if (!loadSucceeded(prompter(), this, loaded, QStringLiteral("Open"))) {
        return;
    }
    showLoadedTable(loaded.take(), name, 2);
}

void frmMain::mnuOpenCSV_Click(int index) {
    openDelimited(index, u',');
}

void frmMain::mnuOpenTAB_Click(int index) {
    openDelimited(index, u'\t');
}

void frmMain::openDelimited(int index, char16_t separator) {
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
    options.initialDir = LastOpenPath;
    const QString name = prompter().openFileName(this, options);
    if (isCancelledFileName(name)) {
        return;
    }
    auto loaded =
        loadDelimited(name, separator, makeLoadProgress ? makeLoadProgress(name) : Progress());
    if (!loadSucceeded(prompter(), this, loaded, QStringLiteral("Open"))) {
        return;
    }
    Table table = std::move(loaded.value().table);
    if (index == 1) {
        // First line as data: every line is a record below an empty title row. The rows move
        // straight into the table; the clipboard stays as the user left it.
        table.insertRows(0, 1);
    }
    fileEncoding = loaded.value().encoding;
    showLoadedTable(std::move(table), name, comma ? 3 : 4);
}

bool frmMain::saveAs(const QString& filter, const QString& extension,
                     const std::function<QString(const QString& path)>& write) {
    FileDialogOptions options;
    options.filter = filter;
    options.overwritePrompt = true;
    options.defaultExt = extension;
    const QString chosen = prompter().saveFileName(this, options);
    if (chosen.isEmpty()) {
        return false;
    }
    const QString path = withDefaultExtension(chosen, extension);
    const QString failure = write(path);
    if (!failure.isEmpty()) {
        // The title and the document's state stay as they were: nothing was saved.
        prompter().inform(this, Prompter::Icon::Critical, QStringLiteral("Save As"), failure);
        return false;
    }
    setWindowTitle(QStringLiteral("Pellumar -- ") + path);
    MakeModified(false);
    return true;
}

bool frmMain::saveAsDelimited(char16_t separator) {
    const bool comma = separator == u',';
    // A document read from a text file keeps its encoding; others are written as UTF-8.
    const TextEncoding encoding =
        i_FileType == 3 || i_FileType == 4 ? fileEncoding : TextEncoding::Utf8;
    return saveAs(comma ? QStringLiteral("Comma Delimited Text Files (*.csv)|*.csv")
                        : QStringLiteral("Tab Delimited Text Files (*.txt)|*.txt"),
                  comma ? QStringLiteral("csv") : QStringLiteral("txt"), [&](const QString& path) {
                      const auto saved =
                          saveDelimited(fa->grid()->table(), path, separator, encoding);
                      return saved ? QString() : saved.message();
                  });
}

bool frmMain::mnuSaveAsPLM_Click() {
    return saveAs(QStringLiteral("Pellumar Files (*.plm)|*.plm"), QStringLiteral("plm"),
                  [&](const QString& path) {
                      const auto saved = saveNative(fa->grid()->table(), path);
                      return saved ? QString() : saved.message();
                  });
}

void frmMain::mnuSaveAsComma_Click() {
    saveAsDelimited(u',');
}

void frmMain::mnuSaveAsTab_Click() {
    saveAsDelimited(u'\t');
}

void frmMain::mnuAppend_Click() {
    FileDialogOptions options;
    options.defaultExt = QStringLiteral("*.plm");
    options.filter = QStringLiteral("Grid Files (*.plm)|*.plm");
    options.initialDir = FolderOfPath(appendFile);
    const QString name = prompter().openFileName(this, options);
    if (name.isEmpty()) {
        return;
    }
    appendFile = name;
    const QString type = name.right(3).toUpper();
    if (type != u"QVF" && type != u"PLM") {
        prompter().inform(this, Prompter::Icon::Exclamation, QStringLiteral("Open"),
                          QStringLiteral("You can only select the reconizable file types. Plaese "
                                         "select the correct file type from the 'File of Types' "
                                         "list box in the Open Dialog and reopen again."));
        return;
    }
    auto loaded = loadNative(name, makeLoadProgress ? makeLoadProgress(name) : Progress());
    if (!loadSucceeded(prompter(), this, loaded, QStringLiteral("Append"))) {
        return;
    }
    const Table& scratch = loaded.value();
    GridModel* grid = fa->grid();
    bool titlesChanged = false;
    if (scratch.columnCount() > grid->cols()) {
        grid->setCols(scratch.columnCount());
        titlesChanged = true;
    }
    // Titles are taken only for columns that have none.
    if (scratch.rowCount() > 0) {
        for (int c = 0; c < grid->cols() && c < scratch.columnCount(); ++c) {
            if (grid->text(0, c).isEmpty() && !scratch.isEmpty(0, c)) {
                grid->setText(0, c, scratch.text(0, c));
                titlesChanged = true;
            }
        }
    }
    const int firstNew = grid->rows();
    const int records = std::max(scratch.rowCount() - 1, 0);
    grid->setRows(firstNew + records);
    txtRow->setText(QString::number(grid->rows() - 1));
    txtCol->setText(QString::number(grid->cols()));
    // The records move straight between the tables; the clipboard stays as the user left it.
    grid->copyTexts(scratch, 1, 0, records, scratch.columnCount(), firstNew, 0);
    if (titlesChanged) {
        fb->setRows(grid->cols() + 1);
        IsTitleChanged = true;
    }
    if (records > 0) {
        fa->select(firstNew, 0, grid->rows() - 1, grid->cols() - 1);
    }
    setPanelText(5, QString::number(fa->selectedRows()) + QStringLiteral(" Sel"));
    if (!IsModified) {
        MakeModified(true);
    }
    fa_Click();
}

}  // namespace pellumar
