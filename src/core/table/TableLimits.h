// The limits of a table. They are one set for the table and for the file forms: every way of
// growing a table (loads, the Drop Box, Append, inserting columns) stops at them, and the loaders
// refuse files that go past them, so every table the program can hold saves into files that it
// opens again.
#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>

namespace pellumar {

// The most columns a table can have.
constexpr int kMaxColumns = 65536;
// The most rows a table can have, its title row included.
constexpr int kMaxRows = std::numeric_limits<int>::max() - 1;

// True when `more` columns (or rows) can be added to a table that has `count`.
constexpr bool columnsFit(qint64 count, qint64 more) {
    return more <= 0 || count + more <= kMaxColumns;
}
constexpr bool rowsFit(qint64 count, qint64 more) {
    return more <= 0 || count + more <= kMaxRows;
}

// What the user is told when a command would take a table past its limits; nothing was changed.
QString tooManyColumnsMessage();
QString tooManyRowsMessage();

// A count with its thousands grouped: "65,536".
QString groupedNumber(qint64 n);

}  // namespace pellumar
