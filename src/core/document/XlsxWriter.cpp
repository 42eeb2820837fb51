// Writing an Office Open XML workbook (.xlsx): minizip makes the zip straight into the atomic save
// and Qt's XML writer the parts. The sheet is written a row at a time with its strings inline;
// the cell formats it names, found on the way, go into styles.xml after it.
#include <QHash>
#include <QXmlStreamWriter>

#include <vector>

#include "core/document/FileAccess.h"
#include "core/document/WorkbookPackage.h"
#include "core/document/WorkbookSheet.h"
#include "core/document/WorkbookStyle.h"
#include "core/document/WorkbookWriters.h"

namespace pellumar::workbook {

namespace {

const QString kMain = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
const QString kRelNs =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

// The column's letters: 0 "A", 26 "AA".
QString columnName(int col) {
    QString name;
    for (int n = col + 1; n > 0; n = (n - 1) / 26) {
        name.prepend(QChar(u'A' + (n - 1) % 26));
    }
    return name;
}

// A cell's UTF-8 text as XML character data: "&", "<" and ">" as entities, the characters XML
// cannot carry (controls other than tab and line feed, U+FFFE, U+FFFF) as "_xHHHH_", and an
// underscore that would start such an escape as "_x005F_", so that the text reads back as it is.
void appendEscapedText(std::string_view text, std::string& out) {
    static const char kHex[] = "0123456789ABCDEF";
    const auto escape = [&](unsigned code) {
        out += "_x";
        for (int shift = 12; shift >= 0; shift -= 4) {
            out += kHex[(code >> shift) & 0xf];
        }
        out += '_';
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '_':
                if (i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
                    escape('_');
                    continue;
                }
                break;
            case 0xEF:
                if (i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
                    (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
                    escape(0xFFFE | (static_cast<unsigned char>(text[i + 2]) & 1));
                    i += 2;
                    continue;
                }
                break;
            default:
                if (c < 0x20 && c != '\t' && c != '\n') {
                    escape(c);
                    continue;
                }
                break;
        }
        out += static_cast<char>(c);
    }
}

// A program serial as a serial of the 1900 system (which counts a 1900-02-29).
double excelSerial(double serial) {
    return serial < 61 ? serial - 1 : serial;
}

struct FontKey {
    bool bold, italic, underline;
    int color;
    bool operator==(const FontKey&) const = default;
};

class XlsxWriter {
public:
    XlsxWriter(const Table& table, ZipWriter& zip) : table_(table), zip_(zip) {}

    bool write() {
        fonts_.push_back({false, false, false, -1});
        fills_ = {-2, -3};  // the two fills every workbook starts with
        xfs_.push_back({CellLook{}, 0});
        numFmts_.insert(QStringLiteral("General"), 0);
        return part(QStringLiteral("[Content_Types].xml"), contentTypes()) &&
               part(QStringLiteral("_rels/.rels"), rootRelations()) &&
               part(QStringLiteral("xl/workbook.xml"), workbook()) &&
               part(QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRelations()) && sheet() &&
               part(QStringLiteral("xl/styles.xml"), styles());
    }

private:
    bool part(const QString& name, const QByteArray& bytes) { return zip_.add(name, bytes); }

    static QByteArray contentTypes() {
        return QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" "
            "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
            "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
            "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
            "</Types>");
    }

    static QByteArray rootRelations() {
        return QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
            "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
            "officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
            "</Relationships>");
    }

    static QByteArray workbook() {
        return QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
            "<workbookPr/><bookViews><workbookView/></bookViews>"
            "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    }

    static QByteArray workbookRelations() {
        return QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
            "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
            "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
            "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/styles\" Target=\"styles.xml\"/></Relationships>");
    }

    // The index of the cell format for a look and a number format, made on first use.
    int xf(const CellLook& look, const QString& numberFormat) {
        int fmt = 0;
        if (!numberFormat.isEmpty()) {
            auto it = numFmts_.constFind(numberFormat);
            if (it == numFmts_.constEnd()) {
                it = numFmts_.insert(numberFormat, 164 + static_cast<int>(numFmtOrder_.size()));
                numFmtOrder_.push_back(numberFormat);
            }
            fmt = *it;
        }
        const auto key = std::make_pair(look, fmt);
        for (size_t i = 0; i < xfs_.size(); ++i) {
            if (xfs_[i] == key) {
                return static_cast<int>(i);
            }
        }
        xfs_.push_back(key);
        return static_cast<int>(xfs_.size() - 1);
    }

