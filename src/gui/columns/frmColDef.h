// The Column Define dialog: the titles and attributes of the table's columns in one grid, one row
// per column, applied to the data grid by "&OK".
//
// It opens for the data grid's current column only (Edit, "Column A&ttributes...") or for every
// column (Tools, "&Column Define..."); "&All Cols" turns the first mode into the second. With all
// columns the user may also change the number of columns and add, insert or delete definitions.
// Definitions move, cells never do: "&OK" writes definition k onto column k, and a table that
// ends up with fewer columns loses the last ones (the dialog asks first when they hold data).
//
// The dialog acts on the document and its data grid; it is created for one opening. Its grid and
// buttons are public so that tests can drive it without showing it.
#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace pellumar {

class Document;
class FormPanelController;
class GridControl;
class Prompter;

class frmColDef : public QDialog {
    Q_OBJECT

public:
    // Columns of the definition grid `fd`.
    enum DefinitionColumn {
        ColNumber = 0,
        ColTitle,
        ColDataType,
        ColFormat,
        ColAlignment,
        ColHide,
        ColComboList,
        DefinitionColumns
    };

    // `fa` is the data grid showing the document; `mainColumnBox` the main window's column box,
    // which the Columns spinner writes at once.
    frmColDef(QWidget* parent, Document& document, Prompter& prompter, GridControl& fa,
              FormPanelController& formPanel, QLineEdit& mainColumnBox, bool oneColumn);
    ~frmColDef() override;

    // True while the dialog defines the data grid's current column only.
    bool bOneCol = false;

    // --- Controls -----------------------------------------------------------------------------
    GridControl* fd = nullptr;     // the definitions; row 0 holds the headings
    QLineEdit* txtCol = nullptr;   // the Columns box
    QWidget* UpDownCol = nullptr;  // its spinner
    QToolButton* UpDownColUp = nullptr;
    QToolButton* UpDownColDown = nullptr;
    QList<QToolButton*> cmdCol;  // 0 Add, 1 Insert, 2 Delete Column
    QLabel* Label1 = nullptr;    // the warning shown once definitions are moved
    QList<QPushButton*> cmdBtn;  // 0 "&OK", 1 "&Cancel", 2 "&All Cols"

    // --- Operations ---------------------------------------------------------------------------
    void cmdBtn_Click(int index);
    void cmdCol_Click(int index);
    void UpDownCol_DownClick();
    void UpDownCol_UpClick();
    // The list offered for a cell of `fd` before it is edited ("" for a plain text box).
    QString listFor(int row, int col) const;

private:
    void buildWidgets();
    void setUpGrid();
    void Form_Load();
    void fillAllColumns();
    // Row `row` of `fd` shows table column `col`.
    void showColumn(int row, int col);
    // A new definition: type "Text", alignment "Left".
    void newDefinition(int row);
    void setNumber(int row);
    void renumber();
    void definitionsChanged();
    void placeControls();
    void spin(int step);

    void fd_BeforeEdit(int row, int col, bool* cancel);
    void fd_AfterEdit(int row, int col);
    void fd_Click();
    void fd_KeyPressed(int key);

    // Applies the definitions to the table; false when the user kept the dialog open instead.
    bool applyDefinitions();
    // Writes definition `row` onto table column `col`.
    void applyDefinition(int row, int col);
    // False when the user keeps columns that would be dropped with their data.
    bool confirmDroppedColumns(int newCols);

    Document& document_;
    Prompter& prompter_;
    GridControl& fa_;
    FormPanelController& formPanel_;
    QLineEdit& mainColumnBox_;
    QLabel* columnsLabel_ = nullptr;
    int currentCol_ = 0;  // the data grid's column defined in one-column mode
};

}  // namespace pellumar
