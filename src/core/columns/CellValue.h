// Reading a cell text as a number or as a date, the way sorting and display formats see it, and
// the calendar behind date serial numbers.
#pragma once

#include <QStringView>

#include <optional>
#include <string_view>

namespace pellumar {

// A plain decimal number: optional sign, digits with an optional fraction and exponent, with
// surrounding spaces allowed. "1,234" and "$5" are not plain numbers. This is what sorting and
// the check-box columns take for a number.
std::optional<double> parseNumber(std::string_view utf8);
std::optional<double> parseNumber(QStringView text);

// A number as number formats read it: a plain number, or a number as a format shows it, with ","
// grouping the whole part in threes (1,234,567.5), a "$" before the digits (before or after the
// sign), a trailing "%" (which divides by 100) and parentheses for a negative amount.
// "1,5" and "12,34" are not numbers.
std::optional<double> parseFormattedNumber(std::string_view utf8);
std::optional<double> parseFormattedNumber(QStringView text);

// A date, with an optional time, as a serial number: days since 1899-12-30 with the time of day
// as the fraction. Accepted forms: 2024-03-14, 2024/03/14, 03/14/2024, 3/14/24, 14-Mar-2024,
// Mar-14-2024 (month names in English, abbreviated or in full, any case), each optionally followed
// by a time h:mm[:ss] with an optional AM or PM (an ISO date may join it with "T"). Slashed dates
// are read month first; two-digit years 00-29 are the 2000s, 30-99 the 1900s; years run from 100
// to 9999. Dates before 1899-12-30 have negative serials (whole days down, time of day up).
std::optional<double> parseDateSerial(std::string_view utf8);
std::optional<double> parseDateSerial(QStringView text);

// A calendar date and time of day.
struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int dayOfWeek = 6;  // 0 Sunday .. 6 Saturday

    bool operator==(const DateTimeParts&) const = default;
};

// The serial number of a date and time (the date is taken as valid).
double dateSerial(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// The date and time of a serial number, rounded to the nearest second; nothing for a serial
// outside the years 100 to 9999.
std::optional<DateTimeParts> dateTimeFromSerial(double serial);

}  // namespace pellumar
