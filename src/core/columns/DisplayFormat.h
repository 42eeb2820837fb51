// A column's display picture ("0.00", "$#,###", "mm/dd/yy", ...), parsed once and applied to
// every cell the grid or the Form Panel shows.
//
// The picture, not the column's data type, decides how a cell is read: a picture with a date or
// time token (and no "0", "#" or "%") is a date picture, any other a number picture (see
// DateFormat.h and NumberFormat.h for the tokens). A number picture shows a cell that reads as a
// number (plain, or as formats write it: "1,234.50", "$5", "12%") or as a date (its serial
// number); a date picture shows a cell that reads as a date, or a plain number taken as a date
// serial. Any other text is shown as stored.
//
// A picture of spaces alone and the named pictures "General" and "General Number" show cells as
// stored; "Currency", "Fixed", "Standard", "Percent", "Scientific", "Long Date", "Medium Date",
// "Short Date", "Long Time", "Medium Time", "Short Time" and "General Date" stand for the usual
// pictures.
//
// Separators, month and weekday names and AM/PM are the C locale's and English ("." and ",",
// "Mar", "PM") on every machine, so a file shows the same wherever it is opened.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <memory>

namespace pellumar {

class DisplayFormat {
public:
    DisplayFormat() = default;
    // Text (8), Checkbox (11) and any other type from 8 up show their cells as stored.
    DisplayFormat(const QString& picture, int dataType);

    // True when cells are shown exactly as stored.
    bool isIdentity() const { return !impl_; }

    // The stored text as the user sees it; a text that does not fit the picture comes back as is.
    QString apply(const QString& text) const;

    // A date-time serial number through the picture: a date picture shows the date and time, a
    // number picture the number. A format that shows cells as stored gives the general
    // date-and-time form, "3/14/2024 1:05:09 PM".
    QString formatSerial(double serial) const;

private:
    struct Impl;
    std::shared_ptr<const Impl> impl_;
};

// The date-time stamp: `now` (to the second) through `picture`; an empty picture gives the
// general date-and-time form, "3/14/2024 1:05:09 PM", which reads back as a date.
QString formatDateTimeStamp(const QDateTime& now, const QString& picture);

}  // namespace pellumar
