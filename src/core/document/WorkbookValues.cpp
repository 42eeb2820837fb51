#include "core/document/WorkbookValues.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/columns/CellValue.h"
#include "core/columns/DateFormat.h"
#include "core/table/Table.h"

namespace pellumar::workbook {

namespace {

void appendTwo(int n, std::string& out) {
    out += static_cast<char>('0' + n / 10 % 10);
    out += static_cast<char>('0' + n % 10);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The characters of a format code that are its own: quoted text, a character after "\" or "_"
// or "*", and bracketed parts other than elapsed times ("[h]") are left out; letters in lower
// case. Only the first section counts.
std::string codeTokens(QStringView code) {
    std::string out;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].unicode();
        if (c == u'"') {
            while (++i < code.size() && code[i] != u'"') {
            }
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            const QStringView inside = code.mid(i + 1, end < 0 ? -1 : end - i - 1);
            if (inside.startsWith(u'$') && !inside.startsWith(u"$-")) {
                out += '$';  // a currency: [$€-407]
            } else if (!inside.isEmpty() && QStringLiteral("hms").contains(inside[0].toLower())) {
                out += static_cast<char>(inside[0].toLower().unicode());
            }
            if (end < 0) {
                break;
            }
            i = end;
        } else if (c == u';') {
            break;
        } else if (c < 128) {
            out += static_cast<char>(c >= u'A' && c <= u'Z' ? c + 32 : c);
        } else if (c == u'€' || c == u'£' || c == u'¥') {
            out += '$';
        }
    }
    return out;
}

int decimalsOf(const std::string& tokens) {
    const size_t point = tokens.find('.');
    if (point == std::string::npos) {
        return 0;
    }
    int n = 0;
    for (size_t i = point + 1; i < tokens.size() && (tokens[i] == '0' || tokens[i] == '#'); ++i) {
        ++n;
    }
    return n;
}

constexpr uint16_t bit(CellKind kind) {
    return static_cast<uint16_t>(1u << static_cast<unsigned>(kind));
}

}  // namespace

void appendNumberText(double value, std::string& out) {
    if (value == 0 || !std::isfinite(value)) {
        out += value == 0 || std::isnan(value) ? "0" : (value > 0 ? "1E+308" : "-1E+308");
        return;
    }
    char digits[40];
    const auto r =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific);
    const std::string_view sci(digits, static_cast<size_t>(r.ptr - digits));
    const size_t e = sci.find('e');
    std::string mantissa;  // the significant digits, without point or sign
    bool minus = false;
    for (const char c : sci.substr(0, e)) {
        if (c == '-') {
            minus = true;
        } else if (isDigit(c)) {
            mantissa += c;
        }
    }
    const int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    if (minus) {
        out += '-';
    }
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-4 && magnitude < 1e15) {
        if (exponent >= 0) {
            const auto whole = static_cast<size_t>(exponent) + 1;
            if (mantissa.size() <= whole) {
                out += mantissa;
                out.append(whole - mantissa.size(), '0');
            } else {
                out.append(mantissa, 0, whole);
                out += '.';
                out.append(mantissa, whole);
            }
        } else {
            out += "0.";
            out.append(static_cast<size_t>(-exponent - 1), '0');
            out += mantissa;
        }
        return;
    }
    out += mantissa[0];
    if (mantissa.size() > 1) {
        out += '.';
        out.append(mantissa, 1);
    }
    out += exponent < 0 ? "E-" : "E+";
    const int shown = std::abs(exponent);
    if (shown >= 100) {
        out += static_cast<char>('0' + shown / 100);
    }
    appendTwo(shown, out);
}

std::string numberText(double value) {
    std::string out;
    appendNumberText(value, out);
    return out;
}

ValueShape shapeOfFormat(QStringView code) {
    const std::string tokens = codeTokens(code);
    bool date = false;
    bool time = false;
    bool month = false;
    for (const char c : tokens) {
        date |= c == 'd' || c == 'y' || c == 'e' || c == 'b';
        time |= c == 'h' || c == 's';
        month |= c == 'm';
    }
    // "General" holds an "e" that is not a year.
    if (tokens.find("general") != std::string::npos || tokens.find('0') != std::string::npos ||
        tokens.find('#') != std::string::npos || tokens.find('?') != std::string::npos) {
        return ValueShape::Number;
    }
    if (month && !time) {
        date = true;
    }
    if (date && time) {
        return ValueShape::DateTime;
    }
    if (date) {
        return ValueShape::Date;
    }
    return time ? ValueShape::Time : ValueShape::Number;
}

double serialFrom1900(double serial) {
    return serial < 61 ? serial + 1 : serial;
}

double serialFrom1904(double serial) {
    return serial + 1462;
}

