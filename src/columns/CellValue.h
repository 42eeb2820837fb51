// Reading a cell text as a number or as a date, the way sorting and display formats see it.
#pragma once

#include <QStringView>

#include <optional>
#include <string_view>

namespace pellumar {

// A plain decimal number: optional sign, digits with an optional fraction and exponent, with
// surrounding spaces allowed. "1,234" and "$5" are not plain numbers.
std::optional<double> parseNumber(std::string_view utf8);
std::optional<double> parseNumber(QStringView text);

// A date, with an optional time, as a serial number: days since 1899-12-30 with the time of day
// as the fraction. Accepted forms: 2024-03-14, 03/14/2024, 3/14/24, 14-Mar-2024, Mar-14-2024,
// each optionally followed by a time hh:mm[:ss] [AM|PM].
std::optional<double> parseDateSerial(std::string_view utf8);
std::optional<double> parseDateSerial(QStringView text);

}  // namespace pellumar
