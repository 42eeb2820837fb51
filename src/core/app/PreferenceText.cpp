#include "core/app/PreferenceText.h"

#include "core/columns/CellValue.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace pellumar {

std::optional<int16_t> preferenceInt16(const QString& stored) {
    const auto value = parseNumber(QStringView(stored));
    if (!value) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(*value);  // the default rounding sends halves to even
    if (rounded < std::numeric_limits<int16_t>::min() ||
        rounded > std::numeric_limits<int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int16_t>(rounded);
}

int16_t IntOrZero(const QString& stored) {
    return preferenceInt16(stored).value_or(0);
}

std::optional<bool> preferenceBoolean(const QString& stored) {
    const QString t = stored.trimmed();
    if (t.compare(u"true", Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(u"false", Qt::CaseInsensitive) == 0) {
        return false;
    }
    if (const auto v = parseNumber(QStringView(t))) {
        return *v != 0;
    }
    return std::nullopt;
}

QString preferenceNumberText(double value) {
    char buf[64];
    const auto result =
        std::to_chars(buf, buf + sizeof buf, static_cast<float>(value), std::chars_format::fixed);
    if (result.ec != std::errc()) {
        return QStringLiteral("0");
    }
    return QString::fromLatin1(buf, result.ptr - buf);
}

QString preferenceBooleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace pellumar
