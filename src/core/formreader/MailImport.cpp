#include "core/formreader/MailImport.h"

#include "core/document/FileAccess.h"
#include "core/formreader/UrlEncodedForm.h"
#include "core/grid/GridModel.h"
#include "core/table/TableLimits.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace pellumar::formreader {

namespace {

// How often, in records, a long pass reports its progress.
constexpr size_t kProgressEvery = 1024;

// The computer's local time, "YYYY-MM-DD HH:MM:SS" (through the C library: Qt's local time
// reads the time zone again for every date, which a hundred thousand mails notice).
QString localTime(qint64 secs) {
    const time_t t = static_cast<time_t>(secs);
    std::tm local{};
    if (!localtime_r(&t, &local)) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(text);
}

QString withoutBrackets(QString id) {
    id = id.trimmed();
    if (id.startsWith(u'<') && id.endsWith(u'>')) {
        id = id.mid(1, id.size() - 2);
    }
    return id;
}

QString counted(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

QString whyText(MailSkip why) {
    switch (why) {
        case MailSkip::NoFormText:
            return QStringLiteral("no form text");
        case MailSkip::TooLarge:
            return QStringLiteral("larger than 16 MB");
        case MailSkip::Damaged:
            return QStringLiteral("damaged");
        case MailSkip::Duplicate:
            return QStringLiteral("duplicate");
        case MailSkip::None:
            break;
    }
    return {};
}

}  // namespace

QStringList mailColumnTitles() {
    return {QStringLiteral("Date"), QStringLiteral("From"), QStringLiteral("Subject"),
            QStringLiteral("Message-ID")};
}

QString MailSummary::text() const {
    QString text = counted(records, "record", "records") + QStringLiteral(" from ") +
                   counted(messages, "message", "messages");
    QStringList parts;
    if (withoutFormText > 0) {
        parts << QStringLiteral("%1 without form text").arg(withoutFormText);
    }
    if (duplicates > 0) {
        parts << counted(duplicates, "duplicate", "duplicates");
    }
    if (tooLarge > 0) {
        parts << QStringLiteral("%1 larger than 16 MB").arg(tooLarge);
    }
    if (damaged > 0) {
        parts << QStringLiteral("%1 damaged").arg(damaged);
    }
    if (!parts.isEmpty()) {
        text += QStringLiteral("; ") + parts.join(QStringLiteral(", "));
    }
    return text;
}

QStringList MailSummary::details() const {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(skipped.size()));
    for (const SkippedMail& mail : skipped) {
        lines << QStringLiteral("%1, %2, \"%3\": %4")
                     .arg(mail.date.isValid() ? localTime(mail.date.toSecsSinceEpoch())
                                              : QStringLiteral("(no date)"),
                          mail.from.isEmpty() ? QStringLiteral("(no sender)") : mail.from,
                          mail.subject, whyText(mail.why));
    }
    return lines;
}

MailImport::MailImport(const QString& separator, bool mailColumns)
    : separator_(separator), mailColumns_(mailColumns) {}

void MailImport::knowMessageIds(const GridModel& grid) {
    const Table& table = grid.table();
    for (int c = 0; c < grid.cols(); ++c) {
        if (table.utf8(0, c) != "Message-ID") {
            continue;
        }
        for (int r = 1; r < grid.rows(); ++r) {
            const QString id = withoutBrackets(table.text(r, c));
            if (!id.isEmpty()) {
                messageIds_.insert(id);
            }
        }
    }
}

bool MailImport::holdsFormText(const QString& text) const {
    if (isUrlEncodedForm(text)) {
        return true;
    }
    switch (modeFor(separator_)) {
        case Mode::CommaLines:
            return text.contains(u',');
        case Mode::TabLines:
            return text.contains(u'\t');
        case Mode::FormPost:
            break;
    }
    return holdsSeparator(text, separator_);
}

void MailImport::skip(const MailMessage& message, MailSkip why) {
    summary_.skipped.push_back({message.date, message.from, message.subject, why});
    switch (why) {
        case MailSkip::NoFormText:
            ++summary_.withoutFormText;
            break;
        case MailSkip::TooLarge:
            ++summary_.tooLarge;
            break;
        case MailSkip::Damaged:
            ++summary_.damaged;
            break;
        case MailSkip::Duplicate:
            ++summary_.duplicates;
            break;
        case MailSkip::None:
            break;
    }
}

void MailImport::take(MailMessage&& message) {
    ++summary_.messages;
    if (message.skip != MailSkip::None) {
        skip(message, message.skip);
        return;
    }
    // Read before: the same Message-ID, or without one the same date and form text.
    bool duplicate = false;
    if (!message.messageId.isEmpty()) {
        duplicate = messageIds_.contains(message.messageId);
        messageIds_.insert(message.messageId);
    } else {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        hash.addData(message.date.isValid() ? QByteArray::number(message.date.toSecsSinceEpoch())
                                            : QByteArrayLiteral("undated"));
        hash.addData(QByteArrayView("\n", 1));
        hash.addData(message.text.toUtf8());
        const QByteArray key = hash.result();
        duplicate = contents_.contains(key);
        contents_.insert(key);
    }
    if (duplicate) {
        skip(message, MailSkip::Duplicate);
        return;
    }
    Kept kept;
    kept.dated = message.date.isValid();
    kept.when = kept.dated ? message.date.toSecsSinceEpoch() : 0;
    kept.from = std::move(message.from);
    kept.subject = std::move(message.subject);
    kept.messageId = std::move(message.messageId);
    kept.text = message.text.toUtf8();
    kept.charset = std::move(message.charset);
    kept_.push_back(std::move(kept));
}

