// The table most benchmarks share: integers, decimals, dates and short words, so that sorting,
// finding, formatting and printing meet the kinds of cells an address list or an inventory has.
#pragma once

#include <cstdio>
#include <random>

#include "core/table/Table.h"

namespace pellumar::bench {

// `records` records of `cols` columns under titles "Title 1", "Title 2", ...: the first column
// integers, the second decimals, the third dates, the rest words; the same cells for the same
// arguments on every run.
inline Table mixedTable(int records, int cols) {
    static const char* kWords[] = {"alpha", "Bravo", "charlie", "delta",  "Echo", "foxtrot",
                                   "golf",  "hotel", "India",   "juliet", "kilo", "lima"};
    std::mt19937 rng(42);
    Table table(records + 1, cols);
    char buf[64];
    for (int c = 0; c < cols; ++c) {
        const int n = std::snprintf(buf, sizeof buf, "Title %d", c + 1);
        table.setUtf8(0, c, {buf, static_cast<size_t>(n)});
    }
    for (int r = 1; r <= records; ++r) {
        const unsigned v = rng();
        int n = std::snprintf(buf, sizeof buf, "%u", v % 1000000);
        table.setUtf8(r, 0, {buf, static_cast<size_t>(n)});
        n = std::snprintf(buf, sizeof buf, "%u.%02u", v % 10000, v % 100);
        table.setUtf8(r, 1, {buf, static_cast<size_t>(n)});
        n = std::snprintf(buf, sizeof buf, "%02u/%02u/%u", v % 12 + 1, v % 28 + 1, 1990 + v % 35);
        table.setUtf8(r, 2, {buf, static_cast<size_t>(n)});
        for (int c = 3; c < cols; ++c) {
            table.setUtf8(r, c, kWords[(v >> c) % 12]);
        }
    }
    return table;
}

}  // namespace pellumar::bench
