// A check of a workbook written by libxlsxwriter before it is copied to its place: the parts a
// workbook needs are there, every part inflates with its check sum right, the others than the
// sheet are whole XML, and the sheet holds every row written and ends as a sheet ends.
// (libxlsxwriter does not check the writes of its temporary files, so a disk that fills while it
// works gives a sheet with rows missing and no error.)
#pragma once

#include <QString>

namespace pellumar::workbook {

// `rows`: the rows holding a cell that went into the sheet.
bool xlsxIsWhole(const QString& path, qint64 rows);

}  // namespace pellumar::workbook
