// Passes for writers: a table's filled cells row by row without looking at its empty ones (a very
// wide table whose records fill a few columns costs what those cells cost), and its row heights
// as runs.
#include "core/table/Table.h"

#include "core/table/TableColumn.h"

#include <algorithm>
#include <vector>

namespace pellumar {

using namespace table_storage;

void Table::forEachFilledRow(
    const std::function<void(int row, std::span<const std::pair<int, std::string_view>> cells)>&
        row) const {
    // For each chunk of physical rows, the columns that keep cells there, those that keep the
    // most first: the cell of row i of the chunk can only be filled in the columns that keep more
    // than i cells of it, a prefix of that list.
    struct Kept {
        uint32_t cells;
        int col;
    };
    std::vector<std::vector<Kept>> byChunk;
    for (size_t c = 0; c < cols_.size(); ++c) {
        const CellStore& store = cols_[c]->cells;
        if (store.chunkCount() > byChunk.size()) {
            byChunk.resize(store.chunkCount());
        }
        for (size_t k = 0; k < store.chunkCount(); ++k) {
            if (store.kept(k) > 0) {
                byChunk[k].push_back({store.kept(k), static_cast<int>(c)});
            }
        }
    }
    for (std::vector<Kept>& list : byChunk) {
        std::stable_sort(list.begin(), list.end(),
                         [](const Kept& a, const Kept& b) { return a.cells > b.cells; });
    }
    std::vector<std::pair<int, std::string_view>> cells;
    const int rows = rowCount();
    for (int r = 0; r < rows; ++r) {
        const uint32_t phys = physical(r);
        const size_t k = phys >> kChunkShift;
        const uint32_t i = phys & (kChunkCells - 1);
        if (k >= byChunk.size() || byChunk[k].empty() || byChunk[k].front().cells <= i) {
            if (!mapped_) {
                // No column keeps a cell of this chunk from here on: go to the next chunk.
                const int64_t next = int64_t(k + 1) << kChunkShift;
                r = k >= byChunk.size() ? rows - 1
                                        : static_cast<int>(std::min<int64_t>(next, rows) - 1);
            }
            continue;
        }
        cells.clear();
        for (const Kept& kept : byChunk[k]) {
            if (kept.cells <= i) {
                break;
            }
            const std::string_view text = cols_[static_cast<size_t>(kept.col)]->view(phys);
            if (!text.empty()) {
                cells.emplace_back(kept.col, text);
            }
        }
        if (cells.empty()) {
            continue;
        }
        if (!std::is_sorted(cells.begin(), cells.end(),
                            [](const auto& a, const auto& b) { return a.first < b.first; })) {
            std::sort(cells.begin(), cells.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
        }
        row(r, cells);
    }
}

void Table::forEachHeightRun(
    const std::function<void(int first, int count, int twips)>& run) const {
    if (rowHeights_.empty()) {
        return;
    }
    if (!mapped_) {
        forEachRun(rowHeights_, 0, rowCount() - 1, [&](int first, int count, int32_t delta) {
            run(first, count, kDefaultRowHeight + delta);
        });
        return;
    }
    int first = 0;
    int32_t delta = 0;
    for (int r = 0; r <= rowCount(); ++r) {
        const int32_t next = r < rowCount() ? rowHeights_.get(physical(r)) : 0;
        if (r > first && next == delta) {
            continue;
        }
        if (delta != 0) {
            run(first, r - first, kDefaultRowHeight + delta);
        }
        first = r;
        delta = next;
    }
}

}  // namespace pellumar
