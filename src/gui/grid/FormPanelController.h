// The Form Panel: the data grid's current record as a form of title/value rows, and the refresh
// `fa_Click` that keeps it, the toolbar's style buttons and the position panel in step.
//
// The panel follows the document: its rows follow the column count, its titles are read again
// after columns were added, removed, moved or retitled, the position panel follows the record
// count and the current record, and the values follow the current record, however it moved,
// and every change of its cells. A closed panel keeps its last content. Edits of a value are
// written into the data grid's current record; the panel's own styles and row heights never
// reach the document.
#pragma once

#include <QObject>

namespace pellumar {

class CommandRegistry;
class Document;
class GridControl;
class RecordViews;
class StatusPanels;

// Bold, italic and underline of a cell as last shown on the toolbar.
struct StyleFlags {
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

class FormPanelController : public QObject {
    Q_OBJECT

public:
    // `frame` is the Form Panel's frame (`TabStrip1`): the panel counts as closed while it is
    // hidden.
    FormPanelController(Document& document, RecordViews& views, QWidget& frame,
                        CommandRegistry& commands, StatusPanels& status, QObject* parent = nullptr);

    // The panel's shape and its heading "Column" / "Value".
    void SetupFormPanel();
    // Copies the data grid's titles into the title column.
    void FillFormPanelTitles();
    // The refresh: style buttons, the position panel and, while it is open, the Form Panel.
    void fa_Click();
    // The position panel alone: current record, " / ", record count.
    void showPosition();

    bool isOpen() const;

    // Whether the title column has been filled, and whether the titles changed since; the next
    // refresh reads them again when either says so.
    bool IsFbCol0Populated() const { return titlesFilled_; }
    void setFbCol0Populated(bool filled) { titlesFilled_ = filled; }
    bool IsTitleChanged() const { return titleChanged_; }
    void setTitleChanged(bool changed) { titleChanged_ = changed; }

    // `IsFaBold`, `IsFaItalic`, `IsFaUnderline` (the data grid's current cell) and `IsFbBold`,
    // `IsFbItalic`, `IsFbUnderline` (the Form Panel's current value cell).
    StyleFlags faStyle() const { return faStyle_; }
    void setFaStyle(StyleFlags flags) { faStyle_ = flags; }
    StyleFlags fbStyle() const { return fbStyle_; }
    void setFbStyle(StyleFlags flags) { fbStyle_ = flags; }
    // Shows flags on the toolbar's "Bold", "Italic" and "Underline" buttons.
    void showStyleButtons(StyleFlags flags);

private:
    void followModel();
    void fb_Click();
    void fb_AfterEdit(int row, int col);
    // Writes the value cell of data column `col` for record `row`.
    void showValue(int row, int col);
    void columnsChanged();
    void recordsChanged();
    void cellsChanged(int top, int left, int bottom, int right);

    Document& document_;
    RecordViews& views_;
    GridControl* fa_;
    GridControl* fb_;
    QWidget& frame_;
    CommandRegistry& commands_;
    StatusPanels& status_;
    bool titlesFilled_ = false;
    bool titleChanged_ = false;
    StyleFlags faStyle_;
    StyleFlags fbStyle_;
    int shownRow_ = -1;         // the record the values show
    bool writingBack_ = false;  // a Form Panel edit is being written into the data grid
};

}  // namespace pellumar
