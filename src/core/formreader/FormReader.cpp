#include "core/formreader/FormReader.h"

#include "core/grid/GridModel.h"

#include <string_view>

namespace pellumar::formreader {

namespace {

// Where the first line of `text` ends: the start of its line break and the break's length
// (2 for a carriage return and line feed, 1 for a line feed alone); {-1, 0} without one.
struct LineEnd {
    qsizetype at = -1;
    qsizetype length = 0;
};

LineEnd findLineEnd(QStringView text) {
    const qsizetype lf = text.indexOf(u'\n');
    if (lf < 0) {
        return {};
    }
    if (lf > 0 && text[lf - 1] == u'\r') {
        return {lf - 1, 2};
    }
    return {lf, 1};
}

// Deletes the blank records of a new document: only the title row stays, with the columns.
void dropBlankRecords(GridModel& grid, Outcome& out) {
    grid.setRows(1);
    out.blankRecordsDropped = true;
}

// The column a name fills in a record being read, pair `i`: see appendFormRecord.
int targetColumn(GridModel& grid, int i, const QString& name, Outcome& out) {
    if (name.isEmpty()) {
        return i;
    }
    const QByteArray wanted = name.toUtf8();
    const std::string_view key(wanted.constData(), static_cast<size_t>(wanted.size()));
    const Table& table = grid.table();
    const int cols = grid.cols();
    if (i < cols && table.utf8(0, i) == key) {
        return i;
    }
    for (int c = cols - 1; c > i; --c) {
        if (table.utf8(0, c) == key) {
            return c;
        }
    }
    // No column bears the name: a new one, moved from the end to the pair's position. A pair
    // beyond the last column (after empty names past it) keeps the new column last.
    if (!grid.setCols(cols + 1)) {
        out.columnLimit = true;  // only ever on a dry run (see appendFormRecord)
        return i;
    }
    const int at = std::min(i, cols);
    grid.moveColumn(cols, at);
    grid.setText(0, at, name);
    ++out.columnsAdded;
    return at;
}

Outcome addPairsRecord(GridModel& grid, const Pairs& pairs, bool isNewDocument, int leading);

// The column of a pair matched by title alone, pair `k`: the first column bearing the name, else
// a new one at the pair's position.
int titleColumn(GridModel& grid, int k, const QString& name, Outcome& out) {
    const QByteArray wanted = name.toUtf8();
    const std::string_view key(wanted.constData(), static_cast<size_t>(wanted.size()));
    const int cols = grid.cols();
    for (int c = 0; c < cols; ++c) {
        if (grid.table().utf8(0, c) == key) {
            return c;
        }
    }
    return targetColumn(grid, std::min(k, cols), name, out);
}

// Whether a record would take the table past its column limit: a dry run on a copy of the title
// row alone.
bool passesColumnLimit(const GridModel& grid, const Pairs& pairs, int leading) {
    Table titles(1, grid.cols());
    for (int c = 0; c < grid.cols(); ++c) {
        titles.setUtf8(0, c, grid.table().utf8(0, c));
    }
    GridModel dry;
    dry.replaceTable(std::move(titles));
    return addPairsRecord(dry, pairs, false, leading).columnLimit;
}

}  // namespace

Mode modeFor(const QString& separator) {
    if (separator == u"CV") {
        return Mode::CommaLines;
    }
    if (separator == u"TB") {
        return Mode::TabLines;
    }
    return Mode::FormPost;
}

bool holdsSeparator(QStringView text, const QString& separator) {
    return !separator.isEmpty() && text.contains(separator, Qt::CaseSensitive);
}

QStringView withoutTrailingSpaces(QStringView text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') {
        --n;
    }
    return text.first(n);
}

Pairs readPairs(QStringView text, const QString& separator) {
    Pairs pairs;
    if (!holdsSeparator(text, separator)) {
        return pairs;
    }
    QStringView rest = withoutTrailingSpaces(text);
    // One pair a line: the name runs to the line's first separator, the value from one character
    // after the separator's first character to the line end. A line without the separator
    // continues the value of the pair before it (browsers post a text area's line breaks as they
    // are), joined with a line feed; such lines before the first pair are skipped. Empty lines at
    // the very end add nothing.
    while (rest.endsWith(u'\n')) {
        rest.chop(rest.endsWith(u"\r\n") ? 2 : 1);
    }
    while (!rest.isEmpty()) {
        const LineEnd e = findLineEnd(rest);
        const QStringView line = e.at < 0 ? rest : rest.first(e.at);
        rest = e.at < 0 ? QStringView() : rest.sliced(e.at + e.length);
        const qsizetype p = line.indexOf(separator, 0, Qt::CaseSensitive);
        if (p < 0) {
            if (!pairs.empty()) {
                pairs.back().value += u'\n';
                pairs.back().value += line;
            }
            continue;
        }
        if (pairs.size() == size_t{kMaxPairs}) {
            break;  // further pairs are ignored
        }
        pairs.push_back({line.first(p).toString(), line.sliced(p + 1).toString()});
    }
    return pairs;
}

