// Every question the program asks the user (message boxes, file, colour and print dialogs) goes
// through one Prompter, handed to the windows that ask. The program uses QtPrompter; tests hand
// in a scripted one that answers in code.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace pellumar {

class PageSource;

struct FileDialogOptions {
    QString caption;
    // Filter pairs separated by "|": "Comma Delimited Files (*.csv)|*.csv|All Files (*.*)|*.*".
    QString filter;
    QString defaultExt;   // "*.csv" or "csv"; added to a name typed without an extension
    QString initialName;  // may be a bare pattern such as "*.plm"
    QString initialDir;
    bool hideReadOnly = true;
    bool overwritePrompt = false;  // the dialog asks before a file is replaced
};

// The sources of a form-post import and whether its records start with the mail columns.
struct MailSourceChoice {
    QStringList paths;  // mailbox and message files, Maildir folders, folders of .eml files
    bool mailColumns = false;
    QString initialDir;
};

class Prompter {
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };

    virtual ~Prompter();

    virtual QMessageBox::StandardButton message(QWidget* parent, Icon icon, const QString& caption,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;
    // The chosen path, or "" when the dialog was cancelled.
    virtual QString openFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual QString saveFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    // The chosen colour, invalid when the dialog was cancelled.
    virtual QColor color(QWidget* parent, const QColor& initial) = 0;
    // Shows the print dialog for the printer; false when cancelled.
    virtual bool print(QWidget* parent, QPrinter* printer) = 0;
    // Shows the pages in a print preview, from which the user prints them. True when the user
    // chose to print: `printer` is then set up for the printer chosen, or for a PDF file
    // (output format PDF and the file's name). False when the preview was closed.
    virtual bool printPreview(QWidget* parent, const PageSource& pages, QPrinter* printer) = 0;
    // Asks the user to pick one of `items` (a list, `current` chosen at first); the index picked,
    // or -1 when the question was cancelled (as a prompter that cannot ask does).
    virtual int choice(QWidget* parent, const QString& caption, const QString& text,
                       const QStringList& items, int current) {
        Q_UNUSED(parent);
        Q_UNUSED(caption);
        Q_UNUSED(text);
        Q_UNUSED(items);
        Q_UNUSED(current);
        return -1;
    }

    // The form-post import's choice of mailboxes, message files or folders, with the mail
    // columns check box; `choice` comes in with the last settings. False when cancelled. (By
    // default nothing is chosen.)
    virtual bool chooseMailSources(QWidget* parent, MailSourceChoice& choice);
    // An OK box whose text has a list of details below it, shown on request. (By default the
    // details follow the text.)
    virtual void report(QWidget* parent, Icon icon, const QString& caption, const QString& text,
                        const QStringList& details);

    // Convenience: an OK box.
    void inform(QWidget* parent, Icon icon, const QString& caption, const QString& text) {
        message(parent, icon, caption, text, QMessageBox::Ok, QMessageBox::Ok);
    }
};

// "Desc (*.a)|*.a|All Files (*.*)|*.*" -> "Desc (*.a);;All Files (*.*)".
QString qtFileFilter(const QString& pipeFilter);
// "*.csv" or ".csv" or "csv" -> "csv".
QString bareExtension(const QString& defaultExt);

}  // namespace pellumar