bool appendDateText(double serial, ValueShape shape, std::string& out) {
    const auto parts =
        dateTimeFromSerial(shape == ValueShape::Time ? serial - std::floor(serial) + 1 : serial);
    if (!parts) {
        return false;
    }
    char text[32];
    int n = 0;
    if (shape == ValueShape::Time) {
        n = std::snprintf(text, sizeof text, "%02d:%02d:%02d", parts->hour, parts->minute,
                          parts->second);
    } else if (shape == ValueShape::Date) {
        n = std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts->year, parts->month,
                          parts->day);
    } else {
        n = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts->year,
                          parts->month, parts->day, parts->hour, parts->minute, parts->second);
    }
    out.append(text, static_cast<size_t>(n));
    return true;
}

std::optional<std::string> isoDateText(std::string_view iso, bool* hasTime) {
    // YYYY-MM-DD[THH:MM[:SS[.fff]]][zone]
    const auto number = [&](size_t at, size_t len) -> int {
        if (at + len > iso.size()) {
            return -1;
        }
        int n = 0;
        for (size_t i = at; i < at + len; ++i) {
            if (!isDigit(iso[i])) {
                return -1;
            }
            n = n * 10 + (iso[i] - '0');
        }
        return n;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > 31 || iso[4] != '-' ||
        iso[7] != '-') {
        return std::nullopt;
    }
    int hour = 0;
    int minute = 0;
    double second = 0;
    const bool timed = iso.size() > 10 && (iso[10] == 'T' || iso[10] == ' ');
    if (timed) {
        hour = number(11, 2);
        minute = number(14, 2);
        if (hour < 0 || minute < 0 || iso.size() < 16 || iso[13] != ':') {
            return std::nullopt;
        }
        if (iso.size() > 17 && iso[16] == ':') {
            size_t end = 17;
            while (end < iso.size() && (isDigit(iso[end]) || iso[end] == '.')) {
                ++end;
            }
            std::from_chars(iso.data() + 17, iso.data() + end, second);
        }
    }
    if (hasTime) {
        *hasTime = timed;
    }
    const double serial = dateSerial(year, month, day, hour, minute) + second / 86400.0;
    std::string out;
    if (!appendDateText(serial, timed ? ValueShape::DateTime : ValueShape::Date, out)) {
        return std::nullopt;
    }
    return out;
}

std::optional<std::string> isoDurationText(std::string_view iso) {
    // [-]PnDTnHnMn.nS
    size_t i = iso.starts_with('-') ? 1 : 0;
    if (i >= iso.size() || iso[i] != 'P') {
        return std::nullopt;
    }
    double total = 0;
    bool inTime = false;
    for (++i; i < iso.size();) {
        if (iso[i] == 'T') {
            inTime = true;
            ++i;
            continue;
        }
        double n = 0;
        const auto r = std::from_chars(iso.data() + i, iso.data() + iso.size(), n);
        if (r.ec != std::errc() || r.ptr == iso.data() + iso.size()) {
            return std::nullopt;
        }
        const char unit = *r.ptr;
        if (unit == 'D') {
            total += n * 86400;
        } else if (unit == 'H' && inTime) {
            total += n * 3600;
        } else if (unit == 'M' && inTime) {
            total += n * 60;
        } else if (unit == 'S' && inTime) {
            total += n;
        } else {
            return std::nullopt;
        }
        i = static_cast<size_t>(r.ptr - iso.data()) + 1;
    }
    std::string out;
    if (!appendDateText(total / 86400.0, ValueShape::Time, out)) {
        return std::nullopt;
    }
    return out;
}

void ColumnTyper::add(int col, CellKind kind, QStringView format) {
    if (col < 0) {
        return;
    }
    if (static_cast<size_t>(col) >= columns_.size()) {
        columns_.resize(static_cast<size_t>(col) + 1);
    }
    Column& c = columns_[static_cast<size_t>(col)];
    if (c.format.isEmpty() && !format.isEmpty()) {
        c.format = format.toString();
    }
    c.kinds |= bit(kind);
}

