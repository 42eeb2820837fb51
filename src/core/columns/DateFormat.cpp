#include "core/columns/DateFormat.h"

#include <array>
#include <string_view>

#include "core/columns/CellValue.h"

namespace pellumar {

namespace {

constexpr std::array<std::string_view, 12> kMonths{"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
constexpr std::array<std::string_view, 7> kWeekdays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                    "Thursday", "Friday", "Saturday"};

// How an AM/PM token writes the two halves of the day.
enum AmPmStyle : char16_t {
    AmPmWords,        // "AMPM": the designators, "AM" and "PM"
    AmPmUpper,        // "AM/PM"
    AmPmLower,        // "am/pm"
    AmPmLetterUpper,  // "A/P"
    AmPmLetterLower,  // "a/p"
};

char16_t lower(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u - u'A' + u'a') : u;
}

bool startsWithNoCase(QStringView text, qsizetype at, std::u16string_view word) {
    if (text.size() - at < static_cast<qsizetype>(word.size())) {
        return false;
    }
    for (size_t k = 0; k < word.size(); ++k) {
        if (lower(text[at + static_cast<qsizetype>(k)]) != word[k]) {
            return false;
        }
    }
    return true;
}

// The length of an AM/PM token at `at` (0 when there is none) and the style it asks for.
qsizetype amPmToken(QStringView text, qsizetype at, char16_t& style, bool upperA) {
    if (startsWithNoCase(text, at, u"am/pm")) {
        style = upperA ? AmPmUpper : AmPmLower;
        return 5;
    }
    if (startsWithNoCase(text, at, u"ampm")) {
        style = AmPmWords;
        return 4;
    }
    if (startsWithNoCase(text, at, u"a/p")) {
        style = upperA ? AmPmLetterUpper : AmPmLetterLower;
        return 3;
    }
    return 0;
}

bool isTokenLetter(char16_t c) {
    return c == u'd' || c == u'm' || c == u'y' || c == u'h' || c == u'n' || c == u's';
}

}  // namespace

bool DatePicture::isDatePicture(QStringView picture) {
    bool token = false;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        char16_t style = 0;
        if (c == u'"') {
            for (++i; i < picture.size() && picture[i] != u'"'; ++i) {
            }
        } else if (c == u'\\') {
            ++i;
        } else if (c == u'0' || c == u'#' || c == u'%') {
            return false;
        } else if (isTokenLetter(lower(c)) || amPmToken(picture, i, style, true) > 0) {
            token = true;
        }
    }
    return token;
}

