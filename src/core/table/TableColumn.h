// How a table keeps one column's cells: eight bytes a cell with short texts inside it, chunks
// of cells made as they are written, and an arena for the longer texts. Shared by the table's own
// source files only.
#pragma once

#include "core/table/Table.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace pellumar {

namespace table_storage {

static_assert(std::endian::native == std::endian::little,
              "short cell texts are kept inside the cell's own eight bytes, low byte first");

// A cell is eight bytes. With the top bit set it holds up to seven bytes of text inline (length in
// bits 56-62, text in the low bytes). Otherwise the low 32 bits are an offset into the column's
// arena and bits 32-62 the length; all zero is the empty text.
using Cell = uint64_t;
inline constexpr Cell kInlineFlag = Cell{1} << 63;
inline constexpr size_t kInlineMax = 7;
inline constexpr size_t kCompactThreshold = 1 << 20;

// The cell of a text of one to seven bytes, read without a byte loop.
inline Cell packInline(std::string_view s) {
    const char* p = s.data();
    const size_t n = s.size();
    Cell v;
    if (n >= 4) {
        uint32_t lo;
        uint32_t hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + n - 4, 4);
        v = Cell{lo} | (Cell{hi} << (8 * (n - 4)));
    } else {
        v = Cell{static_cast<unsigned char>(p[0])} |
            (Cell{static_cast<unsigned char>(p[n / 2])} << (8 * (n / 2))) |
            (Cell{static_cast<unsigned char>(p[n - 1])} << (8 * (n - 1)));
    }
    return v | kInlineFlag | (static_cast<Cell>(n) << 56);
}

inline bool isInline(Cell c) {
    return (c & kInlineFlag) != 0;
}
inline size_t cellLength(Cell c) {
    return isInline(c) ? static_cast<size_t>((c >> 56) & 0x7f)
                       : static_cast<size_t>((c >> 32) & 0x7fffffff);
}
inline uint32_t cellOffset(Cell c) {
    return static_cast<uint32_t>(c & 0xffffffffu);
}

inline Cell makeInline(std::string_view s) {
    Cell c = 0;
    if (!s.empty()) {  // an empty view may have no data at all
        std::memcpy(&c, s.data(), s.size());
    }
    return c | kInlineFlag | (static_cast<Cell>(s.size()) << 56);
}

inline Cell makeArena(uint32_t offset, size_t length) {
    return (static_cast<Cell>(length) << 32) | offset;
}

// A column's cells by physical row, in chunks of 8192 (64 KB). A chunk comes into being when a
// cell of it is first written, and only its cells up to the last one written are kept (a
// column's first chunk also grows its room step by step from 16 cells); cells beyond read as
// empty. So a table grows without copying its cells, a new column costs nothing until it holds
// something, a very wide table of few rows stays small, empty cells of a load take no room, and
// a load writes each cell once. Nothing is made ahead of the cells that need it.
inline constexpr uint32_t kChunkShift = 13;
inline constexpr uint32_t kChunkCells = 1u << kChunkShift;
inline constexpr uint32_t kFirstChunkCells = 16;

class CellStore {
public:
    CellStore() = default;
    CellStore(CellStore&&) noexcept = default;
    CellStore& operator=(CellStore&&) noexcept = default;
    // A copy keeps each chunk's cells in memory of its own, sized to the cells kept.
    CellStore(const CellStore& other) : chunks_(other.chunks_.size()) {
        for (size_t k = 0; k < other.chunks_.size(); ++k) {
            const Chunk& from = other.chunks_[k];
            if (from.used == 0) {
                continue;
            }
            Chunk& to = chunks_[k];
            to.data = static_cast<Cell*>(std::malloc(from.used * sizeof(Cell)));
            if (!to.data) {
                throw std::bad_alloc();
            }
            std::memcpy(to.data, from.data, from.used * sizeof(Cell));
            to.capacity = to.used = from.used;
            bytes_ += from.used * sizeof(Cell);
        }
    }
    CellStore& operator=(const CellStore&) = delete;

