// The text form of a block of cells: the cells of a row joined by tabs, the rows by line breaks.
//
// A cell holding a tab, a line break or a leading double quote is written in double quotes with
// its quotes doubled, as spreadsheets do, so that a block read out and written back to a block of
// the same size is reproduced exactly. A single line break at the end of a text ends its last row
// and does not start an empty one; a line feed, a carriage return and both together each end a
// row.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace pellumar {

class Table;

using ClipRows = std::vector<QStringList>;

// Told now and then how far a long clip operation has got (work done, whole work); it may let
// the window paint, but the operation goes on to its end.
using ClipProgress = std::function<void(qint64 done, qint64 total)>;

QString joinClip(const Table& table, int row1, int col1, int row2, int col2,
                 const ClipProgress& progress = {});
// The clip text of the listed rows (ascending) one after another, columns col1 to col2; rows
// outside the table are skipped.
QString joinClipRows(const Table& table, std::span<const int> rows, int col1, int col2,
                     const ClipProgress& progress = {});
ClipRows splitClip(QStringView text);

// Reads a clip text (UTF-8) cell by cell without keeping it: cell(row, col, text) for every cell
// of the first maxRows rows that lies in the first maxCols columns, in order. Reading stops
// after row maxRows - 1, so a huge text costs only what the block takes. Gives the number of rows
// read.
int readClip(std::string_view text, int maxRows, int maxCols,
             const std::function<void(int row, int col, std::string_view text)>& cell,
             const ClipProgress& progress = {});

}  // namespace pellumar
