#include "columns/CellValue.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace pellumar {

namespace {

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

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t unixDays = era * 146097 + static_cast<int64_t>(doe) - 719468;
    return unixDays + 25569;  // 1970-01-01 is serial 25569
}

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

int monthFromName(std::string_view& s) {
    static constexpr std::array<const char*, 12> kNames{"jan", "feb", "mar", "apr", "may", "jun",
                                                        "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() < 3) {
        return -1;
    }
    for (size_t i = 0; i < kNames.size(); ++i) {
        bool same = true;
        for (size_t k = 0; k < 3; ++k) {
            if (std::tolower(static_cast<unsigned char>(s[k])) != kNames[i][k]) {
                same = false;
                break;
            }
        }
        if (same) {
            s.remove_prefix(3);
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

int expandYear(int y, int digits) {
    if (digits <= 2) {
        return y < 30 ? 2000 + y : 1900 + y;  // two-digit years: 00-29 are 2000s
    }
    return y;
}

// Reads " hh:mm[:ss] [AM|PM]" into a day fraction; an empty rest gives 0.
std::optional<double> parseTime(std::string_view s) {
    s = trimmed(s);
    if (s.empty()) {
        return 0.0;
    }
    int h = readInt(s, 2);
    if (h < 0 || s.empty() || s.front() != ':') {
        return std::nullopt;
    }
    s.remove_prefix(1);
    int m = readInt(s, 2);
    if (m < 0 || m > 59) {
        return std::nullopt;
    }
    int sec = 0;
    if (!s.empty() && s.front() == ':') {
        s.remove_prefix(1);
        sec = readInt(s, 2);
        if (sec < 0 || sec > 59) {
            return std::nullopt;
        }
    }
    s = trimmed(s);
    if (!s.empty()) {
        if (s.size() != 2 || (std::toupper(static_cast<unsigned char>(s[1])) != 'M')) {
            return std::nullopt;
        }
        const char ap = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
        if ((ap != 'A' && ap != 'P') || h < 1 || h > 12) {
            return std::nullopt;
        }
        h = h % 12 + (ap == 'P' ? 12 : 0);
    }
    if (h > 23) {
        return std::nullopt;
    }
    return (h * 3600 + m * 60 + sec) / 86400.0;
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
    if (text.size() > 400) {
        return std::nullopt;
    }
    const QByteArray utf8 = text.toUtf8();
    return parseNumber(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

std::optional<double> parseDateSerial(std::string_view s) {
    s = trimmed(s);
    if (s.size() < 6 || s.size() > 40) {
        return std::nullopt;
    }
    int y = -1;
    int m = -1;
    int d = -1;
    std::string_view rest = s;
    if (isDigit(rest.front())) {
        int n1Digits = 0;
        const int n1 = readInt(rest, 4, &n1Digits);
        if (rest.empty()) {
            return std::nullopt;
        }
        const char sep = rest.front();
        if (sep != '-' && sep != '/') {
            return std::nullopt;
        }
        rest.remove_prefix(1);
        if (n1Digits == 4 && sep == '-') {  // ISO 2024-03-14
            y = n1;
            m = readInt(rest, 2);
            if (rest.empty() || rest.front() != '-') {
                return std::nullopt;
            }
            rest.remove_prefix(1);
            d = readInt(rest, 2);
        } else if (sep == '/') {  // 03/14/2024, 3/14/24
            m = n1;
            d = readInt(rest, 2);
            if (rest.empty() || rest.front() != '/') {
                return std::nullopt;
            }
            rest.remove_prefix(1);
            int yDigits = 0;
            y = readInt(rest, 4, &yDigits);
            if (y < 0 || yDigits == 3) {
                return std::nullopt;
            }
            y = expandYear(y, yDigits);
        } else {  // 14-Mar-2024
            d = n1;
            m = monthFromName(rest);
            if (rest.empty() || rest.front() != '-') {
                return std::nullopt;
            }
            rest.remove_prefix(1);
            int yDigits = 0;
            y = readInt(rest, 4, &yDigits);
            if (y < 0 || yDigits == 3) {
                return std::nullopt;
            }
            y = expandYear(y, yDigits);
        }
    } else {  // Mar-14-2024
        m = monthFromName(rest);
        if (m < 0 || rest.empty() || rest.front() != '-') {
            return std::nullopt;
        }
        rest.remove_prefix(1);
        d = readInt(rest, 2);
        if (rest.empty() || rest.front() != '-') {
            return std::nullopt;
        }
        rest.remove_prefix(1);
        int yDigits = 0;
        y = readInt(rest, 4, &yDigits);
        if (y < 0 || yDigits == 3) {
            return std::nullopt;
        }
        y = expandYear(y, yDigits);
    }
    if (!validDate(y, m, d)) {
        return std::nullopt;
    }
    if (!rest.empty() && rest.front() != ' ' && rest.front() != 'T') {
        return std::nullopt;
    }
    if (!rest.empty() && rest.front() == 'T') {
        rest.remove_prefix(1);
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
    if (text.size() > 40) {
        return std::nullopt;
    }
    const QByteArray utf8 = text.toUtf8();
    return parseDateSerial(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

}  // namespace pellumar