    const Cell* find(uint32_t phys) const {
        const size_t k = phys >> kChunkShift;
        if (k >= chunks_.size()) {
            return nullptr;
        }
        const uint32_t i = phys & (kChunkCells - 1);
        return i < chunks_[k].used ? &chunks_[k].data[i] : nullptr;
    }
    Cell* find(uint32_t phys) {
        return const_cast<Cell*>(static_cast<const CellStore*>(this)->find(phys));
    }
    // The cell, made (empty) when it is not kept yet; nullptr when making it would take the
    // storage past the budget.
    Cell* at(uint32_t phys, StorageBudget& budget) {
        const size_t k = phys >> kChunkShift;
        if (k >= chunks_.size()) {
            chunks_.resize(k + 1);
        }
        Chunk& chunk = chunks_[k];
        const uint32_t i = phys & (kChunkCells - 1);
        if (i >= chunk.used) {
            if (i >= chunk.capacity && !grow(chunk, k, i, budget)) {
                return nullptr;
            }
            if (i > chunk.used) {  // cells skipped over are empty
                std::memset(chunk.data + chunk.used, 0, (i - chunk.used) * sizeof(Cell));
            }
            chunk.data[i] = 0;
            chunk.used = i + 1;
        }
        return &chunk.data[i];
    }
    void clear() {
        decltype(chunks_)().swap(chunks_);
        bytes_ = 0;
    }
    // The bytes that making cell `phys` would take.
    size_t growthFor(uint32_t phys) const {
        const size_t k = phys >> kChunkShift;
        const uint32_t i = phys & (kChunkCells - 1);
        const uint32_t capacity = k < chunks_.size() ? chunks_[k].capacity : 0;
        if (i < capacity) {
            return 0;
        }
        const uint32_t room =
            k == 0 ? std::min(std::max({kFirstChunkCells, std::bit_ceil(i + 1), capacity * 2}),
                              kChunkCells)
                   : kChunkCells;
        return (room - capacity) * sizeof(Cell);
    }
    // The bytes the chunks hold.
    size_t bytes() const { return bytes_ + chunks_.capacity() * sizeof(Chunk); }
    // The chunks, and how many cells of chunk k are kept (cells past them are empty).
    size_t chunkCount() const { return chunks_.size(); }
    uint32_t kept(size_t k) const { return chunks_[k].used; }
    template <typename F>
    void forEach(F&& f) {
        for (Chunk& chunk : chunks_) {
            std::for_each(chunk.data, chunk.data + chunk.used, f);
        }
    }

private:
    struct Chunk {
        Cell* data = nullptr;
        uint32_t capacity = 0;
        uint32_t used = 0;  // cells 0 to used - 1 are kept

        Chunk() = default;
        Chunk(Chunk&& other) noexcept
            : data(std::exchange(other.data, nullptr)),
              capacity(std::exchange(other.capacity, 0)),
              used(std::exchange(other.used, 0)) {}
        Chunk& operator=(Chunk&& other) noexcept {
            std::swap(data, other.data);
            std::swap(capacity, other.capacity);
            std::swap(used, other.used);
            return *this;
        }
        ~Chunk() { std::free(data); }
    };

    // Only a column's first chunk grows step by step; a column that reaches its second chunk is
    // long, and gets whole chunks from then on.
    bool grow(Chunk& chunk, size_t k, uint32_t i, StorageBudget& budget) {
        uint32_t capacity = kChunkCells;
        if (k == 0) {
            capacity =
                std::min(std::max({kFirstChunkCells, std::bit_ceil(i + 1), chunk.capacity * 2}),
                         kChunkCells);
        }
        const size_t more = (capacity - chunk.capacity) * sizeof(Cell);
        if (!budget.take(more)) {
            return false;
        }
        Cell* grown = nullptr;
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
        if (k > 0 && i == 0 && chunks_[k - 1].used == kChunkCells) {
            // The column fills its chunks one after the other, as a load does: this one is made
            // present in one step rather than page by page.
            grown = static_cast<Cell*>(std::aligned_alloc(4096, capacity * sizeof(Cell)));
            if (grown) {
                madvise(grown, capacity * sizeof(Cell), MADV_POPULATE_WRITE);
            }
        }
#endif
        if (!grown) {
            grown = static_cast<Cell*>(std::realloc(chunk.data, capacity * sizeof(Cell)));
        }
        if (!grown) {
            throw std::bad_alloc();
        }
        chunk.data = grown;
        chunk.capacity = capacity;
        bytes_ += more;
        return true;
    }

    std::vector<Chunk> chunks_;
    size_t bytes_ = 0;  // the chunks' room
};

// A column's long texts, one after the other. It grows in place where the system lets it (a
// large block moves by remapping its pages, not by copying them), and a large one asks for large
// pages, so that filling a long column does not stop at every 4 KB.
class TextArena {
public:
    TextArena() = default;
    // A copy holds the texts in room of its own, sized to them.
    TextArena(const TextArena& other) {
        if (other.size_ > 0) {
            reserve(other.size_);
            std::memcpy(data_, other.data_, other.size_);
            size_ = other.size_;
        }
    }
    TextArena& operator=(const TextArena&) = delete;
    TextArena(TextArena&& other) noexcept { swap(other); }
    TextArena& operator=(TextArena&& other) noexcept {
        swap(other);
        return *this;
    }
    ~TextArena() { std::free(data_); }

