// Writing an OpenDocument spreadsheet (.ods): minizip makes the zip straight into the atomic save
// and Qt's XML writer the parts. content.xml holds the columns' widths and the cells; the cell
// and number styles it names, found while the cells are written, go into styles.xml after it.
#include <QHash>
#include <QXmlStreamWriter>

#include <vector>

#include "core/columns/DateFormat.h"
#include "core/document/FileAccess.h"
#include "core/document/WorkbookPackage.h"
#include "core/document/WorkbookSheet.h"
#include "core/document/WorkbookStyle.h"
#include "core/document/WorkbookWriters.h"

namespace pellumar::workbook {

namespace {

const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kNumber = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0");
const QString kConfig = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:config:1.0");
const QString kManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
const QByteArray kMime("application/vnd.oasis.opendocument.spreadsheet");

void declare(QXmlStreamWriter& xml) {
    xml.writeNamespace(kOffice, QStringLiteral("office"));
    xml.writeNamespace(kStyle, QStringLiteral("style"));
    xml.writeNamespace(kText, QStringLiteral("text"));
    xml.writeNamespace(kTable, QStringLiteral("table"));
    xml.writeNamespace(kFo, QStringLiteral("fo"));
    xml.writeNamespace(kNumber, QStringLiteral("number"));
}

QString colorText(int rgb) {
    return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0'));
}

// A number style from a column's number picture.
void writeNumberStyle(QXmlStreamWriter& xml, const QString& name, const QString& picture,
                      int dataType) {
    const bool percent = picture.contains(u'%');
    const bool money = dataType == DataTypeMoney || picture.contains(u'$');
    const qsizetype point = picture.indexOf(u'.');
    int decimals = 0;
    for (qsizetype i = point + 1;
         point >= 0 && i < picture.size() && (picture[i] == u'0' || picture[i] == u'#'); ++i) {
        ++decimals;
    }
    xml.writeStartElement(kNumber, percent ? QStringLiteral("percentage-style")
                                   : money ? QStringLiteral("currency-style")
                                           : QStringLiteral("number-style"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), name);
    if (money) {
        xml.writeTextElement(kNumber, QStringLiteral("currency-symbol"), QStringLiteral("$"));
    }
    xml.writeStartElement(kNumber, QStringLiteral("number"));
    xml.writeAttribute(kNumber, QStringLiteral("decimal-places"), QString::number(decimals));
    xml.writeAttribute(kNumber, QStringLiteral("min-integer-digits"),
                       picture.contains(u'0') ? QStringLiteral("1") : QStringLiteral("0"));
    if (picture.contains(u',')) {
        xml.writeAttribute(kNumber, QStringLiteral("grouping"), QStringLiteral("true"));
    }
    xml.writeEndElement();
    if (percent) {
        xml.writeTextElement(kNumber, QStringLiteral("text"), QStringLiteral("%"));
    }
    xml.writeEndElement();
}

// A date style from a spreadsheet date code ("mm/dd/yyyy hh:mm AM/PM", "yyyy-mm-dd").
void writeDateStyle(QXmlStreamWriter& xml, const QString& name, const QString& code) {
    xml.writeStartElement(kNumber, QStringLiteral("date-style"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), name);
    const QString c = code.toLower();
    bool afterHour = false;
    QString literal;
    const auto flush = [&] {
        if (!literal.isEmpty()) {
            xml.writeTextElement(kNumber, QStringLiteral("text"), literal);
            literal.clear();
        }
    };
    const auto part = [&](const QString& element, bool longForm, bool textual = false) {
        flush();
        xml.writeStartElement(kNumber, element);
        if (longForm) {
            xml.writeAttribute(kNumber, QStringLiteral("style"), QStringLiteral("long"));
        }
        if (textual) {
            xml.writeAttribute(kNumber, QStringLiteral("textual"), QStringLiteral("true"));
        }
        xml.writeEndElement();
    };
    for (qsizetype i = 0; i < c.size();) {
        qsizetype n = 1;
        while (i + n < c.size() && c[i + n] == c[i]) {
            ++n;
        }
        const char16_t ch = c[i].unicode();
        if (c.mid(i, 5) == u"am/pm") {
            part(QStringLiteral("am-pm"), false);
            i += 5;
            continue;
        }
        if (ch == u'y') {
            part(QStringLiteral("year"), n > 2);
        } else if (ch == u'm' && afterHour && n <= 2) {
            part(QStringLiteral("minutes"), n == 2);
        } else if (ch == u'm') {
            part(QStringLiteral("month"), n == 2 || n >= 4, n >= 3);
        } else if (ch == u'd') {
            part(QStringLiteral("day"), n >= 2);
        } else if (ch == u'h') {
            part(QStringLiteral("hours"), n >= 2);
            afterHour = true;
        } else if (ch == u's') {
            part(QStringLiteral("seconds"), n >= 2);
        } else if (ch != u'"' && ch != u'\\') {
            literal += c.mid(i, n);
        }
        i += n;
    }
    flush();
    xml.writeEndElement();
}

struct CellStyleKey {
    CellLook look;
    QString dataStyle;
    bool operator==(const CellStyleKey&) const = default;
};

size_t qHash(const CellStyleKey& k, size_t seed = 0) {
    return ::qHash(k.dataStyle, seed) ^ ::qHash(k.look.alignment) ^
           ::qHash(k.look.foreColor * 31 + k.look.backColor) ^
           (size_t(k.look.bold) | size_t(k.look.italic) << 1 | size_t(k.look.underline) << 2 |
            size_t(k.look.wrap) << 3);
}

class OdsWriter {
public:
    OdsWriter(const Table& table, ZipWriter& zip) : table_(table), zip_(zip) {}

