// The Address Labels Printing dialog: one mailing label per record, composed in a pattern table
// of five lines (each up to three columns joined by separators), previewed for the first record
// by "&Sample" and printed three or two across on label sheets by "&Print && Preview".
//
// Besides the pattern, "Skip incompleted address" leaves out records whose address lacks a ticked
// line, "Print on the 4th line" prints the country name on the line after the last ticked one,
// and the font size box sets the size the labels print in (10, or 16 for "2 x 5", as the format
// is chosen).
//
// The letter formats print a sheet of cells (f1); the A4 formats print label by label where the
// sheet's labels lie, and say afterwards how many lines did not fit. "Start at label" leaves the
// first labels of the first sheet empty; the calibration offsets move everything printed on a
// label sheet, and "&Test sheet" prints every label's outline with its number. The format, start
// label and offsets are the program's label settings, kept between sessions.
#pragma once

#include <QDialog>
#include <QList>

#include "core/print/AddressLabels.h"
#include "core/print/SheetBook.h"
#include "gui/print/SheetPrinting.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace pellumar {

class Document;
class GridControl;
class Prompter;

class frmReportOptions : public QDialog {
    Q_OBJECT

public:
    // Columns of the pattern table `fd`; rows 1 to 5 are the label lines.
    enum PatternColumn {
        ColLine = 0,
        ColUsed,
        ColFirst,
        ColSeparator1,
        ColSecond,
        ColSeparator2,
        ColThird,
        PatternColumns
    };

    // `settings` are the label settings the dialog starts from and keeps up to date.
    frmReportOptions(QWidget* parent, Document& document, Prompter& prompter, GridControl& fa,
                     LabelSettings& settings);
    ~frmReportOptions() override;

    // --- Controls -----------------------------------------------------------------------------
    GridControl* fd() const { return fd_; }
    QPushButton* cmdSample() const { return cmdSample_; }
    QLabel* lbSample(int index) const { return lbSample_.value(index); }  // 0 to 4
    QPushButton* cmdReset() const { return cmdReset_; }
    QComboBox* cboLabelFormat() const { return cboLabelFormat_; }
    QLabel* imgFormat(int index) const { return imgFormat_.value(index); }  // the sheet pictures
    QRadioButton* OpDataSource(int index) const { return OpDataSource_.value(index); }  // 0 All
    QPushButton* cmdPrint() const { return cmdPrint_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QCheckBox* chkSkip() const { return chkSkip_; }
    QLineEdit* txtCountry() const { return txtCountry_; }
    QCheckBox* chkCountry() const { return chkCountry_; }
    QSpinBox* txtFontSize() const { return txtFontSize_; }
    QSpinBox* spnStartLabel() const { return spnStartLabel_; }
    QDoubleSpinBox* txtOffsetX() const { return txtOffsetX_; }  // millimetres
    QDoubleSpinBox* txtOffsetY() const { return txtOffsetY_; }
    QPushButton* cmdTestSheet() const { return cmdTestSheet_; }
    // The sheet printed last.
    const SheetBook& f1() const { return f1_; }

    // --- Operations ---------------------------------------------------------------------------
    void cmdReset_Click();
    void cmdSample_Click();
    void cmdPrint_Click();
    void cboLabelFormat_Click();
    void cmdTestSheet_Click();
    // The chosen format; line i's pattern (1 to 5) as the table reads now, and the whole job
    // without its records.
    LabelFormat labelFormat() const;
    LinePattern linePattern(int line) const;
    LabelJob labelJob() const;
    // The list a cell of `fd` offers before it is edited ("" for none).
    QString listFor(int col) const;
    PrintResult lastPrint() const { return lastPrint_; }

protected:
    bool event(QEvent* event) override;

private:
    void buildWidgets();
    void Form_Load();
    void Form_Activate();
    void setUpTable();
    void fd_BeforeEdit(int row, int col, bool* cancel);
    void fd_Click();
    void fd_KeyPressed(int key);
    QWidget* buildCalibration();
    void applySettings();
    void keepSettings();
    void noteLinesThatDidNotFit(int cut, int leftOut);

    Document& document_;
    Prompter& prompter_;
    GridControl& fa_;
    LabelSettings& settings_;
    SheetBook f1_;
    PrintResult lastPrint_ = PrintResult::Cancelled;

    GridControl* fd_ = nullptr;
    QPushButton* cmdSample_ = nullptr;
    QList<QLabel*> lbSample_;
    QPushButton* cmdReset_ = nullptr;
    QComboBox* cboLabelFormat_ = nullptr;
    QList<QLabel*> imgFormat_;
    QList<QRadioButton*> OpDataSource_;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QCheckBox* chkSkip_ = nullptr;
    QGroupBox* fraCountry_ = nullptr;
    QLineEdit* txtCountry_ = nullptr;
    QCheckBox* chkCountry_ = nullptr;
    QSpinBox* txtFontSize_ = nullptr;
    QSpinBox* spnStartLabel_ = nullptr;
    QDoubleSpinBox* txtOffsetX_ = nullptr;
    QDoubleSpinBox* txtOffsetY_ = nullptr;
    QPushButton* cmdTestSheet_ = nullptr;
    bool loading_ = true;  // the controls are being set from the settings
};

}  // namespace pellumar
