// Helpers for the workbook tests: zips made from parts, and small workbooks made from a sheet's
// XML, so that each test states the cells it reads.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <utility>

#include "core/document/WorkbookPackage.h"
#include "core/document/ZipWriter.h"

namespace pellumar::testing {

using Parts = QList<std::pair<QString, QByteArray>>;

inline bool writeZip(const QString& path, const Parts& parts) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    workbook::ZipWriter zip(file, 9);
    for (const auto& [name, bytes] : parts) {
        if (!zip.add(name, bytes, name != u"mimetype")) {
            return false;
        }
    }
    return zip.close();
}

// A part of a zip as the workbook readers see it; empty when it cannot be read.
inline QByteArray readPart(const QString& path, const QString& part) {
    auto package = workbook::Package::open(path, workbook::Kind::Xlsx);
    if (!package) {
        return QByteArray();
    }
    return package.value()->readAll(part).value_or(QByteArray());
}

// An .xlsx of one sheet: `sheetData` the inside of <sheetData>, `extra` what follows it.
inline Parts xlsxParts(const QByteArray& sheetData, const QByteArray& styles = {},
                       const QByteArray& sharedStrings = {}, const QByteArray& workbookPr = {},
                       const QByteArray& beforeData = {}) {
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    Parts parts;
    parts << std::pair{QStringLiteral("_rels/.rels"),
                       QByteArray("<Relationships><Relationship Id=\"r1\" Type=\"http://x/"
                                  "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>")};
    parts << std::pair{QStringLiteral("xl/workbook.xml"),
                       "<workbook " + ns + " xmlns:r=\"rel\">" + workbookPr +
                           "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
                           "</workbook>"};
    parts << std::pair{
        QStringLiteral("xl/_rels/workbook.xml.rels"),
        QByteArray("<Relationships><Relationship Id=\"rId1\" Type=\"http://x/"
                   "worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>")};
    parts << std::pair{QStringLiteral("xl/worksheets/sheet1.xml"),
                       "<worksheet " + ns + ">" + beforeData + "<sheetData>" + sheetData +
                           "</sheetData></worksheet>"};
    if (!styles.isEmpty()) {
        parts << std::pair{QStringLiteral("xl/styles.xml"),
                           "<styleSheet " + ns + ">" + styles + "</styleSheet>"};
    }
    if (!sharedStrings.isEmpty()) {
        parts << std::pair{QStringLiteral("xl/sharedStrings.xml"),
                           "<sst " + ns + ">" + sharedStrings + "</sst>"};
    }
    return parts;
}

// An .ods: `tables` the inside of <office:spreadsheet>, `styles` automatic styles.
inline Parts odsParts(const QByteArray& tables, const QByteArray& styles = {}) {
    const QByteArray ns =
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
        "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\"";
    Parts parts;
    parts << std::pair{QStringLiteral("mimetype"),
                       QByteArray("application/vnd.oasis.opendocument.spreadsheet")};
    parts << std::pair{QStringLiteral("content.xml"),
                       "<office:document-content " + ns + "><office:automatic-styles>" + styles +
                           "</office:automatic-styles><office:body><office:spreadsheet>" + tables +
                           "</office:spreadsheet></office:body></office:document-content>"};
    parts << std::pair{QStringLiteral("META-INF/manifest.xml"), QByteArray("<manifest/>")};
    return parts;
}

}  // namespace pellumar::testing