    bool write() {
        return part(QStringLiteral("mimetype"), kMime, false) && content() &&
               part(QStringLiteral("styles.xml"), styles(), true) &&
               part(QStringLiteral("settings.xml"), settings(), true) &&
               part(QStringLiteral("META-INF/manifest.xml"), manifest(), true);
    }

private:
    bool part(const QString& name, const QByteArray& bytes, bool deflate) {
        return zip_.add(name, bytes, deflate);
    }

    // The name of the cell style for a look and a number style, made on first use.
    QString cellStyle(const CellLook& look, const QString& dataStyle) {
        if (look == CellLook{} && dataStyle.isEmpty()) {
            return QString();
        }
        const CellStyleKey key{look, dataStyle};
        auto it = cellStyles_.constFind(key);
        if (it != cellStyles_.constEnd()) {
            return *it;
        }
        const QString name = QStringLiteral("ce%1").arg(cellStyles_.size() + 1);
        cellStyles_.insert(key, name);
        cellStyleOrder_.push_back(key);
        return name;
    }

    bool content() {
        if (!zip_.openEntry(QStringLiteral("content.xml"))) {
            return false;
        }
        ChunkedWriter sink(zip_);
        QXmlStreamWriter xml(&sink);
        const auto drain = [&](bool always) { return always ? sink.flushAll() : !xml.hasError(); };
        xml.writeStartDocument();
        xml.writeStartElement(kOffice, QStringLiteral("document-content"));
        declare(xml);
        xml.writeAttribute(kOffice, QStringLiteral("version"), QStringLiteral("1.2"));
        const int cols = table_.columnCount();
        // The columns' widths, and the number styles of the typed columns.
        xml.writeStartElement(kOffice, QStringLiteral("automatic-styles"));
        for (int c = 0; c < cols; ++c) {
            const ColumnAttributes& a = table_.columnAttributes(c);
            if (a.width < 0) {
                continue;
            }
            xml.writeStartElement(kStyle, QStringLiteral("style"));
            xml.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("co%1").arg(c));
            xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-column"));
            xml.writeEmptyElement(kStyle, QStringLiteral("table-column-properties"));
            xml.writeAttribute(kStyle, QStringLiteral("column-width"),
                               QStringLiteral("%1in").arg(a.width / 1440.0, 0, 'f', 4));
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeStartElement(kOffice, QStringLiteral("body"));
        xml.writeStartElement(kOffice, QStringLiteral("spreadsheet"));
        xml.writeStartElement(kTable, QStringLiteral("table"));
        xml.writeAttribute(kTable, QStringLiteral("name"), QStringLiteral("Sheet1"));
        for (int c = 0; c < cols; ++c) {
            const ColumnAttributes& a = table_.columnAttributes(c);
            xml.writeEmptyElement(kTable, QStringLiteral("table-column"));
            if (a.width >= 0) {
                xml.writeAttribute(kTable, QStringLiteral("style-name"),
                                   QStringLiteral("co%1").arg(c));
            }
            if (a.hidden) {
                xml.writeAttribute(kTable, QStringLiteral("visibility"),
                                   QStringLiteral("collapse"));
            }
            planColumn(c, a);
        }
        const bool styled = table_.hasAnyStyle();
        std::vector<std::string_view> texts(static_cast<size_t>(cols));
        int emptyRows = 0;
        const auto flushEmptyRows = [&] {
            if (emptyRows > 0) {
                xml.writeStartElement(kTable, QStringLiteral("table-row"));
                if (emptyRows > 1) {
                    xml.writeAttribute(kTable, QStringLiteral("number-rows-repeated"),
                                       QString::number(emptyRows));
                }
                xml.writeEmptyElement(kTable, QStringLiteral("table-cell"));
                xml.writeEndElement();
                emptyRows = 0;
            }
        };
        for (int r = 0; r < table_.rowCount(); ++r) {
            table_.rowUtf8(r, texts);
            bool any = false;
            for (int c = 0; c < cols && !any; ++c) {
                any = !texts[static_cast<size_t>(c)].empty() || (styled && table_.hasStyle(r, c));
            }
            if (!any && r > 0) {
                ++emptyRows;
                continue;
            }
            flushEmptyRows();
            if (r == 0) {
                xml.writeStartElement(kTable, QStringLiteral("table-header-rows"));
            }
            xml.writeStartElement(kTable, QStringLiteral("table-row"));
            int blanks = 0;
            for (int c = 0; c < cols; ++c) {
                const std::string_view cell = texts[static_cast<size_t>(c)];
                const bool hasStyle = styled && table_.hasStyle(r, c);
                if (cell.empty() && !hasStyle) {
                    ++blanks;
                    continue;
                }
                writeBlanks(xml, blanks);
                const CellStyle style = hasStyle ? table_.style(r, c) : CellStyle{};
                writeCell(xml, r, c, cell, hasStyle ? &style : nullptr);
            }
            if (blanks == cols) {
                int one = 1;
                writeBlanks(xml, one);
            }
            xml.writeEndElement();
            if (r == 0) {
                xml.writeEndElement();
            }
            if (!drain(false)) {
                return false;
            }
        }
        xml.writeEndDocument();
        const bool written = drain(true);
        return zip_.closeEntry() && written;
    }

