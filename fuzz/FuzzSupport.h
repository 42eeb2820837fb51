// Shared by the fuzz targets: a device over the input, and a full comparison of two tables.
#pragma once

#include <QBuffer>
#include <QByteArray>

#include <cstdio>
#include <cstdlib>

#include "core/table/Table.h"

namespace pellumar::fuzz {

// Stops the run with a message: libFuzzer keeps the input that got here.
[[noreturn]] inline void fault(const char* what) {
    std::fprintf(stderr, "fuzz fault: %s\n", what);
    std::abort();
}

// True when the two tables hold the same texts, styles, column attributes and row heights.
inline bool sameTable(const Table& a, const Table& b) {
    if (a.rowCount() != b.rowCount() || a.columnCount() != b.columnCount()) {
        return false;
    }
    for (int c = 0; c < a.columnCount(); ++c) {
        if (!(a.columnAttributes(c) == b.columnAttributes(c))) {
            return false;
        }
        for (int r = 0; r < a.rowCount(); ++r) {
            if (a.utf8(r, c) != b.utf8(r, c) || a.hasStyle(r, c) != b.hasStyle(r, c) ||
                !(a.style(r, c) == b.style(r, c))) {
                return false;
            }
        }
    }
    for (int r = 0; r < a.rowCount(); ++r) {
        if (a.rowHeight(r) != b.rowHeight(r)) {
            return false;
        }
    }
    return true;
}

}  // namespace pellumar::fuzz
