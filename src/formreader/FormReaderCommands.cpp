// The Drop Box and the separator setting: the main window's side of the form reader.
#include "app/Prompter.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "formreader/DropBox.h"
#include "formreader/DroppedFile.h"
#include "formreader/FormReader.h"
#include "formreader/frmConvChr.h"

#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>

namespace pellumar {

namespace {

// The window's steps after the reader changed the data grid: the counts in the Row Col Control,
// the Form Panel's size and titles, and the document's state.
void afterFormReader(frmMain& w, const formreader::Outcome& outcome) {
    if (outcome.blankRecordsDropped) {
        w.IsNewDocument = false;
        w.txtRow->setText(QStringLiteral("0"));
    }
    if (outcome.rowsAdded > 0) {
        w.txtRow->setText(QString::number(w.fa->rows() - 1));
    }
    if (outcome.columnsAdded > 0) {
        w.txtCol->setText(QString::number(w.fa->cols()));
        w.IsTitleChanged = true;
    }
    w.fb->setRows(w.fa->cols() + 1);
    if (outcome.newRecordRow > 0) {
        w.fa->setRow(outcome.newRecordRow);
    }
    w.fa_Click();
    // Records the reader added are unsaved changes like any other: Save is offered and the
    // exit prompt protects them.
    if (outcome.rowsAdded > 0 && !w.IsModified) {
        w.MakeModified(true);
    }
}

}  // namespace

void frmMain::registerFormReaderCommands() {
    registerCommand(QStringLiteral("mnuConvChr"), [this] { mnuConvChr_Click(); });
    connect(txtDrop, &DropBox::dropped, this,
            [this](const QMimeData* data) { txtDrop_OLEDragDrop(*data); });
    connect(txtDrop, &QPlainTextEdit::textChanged, this, [this] { txtDrop_Change(); });
    connect(txtDrop, &DropBox::focusGained, this, [this] { txtDrop_GotFocus(); });
    connect(cmdDownArrow, &QToolButton::clicked, this, [this] { cmdDownArrow_Click(); });
    connect(cmdEraser, &QToolButton::clicked, this, [this] { cmdEraser_Click(); });
    txtDrop_Change();
}

void frmMain::ReadFormText() {
    if (formreader::modeFor(modMain::ConvertionChr) != formreader::Mode::FormPost) {
        AppendDelimitedRows();
        return;
    }
    if (formreader::holdsSeparator(FormText, modMain::ConvertionChr)) {
        AppendFormRecord();
        return;
    }
    prompter().message(
        this, Prompter::Icon::Critical, QStringLiteral("Input error"),
        QStringLiteral("Format incompatible or not an Form Post text string.") +
            QStringLiteral("\n\r") +
            QStringLiteral("Check your separator charater setting. Make sure you highlight the "
                           "valid text area then drag to the Drop Box again. "),
        QMessageBox::Ok, QMessageBox::Ok);
}

void frmMain::AppendFormRecord() {
    const auto outcome =
        formreader::appendFormRecord(*fa->grid(), FormText, modMain::ConvertionChr, IsNewDocument);
    if (!outcome.inputError) {
        afterFormReader(*this, outcome);
    }
}

void frmMain::AppendDelimitedRows() {
    const QChar delimiter =
        formreader::modeFor(modMain::ConvertionChr) == formreader::Mode::CommaLines ? u',' : u'\t';
    afterFormReader(
        *this, formreader::appendDelimitedRows(*fa->grid(), FormText, delimiter, IsNewDocument));
}

void frmMain::txtDrop_OLEDragDrop(const QMimeData& data) {
    txtDrop->clear();
    const QString file = DropBox::firstFile(&data);
    if (!file.isEmpty()) {
        // A file that cannot be read leaves the box empty, which the reader then refuses.
        if (const auto item = formreader::readFirstItem(file)) {
            txtDrop->setPlainText(item.value());
        }
    } else {
        txtDrop->setPlainText(data.text());
    }
    FormText = txtDrop->toPlainText();
    ReadFormText();
}

void frmMain::txtDrop_Change() {
    cmdDownArrow->setEnabled(!txtDrop->toPlainText().isEmpty());
}

void frmMain::txtDrop_GotFocus() {
    txtDrop->selectAll();
    ActiveArea = 4;
}

void frmMain::cmdDownArrow_Click() {
    FormText = txtDrop->toPlainText();
    ReadFormText();
    fa->setFocus();
}

void frmMain::cmdEraser_Click() {
    txtDrop->clear();
    txtDrop->setFocus();
}

void frmMain::mnuConvChr_Click() {
    // Modal to the whole program, but not a nested event loop: the dialog does its work in
    // its own OK handler and closes itself.
    auto* dialog = new frmConvChr(*this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

}  // namespace pellumar
