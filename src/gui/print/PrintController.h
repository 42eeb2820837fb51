// Printing: File, "&Print Sheet..." (F4) opens the Print Sheet dialog and "Print &Mailing
// Labels..." (F5) the Address Labels Printing dialog, both modal to the window.
#pragma once

#include <QObject>

#include "core/print/LabelSheet.h"

class QWidget;

namespace pellumar {

class CommandRegistry;
class Document;
class GridControl;
class Prompter;
class frmPrintSheet;
class frmReportOptions;

class PrintController : public QObject {
    Q_OBJECT

public:
    PrintController(Document& document, Prompter& prompter, QWidget& window,
                    CommandRegistry& commands, GridControl& fa, QObject* parent = nullptr);

    // Opens the dialog, modal to the window; it goes away when it is closed.
    frmPrintSheet* mnuPrintSheet_Click();
    frmReportOptions* mnuPrintLabels_Click();

    // The label format, start label and calibration offsets, kept while the program runs; the
    // window reads them from the preferences at start-up and writes them back at exit.
    const LabelSettings& labelSettings() const { return labelSettings_; }
    void setLabelSettings(const LabelSettings& settings) {
        labelSettings_ = boundedLabelSettings(settings);
    }

private:
    Document& document_;
    Prompter& prompter_;
    QWidget& window_;
    GridControl& fa_;
    LabelSettings labelSettings_;
};

}  // namespace pellumar
