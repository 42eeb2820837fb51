// The number formats of an .xlsx's cell styles (styles.xml), as the sheet reader needs them.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "core/document/WorkbookValues.h"

namespace pellumar::workbook {

// A cell style's number format: its code, the shape of value it shows (a number, a date, a
// date-time, a time) and the kind of number (percent, money) it makes.
struct CellFormat {
    QString code;
    ValueShape shape = ValueShape::Number;
    CellKind numberKind = CellKind::Number;
};

// The cell styles (cellXfs) of styles.xml in order, at most 65,536 of them.
std::vector<CellFormat> readXlsxStyles(const QByteArray& bytes);

}  // namespace pellumar::workbook
