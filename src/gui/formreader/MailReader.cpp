// GMime first: GLib's headers use names that Qt's keywords would turn into macros.
#include <gmime/gmime.h>

#include "formreader/MailReader.h"

#include "document/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// Reads the messages of a stream; false when the sink or the progress stopped the reading.
bool readStream(GMimeStream* stream, bool mbox, const FormTextTest& holdsFormText,
                const MailSink& sink, const std::function<bool(qint64)>& bytesRead) {
    Owned<GMimeParser> parser(g_mime_parser_new_with_stream(stream));
    g_mime_parser_set_format(parser.get(), mbox ? GMIME_FORMAT_MBOX : GMIME_FORMAT_MESSAGE);
    g_mime_parser_set_persist_stream(parser.get(), TRUE);
    g_mime_parser_set_respect_content_length(parser.get(), FALSE);
    while (!g_mime_parser_eos(parser.get())) {
        const gint64 before = g_mime_parser_tell(parser.get());
        Owned<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
        const gint64 after = g_mime_parser_tell(parser.get());
        if (!message) {
            if (after <= before) {
                break;  // nothing more can be read
            }
            MailMessage damaged;
            damaged.skip = MailSkip::Damaged;
            if (!sink(std::move(damaged))) {
                return false;
            }
            continue;
        }
        const gint64 start = mbox ? g_mime_parser_get_mbox_marker_offset(parser.get()) : 0;
        if (!sink(readMessage(message.get(), after - std::max<gint64>(start, 0), mbox,
                              holdsFormText))) {
            return false;
        }
        if (bytesRead && !bytesRead(after)) {
            return false;
        }
        if (!mbox || after <= before) {
            break;
        }
    }
    return true;
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
    // The duplicate shares the file's offset, which QFile's buffered peek has moved on.
    const int fd = ::dup(in.handle());
    if (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return FileError{FileError::Reason::ReadFailed,
                         QStringLiteral("Cannot read %1.").arg(fileaccess::displayName(file.path))};
    }
    Owned<GMimeStream> stream(g_mime_stream_fs_new(fd));  // owns the descriptor
    return readStream(stream.get(), mbox, holdsFormText, sink, bytesRead);
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
    readStream(stream.get(), mbox, holdsFormText, sink, {});
}

}  // namespace pellumar::formreader
