// The text form of a block of cells: the cells of a row joined by tabs, the rows by line breaks.
//
// A cell holding a tab, a line break or a leading double quote is written in double quotes with
// its quotes doubled, as spreadsheets do, so that a block read out and written back to a block of
// the same size is reproduced exactly. A single line break at the end of a text ends its last row
// and does not start an empty one.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace pellumar {

class Table;

using ClipRows = std::vector<QStringList>;

QString joinClip(const Table& table, int row1, int col1, int row2, int col2);
ClipRows splitClip(QStringView text);

}  // namespace pellumar
