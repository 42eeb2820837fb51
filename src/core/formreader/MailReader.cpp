// GMime first: GLib's headers use names that Qt's keywords would turn into macros.
#include <gmime/gmime.h>

#include "core/formreader/MailReader.h"

#include "core/document/FileAccess.h"
#include "core/formreader/MailFraming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <mutex>

namespace pellumar::formreader {

namespace {

// Attached messages inside attached messages inside ...: deeper ones are not looked into.
constexpr int kMaxDepth = 32;

void initGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using Owned = std::unique_ptr<T, Unref>;

QString fromUtf8(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

// The first mailbox's address of a list, looking into groups.
QString firstAddress(InternetAddressList* list, int depth = 0) {
    if (!list || depth > 4) {
        return {};
    }
    const int n = internet_address_list_length(list);
    for (int i = 0; i < n; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address)) {
            return fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
        }
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            const QString inner = firstAddress(
                internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), depth + 1);
            if (!inner.isEmpty()) {
                return inner;
            }
        }
    }
    return {};
}

// A header's text with its line breaks (of a folded header left as they were) as spaces.
QString oneLine(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text.trimmed();
}

// The date, sender, subject and Message-ID of a message.
void readHeaders(GMimeMessage* message, MailMessage& out) {
    GMimeObject* object = GMIME_OBJECT(message);
    if (const char* date = g_mime_object_get_header(object, "Date")) {
        if (GDateTime* when = g_mime_utils_header_decode_date(date)) {
            out.date = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(when), Qt::UTC);
            g_date_time_unref(when);
        }
    }
    out.from = firstAddress(g_mime_message_get_from(message));
    if (out.from.isEmpty()) {
        out.from = firstAddress(g_mime_message_get_sender(message));
    }
    out.subject = oneLine(fromUtf8(g_mime_message_get_subject(message)));
    out.messageId = oneLine(fromUtf8(g_mime_message_get_message_id(message)));
}

// The search for the form text through a message's parts.
class FormSearch {
public:
    explicit FormSearch(const FormTextTest& holdsFormText) : holdsFormText_(holdsFormText) {}

    // True once a part with form text was found: `owner` is the message it belongs to.
    bool search(GMimeObject* object, GMimeMessage* owner, int depth) {
        if (!object || depth > kMaxDepth) {
            return false;
        }
        if (GMIME_IS_MULTIPART(object)) {
            GMimeMultipart* multipart = GMIME_MULTIPART(object);
            const int n = g_mime_multipart_get_count(multipart);
            for (int i = 0; i < n; ++i) {
                if (search(g_mime_multipart_get_part(multipart, i), owner, depth + 1)) {
                    return true;
                }
            }
            return false;
        }
        if (GMIME_IS_MESSAGE_PART(object)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            return inner && search(g_mime_message_get_mime_part(inner), inner, depth + 1);
        }
        if (!GMIME_IS_TEXT_PART(object) ||
            !g_mime_content_type_is_type(g_mime_object_get_content_type(object), "text", "plain")) {
            return false;
        }
        GMimeTextPart* part = GMIME_TEXT_PART(object);
        GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(part));
        GMimeStream* stream = content ? g_mime_data_wrapper_get_stream(content) : nullptr;
        if (!stream) {
            return false;
        }
        if (g_mime_stream_length(stream) > kMaxMailBytes) {
            partTooLarge_ = true;
            return false;
        }
        char* utf8 = g_mime_text_part_get_text(part);
        QString text = fromUtf8(utf8);
        g_free(utf8);
        if (!holdsFormText_(text)) {
            return false;
        }
        text_ = std::move(text);
        charset_ = QByteArray(g_mime_text_part_get_charset(part));
        owner_ = owner;
        return true;
    }

    bool partTooLarge() const { return partTooLarge_; }
    GMimeMessage* owner() const { return owner_; }
    QString takeText() { return std::move(text_); }
    QByteArray charset() const { return charset_; }

private:
    const FormTextTest& holdsFormText_;
    bool partTooLarge_ = false;
    GMimeMessage* owner_ = nullptr;
    QString text_;
    QByteArray charset_;
};

