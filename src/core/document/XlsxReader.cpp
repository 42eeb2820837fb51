// Reading an Office Open XML workbook (.xlsx): the package's relations lead to the workbook's
// list of sheets, its shared strings and its styles (number formats), then one sheet's cells are
// streamed into the table.
#include <QHash>
#include <QXmlStreamReader>

#include <charconv>
#include <new>

#include "core/document/FileAccess.h"
#include "core/document/WorkbookReaders.h"
#include "core/document/WorkbookRows.h"
#include "core/document/WorkbookSheet.h"
#include "core/document/XlsxStyles.h"

namespace pellumar::workbook {

namespace {

// "A1" -> column 0; -1 when the reference has no letters.
qint64 columnOfReference(QStringView ref) {
    qint64 col = 0;
    qsizetype i = 0;
    for (; i < ref.size() && i < 4; ++i) {
        const char16_t c = ref[i].unicode() & ~0x20;
        if (c < u'A' || c > u'Z') {
            break;
        }
        col = col * 26 + (c - u'A' + 1);
    }
    return i == 0 ? -1 : col - 1;
}

// A part's path from a relation's target, relative to the folder of `source`.
QString resolveTarget(const QString& source, QString target) {
    if (target.startsWith(u'/')) {
        return target.mid(1);
    }
    QStringList parts = source.split(u'/');
    parts.removeLast();
    for (const QString& piece : target.split(u'/')) {
        if (piece == u"..") {
            if (!parts.isEmpty()) {
                parts.removeLast();
            }
        } else if (piece != u".") {
            parts << piece;
        }
    }
    return parts.join(u'/');
}

// The relations of a part: id -> (type, target path).
struct Relation {
    QString type;
    QString target;
};

QHash<QString, Relation> relationsOf(Package& package, const QString& part) {
    QHash<QString, Relation> relations;
    const qsizetype slash = part.lastIndexOf(u'/');
    const QString relsPart = part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
                             QStringLiteral(".rels");
    const auto bytes = package.readAll(relsPart);
    if (!bytes) {
        return relations;
    }
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"Relationship") {
            const auto a = xml.attributes();
            relations.insert(a.value(QLatin1String("Id")).toString(),
                             {a.value(QLatin1String("Type")).toString(),
                              resolveTarget(part, a.value(QLatin1String("Target")).toString())});
        }
    }
    return relations;
}

QString targetOfType(const QHash<QString, Relation>& relations, QStringView typeEnd,
                     const QString& fallback) {
    for (const Relation& r : relations) {
        if (r.type.endsWith(typeEnd)) {
            return r.target;
        }
    }
    return fallback;
}

// "_x000D_" escapes of characters XML cannot carry, and CR LF or CR as LF.
void appendCellText(QStringView text, std::string& out) {
    if (!text.contains(u'\r') && !text.contains(u"_x")) {
        appendUtf8(text, out);
        return;
    }
    const bool escaped = text.contains(u"_x");
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (escaped && text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' &&
            text[i + 6] == u'_') {
            bool ok = false;
            const uint code = text.mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                clean += QChar(static_cast<char16_t>(code));
                i += 6;
                continue;
            }
        }
        clean += text[i];
    }
    clean.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    clean.replace(u'\r', u'\n');
    const QByteArray utf8 = clean.toUtf8();
    out.append(utf8.constData(), static_cast<size_t>(utf8.size()));
}

// The text of the element the reader stands on, up to its end, into `out` (cleared first);
// the text of child elements too when `children`.
void readTextOf(QXmlStreamReader& xml, QString& out, bool children) {
    out.clear();
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
            case QXmlStreamReader::Characters:
                if (depth == 0 || children) {
                    out.append(xml.text());
                }
                break;
            case QXmlStreamReader::StartElement:
                ++depth;
                break;
            case QXmlStreamReader::EndElement:
                if (depth-- == 0) {
                    return;
                }
                break;
            default:
                break;
        }
    }
}

