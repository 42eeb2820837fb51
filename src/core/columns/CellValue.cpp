#include "core/columns/CellValue.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace pellumar {

namespace {

constexpr size_t kMaxNumberLength = 400;
constexpr size_t kMaxDateLength = 40;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isLetter(char c) {
    return lower(c) >= 'a' && lower(c) <= 'z';
}

// The text in `buf` when it is ASCII and fits; numbers and dates are ASCII, so any other character
// means the text is neither, and the QStringView readers need no allocation.
template <size_t N>
std::optional<std::string_view> asciiView(QStringView text, std::array<char, N>& buf) {
    if (static_cast<size_t>(text.size()) > N) {
        return std::nullopt;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0x7f) {
            return std::nullopt;
        }
        buf[static_cast<size_t>(i)] = static_cast<char>(c);
    }
    return std::string_view(buf.data(), static_cast<size_t>(text.size()));
}

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
constexpr int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t unixDays = era * 146097 + static_cast<int64_t>(doe) - 719468;
    return unixDays + 25569;  // 1970-01-01 is serial 25569
}

// The civil date of a day count from 1899-12-30.
void civilFromDays(int64_t days, int& y, int& m, int& d) {
    const int64_t z = days - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
}

constexpr int64_t kFirstDay = daysFromCivil(100, 1, 1);
constexpr int64_t kEndDay = daysFromCivil(10000, 1, 1);

bool validDate(int y, int m, int d) {
    static constexpr std::array<int, 12> kDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > kDays[static_cast<size_t>(m - 1)]) {
        return false;
    }
    if (m == 2 && d == 29) {
        return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    }
    return true;
}

// Reads 1..max digits; returns -1 when there is none.
int readInt(std::string_view& s, int maxDigits, int* digits = nullptr) {
    int v = 0;
    int n = 0;
    while (n < maxDigits && n < static_cast<int>(s.size()) && isDigit(s[static_cast<size_t>(n)])) {
        v = v * 10 + (s[static_cast<size_t>(n)] - '0');
        ++n;
    }
    if (n == 0) {
        return -1;
    }
    s.remove_prefix(static_cast<size_t>(n));
    if (digits) {
        *digits = n;
    }
    return v;
}

bool skip(std::string_view& s, char c) {
    if (s.empty() || s.front() != c) {
        return false;
    }
    s.remove_prefix(1);
    return true;
}

