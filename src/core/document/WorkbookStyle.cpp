#include "core/document/WorkbookStyle.h"

#include <vector>

#include "core/document/FileAccess.h"
#include "core/document/Workbook.h"

namespace pellumar::workbook {

std::optional<FileError> checkLimits(const Table& table, const QString& name, Kind kind) {
    const QString instead = QStringLiteral(
        "Save it as a Pellumar file (.plm) or as comma text (.csv) instead, which hold it whole");
    if (table.rowCount() > kSheetMaxRows) {
        return FileError{FileError::Reason::TooLarge,
                         QStringLiteral("Cannot save %1: the table has %2 rows with its title row, "
                                        "and a sheet of %3 holds at most %4. %5.")
                             .arg(name, groupedNumber(table.rowCount()), kindName(kind),
                                  groupedNumber(kSheetMaxRows), instead)};
    }
    if (table.columnCount() > kSheetMaxColumns) {
        return FileError{FileError::Reason::TooLarge,
                         QStringLiteral("Cannot save %1: the table has %2 columns, and a sheet of "
                                        "%3 holds at most %4. %5.")
                             .arg(name, groupedNumber(table.columnCount()), kindName(kind),
                                  groupedNumber(kSheetMaxColumns), instead)};
    }
    if (kind != Kind::Xlsx) {
        return std::nullopt;
    }
    constexpr int kChunk = 4096;
    std::vector<std::string_view> texts(kChunk);
    for (int col = 0; col < table.columnCount(); ++col) {
        for (int row = 0; row < table.rowCount(); row += kChunk) {
            table.columnUtf8(col, row, texts);
            for (int i = 0; i < kChunk && row + i < table.rowCount(); ++i) {
                const std::string_view t = texts[static_cast<size_t>(i)];
                // Each UTF-16 unit takes at least one UTF-8 byte.
                if (t.size() > static_cast<size_t>(kXlsxMaxText) &&
                    QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())).size() >
                        kXlsxMaxText) {
                    return FileError{
                        FileError::Reason::TooLarge,
                        QStringLiteral("Cannot save %1: the cell in row %2, column %3 holds more "
                                       "than %4 characters, the most an Excel workbook's cell "
                                       "holds. Save the table as an OpenDocument spreadsheet "
                                       "(.ods), a Pellumar file (.plm) or comma text (.csv) "
                                       "instead, which hold it whole.")
                            .arg(name, groupedNumber(row + i + 1), groupedNumber(col + 1),
                                 groupedNumber(kXlsxMaxText))};
                }
            }
        }
    }
    return std::nullopt;
}

CellLook lookOf(const CellStyle* style, int columnAlignment, std::string_view text, bool title) {
    CellLook look;
    look.alignment = columnAlignment == AlignGeneral ? -1 : columnAlignment;
    look.bold = title;
    look.wrap = text.find('\n') != std::string_view::npos;
    if (style) {
        if (style->alignment >= 0 && style->alignment <= 8) {
            look.alignment = style->alignment;
        }
        look.bold |= style->bold;
        look.italic = style->italic;
        look.underline = style->underline;
        if (style->foreColor >> 24) {
            look.foreColor = static_cast<int>(style->foreColor & 0xffffff);
        }
        if (style->backColor >> 24) {
            look.backColor = static_cast<int>(style->backColor & 0xffffff);
        }
    }
    return look;
}

QString xmlSafe(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\n') || c == 0xfffe || c == 0xffff) {
            text.remove(i--, 1);
        }
    }
    return text;
}

}  // namespace pellumar::workbook
