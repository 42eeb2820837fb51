#include "core/columns/NumberFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace pellumar {

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kMaxSections = 3;

// A non-negative value as decimal digits: 0.d0 d1 d2 ... x 10^exp, without trailing zeros.
// Rounding works on these digits, so it rounds the decimal the user sees, not its binary image.
struct Decimal {
    std::array<uint8_t, kSignificantDigits> digits{};
    int count = 0;  // 0 for zero
    int exp = 0;

    static Decimal of(double v) {
        Decimal d;
        if (!(v > 0) || !std::isfinite(v)) {
            return d;
        }
        if (d.ofShort(v)) {
            return d;
        }
        // The shortest digits that read back as v: "D.DDDe+XX", at most 17 digits.
        char buf[40];
        const char* const end =
            std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
        const char* p = buf;
        std::array<uint8_t, 20> all{};
        int count = 0;
        for (; p != end && *p != 'e'; ++p) {
            if (*p != '.') {
                all[static_cast<size_t>(count++)] = static_cast<uint8_t>(*p - '0');
            }
        }
        int e = 0;
        if (p != end) {
            const bool negative = p[1] == '-';
            std::from_chars(p + 2, end, e);
            e = negative ? -e : e;
        }
        std::copy_n(all.begin(), std::min(count, kSignificantDigits), d.digits.begin());
        d.count = std::min(count, kSignificantDigits);
        d.exp = e + 1;
        if (count > kSignificantDigits && all[kSignificantDigits] >= 5) {
            d.roundTo(d.count - d.exp, true);
        }
        d.trim();
        return d;
    }

