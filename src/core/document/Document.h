// The open document: the data grid's table (its model) and what the program knows about it
// besides its cells: the file it came from and that file's kind and encoding, whether it has
// unsaved changes, whether it is still the blank table of a new document, the folder last
// opened, the column whose title shows the sort arrow, and the Column Define dialog's per-column
// combo-list texts. Views follow its signals; commands change it through its operations.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

#include "core/document/TextFile.h"
#include "core/grid/GridModel.h"
#include "core/table/EditRecorder.h"

namespace pellumar {

// The kind of the document's file, with the codes the file commands have always used.
enum class FileKind : int16_t {
    Native = 2,  // the native grid file (.plm)
    Comma = 3,   // comma-delimited text
    Tab = 4,     // tab-delimited text
    Xlsx = 5,    // an Excel workbook (.xlsx)
    Ods = 6,     // an OpenDocument spreadsheet (.ods)
};

// True for the workbook kinds (.xlsx and .ods).
constexpr bool isWorkbookKind(FileKind kind) {
    return kind == FileKind::Xlsx || kind == FileKind::Ods;
}

// The kind of a file by its extension, without regard to case: .plm native, .csv comma text,
// .txt and .tsv tab text, .xlsx and .ods workbooks; nothing for any other name.
std::optional<FileKind> fileKindOfPath(const QString& path);

class Document : public QObject {
    Q_OBJECT

public:
    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    // The table, with one fixed row: row 0 holds the column titles.
    GridModel& model() { return *model_; }
    const GridModel& model() const { return *model_; }
    int recordCount() const { return std::max(0, model_->rows() - 1); }

    // --- The edit history -----------------------------------------------------------------------
    // A command opens one step around everything it changes:
    //     const auto step = document_.step(QStringLiteral("Paste"));
    // The table's changes and the column state below are recorded into it (grid/EditRecorder.h).
    [[nodiscard]] EditRecorder::Step step(const QString& name) { return recorder_.step(name); }
    EditRecorder& recorder() { return recorder_; }
    // For New: the history is forgotten and nothing is recorded while the result lives.
    [[nodiscard]] EditRecorder::Pause freshHistory() { return EditRecorder::Pause(recorder_); }

    // --- Unsaved changes ------------------------------------------------------------------------
    bool isModified() const { return modified_; }
    // The only way the modified state changes.
    void MakeModified(bool bWhat);
    // A command changed the table: the document becomes modified (when it is not already).
    void markChanged() {
        if (!modified_) {
            MakeModified(true);
        }
    }

    // --- The document's file --------------------------------------------------------------------
    QString currentFile() const { return currentFile_; }
    FileKind fileKind() const { return fileKind_; }
    // The encoding a delimited file was read in, so that it is written back the same way.
    TextEncoding encoding() const { return encoding_; }
    // The file the document now belongs to (New, Open).
    void setFile(const QString& path, FileKind kind, TextEncoding encoding = TextEncoding::Utf8);
    void setEncoding(TextEncoding encoding) { encoding_ = encoding; }

    // True for a document opened from comma or tab text whose first line was data: it has no
    // title line of its own, and none is written for it while every column title is empty.
    bool isFirstLineData() const { return firstLineData_; }
    void setFirstLineData(bool firstLineData) { firstLineData_ = firstLineData; }
    // Whether comma or tab text of the document starts with the title line.
    bool writesTitleLine() const;

    // True while the table is the blank table of start-up or New.
    bool isNewDocument() const { return newDocument_; }
    void setNewDocument(bool isNew);

    // The folder of the last opened file, with its trailing separator.
    QString lastOpenPath() const { return lastOpenPath_; }
    void setLastOpenPath(const QString& folder) { lastOpenPath_ = folder; }

    // The window title the document's history calls for ("Pellumar -- Untitled.plm", ...).
    QString title() const { return title_; }
    void setTitle(const QString& title);

    // --- Column state kept beside the table -----------------------------------------------------
    // The column whose title shows the sort arrow.
    int lastSortCol() const { return lastSortCol_; }
    void setLastSortCol(int col);
    // The Column Define dialog's combo-list texts, one per column.
    const QStringList& comboLists() const { return comboLists_; }
    QString& comboList(int col);
    void setComboLists(const QStringList& lists);
    // One empty entry per column (New, loads), or the list sized to the columns keeping entries.
    void resetComboLists();
    void fitComboLists();

signals:
    void modifiedChanged(bool modified);
    void fileChanged();
    void titleChanged(const QString& title);

private:
    bool recording() const { return recorder_.recording() && recorder_.stepOpen(); }

    EditRecorder recorder_;
    GridModel* model_;
    bool modified_ = false;
    QString currentFile_;
    FileKind fileKind_ = FileKind::Native;
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool newDocument_ = true;
    bool firstLineData_ = false;
    QString lastOpenPath_;
    QString title_;
    int lastSortCol_ = 0;
    QStringList comboLists_;
};

}  // namespace pellumar
