// Date pictures ("mm/dd/yy", "dd-Mmm-yyyy", "mm/dd/yy hh:mm:ss AMPM"), parsed once and applied
// to many date serial numbers.
#pragma once

#include <QStringView>

#include <cstdint>
#include <vector>

#include "core/columns/FormatBuffer.h"

namespace pellumar {

// Tokens, in any case: "d" / "dd" the day, "ddd" / "dddd" the weekday name; "m" / "mm" the month,
// "mmm" (as in "Mmm") / "mmmm" the month name; "yy" / "yyyy" the year (one or two letters give two
// digits, three or more four); "h" / "hh" the hour; "m" / "mm" right after an hour or right before
// a second, and "n" / "nn", the minute; "s" / "ss" the second. "AMPM" switches to a 12-hour clock
// showing "AM" or "PM"; so do "AM/PM" and "am/pm" (in that case) and "A/P" / "a/p" (one letter).
// Text in double quotes and a character after "\" are shown as they are, and so is every other
// character. Names and designators are English, whatever the machine's locale.
class DatePicture {
public:
    explicit DatePicture(QStringView picture);

    // Whether a picture is a date picture: it has a date or time token and no "0", "#" or "%".
    static bool isDatePicture(QStringView picture);

    // False, writing nothing, when the serial lies outside the years 100 to 9999.
    bool format(double serial, FormatBuffer& out) const;

private:
    enum class Kind : uint8_t {
        Literal,
        Day,
        Day2,
        WeekdayShort,
        WeekdayLong,
        Month,
        Month2,
        MonthShort,
        MonthLong,
        Year2,
        Year4,
        Hour,
        Hour2,
        Minute,
        Minute2,
        Second,
        Second2,
        AmPm,
    };
    struct Item {
        Kind kind;
        char16_t ch;  // the literal, or how AM and PM are written
    };

    std::vector<Item> items_;
    bool twelveHour_ = false;
};

}  // namespace pellumar
