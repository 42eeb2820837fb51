// Reading an OpenDocument spreadsheet (.ods): the cell and number styles of styles.xml and of
// content.xml's automatic styles, then one table of content.xml streamed into the table.
#include <QHash>
#include <QXmlStreamReader>

#include <charconv>

#include "core/document/FileAccess.h"
#include "core/document/WorkbookReaders.h"
#include "core/document/WorkbookSheet.h"

namespace pellumar::workbook {

namespace {

const QString kContent = QStringLiteral("content.xml");

qint64 repeatOf(const QXmlStreamAttributes& a, QLatin1String name) {
    bool ok = false;
    const qint64 n = a.value(name).toLongLong(&ok);
    return ok && n > 0 ? n : 1;
}

// The styles that matter for reading: a cell style's number style, a number style as a format
// code the column typing understands, a column style's width.
struct Styles {
    QHash<QString, QString> dataStyleOfCell;
    QHash<QString, QString> codeOfDataStyle;
    QHash<QString, int> widthOfColumn;

    QString codeOfCell(const QString& cellStyle) const {
        return codeOfDataStyle.value(dataStyleOfCell.value(cellStyle));
    }

    // Reads a style element the reader stands on (its start), up to its end.
    void read(QXmlStreamReader& xml) {
        const QStringView name = xml.name();
        const auto a = xml.attributes();
        const QString styleName = a.value(QLatin1String("style:name")).toString();
        if (name == u"style") {
            const auto family = a.value(QLatin1String("style:family"));
            if (family == u"table-cell") {
                const QString data = a.value(QLatin1String("style:data-style-name")).toString();
                if (!data.isEmpty()) {
                    dataStyleOfCell.insert(styleName, data);
                }
                xml.skipCurrentElement();
            } else if (family == u"table-column") {
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"table-column-properties") {
                        const int twips = twipsOfLength(
                            xml.attributes().value(QLatin1String("style:column-width")));
                        if (twips >= 0) {
                            widthOfColumn.insert(styleName, twips);
                        }
                    }
                    xml.skipCurrentElement();
                }
            } else {
                xml.skipCurrentElement();
            }
            return;
        }
        // A number style: its parts in order, as a format code.
        QString code;
        const bool percent = name == u"percentage-style";
        const bool currency = name == u"currency-style";
        while (xml.readNextStartElement()) {
            const QStringView part = xml.name();
            const auto p = xml.attributes();
            const bool longForm = p.value(QLatin1String("number:style")) == u"long";
            if (part == u"number") {
                const int decimals = p.value(QLatin1String("number:decimal-places")).toInt();
                code += p.value(QLatin1String("number:grouping")) == u"true"
                            ? QStringLiteral("#,##0")
                            : QStringLiteral("0");
                if (decimals > 0) {
                    code += u'.' + QString(std::min(decimals, 30), u'0');
                }
            } else if (part == u"year") {
                code += longForm ? QStringLiteral("yyyy") : QStringLiteral("yy");
            } else if (part == u"month") {
                code += p.value(QLatin1String("number:textual")) == u"true" ? QStringLiteral("mmm")
                        : longForm                                          ? QStringLiteral("mm")
                                                                            : QStringLiteral("m");
            } else if (part == u"day") {
                code += longForm ? QStringLiteral("dd") : QStringLiteral("d");
            } else if (part == u"hours") {
                code += longForm ? QStringLiteral("hh") : QStringLiteral("h");
            } else if (part == u"minutes") {
                code += QStringLiteral(":mm");
            } else if (part == u"seconds") {
                code += QStringLiteral(":ss");
            } else if (part == u"am-pm") {
                code += QStringLiteral(" AM/PM");
            } else if (part == u"text" && code.size() > 0) {
                const QString t = xml.readElementText();
                if (t == u"/" || t == u"-" || t == u".") {
                    code += t;
                }
                continue;
            }
            xml.skipCurrentElement();
        }
        if (percent) {
            code += u'%';
        } else if (currency) {
            code.prepend(u'$');
        }
        codeOfDataStyle.insert(styleName, code);
    }
};

