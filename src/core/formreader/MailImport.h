// Form posts by the hundred: the messages of mailboxes, Maildir folders and message files become
// records, each added by the Drop Box's rules (FormReader.h), one record a message.
//
// The import runs in two passes. read() takes the messages in (their form texts and headers,
// skipping those without form text, too large, damaged or read before); apply() then orders them
// by date and adds them to the table. The records are first built in a table of the titles alone,
// so that a cancelled or refused import leaves the table as it was, and are then written into the
// table in a few operations of its model (the caller's one step of the edit history).
#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

#include "core/document/FileResult.h"
#include "core/formreader/FormReader.h"
#include "core/formreader/MailReader.h"

namespace pellumar {

class GridModel;

namespace formreader {

// The columns a record of a mail may start with: "Date", "From", "Subject", "Message-ID".
QStringList mailColumnTitles();

// A message that gave no record, for the details list.
struct SkippedMail {
    QDateTime date;
    QString from;
    QString subject;
    MailSkip why = MailSkip::None;
};

struct MailSummary {
    int messages = 0;
    int records = 0;
    int withoutFormText = 0;
    int duplicates = 0;
    int tooLarge = 0;
    int damaged = 0;
    std::vector<SkippedMail> skipped;

    // "60 records from 64 messages; 2 without form text, 2 duplicates".
    QString text() const;
    // One line a skipped message: its date, sender, subject and why.
    QStringList details() const;
};

class MailImport {
public:
    // `separator` is the Form Reader's setting; `mailColumns` starts each record with the
    // sender's date, address, subject and Message-ID.
    MailImport(const QString& separator, bool mailColumns);

    // Message-IDs already in the table (its "Message-ID" columns): their messages are duplicates.
    void knowMessageIds(const GridModel& grid);

    // Reads the sources (see listMailFiles). An error, and nothing kept, when a source cannot be
    // read or holds no message, or when `progress` cancelled.
    Result<void> read(const QStringList& paths, const Progress& progress = {});
    // Reads one message or mailbox held in memory (a dropped mail).
    void readBytes(const QByteArray& bytes);

    // Adds the records read to the table, oldest first (undated ones last, in the order read).
    // Nothing changes when the records would take the table past its limits (the outcome's
    // columnLimit or rowLimit) or when `progress` cancels (nothing added). With `isNewDocument`
    // the blank records go first.
    Outcome apply(GridModel& grid, bool isNewDocument, const Progress& progress = {});
    // True when apply() was cancelled.
    bool cancelled() const { return cancelled_; }

    const MailSummary& summary() const { return summary_; }

private:
    struct Kept {
        qint64 when = 0;
        bool dated = false;
        QString from;
        QString subject;
        QString messageId;
        QByteArray text;  // UTF-8
        QByteArray charset;
    };

    bool holdsFormText(const QString& text) const;
    void take(MailMessage&& message);
    void skip(const MailMessage& message, MailSkip why);
    Pairs pairsOf(const Kept& kept) const;

    QString separator_;
    bool mailColumns_;
    bool cancelled_ = false;
    QSet<QString> messageIds_;
    QSet<QByteArray> contents_;
    std::vector<Kept> kept_;
    MailSummary summary_;
};

}  // namespace formreader
}  // namespace pellumar