Result<void> MailImport::read(const QStringList& paths, const Progress& progress) {
    std::vector<std::vector<MailFile>> sources;
    qint64 total = 0;
    for (const QString& path : paths) {
        auto files = listMailFiles({path});
        if (!files) {
            return files.error();
        }
        for (const MailFile& file : files.value()) {
            total += file.size;
        }
        sources.push_back(files.take());
    }
    const FormTextTest test = [this](const QString& text) { return holdsFormText(text); };
    qint64 before = 0;  // the bytes of the files read before this one
    bool stopped = false;
    for (size_t s = 0; s < sources.size(); ++s) {
        const int messagesBefore = summary_.messages;
        for (const MailFile& file : sources[s]) {
            const auto read = readMailFile(
                file, test,
                [this](MailMessage&& message) {
                    take(std::move(message));
                    return true;
                },
                [&](qint64 done) {
                    if (progress && summary_.messages % kProgressEvery == 0 &&
                        !progress(before + done, total)) {
                        stopped = true;
                    }
                    return !stopped;
                });
            if (!read) {
                return read.error();
            }
            if (stopped) {
                return fileaccess::cancelled(paths[static_cast<qsizetype>(s)]);
            }
            before += file.size;
        }
        if (summary_.messages == messagesBefore) {
            return FileError{FileError::Reason::NotOurs,
                             QStringLiteral("No messages were found in %1.")
                                 .arg(fileaccess::displayName(paths[static_cast<qsizetype>(s)]))};
        }
    }
    if (progress && !progress(total, total)) {
        return fileaccess::cancelled(paths.value(0));
    }
    return {};
}

void MailImport::readBytes(const QByteArray& bytes) {
    readMailBytes(
        bytes, [this](const QString& text) { return holdsFormText(text); },
        [this](MailMessage&& message) {
            take(std::move(message));
            return true;
        });
}

Pairs MailImport::pairsOf(const Kept& kept) const {
    const QString text = QString::fromUtf8(kept.text);
    Pairs pairs = isUrlEncodedForm(text) ? readUrlEncodedForm(text, kept.charset)
                                         : readPairs(text, separator_);
    if (mailColumns_) {
        const QStringList titles = mailColumnTitles();
        Pairs mail{{titles[0], kept.dated ? localTime(kept.when) : QString()},
                   {titles[1], kept.from},
                   {titles[2], kept.subject},
                   {titles[3], kept.messageId}};
        pairs.insert(pairs.begin(), mail.begin(), mail.end());
    }
    return pairs;
}

Outcome MailImport::apply(GridModel& grid, bool isNewDocument, const Progress& progress) {
    Outcome out;
    cancelled_ = false;
    std::stable_sort(kept_.begin(), kept_.end(), [](const Kept& a, const Kept& b) {
        if (a.dated != b.dated) {
            return a.dated;
        }
        return a.dated && a.when < b.when;
    });

    // The records are built below a copy of the titles; row 1 numbers the table's own columns,
    // so that the columns added show by their empty number.
    GridModel built;
    {
        Table titles(2, grid.cols());
        for (int c = 0; c < grid.cols(); ++c) {
            titles.setUtf8(0, c, grid.table().utf8(0, c));
            titles.setText(1, c, QString::number(c + 1));
        }
        built.replaceTable(std::move(titles));
    }
    const Mode mode = modeFor(separator_);
    const QChar delimiter = mode == Mode::CommaLines ? u',' : u'\t';
    const size_t n = kept_.size();
    for (size_t i = 0; i < n; ++i) {
        if (progress && i % kProgressEvery == 0 &&
            !progress(static_cast<qint64>(i), static_cast<qint64>(n))) {
            cancelled_ = true;
            return {};
        }
        const Kept& kept = kept_[i];
        const bool pairs = mode == Mode::FormPost || isUrlEncodedForm(QString::fromUtf8(kept.text));
        const Outcome one =
            pairs ? appendPairsRecord(built, pairsOf(kept), false, mailColumns_ ? 4 : 0)
                  : appendDelimitedRows(built, QString::fromUtf8(kept.text), delimiter, false);
        if (one.columnLimit || one.rowLimit) {
            out.columnLimit = one.columnLimit;
            out.rowLimit = one.rowLimit;
            return out;
        }
    }
    const Table& records = built.table();
    const int added = records.rowCount() - 2;
    const int base = isNewDocument ? 1 : std::max(grid.rows(), 1);
    if (!rowsFit(base, added)) {
        out.rowLimit = true;
        return out;
    }
    summary_.records = added;
    if (added <= 0) {
        return out;
    }

    if (isNewDocument) {
        grid.setRows(1);
        out.blankRecordsDropped = true;
    } else if (grid.rows() < 1) {
        grid.setRows(1);
    }
    for (int c = 0; c < records.columnCount(); ++c) {
        if (records.utf8(1, c).empty()) {
            grid.insertColumnsAt(c, 1);
            grid.setText(0, c, records.text(0, c));
            ++out.columnsAdded;
        }
    }
    grid.setRows(base + added);
    grid.copyTexts(records, 2, 0, added, records.columnCount(), base, 0);
    out.rowsAdded = added;
    out.newRecordRow = base + added - 1;
    if (progress) {
        progress(static_cast<qint64>(n), static_cast<qint64>(n));
    }
    return out;
}

}  // namespace pellumar::formreader
