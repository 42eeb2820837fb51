#include "gui/edit/EditController.h"

#include "core/document/Document.h"
#include "core/document/FileResult.h"
#include "core/table/TableLimits.h"
#include "gui/edit/EditProgress.h"
#include "gui/edit/frmDelDialog.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/services/CommandRegistry.h"
#include "gui/services/Prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include <algorithm>
#include <limits>

namespace pellumar {

namespace {

// The longest text Paste puts into the Drop Box (a form's text is a few hundred characters).
constexpr int kDropBoxMaxChars = 1 << 20;

QString number(int n) {
    return QLocale(QLocale::English).toString(n);
}

}  // namespace

EditController::EditController(Document& document, Prompter& prompter, QWidget& window,
                               CommandRegistry& commands, RecordViews& views,
                               FormPanelController& formPanel, QPlainTextEdit& txtDrop,
                               QObject* parent)
    : QObject(parent),
      document_(document),
      prompter_(prompter),
      window_(window),
      views_(views),
      formPanel_(formPanel),
      txtDrop_(txtDrop) {
    commands.registerCommand(CommandId::mnuEditCut, [this] { mnuEditCut_Click(); });
    commands.registerCommand(CommandId::mnuEditCopy, [this] { mnuEditCopy_Click(); });
    commands.registerCommand(CommandId::mnuEditPaste, [this] { mnuEditPaste_Click(); });
    commands.registerCommand(CommandId::mnuSelectAll, [this] { mnuSelectAll_Click(); });
    commands.registerCommand(CommandId::mnuAddRow, [this] { mnuAddRow_Click(); });
    commands.registerCommand(CommandId::mnuInsertRow, [this] { mnuInsertRow_Click(); });
    commands.registerCommand(CommandId::mnuInsertCol, [this] { mnuInsertCol_Click(); });
    commands.registerCommand(CommandId::mnuDeleteRow, [this] { mnuDeleteRow_Click(); });
    commands.registerCommand(CommandId::mnuDeleteCol, [this] { mnuDeleteCol_Click(); });
    commands.registerCommand(CommandId::mnuMoveUp, [this] { mnuMoveUp_Click(); });
    commands.registerCommand(CommandId::mnuMoveDown, [this] { mnuMoveDown_Click(); });
}

EditController::~EditController() = default;

GridControl& EditController::fa() const {
    return *views_.fa();
}

int EditController::records() const {
    return document_.recordCount();
}

bool EditController::blockMode() const {
    return views_.isBlockMode();
}

int EditController::currentRecord() const {
    if (records() == 0) {
        return 0;
    }
    return std::clamp(fa().row(), 1, records());
}

void EditController::selectCell(int row, int col) {
    if (records() > 0 && document_.model().cols() > 0) {
        fa().select(std::clamp(row, 1, records()),
                    std::clamp(col, 0, document_.model().cols() - 1));
    }
}

QString EditController::clipboardText() {
    return QGuiApplication::clipboard()->text();
}

void EditController::putOnClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

// --- The clipboard ------------------------------------------------------------------------------

void EditController::mnuEditCopy_Click() {
    switch (views_.activeArea()) {
        case ActiveArea::DataGrid: {
            EditProgress progress(window_, QStringLiteral("Copying..."));
            putOnClipboard(fa().clip(progress.report()));
            break;
        }
        case ActiveArea::FormPanel:
            putOnClipboard(views_.fb()->clip());
            break;
        case ActiveArea::DropBox: {
            // The selected part of the Drop Box's text, or all of it when nothing is selected.
            const QTextCursor cursor = txtDrop_.textCursor();
            putOnClipboard(cursor.hasSelection() ? cursor.selection().toPlainText()
                                                 : txtDrop_.toPlainText());
            break;
        }
        case ActiveArea::None:
            QGuiApplication::clipboard()->clear();
            break;
    }
}

void EditController::mnuEditCut_Click() {
    if (views_.activeArea() == ActiveArea::DropBox) {
        putOnClipboard(txtDrop_.toPlainText());
        txtDrop_.clear();
        return;
    }
    if (views_.activeArea() != ActiveArea::DataGrid || records() == 0 ||
        !fa().currentIndex().isValid()) {
        return;
    }
    const auto step = document_.step(QStringLiteral("Cut"));
    // The text is on the clipboard before any cell is emptied.
    EditProgress progress(window_, QStringLiteral("Cutting..."));
    putOnClipboard(fa().clip(progress.report()));
    GridModel& model = document_.model();
    if (fa().hasRowList()) {
        model.clearTextsOfRows(fa().selectedRowList(), 0, model.cols() - 1);
    } else {
        model.setBlockText(fa().selectionTop(), fa().selectionLeft(), fa().selectionBottom(),
                           fa().selectionRight(), QString());
    }
    document_.markChanged();
}

void EditController::mnuEditPaste_Click() {
    if (views_.activeArea() == ActiveArea::DropBox) {
        pasteIntoDropBox(clipboardText());
        return;
    }
    if (views_.activeArea() != ActiveArea::DataGrid || records() == 0 ||
        !fa().currentIndex().isValid()) {
        return;
    }
    // A clipboard without text leaves the table as it is.
    const QString text = clipboardText();
    if (text.isEmpty()) {
        return;
    }
    GridModel& model = document_.model();
    int top = fa().selectionTop();
    int bottom = fa().selectionBottom();
    int left = fa().selectionLeft();
    int right = fa().selectionRight();
    if (!blockMode()) {
        left = 0;
        right = model.cols() - 1;
        if (fa().hasRowList()) {
            // Records picked one by one are no block to fill: the text goes into the records
            // from the current one downward, as many as it holds.
            top = currentRecord();
            bottom = records();
        }
    }
    const auto step = document_.step(QStringLiteral("Paste"));
    EditProgress progress(window_, QStringLiteral("Pasting..."));
    model.setClipText(top, left, bottom, right, text, progress.report());
    document_.markChanged();
}

void EditController::pasteIntoDropBox(const QString& text) {
    // The box lays out every line of its text: a text of many megabytes would keep the window
    // busy for minutes. Such a text belongs in a file.
    if (text.size() > kDropBoxMaxChars) {
        prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Pellumar"),
                         QStringLiteral("The clipboard holds %1 characters; the Drop Box takes up "
                                        "to %2. Open a longer text as a comma or tab "
                                        "delimited file instead.")
                             .arg(number(static_cast<int>(std::min<qsizetype>(
                                      text.size(), std::numeric_limits<int>::max()))),
                                  number(kDropBoxMaxChars)));
        return;
    }
    txtDrop_.setPlainText(text);
}

