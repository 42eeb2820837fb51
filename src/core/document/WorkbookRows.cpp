#include "core/document/WorkbookRows.h"

#include <QString>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <optional>
#include <system_error>

#include "core/document/FileAccess.h"
#include "core/document/WorkbookPackage.h"
#include "core/document/WorkbookSheet.h"

namespace pellumar::workbook {

void RowRecord::beginRow(qint64 number) {
    items_.push_back({number, 0, -1, Op::Row, CellKind::Text});
}

void RowRecord::cell(qint64 col, std::string_view text, CellKind kind, int format) {
    items_.push_back({col, static_cast<uint32_t>(text.size()), format, Op::Cell, kind});
    texts_.append(text);
}

void RowRecord::endRow(qint64 repeat) {
    items_.push_back({repeat, 0, -1, Op::EndRow, CellKind::Text});
    ++rowsEnded_;
}

void RowRecord::width(qint64 col, int twips) {
    items_.push_back({col, 0, twips, Op::Width, CellKind::Text});
}

void RowRecord::hidden(qint64 col) {
    items_.push_back({col, 0, -1, Op::Hidden, CellKind::Text});
}

void RowRecord::formulaWithoutValue() {
    items_.push_back({0, 0, -1, Op::Formula, CellKind::Text});
}

void RowRecord::clear() {
    items_.clear();
    texts_.clear();
    rowsEnded_ = 0;
    finished_ = false;
}

bool RowRecord::replay(SheetBuilder& sheet, qint64& row,
                       const std::function<QStringView(int)>& formatCode) const {
    size_t offset = 0;
    for (const Item& item : items_) {
        switch (item.op) {
            case Op::Row:
                row = item.value > row + 1 ? item.value - 1 : row + 1;
                sheet.beginRow(row);
                break;
            case Op::Cell:
                sheet.cell(item.value, std::string_view(texts_.data() + offset, item.length),
                           item.kind, item.format >= 0 ? formatCode(item.format) : QStringView());
                offset += item.length;
                break;
            case Op::EndRow: {
                // Repeated rows past the limit hold nothing, or are refused.
                const qint64 repeat =
                    std::clamp<qint64>(item.value, 1, std::max<qint64>(kMaxRows - row, 1));
                sheet.endRow(repeat);
                row += repeat - 1;
                break;
            }
            case Op::Width:
                sheet.setWidth(item.value, item.format);
                break;
            case Op::Hidden:
                sheet.setHidden(item.value);
                break;
            case Op::Formula:
                sheet.countFormulaWithoutValue();
                break;
        }
        if (sheet.failed()) {
            return false;
        }
    }
    return true;
}

bool takeRecord(const RowRecord& record, SheetBuilder& sheet, qint64& row,
                const std::function<QStringView(int)>& formatCode, const PartDevice& device,
                const Progress& progress) {
    if (!record.replay(sheet, row, formatCode)) {
        return false;
    }
    if (progress && !progress(device.inflated(), std::max(device.announced(), qint64{1}))) {
        sheet.fail(fileaccess::cancelled(sheet.name()));
        return false;
    }
    return true;
}

namespace {

// The XML of one run of rows: a sixteenth of the sheet, within these bounds.
constexpr qsizetype kRunLeast = qsizetype{256} << 10;
constexpr qsizetype kRunMost = qsizetype{1} << 20;
constexpr qsizetype kHeaderMost = qsizetype{16} << 20;  // no row by then: read it all at once
constexpr qsizetype kRowMost = qsizetype{64} << 20;     // a row longer than this: likewise

bool isNameByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The local name of the qualified name at `p` (up to `end`), and where the name ends.
QByteArrayView localNameAt(const char* p, const char* end, const char** after) {
    const char* start = p;
    const char* local = p;
    while (p < end && isNameByte(*p)) {
        if (*p == ':') {
            local = p + 1;
        }
        ++p;
    }
    *after = p;
    return p > start ? QByteArrayView(local, p - local) : QByteArrayView();
}

// Where the first start tag of an element named `local` begins, from `from`; -1 when none.
qsizetype firstStartTag(const QByteArray& bytes, qsizetype from, QByteArrayView local) {
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    for (const char* p = begin + from; p < end;) {
        p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)));
        if (!p) {
            return -1;
        }
        const char* after = nullptr;
        if (localNameAt(p + 1, end, &after) == local && after < end &&
            (isSpace(*after) || *after == '>' || *after == '/')) {
            return p - begin;
        }
        ++p;
    }
    return -1;
}

