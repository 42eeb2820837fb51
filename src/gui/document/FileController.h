// The File menu's document commands: New, Save, Save As (native, comma and tab text, Excel
// workbook, OpenDocument spreadsheet), Open (native, comma and tab text with the first line as
// titles or as data, the two workbook forms), Append, and the save-changes prompts that guard
// every command that would throw the table away.
//
// A file is read completely into a table of its own before the document is touched, so a file
// that cannot be read leaves the open document, its title and its state as they were; a save
// marks the document unchanged only once the file was written.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

#include "core/document/Document.h"
#include "core/document/FileResult.h"
#include "core/document/Workbook.h"

class QWidget;

namespace pellumar {

class CommandRegistry;
class FormPanelController;
class Prompter;
class RecordGridController;
class RecordViews;
class StyleController;
class Table;

class FileController : public QObject {
    Q_OBJECT

public:
    FileController(Document& document, Prompter& prompter, QWidget& window,
                   CommandRegistry& commands, RecordViews& views, RecordGridController& recordGrid,
                   FormPanelController& formPanel, StyleController& styles,
                   QObject* parent = nullptr);

    void mnuNew_Click();
    // True when the table was written.
    bool mnuSave_Click();
    bool mnuSaveAsPLM_Click();
    bool mnuSaveAsComma_Click();
    bool mnuSaveAsTab_Click();
    bool mnuSaveAsXlsx_Click();
    bool mnuSaveAsOds_Click();
    void mnuOpen_Click(int index);
    void mnuOpenCSV_Click(int index);
    void mnuOpenTAB_Click(int index);
    void mnuOpenXlsx_Click();
    void mnuOpenOds_Click();
    void mnuAppend_Click();

    // Opens a file of the given kind without the open dialog (the command line): the same
    // save-changes prompt, load, messages and after-load steps as the File > Open commands.
    // True when the file became the document.
    bool openFile(const QString& path, FileKind kind, bool firstLineAsData = false);
    // Makes a table kept by the crash recovery the document: it stands as after opening its
    // file (or as a new document's when `untitled`), with unsaved changes.
    void restoreDocument(Table&& table, const QString& path, FileKind kind, TextEncoding encoding,
                         bool untitled, bool firstLineData = false);

    // The save-changes prompt: asks when the document has unsaved changes. True when the
    // command may go on: no changes, No, or Yes and the save happened.
    bool saveChangesPrompt(const QString& caption, const QString& text);
    // The prompt of New and Open, with its usual text.
    bool confirmReplace(const QString& caption);

    // The title and the Form Panel after a load.
    void RefreshDocumentView();
    // The common set-up after a file has been loaded into the data grid.
    void AfterFileLoad();

    // Makes the progress report of a file load. The default shows a progress dialog once a load
    // takes longer than half a second, keeps the window painting and lets the user cancel.
    using ProgressFactory = std::function<Progress(const QString& path)>;
    void setLoadProgressFactory(ProgressFactory factory) { makeLoadProgress_ = std::move(factory); }

    // The path of the file last appended.
    QString appendFile() const { return appendFile_; }

private:
    void openDelimited(int index, char16_t separator);
    void openWorkbook(FileKind kind);
    // Reads a workbook's sheet (asking which when it has several); nothing when it could not be
    // read or the question was cancelled (the user was told why).
    std::optional<WorkbookLoad> readWorkbook(const QString& name, FileKind kind,
                                             const QString& caption);
    bool saveAsWorkbook(FileKind kind);
    // The load of every Open; a file that cannot be read leaves the document as it was.
    bool loadAndShow(const QString& name, FileKind kind, bool firstLineAsData);
    // The common end of every Open: the loaded table becomes the document. `firstLineData`: the
    // file's first line was read as a record.
    void showLoadedTable(Table&& table, const QString& path, FileKind kind,
                         bool firstLineData = false);
    // Whether comma or tab text of the document starts with its title line.
    TitleLine titleLine() const;
    bool saveAsDelimited(char16_t separator);
    // Save As: the save dialog, then `write` (which gives a failure's message, or "").
    bool saveAs(const QString& filter, const QString& extension,
                const std::function<QString(const QString& path)>& write);
    Progress loadProgress(const QString& path);
    // Tells the user why a load failed; a load the user cancelled says nothing.
    void reportLoadFailure(const FileError& error, const QString& message, const QString& caption);

    Document& document_;
    Prompter& prompter_;
    QWidget& window_;
    RecordViews& views_;
    RecordGridController& recordGrid_;
    FormPanelController& formPanel_;
    StyleController& styles_;
    ProgressFactory makeLoadProgress_;
    QString lastDialogFile_;  // the name the last open dialog returned
    QString appendFile_;
};

}  // namespace pellumar
