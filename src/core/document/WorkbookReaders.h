// The two workbook readers behind loadWorkbook (Workbook.h), on a package already opened.
#pragma once

#include "core/document/Workbook.h"
#include "core/document/WorkbookPackage.h"

namespace pellumar::workbook {

Result<QStringList> xlsxSheetNames(Package& package);
Result<WorkbookLoad> loadXlsx(Package& package, const QString& sheet, const Progress& progress,
                              quint64 memoryLimit);

Result<QStringList> odsSheetNames(Package& package);
Result<WorkbookLoad> loadOds(Package& package, const QString& sheet, const Progress& progress,
                             quint64 memoryLimit);

}  // namespace pellumar::workbook
