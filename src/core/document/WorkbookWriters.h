// The two workbook writers behind saveWorkbook (Workbook.h).
#pragma once

#include "core/document/FileResult.h"
#include "core/table/Table.h"

namespace pellumar::workbook {

Result<void> saveXlsx(const Table& table, const QString& path);
Result<void> saveOds(const Table& table, const QString& path);

}  // namespace pellumar::workbook
