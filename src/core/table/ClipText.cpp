#include "core/table/ClipText.h"

#include "core/table/Table.h"

#include <algorithm>
#include <limits>
#include <string>

namespace pellumar {

namespace {

// How often a long operation tells its progress: every so many rows.
constexpr int kProgressRows = 4096;

bool isLineBreak(char ch) {
    return ch == '\n' || ch == '\r';
}

bool needsQuotes(std::string_view cell) {
    if (cell.empty()) {
        return false;
    }
    return cell.front() == '"' || std::any_of(cell.begin(), cell.end(), [](char ch) {
               return ch == '\t' || isLineBreak(ch);
           });
}

void appendCell(std::string& out, std::string_view cell) {
    if (!needsQuotes(cell)) {
        out.append(cell);
        return;
    }
    out += '"';
    for (char ch : cell) {
        if (ch == '"') {
            out += '"';
        }
        out += ch;
    }
    out += '"';
}

void appendRow(std::string& out, const Table& table, int row, int left, int right) {
    for (int c = left; c <= right; ++c) {
        if (c > left) {
            out += '\t';
        }
        appendCell(out, table.utf8(row, c));
    }
}

// Makes room for the text of `rows` rows, judged by the first few of them, so that a long text
// is not copied over and over as it grows.
void reserveFor(std::string& out, const Table& table, int top, int rows, int left, int right) {
    constexpr int kSample = 256;
    const int sample = std::min(rows, kSample);
    std::string probe;
    for (int r = top; r < top + sample; ++r) {
        appendRow(probe, table, r, left, right);
        probe += '\n';
    }
    out.reserve(probe.size() / static_cast<size_t>(std::max(sample, 1)) *
                static_cast<size_t>(rows) * 9 / 8);
}

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QString joinClip(const Table& table, int row1, int col1, int row2, int col2,
                 const ClipProgress& progress) {
    const int top = std::max(std::min(row1, row2), 0);
    const int bottom = std::min(std::max(row1, row2), table.rowCount() - 1);
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table.columnCount() - 1);
    if (top > bottom || left > right) {
        return {};
    }
    std::string out;
    reserveFor(out, table, top, bottom - top + 1, left, right);
    for (int r = top; r <= bottom; ++r) {
        if (r > top) {
            out += '\n';
        }
        appendRow(out, table, r, left, right);
        if (progress && (r - top) % kProgressRows == kProgressRows - 1) {
            progress(r - top, bottom - top + 1);
        }
    }
    // A last row made of one empty cell would read back as a trailing line break, which ends
    // a text rather than starting a row: write it as an empty quoted cell instead.
    if (bottom > top && left == right && table.isEmpty(bottom, left)) {
        out += "\"\"";
    }
    return fromUtf8(out);
}

QString joinClipRows(const Table& table, std::span<const int> rows, int col1, int col2,
                     const ClipProgress& progress) {
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), table.columnCount() - 1);
    if (left > right) {
        return {};
    }
    std::string out;
    int written = 0;
    int last = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        if (r < 0 || r >= table.rowCount()) {
            continue;
        }
        if (written > 0) {
            out += '\n';
        }
        appendRow(out, table, r, left, right);
        ++written;
        last = r;
        if (progress && i % kProgressRows == kProgressRows - 1) {
            progress(static_cast<qint64>(i), static_cast<qint64>(rows.size()));
        }
    }
    // As for a block: a last row of one empty cell must not read back as a trailing line break.
    if (written > 1 && left == right && table.isEmpty(last, left)) {
        out += "\"\"";
    }
    return fromUtf8(out);
}

int readClip(std::string_view s, int maxRows, int maxCols,
             const std::function<void(int row, int col, std::string_view text)>& cell,
             const ClipProgress& progress) {
    if (maxRows <= 0) {
        return 0;
    }
    if (s.ends_with("\r\n")) {
        s.remove_suffix(2);
    } else if (!s.empty() && isLineBreak(s.back())) {
        s.remove_suffix(1);
    }
    const size_t n = s.size();
    std::string quoted;
    int row = 0;
    int col = 0;
    size_t i = 0;
    for (;;) {
        std::string_view text;
        bool taken = false;
        if (i < n && s[i] == '"') {
            // A quoted cell runs to the quote that is not doubled and must end the cell there;
            // otherwise its opening quote is just text.
            quoted.clear();
            size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                const size_t q = s.find('"', j);
                if (q == std::string_view::npos) {
                    break;
                }
                quoted.append(s.substr(j, q - j));
                if (q + 1 < n && s[q + 1] == '"') {
                    quoted += '"';
                    j = q + 2;
                    continue;
                }
                j = q;
                closed = true;
                break;
            }
            if (closed && (j + 1 == n || s[j + 1] == '\t' || isLineBreak(s[j + 1]))) {
                text = quoted;
                taken = true;
                i = j + 1;
            }
        }
        if (!taken) {
            size_t end = i;
            while (end < n && s[end] != '\t' && !isLineBreak(s[end])) {
                ++end;
            }
            text = s.substr(i, end - i);
            i = end;
        }
        if (col < maxCols) {
            cell(row, col, text);
        }
        if (i >= n) {
            return row + 1;
        }
        if (s[i] == '\t') {
            ++col;
            ++i;
            continue;
        }
        if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n') {
            ++i;
        }
        ++i;
        ++row;
        col = 0;
        if (row >= maxRows) {
            return row;
        }
        if (progress && row % kProgressRows == 0) {
            progress(static_cast<qint64>(i), static_cast<qint64>(n));
        }
    }
}

ClipRows splitClip(QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    ClipRows rows;
    readClip(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
             std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
             [&rows](int row, int, std::string_view cell) {
                 if (static_cast<size_t>(row) >= rows.size()) {
                     rows.emplace_back();
                 }
                 rows.back().push_back(
                     QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size())));
             });
    return rows;
}

}  // namespace pellumar
