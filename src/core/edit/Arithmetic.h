// Arithmetic: the sum, the number of cells and the average of a block of a table, and the message
// that shows them.
//
// A cell adds its value when its stored text is a plain number (an optional sign, digits with an
// optional decimal point and exponent, as sorting reads numbers); dates, money texts such as "$5",
// percentages, words and empty cells add nothing but are counted all the same, so the average is
// the sum over every cell of the block. The sum is kept in double precision and the count has no
// upper limit; the message writes the values with seven significant digits.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace pellumar {

class Table;

struct BlockSum {
    double sum = 0;
    int64_t count = 0;

    // The sum over the number of cells; 0 for a block without cells.
    double average() const { return count > 0 ? sum / static_cast<double>(count) : 0.0; }
};

// The value of a cell that is a plain number (surrounding spaces allowed); nothing otherwise.
std::optional<double> cellNumber(std::string_view utf8);

// The block between rows `row1` and `row2` and columns `col1` and `col2` (either corner first),
// walked row by row from its top left; parts outside the table are left out. `tick` (when given)
// is called every few thousand cells, so that a long walk can keep the window painted.
BlockSum sumBlock(const Table& table, int row1, int col1, int row2, int col2,
                  const std::function<void()>& tick = {});

// A number in the general form: at most seven significant digits, no trailing zeros, no
// thousands separators, "." as the decimal point, and the exponent form (mantissa, "E", a sign and
// at least two digits: 1.677722E+07, 1E-05) when the decimal exponent is 7 or more or below -4.
QString generalNumber(double value);

// "Sum = ...", "Count = ..." and "Average = ..." on three lines joined by CR LF.
QString arithmeticMessage(const BlockSum& block);

}  // namespace pellumar