// The texts of an <si> or <is> element: its <t> runs joined, phonetic guides left out. The
// reader stands on the element's start and ends on its end; `scratch` is room for a run.
void readRichText(QXmlStreamReader& xml, std::string& out, QString& scratch) {
    int skipping = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh" || xml.name() == u"phoneticPr") {
                ++skipping;
            } else if (xml.name() == u"t" && skipping == 0) {
                readTextOf(xml, scratch, true);
                appendCellText(scratch, out);
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh" || xml.name() == u"phoneticPr") {
                --skipping;
            } else if (skipping == 0 && (xml.name() == u"si" || xml.name() == u"is")) {
                return;
            }
        }
    }
}

// A cell's t attribute.
enum class CellType { Number, Shared, Inline, String, Error, Boolean, Date };

CellType cellTypeOf(QStringView t) {
    if (t.isEmpty() || t == u"n") {
        return CellType::Number;
    }
    if (t == u"s") {
        return CellType::Shared;
    }
    if (t == u"inlineStr") {
        return CellType::Inline;
    }
    if (t == u"str") {
        return CellType::String;
    }
    if (t == u"e") {
        return CellType::Error;
    }
    if (t == u"b") {
        return CellType::Boolean;
    }
    return t == u"d" ? CellType::Date : CellType::Number;
}

// The shared strings, one after the other in one buffer.
struct SharedStrings {
    std::string text;
    std::vector<std::pair<uint64_t, uint32_t>> spans;

    std::string_view at(qint64 i) const {
        if (i < 0 || static_cast<size_t>(i) >= spans.size()) {
            return {};
        }
        const auto& [off, len] = spans[static_cast<size_t>(i)];
        return std::string_view(text.data() + off, len);
    }
};

class XlsxReader {
public:
    XlsxReader(Package& package, const Progress& progress) : pkg_(package), progress_(progress) {}

    // The workbook part, its sheets (name, part) and its date system.
    bool readWorkbook() {
        const auto root = relationsOf(pkg_, QString());
        workbookPart_ = targetOfType(root, u"/officeDocument", QStringLiteral("xl/workbook.xml"));
        if (!pkg_.has(workbookPart_)) {
            pkg_.fail(pkg_.notThisKind());
            return false;
        }
        const auto bytes = pkg_.readAll(workbookPart_);
        if (!bytes) {
            return false;
        }
        relations_ = relationsOf(pkg_, workbookPart_);
        QXmlStreamReader xml(*bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                continue;
            }
            const auto a = xml.attributes();
            if (xml.name() == u"workbookPr") {
                const auto v = a.value(QLatin1String("date1904"));
                date1904_ = v == u"1" || v == u"true";
            } else if (xml.name() == u"sheet") {
                QString id;
                for (const auto& attr : a) {
                    if (attr.name() == u"id") {
                        id = attr.value().toString();
                    }
                }
                names_ << a.value(QLatin1String("name")).toString();
                parts_ << relations_.value(id).target;
            }
        }
        if (xml.hasError()) {
            pkg_.fail(pkg_.damaged(QStringLiteral("its list of sheets cannot be read")));
            return false;
        }
        return true;
    }

    const QStringList& names() const { return names_; }

    std::optional<WorkbookLoad> readSheet(int index, quint64 memoryLimit) {
        const auto styles =
            pkg_.readAll(targetOfType(relations_, u"/styles", QStringLiteral("xl/styles.xml")));
        if (!styles) {
            return std::nullopt;
        }
        formats_ = readXlsxStyles(*styles);
        if (!readSharedStrings()) {
            return std::nullopt;
        }
        // The rows are read in runs on other threads; a sheet that cannot be cut safely is read
        // again by one reader.
        auto load = readRows(index, memoryLimit, true);
        if (!load && !pkg_.failed()) {
            load = readRows(index, memoryLimit, false);
        }
        return load;
    }