    // Most cell values are short decimals: v x 10^k is a whole number below 10^15 for a small
    // k, and that number divided by 10^k gives v back. Its digits are then the only decimal of
    // at most 15 digits that reads as v, the same that the general conversion would find.
    bool ofShort(double v) {
        static constexpr std::array<double, 16> kPow10{
            1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        for (size_t k = 0; k < kPow10.size(); ++k) {
            const double scaled = v * kPow10[k];
            if (scaled >= 1e15) {
                return false;
            }
            const auto whole = static_cast<uint64_t>(scaled);
            if (static_cast<double>(whole) != scaled ||
                static_cast<double>(whole) / kPow10[k] != v) {
                continue;
            }
            std::array<uint8_t, kSignificantDigits> reversed{};
            int n = 0;
            for (uint64_t u = whole; u != 0; u /= 10) {
                reversed[static_cast<size_t>(n++)] = static_cast<uint8_t>(u % 10);
            }
            count = n;
            for (int i = 0; i < n; ++i) {
                digits[static_cast<size_t>(i)] = reversed[static_cast<size_t>(n - 1 - i)];
            }
            exp = n - static_cast<int>(k);
            trim();
            return true;
        }
        return false;
    }

    bool isZero() const { return count == 0; }
    int wholeDigits() const { return count ? std::max(exp, 0) : 0; }
    int fractionDigits() const { return count ? std::max(count - exp, 0) : 0; }
    // The digit at 10^pos of the whole part, and the j-th digit after the decimal point.
    int wholeDigit(int pos) const { return at(exp - 1 - pos); }
    int fractionDigit(int j) const { return at(exp + j); }

    void shift(int powers) {
        if (count) {
            exp += powers;
        }
    }

    // Keeps `places` digits after the decimal point, rounding half away from zero; `up` rounds
    // up digits already cut off.
    void roundTo(int places, bool up = false) {
        const int keep = exp + places;
        if (keep >= count && !up) {
            return;
        }
        if (keep < 0) {
            count = 0;
            return;
        }
        up = up || (keep < count && digits[static_cast<size_t>(keep)] >= 5);
        count = keep;
        if (up) {
            int i = count - 1;
            while (i >= 0 && digits[static_cast<size_t>(i)] == 9) {
                digits[static_cast<size_t>(i--)] = 0;
            }
            if (i < 0) {
                digits[0] = 1;
                count = 1;
                ++exp;
            } else {
                ++digits[static_cast<size_t>(i)];
            }
        }
        trim();
    }

private:
    int at(int i) const { return i >= 0 && i < count ? digits[static_cast<size_t>(i)] : 0; }
    void trim() {
        while (count > 0 && digits[static_cast<size_t>(count - 1)] == 0) {
            --count;
        }
    }
};

int digitCount(int v) {
    int n = 0;
    for (; v > 0; v /= 10) {
        ++n;
    }
    return n;
}

int digitOf(int v, int pos) {
    for (; pos > 0; --pos) {
        v /= 10;
    }
    return v % 10;
}

// The picture's sections: split at ";" outside quotes and escapes.
std::vector<QStringView> splitSections(QStringView picture) {
    std::vector<QStringView> out;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u'\\' && !quoted) {
            ++i;
        } else if (c == u';' && !quoted) {
            out.push_back(picture.mid(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(picture.mid(start));
    if (out.size() > kMaxSections) {
        out.resize(kMaxSections);
    }
    return out;
}

}  // namespace

NumberPicture::NumberPicture(QStringView picture) {
    for (QStringView section : splitSections(picture)) {
        sections_.push_back(parseSection(section));
    }
}

NumberPicture::Section NumberPicture::parseSection(QStringView text) {
    Section s;
    enum class Region { Whole, Fraction, Exponent } region = Region::Whole;
    bool wholeSeen = false;
    bool fractionSeen = false;
    int pendingCommas = 0;  // commas after a digit placeholder, not yet placed
    const auto add = [&s](Kind kind, char16_t ch) { s.items.push_back({kind, ch}); };
    const auto settleCommas = [&] {
        s.shift -= 3 * pendingCommas;
        pendingCommas = 0;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"') {
            for (++i; i < n && text[i] != u'"'; ++i) {
                add(Kind::Literal, text[i].unicode());
            }
        } else if (c == u'\\') {
            if (i + 1 < n) {
                add(Kind::Literal, text[++i].unicode());
            }
        } else if (c == u'0' || c == u'#') {
            if (region == Region::Whole) {
                s.grouping = s.grouping || pendingCommas > 0;
                pendingCommas = 0;
                wholeSeen = true;
                add(Kind::WholeDigit, c);
            } else {
                fractionSeen = fractionSeen || region == Region::Fraction;
                pendingCommas = 0;  // commas between fraction digits mean nothing
                add(region == Region::Fraction ? Kind::FractionDigit : Kind::ExponentDigit, c);
            }
        } else if (c == u'.' && region == Region::Whole) {
            settleCommas();
            add(Kind::Point, c);
            region = Region::Fraction;
        } else if (c == u',' && ((region == Region::Whole && wholeSeen) ||
                                 (region == Region::Fraction && fractionSeen))) {
            ++pendingCommas;
        } else if (c == u'%') {
            add(Kind::Percent, c);
            s.shift += 2;
        } else if ((c == u'E' || c == u'e') && region != Region::Exponent && i + 2 < n &&
                   (text[i + 1] == u'+' || text[i + 1] == u'-') &&
                   (text[i + 2] == u'0' || text[i + 2] == u'#')) {
            settleCommas();
            s.items.push_back({Kind::Exponent, c, text[i + 1] == u'+'});
            s.scientific = true;
            region = Region::Exponent;
            ++i;
        } else {
            add(Kind::Literal, c);
        }
    }
    settleCommas();

    // A picture of a percent sign alone shows the whole number before it.
    const auto isDigit = [](const Item& it) {
        return it.kind == Kind::WholeDigit || it.kind == Kind::FractionDigit;
    };
    if (std::none_of(s.items.begin(), s.items.end(), isDigit)) {
        const auto percent = std::find_if(s.items.begin(), s.items.end(),
                                          [](const Item& it) { return it.kind == Kind::Percent; });
        if (percent != s.items.end()) {
            s.items.insert(percent, Item{Kind::WholeDigit, u'0'});
        }
    }

    // Whole and exponent digits show from the first "0" on; fraction digits up to the last "0".
    int wholeIndex = 0;
    int fractionIndex = 0;
    int exponentIndex = 0;
    int firstWholeZero = -1;
    int firstExponentZero = -1;
    for (const Item& it : s.items) {
        const bool zero = it.ch == u'0';
        switch (it.kind) {
            case Kind::WholeDigit:
                if (zero && firstWholeZero < 0) {
                    firstWholeZero = wholeIndex;
                }
                ++wholeIndex;
                break;
            case Kind::FractionDigit:
                ++fractionIndex;
                if (zero) {
                    s.fraction.minDigits = fractionIndex;
                }
                break;
            case Kind::ExponentDigit:
                if (zero && firstExponentZero < 0) {
                    firstExponentZero = exponentIndex;
                }
                ++exponentIndex;
                break;
            default:
                break;
        }
    }
    s.whole = {wholeIndex, firstWholeZero < 0 ? 0 : wholeIndex - firstWholeZero};
    s.fraction.placeholders = fractionIndex;
    s.exponent = {exponentIndex,
                  std::max(1, firstExponentZero < 0 ? 0 : exponentIndex - firstExponentZero)};
    return s;
}

void NumberPicture::format(double value, FormatBuffer& out) const {
    const Section* section = &sections_.front();
    bool minus = value < 0;
    if (value < 0 && sections_.size() > 1 && !sections_[1].items.empty()) {
        section = &sections_[1];
        minus = false;
    } else if (value == 0 && sections_.size() > 2 && !sections_[2].items.empty()) {
        section = &sections_[2];
    }
    formatSection(*section, value, minus, out);
}

void NumberPicture::formatSection(const Section& s, double value, bool minus, FormatBuffer& out) {
    Decimal dec = Decimal::of(std::fabs(value));
    dec.shift(s.shift);
    int exponent = 0;
    if (s.scientific && !dec.isZero()) {
        exponent = dec.exp - s.whole.placeholders;
        dec.exp = s.whole.placeholders;
    }
    dec.roundTo(s.fraction.placeholders);
    if (s.scientific && dec.exp > s.whole.placeholders) {  // 9.996 rounded up to 10.00
        dec.exp = s.whole.placeholders;
        ++exponent;
    }
    const int wholeShown = std::max(dec.wholeDigits(), s.whole.minDigits);
    const int fractionShown = std::max(dec.fractionDigits(), s.fraction.minDigits);
    const int exponentAbs = std::abs(exponent);
    const int exponentShown = std::max(digitCount(exponentAbs), s.exponent.minDigits);

    const auto wholeDigit = [&](int pos) {
        out.append(static_cast<char16_t>(u'0' + dec.wholeDigit(pos)));
        if (s.grouping && pos > 0 && pos % 3 == 0) {
            out.append(u',');
        }
    };
    const auto exponentDigit = [&](int pos) {
        out.append(static_cast<char16_t>(u'0' + digitOf(exponentAbs, pos)));
    };

    if (minus && !dec.isZero()) {
        out.append(u'-');
    }
    int wholeIndex = 0;
    int fractionIndex = 0;
    int exponentIndex = 0;
    for (const Item& it : s.items) {
        switch (it.kind) {
            case Kind::Literal:
            case Kind::Percent:
            case Kind::Point:
                out.append(it.ch);
                break;
            case Kind::WholeDigit: {
                // The first placeholder also takes the digits the picture has no room for.
                const int pos = s.whole.placeholders - 1 - wholeIndex;
                if (wholeIndex++ == 0) {
                    for (int q = wholeShown - 1; q > pos; --q) {
                        wholeDigit(q);
                    }
                }
                if (pos < wholeShown) {
                    wholeDigit(pos);
                }
                break;
            }
            case Kind::FractionDigit:
                if (fractionIndex < fractionShown) {
                    out.append(static_cast<char16_t>(u'0' + dec.fractionDigit(fractionIndex)));
                }
                ++fractionIndex;
                break;
            case Kind::Exponent:
                out.append(it.ch);
                if (exponent < 0) {
                    out.append(u'-');
                } else if (it.plus) {
                    out.append(u'+');
                }
                break;
            case Kind::ExponentDigit: {
                const int pos = s.exponent.placeholders - 1 - exponentIndex;
                if (exponentIndex++ == 0) {
                    for (int q = exponentShown - 1; q > pos; --q) {
                        exponentDigit(q);
                    }
                }
                if (pos < exponentShown) {
                    exponentDigit(pos);
                }
                break;
            }
        }
    }
}

}  // namespace pellumar
