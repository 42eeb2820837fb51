// Spreadsheet workbooks as file forms: Office Open XML workbooks (.xlsx) and OpenDocument
// spreadsheets (.ods), read into a table and written from one.
//
// Reading takes one sheet (the first, or one named or numbered), its first row as the titles.
// Strings come as they are (rich-text runs joined, line breaks as LF); numbers as the shortest
// text that reads back as the same number (plain decimals from 1E-4 to below 1E+15, "1.5E+20"
// outside); dates and date-times (number cells with a date format, date values) as "2024-03-14"
// and "2024-03-14 13:05:09", times alone as "13:05:09"; booleans as TRUE and FALSE; error values
// as their text; formulas as their last computed value (a formula without one is left empty and
// counted in one warning); merged cells keep their value in the top-left cell. Empty rows and
// columns inside the sheet stay, trailing ones are dropped. Each column gets the type its cells
// call for, the closest display format of the program's lists, and the sheet's width.
//
// Files that are not workbooks, damaged zips, workbooks protected by a password, old binary .xls
// files and parts that inflate beyond 200 times their size or 4 GB are refused with a message
// that says which (see WorkbookPackage.h). Memory: the table's cells, the shared strings, and a
// few MB for the parts being read.
//
// Writing keeps each column's type: numbers, dates and booleans as such with a number format
// translated from the column's display format, anything else as text; a bold and frozen title
// row, column widths, hidden columns, alignment and cell styles. A table beyond the form's
// limits is refused before anything is written. Saves replace the file in one step.
#pragma once

#include <QString>
#include <QStringList>

#include "core/document/FileResult.h"
#include "core/document/WorkbookPackage.h"
#include "core/table/Table.h"

namespace pellumar {

using WorkbookKind = workbook::Kind;

struct WorkbookLoad {
    Table table;
    QStringList warnings;  // said to the user once the table is shown
};

// The names of the workbook's sheets, in order.
Result<QStringList> workbookSheetNames(const QString& path, WorkbookKind kind);

// Loads one sheet: `sheet` empty for the first, else a sheet's name, or its number from 1 when no
// sheet bears that name. `memoryLimit` as for the other loads (0: most of the free memory).
Result<WorkbookLoad> loadWorkbook(const QString& path, WorkbookKind kind, const QString& sheet = {},
                                  const Progress& progress = {}, quint64 memoryLimit = 0);

// The most rows (title row included) and columns a sheet holds, and the longest text of an
// .xlsx cell.
constexpr int kSheetMaxRows = 1048576;
constexpr int kSheetMaxColumns = 16384;
constexpr int kXlsxMaxText = 32767;

// Saves the table as one sheet named "Sheet1", replacing the file in one step.
Result<void> saveWorkbook(const Table& table, const QString& path, WorkbookKind kind);

}  // namespace pellumar
