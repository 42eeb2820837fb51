// Printing: File, "&Print Sheet..." (F4) opens the Print Sheet dialog and "Print &Mailing
// Labels..." (F5) the Address Labels Printing dialog, both modal to the window.
#pragma once

#include <QObject>

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

private:
    Document& document_;
    Prompter& prompter_;
    QWidget& window_;
    GridControl& fa_;
};

}  // namespace pellumar
