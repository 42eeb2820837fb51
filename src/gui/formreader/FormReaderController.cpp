#include "gui/formreader/FormReaderController.h"

#include "core/document/Document.h"
#include "core/formreader/DroppedFile.h"
#include "core/formreader/FormReader.h"
#include "core/formreader/MailReader.h"
#include "core/table/TableLimits.h"
#include "gui/formreader/DropBox.h"
#include "gui/formreader/frmConvChr.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/services/CommandRegistry.h"
#include "gui/services/Prompter.h"
#include "gui/services/StatusPanels.h"

#include <QAction>
#include <QMimeData>
#include <QToolButton>

#include <new>

namespace pellumar {

FormReaderController::FormReaderController(Document& document, Prompter& prompter, QWidget& window,
                                           CommandRegistry& commands, StatusPanels& status,
                                           RecordViews& views, FormPanelController& formPanel,
                                           DropBox& txtDrop, QToolButton& cmdDownArrow,
                                           QToolButton& cmdEraser, QObject* parent)
    : QObject(parent),
      document_(document),
      prompter_(prompter),
      window_(window),
      commands_(commands),
      status_(status),
      views_(views),
      formPanel_(formPanel),
      txtDrop_(txtDrop),
      cmdDownArrow_(cmdDownArrow),
      cmdEraser_(cmdEraser) {
    commands.registerCommand(CommandId::mnuConvChr, [this] { mnuConvChr_Click(); });
    commands.registerCommand(CommandId::mnuImportFormPosts, [this] { mnuImportFormPosts_Click(); });
    connect(&txtDrop_, &DropBox::dropped, this,
            [this](const QMimeData* data) { txtDrop_OLEDragDrop(*data); });
    connect(&txtDrop_, &QPlainTextEdit::textChanged, this, [this] { txtDrop_Change(); });
    connect(&txtDrop_, &DropBox::focusGained, this, [this] { txtDrop_GotFocus(); });
    // Ctrl+X and Ctrl+V in the box are the Edit menu's Cut and Paste, which take and replace
    // its whole text.
    const auto run = [this](CommandId id) {
        if (QAction* action = commands_.action(id); action && action->isEnabled()) {
            action->trigger();
        }
    };
    connect(&txtDrop_, &DropBox::cutKeyPressed, this, [run] { run(CommandId::mnuEditCut); });
    connect(&txtDrop_, &DropBox::pasteKeyPressed, this, [run] { run(CommandId::mnuEditPaste); });
    connect(&cmdDownArrow_, &QToolButton::clicked, this, [this] { cmdDownArrow_Click(); });
    connect(&cmdEraser_, &QToolButton::clicked, this, [this] { cmdEraser_Click(); });
    txtDrop_Change();
}

void FormReaderController::setSeparator(const QString& separator) {
    separator_ = separator;
    status_.setPanelText(2, separator_);
}

void FormReaderController::afterFormReader(const formreader::Outcome& outcome) {
    if (outcome.columnLimit || outcome.rowLimit) {
        prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Drop Box"),
                         outcome.columnLimit ? tooManyColumnsMessage() : tooManyRowsMessage());
        return;
    }
    if (outcome.blankRecordsDropped) {
        document_.setNewDocument(false);
    }
    // The record and column boxes and the Form Panel's rows follow the table by themselves.
    if (outcome.newRecordRow > 0) {
        views_.fa()->setRow(outcome.newRecordRow);
    }
    formPanel_.fa_Click();
    // Records the reader added are unsaved changes like any other: Save is offered and the exit
    // prompt protects them.
    if (outcome.rowsAdded > 0) {
        document_.markChanged();
        emit formRecordsAdded(outcome.rowsAdded);
    }
}

void FormReaderController::ReadFormText() {
    if (formreader::modeFor(separator_) != formreader::Mode::FormPost) {
        AppendDelimitedRows();
        return;
    }
    if (formreader::holdsSeparator(formText_, separator_)) {
        AppendFormRecord();
        return;
    }
    prompter_.message(
        &window_, Prompter::Icon::Critical, QStringLiteral("Input error"),
        QStringLiteral("Format incompatible or not an Form Post text string.") +
            QStringLiteral("\n\r") +
            QStringLiteral("Check your separator charater setting. Make sure you highlight the "
                           "valid text area then drag to the Drop Box again. "),
        QMessageBox::Ok, QMessageBox::Ok);
}

void FormReaderController::AppendFormRecord() {
    const auto step = document_.step(QStringLiteral("Form Record"));
    const auto outcome = formreader::appendFormRecord(document_.model(), formText_, separator_,
                                                      document_.isNewDocument());
    if (!outcome.inputError) {
        afterFormReader(outcome);
    }
}

void FormReaderController::AppendDelimitedRows() {
    const QChar delimiter =
        formreader::modeFor(separator_) == formreader::Mode::CommaLines ? u',' : u'\t';
    GridModel& model = document_.model();
    const auto step = document_.step(QStringLiteral("Form Record"));
    const int rows = model.rows();
    const int cols = model.cols();
    try {
        afterFormReader(formreader::appendDelimitedRows(model, formText_, delimiter,
                                                        document_.isNewDocument()));
    } catch (const std::bad_alloc&) {
        // The records and columns added so far go again (the columns were added last).
        model.setRows(rows);
        model.setCols(cols);
        prompter_.inform(&window_, Prompter::Icon::Critical, QStringLiteral("Drop Box"),
                         QStringLiteral("There is not enough memory to add these records. "
                                        "Nothing was changed."));
    }
}

void FormReaderController::txtDrop_OLEDragDrop(const QMimeData& data) {
    txtDrop_.clear();
    // Mail dragged out of a mail program: as data, or as message and mailbox files.
    if (data.hasFormat(QStringLiteral("message/rfc822"))) {
        importMailBytes(data.data(QStringLiteral("message/rfc822")));
        return;
    }
    const QStringList files = DropBox::localFiles(&data);
    if (!files.isEmpty() && formreader::looksLikeMail(files.constFirst())) {
        importMail(files);
        return;
    }
    const QString file = DropBox::firstFile(&data);
    if (!file.isEmpty()) {
        // A file that cannot be read leaves the box empty, which the reader then refuses.
        if (const auto item = formreader::readFirstItem(file)) {
            txtDrop_.setPlainText(item.value());
        }
    } else {
        txtDrop_.setPlainText(data.text());
    }
    txtDrop_.showStart();
    formText_ = txtDrop_.toPlainText();
    ReadFormText();
}

void FormReaderController::txtDrop_Change() {
    cmdDownArrow_.setEnabled(!txtDrop_.toPlainText().isEmpty());
}

void FormReaderController::txtDrop_GotFocus() {
    txtDrop_.selectAll();
    views_.setActiveArea(ActiveArea::DropBox);
}

void FormReaderController::cmdDownArrow_Click() {
    formText_ = txtDrop_.toPlainText();
    ReadFormText();
    views_.fa()->setFocus();
}

void FormReaderController::cmdEraser_Click() {
    txtDrop_.clear();
    txtDrop_.setFocus();
}

void FormReaderController::mnuConvChr_Click() {
    // Modal to the whole program, but not a nested event loop: the dialog does its work in its
    // own OK handler and closes itself.
    auto* dialog = new frmConvChr(window_, *this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

}  // namespace pellumar