// Undoes a mailbox's escaping of lines that start with "From " (after any ">"): each such line
// loses one ">".
QString unescapedFromLines(QString text) {
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype i = at;
        while (i < text.size() && text[i] == u'>') {
            ++i;
        }
        if (i > at && QStringView(text).sliced(i).startsWith(u"From ")) {
            text.remove(at, 1);
        }
        const qsizetype lf = text.indexOf(u'\n', at);
        at = lf < 0 ? text.size() : lf + 1;
    }
    return text;
}

MailMessage readMessage(GMimeMessage* message, qint64 bytes, bool mbox,
                        const FormTextTest& holdsFormText) {
    MailMessage out;
    readHeaders(message, out);
    if (bytes > kMaxMailBytes) {
        out.skip = MailSkip::TooLarge;
        return out;
    }
    FormSearch search(holdsFormText);
    if (!search.search(g_mime_message_get_mime_part(message), message, 0)) {
        out.skip = search.partTooLarge() ? MailSkip::TooLarge : MailSkip::NoFormText;
        return out;
    }
    if (search.owner() != message) {
        readHeaders(search.owner(), out);  // a forwarded submission stands for itself
    }
    out.text = mbox ? unescapedFromLines(search.takeText()) : search.takeText();
    out.charset = search.charset();
    return out;
}

// Only the headers of a message that is not parsed whole are read, from its first bytes.
constexpr qint64 kHeadBytes = qint64{64} << 10;

// Parses byte ranges of a source as messages, with one parser for them all.
class RangeParser {
public:
    explicit RangeParser(GMimeStream* source) : source_(source), parser_(g_mime_parser_new()) {}

    GMimeMessage* parse(qint64 start, qint64 end) {
        Owned<GMimeStream> part(g_mime_stream_substream(source_, start, end));
        g_mime_parser_init_with_stream(parser_.get(), part.get());
        g_mime_parser_set_format(parser_.get(), GMIME_FORMAT_MESSAGE);
        g_mime_parser_set_persist_stream(parser_.get(), TRUE);
        g_mime_parser_set_respect_content_length(parser_.get(), FALSE);
        return g_mime_parser_construct_message(parser_.get(), nullptr);
    }

private:
    GMimeStream* source_;
    Owned<GMimeParser> parser_;
};

// Reads one framed message of the source. A message over the size limit, or with more header or
// boundary lines than a parse should make objects for, gives only its headers.
MailMessage readRange(RangeParser& parser, const MailRange& range, bool mbox,
                      const FormTextTest& holdsFormText) {
    const qint64 bytes = range.end - range.start;
    const bool whole = bytes <= kMaxMailBytes && !range.tooComplex();
    Owned<GMimeMessage> message(
        parser.parse(range.start, whole ? range.end : range.start + kHeadBytes));
    MailMessage out;
    if (!message) {
        out.skip = MailSkip::Damaged;
    } else if (!whole) {
        readHeaders(message.get(), out);
        out.skip = bytes > kMaxMailBytes ? MailSkip::TooLarge : MailSkip::Damaged;
    } else {
        out = readMessage(message.get(), bytes, mbox, holdsFormText);
    }
    return out;
}

// Frames the messages of `bytes` (the whole input, or the next chunks: `next` gives them, empty
// at the end) and reads each with GMime from `source`; false when the sink or `bytesRead`
// stopped the reading.
bool readFramed(GMimeStream* source, bool mbox, const std::function<QByteArray()>& next,
                const FormTextTest& holdsFormText, const MailSink& sink,
                const std::function<bool(qint64)>& bytesRead) {
    RangeParser parser(source);
    MailFramer framer(mbox, [&](const MailRange& range) {
        if (range.end == range.start) {
            return true;  // an mbox "From " line with nothing after it
        }
        return sink(readRange(parser, range, mbox, holdsFormText)) &&
               (!bytesRead || bytesRead(range.end));
    });
    for (QByteArray chunk = next(); !chunk.isEmpty(); chunk = next()) {
        if (!framer.feed(chunk.constData(), chunk.size())) {
            return false;
        }
    }
    return framer.finish();
}

// True when the bytes start like a message: a header line "Name: ..." (an mbox "From " line is
// looked at by the caller).
bool looksLikeMessage(const QByteArray& start) {
    qsizetype i = 0;
    while (i < start.size() && start[i] > ' ' && start[i] < 127 && start[i] != ':') {
        ++i;
    }
    return i > 0 && i < start.size() && start[i] == ':';
}

bool isMbox(const QByteArray& start) {
    return start.startsWith("From ");
}