bool isStyleElement(QStringView name) {
    return name == u"style" || name == u"number-style" || name == u"percentage-style" ||
           name == u"currency-style" || name == u"date-style" || name == u"time-style";
}

// The text of a cell's paragraph <text:p>, from its start to its end: spans and links give their
// text, <text:s> its spaces, <text:tab> a tab, <text:line-break> a line break; notes and
// annotations are left out.
void readParagraph(QXmlStreamReader& xml, std::string& out) {
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            appendUtf8(xml.text(), out);
        } else if (xml.isStartElement()) {
            const QStringView name = xml.name();
            if (name == u"s") {
                bool ok = false;
                const int n = xml.attributes().value(QLatin1String("text:c")).toInt(&ok);
                out.append(static_cast<size_t>(ok ? std::clamp(n, 1, 65536) : 1), ' ');
                xml.skipCurrentElement();
            } else if (name == u"tab") {
                out += '\t';
                xml.skipCurrentElement();
            } else if (name == u"line-break") {
                out += '\n';
                xml.skipCurrentElement();
            } else if (name == u"annotation" || name == u"note") {
                xml.skipCurrentElement();
            } else {
                ++depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
}

class OdsReader {
public:
    OdsReader(Package& package, const Progress& progress) : pkg_(package), progress_(progress) {}

    bool checkKind() {
        const auto mimetype = pkg_.readAll(QStringLiteral("mimetype"));
        if (!mimetype) {
            return false;
        }
        if (!pkg_.has(kContent) ||
            (!mimetype->isEmpty() &&
             !mimetype->startsWith("application/vnd.oasis.opendocument.spreadsheet"))) {
            pkg_.fail(pkg_.notThisKind());
            return false;
        }
        return true;
    }

    std::optional<QStringList> names() {
        auto device = pkg_.stream(kContent);
        if (!device) {
            return std::nullopt;
        }
        QStringList names;
        QXmlStreamReader xml(device.get());
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"table") {
                names << xml.attributes().value(QLatin1String("table:name")).toString();
                xml.skipCurrentElement();
            }
        }
        if (pkg_.failed()) {
            return std::nullopt;
        }
        if (xml.hasError()) {
            pkg_.fail(pkg_.damaged(
                QStringLiteral("its content cannot be read (%1)").arg(xml.errorString())));
            return std::nullopt;
        }
        return names;
    }

    std::optional<WorkbookLoad> readSheet(int index, quint64 memoryLimit) {
        if (pkg_.has(QStringLiteral("styles.xml"))) {
            const auto bytes = pkg_.readAll(QStringLiteral("styles.xml"));
            if (!bytes) {
                return std::nullopt;
            }
            QXmlStreamReader xml(*bytes);
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && isStyleElement(xml.name())) {
                    styles_.read(xml);
                }
            }
        }
        auto device = pkg_.stream(kContent);
        if (!device) {
            return std::nullopt;
        }
        SheetBuilder sheet(pkg_.name(), memoryLimit);
        QXmlStreamReader xml(device.get());
        int table = -1;
        bool inBody = false;
        while (!xml.atEnd() && !sheet.failed()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                continue;
            }
            const QStringView name = xml.name();
            if (!inBody && isStyleElement(name)) {
                styles_.read(xml);
            } else if (name == u"body") {
                inBody = true;
            } else if (name == u"table") {
                if (++table == index) {
                    readTable(xml, sheet, *device);
                    break;
                }
                xml.skipCurrentElement();
            }
        }
        if (pkg_.failed()) {
            return std::nullopt;
        }
        if (sheet.failed()) {
            pkg_.fail(sheet.error());
            return std::nullopt;
        }
        if (xml.hasError()) {
            pkg_.fail(pkg_.damaged(
                QStringLiteral("its content cannot be read (%1)").arg(xml.errorString())));
            return std::nullopt;
        }
        if (table < index) {
            pkg_.fail(pkg_.damaged(QStringLiteral("it has no sheet")));
            return std::nullopt;
        }
        return sheet.finish();
    }

