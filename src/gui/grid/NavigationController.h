// Record navigation and row heights: the eight record buttons `imgBtn` above the Form Panel
// (delete and add a record, first, up, down and last record, taller and lower Form Panel rows)
// and Edit > "Row &Height" ("&Reset All", "&Increase", "&Decrease") on the area that had the
// focus last.
//
// Row heights belong to the grid they are set on: the Form Panel's never reach the document,
// and no row-height command marks the document modified. No command makes a row 0 twips high
// or less.
#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QAbstractButton;
class QWidget;

namespace pellumar {

class CommandRegistry;
class Document;
class FormPanelController;
class GridControl;
class RecordViews;

class NavigationController : public QObject {
    Q_OBJECT

public:
    enum RecordButton {
        DeleteRecord = 0,
        AddRecord = 1,
        FirstRecord = 2,
        UpRecord = 3,
        DownRecord = 4,
        LastRecord = 5,
        RowHeightIncrease = 6,
        RowHeightDecrease = 7,
    };
    static constexpr int kRowHeightStep = 240;  // twips

    // `buttons` are the record buttons 0 to 7; `frame` is the Form Panel's frame, over which a
    // mouse move takes the hover border off the buttons.
    NavigationController(Document& document, RecordViews& views, FormPanelController& formPanel,
                         CommandRegistry& commands, const QList<QAbstractButton*>& buttons,
                         QWidget& frame, QObject* parent = nullptr);

    void imgBtn_Click(int index);
    // The mouse moved over button `index`: it gets the hover border, the one before loses it.
    void imgBtn_MouseMove(int index);
    // The button showing the hover border, -1 for none.
    int hoveredButton() const { return hovered_; }

    // "Dlete this record" runs this (the Delete Record confirmation and the removal); with no
    // records, or no handler, the button does nothing.
    void setDeleteRecordHandler(std::function<void()> handler) {
        deleteRecord_ = std::move(handler);
    }

    void mnuRowHeightReset_Click();
    void mnuRowHeightInc_Click();
    void mnuRowHeightDec_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool hasRecords() const;
    void goToRecord(int row);
    void addRecord();
    // The grid the Edit menu's row-height commands act on.
    GridControl* rowHeightGrid() const;
    // Every selected row of `grid` taller (step > 0) or lower (step < 0) by one step.
    void changeSelectedRowHeights(GridControl* grid, int step);

    Document& document_;
    RecordViews& views_;
    GridControl* fa_;
    GridControl* fb_;
    FormPanelController& formPanel_;
    QList<QAbstractButton*> buttons_;
    QWidget& frame_;
    std::function<void()> deleteRecord_;
    int hovered_ = -1;
};

}  // namespace pellumar
