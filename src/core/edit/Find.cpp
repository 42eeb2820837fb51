#include "core/edit/Find.h"

#include "core/table/Table.h"

#include <algorithm>
#include <array>

namespace pellumar {

namespace {

// Cells examined between two calls of a pass's tick, and rows read at a time.
constexpr int kTickCells = 1 << 16;
constexpr int kBatchRows = 512;

// Upper case of an ASCII letter; any other byte as it is.
inline unsigned char upperAscii(unsigned char c) {
    return static_cast<unsigned char>(c - (static_cast<unsigned>(c - 'a') < 26u ? 32 : 0));
}

// Whether `needle` (not empty) is anywhere in `s`, byte for byte, or, with `Fold`, with the ASCII
// letters of `s` taken in upper case (`needle` being ASCII upper case). `beyondAscii` tells
// whether `s` holds any byte beyond ASCII; it is only known once no match was found.
template <bool Fold>
bool containsBytes(std::string_view s, std::string_view needle, bool* beyondAscii) {
    const auto* text = reinterpret_cast<const unsigned char*>(s.data());
    const auto* pattern = reinterpret_cast<const unsigned char*>(needle.data());
    const size_t m = s.size();
    const size_t n = needle.size();
    const size_t lastStart = m >= n ? m - n : 0;
    const bool fits = m >= n;
    unsigned char bits = 0;
    for (size_t i = 0; i < m; ++i) {
        const unsigned char c = Fold ? upperAscii(text[i]) : text[i];
        bits |= text[i];
        if (c != pattern[0] || !fits || i > lastStart) {
            continue;
        }
        size_t j = 1;
        while (j < n && (Fold ? upperAscii(text[i + j]) : text[i + j]) == pattern[j]) {
            ++j;
        }
        if (j == n) {
            return true;
        }
    }
    *beyondAscii = bits >= 0x80;
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
    bool beyondAscii = false;
    if (matchCase_) {
        return containsBytes<false>(cell, needle, &beyondAscii);
    }
    // ASCII letters keep their upper case whatever surrounds them, so a match among a text's
    // ASCII characters is a match of the whole text in upper case. Other characters may turn into
    // ASCII ones in upper case (the dotless i into I): a text holding any is compared in full.
    if (needleAscii_) {
        if (containsBytes<true>(cell, needle, &beyondAscii)) {
            return true;
        }
        if (!beyondAscii) {
            return false;
        }
    } else if (std::all_of(cell.begin(), cell.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return false;  // an ASCII text stays ASCII in upper case
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

    // 2-5. The rest of the start column, then each following column from its first record; the
    // texts are read a batch of rows at a time.
    const CellMatcher matcher(options.text, options.matchCase);
    std::array<std::string_view, kBatchRows> cells;
    int untilTick = kTickCells;
    for (int c = searchCol_; c < cols; ++c) {
        for (int first = c == searchCol_ ? searchRow_ : 1; first < rows; first += kBatchRows) {
            const int count = std::min(kBatchRows, rows - first);
            table.columnUtf8(c, first, {cells.data(), static_cast<size_t>(count)});
            for (int i = 0; i < count; ++i) {
                if (matcher.matches(cells[static_cast<size_t>(i)])) {
                    searchRow_ = first + i + 1;
                    searchCol_ = c;
                    lastFound_ = true;
                    hasHit_ = true;
                    ++foundCount_;
                    return {FindStep::Outcome::Hit, first + i, c, foundCount_};
                }
            }
            lastFound_ = false;
            untilTick -= count;
            if (untilTick <= 0) {
                untilTick += kTickCells;
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
