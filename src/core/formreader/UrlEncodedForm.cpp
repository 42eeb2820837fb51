#include "core/formreader/UrlEncodedForm.h"

#include <QStringDecoder>

#include <optional>

namespace pellumar::formreader {

namespace {

bool isHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isPlain(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'.' || c == u'_' || c == u'~' || c == u'*' || c == u'+';
}

// True when the text is all plain characters and %XX escapes (`allowEmpty` or not).
bool isEncoded(QStringView text, bool allowEmpty) {
    if (text.isEmpty()) {
        return allowEmpty;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) {
                return false;
            }
            i += 2;
        } else if (!isPlain(text[i])) {
            return false;
        }
    }
    return true;
}

QStringView withoutFinalLineBreak(QStringView text) {
    if (text.endsWith(u"\r\n")) {
        return text.chopped(2);
    }
    if (text.endsWith(u'\n')) {
        return text.chopped(1);
    }
    return text;
}

QByteArray percentDecoded(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'+') {
            bytes += ' ';
        } else if (c == u'%' && i + 2 < text.size()) {
            bytes += static_cast<char>(text.sliced(i + 1, 2).toUInt(nullptr, 16));
            i += 2;
        } else {
            bytes += static_cast<char>(c.unicode());
        }
    }
    return bytes;
}

QString lineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

}  // namespace

bool isUrlEncodedForm(QStringView text) {
    const QStringView line = withoutFinalLineBreak(text);
    if (line.isEmpty()) {
        return false;
    }
    for (const QStringView pair : line.tokenize(u'&')) {
        const qsizetype eq = pair.indexOf(u'=');
        if (eq < 0 || !isEncoded(pair.first(eq), false) || !isEncoded(pair.sliced(eq + 1), true)) {
            return false;
        }
    }
    return true;
}

Pairs readUrlEncodedForm(QStringView text, const QByteArray& charset) {
    std::optional<QStringDecoder> named;
    if (!charset.isEmpty()) {
        named.emplace(charset.constData());
    }
    auto decode = [&](QStringView part) {
        const QByteArray bytes = percentDecoded(part);
        if (named && named->isValid()) {
            named->resetState();
            return lineFeeds(named->decode(bytes));
        }
        return lineFeeds(QString::fromUtf8(bytes));
    };
    Pairs pairs;
    for (const QStringView pair : withoutFinalLineBreak(text).tokenize(u'&')) {
        if (pairs.size() == size_t{kMaxPairs}) {
            break;
        }
        const qsizetype eq = pair.indexOf(u'=');
        if (eq < 0) {
            continue;
        }
        pairs.push_back({decode(pair.first(eq)), decode(pair.sliced(eq + 1))});
    }
    return pairs;
}

}  // namespace pellumar::formreader