private:
    // The table's columns and rows, from its start to its end.
    void readTable(QXmlStreamReader& xml, SheetBuilder& sheet, PartDevice& device) {
        qint64 col = 0;     // the next column of a <table:table-column>, then of a cell
        qint64 row = 0;     // the next row
        qint64 repeat = 1;  // the rows the row being read stands for
        qint64 step = 0;
        int depth = 1;
        std::string text;
        while (depth > 0 && !xml.atEnd() && !sheet.failed()) {
            xml.readNext();
            if (xml.isEndElement()) {
                --depth;
                if (xml.name() == u"table-row") {
                    sheet.endRow(repeat);
                    row += repeat;
                }
                continue;
            }
            if (!xml.isStartElement()) {
                continue;
            }
            const QStringView name = xml.name();
            if (name == u"table-column") {
                const auto a = xml.attributes();
                const qint64 n = std::min<qint64>(
                    repeatOf(a, QLatin1String("table:number-columns-repeated")), kMaxColumns);
                const int twips = styles_.widthOfColumn.value(
                    a.value(QLatin1String("table:style-name")).toString(), -1);
                const bool hidden = a.value(QLatin1String("table:visibility")) == u"collapse";
                const QString cellStyle =
                    a.value(QLatin1String("table:default-cell-style-name")).toString();
                for (qint64 c = col; c < col + n && c < kMaxColumns; ++c) {
                    if (twips >= 0) {
                        sheet.setWidth(c, twips);
                    }
                    if (hidden) {
                        sheet.setHidden(c);
                    }
                    if (!cellStyle.isEmpty()) {
                        columnStyles_.resize(static_cast<size_t>(c) + 1);
                        columnStyles_[static_cast<size_t>(c)] = cellStyle;
                    }
                }
                col += n;
                xml.skipCurrentElement();
            } else if (name == u"table-row") {
                ++depth;
                repeat = repeatOf(xml.attributes(), QLatin1String("table:number-rows-repeated"));
                if (row + repeat > kMaxRows) {
                    repeat = kMaxRows - row;  // rows past the limit hold nothing, or are refused
                }
                sheet.beginRow(row);
                col = 0;
                if (++step % 1024 == 0 && progress_ &&
                    !progress_(device.inflated(), std::max(device.announced(), qint64{1}))) {
                    sheet.fail(fileaccess::cancelled(pkg_.name()));
                }
            } else if (name == u"table-cell") {
                const qint64 n = cell_.take(xml.attributes());
                readCell(xml, cell_, col, n, sheet, text);
                col += n;
            } else if (name == u"covered-table-cell") {
                col += repeatOf(xml.attributes(), QLatin1String("table:number-columns-repeated"));
                xml.skipCurrentElement();
            } else if (name == u"table") {
                xml.skipCurrentElement();  // a table inside a cell is not read
            } else {
                ++depth;  // row groups, header rows and columns
            }
        }
    }

    // The attributes of a cell that matter, copied so that the reader can reuse its own.
    struct CellAttributes {
        QString type;
        QString value;  // the number, date or time
        QString style;
        bool isTrue = false;
        bool formula = false;

        // Takes the attributes; gives the columns the cell stands for.
        qint64 take(const QXmlStreamAttributes& a) {
            const auto set = [](QString& to, QStringView from) {
                to.clear();
                to.append(from);
            };
            set(type, a.value(QLatin1String("office:value-type")));
            if (type == u"date") {
                set(value, a.value(QLatin1String("office:date-value")));
            } else if (type == u"time") {
                set(value, a.value(QLatin1String("office:time-value")));
            } else {
                set(value, a.value(QLatin1String("office:value")));
            }
            set(style, a.value(QLatin1String("table:style-name")));
            isTrue = a.value(QLatin1String("office:boolean-value")) == u"true";
            formula = !a.value(QLatin1String("table:formula")).isEmpty();
            return repeatOf(a, QLatin1String("table:number-columns-repeated"));
        }
    };

    // The number format code of a cell style (the last one asked for is kept: neighbouring
    // cells mostly share their style).
    const QString& codeOfCell(const QString& style) {
        if (style != lastStyle_ || !lastStyleKnown_) {
            lastStyle_ = style;
            lastCode_ = styles_.codeOfCell(style);
            lastStyleKnown_ = true;
        }
        return lastCode_;
    }

    void readCell(QXmlStreamReader& xml, const CellAttributes& a, qint64 col, qint64 repeat,
                  SheetBuilder& sheet, std::string& text) {
        text.clear();
        const QString& type = a.type;
        bool paragraphs = false;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"p") {
                if (paragraphs) {
                    text += '\n';
                }
                paragraphs = true;
                readParagraph(xml, text);
            } else {
                xml.skipCurrentElement();
            }
        }
        const QString& style = a.style.isEmpty() && col < static_cast<qint64>(columnStyles_.size())
                                   ? columnStyles_[static_cast<size_t>(col)]
                                   : a.style;
        const QString& code = codeOfCell(style);
        CellKind kind = CellKind::Text;
        if (type == u"float" || type == u"percentage" || type == u"currency") {
            const QByteArray latin = a.value.toLatin1().trimmed();
            double number = 0;
            const auto r = std::from_chars(latin.data(), latin.data() + latin.size(), number);
            if (r.ec == std::errc() && r.ptr == latin.data() + latin.size()) {
                text.clear();
                appendNumberText(number, text);
                kind = type == u"percentage" ? CellKind::Percent
                       : type == u"currency" ? CellKind::Money
                                             : CellKind::Number;
            }
        } else if (type == u"date") {
            bool timed = false;
            if (auto iso = isoDateText(a.value.toStdString(), &timed)) {
                if (timed && shapeOfFormat(code) == ValueShape::Date) {
                    iso->resize(10);  // a date style shows the day only
                    timed = false;
                }
                text = std::move(*iso);
                kind = timed ? CellKind::DateTime : CellKind::Date;
            }
        } else if (type == u"time") {
            if (auto t = isoDurationText(a.value.toStdString())) {
                text = std::move(*t);
                kind = CellKind::Time;
            }
        } else if (type == u"boolean") {
            text = a.isTrue ? "TRUE" : "FALSE";
            kind = CellKind::Boolean;
        } else if (type.isEmpty() && a.formula && text.empty()) {
            sheet.countFormulaWithoutValue();
            return;
        }
        if (text.empty()) {
            return;
        }
        const qint64 last = std::min<qint64>(col + repeat, kMaxColumns + 1);
        for (qint64 c = col; c < last && !sheet.failed(); ++c) {
            sheet.cell(c, text, kind, code);
        }
    }

    Package& pkg_;
    Progress progress_;
    Styles styles_;
    std::vector<QString> columnStyles_;
    CellAttributes cell_;
    QString lastStyle_;
    QString lastCode_;
    bool lastStyleKnown_ = false;
};

}  // namespace

Result<QStringList> odsSheetNames(Package& package) {
    OdsReader reader(package, {});
    if (!reader.checkKind()) {
        return package.error();
    }
    auto names = reader.names();
    if (!names) {
        return package.error();
    }
    return std::move(*names);
}

Result<WorkbookLoad> loadOds(Package& package, const QString& sheet, const Progress& progress,
                             quint64 memoryLimit) {
    OdsReader reader(package, progress);
    if (!reader.checkKind()) {
        return package.error();
    }
    // The first sheet is read without a pass over the content for the sheets' names.
    std::optional<int> index = 0;
    if (!sheet.isEmpty()) {
        auto names = reader.names();
        if (!names) {
            return package.error();
        }
        std::optional<FileError> error;
        index = chooseSheet(*names, sheet, package.name(), error);
        if (!index) {
            return *error;
        }
    }
    auto load = reader.readSheet(*index, memoryLimit);
    if (!load) {
        return package.error();
    }
    return std::move(*load);
}

}  // namespace pellumar::workbook