// Where the last end tag of an element named `local` ends; -1 when none.
qsizetype afterLastEndTag(const QByteArray& bytes, QByteArrayView local) {
    const char* begin = bytes.constData();
    for (qsizetype at = bytes.size(); at > 0;) {
        at = bytes.lastIndexOf("</", at - 1);
        if (at < 0) {
            return -1;
        }
        const char* end = begin + bytes.size();
        const char* after = nullptr;
        if (localNameAt(begin + at + 2, end, &after) == local) {
            while (after < end && isSpace(*after)) {
                ++after;
            }
            if (after < end && *after == '>') {
                return after + 1 - begin;
            }
        }
    }
    return -1;
}

QByteArray attributeText(const QString& value) {
    QString escaped = value.toHtmlEscaped();  // & < > and "
    return escaped.toUtf8();
}

struct Wrapping {
    QByteArray prefix;
    QByteArray suffix;
};

// The elements open at the end of `header` (which stops just before the first row), written
// again with their namespaces so that a run of rows parses as it would in place; nothing when
// the header does not end cleanly inside an element named `container`.
std::optional<Wrapping> wrappingOf(const QByteArray& header, QByteArrayView container) {
    Wrapping wrap;
    if (header.startsWith("<?xml")) {
        const qsizetype end = header.indexOf("?>");
        if (end < 0) {
            return std::nullopt;
        }
        wrap.prefix = header.left(end + 2);  // the same encoding
    }
    struct Open {
        QString name;
        QString local;
        QXmlStreamNamespaceDeclarations namespaces;
    };
    std::vector<Open> open;
    QXmlStreamReader xml(header);
    qint64 lastEnd = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::Invalid) {
            break;
        }
        lastEnd = xml.characterOffset();
        if (token == QXmlStreamReader::StartElement) {
            open.push_back({xml.qualifiedName().toString(), xml.name().toString(),
                            xml.namespaceDeclarations()});
        } else if (token == QXmlStreamReader::EndElement) {
            if (open.empty()) {
                return std::nullopt;
            }
            open.pop_back();
        } else if (token == QXmlStreamReader::DTD) {
            return std::nullopt;  // entities the runs would not know
        }
    }
    // The header must end between two whole tokens: not inside a comment or anything else.
    if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError || open.empty() ||
        open.back().local.toUtf8() != container) {
        return std::nullopt;
    }
    const QString text = QString::fromUtf8(header);
    if (!text.sliced(std::clamp<qint64>(lastEnd, 0, text.size())).trimmed().isEmpty()) {
        return std::nullopt;
    }
    for (const Open& element : open) {
        wrap.prefix += '<' + element.name.toUtf8();
        for (const auto& ns : element.namespaces) {
            wrap.prefix += ns.prefix().isEmpty() ? QByteArray(" xmlns=\"")
                                                 : " xmlns:" + ns.prefix().toUtf8() + "=\"";
            wrap.prefix += attributeText(ns.namespaceUri().toString()) + '"';
        }
        wrap.prefix += '>';
    }
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        wrap.suffix += "</" + it->name.toUtf8() + '>';
    }
    return wrap;
}

// Reads up to `most` more bytes of `device` onto `bytes`: 1 when some came, 0 at the end, -1
// when the device failed.
int readMore(PartDevice& device, QByteArray& bytes, qsizetype most) {
    const qsizetype at = bytes.size();
    bytes.resize(at + most);
    const qint64 got = device.read(bytes.data() + at, most);
    bytes.resize(at + std::max<qint64>(got, 0));
    if (got < 0) {
        return -1;
    }
    return got > 0 ? 1 : (device.atEnd() ? 0 : 1);
}

struct Run {
    RowRecord record;
    bool parsed = false;
    bool last = false;  // the run the read ends with, not closed by the wrapping
};

}  // namespace

