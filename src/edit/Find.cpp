#include "edit/Find.h"

#include "grid/Table.h"

#include <algorithm>

namespace pellumar {

namespace {

// Cells examined between two calls of a pass's tick.
constexpr int kTickCells = 1 << 16;

bool isAscii(std::string_view s) {
    unsigned char bits = 0;
    for (const char c : s) {
        bits |= static_cast<unsigned char>(c);
    }
    return bits < 0x80;
}

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// `upperNeedle` (ASCII upper case, not empty) anywhere in the ASCII text `s` taken in upper case.
bool containsUpper(std::string_view s, std::string_view upperNeedle) {
    const size_t n = upperNeedle.size();
    if (n > s.size()) {
        return false;
    }
    const char first = upperNeedle.front();
    for (size_t i = 0, last = s.size() - n; i <= last; ++i) {
        if (upperAscii(s[i]) != first) {
            continue;
        }
        size_t j = 1;
        while (j < n && upperAscii(s[i + j]) == upperNeedle[j]) {
            ++j;
        }
        if (j == n) {
            return true;
        }
    }
    return false;
}

}  // namespace

CellMatcher::CellMatcher(const QString& text, bool matchCase)
    : matchCase_(matchCase), needleAscii_(true) {
    if (matchCase_) {
        needle_ = text.toUtf8();
        return;
    }
    needleUpper_ = text.toUpper();
    needleAscii_ = std::all_of(needleUpper_.cbegin(), needleUpper_.cend(),
                               [](QChar c) { return c.unicode() < 0x80; });
    needle_ = needleAscii_ ? needleUpper_.toLatin1() : needleUpper_.toUtf8();
}

bool CellMatcher::matches(std::string_view cell) const {
    if (cell.empty()) {
        return false;
    }
    const std::string_view needle(needle_.constData(), static_cast<size_t>(needle_.size()));
    if (needle.empty()) {
        return true;
    }
    if (matchCase_) {
        return cell.find(needle) != std::string_view::npos;
    }
    if (isAscii(cell)) {
        // An ASCII text stays ASCII in upper case, so it cannot hold any other character.
        return needleAscii_ && containsUpper(cell, needle);
    }
    return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()))
        .toUpper()
        .contains(needleUpper_);
}

QString findEndMessage(const FindStep& step) {
    switch (step.outcome) {
        case FindStep::Outcome::Hit:
            return {};
        case FindStep::Outcome::NotFound:
            return QStringLiteral("Search text is not found.");
        case FindStep::Outcome::Searched:
            return QStringLiteral("The document has been searched.") + QStringLiteral("\r\n") +
                   QString::number(step.count) + QStringLiteral(" found.");
    }
    return {};
}

void SearchState::restart() {
    searchCol_ = 0;
    searchRow_ = 1;
    hasHit_ = false;
}

void SearchState::textChanged() {
    restart();
    lastFound_ = false;
}

FindStep SearchState::findNext(const Table& table, const FindOptions& options, int currentRow,
                               int currentCol, const std::function<void()>& tick) {
    const int rows = table.rowCount();
    const int cols = table.columnCount();

    // 1. Where the step starts.
    if (!options.fromBeginning) {
        // From the grid's current cell, never backwards.
        searchCol_ = std::max(searchCol_, currentCol);
        searchRow_ = std::max(searchRow_, currentRow);
    } else {
        // Consecutive hits go on where the last one left off; otherwise the pass starts again at
        // the first record of the first column, as it does when the current cell is the table's
        // last. A hit in that last cell leaves the position past the end instead, so the next
        // step reports the pass rather than counting its hits a second time.
        const bool atLastCell = currentCol == cols - 1 && currentRow == rows - 1;
        const bool pastEnd = searchCol_ >= cols - 1 && searchRow_ >= rows;
        if (!lastFound_ || (atLastCell && !pastEnd)) {
            searchCol_ = 0;
            searchRow_ = 1;
        }
    }
    searchCol_ = std::max(searchCol_, 0);
    searchRow_ = std::max(searchRow_, 1);

    // 2-5. The rest of the start column, then each following column from its first record.
    const CellMatcher matcher(options.text, options.matchCase);
    int untilTick = kTickCells;
    for (int c = searchCol_; c < cols; ++c) {
        for (int r = c == searchCol_ ? searchRow_ : 1; r < rows; ++r) {
            if (matcher.matches(table.utf8(r, c))) {
                searchRow_ = r + 1;
                searchCol_ = c;
                lastFound_ = true;
                hasHit_ = true;
                ++foundCount_;
                return {FindStep::Outcome::Hit, r, c, foundCount_};
            }
            lastFound_ = false;
            if (--untilTick == 0) {
                untilTick = kTickCells;
                if (tick) {
                    tick();
                }
            }
        }
    }

    // 6. The end of the table: the position stays where it was.
    lastFound_ = false;
    if (foundCount_ < 1) {
        return {FindStep::Outcome::NotFound, -1, -1, 0};
    }
    const FindStep step{FindStep::Outcome::Searched, -1, -1, foundCount_};
    foundCount_ = 0;
    return step;
}

}  // namespace pellumar
