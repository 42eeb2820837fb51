// The Form Reader's mail: File > Import Form Posts... and mail dropped on the Drop Box. The
// messages are read first (the table untouched, the user may cancel), then added as records in
// one step of the edit history, and a summary says what happened.
#include "gui/formreader/FormReaderController.h"

#include "core/document/Document.h"
#include "core/formreader/MailImport.h"
#include "core/table/TableLimits.h"
#include "gui/services/ProgressDialog.h"
#include "gui/services/Prompter.h"

#include <QCoreApplication>
#include <QWidget>

#include <memory>
#include <new>

namespace pellumar {

namespace {

const QString kCaption = QStringLiteral("Import Form Posts");

// The part `from` to `to` (of 1000) of a progress that runs over two passes.
Progress part(const Progress& whole, qint64 from, qint64 to) {
    if (!whole) {
        return {};
    }
    return [=](qint64 done, qint64 total) {
        const qint64 at = total > 0 ? from + (to - from) * std::min(done, total) / total : from;
        return whole(at, 1000);
    };
}

}  // namespace

void FormReaderController::mnuImportFormPosts_Click() {
    MailSourceChoice choice;
    choice.mailColumns = mailColumns_;
    choice.initialDir = document_.lastOpenPath();
    if (!prompter_.chooseMailSources(&window_, choice) || choice.paths.isEmpty()) {
        return;
    }
    mailColumns_ = choice.mailColumns;
    importMail(choice.paths);
}

void FormReaderController::importMail(const QStringList& paths) {
    runMailImport([&](formreader::MailImport& import, const Progress& progress) {
        return import.read(paths, progress);
    });
}

void FormReaderController::importMailBytes(const QByteArray& bytes) {
    runMailImport([&](formreader::MailImport& import, const Progress&) -> Result<void> {
        import.readBytes(bytes);
        if (import.summary().messages == 0) {
            return FileError{FileError::Reason::NotOurs,
                             QStringLiteral("No messages were found in what was dropped.")};
        }
        return {};
    });
}

void FormReaderController::runMailImport(
    const std::function<Result<void>(formreader::MailImport&, const Progress&)>& read) {
    const Progress progress =
        makeProgress_
            ? makeProgress_()
            : delayedProgress(&window_, QStringLiteral("Reading the form posts..."), kCaption);
    formreader::MailImport import(separator_, mailColumns_);
    formreader::Outcome outcome;
    try {
        import.knowMessageIds(document_.model());
        if (const auto done = read(import, part(progress, 0, 900)); !done) {
            if (done.error().reason != FileError::Reason::Cancelled) {
                prompter_.inform(&window_, Prompter::Icon::Critical, kCaption, done.message());
            }
            return;
        }
        const auto step = document_.step(kCaption);
        outcome =
            import.apply(document_.model(), document_.isNewDocument(), part(progress, 900, 1000));
    } catch (const std::bad_alloc&) {
        prompter_.inform(&window_, Prompter::Icon::Critical, kCaption,
                         QStringLiteral("There is not enough memory to import these messages. "
                                        "Nothing was changed."));
        return;
    }
    if (progress) {
        progress(1000, 1000);  // the dialog goes
    }
    if (import.cancelled()) {
        return;
    }
    if (outcome.columnLimit || outcome.rowLimit) {
        prompter_.inform(&window_, Prompter::Icon::Exclamation, kCaption,
                         outcome.columnLimit ? tooManyColumnsMessage() : tooManyRowsMessage());
        return;
    }
    afterFormReader(outcome);
    const formreader::MailSummary& summary = import.summary();
    prompter_.report(&window_, Prompter::Icon::Information, kCaption, summary.text(),
                     summary.details());
}

}  // namespace pellumar
