// The Print Sheet dialog: prints the record table as a sheet, all records or the selected ones,
// with the columns ticked in its column table, the titles as column headings, a page header,
// page numbers, a print scale and the orientation. "&Print && Preview" builds the sheet in its
// SheetBook and opens the print preview; the dialog stays open afterwards.
//
// After a print, the data grid's selection is what was printed and the clipboard holds the
// printed records as clip text.
#pragma once

#include <QDialog>
#include <QList>

#include "core/print/SheetBook.h"
#include "gui/print/SheetPrinting.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace pellumar {

class Document;
class GridControl;
class Prompter;
struct SheetPrintJob;

class frmPrintSheet : public QDialog {
    Q_OBJECT

public:
    // Columns of the column table `fd`.
    enum TableColumn { ColNumber = 0, ColTitle, ColPrint, TableColumns };

    frmPrintSheet(QWidget* parent, Document& document, Prompter& prompter, GridControl& fa);
    ~frmPrintSheet() override;

    // --- Controls -----------------------------------------------------------------------------
    GridControl* fd() const { return fd_; }
    QRadioButton* OpOrin(int index) const { return OpOrin_.value(index); }  // 0 Portrait
    QLineEdit* txtScale() const { return txtScale_; }
    QToolButton* UpDownColUp() const { return UpDownColUp_; }
    QToolButton* UpDownColDown() const { return UpDownColDown_; }
    QRadioButton* OpDataSource(int index) const { return OpDataSource_.value(index); }  // 0 All
    QPushButton* cmdPrint() const { return cmdPrint_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    // The sheet printed last.
    const SheetBook& f1() const { return f1_; }

    // --- Operations ---------------------------------------------------------------------------
    void cmdPrint_Click();
    void UpDownCol_DownClick();
    void UpDownCol_UpClick();
    // How the last print ended.
    PrintResult lastPrint() const { return lastPrint_; }

protected:
    bool event(QEvent* event) override;

private:
    void buildWidgets();
    void Form_Load();
    // The caption of the second Print Area option, with the number of selected rows.
    void Form_Activate();
    void fd_BeforeEdit(int row, int col, bool* cancel);
    void fd_KeyPressed(int key);
    // Selects what is printed and reads it as clip text into the job.
    void takeRecords(SheetPrintJob& job);

    Document& document_;
    Prompter& prompter_;
    GridControl& fa_;
    SheetBook f1_;
    PrintResult lastPrint_ = PrintResult::Cancelled;

    GridControl* fd_ = nullptr;
    QList<QRadioButton*> OpOrin_;
    QLineEdit* txtScale_ = nullptr;
    QToolButton* UpDownColUp_ = nullptr;
    QToolButton* UpDownColDown_ = nullptr;
    QList<QRadioButton*> OpDataSource_;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace pellumar
