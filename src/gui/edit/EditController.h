// Editing the table: the clipboard commands (Cut, Copy, Paste, Select All), which act on the area
// that last had the keyboard focus, and the record and column commands of the data grid (Add Row,
// Insert Row and Column, Delete Rows and Column, Move Up and Down), with the Delete Record dialog
// behind the record button "Dlete this record".
//
// Each command changes the table through one operation of the document's model, so the views
// (the record and column boxes, the Form Panel, the status panels) follow by themselves.
#pragma once

#include <QObject>

#include <vector>

class QPlainTextEdit;
class QWidget;

namespace pellumar {

class CommandRegistry;
class Document;
class FormPanelController;
class GridControl;
class Prompter;
class RecordViews;
class frmDelDialog;

class EditController : public QObject {
    Q_OBJECT

public:
    EditController(Document& document, Prompter& prompter, QWidget& window,
                   CommandRegistry& commands, RecordViews& views, FormPanelController& formPanel,
                   QPlainTextEdit& txtDrop, QObject* parent = nullptr);
    ~EditController() override;

    // --- The clipboard (plain text) -------------------------------------------------------------
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuSelectAll_Click();

    // --- Records and columns of the data grid ---------------------------------------------------
    void mnuAddRow_Click();
    void mnuInsertRow_Click();
    void mnuInsertCol_Click();
    void mnuDeleteRow_Click();
    void mnuDeleteCol_Click();
    void mnuMoveUp_Click();
    void mnuMoveDown_Click();

    // --- The record button "Dlete this record" --------------------------------------------------
    // Asks with the Delete Record dialog (modal to the window, without blocking) unless its
    // "Do not ask me next time" is ticked, then removes the current record; afterwards the Form
    // Panel is refreshed and the data grid gets the focus. A cancelled question changes nothing.
    void deleteCurrentRecordAsked();
    // The dialog, made on first use and kept hidden between uses.
    frmDelDialog& delDialog();
    // The delete-cancelled flag: set by the dialog's No and Cancel, cleared by the caller once
    // it has read it.
    bool deleteCancelled() const { return deleteCancelled_; }
    void setDeleteCancelled(bool cancelled) { deleteCancelled_ = cancelled; }
    // The dialog's Yes: removes the data grid's current record, refreshes and marks the document
    // modified.
    void deleteCurrentRecord();

private:
    GridControl& fa() const;
    int records() const;
    bool blockMode() const;
    // The current record, or 0 when the table has none.
    int currentRecord() const;
    // Makes (row, col) current: the whole record in Row mode, the cell in Block mode.
    void selectCell(int row, int col);
    void removeCurrentRecord();
    void afterDeleteDialog();
    // Tells the user that the table cannot grow further; true when it cannot.
    bool refuseMoreColumns();
    bool refuseMoreRecords();
    // The clipboard's text and putting a text on it.
    static QString clipboardText();
    static void putOnClipboard(const QString& text);
    void pasteIntoDropBox(const QString& text);
    // Moves the texts of the records above or below the selected block past it (step -1 or 1).
    void moveBlock(int step);

    Document& document_;
    Prompter& prompter_;
    QWidget& window_;
    RecordViews& views_;
    FormPanelController& formPanel_;
    QPlainTextEdit& txtDrop_;
    frmDelDialog* delDialog_ = nullptr;
    bool deleteCancelled_ = false;
};

}  // namespace pellumar