Outcome appendFormRecord(GridModel& grid, QStringView text, const QString& separator,
                         bool isNewDocument) {
    if (!holdsSeparator(text, separator)) {
        Outcome out;
        out.inputError = true;
        return out;
    }
    return appendPairsRecord(grid, readPairs(text, separator), isNewDocument);
}

Outcome appendPairsRecord(GridModel& grid, const Pairs& pairs, bool isNewDocument,
                          int leadingByTitle) {
    // A record adds at most one column a pair: only near the limit is it tried out first.
    Outcome refused;
    if (!grid.canAddColumns(static_cast<qint64>(pairs.size())) &&
        passesColumnLimit(grid, pairs, leadingByTitle)) {
        refused.columnLimit = true;
        return refused;
    }
    if (!isNewDocument && !grid.canAddRows(1)) {
        refused.rowLimit = true;
        return refused;
    }
    return addPairsRecord(grid, pairs, isNewDocument, leadingByTitle);
}

namespace {

Outcome addPairsRecord(GridModel& grid, const Pairs& pairs, bool isNewDocument, int leading) {
    Outcome out;
    if (isNewDocument) {
        dropBlankRecords(grid, out);
    }
    const int row = std::max(grid.rows(), 1);  // below the title row
    grid.setRows(row + 1);
    out.rowsAdded = 1;
    out.newRecordRow = row;
    // The leading pairs go to the columns bearing their names wherever they are. When they then
    // stand first in the table, the pairs after them are matched from the column after them on.
    leading = std::clamp(leading, 0, static_cast<int>(pairs.size()));
    bool leadingFirst = true;
    for (int k = 0; k < leading; ++k) {
        const int col = titleColumn(grid, k, pairs[static_cast<size_t>(k)].name, out);
        leadingFirst = leadingFirst && col == k;
        if (!out.columnLimit) {
            grid.setText(row, col, pairs[static_cast<size_t>(k)].value);
        }
    }
    const int shift = leadingFirst ? 0 : leading;
    for (size_t i = static_cast<size_t>(leading); i < pairs.size(); ++i) {
        const Pair& pair = pairs[i];
        // A pair of an empty name and value adds nothing (and so cannot empty a cell an earlier
        // pair filled), but takes its place in the count.
        if (pair.name.isEmpty() && pair.value.isEmpty()) {
            continue;
        }
        const int col = targetColumn(grid, static_cast<int>(i) - shift, pair.name, out);
        if (!out.columnLimit) {
            grid.setText(row, col, pair.value);  // ignored beyond the last column
        }
    }
    return out;
}

}  // namespace

Outcome appendDelimitedRows(GridModel& grid, QStringView text, QChar delimiter,
                            bool isNewDocument) {
    Outcome out;
    {
        // Lines that would take the table past its limits change nothing.
        const QStringView all = withoutTrailingSpaces(text);
        const LineEnd end = findLineEnd(all);
        const qint64 fields = (end.at < 0 ? all : all.first(end.at)).count(delimiter) + 1;
        const qint64 lines = all.isEmpty() ? 0 : all.count(u'\n') + 1;
        out.columnLimit = !all.isEmpty() && !grid.canAddColumns(fields - grid.cols());
        out.rowLimit = !rowsFit(isNewDocument ? 1 : std::max(grid.rows(), 1), lines);
        if (out.columnLimit || out.rowLimit) {
            return out;
        }
    }
    if (isNewDocument) {
        dropBlankRecords(grid, out);
    }
    QStringView rest = withoutTrailingSpaces(text);
    if (rest.isEmpty()) {
        return out;
    }
    // The table is as wide as the first line's fields.
    const LineEnd first = findLineEnd(rest);
    const QStringView firstLine = first.at < 0 ? rest : rest.first(first.at);
    const int fields = static_cast<int>(firstLine.count(delimiter)) + 1;
    if (grid.cols() < fields) {
        out.columnsAdded = fields - grid.cols();
        grid.setCols(fields);
    }
    if (grid.rows() < 1) {
        grid.setRows(1);  // the title row
    }
    while (!rest.isEmpty()) {
        const LineEnd e = findLineEnd(rest);
        const QStringView line = e.at < 0 ? rest : rest.first(e.at);
        rest = e.at < 0 ? QStringView() : rest.sliced(e.at + e.length);
        const int row = grid.rows();
        grid.setRows(row + 1);
        ++out.rowsAdded;
        const int cols = grid.cols();
        int col = 0;
        for (const QStringView field : line.tokenize(delimiter)) {
            if (col >= cols) {
                break;  // fields beyond the last column are dropped
            }
            grid.setText(row, col++, field.toString());
        }
    }
    return out;
}

}  // namespace pellumar::formreader
