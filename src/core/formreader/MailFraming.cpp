#include "core/formreader/MailFraming.h"

#include <cstring>
#include <utility>

namespace pellumar::formreader {

MailFramer::MailFramer(bool mbox, Found found) : mbox_(mbox), found_(std::move(found)) {
    if (!mbox_) {
        open_ = true;
    }
}

bool MailFramer::flush(qint64 end) {
    if (open_ && !stopped_) {
        current_.end = std::max(end, current_.start);
        stopped_ = !found_(current_);
    }
    return !stopped_;
}

// A whole line was read: from `start` to `next` (where the next line begins).
void MailFramer::line(qint64 start, qint64 next) {
    if (mbox_ && headSize_ >= 5 && std::memcmp(head_, "From ", 5) == 0) {
        flush(start);
        current_ = MailRange{next, next, 0, 0};
        open_ = true;
    } else if (headSize_ >= 2 && head_[0] == '-' && head_[1] == '-') {
        ++current_.boundaryLines;
    } else if (colon_) {
        ++current_.headerLines;
    }
}

bool MailFramer::feed(const char* data, qint64 size) {
    qint64 i = 0;
    while (i < size && !stopped_) {
        // The line's first bytes, and whether it starts with a header's name and its colon.
        while (i < size && data[i] != '\n' && (name_ || headSize_ < 8)) {
            const char c = data[i];
            if (headSize_ < 8) {
                head_[headSize_++] = c;
            }
            if (name_) {
                if (c == ':') {
                    colon_ = headSize_ > 1;
                    name_ = false;
                } else if (c <= ' ' || c >= 127) {
                    name_ = false;
                }
            }
            ++i;
        }
        const void* lf = std::memchr(data + i, '\n', static_cast<size_t>(size - i));
        if (!lf) {
            break;  // the line goes on in the next bytes
        }
        const qint64 at = static_cast<const char*>(lf) - data;
        const qint64 next = offset_ + at + 1;
        line(lineStart_, next);
        lineStart_ = next;
        headSize_ = 0;
        name_ = true;
        colon_ = false;
        i = at + 1;
    }
    offset_ += size;
    return !stopped_;
}

bool MailFramer::finish() {
    if (!stopped_ && offset_ > lineStart_) {
        line(lineStart_, offset_);
    }
    return flush(offset_);
}

}  // namespace pellumar::formreader