    struct ColumnPlan {
        int type = DataTypeNone;
        int alignment = AlignGeneral;
        int plain = 0;  // an unstyled cell of the column's type
        int plainDateTime = 0;
        int text = 0;  // an unstyled text cell
        QString numberCode;
        QString dateTimeCode;
    };

    bool sheet() {
        if (!zip_.openEntry(QStringLiteral("xl/worksheets/sheet1.xml"))) {
            return false;
        }
        ChunkedWriter sink(zip_);
        QXmlStreamWriter xml(&sink);
        bool ok = true;
        const auto drain = [&](bool always) {
            if (always) {
                ok = sink.flushAll() && ok;
            }
        };
        const int cols = table_.columnCount();
        xml.writeStartDocument(QStringLiteral("1.0"), true);
        xml.writeDefaultNamespace(kMain);
        xml.writeStartElement(kMain, QStringLiteral("worksheet"));
        xml.writeNamespace(kRelNs, QStringLiteral("r"));
        // The title row frozen.
        xml.writeStartElement(kMain, QStringLiteral("sheetViews"));
        xml.writeStartElement(kMain, QStringLiteral("sheetView"));
        xml.writeAttribute(QStringLiteral("workbookViewId"), QStringLiteral("0"));
        xml.writeEmptyElement(kMain, QStringLiteral("pane"));
        xml.writeAttribute(QStringLiteral("ySplit"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("topLeftCell"), QStringLiteral("A2"));
        xml.writeAttribute(QStringLiteral("activePane"), QStringLiteral("bottomLeft"));
        xml.writeAttribute(QStringLiteral("state"), QStringLiteral("frozen"));
        xml.writeEndElement();
        xml.writeEndElement();
        std::vector<ColumnPlan> plans(static_cast<size_t>(cols));
        bool anyColumn = false;
        for (int c = 0; c < cols; ++c) {
            const ColumnAttributes& a = table_.columnAttributes(c);
            ColumnPlan& p = plans[static_cast<size_t>(c)];
            p.type = a.dataType;
            p.alignment = a.alignment;
            const CellLook look = lookOf(nullptr, a.alignment, {}, false);
            if (a.dataType == DataTypeNumber || a.dataType == DataTypeMoney) {
                p.numberCode = numberFormatCode(a.format, a.dataType);
            } else if (a.dataType == DataTypeDate) {
                p.numberCode = numberFormatCode(a.format, a.dataType, false);
                p.dateTimeCode = numberFormatCode(a.format, a.dataType, true);
                p.plainDateTime = xf(look, p.dateTimeCode);
            }
            p.plain = xf(look, p.numberCode);
            p.text = xf(look, QString());
            if (a.width < 0 && !a.hidden) {
                continue;
            }
            if (!anyColumn) {
                xml.writeStartElement(kMain, QStringLiteral("cols"));
                anyColumn = true;
            }
            xml.writeEmptyElement(kMain, QStringLiteral("col"));
            xml.writeAttribute(QStringLiteral("min"), QString::number(c + 1));
            xml.writeAttribute(QStringLiteral("max"), QString::number(c + 1));
            xml.writeAttribute(
                QStringLiteral("width"),
                QString::number(a.width >= 0 ? charactersOfTwips(a.width) : 8.43, 'f', 2));
            if (a.width >= 0) {
                xml.writeAttribute(QStringLiteral("customWidth"), QStringLiteral("1"));
            }
            if (a.hidden) {
                xml.writeAttribute(QStringLiteral("hidden"), QStringLiteral("1"));
            }
        }
        if (anyColumn) {
            xml.writeEndElement();
        }
        xml.writeStartElement(kMain, QStringLiteral("sheetData"));
        xml.writeCharacters(QString());  // closes the start tag: the rows follow as bytes
        // The rows are the bulk of the file: their bytes are made here, the texts escaped as
        // XML needs (and as _xHHHH_ what it cannot carry), without a string per cell.
        const bool styled = table_.hasAnyStyle();
        std::vector<std::string_view> texts(static_cast<size_t>(cols));
        std::vector<std::string> names(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            names[static_cast<size_t>(c)] = columnName(c).toStdString();
        }
        std::string out;
        for (int r = 0; r < table_.rowCount() && !xml.hasError(); ++r) {
            table_.rowUtf8(r, texts);
            const std::string rowName = std::to_string(r + 1);
            bool started = false;
            for (int c = 0; c < cols; ++c) {
                const std::string_view cell = texts[static_cast<size_t>(c)];
                const bool hasStyle = styled && table_.hasStyle(r, c);
                if (cell.empty() && !hasStyle) {
                    continue;
                }
                if (!started) {
                    out += "<row r=\"";
                    out += rowName;
                    out += "\">";
                    started = true;
                }
                const ColumnPlan& p = plans[static_cast<size_t>(c)];
                const TypedCell typed = r == 0 ? TypedCell{} : typedCell(cell, p.type);
                const bool asText = typed.as == TypedCell::As::Text ||
                                    (typed.as == TypedCell::As::Date && typed.number < 1);
                const bool wrap = asText && cell.find('\n') != std::string_view::npos;
                int format = asText ? p.text : typed.hasTime ? p.plainDateTime : p.plain;
                if (hasStyle || wrap || r == 0) {
                    const CellStyle style = hasStyle ? table_.style(r, c) : CellStyle{};
                    format = xf(lookOf(hasStyle ? &style : nullptr, p.alignment,
                                       asText ? cell : std::string_view(), r == 0),
                                asText          ? QString()
                                : typed.hasTime ? p.dateTimeCode
                                                : p.numberCode);
                }
                out += "<c r=\"";
                out += names[static_cast<size_t>(c)];
                out += rowName;
                out += '"';
                if (format != 0) {
                    out += " s=\"";
                    out += std::to_string(format);
                    out += '"';
                }
                if (cell.empty()) {
                    out += "/>";  // a styled blank cell
                } else if (asText) {
                    out += " t=\"inlineStr\"><is><t xml:space=\"preserve\">";
                    appendEscapedText(cell, out);
                    out += "</t></is></c>";
                } else if (typed.as == TypedCell::As::Boolean) {
                    out += typed.number != 0 ? " t=\"b\"><v>1</v></c>" : " t=\"b\"><v>0</v></c>";
                } else {
                    out += "><v>";
                    appendNumberText(
                        typed.as == TypedCell::As::Date ? excelSerial(typed.number) : typed.number,
                        out);
                    out += "</v></c>";
                }
            }
            if (started) {
                out += "</row>";
            }
            if (out.size() >= (size_t{1} << 16)) {
                sink.write(out.data(), static_cast<qint64>(out.size()));
                out.clear();
            }
        }
        sink.write(out.data(), static_cast<qint64>(out.size()));
        xml.writeEndElement();  // sheetData
        xml.writeEndElement();  // worksheet
        xml.writeEndDocument();
        drain(true);
        return zip_.closeEntry() && ok && !xml.hasError();
    }

    int font(const CellLook& look) {
        const FontKey key{look.bold, look.italic, look.underline, look.foreColor};
        for (size_t i = 0; i < fonts_.size(); ++i) {
            if (fonts_[i] == key) {
                return static_cast<int>(i);
            }
        }
        fonts_.push_back(key);
        return static_cast<int>(fonts_.size() - 1);
    }

    int fill(int color) {
        if (color < 0) {
            return 0;
        }
        for (size_t i = 2; i < fills_.size(); ++i) {
            if (fills_[i] == color) {
                return static_cast<int>(i);
            }
        }
        fills_.push_back(color);
        return static_cast<int>(fills_.size() - 1);
    }

    QByteArray styles() {
        // The fonts and fills are known once every cell format is.
        std::vector<std::pair<int, int>> fontAndFill;
        for (const auto& [look, fmt] : xfs_) {
            fontAndFill.emplace_back(font(look), fill(look.backColor));
        }
        QByteArray bytes;
        QXmlStreamWriter xml(&bytes);
        xml.writeStartDocument(QStringLiteral("1.0"), true);
        xml.writeDefaultNamespace(kMain);
        xml.writeStartElement(kMain, QStringLiteral("styleSheet"));
        if (!numFmtOrder_.empty()) {
            xml.writeStartElement(kMain, QStringLiteral("numFmts"));
            xml.writeAttribute(QStringLiteral("count"), QString::number(numFmtOrder_.size()));
            for (const QString& code : numFmtOrder_) {
                xml.writeEmptyElement(kMain, QStringLiteral("numFmt"));
                xml.writeAttribute(QStringLiteral("numFmtId"), QString::number(numFmts_[code]));
                xml.writeAttribute(QStringLiteral("formatCode"), code);
            }
            xml.writeEndElement();
        }
        xml.writeStartElement(kMain, QStringLiteral("fonts"));
        xml.writeAttribute(QStringLiteral("count"), QString::number(fonts_.size()));
        for (const FontKey& f : fonts_) {
            xml.writeStartElement(kMain, QStringLiteral("font"));
            if (f.bold) {
                xml.writeEmptyElement(kMain, QStringLiteral("b"));
            }
            if (f.italic) {
                xml.writeEmptyElement(kMain, QStringLiteral("i"));
            }
            if (f.underline) {
                xml.writeEmptyElement(kMain, QStringLiteral("u"));
            }
            xml.writeEmptyElement(kMain, QStringLiteral("sz"));
            xml.writeAttribute(QStringLiteral("val"), QStringLiteral("11"));
            if (f.color >= 0) {
                xml.writeEmptyElement(kMain, QStringLiteral("color"));
                xml.writeAttribute(
                    QStringLiteral("rgb"),
                    QStringLiteral("FF%1").arg(f.color, 6, 16, QLatin1Char('0')).toUpper());
            }
            xml.writeEmptyElement(kMain, QStringLiteral("name"));
            xml.writeAttribute(QStringLiteral("val"), QStringLiteral("Calibri"));
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeStartElement(kMain, QStringLiteral("fills"));
        xml.writeAttribute(QStringLiteral("count"), QString::number(fills_.size()));
        for (size_t i = 0; i < fills_.size(); ++i) {
            xml.writeStartElement(kMain, QStringLiteral("fill"));
            xml.writeStartElement(kMain, QStringLiteral("patternFill"));
            xml.writeAttribute(QStringLiteral("patternType"), i == 0   ? QStringLiteral("none")
                                                              : i == 1 ? QStringLiteral("gray125")
                                                                       : QStringLiteral("solid"));
            if (i >= 2) {
                xml.writeEmptyElement(kMain, QStringLiteral("fgColor"));
                xml.writeAttribute(
                    QStringLiteral("rgb"),
                    QStringLiteral("FF%1").arg(fills_[i], 6, 16, QLatin1Char('0')).toUpper());
            }
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeStartElement(kMain, QStringLiteral("borders"));
        xml.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
        xml.writeEmptyElement(kMain, QStringLiteral("border"));
        xml.writeEndElement();
        xml.writeStartElement(kMain, QStringLiteral("cellStyleXfs"));
        xml.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
        xml.writeEmptyElement(kMain, QStringLiteral("xf"));
        xml.writeEndElement();
        xml.writeStartElement(kMain, QStringLiteral("cellXfs"));
        xml.writeAttribute(QStringLiteral("count"), QString::number(xfs_.size()));
        static const char* const kHorizontal[] = {"left", "center", "right"};
        static const char* const kVertical[] = {"top", "center", "bottom"};
        for (size_t i = 0; i < xfs_.size(); ++i) {
            const auto& [look, fmt] = xfs_[i];
            const bool aligned = horizontalOf(look.alignment) >= 0 || look.wrap;
            xml.writeStartElement(kMain, QStringLiteral("xf"));
            xml.writeAttribute(QStringLiteral("numFmtId"), QString::number(fmt));
            xml.writeAttribute(QStringLiteral("fontId"), QString::number(fontAndFill[i].first));
            xml.writeAttribute(QStringLiteral("fillId"), QString::number(fontAndFill[i].second));
            xml.writeAttribute(QStringLiteral("borderId"), QStringLiteral("0"));
            if (fmt != 0) {
                xml.writeAttribute(QStringLiteral("applyNumberFormat"), QStringLiteral("1"));
            }
            if (aligned) {
                xml.writeAttribute(QStringLiteral("applyAlignment"), QStringLiteral("1"));
                xml.writeEmptyElement(kMain, QStringLiteral("alignment"));
                if (horizontalOf(look.alignment) >= 0) {
                    xml.writeAttribute(QStringLiteral("horizontal"),
                                       QLatin1String(kHorizontal[horizontalOf(look.alignment)]));
                    xml.writeAttribute(QStringLiteral("vertical"),
                                       QLatin1String(kVertical[verticalOf(look.alignment)]));
                }
                if (look.wrap) {
                    xml.writeAttribute(QStringLiteral("wrapText"), QStringLiteral("1"));
                }
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeStartElement(kMain, QStringLiteral("cellStyles"));
        xml.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
        xml.writeEmptyElement(kMain, QStringLiteral("cellStyle"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Normal"));
        xml.writeAttribute(QStringLiteral("xfId"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("builtinId"), QStringLiteral("0"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndDocument();
        return bytes;
    }

    const Table& table_;
    ZipWriter& zip_;
    QHash<QString, int> numFmts_;
    std::vector<QString> numFmtOrder_;
    std::vector<std::pair<CellLook, int>> xfs_;
    std::vector<FontKey> fonts_;
    std::vector<int> fills_;
};

}  // namespace

Result<void> saveXlsx(const Table& table, const QString& path) {
    const QString name = fileaccess::displayName(path);
    if (auto error = checkLimits(table, name, Kind::Xlsx)) {
        return *error;
    }
    return saveZipped(path, [&](ZipWriter& zip) { return XlsxWriter(table, zip).write(); });
}

}  // namespace pellumar::workbook