    static void writeBlanks(QXmlStreamWriter& xml, int& blanks) {
        if (blanks > 0) {
            xml.writeEmptyElement(kTable, QStringLiteral("table-cell"));
            if (blanks > 1) {
                xml.writeAttribute(kTable, QStringLiteral("number-columns-repeated"),
                                   QString::number(blanks));
            }
            blanks = 0;
        }
    }

    struct ColumnPlan {
        int type = DataTypeNone;
        int alignment = AlignGeneral;
        bool percent = false;
        QString dataStyle;  // for numbers and dates
        QString dateTimeStyle;
    };

    void planColumn(int c, const ColumnAttributes& a) {
        ColumnPlan p;
        p.type = a.dataType;
        p.alignment = a.alignment;
        if (a.dataType == DataTypeNumber || a.dataType == DataTypeMoney) {
            p.percent = a.format.contains(u'%');
            p.dataStyle = dataStyle(numberFormatCode(a.format, a.dataType), a.dataType, false);
        } else if (a.dataType == DataTypeDate) {
            p.dataStyle =
                dataStyle(numberFormatCode(a.format, a.dataType, false), a.dataType, true);
            p.dateTimeStyle =
                dataStyle(numberFormatCode(a.format, a.dataType, true), a.dataType, true);
        }
        if (static_cast<int>(plans_.size()) <= c) {
            plans_.resize(static_cast<size_t>(c) + 1);
        }
        plans_[static_cast<size_t>(c)] = p;
    }

