#include "core/table/TableLimits.h"

#include <QLocale>

namespace pellumar {

QString groupedNumber(qint64 n) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions);
    return c.toString(n);
}

QString tooManyColumnsMessage() {
    return QStringLiteral(
               "A table can have at most %1 columns; this would make more. Nothing "
               "was changed.")
        .arg(groupedNumber(kMaxColumns));
}

QString tooManyRowsMessage() {
    return QStringLiteral(
               "A table can have at most %1 records; this would make more. Nothing "
               "was changed.")
        .arg(groupedNumber(kMaxRows - 1));
}

}  // namespace pellumar