private:
    // Reads the sheet's rows, in runs (nothing, with no error set, when it must be read again at
    // once) or at once.
    std::optional<WorkbookLoad> readRows(int index, quint64 memoryLimit, bool inRuns) {
        auto device = pkg_.stream(parts_.value(index));
        if (!device) {
            return std::nullopt;
        }
        SheetBuilder sheet(pkg_.name(), memoryLimit);
        qint64 row = -1;
        const auto code = [this](int format) {
            return static_cast<size_t>(format) < formats_.size()
                       ? QStringView(formats_[static_cast<size_t>(format)].code)
                       : QStringView();
        };
        const auto take = [&](const RowRecord& record) {
            return takeRecord(record, sheet, row, code, *device, progress_);
        };
        const ParseRows parse = [this](QXmlStreamReader& xml, RowRecord& out) {
            parseSheet(xml, out, {});
        };
        QString xmlError;
        if (inRuns) {
            if (readRowsInRuns(*device, {"row", "sheetData"}, parse, take) ==
                ChunkedRead::ReadAgain) {
                return std::nullopt;
            }
        } else {
            QXmlStreamReader xml(device.get());
            RowRecord record;
            parseSheet(xml, record, [&](RowRecord& rows) {
                const bool going = take(rows);
                rows.clear();
                return going;
            });
            if (take(record) && xml.hasError()) {
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
            pkg_.fail(pkg_.damaged(QStringLiteral("its sheet \"%1\" cannot be read (%2)")
                                       .arg(names_.value(index), xmlError)));
            return std::nullopt;
        }
        if (progress_ && !progress_(device->inflated(), device->inflated())) {
            pkg_.fail(fileaccess::cancelled(pkg_.name()));
            return std::nullopt;
        }
        return sheet.finish();
    }

    // The cells and columns of a sheet's XML (a whole sheet, its header or a run of its rows)
    // into `out`; `flush`, when given, takes the record every 1024 rows (false: stop). Runs on
    // several threads at once: it reads the styles, strings and date system only.
    void parseSheet(QXmlStreamReader& xml, RowRecord& out,
                    const std::function<bool(RowRecord&)>& flush) const {
        qint64 col = -1;
        std::string text;
        QString value;
        QString scratch;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                if (xml.isEndElement() && xml.name() == u"row") {
                    out.endRow();
                    if (flush && out.rowsEnded() >= 1024 && !flush(out)) {
                        return;
                    }
                }
                continue;
            }
            const QStringView name = xml.name();
            if (name == u"c") {
                CellType type = CellType::Number;
                int style = 0;
                {
                    // The attributes are let go before reading on, so that the reader can
                    // reuse their room.
                    const auto a = xml.attributes();
                    const qint64 c = columnOfReference(a.value(QLatin1String("r")));
                    col = c >= 0 ? c : col + 1;
                    type = cellTypeOf(a.value(QLatin1String("t")));
                    style = a.value(QLatin1String("s")).toInt();
                }
                readCell(xml, type, style, col, out, text, value, scratch);
            } else if (name == u"row") {
                bool ok = false;
                const qint64 r = xml.attributes().value(QLatin1String("r")).toLongLong(&ok);
                out.beginRow(ok && r > 0 ? r : 0);
                col = -1;
            } else if (name == u"col") {
                const auto a = xml.attributes();
                const qint64 first = a.value(QLatin1String("min")).toLongLong() - 1;
                const qint64 last = std::min<qint64>(a.value(QLatin1String("max")).toLongLong() - 1,
                                                     first + kSheetMaxColumns);
                const int twips =
                    a.value(QLatin1String("customWidth")) == u"0"
                        ? -1
                        : twipsOfCharacters(a.value(QLatin1String("width")).toDouble());
                const bool hidden = a.value(QLatin1String("hidden")) == u"1" ||
                                    a.value(QLatin1String("hidden")) == u"true";
                for (qint64 c = std::max<qint64>(first, 0); c <= last && c < kMaxColumns; ++c) {
                    if (twips >= 0) {
                        out.width(c, twips);
                    }
                    if (hidden) {
                        out.hidden(c);
                    }
                }
            }
        }
    }

    bool readSharedStrings() {
        const QString part =
            targetOfType(relations_, u"/sharedStrings", QStringLiteral("xl/sharedStrings.xml"));
        if (!pkg_.has(part)) {
            return true;
        }
        auto device = pkg_.stream(part);
        if (!device) {
            return false;
        }
        QXmlStreamReader xml(device.get());
        QString scratch;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"si") {
                const size_t start = strings_.text.size();
                readRichText(xml, strings_.text, scratch);
                strings_.spans.emplace_back(start,
                                            static_cast<uint32_t>(strings_.text.size() - start));
            }
        }
        if (pkg_.failed()) {
            return false;
        }
        if (xml.hasError()) {
            pkg_.fail(pkg_.damaged(
                QStringLiteral("its shared strings cannot be read (%1)").arg(xml.errorString())));
            return false;
        }
        return true;
    }

    // One <c> element, from its start to its end.
    void readCell(QXmlStreamReader& xml, CellType type, int style, qint64 col, RowRecord& out,
                  std::string& text, QString& value, QString& scratch) const {
        text.clear();
        value.clear();
        bool hasValue = false;
        bool formula = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                if (xml.name() == u"v") {
                    readTextOf(xml, value, false);
                    hasValue = true;
                } else if (xml.name() == u"f") {
                    formula = true;
                    xml.skipCurrentElement();
                } else if (xml.name() == u"is") {
                    readRichText(xml, text, scratch);
                    hasValue = true;
                } else {
                    xml.skipCurrentElement();
                }
            } else if (xml.isEndElement()) {
                break;  // the end of <c>
            }
        }
        // A formula never computed may still carry an empty value.
        if (formula && type != CellType::String && type != CellType::Inline &&
            value.trimmed().isEmpty()) {
            hasValue = false;
        }
        if (!hasValue) {
            if (formula) {
                out.formulaWithoutValue();
            }
            return;
        }
        const CellFormat* format = style >= 0 && static_cast<size_t>(style) < formats_.size()
                                       ? &formats_[static_cast<size_t>(style)]
                                       : nullptr;
        CellKind kind = CellKind::Text;
        if (type == CellType::Shared) {
            text = strings_.at(value.toLongLong());
        } else if (type == CellType::Inline) {
            // The text was read from <is>.
        } else if (type == CellType::String || type == CellType::Error) {
            appendCellText(value, text);
        } else if (type == CellType::Boolean) {
            text = value.trimmed() == u"1" || value.trimmed() == u"true" ? "TRUE" : "FALSE";
            kind = CellKind::Boolean;
        } else if (type == CellType::Date) {
            bool timed = false;
            if (auto iso = isoDateText(value.toStdString(), &timed)) {
                text = std::move(*iso);
                kind = timed ? CellKind::DateTime : CellKind::Date;
            } else {
                appendCellText(value, text);
            }
        } else {
            const QByteArray latin = value.trimmed().toLatin1();
            double number = 0;
            const auto r = std::from_chars(latin.data(), latin.data() + latin.size(), number);
            if (r.ec != std::errc() || r.ptr != latin.data() + latin.size()) {
                appendCellText(value, text);
            } else if (format && format->shape != ValueShape::Number &&
                       appendDateText(date1904_ ? serialFrom1904(number) : serialFrom1900(number),
                                      format->shape, text)) {
                kind = format->shape == ValueShape::Date       ? CellKind::Date
                       : format->shape == ValueShape::DateTime ? CellKind::DateTime
                                                               : CellKind::Time;
            } else {
                text.clear();
                appendNumberText(number, text);
                kind = format ? format->numberKind : CellKind::Number;
            }
        }
        out.cell(col, text, kind, format ? style : -1);
    }

    Package& pkg_;
    Progress progress_;
    QString workbookPart_;
    QHash<QString, Relation> relations_;
    QStringList names_;
    QStringList parts_;
    bool date1904_ = false;
    std::vector<CellFormat> formats_;
    SharedStrings strings_;
};

}  // namespace

Result<QStringList> xlsxSheetNames(Package& package) {
    XlsxReader reader(package, {});
    if (!reader.readWorkbook()) {
        return package.error();
    }
    return reader.names();
}

Result<WorkbookLoad> loadXlsx(Package& package, const QString& sheet, const Progress& progress,
                              quint64 memoryLimit) {
    XlsxReader reader(package, progress);
    if (!reader.readWorkbook()) {
        return package.error();
    }
    std::optional<FileError> error;
    const auto index = chooseSheet(reader.names(), sheet, package.name(), error);
    if (!index) {
        return *error;
    }
    auto load = reader.readSheet(*index, memoryLimit);
    if (!load) {
        return package.error();
    }
    return std::move(*load);
}

}  // namespace pellumar::workbook