// An English month name, abbreviated to three letters or in full, in any case.
int monthFromName(std::string_view& s) {
    static constexpr std::array<std::string_view, 12> kNames{
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    size_t letters = 0;
    while (letters < s.size() && isLetter(s[letters])) {
        ++letters;
    }
    if (letters < 3) {
        return -1;
    }
    for (size_t i = 0; i < kNames.size(); ++i) {
        const std::string_view name = kNames[i];
        if (letters != 3 && letters != name.size()) {
            continue;
        }
        bool same = true;
        for (size_t k = 0; k < letters && same; ++k) {
            same = lower(s[k]) == name[k];
        }
        if (same) {
            s.remove_prefix(letters);
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

// A year of one, two or four digits; short years 0-29 are the 2000s, 30-99 the 1900s.
int readYear(std::string_view& s) {
    int digits = 0;
    const int y = readInt(s, 4, &digits);
    if (y < 0 || digits == 3) {
        return -1;
    }
    if (digits <= 2) {
        return y < 30 ? 2000 + y : 1900 + y;
    }
    return y;
}

// Reads "hh:mm[:ss] [AM|PM]" into a day fraction; an empty rest gives 0.
std::optional<double> parseTime(std::string_view s) {
    s = trimmed(s);
    if (s.empty()) {
        return 0.0;
    }
    int h = readInt(s, 2);
    if (h < 0 || !skip(s, ':')) {
        return std::nullopt;
    }
    int m = readInt(s, 2);
    if (m < 0 || m > 59) {
        return std::nullopt;
    }
    int sec = 0;
    if (skip(s, ':')) {
        sec = readInt(s, 2);
        if (sec < 0 || sec > 59) {
            return std::nullopt;
        }
    }
    s = trimmed(s);
    if (!s.empty()) {
        if (s.size() != 2 || lower(s[1]) != 'm') {
            return std::nullopt;
        }
        const char ap = lower(s[0]);
        if ((ap != 'a' && ap != 'p') || h < 1 || h > 12) {
            return std::nullopt;
        }
        h = h % 12 + (ap == 'p' ? 12 : 0);
    }
    if (h > 23) {
        return std::nullopt;
    }
    return (h * 3600 + m * 60 + sec) / 86400.0;
}

// Reads the date part of a date text into y, m, d; s is left at what follows it.
bool parseDatePart(std::string_view& s, int& y, int& m, int& d) {
    if (!isDigit(s.front())) {  // Mar-14-2024
        m = monthFromName(s);
        if (m < 0 || !skip(s, '-')) {
            return false;
        }
        d = readInt(s, 2);
        if (!skip(s, '-')) {
            return false;
        }
        y = readYear(s);
        return true;
    }
    int n1Digits = 0;
    const int n1 = readInt(s, 4, &n1Digits);
    if (s.empty() || (s.front() != '-' && s.front() != '/')) {
        return false;
    }
    const char sep = s.front();
    s.remove_prefix(1);
    if (n1Digits == 4) {  // 2024-03-14, 2024/03/14
        y = n1;
        m = readInt(s, 2);
        if (!skip(s, sep)) {
            return false;
        }
        d = readInt(s, 2);
        return true;
    }
    if (sep == '/') {  // 03/14/2024, 3/14/24
        m = n1;
        d = readInt(s, 2);
    } else {  // 14-Mar-2024
        d = n1;
        m = monthFromName(s);
    }
    if (!skip(s, sep)) {
        return false;
    }
    y = readYear(s);
    return true;
}

}  // namespace

std::optional<double> parseNumber(std::string_view s) {
    s = trimmed(s);
    if (s.empty()) {
        return std::nullopt;
    }
    std::string_view body = s;
    if (body.front() == '+') {
        body.remove_prefix(1);  // from_chars does not take a plus sign
        if (body.empty() || body.front() == '-') {
            return std::nullopt;
        }
    }
    // Only plain decimal notation: no "inf", "nan" or hexadecimal forms.
    for (char c : body) {
        if (!isDigit(c) && c != '.' && c != '-' && c != 'e' && c != 'E' && c != '+') {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [end, ec] =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseNumber(QStringView text) {
    std::array<char, kMaxNumberLength> buf;
    const auto ascii = asciiView(text, buf);
    return ascii ? parseNumber(*ascii) : std::nullopt;
}

std::optional<double> parseFormattedNumber(std::string_view s) {
    if (const auto plain = parseNumber(s)) {
        return plain;
    }
    s = trimmed(s);
    if (s.empty() || s.size() > kMaxNumberLength) {
        return std::nullopt;
    }
    bool negative = false;
    const bool parenthesised = s.front() == '(';
    if (parenthesised) {
        if (s.size() < 3 || s.back() != ')') {
            return std::nullopt;
        }
        s = s.substr(1, s.size() - 2);
        negative = true;
    }
    bool sign = parenthesised;
    bool dollar = false;
    while (!s.empty()) {
        if (!sign && (s.front() == '-' || s.front() == '+')) {
            negative = s.front() == '-';
            sign = true;
        } else if (!dollar && s.front() == '$') {
            dollar = true;
        } else {
            break;
        }
        s.remove_prefix(1);
    }
    const bool percent = !s.empty() && s.back() == '%';
    if (percent) {
        s.remove_suffix(1);
    }
    // The whole part, its groups checked, copied without the commas; the rest as it is.
    std::array<char, kMaxNumberLength> buf;
    size_t n = 0;
    size_t i = 0;
    int group = 0;
    bool grouped = false;
    for (; i < s.size() && (isDigit(s[i]) || s[i] == ','); ++i) {
        if (s[i] != ',') {
            buf[n++] = s[i];
            ++group;
            continue;
        }
        if (group == 0 || group > 3 || (grouped && group != 3)) {
            return std::nullopt;
        }
        grouped = true;
        group = 0;
    }
    if (grouped && group != 3) {
        return std::nullopt;
    }
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (!isDigit(c) && c != '.' && c != 'e' && c != 'E' && c != '-' && c != '+') {
            return std::nullopt;
        }
        buf[n++] = c;
    }
    if (n == 0 || buf[0] == '-' || buf[0] == '+') {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(buf.data(), buf.data() + n, value);
    if (ec != std::errc() || end != buf.data() + n || !std::isfinite(value)) {
        return std::nullopt;
    }
    if (percent) {
        value /= 100;
    }
    return negative ? -value : value;
}

std::optional<double> parseFormattedNumber(QStringView text) {
    std::array<char, kMaxNumberLength> buf;
    const auto ascii = asciiView(text, buf);
    return ascii ? parseFormattedNumber(*ascii) : std::nullopt;
}

std::optional<double> parseDateSerial(std::string_view s) {
    s = trimmed(s);
    if (s.size() < 6 || s.size() > kMaxDateLength) {
        return std::nullopt;
    }
    int y = -1;
    int m = -1;
    int d = -1;
    std::string_view rest = s;
    if (!parseDatePart(rest, y, m, d) || !validDate(y, m, d)) {
        return std::nullopt;
    }
    if (!rest.empty() && rest.front() != ' ' && rest.front() != 'T') {
        return std::nullopt;
    }
    if (!rest.empty() && rest.front() == 'T') {
        rest.remove_prefix(1);
        if (rest.empty() || !isDigit(rest.front())) {
            return std::nullopt;
        }
    }
    const auto time = parseTime(rest);
    if (!time) {
        return std::nullopt;
    }
    return static_cast<double>(
               daysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d))) +
           *time;
}

std::optional<double> parseDateSerial(QStringView text) {
    std::array<char, kMaxDateLength> buf;
    const auto ascii = asciiView(text, buf);
    return ascii ? parseDateSerial(*ascii) : std::nullopt;
}

double dateSerial(int year, int month, int day, int hour, int minute, int second) {
    return static_cast<double>(
               daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day))) +
           (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::optional<DateTimeParts> dateTimeFromSerial(double serial) {
    if (!(serial >= static_cast<double>(kFirstDay) && serial < static_cast<double>(kEndDay))) {
        return std::nullopt;  // also NaN
    }
    const double whole = std::floor(serial);
    auto days = static_cast<int64_t>(whole);
    auto seconds = static_cast<int>(std::llround((serial - whole) * 86400.0));
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    if (days >= kEndDay) {
        return std::nullopt;
    }
    DateTimeParts p;
    civilFromDays(days, p.year, p.month, p.day);
    p.hour = seconds / 3600;
    p.minute = seconds / 60 % 60;
    p.second = seconds % 60;
    p.dayOfWeek = static_cast<int>(((days % 7) + 13) % 7);  // serial 0 was a Saturday
    return p;
}

}  // namespace pellumar