void ColumnTyper::apply(Table& table) const {
    const uint16_t numbers = bit(CellKind::Number) | bit(CellKind::Percent) | bit(CellKind::Money);
    const uint16_t dates = bit(CellKind::Date) | bit(CellKind::DateTime);
    const Column none;
    for (int col = 0; col < table.columnCount(); ++col) {
        const Column& c =
            static_cast<size_t>(col) < columns_.size() ? columns_[static_cast<size_t>(col)] : none;
        ColumnAttributes attrs = table.columnAttributes(col);
        attrs.dataType = DataTypeText;
        attrs.format.clear();
        const std::string tokens = codeTokens(c.format);
        const int decimals = decimalsOf(tokens);
        if (c.kinds == 0) {
            // Only the title: nothing to tell the type from.
        } else if ((c.kinds & ~numbers) == 0) {
            attrs.dataType = DataTypeNumber;
            if (c.kinds == bit(CellKind::Money)) {
                attrs.dataType = DataTypeMoney;
                attrs.format =
                    decimals > 0 ? QStringLiteral("$#,###.00") : QStringLiteral("$#,###");
            } else if (c.kinds == bit(CellKind::Percent)) {
                attrs.format = decimals > 0 ? QStringLiteral("#.00%") : QStringLiteral("%");
            } else if (c.kinds == bit(CellKind::Number) && tokens.find(',') != std::string::npos) {
                attrs.format = decimals > 0 ? QStringLiteral("#,###.00") : QStringLiteral("#,###");
            } else if (c.kinds == bit(CellKind::Number) &&
                       tokens.find_first_of("0#") != std::string::npos) {
                attrs.format = decimals == 0
                                   ? QStringLiteral("0")
                                   : QStringLiteral("0.") + QString(std::min(decimals, 4), u'0');
            }
        } else if ((c.kinds & ~dates) == 0) {
            attrs.dataType = DataTypeDate;
            if (c.kinds & bit(CellKind::DateTime)) {
                const bool ampm = tokens.find("am/pm") != std::string::npos ||
                                  tokens.find("a/p") != std::string::npos;
                const bool seconds =
                    tokens.find('s') != std::string::npos || tokens.find('h') == std::string::npos;
                attrs.format = QStringLiteral("mm/dd/yy hh:mm") +
                               (seconds ? QStringLiteral(":ss") : QString()) +
                               (ampm ? QStringLiteral(" AMPM") : QString());
            } else if (tokens.find("mmm") != std::string::npos) {
                attrs.format = tokens.find('d') < tokens.find('m') ? QStringLiteral("dd-Mmm-yyyy")
                                                                   : QStringLiteral("Mmm-dd-yyyy");
            } else {
                const bool longYear = tokens.empty() || tokens.find("yyy") != std::string::npos;
                const bool padded = tokens.empty() || tokens.find("mm") != std::string::npos ||
                                    tokens.find("dd") != std::string::npos;
                attrs.format = QString::fromLatin1(padded ? "mm/dd/" : "m/d/") +
                               QString::fromLatin1(longYear ? "yyyy" : "yy");
            }
        } else if (c.kinds == bit(CellKind::Boolean)) {
            attrs.dataType = DataTypeCheckbox;
        }
        table.setColumnAttributes(col, attrs);
    }
}

QString numberFormatCode(const QString& picture, int dataType, bool withTime) {
    const QString p = picture.trimmed();
    const bool date = dataType == DataTypeDate || (!p.isEmpty() && DatePicture::isDatePicture(p));
    if (p.isEmpty() || p.compare(u"General", Qt::CaseInsensitive) == 0 ||
        p.compare(u"General Number", Qt::CaseInsensitive) == 0 ||
        (date && !DatePicture::isDatePicture(p))) {
        if (date) {
            return withTime ? QStringLiteral("yyyy-mm-dd hh:mm:ss") : QStringLiteral("yyyy-mm-dd");
        }
        return QStringLiteral("General");
    }
    if (date) {
        QString code = p;
        code.replace(QStringLiteral("AMPM"), QStringLiteral("AM/PM"), Qt::CaseInsensitive);
        code.replace(QStringLiteral("Mmm"), QStringLiteral("mmm"));
        // A date with a time keeps its time, whatever the picture shows.
        if (withTime && shapeOfFormat(code) == ValueShape::Date) {
            code += QStringLiteral(" hh:mm:ss");
        }
        // A date alone shows no time (which would read back as a date-time).
        if (!withTime && shapeOfFormat(code) == ValueShape::DateTime) {
            const qsizetype hour = code.indexOf(u'h', 0, Qt::CaseInsensitive);
            code = code.left(hour).trimmed();
        }
        return code;
    }
    if (p == u"%") {
        return QStringLiteral("0%");
    }
    if (p.startsWith(u'$')) {
        return QStringLiteral("\"$\"") + p.mid(1);
    }
    return p;
}

TypedCell typedCell(std::string_view text, int dataType) {
    TypedCell cell;
    switch (dataType) {
        case DataTypeNumber:
        case DataTypeMoney:
            if (const auto v = parseNumber(text)) {
                cell.as = TypedCell::As::Number;
                cell.number = *v;
            }
            break;
        case DataTypeDate:
            if (const auto v = parseDateSerial(text)) {
                cell.as = TypedCell::As::Date;
                cell.number = *v;
                // A time written, even midnight, is kept.
                cell.hasTime = text.find(':') != std::string_view::npos;
            }
            break;
        case DataTypeCheckbox: {
            QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            t = t.trimmed();
            if (t.compare(u"TRUE", Qt::CaseInsensitive) == 0) {
                cell = {TypedCell::As::Boolean, 1, false};
            } else if (t.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
                cell = {TypedCell::As::Boolean, 0, false};
            } else if (const auto v = parseNumber(text); v && (*v == 0 || std::fabs(*v) == 1)) {
                cell = {TypedCell::As::Boolean, *v != 0 ? 1.0 : 0.0, false};
            }
            break;
        }
        default:
            break;
    }
    return cell;
}

}  // namespace pellumar::workbook
