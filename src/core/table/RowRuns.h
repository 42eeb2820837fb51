// Runs of consecutive rows in an ascending list of rows, as the model removes and puts back a
// scattered set of records.
#pragma once

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

namespace pellumar {

// Runs of consecutive rows (first row, count) of an ascending list.
inline std::vector<std::pair<int, int>> rowRuns(std::span<const int> rows) {
    std::vector<std::pair<int, int>> runs;
    for (const int r : rows) {
        if (!runs.empty() && runs.back().first + runs.back().second == r) {
            ++runs.back().second;
        } else {
            runs.emplace_back(r, 1);
        }
    }
    return runs;
}

// A few runs of rows come and go one by one, so that views keep their place; many scattered
// rows are one reset of the model, which costs the views far less than many changes.
inline constexpr size_t kMaxRowRuns = 32;

}  // namespace pellumar
