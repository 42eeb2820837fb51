// Find: a text searched for in the stored texts of a table's records (never their formatted
// display), column by column and top to bottom within a column, one hit per step, with the hits of
// a pass counted and the end of the pass reported.
//
// The search position and the count live in a SearchState that outlives the Find window: closing
// the window keeps the count of the pass and whether the last examined cell was a hit.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <string_view>

namespace pellumar {

class Table;

// Whether a cell's stored text holds the searched text: anywhere in it, upper case against upper
// case unless the case must match. An empty cell never matches; an empty search text matches every
// other cell.
class CellMatcher {
public:
    CellMatcher(const QString& text, bool matchCase);
    bool matches(std::string_view cellUtf8) const;

private:
    bool matchCase_;
    QByteArray needle_;    // UTF-8; upper case (ASCII) when the case does not matter
    bool needleAscii_;     // the upper-case search text is ASCII
    QString needleUpper_;  // the upper-case search text, for cells beyond ASCII
};

struct FindOptions {
    QString text;
    bool matchCase = false;
    bool fromBeginning = true;  // "Starting from the beginning"
};

// What a Find Next step came to.
struct FindStep {
    enum class Outcome {
        Hit,       // (row, col) is the next hit
        NotFound,  // the end of the table, with no hit in the pass
        Searched,  // the end of the pass: `count` hits
    };
    Outcome outcome = Outcome::NotFound;
    int row = -1;
    int col = -1;
    int64_t count = 0;
};

// The message that ends a pass: "Search text is not found." or "The document has been searched."
// with the count on a line of its own; empty for a hit.
QString findEndMessage(const FindStep& step);

class SearchState {
public:
    // The column being searched (that of the last hit) and the next row to examine in it.
    int SearchCol() const { return searchCol_; }
    int SearchRow() const { return searchRow_; }
    // The last examined cell was a hit.
    bool LastFound() const { return lastFound_; }
    // Hits found in the current pass (no upper limit).
    int64_t FoundCount() const { return foundCount_; }
    // A hit was found since the Find window opened or the search text last changed.
    bool hasHit() const { return hasHit_; }

    // The Find window opens: the search position is the first record of the first column.
    void restart();
    // The search text changed: the position starts again; the count of the pass goes on.
    void textChanged();

    // One Find Next step over `table`, whose row 0 is the title row, from the grid's current cell
    // (`currentRow`, `currentCol`). `tick` (when given) is called every few thousand cells, so that
    // a long pass can keep the window painted.
    FindStep findNext(const Table& table, const FindOptions& options, int currentRow,
                      int currentCol, const std::function<void()>& tick = {});

private:
    int searchCol_ = 0;
    int searchRow_ = 1;
    bool lastFound_ = false;
    int64_t foundCount_ = 0;
    bool hasHit_ = false;
};

}  // namespace pellumar
