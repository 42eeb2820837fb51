// The Find window "Search": a text to look for in the data grid, one hit per "&Find Next" (or
// Enter), each hit made the grid's current cell, and the end of a pass reported in a message.
//
// The window is made for one opening; the search position and the pass's count live in the
// SearchState it is given, which outlives it. While it is active the data grid selects free
// blocks, so that a hit shows as one cell; closing it selects the last hit (the whole record in
// Row mode, the cell in Block mode) and, in Row mode, gives the grid whole-row selection back.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pellumar {

class Prompter;
class RecordViews;
class SearchState;

class frmSearch : public QDialog {
    Q_OBJECT

public:
    frmSearch(QWidget* parent, RecordViews& views, Prompter& prompter, SearchState& state);

    // --- Controls
    // ---------------------------------------------------------------------------------
    QLineEdit* txtSearched() const { return txtSearched_; }
    QPushButton* cmdNext() const { return cmdNext_; }
    QPushButton* cmdClose() const { return cmdClose_; }
    QCheckBox* chkMatchCase() const { return chkMatchCase_; }
    QCheckBox* chkFromBeginning() const { return chkFromBeginning_; }

    // --- Operations
    // ------------------------------------------------------------------------------- One Find Next
    // step.
    void cmdNext_Click();
    // The close step, then the window closes.
    void cmdClose_Click();
    // The window became active: the data grid selects free blocks.
    void Form_Activate();

    // Runs the close step once, whichever way the window is closed (button, close box, Escape).
    void done(int result) override;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void txtSearched_Change();
    void closeStep();

    RecordViews& views_;
    Prompter& prompter_;
    SearchState& state_;
    QLineEdit* txtSearched_ = nullptr;
    QPushButton* cmdNext_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    QCheckBox* chkMatchCase_ = nullptr;
    QCheckBox* chkFromBeginning_ = nullptr;
    QLabel* lblEnter_ = nullptr;
    bool closed_ = false;
};

}  // namespace pellumar