void EditController::mnuSelectAll_Click() {
    if (records() > 0 && document_.model().cols() > 0) {
        fa().select(1, 0, records(), document_.model().cols() - 1);
    }
    views_.setActiveArea(ActiveArea::DataGrid);
}

// --- Records and columns ------------------------------------------------------------------------

bool EditController::refuseMoreRecords() {
    if (document_.model().canAddRows(1)) {
        return false;
    }
    prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Pellumar"),
                     tooManyRowsMessage());
    return true;
}

bool EditController::refuseMoreColumns() {
    if (document_.model().canAddColumns(1)) {
        return false;
    }
    prompter_.inform(&window_, Prompter::Icon::Exclamation, QStringLiteral("Pellumar"),
                     tooManyColumnsMessage());
    return true;
}

void EditController::mnuAddRow_Click() {
    if (refuseMoreRecords()) {
        return;
    }
    GridModel& model = document_.model();
    const auto step = document_.step(QStringLiteral("Add Row"));
    model.insertRowsAt(model.rows(), 1);
    document_.markChanged();
}

void EditController::mnuInsertRow_Click() {
    if (refuseMoreRecords()) {
        return;
    }
    // The new empty record takes the current record's place and becomes the current record.
    const int row = records() > 0 ? currentRecord() : 1;
    const int col = fa().col();
    const auto step = document_.step(QStringLiteral("Insert Row"));
    document_.model().insertRowsAt(row, 1);
    selectCell(row, col);
    formPanel_.fa_Click();
    document_.markChanged();
}

void EditController::mnuInsertCol_Click() {
    if (refuseMoreColumns()) {
        return;
    }
    GridModel& model = document_.model();
    const int col = std::clamp(fa().col(), 0, model.cols());
    const int row = fa().row();
    const auto step = document_.step(QStringLiteral("Insert Column"));
    QStringList lists = document_.comboLists();
    lists.resize(model.cols());
    lists.insert(col, QString());
    model.insertColumnsAt(col, 1);
    document_.setComboLists(lists);
    if (document_.lastSortCol() >= col) {
        document_.setLastSortCol(document_.lastSortCol() + 1);
    }
    selectCell(row, col);
    formPanel_.setTitleChanged(true);
    formPanel_.fa_Click();
    document_.markChanged();
}

