// Messages and mailboxes made in code for the form-post import's tests and benchmark: headers, a
// text part in any charset and transfer encoding, multiparts, attached messages, mbox framing.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringEncoder>

namespace pellumar::testing {

// The text in the charset (a name QStringEncoder knows).
inline QByteArray encodedText(const QString& text, const char* charset) {
    QStringEncoder encoder(charset);
    return encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toUtf8();
}

inline QByteArray quotedPrintable(const QByteArray& bytes) {
    QByteArray out;
    int column = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            out += "\r\n";
            ++i;
            column = 0;
            continue;
        }
        QByteArray piece;
        if ((c >= 33 && c <= 126 && c != '=') || c == ' ') {
            piece = QByteArray(1, static_cast<char>(c));
        } else {
            piece = "=" + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        }
        if (column + piece.size() > 72) {
            out += "=\r\n";  // a soft line break
            column = 0;
        }
        out += piece;
        column += static_cast<int>(piece.size());
    }
    return out;
}

inline QByteArray base64Lines(const QByteArray& bytes) {
    const QByteArray all = bytes.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < all.size(); i += 76) {
        out += all.mid(i, 76) + "\r\n";
    }
    return out;
}

// A text/plain part (its headers and body) of the text in the charset and transfer encoding
// ("7bit", "8bit", "quoted-printable", "base64").
inline QByteArray textPart(const QString& text, const char* charset = "UTF-8",
                           const QByteArray& encoding = "8bit",
                           const QByteArray& type = "text/plain") {
    const QByteArray bytes = encodedText(text, charset);
    QByteArray body = bytes;
    if (encoding == "quoted-printable") {
        body = quotedPrintable(bytes);
    } else if (encoding == "base64") {
        body = base64Lines(bytes);
    }
    return "Content-Type: " + type + "; charset=" + QByteArray(charset) +
           "\r\nContent-Transfer-Encoding: " + encoding + "\r\n\r\n" + body;
}

inline QByteArray multipart(const QByteArray& subtype, const QList<QByteArray>& parts) {
    const QByteArray boundary = "=_b" + QByteArray::number(qHash(parts.join()), 16);
    QByteArray out = "Content-Type: multipart/" + subtype + "; boundary=\"" + boundary +
                     "\"\r\n\r\nThis is a multipart message.\r\n";
    for (const QByteArray& part : parts) {
        out += "--" + boundary + "\r\n" + part + "\r\n";
    }
    return out + "--" + boundary + "--\r\n";
}

// An attached message (message/rfc822).
inline QByteArray attachedMessage(const QByteArray& message) {
    return "Content-Type: message/rfc822\r\nContent-Disposition: inline\r\n\r\n" + message;
}

struct MailHeaders {
    QByteArray from = "Ann Lee <ann@example.org>";
    QByteArray subject = "Contact form";
    QByteArray date = "Mon, 01 Jan 2024 10:00:00 +0000";  // none when empty
    QByteArray messageId = "<1@example.org>";             // none when empty
};

// A whole message: the headers, then the content (a part's own headers and body).
inline QByteArray message(const MailHeaders& h, const QByteArray& content) {
    QByteArray out =
        "From: " + h.from + "\r\nTo: forms@example.com\r\nSubject: " + h.subject + "\r\n";
    if (!h.date.isEmpty()) {
        out += "Date: " + h.date + "\r\n";
    }
    if (!h.messageId.isEmpty()) {
        out += "Message-ID: " + h.messageId + "\r\n";
    }
    return out + "MIME-Version: 1.0\r\n" + content;
}

// An mbox of the messages: each after a "From " line, its lines starting with "From " (after
// any ">") escaped with one more ">", line ends as LF.
inline QByteArray mbox(const QList<QByteArray>& messages) {
    QByteArray out;
    for (const QByteArray& m : messages) {
        out += "From forms@example.com Mon Jan  1 10:00:00 2024\n";
        QByteArray text = m;
        text.replace("\r\n", "\n");
        for (const QByteArray& line : text.split('\n')) {
            qsizetype i = 0;
            while (i < line.size() && line[i] == '>') {
                ++i;
            }
            if (line.mid(i).startsWith("From ")) {
                out += '>';
            }
            out += line + '\n';
        }
    }
    return out;
}

}  // namespace pellumar::testing