    char* data() { return data_; }
    const char* data() const { return data_; }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }

    void reserve(size_t room) {
        if (room <= capacity_) {
            return;
        }
        auto* grown = static_cast<char*>(std::realloc(data_, room));
        if (!grown) {
            throw std::bad_alloc();
        }
        data_ = grown;
        capacity_ = room;
        adviseLargePages();
    }
    void append(std::string_view text) {
        if (size_ + text.size() > capacity_) {
            reserve(std::max(size_ + text.size(), capacity_ * 2));
        }
        if (!text.empty()) {
            std::memcpy(data_ + size_, text.data(), text.size());
            size_ += text.size();
        }
    }
    void shrink_to_fit() {
        if (size_ == 0) {
            clear();
        } else if (auto* smaller = static_cast<char*>(std::realloc(data_, size_))) {
            data_ = smaller;
            capacity_ = size_;
        }
    }
    // Empties the arena and gives its room back.
    void clear() {
        std::free(std::exchange(data_, nullptr));
        size_ = capacity_ = 0;
    }
    void swap(TextArena& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    void adviseLargePages() {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        constexpr uintptr_t kLarge = uintptr_t{2} << 20;
        if (capacity_ >= 2 * kLarge) {
            const auto start = reinterpret_cast<uintptr_t>(data_);
            const uintptr_t begin = (start + kLarge - 1) & ~(kLarge - 1);
            const uintptr_t end = (start + capacity_) & ~(kLarge - 1);
            if (end > begin) {
                madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
            }
        }
#endif
    }

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// Makes room in a column's arena for `more` bytes of long texts; false when the arena would grow
// past the budget. The arena grows to twice its room.
inline bool growArena(TextArena& arena, size_t more, StorageBudget& budget) {
    const size_t needed = arena.size() + more;
    if (needed <= arena.capacity()) {
        return true;
    }
    const size_t room = std::min<size_t>(std::max(needed, arena.capacity() * 2),
                                         std::numeric_limits<uint32_t>::max());
    if (!budget.take(room - arena.capacity())) {
        return false;
    }
    arena.reserve(std::max(room, needed));
    return true;
}

}  // namespace table_storage

struct Table::Column {
    table_storage::CellStore cells;  // by physical row
    table_storage::TextArena arena;  // texts too long to stay inside their cells
    size_t garbage = 0;              // arena bytes no cell refers to any more
    StyleIndexes styles;             // by physical row, into the table's palette
    ColumnAttributes attrs;
    DisplayFormat display;

    std::string_view view(uint32_t phys) const {
        const table_storage::Cell* cell = cells.find(phys);
        if (!cell) {
            return {};
        }
        const table_storage::Cell& c = *cell;
        if (table_storage::isInline(c)) {
            return {reinterpret_cast<const char*>(&c), table_storage::cellLength(c)};
        }
        const size_t len = table_storage::cellLength(c);
        return len == 0 ? std::string_view()
                        : std::string_view(arena.data() + table_storage::cellOffset(c), len);
    }

    void release(uint32_t phys) {
        table_storage::Cell* cell = cells.find(phys);
        if (!cell) {
            return;
        }
        table_storage::Cell& c = *cell;
        if (!table_storage::isInline(c)) {
            garbage += table_storage::cellLength(c);
        }
        c = 0;
    }

    // False when storing the text would take the storage past the budget.
    bool set(uint32_t phys, std::string_view s, StorageBudget& budget) {
        if (s.empty() && !cells.find(phys)) {
            return true;  // already empty
        }
        table_storage::Cell* cell = cells.at(phys, budget);
        if (!cell) {
            return false;
        }
        table_storage::Cell& c = *cell;
        if (s.size() <= table_storage::kInlineMax) {
            release(phys);
            c = table_storage::makeInline(s);
            return true;
        }
        if (!table_storage::isInline(c) && table_storage::cellLength(c) >= s.size()) {
            // Reuse the old place in the arena.
            std::memmove(arena.data() + table_storage::cellOffset(c), s.data(), s.size());
            garbage += table_storage::cellLength(c) - s.size();
            c = table_storage::makeArena(table_storage::cellOffset(c), s.size());
            return true;
        }
        release(phys);
        if (arena.size() + s.size() > std::numeric_limits<uint32_t>::max()) {
            compact();
            if (arena.size() + s.size() > std::numeric_limits<uint32_t>::max()) {
                return true;  // a column holding more than 4 GB of text: the cell stays empty
            }
        }
        if (!table_storage::growArena(arena, s.size(), budget)) {
            return false;
        }
        const auto offset = static_cast<uint32_t>(arena.size());
        arena.append(s);
        c = table_storage::makeArena(offset, s.size());
        if (garbage > table_storage::kCompactThreshold && garbage > arena.size() / 2) {
            compact();
        }
        return true;
    }

    void compact() {
        table_storage::TextArena fresh;
        fresh.reserve(arena.size() - garbage);
        cells.forEach([&](table_storage::Cell& c) {
            if (!table_storage::isInline(c) && table_storage::cellLength(c) > 0) {
                const auto offset = static_cast<uint32_t>(fresh.size());
                fresh.append(std::string_view(arena.data() + table_storage::cellOffset(c),
                                              table_storage::cellLength(c)));
                c = table_storage::makeArena(offset, table_storage::cellLength(c));
            }
        });
        arena.swap(fresh);
        garbage = 0;
    }

    void clear() {
        cells.clear();
        arena.clear();
        garbage = 0;
        styles.clear();
    }
};

}  // namespace pellumar
