// What the Print Sheet and Address Labels Printing dialogs share: the records they print from
// the data grid's selection, the caption of their "Selected rows" option, and the look of their
// small tables.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class QGroupBox;
class QRadioButton;
class QWidget;

namespace pellumar {

class GridControl;

// The data grid's selected records (table rows), in order: the rows of the selection, or the
// rows listed in Row mode.
std::vector<int> selectedRecords(const GridControl& fa);
// Selects every record and every column.
void selectAllRecords(GridControl& fa);
// "Slected rows (3)".
QString selectedRowsCaption(const GridControl& fa);

// A frame of option buttons named `name` + index, the one at `checked` chosen; the buttons are
// added to `options`.
QGroupBox* optionGroup(QWidget* parent, const QString& title, const QStringList& texts,
                       const QString& name, int checked, QList<QRadioButton*>& options);
// The "Print Area" frame: "All" and "Selected rows only", the second chosen.
QGroupBox* printAreaGroup(QWidget* parent, QList<QRadioButton*>& options);

// Row 0 of a dialog table: bold white headings on green, centred.
void styleHeadingRow(GridControl& grid);
// The check box of a cell ticked or not, and inverted (Space on a check-box cell).
bool isTicked(const GridControl& grid, int row, int col);
void toggleTick(GridControl& grid, int row, int col);

}  // namespace pellumar