DatePicture::DatePicture(QStringView picture) {
    const qsizetype n = picture.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = picture[i];
        const char16_t letter = lower(c);
        char16_t style = 0;
        if (c == u'"') {
            for (++i; i < n && picture[i] != u'"'; ++i) {
                items_.push_back({Kind::Literal, picture[i].unicode()});
            }
            ++i;
            continue;
        }
        if (c == u'\\') {
            if (i + 1 < n) {
                items_.push_back({Kind::Literal, picture[i + 1].unicode()});
            }
            i += 2;
            continue;
        }
        if (const qsizetype length = amPmToken(picture, i, style, c == u'A')) {
            items_.push_back({Kind::AmPm, style});
            twelveHour_ = true;
            i += length;
            continue;
        }
        if (!isTokenLetter(letter)) {
            items_.push_back({Kind::Literal, c.unicode()});
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && lower(picture[i + run]) == letter) {
            ++run;
        }
        i += run;
        Kind kind = Kind::Literal;
        switch (letter) {
            case u'd':
                kind = run == 1   ? Kind::Day
                       : run == 2 ? Kind::Day2
                       : run == 3 ? Kind::WeekdayShort
                                  : Kind::WeekdayLong;
                break;
            case u'm':
                kind = run == 1   ? Kind::Month
                       : run == 2 ? Kind::Month2
                       : run == 3 ? Kind::MonthShort
                                  : Kind::MonthLong;
                break;
            case u'y':
                kind = run <= 2 ? Kind::Year2 : Kind::Year4;
                break;
            case u'h':
                kind = run == 1 ? Kind::Hour : Kind::Hour2;
                break;
            case u'n':
                kind = run == 1 ? Kind::Minute : Kind::Minute2;
                break;
            default:  // 's'
                kind = run == 1 ? Kind::Second : Kind::Second2;
                break;
        }
        items_.push_back({kind, letter});
    }

    // "m" and "mm" are minutes right after an hour or right before a second.
    const auto isField = [](const Item& it) { return it.kind != Kind::Literal; };
    for (size_t i = 0; i < items_.size(); ++i) {
        Item& it = items_[i];
        if (it.kind != Kind::Month && it.kind != Kind::Month2) {
            continue;
        }
        bool afterHour = false;
        for (size_t k = i; k-- > 0;) {
            if (isField(items_[k])) {
                afterHour = items_[k].kind == Kind::Hour || items_[k].kind == Kind::Hour2;
                break;
            }
        }
        bool beforeSecond = false;
        for (size_t k = i + 1; k < items_.size(); ++k) {
            if (isField(items_[k])) {
                beforeSecond = items_[k].kind == Kind::Second || items_[k].kind == Kind::Second2;
                break;
            }
        }
        if (afterHour || beforeSecond) {
            it.kind = it.kind == Kind::Month ? Kind::Minute : Kind::Minute2;
        }
    }
}

bool DatePicture::format(double serial, FormatBuffer& out) const {
    const auto parts = dateTimeFromSerial(serial);
    if (!parts) {
        return false;
    }
    const DateTimeParts& p = *parts;
    const int hour = twelveHour_ ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
    const bool pm = p.hour >= 12;
    const std::string_view month = kMonths[static_cast<size_t>(p.month - 1)];
    const std::string_view weekday = kWeekdays[static_cast<size_t>(p.dayOfWeek)];
    for (const Item& it : items_) {
        switch (it.kind) {
            case Kind::Literal:
                out.append(it.ch);
                break;
            case Kind::Day:
            case Kind::Day2:
                out.appendNumber(p.day, it.kind == Kind::Day ? 1 : 2);
                break;
            case Kind::WeekdayShort:
                out.append(weekday.substr(0, 3));
                break;
            case Kind::WeekdayLong:
                out.append(weekday);
                break;
            case Kind::Month:
            case Kind::Month2:
                out.appendNumber(p.month, it.kind == Kind::Month ? 1 : 2);
                break;
            case Kind::MonthShort:
                out.append(month.substr(0, 3));
                break;
            case Kind::MonthLong:
                out.append(month);
                break;
            case Kind::Year2:
                out.appendNumber(p.year % 100, 2);
                break;
            case Kind::Year4:
                out.appendNumber(p.year, 4);
                break;
            case Kind::Hour:
            case Kind::Hour2:
                out.appendNumber(hour, it.kind == Kind::Hour ? 1 : 2);
                break;
            case Kind::Minute:
            case Kind::Minute2:
                out.appendNumber(p.minute, it.kind == Kind::Minute ? 1 : 2);
                break;
            case Kind::Second:
            case Kind::Second2:
                out.appendNumber(p.second, it.kind == Kind::Second ? 1 : 2);
                break;
            case Kind::AmPm:
                switch (it.ch) {
                    case AmPmWords:
                    case AmPmUpper:
                        out.append(pm ? "PM" : "AM");
                        break;
                    case AmPmLower:
                        out.append(pm ? "pm" : "am");
                        break;
                    case AmPmLetterUpper:
                        out.append(pm ? u'P' : u'A');
                        break;
                    default:
                        out.append(pm ? u'p' : u'a');
                        break;
                }
                break;
        }
    }
    return true;
}

}  // namespace pellumar