    QString dataStyle(const QString& code, int dataType, bool date) {
        if (code == u"General") {
            return QString();
        }
        const QString key = QString::number(dataType) + u'|' + code;
        if (const QString name = dataStyles_.value(key); !name.isEmpty()) {
            return name;
        }
        const QString name = QStringLiteral("N%1").arg(dataStyles_.size() + 1);
        dataStyles_.insert(key, name);
        dataStyleOrder_.push_back({name, code, dataType, date});
        return name;
    }

    void writeCell(QXmlStreamWriter& xml, int r, int c, std::string_view cell,
                   const CellStyle* style) {
        const ColumnPlan& p = plans_[static_cast<size_t>(c)];
        const TypedCell typed = r == 0 ? TypedCell{} : typedCell(cell, p.type);
        const bool asText = typed.as == TypedCell::As::Text;
        const QString text =
            xmlSafe(QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size())));
        const CellLook look =
            lookOf(style, p.alignment, asText ? cell : std::string_view(), r == 0);
        const QString data = asText ? QString() : typed.hasTime ? p.dateTimeStyle : p.dataStyle;
        xml.writeStartElement(kTable, QStringLiteral("table-cell"));
        if (const QString name = cellStyle(look, data); !name.isEmpty()) {
            xml.writeAttribute(kTable, QStringLiteral("style-name"), name);
        }
        switch (typed.as) {
            case TypedCell::As::Text:
                if (!cell.empty()) {
                    xml.writeAttribute(kOffice, QStringLiteral("value-type"),
                                       QStringLiteral("string"));
                }
                break;
            case TypedCell::As::Number:
                xml.writeAttribute(kOffice, QStringLiteral("value-type"),
                                   p.type == DataTypeMoney ? QStringLiteral("currency")
                                   : p.percent             ? QStringLiteral("percentage")
                                                           : QStringLiteral("float"));
                if (p.type == DataTypeMoney) {
                    xml.writeAttribute(kOffice, QStringLiteral("currency"), QStringLiteral("USD"));
                }
                xml.writeAttribute(kOffice, QStringLiteral("value"),
                                   QString::fromStdString(numberText(typed.number)));
                break;
            case TypedCell::As::Date: {
                std::string iso;
                appendDateText(typed.number,
                               typed.hasTime ? ValueShape::DateTime : ValueShape::Date, iso);
                if (iso.size() > 10) {
                    iso[10] = 'T';
                }
                xml.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("date"));
                xml.writeAttribute(kOffice, QStringLiteral("date-value"),
                                   QString::fromStdString(iso));
                break;
            }
            case TypedCell::As::Boolean:
                xml.writeAttribute(kOffice, QStringLiteral("value-type"),
                                   QStringLiteral("boolean"));
                xml.writeAttribute(
                    kOffice, QStringLiteral("boolean-value"),
                    typed.number != 0 ? QStringLiteral("true") : QStringLiteral("false"));
                break;
        }
        if (!cell.empty()) {
            writeParagraphs(
                xml, typed.as == TypedCell::As::Boolean
                         ? (typed.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE"))
                         : text);
        }
        xml.writeEndElement();
    }

    // A text as paragraphs, one per line, with runs of spaces and tabs as their elements.
    static void writeParagraphs(QXmlStreamWriter& xml, const QString& text) {
        for (const QStringView line : QStringView(text).split(u'\n')) {
            xml.writeStartElement(kText, QStringLiteral("p"));
            QString run;
            for (qsizetype i = 0; i < line.size();) {
                if (line[i] == u'\t') {
                    xml.writeCharacters(run);
                    run.clear();
                    xml.writeEmptyElement(kText, QStringLiteral("tab"));
                    ++i;
                    continue;
                }
                if (line[i] == u' ') {
                    qsizetype n = 1;
                    while (i + n < line.size() && line[i + n] == u' ') {
                        ++n;
                    }
                    // One space stands as it is between words; others as a count.
                    const bool plain = n == 1 && i > 0 && i + 1 < line.size();
                    if (plain) {
                        run += u' ';
                    } else {
                        xml.writeCharacters(run);
                        run.clear();
                        xml.writeEmptyElement(kText, QStringLiteral("s"));
                        if (n > 1) {
                            xml.writeAttribute(kText, QStringLiteral("c"), QString::number(n));
                        }
                    }
                    i += n;
                    continue;
                }
                run += line[i++];
            }
            xml.writeCharacters(run);
            xml.writeEndElement();
        }
    }

