#include "gui/edit/CalcController.h"

#include "core/columns/DisplayFormat.h"
#include "core/document/Document.h"
#include "core/edit/Arithmetic.h"
#include "gui/edit/LongPass.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/RecordViews.h"
#include "gui/services/CommandRegistry.h"
#include "gui/services/Prompter.h"

namespace pellumar {

CalcController::CalcController(Document& document, RecordViews& views, Prompter& prompter,
                               QWidget& window, CommandRegistry& commands, QObject* parent)
    : QObject(parent),
      document_(document),
      views_(views),
      prompter_(prompter),
      window_(window),
      commands_(commands) {
    commands_.registerCommand(CommandId::mnuEditStat, [this] { mnuEditStat_Click(); });
    commands_.registerCommand(CommandId::mnuDateTimeNow, [this] { mnuDateTimeNow_Click(); });
    connect(&views_, &RecordViews::mouseModeChanged, this, [this](bool blockMode) {
        commands_.setCommandEnabled(CommandId::mnuEditStat, blockMode);
    });
}

void CalcController::mnuEditStat_Click() {
    const GridControl* fa = views_.fa();
    BlockSum block;
    // The block from its top left, whichever corner the selection started at; the title row
    // never counts.
    if (fa->rows() > 1 && fa->cols() > 0) {
        LongPass pass;
        block = sumBlock(document_.model().table(), std::max(fa->selectionTop(), 1),
                         fa->selectionLeft(), fa->selectionBottom(), fa->selectionRight(),
                         pass.ticker());
    }
    prompter_.inform(&window_, Prompter::Icon::None, QStringLiteral("Pellumar"),
                     arithmeticMessage(block));
}

void CalcController::mnuDateTimeNow_Click() {
    const QDateTime now = clock_ ? clock_() : QDateTime::currentDateTime();
    GridModel& data = document_.model();
    const int row = views_.fa()->row();
    // The data grid's current cell, or the field the Form Panel shows (its row k + 1 shows
    // column k) in the same record; the Form Panel follows the record's cells by itself.
    const int col =
        views_.activeArea() == ActiveArea::DataGrid ? views_.fa()->col() : views_.fb()->row() - 1;
    if (row < 1 || row >= data.rows() || col < 0 || col >= data.cols()) {
        return;
    }
    const auto step = document_.step(QStringLiteral("Date-Time Stamp"));
    data.setText(
        row, col,
        data.text(row, col) + QLatin1Char(' ') + formatDateTimeStamp(now, data.colFormat(col)));
    document_.markChanged();
}

}  // namespace pellumar
