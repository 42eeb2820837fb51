#include "grid/ClipText.h"

#include "grid/Table.h"

#include <algorithm>
#include <string_view>

namespace pellumar {

namespace {

bool needsQuotes(const QString& cell) {
    return cell.startsWith(u'"') || cell.contains(u'\t') || cell.contains(u'\n') ||
           cell.contains(u'\r');
}

void appendCell(QString& out, const QString& cell) {
    if (!needsQuotes(cell)) {
        out += cell;
        return;
    }
    out += u'"';
    for (QChar ch : cell) {
        if (ch == u'"') {
            out += u'"';
        }
        out += ch;
    }
    out += u'"';
}

// Writes a clip text into a QString sized once: most cells of a big table are short ASCII texts,
// copied straight from their stored bytes.
class ClipWriter {
public:
    explicit ClipWriter(qsizetype room) { out_.resize(room); }

    void put(char16_t ch) {
        reserve(1);
        out_.data()[pos_++] = QChar(ch);
    }
    void putCell(std::string_view utf8) {
        if (utf8.empty()) {
            return;
        }
        reserve(static_cast<qsizetype>(utf8.size()));
        if (utf8.front() != '"') {
            QChar* to = out_.data() + pos_;
            bool plain = true;
            for (const char ch : utf8) {
                const auto byte = static_cast<unsigned char>(ch);
                if (byte >= 0x80 || byte == '\t' || byte == '\n' || byte == '\r') {
                    plain = false;
                    break;
                }
                *to++ = QChar(char16_t(byte));
            }
            if (plain) {
                pos_ += static_cast<qsizetype>(utf8.size());
                return;
            }
        }
        QString cell;
        appendCell(cell, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
        reserve(cell.size());
        std::copy(cell.cbegin(), cell.cend(), out_.data() + pos_);
        pos_ += cell.size();
    }
    QString take() {
        out_.truncate(pos_);
        return std::move(out_);
    }

private:
    void reserve(qsizetype n) {
        if (pos_ + n > out_.size()) {
            out_.resize(std::max(out_.size() * 2, pos_ + n));
        }
    }

    QString out_;
    qsizetype pos_ = 0;
};

}  // namespace

QString joinClip(const Table& table, int row1, int col1, int row2, int col2) {
    const int top = std::max(std::min(row1, row2), 0);
    const int bottom = std::min(std::max(row1, row2), table.rowCount() - 1);
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table.columnCount() - 1);
    if (top > bottom || left > right) {
        return {};
    }
    // Room for every cell and separator: a UTF-8 text has at least as many bytes as UTF-16
    // units, so only quoted cells can need more.
    qsizetype room = 2;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            room += static_cast<qsizetype>(table.utf8(r, c).size()) + 1;
        }
    }
    ClipWriter out(room);
    for (int r = top; r <= bottom; ++r) {
        if (r > top) {
            out.put(u'\n');
        }
        for (int c = left; c <= right; ++c) {
            if (c > left) {
                out.put(u'\t');
            }
            out.putCell(table.utf8(r, c));
        }
    }
    // A last row made of one empty cell would read back as a trailing line break, which ends
    // a text rather than starting a row: write it as an empty quoted cell instead.
    if (bottom > top && left == right && table.isEmpty(bottom, left)) {
        out.put(u'"');
        out.put(u'"');
    }
    return out.take();
}

ClipRows splitClip(QStringView text) {
    ClipRows rows;
    if (text.endsWith(u"\r\n")) {
        text.chop(2);
    } else if (text.endsWith(u'\n') || text.endsWith(u'\r')) {
        text.chop(1);
    }
    QStringList row;
    QString cell;
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool atCellStart = true;
    while (i <= n) {
        if (atCellStart && i < n && text[i] == u'"') {
            // A quoted cell runs to the quote that is not doubled; without one the quote is text.
            qsizetype j = i + 1;
            QString quoted;
            bool closed = false;
            while (j < n) {
                if (text[j] == u'"') {
                    if (j + 1 < n && text[j + 1] == u'"') {
                        quoted += u'"';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                quoted += text[j];
                ++j;
            }
            const bool endsCell = closed && (j + 1 == n || text[j + 1] == u'\t' ||
                                             text[j + 1] == u'\n' || text[j + 1] == u'\r');
            if (endsCell) {
                cell = quoted;
                i = j + 1;
                atCellStart = false;
                continue;
            }
        }
        atCellStart = false;
        if (i == n) {
            row.push_back(cell);
            rows.push_back(row);
            break;
        }
        const QChar ch = text[i];
        if (ch == u'\t') {
            row.push_back(cell);
            cell.clear();
            atCellStart = true;
        } else if (ch == u'\n' || ch == u'\r') {
            if (ch == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++i;
            }
            row.push_back(cell);
            cell.clear();
            rows.push_back(row);
            row.clear();
            atCellStart = true;
        } else {
            cell += ch;
        }
        ++i;
    }
    return rows;
}

}  // namespace pellumar