void EditController::mnuDeleteCol_Click() {
    GridModel& model = document_.model();
    // The last column stays: a table keeps at least one column, as the column count box does.
    if (model.cols() <= 1) {
        QApplication::beep();
        return;
    }
    const int col = std::clamp(fa().col(), 0, model.cols() - 1);
    const int row = fa().row();
    const auto step = document_.step(QStringLiteral("Delete Column"));
    QStringList lists = document_.comboLists();
    lists.resize(model.cols());
    lists.removeAt(col);
    model.removeColumnsAt(col, 1);
    document_.setComboLists(lists);
    if (document_.lastSortCol() > col) {
        document_.setLastSortCol(document_.lastSortCol() - 1);
    } else if (document_.lastSortCol() == col) {
        document_.setLastSortCol(0);  // its arrow went with the column
    }
    selectCell(row, std::min(col, model.cols() - 1));
    formPanel_.setTitleChanged(true);
    formPanel_.fa_Click();
    document_.markChanged();
}

void EditController::mnuDeleteRow_Click() {
    if (records() == 0) {
        return;
    }
    std::vector<int> rows = fa().selectedRowList();
    if (rows.empty()) {
        rows.push_back(currentRecord());
    }
    const int first = rows.front();
    const int col = fa().col();
    // One batch whatever the rows: removing them one by one from the last would give the same
    // table at a cost that grows with the square of their number.
    const auto step = document_.step(QStringLiteral("Delete Rows"));
    document_.model().removeRowSet(std::move(rows));
    selectCell(first, col);
    formPanel_.fa_Click();
    document_.markChanged();
}

void EditController::moveBlock(int step) {
    GridModel& model = document_.model();
    // The block of whole records from the current row to the selection's end, top first however
    // it was selected.
    const int top = fa().selectionTop();
    const int bottom = fa().selectionBottom();
    const bool room = step < 0 ? top >= 2 : bottom < model.rows() - 1;
    if (records() == 0 || !fa().currentIndex().isValid() || top < 1 || !room) {
        return;
    }
    {
        // The moved records' text goes on the clipboard, as it always has.
        EditProgress progress(window_, QStringLiteral("Moving..."));
        putOnClipboard(model.clipText(top, 0, bottom, model.cols() - 1, progress.report()));
    }
    // Only texts move: the record next to the block takes its place at the other end, and cell
    // styles and row heights stay where they are.
    if (step < 0) {
        model.moveRowTexts(top - 1, 1, bottom);
    } else {
        model.moveRowTexts(bottom + 1, 1, top);
    }
    fa().select(top + step, 0, bottom + step, model.cols() - 1);
}

void EditController::mnuMoveUp_Click() {
    const auto step = document_.step(QStringLiteral("Move Up"));
    moveBlock(-1);
    document_.markChanged();
}

void EditController::mnuMoveDown_Click() {
    const auto step = document_.step(QStringLiteral("Move Down"));
    moveBlock(1);
    document_.markChanged();
}

// --- Delete Record ------------------------------------------------------------------------------

frmDelDialog& EditController::delDialog() {
    if (!delDialog_) {
        delDialog_ = new frmDelDialog(window_, *this);
        delDialog_->setWindowModality(Qt::WindowModal);
        connect(delDialog_, &QDialog::finished, this, &EditController::afterDeleteDialog);
    }
    return *delDialog_;
}

void EditController::removeCurrentRecord() {
    const int row = currentRecord();
    const int col = fa().col();
    const auto step = document_.step(QStringLiteral("Delete Record"));
    document_.model().removeRow(row);
    selectCell(row, col);
}

void EditController::deleteCurrentRecordAsked() {
    if (records() == 0) {
        return;  // no record to delete
    }
    frmDelDialog& dialog = delDialog();
    if (dialog.isVisible()) {
        return;
    }
    if (!dialog.chkAskDel()->isChecked()) {
        dialog.open();  // goes on in afterDeleteDialog
        return;
    }
    removeCurrentRecord();
    document_.markChanged();
    formPanel_.fa_Click();
    fa().setFocus();
}

void EditController::deleteCurrentRecord() {
    if (records() == 0) {
        return;
    }
    removeCurrentRecord();
    formPanel_.fa_Click();
    document_.MakeModified(true);
}

void EditController::afterDeleteDialog() {
    if (deleteCancelled_) {
        deleteCancelled_ = false;
        return;
    }
    formPanel_.fa_Click();
    fa().setFocus();
}

}  // namespace pellumar
