// The form reader: turns the text of a submitted web form ("Name=Ann" lines) into a new record of
// the data grid, or comma or tab lines into one record each. It changes the table only through
// the grid's model and tells the caller what it did, so that the window can refresh and report.
//
// Line ends are a carriage return and line feed pair or a line feed alone: form posts come with
// the pair, text pasted on Linux or macOS or dropped from a browser often with line feeds only.
#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace pellumar {

class GridModel;

namespace formreader {

// At most this many name/value pairs are read from one form text; further lines are ignored.
constexpr int kMaxPairs = 201;

// The separator setting of a new installation.
inline QString defaultSeparator() {
    return QStringLiteral("=");
}

// How the separator setting reads the text: "CV" comma lines, "TB" tab lines, anything else is
// the separator between a name and its value.
enum class Mode { FormPost, CommaLines, TabLines };
Mode modeFor(const QString& separator);

// True when a form text holds the separator (case-sensitive). The empty separator separates
// nothing and is never found.
bool holdsSeparator(QStringView text, const QString& separator);

struct Outcome {
    bool inputError = false;           // form text without the separator: nothing was changed
    bool blankRecordsDropped = false;  // the new document's blank records were deleted
    int rowsAdded = 0;
    int columnsAdded = 0;
    int newRecordRow = -1;  // a form record: its row
    // Refused, nothing changed: the text would take the table past its limits
    // (tooManyColumnsMessage, tooManyRowsMessage).
    bool columnLimit = false;
    bool rowLimit = false;
};

// One name and its value, as a form text or a mail body carries them.
struct Pair {
    QString name;
    QString value;
};
using Pairs = std::vector<Pair>;

// The pairs of a form text, read by the rules of appendFormRecord below (at most kMaxPairs;
// a pair of an empty name and value stays in the list, holding its place). None when the text
// does not hold the separator.
Pairs readPairs(QStringView text, const QString& separator);

// Adds the form text as one record at the bottom of the table. Each name is matched against the
// column titles: the column at the pair's own position when its title is the name, else the
// last column at or after that position bearing it, else a new column inserted at the position.
// Names are compared exactly; an empty name fills the column at its position and never makes a
// column. A value runs from one character after the separator's first character to the line end,
// so it keeps further separators. A line without the separator continues the value before it,
// after a line feed (a text area's lines, as browsers post them); lines before the first pair
// are skipped, and empty lines at the end of the text add nothing. With `isNewDocument` the
// blank records go first (the title row and the columns stay). A form that would take the table
// past its limits changes nothing.
Outcome appendFormRecord(GridModel& grid, QStringView text, const QString& separator,
                         bool isNewDocument);

// Adds one record of the pairs, by the rules above: pair i is matched from column i on. The first
// `leadingByTitle` pairs (a mail's own columns) are matched by title alone: the first column
// bearing the name, else a new column at the pair's position; when they then stand first in the
// table the other pairs follow them, else the other pairs are matched as if they came first.
Outcome appendPairsRecord(GridModel& grid, const Pairs& pairs, bool isNewDocument,
                          int leadingByTitle = 0);

// Adds one record per line of comma or tab separated fields (no quoting). The table is first
// widened to the first line's field count; fields beyond the last column are dropped. Titles are
// not touched. Lines that would take the table past its limits change nothing.
Outcome appendDelimitedRows(GridModel& grid, QStringView text, QChar delimiter, bool isNewDocument);

// The text without its trailing spaces (other white space stays).
QStringView withoutTrailingSpaces(QStringView text);

}  // namespace formreader
}  // namespace pellumar
