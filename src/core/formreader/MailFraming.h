// Where the messages of a mailbox (mbox) or a message file lie, found in one pass over the bytes
// as they arrive, before any message is parsed: each message's byte range, and a count of the
// lines that make objects when a MIME parser reads them (header lines and boundary lines), so
// that a message whose parsing would take memory far beyond its size is never parsed.
#pragma once

#include <QtGlobal>

#include <functional>

namespace pellumar::formreader {

// The most header-like lines and boundary-like lines a message may have to be parsed.
constexpr int kMaxHeaderLines = 50000;
constexpr int kMaxBoundaryLines = 10000;

struct MailRange {
    qint64 start = 0;       // the message's first byte (after an mbox "From " line)
    qint64 end = 0;         // one past its last byte
    int headerLines = 0;    // lines that start "Name:" (a header's name and its colon)
    int boundaryLines = 0;  // lines that start "--"
    bool tooComplex() const {
        return headerLines > kMaxHeaderLines || boundaryLines > kMaxBoundaryLines;
    }
};

class MailFramer {
public:
    // Hears each message found; returning false stops the framing.
    using Found = std::function<bool(const MailRange& range)>;

    // `mbox`: messages begin after each line that starts "From " (bytes before the first one
    // belong to no message); else the whole input is one message.
    MailFramer(bool mbox, Found found);

    // The next bytes of the input; false once `found` stopped the framing.
    bool feed(const char* data, qint64 size);
    // The end of the input: the last message is found.
    bool finish();

private:
    void line(qint64 start, qint64 next);
    bool flush(qint64 end);

    bool mbox_;
    Found found_;
    bool stopped_ = false;
    qint64 offset_ = 0;     // the bytes fed so far
    qint64 lineStart_ = 0;  // where the line being read began
    char head_[8] = {};     // its first bytes, as far as they were read
    int headSize_ = 0;
    bool name_ = true;    // its bytes so far may be a header's name
    bool colon_ = false;  // a colon ended a header's name
    MailRange current_;
    bool open_ = false;  // a message is being framed
};

}  // namespace pellumar::formreader
