// Reading form posts out of e-mail: mailboxes (mbox), Maildir folders, folders of message files
// (.eml) and single message files. A source is framed into messages first (MailFraming.h), then
// GMime parses one message at a time from its byte range, so that memory follows the largest
// message and not the mailbox.
//
// Each message gives its date, sender, subject and Message-ID and its form text: the first
// text/plain part, in the order the message shows them, that holds form text. An attached
// message (message/rfc822, a forwarded mail) is looked into; when the form text is found there,
// the attached message's own headers stand for the submission.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "core/document/FileResult.h"

namespace pellumar::formreader {

// A message or a part larger than this is skipped.
constexpr qint64 kMaxMailBytes = qint64{16} << 20;

// Why a message gives no record.
enum class MailSkip {
    None,
    NoFormText,  // no text/plain part holds form text (a newsletter, a reply, HTML only)
    TooLarge,    // the message, or its form part, is over kMaxMailBytes
    Damaged,     // the message could not be read
    Duplicate,   // read before (the import decides this one)
};

struct MailMessage {
    QDateTime date;  // invalid when the message has no readable Date
    QString from;    // the sender's address
    QString subject;
    QString messageId;   // without its angle brackets; empty when there is none
    QString text;        // the form text, line breaks as the part had them
    QByteArray charset;  // the form part's charset ("" for none), for urlencoded escapes
    MailSkip skip = MailSkip::None;
};

// One file to read: a mailbox, or a file holding one message.
struct MailFile {
    QString path;
    bool mbox = false;
    qint64 size = 0;
};

// The files the paths name: an mbox file or a message file as it is (a file that starts with
// "From " is a mailbox); a Maildir folder (one with cur/ or new/) its messages in cur/ and new/;
// any other folder its .eml files. Names are sorted within a folder. A path that does not exist
// or cannot be read is an error naming it.
Result<std::vector<MailFile>> listMailFiles(const QStringList& paths);

// True when a dropped path is mail rather than a form text: a folder that is a Maildir or holds
// .eml files, or a file that starts as a mailbox ("From ") or as a message whose headers include
// a mail's own (Message-ID, MIME-Version, Received, Return-Path, or both From and Date).
bool looksLikeMail(const QString& path);

// Tells whether a text part's text holds form text.
using FormTextTest = std::function<bool(const QString& text)>;
// Hears each message as it is read; returning false stops the reading.
using MailSink = std::function<bool(MailMessage&& message)>;

// Reads the messages of one file in order. `bytesRead` hears the bytes of the file read so far
// now and then (returning false stops the reading too). Gives false when the reading was
// stopped; an error when the file cannot be opened.
Result<bool> readMailFile(const MailFile& file, const FormTextTest& holdsFormText,
                          const MailSink& sink, const std::function<bool(qint64)>& bytesRead = {});

// Reads the messages of a single message held in memory (a mail dropped as data).
void readMailBytes(const QByteArray& bytes, const FormTextTest& holdsFormText,
                   const MailSink& sink);

}  // namespace pellumar::formreader
