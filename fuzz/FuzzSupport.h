// Shared by the fuzz targets: a device over the input, and a full comparison of two tables.
#pragma once

#include <QBuffer>
#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/table/Table.h"

namespace pellumar::fuzz {

// Stops the run with a message: libFuzzer keeps the input that got here.
[[noreturn]] inline void fault(const char* what) {
    std::fprintf(stderr, "fuzz fault: %s\n", what);
    std::abort();
}

// True when the two tables hold the same texts, styles, column attributes and row heights.
// What a table holds, as its filled cells, style runs and height runs: it costs what the table's
// content costs, however many empty rows and columns it has.
struct Content {
    std::vector<std::tuple<int, int, std::string>> cells;
    std::vector<std::tuple<int, int, int, CellStyle>> styles;
    std::vector<std::tuple<int, int, int>> heights;
    bool operator==(const Content&) const = default;
};

inline Content contentOf(const Table& t) {
    Content content;
    t.forEachFilledRow([&](int row, std::span<const std::pair<int, std::string_view>> cells) {
        for (const auto& [col, text] : cells) {
            content.cells.emplace_back(row, col, std::string(text));
        }
    });
    t.forEachStyleRun([&](int col, int first, int count, const CellStyle& style) {
        content.styles.emplace_back(col, first, count, style);
    });
    t.forEachHeightRun([&](int first, int count, int twips) {
        content.heights.emplace_back(first, count, twips);
    });
    return content;
}

inline bool sameTable(const Table& a, const Table& b) {
    if (a.rowCount() != b.rowCount() || a.columnCount() != b.columnCount()) {
        return false;
    }
    for (int c = 0; c < a.columnCount(); ++c) {
        if (!(a.columnAttributes(c) == b.columnAttributes(c))) {
            return false;
        }
    }
    return contentOf(a) == contentOf(b);
}

}  // namespace pellumar::fuzz
