// The Drop Box and the separator setting: text dropped or pasted into the Drop Box becomes a new
// record (form-post text) or new records (comma or tab lines, with the setting "CV" or "TB"),
// and the Separator Character Setting dialog chooses the setting.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

#include "core/document/FileResult.h"

class QMimeData;
class QToolButton;
class QWidget;

namespace pellumar {

class CommandRegistry;
class Document;
class DropBox;
class FormPanelController;
class Prompter;
class RecordViews;
class StatusPanels;
namespace formreader {
class MailImport;
struct Outcome;
}  // namespace formreader

class FormReaderController : public QObject {
    Q_OBJECT

public:
    FormReaderController(Document& document, Prompter& prompter, QWidget& window,
                         CommandRegistry& commands, StatusPanels& status, RecordViews& views,
                         FormPanelController& formPanel, DropBox& txtDrop,
                         QToolButton& cmdDownArrow, QToolButton& cmdEraser,
                         QObject* parent = nullptr);

    // The separator setting `ConvertionChr`: "=" by default; "CV" and "TB" read comma or tab
    // lines. Status panel 2 shows it.
    QString separator() const { return separator_; }
    void setSeparator(const QString& separator);

    // The text the reader works on, copied from the Drop Box before each run.
    QString formText() const { return formText_; }
    void setFormText(const QString& text) { formText_ = text; }

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

    // File > Import Form Posts...: the import dialog, then the messages of the mailboxes,
    // message files and folders chosen become records (FormReaderMail.cpp).
    void mnuImportFormPosts_Click();
    // The import of mail files or folders, or of a message held in memory (a mail dropped on the
    // Drop Box): one step of the edit history, then the summary.
    void importMail(const QStringList& paths);
    void importMailBytes(const QByteArray& bytes);
    // Whether imported records start with the mail columns (a preference).
    bool mailColumns() const { return mailColumns_; }
    void setMailColumns(bool mailColumns) { mailColumns_ = mailColumns; }
    // Makes the progress report of an import: by default a dialog with Cancel once the import
    // runs longer than half a second.
    using ProgressFactory = std::function<Progress()>;
    void setImportProgressFactory(ProgressFactory factory) { makeProgress_ = std::move(factory); }

signals:
    // The Drop Box added records (after the document was marked changed).
    void formRecordsAdded(int count);

private:
    // The window's steps after the reader changed the table.
    void afterFormReader(const formreader::Outcome& outcome);
    void runMailImport(const std::function<Result<void>(formreader::MailImport& import,
                                                        const Progress& progress)>& read);

    Document& document_;
    Prompter& prompter_;
    QWidget& window_;
    CommandRegistry& commands_;
    StatusPanels& status_;
    RecordViews& views_;
    FormPanelController& formPanel_;
    DropBox& txtDrop_;
    QToolButton& cmdDownArrow_;
    QToolButton& cmdEraser_;
    QString separator_ = QStringLiteral("=");
    QString formText_;
    bool mailColumns_ = false;
    ProgressFactory makeProgress_;
};

}  // namespace pellumar