    QByteArray styles() {
        QByteArray bytes;
        QXmlStreamWriter xml(&bytes);
        xml.writeStartDocument();
        xml.writeStartElement(kOffice, QStringLiteral("document-styles"));
        declare(xml);
        xml.writeAttribute(kOffice, QStringLiteral("version"), QStringLiteral("1.2"));
        xml.writeStartElement(kOffice, QStringLiteral("styles"));
        for (const auto& d : dataStyleOrder_) {
            if (d.date) {
                writeDateStyle(xml, d.name, d.code);
            } else {
                writeNumberStyle(xml, d.name, d.code, d.dataType);
            }
        }
        for (const CellStyleKey& key : cellStyleOrder_) {
            writeCellStyle(xml, cellStyles_.value(key), key);
        }
        xml.writeEndElement();
        xml.writeEndDocument();
        return bytes;
    }

    static void writeCellStyle(QXmlStreamWriter& xml, const QString& name,
                               const CellStyleKey& key) {
        const CellLook& look = key.look;
        xml.writeStartElement(kStyle, QStringLiteral("style"));
        xml.writeAttribute(kStyle, QStringLiteral("name"), name);
        xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-cell"));
        if (!key.dataStyle.isEmpty()) {
            xml.writeAttribute(kStyle, QStringLiteral("data-style-name"), key.dataStyle);
        }
        xml.writeEmptyElement(kStyle, QStringLiteral("table-cell-properties"));
        if (look.backColor >= 0) {
            xml.writeAttribute(kFo, QStringLiteral("background-color"), colorText(look.backColor));
        }
        if (look.wrap) {
            xml.writeAttribute(kFo, QStringLiteral("wrap-option"), QStringLiteral("wrap"));
        }
        if (verticalOf(look.alignment) >= 0) {
            static const char* const kVertical[] = {"top", "middle", "bottom"};
            xml.writeAttribute(kStyle, QStringLiteral("vertical-align"),
                               QLatin1String(kVertical[verticalOf(look.alignment)]));
        }
        if (horizontalOf(look.alignment) >= 0) {
            static const char* const kHorizontal[] = {"start", "center", "end"};
            xml.writeEmptyElement(kStyle, QStringLiteral("paragraph-properties"));
            xml.writeAttribute(kFo, QStringLiteral("text-align"),
                               QLatin1String(kHorizontal[horizontalOf(look.alignment)]));
        }
        xml.writeEmptyElement(kStyle, QStringLiteral("text-properties"));
        if (look.bold) {
            xml.writeAttribute(kFo, QStringLiteral("font-weight"), QStringLiteral("bold"));
        }
        if (look.italic) {
            xml.writeAttribute(kFo, QStringLiteral("font-style"), QStringLiteral("italic"));
        }
        if (look.underline) {
            xml.writeAttribute(kStyle, QStringLiteral("text-underline-style"),
                               QStringLiteral("solid"));
            xml.writeAttribute(kStyle, QStringLiteral("text-underline-width"),
                               QStringLiteral("auto"));
            xml.writeAttribute(kStyle, QStringLiteral("text-underline-color"),
                               QStringLiteral("font-color"));
        }
        if (look.foreColor >= 0) {
            xml.writeAttribute(kFo, QStringLiteral("color"), colorText(look.foreColor));
        }
        xml.writeEndElement();
    }

