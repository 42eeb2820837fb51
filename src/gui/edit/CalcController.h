// Two small cell commands: Edit, "A&rithmetic" (Shift+F2) shows the sum, the number of cells and
// the average of the data grid's selected block and changes nothing; Tools, "DateTime Stamp Now"
// (F3) appends the date and time, in the column's display format, to the current cell of the area
// that had the focus last (the data grid, or the field the Form Panel shows).
//
// Arithmetic is offered in Block mode: switching to Block mode enables it and switching to Row
// mode disables it, as the data grid's right button does.
#pragma once

#include <QDateTime>
#include <QObject>

#include <functional>

class QWidget;

namespace pellumar {

class CommandRegistry;
class Document;
class Prompter;
class RecordViews;

class CalcController : public QObject {
    Q_OBJECT

public:
    CalcController(Document& document, RecordViews& views, Prompter& prompter, QWidget& window,
                   CommandRegistry& commands, QObject* parent = nullptr);

    void mnuEditStat_Click();
    void mnuDateTimeNow_Click();

    // The clock the stamp reads; the local date and time unless set (tests set their own).
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

private:
    Document& document_;
    RecordViews& views_;
    Prompter& prompter_;
    QWidget& window_;
    CommandRegistry& commands_;
    std::function<QDateTime()> clock_;
};

}  // namespace pellumar
