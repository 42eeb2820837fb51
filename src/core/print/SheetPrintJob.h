// What "&Print && Preview" of the Print Sheet dialog puts into the sheet: the dialog gathers the
// columns, the records as clip text and its settings into a SheetPrintJob, and fillPrintSheet
// builds the sheet from it (widths, headings, header, the pasted records, check boxes,
// alignment, print area, scale and orientation).
#pragma once

#include <QString>

#include <vector>

namespace pellumar {

class SheetBook;

struct PrintSheetColumn {
    QString title;
    int width = 0;          // the data grid's width, twips
    bool checkbox = false;  // data type Checkbox: printed as check boxes
    bool print = true;      // its "Print" box is ticked
};

struct SheetPrintJob {
    std::vector<PrintSheetColumn> columns;  // every data column, in order
    QString clipText;                       // the records printed
    int firstColumn = 0;                    // the data column of the clip text's first cell
    int records = 0;                        // the records in the clip text
    QString scaleText;  // as typed; a text that is no number leaves the scale as it was
    bool landscape = false;
};

// Printed column widths are the data grid's, times 1.2.
int printedColumnWidth(int gridWidth);
// The page header of a printed sheet.
QString printSheetHeader();
// A check-box cell printed ticked: a non-zero number or "True".
bool isTrueValue(const QString& text);

void fillPrintSheet(SheetBook& f1, const SheetPrintJob& job);

}  // namespace pellumar
