#include "core/columns/DisplayFormat.h"

#include <array>
#include <cmath>
#include <variant>

#include "core/columns/CellValue.h"
#include "core/columns/DateFormat.h"
#include "core/columns/FormatBuffer.h"
#include "core/columns/NumberFormat.h"

namespace pellumar {

namespace {

constexpr int kFirstUnformattedType = 8;  // Text; Checkbox and later types follow it

constexpr QStringView kGeneralDateTime = u"m/d/yyyy h:mm:ss AMPM";

// "General Date": the date alone at midnight, the time alone on day 0, else both.
struct GeneralDate {
    DatePicture date{u"m/d/yyyy"};
    DatePicture time{u"h:mm:ss AMPM"};
    DatePicture both{kGeneralDateTime};

    bool format(double serial, FormatBuffer& out) const {
        const double day = std::floor(serial);
        const double timeOfDay = serial - day;
        if (timeOfDay * 86400.0 < 0.5) {
            return date.format(serial, out);
        }
        return (day == 0 ? time : both).format(serial, out);
    }
};

struct NamedPicture {
    QStringView name;
    QStringView picture;  // empty: cells as stored
};

constexpr std::array<NamedPicture, 13> kNamedPictures{{
    {u"General", u""},
    {u"General Number", u""},
    {u"Currency", u"$#,##0.00;($#,##0.00)"},
    {u"Fixed", u"0.00"},
    {u"Standard", u"#,##0.00"},
    {u"Percent", u"0.00%"},
    {u"Scientific", u"0.00E+00"},
    {u"Long Date", u"dddd, mmmm d, yyyy"},
    {u"Medium Date", u"dd-mmm-yy"},
    {u"Short Date", u"m/d/yyyy"},
    {u"Long Time", u"h:mm:ss AMPM"},
    {u"Medium Time", u"hh:mm AMPM"},
    {u"Short Time", u"hh:mm"},
}};

}  // namespace

struct DisplayFormat::Impl {
    std::variant<NumberPicture, DatePicture, GeneralDate> picture;

    // The picture of a text, or nothing when cells show as stored.
    static std::shared_ptr<const Impl> make(QStringView text) {
        const QStringView name = text.trimmed();
        if (name.isEmpty()) {
            return nullptr;  // a picture of spaces alone would blank every number
        }
        if (name.compare(u"General Date", Qt::CaseInsensitive) == 0) {
            return std::make_shared<const Impl>(Impl{GeneralDate{}});
        }
        for (const NamedPicture& named : kNamedPictures) {
            if (name.compare(named.name, Qt::CaseInsensitive) == 0) {
                if (named.picture.isEmpty()) {
                    return nullptr;
                }
                text = named.picture;
                break;
            }
        }
        if (DatePicture::isDatePicture(text)) {
            return std::make_shared<const Impl>(Impl{DatePicture(text)});
        }
        return std::make_shared<const Impl>(Impl{NumberPicture(text)});
    }

    bool formatSerial(double serial, FormatBuffer& out) const {
        if (const auto* number = std::get_if<NumberPicture>(&picture)) {
            number->format(serial, out);
            return true;
        }
        if (const auto* date = std::get_if<DatePicture>(&picture)) {
            return date->format(serial, out);
        }
        return std::get<GeneralDate>(picture).format(serial, out);
    }

    bool formatText(QStringView text, FormatBuffer& out) const {
        if (std::holds_alternative<NumberPicture>(picture)) {
            auto value = parseFormattedNumber(text);
            if (!value) {
                value = parseDateSerial(text);
            }
            return value && formatSerial(*value, out);
        }
        auto serial = parseDateSerial(text);
        if (!serial) {
            serial = parseNumber(text);
        }
        return serial && formatSerial(*serial, out);
    }
};

DisplayFormat::DisplayFormat(const QString& picture, int dataType) {
    if (!picture.isEmpty() && dataType < kFirstUnformattedType) {
        impl_ = Impl::make(picture);
    }
}

QString DisplayFormat::apply(const QString& text) const {
    if (!impl_ || text.isEmpty()) {
        return text;
    }
    FormatBuffer out;
    if (!impl_->formatText(text, out) || out.view() == QStringView(text)) {
        return text;
    }
    return out.toString();
}

QString DisplayFormat::formatSerial(double serial) const {
    FormatBuffer out;
    if (impl_) {
        if (!impl_->formatSerial(serial, out)) {
            return {};
        }
    } else {
        static const DatePicture general(kGeneralDateTime);
        if (!general.format(serial, out)) {
            return {};
        }
    }
    return out.toString();
}

QString formatDateTimeStamp(const QDateTime& now, const QString& picture) {
    if (!now.isValid()) {
        return {};
    }
    const QDate date = now.date();
    const QTime time = now.time();
    const double serial = dateSerial(date.year(), date.month(), date.day(), time.hour(),
                                     time.minute(), time.second());
    return DisplayFormat(picture, 0).formatSerial(serial);
}

}  // namespace pellumar
