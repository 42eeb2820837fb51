// Number pictures ("0.00", "#,###", "$#,###.00", "#.00%", "0.00E+00"), parsed once and applied to
// many values.
#pragma once

#include <QStringView>

#include <cstdint>
#include <vector>

#include "core/columns/FormatBuffer.h"

namespace pellumar {

// Placeholders: "0" a digit always shown, "#" a digit shown only when significant; "." the
// decimal point; "," between whole-part placeholders groups the digits in threes, and right
// after the last placeholder (or just before the decimal point) divides by 1000; "%" multiplies by
// 100 and is shown; "E+" / "E-" (or "e") followed by placeholders writes a scientific exponent.
// Text in double quotes and a character after "\" are shown as they are, and so is every other
// character. Up to three sections separated by ";" give the forms of positive numbers, negative
// numbers (shown without a minus sign) and zero; an empty section falls back on the first.
//
// Values are rounded half away from zero on their decimal digits, taken to 15 significant
// digits as spreadsheets do, so 2.675 with "0.00" shows 2.68. A minus sign goes before the whole
// text and is dropped when the shown digits are all zero.
class NumberPicture {
public:
    explicit NumberPicture(QStringView picture);

    void format(double value, FormatBuffer& out) const;

private:
    enum class Kind : uint8_t {
        Literal,
        WholeDigit,
        FractionDigit,
        ExponentDigit,
        Point,
        Exponent,
        Percent
    };
    struct Item {
        Kind kind;
        char16_t ch;        // the literal; '0' or '#' for a digit; the letter of an exponent
        bool plus = false;  // an exponent that always shows its sign
    };
    struct Field {
        int placeholders = 0;
        int minDigits = 0;  // digits shown even when not significant
    };
    struct Section {
        std::vector<Item> items;
        Field whole;
        Field fraction;
        Field exponent;
        bool grouping = false;
        bool scientific = false;
        int shift = 0;  // powers of ten the value is multiplied by: 2 a "%", -3 a scaling ","
    };

    static Section parseSection(QStringView text);
    static void formatSection(const Section& section, double value, bool minus, FormatBuffer& out);

    std::vector<Section> sections_;
};

}  // namespace pellumar
