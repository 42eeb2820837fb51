// Records and columns set aside for the edit history: out of the table's order but kept in its
// storage, until they are put back or let go.
#include "core/table/Table.h"

#include "core/table/TableColumn.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace pellumar {

using namespace table_storage;

std::vector<uint32_t> Table::detachRows(std::span<const int> rows) {
    std::vector<uint32_t> ids;
    if (rows.empty()) {
        return ids;
    }
    mapRows();
    ids.reserve(rows.size());
    size_t next = 0;
    size_t kept = 0;
    for (size_t r = 0; r < rowMap_.size(); ++r) {
        if (next < rows.size() && rows[next] == static_cast<int>(r)) {
            ids.push_back(rowMap_[r]);
            ++next;
            continue;
        }
        rowMap_[kept++] = rowMap_[r];
    }
    rowMap_.resize(kept);
    return ids;
}

void Table::attachRows(std::span<const int> rows, std::span<const uint32_t> ids) {
    if (rows.empty() || rows.size() != ids.size()) {
        return;
    }
    mapRows();
    const size_t total = rowMap_.size() + ids.size();
    std::vector<uint32_t> merged(total);
    size_t next = 0;
    size_t old = 0;
    for (size_t r = 0; r < total; ++r) {
        if (next < rows.size() && rows[next] == static_cast<int>(r)) {
            merged[r] = ids[next++];
        } else {
            merged[r] = rowMap_[old++];
        }
    }
    rowMap_.swap(merged);
}

void Table::releaseRows(std::span<const uint32_t> ids) {
    releasePhysicalRows(ids);
}

size_t Table::detachedBytes(std::span<const uint32_t> ids) const {
    size_t bytes = ids.size() * (sizeof(uint32_t) + cols_.size() * sizeof(Cell));
    for (const auto& c : cols_) {
        for (const uint32_t phys : ids) {
            const size_t n = c->view(phys).size();
            bytes += n > kInlineMax ? n : 0;
        }
    }
    return bytes;
}

void Table::dropRows(int at, int count) {
    if (at < 0 || at >= rowCount() || count <= 0) {
        return;
    }
    count = std::min(count, rowCount() - at);
    mapRows();
    releasePhysicalRows(
        std::span(rowMap_).subspan(static_cast<size_t>(at), static_cast<size_t>(count)));
    rowMap_.erase(rowMap_.begin() + at, rowMap_.begin() + at + count);
}

void Table::reorderRows(int first, std::span<const int> order) {
    if (first < 0 || first + static_cast<int64_t>(order.size()) > rowCount() || order.empty()) {
        return;
    }
    mapRows();
    const std::vector<uint32_t> before(rowMap_.begin() + first,
                                       rowMap_.begin() + first + static_cast<int>(order.size()));
    for (size_t i = 0; i < order.size(); ++i) {
        rowMap_[static_cast<size_t>(first) + i] = before[static_cast<size_t>(order[i])];
    }
}

Table::ColumnSet::ColumnSet() = default;
Table::ColumnSet::ColumnSet(ColumnSet&&) noexcept = default;
Table::ColumnSet& Table::ColumnSet::operator=(ColumnSet&&) noexcept = default;
Table::ColumnSet::~ColumnSet() = default;

size_t Table::ColumnSet::bytes() const {
    size_t bytes = 0;
    for (const auto& c : columns_) {
        bytes += c->cells.bytes() + c->arena.capacity() + c->styles.bytes() + sizeof(Column);
    }
    return bytes;
}

Table::ColumnSet Table::takeColumns(int at, int count) {
    ColumnSet set;
    if (at < 0 || at >= columnCount() || count <= 0) {
        return set;
    }
    count = std::min(count, columnCount() - at);
    set.columns_.assign(cols_.begin() + at, cols_.begin() + at + count);
    cols_.erase(cols_.begin() + at, cols_.begin() + at + count);
    return set;
}

void Table::putColumns(int at, ColumnSet&& set) {
    if (at < 0 || at > columnCount() || set.columns_.empty()) {
        return;
    }
    // Rows given up while the columns were out may hold cells there still: a free row is empty.
    if (!freeRows_.empty()) {
        for (auto& c : set.columns_) {
            Column& w = writable(c);
            for (const uint32_t phys : freeRows_) {
                w.release(phys);
            }
            if (!w.styles.empty()) {
                w.styles.remap(
                    freeRows_.size(), [this](size_t j) { return freeRows_[j]; },
                    [](uint32_t) { return uint32_t{0}; });
            }
        }
    }
    cols_.insert(cols_.begin() + at, std::make_move_iterator(set.columns_.begin()),
                 std::make_move_iterator(set.columns_.end()));
    set.columns_.clear();
}

}  // namespace pellumar
