// Find: Edit, "&Find..." (Ctrl+F) and the toolbar's "Find" open the Find window modally in the
// main window's top-right corner. The search state that outlives the window (the position, whether
// the last examined cell was a hit, the pass's count) is kept here.
#pragma once

#include <QObject>
#include <QPointer>

#include "core/edit/Find.h"

class QWidget;

namespace pellumar {

class CommandRegistry;
class Prompter;
class RecordViews;
class frmSearch;

class FindController : public QObject {
    Q_OBJECT

public:
    FindController(RecordViews& views, Prompter& prompter, QWidget& window,
                   CommandRegistry& commands, QObject* parent = nullptr);

    // Opens the Find window, modal to the main window; it goes away when it is closed.
    frmSearch* mnuEditFind_Click();

    // The window while it is open.
    frmSearch* dialog() const;
    const SearchState& searchState() const { return state_; }

private:
    RecordViews& views_;
    Prompter& prompter_;
    QWidget& window_;
    SearchState state_;
    QPointer<frmSearch> dialog_;
};

}  // namespace pellumar