    // The title row frozen.
    static QByteArray settings() {
        QByteArray bytes;
        QXmlStreamWriter xml(&bytes);
        xml.writeStartDocument();
        xml.writeStartElement(kOffice, QStringLiteral("document-settings"));
        xml.writeNamespace(kOffice, QStringLiteral("office"));
        xml.writeNamespace(kConfig, QStringLiteral("config"));
        xml.writeAttribute(kOffice, QStringLiteral("version"), QStringLiteral("1.2"));
        xml.writeStartElement(kOffice, QStringLiteral("settings"));
        const auto set = [&](const QString& name, const QString& type, const QString& value) {
            xml.writeStartElement(kConfig, QStringLiteral("config-item"));
            xml.writeAttribute(kConfig, QStringLiteral("name"), name);
            xml.writeAttribute(kConfig, QStringLiteral("type"), type);
            xml.writeCharacters(value);
            xml.writeEndElement();
        };
        const auto open = [&](const QString& element, const QString& name) {
            xml.writeStartElement(kConfig, element);
            if (!name.isEmpty()) {
                xml.writeAttribute(kConfig, QStringLiteral("name"), name);
            }
        };
        open(QStringLiteral("config-item-set"), QStringLiteral("ooo:view-settings"));
        open(QStringLiteral("config-item-map-indexed"), QStringLiteral("Views"));
        open(QStringLiteral("config-item-map-entry"), QString());
        set(QStringLiteral("ViewId"), QStringLiteral("string"), QStringLiteral("view1"));
        open(QStringLiteral("config-item-map-named"), QStringLiteral("Tables"));
        open(QStringLiteral("config-item-map-entry"), QStringLiteral("Sheet1"));
        set(QStringLiteral("VerticalSplitMode"), QStringLiteral("short"), QStringLiteral("2"));
        set(QStringLiteral("VerticalSplitPosition"), QStringLiteral("int"), QStringLiteral("1"));
        set(QStringLiteral("ActiveSplitRange"), QStringLiteral("short"), QStringLiteral("2"));
        set(QStringLiteral("PositionBottom"), QStringLiteral("int"), QStringLiteral("1"));
        for (int i = 0; i < 5; ++i) {
            xml.writeEndElement();
        }
        xml.writeEndDocument();
        return bytes;
    }

    static QByteArray manifest() {
        QByteArray bytes;
        QXmlStreamWriter xml(&bytes);
        xml.writeStartDocument();
        xml.writeStartElement(kManifest, QStringLiteral("manifest"));
        xml.writeNamespace(kManifest, QStringLiteral("manifest"));
        xml.writeAttribute(kManifest, QStringLiteral("version"), QStringLiteral("1.2"));
        const auto entry = [&](const QString& path, const QString& type) {
            xml.writeEmptyElement(kManifest, QStringLiteral("file-entry"));
            xml.writeAttribute(kManifest, QStringLiteral("full-path"), path);
            xml.writeAttribute(kManifest, QStringLiteral("media-type"), type);
        };
        entry(QStringLiteral("/"), QString::fromLatin1(kMime));
        entry(QStringLiteral("content.xml"), QStringLiteral("text/xml"));
        entry(QStringLiteral("styles.xml"), QStringLiteral("text/xml"));
        entry(QStringLiteral("settings.xml"), QStringLiteral("text/xml"));
        xml.writeEndElement();
        xml.writeEndDocument();
        return bytes;
    }

    struct DataStyle {
        QString name;
        QString code;
        int dataType;
        bool date;
    };

    const Table& table_;
    ZipWriter& zip_;
    std::vector<ColumnPlan> plans_;
    QHash<QString, QString> dataStyles_;
    std::vector<DataStyle> dataStyleOrder_;
    QHash<CellStyleKey, QString> cellStyles_;
    std::vector<CellStyleKey> cellStyleOrder_;
};

}  // namespace

Result<void> saveOds(const Table& table, const QString& path) {
    const QString name = fileaccess::displayName(path);
    if (auto error = checkLimits(table, name, Kind::Ods)) {
        return *error;
    }
    return saveZipped(path, [&](ZipWriter& zip) { return OdsWriter(table, zip).write(); });
}

}  // namespace pellumar::workbook
