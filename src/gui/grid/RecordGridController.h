// The data grid as the document's record table: its empty-document settings (`SetDefaults`), the
// Edit menu that follows the focus (`UpdateEditMenu`), and the grid's reactions to edits,
// sorting, column drags, navigation keys, the right button and the selection.
#pragma once

#include <QObject>

#include <optional>

#include "core/table/EditRecorder.h"

namespace pellumar {

class CommandRegistry;
class Document;
class FormPanelController;
class GridControl;
class RecordViews;
class StatusPanels;

class RecordGridController : public QObject {
    Q_OBJECT

public:
    RecordGridController(Document& document, RecordViews& views, FormPanelController& formPanel,
                         CommandRegistry& commands, StatusPanels& status,
                         QObject* parent = nullptr);

    // The data grid's and the Form Panel's settings for an empty document.
    void SetDefaults();
    // Shows or hides the Edit menu's table commands by the area that had the focus last.
    void UpdateEditMenu();

private:
    void fa_GotFocus();
    void fb_GotFocus();
    void fa_AfterEdit(int row, int col);
    void fa_BeforeSort();
    void fa_AfterSort(int col, int order);
    void fa_AfterMoveColumn();
    void fa_KeyPressed(int key);
    void fa_MouseUp(Qt::MouseButton button, QPoint pos);
    void fb_MouseUp(Qt::MouseButton button, QPoint pos);
    void fa_SelChange();

    Document& document_;
    RecordViews& views_;
    GridControl* fa_;
    GridControl* fb_;
    FormPanelController& formPanel_;
    CommandRegistry& commands_;
    StatusPanels& status_;
    // Open from just before a sort by a title click to just after it.
    std::optional<EditRecorder::Step> sortStep_;
};

}  // namespace pellumar