void addFolder(const QString& folder, std::vector<MailFile>& files) {
    const QDir dir(folder);
    QStringList paths;
    if (dir.exists(QStringLiteral("cur")) || dir.exists(QStringLiteral("new"))) {
        for (const QString& sub : {QStringLiteral("cur"), QStringLiteral("new")}) {
            const QDir messages(dir.filePath(sub));
            for (const QString& name : messages.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
                paths << messages.filePath(name);
            }
        }
    } else {
        for (const QString& name : dir.entryList({QStringLiteral("*.eml"), QStringLiteral("*.EML")},
                                                 QDir::Files, QDir::Name)) {
            paths << dir.filePath(name);
        }
    }
    for (const QString& path : paths) {
        files.push_back({path, false, QFileInfo(path).size()});
    }
}

}  // namespace

Result<std::vector<MailFile>> listMailFiles(const QStringList& paths) {
    std::vector<MailFile> files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            if (!info.isReadable() || !QDir(path).isReadable()) {
                return FileError{FileError::Reason::NoAccess,
                                 QStringLiteral("Cannot read the folder %1.")
                                     .arg(fileaccess::displayName(path))};
            }
            addFolder(path, files);
            continue;
        }
        QFile file(path);
        if (auto error = fileaccess::openForReading(file)) {
            return *error;
        }
        files.push_back({path, isMbox(file.peek(5)), file.size()});
    }
    return files;
}

bool looksLikeMail(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        std::vector<MailFile> files;
        addFolder(path, files);
        return !files.empty();
    }
    QFile file(path);
    if (fileaccess::openForReading(file)) {
        return false;
    }
    const QByteArray start = file.read(16 << 10);
    if (isMbox(start)) {
        return true;
    }
    if (!looksLikeMessage(start)) {
        return false;
    }
    // The header lines before the first empty line.
    bool from = false;
    bool date = false;
    for (const QByteArray& line : start.split('\n')) {
        const QByteArray l = line.trimmed().toLower();
        if (l.isEmpty()) {
            break;
        }
        if (l.startsWith("message-id:") || l.startsWith("mime-version:") ||
            l.startsWith("received:") || l.startsWith("return-path:")) {
            return true;
        }
        from = from || l.startsWith("from:");
        date = date || l.startsWith("date:");
    }
    return from && date;
}

Result<bool> readMailFile(const MailFile& file, const FormTextTest& holdsFormText,
                          const MailSink& sink, const std::function<bool(qint64)>& bytesRead) {
    initGMime();
    QFile in(file.path);
    if (auto error = fileaccess::openForReading(in)) {
        return *error;
    }
    const QByteArray start = in.peek(1024);
    const bool mbox = isMbox(start);
    if (!mbox && !looksLikeMessage(start)) {
        return true;  // not mail: no messages
    }
    // GMime reads the messages through a descriptor of its own (the framing reads `in`).
    const int fd = ::open(QFile::encodeName(file.path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FileError{FileError::Reason::ReadFailed,
                         QStringLiteral("Cannot read %1.").arg(fileaccess::displayName(file.path))};
    }
    Owned<GMimeStream> stream(g_mime_stream_fs_new(fd));  // owns the descriptor
    bool failed = false;
    const bool done = readFramed(
        stream.get(), mbox,
        [&] {
            QByteArray chunk = in.read(qint64{1} << 20);
            failed = failed || (chunk.isEmpty() && !in.atEnd());
            return chunk;
        },
        holdsFormText, sink, bytesRead);
    if (failed) {
        return FileError{FileError::Reason::ReadFailed,
                         QStringLiteral("Cannot read %1.").arg(fileaccess::displayName(file.path))};
    }
    return done;
}

void readMailBytes(const QByteArray& bytes, const FormTextTest& holdsFormText,
                   const MailSink& sink) {
    initGMime();
    const bool mbox = isMbox(bytes);
    if (!mbox && !looksLikeMessage(bytes.left(1024))) {
        return;
    }
    Owned<GMimeStream> stream(
        g_mime_stream_mem_new_with_buffer(bytes.constData(), static_cast<size_t>(bytes.size())));
    bool given = false;
    readFramed(stream.get(), mbox,
               [&] {
                   const bool first = !given;
                   given = true;
                   return first ? bytes : QByteArray();
               },
               holdsFormText, sink, {});
}

}  // namespace pellumar::formreader
