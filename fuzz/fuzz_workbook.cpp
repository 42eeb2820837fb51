// Fuzzes the workbook readers (.xlsx and .ods). The first byte chooses the form and whether the
// rest is a whole file (its zip container included) or the XML of the sheet, put into a zip
// with the other parts a workbook needs, so that mutations reach the XML readers. A workbook
// loads or gives an error with a message; a loaded table saved as .xlsx loads back with the same
// texts, and saved as .ods loads back too.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

#include "FuzzSupport.h"
#include "core/document/Workbook.h"
#include "core/document/ZipWriter.h"

using namespace pellumar;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeZip(const QString& path, const QList<std::pair<QString, QByteArray>>& parts) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    workbook::ZipWriter zip(file);
    for (const auto& [name, bytes] : parts) {
        if (!zip.add(name, bytes)) {
            return false;
        }
    }
    return zip.close();
}

bool sameTexts(const Table& a, const Table& b) {
    if (a.rowCount() != b.rowCount() || a.columnCount() != b.columnCount()) {
        return false;
    }
    for (int r = 0; r < a.rowCount(); ++r) {
        for (int c = 0; c < a.columnCount(); ++c) {
            if (a.utf8(r, c) != b.utf8(r, c)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    static QTemporaryDir dir;
    const bool xlsx = (data[0] & 1) == 0;
    const bool whole = (data[0] & 2) == 0;
    const WorkbookKind kind = xlsx ? WorkbookKind::Xlsx : WorkbookKind::Ods;
    const QByteArray body(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    const QString input =
        dir.filePath(xlsx ? QStringLiteral("input.xlsx") : QStringLiteral("input.ods"));
    bool written = false;
    if (whole) {
        written = writeFile(input, body);
    } else if (xlsx) {
        written = writeZip(
            input, {{QStringLiteral("xl/workbook.xml"),
                     "<workbook><sheets><sheet name=\"S\" r:id=\"rId1\" "
                     "xmlns:r=\"r\"/></sheets></workbook>"},
                    {QStringLiteral("xl/_rels/workbook.xml.rels"),
                     "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/s.xml\"/>"
                     "</Relationships>"},
                    {QStringLiteral("xl/sharedStrings.xml"),
                     "<sst><si><t>one</t></si><si><r><t>t</t></r></si>"
                     "</sst>"},
                    {QStringLiteral("xl/worksheets/s.xml"), body}});
    } else {
        written = writeZip(
            input, {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                    {QStringLiteral("content.xml"), body}});
    }
    if (!written) {
        return 0;
    }
    constexpr quint64 kMemory = quint64{512} << 20;
    auto loaded = loadWorkbook(input, kind, {}, {}, kMemory);
    if (!loaded) {
        if (loaded.message().isEmpty()) {
            fuzz::fault("an error without a message");
        }
        return 0;
    }
    const Table& table = loaded.value().table;
    if (table.rowCount() > kSheetMaxRows || table.columnCount() > kSheetMaxColumns) {
        return 0;  // a table too large for the forms is refused when saved
    }
    const QString again = dir.filePath(QStringLiteral("again.xlsx"));
    const auto saved = saveWorkbook(table, again, WorkbookKind::Xlsx);
    if (!saved) {
        return 0;  // a text too long for a cell of .xlsx
    }
    auto reloaded = loadWorkbook(again, WorkbookKind::Xlsx, {}, {}, kMemory);
    if (!reloaded) {
        fuzz::fault("a saved .xlsx does not load");
    }
    if (!sameTexts(table, reloaded.value().table)) {
        fuzz::fault("a saved .xlsx loads with other texts");
    }
    const QString ods = dir.filePath(QStringLiteral("again.ods"));
    if (saveWorkbook(table, ods, WorkbookKind::Ods) && !loadWorkbook(ods, WorkbookKind::Ods)) {
        fuzz::fault("a saved .ods does not load");
    }
    return 0;
}
