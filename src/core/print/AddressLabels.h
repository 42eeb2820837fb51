// Mailing labels: the label pattern (up to five lines, each up to three columns joined by
// separators), the text of a label line, and the label sheet the Address Labels Printing dialog
// prints for the letter formats: labels three or two across, six sheet rows a label (five lines
// and a blank row), one sheet cell a line. The A4 formats are painted label by label where the
// sheet's labels lie (gui/print/LabelPages).
//
// Beyond the pattern, a LabelJob can leave out records whose address is incomplete, print a
// country name on the line after the last used one, print in another font size (on the letter
// formats rows grow with a larger font so that nothing is cut), start at a later label of the
// first sheet and move everything by a calibration offset.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

#include "core/print/LabelSheet.h"

namespace pellumar {

class SheetBook;
class Table;

constexpr int kLabelLines = 5;
constexpr int kRowsPerLabel = 6;

// The separator names offered in the pattern table and the texts they stand for; any other
// name (two spaces, an empty cell, a typed text) stands for nothing.
QString SeparatorText(const QString& name);
QString separatorList();

// The data column titled exactly `text` (case-sensitive, the first one from column 0), or -1.
int TitleColumnIndex(const Table& table, const QString& text);

// One line of the label: the columns (-1 for none) and the separators between them.
struct LinePattern {
    int col1 = -1;
    int col2 = -1;
    int col3 = -1;
    QString sep1;
    QString sep2;

    bool operator==(const LinePattern&) const = default;
};

// The line's text for the record in table row `row`, from the stored cell texts: nothing without
// a first column; the first column alone without a second; the three joined by the separators
// otherwise. Empty cells are joined as they are.
QString LabelLineText(const Table& table, int row, const LinePattern& pattern);

// The font and size each format prints in unless another size is chosen.
QString labelFontName(LabelFormat format);
int labelFontSize(LabelFormat format);
// The row height a format prints at with a font size: the format's own, or, when the font needs
// more, the smallest height that keeps whole labels on a page.
int labelRowHeight(LabelFormat format, double fontSize);

struct LabelJob {
    LabelFormat format = LabelFormat::ThreeByTen;
    std::array<bool, kLabelLines> ticked{};
    std::array<LinePattern, kLabelLines> lines;  // unticked lines have the empty pattern
    std::vector<int> records;                    // table rows, in the order printed
    bool skipIncomplete = false;
    bool printCountry = false;
    QString country;
    double fontSize = 10;
    int startLabel = 1;  // the first label of the first sheet that is printed on
    QPointF offset;      // millimetres, right and down
};

// A record is incomplete when a ticked line that reads at least one column would read only
// empty (or blank) cells: it would print nothing but separators.
bool isIncompleteAddress(const Table& table, int row, const LabelJob& job);
// The line (1 to 5) the country name goes on, 0 for none: the one after the last ticked line.
int countryLine(const LabelJob& job);
// The records labelled, after leaving out the incomplete ones when asked.
std::vector<int> labelRecords(const Table& table, const LabelJob& job);
// The five lines of one record's label, country included.
QStringList labelText(const Table& table, int row, const LabelJob& job);

// Builds the label sheet of a letter format: cleared, margins (moved by the offset), font and row
// heights, sheet size, print area, column widths, the labels (the first sheet's labels before the
// start label left empty), page set-up.
void fillLabelSheet(SheetBook& f1, const Table& table, const LabelJob& job);

}  // namespace pellumar
