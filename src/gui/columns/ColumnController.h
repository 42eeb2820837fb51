// Column attributes: Edit, "Column A&ttributes..." opens the Column Define dialog for the data
// grid's current column, Tools, "&Column Define..." (F9) for every column.
#pragma once

#include <QObject>

class QLineEdit;
class QWidget;

namespace pellumar {

class CommandRegistry;
class Document;
class FormPanelController;
class GridControl;
class Prompter;
class frmColDef;

class ColumnController : public QObject {
    Q_OBJECT

public:
    ColumnController(Document& document, Prompter& prompter, QWidget& window,
                     CommandRegistry& commands, GridControl& fa, FormPanelController& formPanel,
                     QLineEdit& mainColumnBox, QObject* parent = nullptr);

    // Opens the dialog, modal to the window; it goes away when it is closed. Nothing opens
    // for a table without columns.
    frmColDef* mnuEditColAttr_Click();
    frmColDef* mnuColDef_Click();

private:
    frmColDef* openColumnDefine(bool oneColumn);

    Document& document_;
    Prompter& prompter_;
    QWidget& window_;
    GridControl& fa_;
    FormPanelController& formPanel_;
    QLineEdit& mainColumnBox_;
};

}  // namespace pellumar
