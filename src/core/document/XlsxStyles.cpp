// The number formats of an .xlsx's cell styles: the built-in ones by number, and the workbook's
// own.
#include "core/document/XlsxStyles.h"

#include <QHash>
#include <QXmlStreamReader>

namespace pellumar::workbook {

namespace {

QString builtinFormat(int id) {
    switch (id) {
        case 1:
            return QStringLiteral("0");
        case 2:
            return QStringLiteral("0.00");
        case 3:
            return QStringLiteral("#,##0");
        case 4:
            return QStringLiteral("#,##0.00");
        case 5:
        case 6:
            return QStringLiteral("$#,##0");
        case 7:
        case 8:
            return QStringLiteral("$#,##0.00");
        case 9:
            return QStringLiteral("0%");
        case 10:
            return QStringLiteral("0.00%");
        case 11:
            return QStringLiteral("0.00E+00");
        case 14:
            return QStringLiteral("mm-dd-yy");
        case 15:
            return QStringLiteral("d-mmm-yy");
        case 16:
            return QStringLiteral("d-mmm");
        case 17:
            return QStringLiteral("mmm-yy");
        case 18:
            return QStringLiteral("h:mm AM/PM");
        case 19:
            return QStringLiteral("h:mm:ss AM/PM");
        case 20:
            return QStringLiteral("h:mm");
        case 21:
            return QStringLiteral("h:mm:ss");
        case 22:
            return QStringLiteral("m/d/yy h:mm");
        case 37:
        case 38:
            return QStringLiteral("#,##0");
        case 39:
        case 40:
            return QStringLiteral("#,##0.00");
        case 45:
            return QStringLiteral("mm:ss");
        case 46:
            return QStringLiteral("[h]:mm:ss");
        case 47:
            return QStringLiteral("mm:ss.0");
        case 48:
            return QStringLiteral("##0.0E+0");
        default:
            break;
    }
    if ((id >= 27 && id <= 36) || (id >= 50 && id <= 58)) {
        return QStringLiteral("yyyy-mm-dd");  // the East Asian date forms
    }
    return QString();
}

}  // namespace

std::vector<CellFormat> readXlsxStyles(const QByteArray& bytes) {
    QHash<int, QString> custom;
    std::vector<CellFormat> formats;
    QXmlStreamReader xml(bytes);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"numFmt") {
                custom.insert(xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                              xml.attributes().value(QLatin1String("formatCode")).toString());
            } else if (xml.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == u"xf" && formats.size() < 65536) {
                const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                CellFormat f;
                f.code = custom.contains(id) ? custom.value(id) : builtinFormat(id);
                f.shape = shapeOfFormat(f.code);
                if (f.code.contains(u'%')) {
                    f.numberKind = CellKind::Percent;
                } else if (f.code.contains(u'$') || f.code.contains(u'€') ||
                           f.code.contains(u'£') || f.code.contains(u'¥')) {
                    f.numberKind = CellKind::Money;
                }
                formats.push_back(std::move(f));
            }
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    return formats;
}

}  // namespace pellumar::workbook
