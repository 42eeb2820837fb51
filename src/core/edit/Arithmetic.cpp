#include "core/edit/Arithmetic.h"

#include "core/columns/CellValue.h"
#include "core/table/Table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace pellumar {

namespace {

// Cells walked between two calls of the walk's tick, and cells read at a time.
constexpr int kTickCells = 1 << 16;
constexpr int kBatchCells = 4096;

constexpr std::array<double, 23> kPowersOfTen{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<double> cellNumber(std::string_view s) {
    if (s.empty()) {
        return std::nullopt;
    }
    const char first = s.front();
    if (!isDigit(first) && first != '-' && first != '+' && first != '.' && first != ' ' &&
        first != '\t') {
        return std::nullopt;  // words, "$5", "(5)": not plain numbers
    }
    // The common forms, "-123" and "1234.56", read directly: a whole number of at most 18
    // digits below 2^53 over a power of ten up to 10^22 are both exact, so their quotient is the
    // correctly rounded value, the same as the full reader gives.
    size_t i = first == '-' || first == '+' ? 1 : 0;
    uint64_t mantissa = 0;
    int intDigits = 0;
    int fracDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++intDigits) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(s[i] - '0');
        if (intDigits >= 18) {
            return parseNumber(s);
        }
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++fracDigits) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(s[i] - '0');
            if (intDigits + fracDigits >= 18) {
                return parseNumber(s);
            }
        }
        if (fracDigits == 0) {
            return parseNumber(s);  // "5." and the like: the full reader decides
        }
    }
    if (i != s.size() && std::string_view("eE+-. \t").find(s[i]) == std::string_view::npos) {
        return std::nullopt;  // "03/14/2024", "12%", "1,234": no number has such a character
    }
    if (i != s.size() || intDigits == 0 || mantissa > (uint64_t(1) << 53) ||
        fracDigits >= static_cast<int>(kPowersOfTen.size())) {
        return parseNumber(s);  // exponents, spaces, ".5", long digit strings
    }
    const double value =
        static_cast<double>(mantissa) / kPowersOfTen[static_cast<size_t>(fracDigits)];
    return first == '-' ? -value : value;
}

BlockSum sumBlock(const Table& table, int row1, int col1, int row2, int col2,
                  const std::function<void()>& tick) {
    const int top = std::max(std::min(row1, row2), 0);
    const int bottom = std::min(std::max(row1, row2), table.rowCount() - 1);
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table.columnCount() - 1);
    BlockSum block;
    if (top > bottom || left > right) {
        return block;
    }
    block.count = int64_t(bottom - top + 1) * int64_t(right - left + 1);
    // Rows are walked in order, their texts read a batch of rows at a time, column by column.
    const int width = right - left + 1;
    const int batchRows = std::max(1, kBatchCells / width);
    std::vector<std::string_view> cells(static_cast<size_t>(batchRows) * size_t(width));
    int untilTick = kTickCells;
    for (int first = top; first <= bottom; first += batchRows) {
        const int count = std::min(batchRows, bottom - first + 1);
        for (int k = 0; k < width; ++k) {
            table.columnUtf8(left + k, first,
                             {cells.data() + size_t(k) * size_t(batchRows), size_t(count)});
        }
        for (int i = 0; i < count; ++i) {
            for (int k = 0; k < width; ++k) {
                const auto value =
                    cellNumber(cells[size_t(k) * size_t(batchRows) + static_cast<size_t>(i)]);
                if (value) {
                    // A sum that would overflow is a failure of that cell alone: it adds nothing.
                    const double sum = block.sum + *value;
                    if (std::isfinite(sum)) {
                        block.sum = sum;
                    }
                }
            }
        }
        untilTick -= count * width;
        if (untilTick <= 0) {
            untilTick += kTickCells;
            if (tick) {
                tick();
            }
        }
    }
    return block;
}

QString generalNumber(double value) {
    if (value == 0) {
        return QStringLiteral("0");  // also -0
    }
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    // Seven significant digits, rounded: "-d.dddddde+XX".
    std::array<char, 32> buf{};
    const auto [end, ec] =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific, 6);
    if (ec != std::errc()) {
        return QString::number(value);
    }
    const std::string_view text(buf.data(), static_cast<size_t>(end - buf.data()));
    const bool negative = text.front() == '-';
    const std::string_view body = text.substr(negative ? 1 : 0);
    const size_t e = body.find('e');
    std::string digits;
    for (const char c : body.substr(0, e)) {
        if (c != '.') {
            digits += c;
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int exponent = std::atoi(std::string(body.substr(e + 1)).c_str());

    std::string out = negative ? "-" : "";
    if (exponent >= 7 || exponent < -4) {
        out += digits.front();
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) {
            out += '0';
        }
        out += std::to_string(magnitude);
    } else if (exponent >= 0) {
        const size_t wholeDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= wholeDigits) {
            out += digits;
            out.append(wholeDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, wholeDigits);
            out += '.';
            out += digits.substr(wholeDigits);
        }
    } else {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

QString arithmeticMessage(const BlockSum& block) {
    const QString lineBreak = QStringLiteral("\r\n");
    return QStringLiteral("Sum = ") + generalNumber(block.sum) + lineBreak +
           QStringLiteral("Count = ") + QString::number(block.count) + lineBreak +
           QStringLiteral("Average = ") + generalNumber(block.average());
}

}  // namespace pellumar
