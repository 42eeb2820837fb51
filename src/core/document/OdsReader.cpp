// Reading an OpenDocument spreadsheet (.ods): the cell and number styles of styles.xml and of
// content.xml's automatic styles, then one table of content.xml streamed into the table.
#include <QHash>
#include <QXmlStreamReader>

#include <charconv>

#include "core/document/FileAccess.h"
#include "core/document/WorkbookReaders.h"
#include "core/document/WorkbookRows.h"
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
        // The first sheet is read in runs of rows on other threads; a sheet that cannot be cut
        // safely, and any other sheet, by one reader.
        const Styles fromStylesPart = styles_;
        if (index == 0) {
            bool again = false;
            auto load = readRows(index, memoryLimit, true, again);
            if (!again) {
                return load;
            }
            frozen_ = false;
            styles_ = fromStylesPart;
            columnStyles_.clear();
        }
        bool again = false;
        return readRows(index, memoryLimit, false, again);
    }

private:
    // What one parse of content.xml has seen so far: several parse runs of rows at once.
    struct ParseState {
        bool inBody = false;
        int table = -1;     // the tables begun
        int depth = 0;      // inside the table read: its elements open
        qint64 col = 0;     // the next column of a <table:table-column>, then of a cell
        qint64 repeat = 1;  // the rows the row being read stands for
        std::string text;
        CellAttributes cell;
        QString lastStyle;  // neighbouring cells mostly share their style
        int lastFormat = -1;
        bool lastKnown = false;
    };

    std::optional<WorkbookLoad> readRows(int index, quint64 memoryLimit, bool inRuns, bool& again) {
        auto device = pkg_.stream(kContent);
        if (!device) {
            return std::nullopt;
        }
        SheetBuilder sheet(pkg_.name(), memoryLimit);
        qint64 row = -1;
        bool found = false;
        const auto code = [this](int format) {
            return static_cast<size_t>(format) < codes_.size()
                       ? QStringView(codes_[static_cast<size_t>(format)])
                       : QStringView();
        };
        const auto take = [&](const RowRecord& record) {
            return takeRecord(record, sheet, row, code, *device, progress_);
        };
        QString xmlError;
        if (inRuns) {
            // The header (styles, the table's columns) is parsed here first, and fixes what the
            // runs then only read.
            const ParseRows parse = [this, index, &found](QXmlStreamReader& xml, RowRecord& out) {
                ParseState state;
                const bool header = !frozen_;
                parseContent(xml, out, index, state, {});
                if (header) {
                    found = state.table >= index;
                    frozen_ = true;
                }
            };
            if (readRowsInRuns(*device, {"table-row", "table", "table"}, parse, take) ==
                ChunkedRead::ReadAgain) {
                again = !pkg_.failed();
                return std::nullopt;
            }
        } else {
            QXmlStreamReader xml(device.get());
            RowRecord record;
            ParseState state;
            parseContent(xml, record, index, state, [&](RowRecord& rows) {
                const bool going = take(rows);
                rows.clear();
                return going;
            });
            found = state.table >= index;
            if (take(record) && xml.hasError() && !record.finished()) {
                xmlError = xml.errorString();
            }
        }
        if (!pkg_.failed() && sheet.failed()) {
            pkg_.fail(sheet.error());
        }
        if (pkg_.failed()) {
            return std::nullopt;
        }
        if (!xmlError.isEmpty()) {
            pkg_.fail(
                pkg_.damaged(QStringLiteral("its content cannot be read (%1)").arg(xmlError)));
            return std::nullopt;
        }
        if (!found) {
            pkg_.fail(pkg_.damaged(QStringLiteral("it has no sheet")));
            return std::nullopt;
        }
        return sheet.finish();
    }

    // The styles, then table `index`'s columns and rows, of content.xml (whole, its header or a
    // run of its rows) into `out`, which is finished at the table's end; `flush`, when given,
    // takes the record every 1024 rows (false: stop). Once frozen_ (the header read), several
    // parses run at once and only read the styles.
    void parseContent(QXmlStreamReader& xml, RowRecord& out, int index, ParseState& s,
                      const std::function<bool(RowRecord&)>& flush) {
        while (!xml.atEnd()) {
            xml.readNext();
            if (s.table == index && s.depth > 0) {
                if (xml.isEndElement()) {
                    if (--s.depth == 0) {
                        out.finish();  // the table's end
                        return;
                    }
                    if (xml.name() == u"table-row") {
                        out.endRow(s.repeat);
                        if (flush && out.rowsEnded() >= 1024 && !flush(out)) {
                            return;
                        }
                    }
                } else if (xml.isStartElement()) {
                    tableElement(xml, out, s);
                }
                continue;
            }
            if (!xml.isStartElement()) {
                continue;
            }
            const QStringView name = xml.name();
            if (!s.inBody && isStyleElement(name)) {
                if (!frozen_) {
                    styles_.read(xml);
                } else {
                    xml.skipCurrentElement();
                }
            } else if (name == u"body") {
                s.inBody = true;
                if (!frozen_) {
                    indexFormats();
                }
            } else if (name == u"table") {
                if (++s.table == index) {
                    s.depth = 1;
                } else {
                    xml.skipCurrentElement();
                }
            }
        }
    }

    // An element started inside the table read.
    void tableElement(QXmlStreamReader& xml, RowRecord& out, ParseState& s) {
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
            for (qint64 c = s.col; c < s.col + n && c < kMaxColumns; ++c) {
                if (twips >= 0) {
                    out.width(c, twips);
                }
                if (hidden) {
                    out.hidden(c);
                }
                if (!cellStyle.isEmpty() && !frozen_) {
                    columnStyles_.resize(static_cast<size_t>(c) + 1);
                    columnStyles_[static_cast<size_t>(c)] = cellStyle;
                }
            }
            s.col += n;
            xml.skipCurrentElement();
        } else if (name == u"table-row") {
            ++s.depth;
            s.repeat = repeatOf(xml.attributes(), QLatin1String("table:number-rows-repeated"));
            out.beginRow(0);
            s.col = 0;
        } else if (name == u"table-cell") {
            const qint64 n = s.cell.take(xml.attributes());
            readCell(xml, s, n, out);
            s.col += n;
        } else if (name == u"covered-table-cell") {
            s.col += repeatOf(xml.attributes(), QLatin1String("table:number-columns-repeated"));
            xml.skipCurrentElement();
        } else if (name == u"table") {
            xml.skipCurrentElement();  // a table inside a cell is not read
        } else {
            ++s.depth;  // row groups, header rows and columns
        }
    }

    // Every cell style's number format as an index into codes_, once the styles are read.
    void indexFormats() {
        codes_.clear();
        formatOfStyle_.clear();
        QHash<QString, int> seen;
        for (auto it = styles_.dataStyleOfCell.cbegin(); it != styles_.dataStyleOfCell.cend();
             ++it) {
            const QString code = styles_.codeOfDataStyle.value(it.value());
            if (code.isEmpty()) {
                continue;
            }
            auto at = seen.constFind(code);
            if (at == seen.cend()) {
                at = seen.insert(code, static_cast<int>(codes_.size()));
                codes_.push_back(code);
            }
            formatOfStyle_.insert(it.key(), *at);
        }
    }

    int formatOf(ParseState& s, const QString& style) const {
        if (!s.lastKnown || style != s.lastStyle) {
            s.lastStyle = style;
            s.lastFormat = formatOfStyle_.value(style, -1);
            s.lastKnown = true;
        }
        return s.lastFormat;
    }

    void readCell(QXmlStreamReader& xml, ParseState& s, qint64 repeat, RowRecord& out) const {
        const CellAttributes& a = s.cell;
        std::string& text = s.text;
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
        const QString& style =
            a.style.isEmpty() && s.col < static_cast<qint64>(columnStyles_.size())
                ? columnStyles_[static_cast<size_t>(s.col)]
                : a.style;
        const int format = formatOf(s, style);
        const QStringView code = static_cast<size_t>(format) < codes_.size()
                                     ? QStringView(codes_[static_cast<size_t>(format)])
                                     : QStringView();
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
            out.formulaWithoutValue();
            return;
        }
        if (text.empty()) {
            return;
        }
        const qint64 last = std::min<qint64>(s.col + repeat, kMaxColumns + 1);
        for (qint64 c = s.col; c < last; ++c) {
            out.cell(c, text, kind, format);
        }
    }

    Package& pkg_;
    Progress progress_;
    Styles styles_;
    std::vector<QString> columnStyles_;
    std::vector<QString> codes_;
    QHash<QString, int> formatOfStyle_;
    bool frozen_ = false;  // the styles and columns are read: parses only read them now
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
