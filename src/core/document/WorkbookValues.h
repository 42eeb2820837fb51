// What the workbook forms (.xlsx and .ods) share about cell values: the texts that numbers and
// dates become, what a spreadsheet number format says about its cells, how a column's type and
// display format follow from the cells it held, and the other way round for saving.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellumar {
class Table;
}

namespace pellumar::workbook {

// A number as the shortest text that reads back as the same number: plain decimals from 1E-4 to
// below 1E+15 ("12", "0.1", "-3.25"), outside that the exponent form "1.5E+20", "2E-05"; whole
// numbers without ".0", and 0 for -0.
void appendNumberText(double value, std::string& out);
std::string numberText(double value);

// What a number format shows: a plain number, a date, a date with a time, or a time of day.
enum class ValueShape : uint8_t { Number, Date, DateTime, Time };

// The shape of a spreadsheet number format code ("0.00", "m/d/yy h:mm", "[h]:mm:ss"): quoted
// text, escaped characters and bracketed colours and locales are passed over.
ValueShape shapeOfFormat(QStringView code);

// A date serial of the 1900 system (days since 1899-12-30, the 1900-02-29 of old spreadsheets
// taken as 1900-03-01) or of the 1904 system as the program's serial (days since 1899-12-30).
double serialFrom1900(double serial);
double serialFrom1904(double serial);
// The text of a serial: "2024-03-14", "2024-03-14 13:05:09" or "13:05:09"; nothing for a serial
// outside the years 100 to 9999.
bool appendDateText(double serial, ValueShape shape, std::string& out);
// An ISO date or date-time ("2024-03-14", "2024-03-14T13:05:09.5") as the program's text; an ISO
// duration ("PT13H05M09S") as a time of day. Nothing when it is neither.
std::optional<std::string> isoDateText(std::string_view iso, bool* hasTime = nullptr);
std::optional<std::string> isoDurationText(std::string_view iso);

// The kinds of values a cell of a sheet holds, as the column typing counts them.
enum class CellKind : uint8_t { Text, Number, Percent, Money, Date, DateTime, Time, Boolean };

// Collects the kinds of the cells of each column while a sheet is read, then gives each column
// the type its cells call for: all numbers Number (Money or Percent when their format says so),
// all dates Date, all booleans Checkbox, anything else Text; with the closest display format of
// the program's lists. The title row is not counted.
class ColumnTyper {
public:
    // A non-empty record cell of column `col`; `format` is the number format code it was shown
    // with (for numbers and dates).
    void add(int col, CellKind kind, QStringView format = {});
    // Sets the types and formats of the table's columns (widths are left alone).
    void apply(Table& table) const;

private:
    struct Column {
        uint16_t kinds = 0;  // a bit per CellKind seen
        QString format;      // the first format seen that is not empty
    };
    std::vector<Column> columns_;
};

// For saving: what a column's display format becomes as a spreadsheet number format code
// ("0.00", "$#,##0.00", "mm/dd/yyyy hh:mm"). An empty picture gives "General" for numbers and
// "yyyy-mm-dd" (with " hh:mm:ss" when `withTime`) for dates.
QString numberFormatCode(const QString& picture, int dataType, bool withTime = false);

// How a cell of a column of `dataType` is written: as a number, a date serial, a boolean or
// text (a cell that does not read as its column's type is text, so "01234" stays "01234").
struct TypedCell {
    enum class As : uint8_t { Text, Number, Date, Boolean } as = As::Text;
    double number = 0;  // the number, the date serial (days since 1899-12-30) or 1/0
    bool hasTime = false;
};
TypedCell typedCell(std::string_view text, int dataType);

}  // namespace pellumar::workbook