ChunkedRead readRowsInRuns(PartDevice& device, const RowShape& shape, const ParseRows& parse,
                           const std::function<bool(const RowRecord&)>& take) {
    const qsizetype run = std::clamp<qsizetype>(device.announced() / 16, kRunLeast, kRunMost);
    // The header, up to the first row that stands right in the rows' container (rows inside
    // header rows or groups before it go with the header).
    QByteArray bytes;
    QByteArray header;
    std::optional<Wrapping> wrap;
    qsizetype from = 0;
    int tries = 0;
    while (!wrap) {
        const qsizetype rowAt = firstStartTag(bytes, from, shape.row);
        if (rowAt < 0) {
            from = std::max<qsizetype>(from, bytes.size() - 1024);
            const int more = readMore(device, bytes, run);
            if (more < 0) {
                return ChunkedRead::Done;
            }
            if (more == 0 || bytes.size() > kHeaderMost) {
                return ChunkedRead::ReadAgain;  // small, or strange: one reader does it
            }
            continue;
        }
        header = bytes.left(rowAt);
        wrap = wrappingOf(header, shape.container);
        if (!wrap && ++tries == 16) {
            return ChunkedRead::ReadAgain;
        }
        from = rowAt + 1;
    }
    {
        RowRecord head;
        QXmlStreamReader xml(header);
        parse(xml, head);
        if (!take(head) || head.finished()) {
            return ChunkedRead::Done;
        }
    }
    bytes.remove(0, header.size());

    // The rows, a run at a time, parsed on other threads and taken in order.
    const size_t inFlight = static_cast<size_t>(std::max(2, QThread::idealThreadCount())) + 1;
    std::deque<std::future<Run>> running;
    bool ends = false;  // the last run launched ends the sheet
    const auto launch = [&](qsizetype length, bool last) {
        QByteArray doc;
        doc.reserve(wrap->prefix.size() + length + wrap->suffix.size());
        doc.append(wrap->prefix).append(bytes.constData(), length);
        if (!last) {
            doc.append(wrap->suffix);
        }
        auto work = [&parse, last, doc = std::move(doc)] {
            Run run;
            run.last = last;
            QXmlStreamReader xml(doc);
            parse(xml, run.record);
            run.parsed = !xml.hasError();
            return run;
        };
        try {
            running.push_back(std::async(std::launch::async, work));  // shares the XML
        } catch (const std::system_error&) {
            // No thread to be had: the run is parsed here when it is taken.
            running.push_back(std::async(std::launch::deferred, std::move(work)));
        }
    };
    // Takes the oldest run; a result when the read must end.
    const auto takeOldest = [&]() -> std::optional<ChunkedRead> {
        const Run run = running.front().get();
        running.pop_front();
        if (!run.parsed) {
            return ChunkedRead::ReadAgain;
        }
        if (!take(run.record)) {
            return ChunkedRead::Done;
        }
        if (run.last) {
            // A sheet followed by more must have ended in it: else what looked like its end
            // was something else.
            return shape.sheet.isEmpty() || run.record.finished() ? ChunkedRead::Done
                                                                  : ChunkedRead::ReadAgain;
        }
        return std::nullopt;
    };
    const auto stop = [&](ChunkedRead result) {
        for (auto& r : running) {
            r.wait();
        }
        return result;
    };
    qsizetype wanted = run;
    for (;;) {
        int more = 1;
        while (bytes.size() < wanted && more > 0) {
            more = readMore(device, bytes, std::min<qsizetype>(run, kRunLeast * 4));
        }
        if (more < 0) {
            return stop(ChunkedRead::Done);
        }
        if (more == 0) {
            break;
        }
        const qsizetype cut = afterLastEndTag(bytes, shape.row);
        if (cut < 0) {
            if (bytes.size() > kRowMost) {
                return stop(ChunkedRead::ReadAgain);
            }
            wanted = bytes.size() + run;
            continue;
        }
        wanted = run;
        // The run that holds the sheet's end is the last one read.
        const bool ending =
            !shape.sheet.isEmpty() &&
            afterLastEndTag(QByteArray::fromRawData(bytes.constData(), cut), shape.sheet) >= 0;
        launch(cut, ending);
        bytes.remove(0, cut);
        if (ending) {
            ends = true;
            break;
        }
        while (running.size() >= inFlight) {
            if (const auto end = takeOldest()) {
                return stop(*end);
            }
        }
    }
    // The last rows and the end of the sheet.
    if (!ends) {
        launch(bytes.size(), true);
    }
    while (!running.empty()) {
        if (const auto end = takeOldest()) {
            return stop(*end);
        }
    }
    return ChunkedRead::Done;
}

}  // namespace pellumar::workbook
