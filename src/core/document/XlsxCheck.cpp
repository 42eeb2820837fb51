#include "core/document/XlsxCheck.h"

#include <QXmlStreamReader>

#include <string_view>

#include "core/document/WorkbookPackage.h"

namespace pellumar::workbook {

namespace {

const QString kSheet = QStringLiteral("xl/worksheets/sheet1.xml");

bool wholeXml(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
    }
    return !xml.hasError();
}

}  // namespace

bool xlsxIsWhole(const QString& path, qint64 rows) {
    auto opened = Package::open(path, Kind::Xlsx);
    if (!opened) {
        return false;
    }
    Package& package = *opened.value();
    const QStringList parts = package.parts();
    for (const char* needed : {"[Content_Types].xml", "xl/workbook.xml", "xl/styles.xml"}) {
        if (!parts.contains(QLatin1String(needed))) {
            return false;
        }
    }
    for (const QString& part : parts) {
        if (part == kSheet || !(part.endsWith(u".xml") || part.endsWith(u".rels"))) {
            continue;
        }
        const auto bytes = package.readAll(part);
        if (!bytes || !wholeXml(*bytes)) {
            return false;
        }
    }
    auto sheet = package.stream(kSheet);
    if (!sheet) {
        return false;
    }
    // The rows are counted by their start tags ("<" is escaped in texts and attributes); the
    // tail is kept to see how the rows end.
    constexpr std::string_view kRow = "<row ";
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    std::string carry;  // the last bytes of the chunk before, for a tag across two
    qint64 counted = 0;
    for (;;) {
        const qint64 got = sheet->read(chunk.data(), chunk.size());
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        carry.append(chunk.constData(), static_cast<size_t>(got));
        const std::string_view text(carry);
        for (size_t at = text.find(kRow); at != std::string_view::npos;
             at = text.find(kRow, at + 1)) {
            ++counted;
        }
        carry.erase(0, carry.size() - std::min<size_t>(carry.size(), 4096));
        // What is kept again must not be counted again: only the part after its last row tag.
        const size_t last = carry.rfind(kRow);
        if (last != std::string::npos) {
            carry.erase(0, last + 1);
        }
    }
    if (package.failed() || counted != rows) {
        return false;
    }
    const std::string_view tail(carry);
    if (!tail.ends_with("</worksheet>")) {
        return false;
    }
    return rows == 0 ? tail.find("<sheetData/>") != std::string_view::npos
                     : tail.find("</row></sheetData>") != std::string_view::npos;
}

}  // namespace pellumar::workbook
