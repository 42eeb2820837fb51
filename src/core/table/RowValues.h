// What a table keeps per cell or per row beside its texts (style indexes, row heights), by
// physical row, so that the values travel with their rows through sorts and moves for free.
//
// Values live in chunks of 1024 rows, made when a row of them first gets a value other than 0
// and given back when their last such value goes back to 0: a table without formatting pays
// nothing, and a formatted block pays only for the chunks it covers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace pellumar {

constexpr uint32_t kRowChunkShift = 10;
constexpr uint32_t kRowChunkRows = 1u << kRowChunkShift;

// A value of type T per physical row; 0 (T{}) for rows never given another.
template <typename T>
class RowValues {
public:
    RowValues() = default;
    RowValues(RowValues&&) noexcept = default;
    RowValues& operator=(RowValues&&) noexcept = default;
    // A copy has chunks of its own.
    RowValues(const RowValues& other) : chunks_(other.chunks_.size()), used_(other.used_) {
        for (size_t k = 0; k < chunks_.size(); ++k) {
            if (other.chunks_[k].values) {
                chunks_[k].values = std::make_unique<T[]>(kRowChunkRows);
                std::copy_n(other.chunks_[k].values.get(), kRowChunkRows, chunks_[k].values.get());
                chunks_[k].used = other.chunks_[k].used;
            }
        }
    }
    RowValues& operator=(const RowValues& other) {
        if (this != &other) {
            *this = RowValues(other);
        }
        return *this;
    }

    T get(uint32_t phys) const {
        const size_t k = phys >> kRowChunkShift;
        if (k >= chunks_.size() || !chunks_[k].values) {
            return T{};
        }
        return chunks_[k].values[phys & (kRowChunkRows - 1)];
    }

    void set(uint32_t phys, T value) {
        const size_t k = phys >> kRowChunkShift;
        if (k >= chunks_.size()) {
            if (value == T{}) {
                return;
            }
            chunks_.resize(k + 1);
        }
        Chunk& chunk = chunks_[k];
        if (!chunk.values) {
            if (value == T{}) {
                return;
            }
            chunk.values = std::make_unique<T[]>(kRowChunkRows);
        }
        T& slot = chunk.values[phys & (kRowChunkRows - 1)];
        if (slot == value) {
            return;
        }
        if (slot == T{}) {
            ++chunk.used;
            ++used_;
        } else if (value == T{}) {
            --chunk.used;
            --used_;
        }
        slot = value;
        if (chunk.used == 0) {
            chunk.values.reset();
        }
    }

    // The number of rows holding a value other than 0.
    size_t count() const { return used_; }
    bool empty() const { return used_ == 0; }
    void clear() {
        std::vector<Chunk>().swap(chunks_);
        used_ = 0;
    }

private:
    struct Chunk {
        std::unique_ptr<T[]> values;  // none while every value is 0
        uint32_t used = 0;            // values other than 0
    };
    std::vector<Chunk> chunks_;
    size_t used_ = 0;
};

// The style index of each cell of a column by physical row (0: the default style). Two bytes a
// cell; a chunk that must hold an index beyond 65535 takes four bytes a cell from then on.
class StyleIndexes {
public:
    StyleIndexes() = default;
    StyleIndexes(StyleIndexes&&) noexcept = default;
    StyleIndexes& operator=(StyleIndexes&&) noexcept = default;
    // A copy has chunks of its own.
    StyleIndexes(const StyleIndexes& other) : chunks_(other.chunks_.size()), used_(other.used_) {
        for (size_t k = 0; k < chunks_.size(); ++k) {
            const Chunk& from = other.chunks_[k];
            Chunk& to = chunks_[k];
            if (from.wide) {
                to.wide = std::make_unique<uint32_t[]>(kRowChunkRows);
                std::copy_n(from.wide.get(), kRowChunkRows, to.wide.get());
            } else if (from.narrow) {
                to.narrow = std::make_unique<uint16_t[]>(kRowChunkRows);
                std::copy_n(from.narrow.get(), kRowChunkRows, to.narrow.get());
            }
            to.used = from.used;
        }
    }
    StyleIndexes& operator=(const StyleIndexes& other) {
        if (this != &other) {
            *this = StyleIndexes(other);
        }
        return *this;
    }

    uint32_t get(uint32_t phys) const {
        const size_t k = phys >> kRowChunkShift;
        if (k >= chunks_.size()) {
            return 0;
        }
        const Chunk& chunk = chunks_[k];
        const uint32_t i = phys & (kRowChunkRows - 1);
        if (chunk.wide) {
            return chunk.wide[i];
        }
        return chunk.narrow ? chunk.narrow[i] : 0;
    }

    void set(uint32_t phys, uint32_t index) {
        const size_t k = phys >> kRowChunkShift;
        if (k >= chunks_.size()) {
            if (index == 0) {
                return;
            }
            chunks_.resize(k + 1);
        }
        Chunk& chunk = chunks_[k];
        const uint32_t i = phys & (kRowChunkRows - 1);
        const uint32_t old = chunk.wide ? chunk.wide[i] : chunk.narrow ? chunk.narrow[i] : 0;
        if (old != index) {
            write(chunk, i, old, index);
            dropIfUnused(chunk);
        }
    }

    // Gives each of the `n` rows physAt(0) to physAt(n - 1) the index newIndex(its index), in one
    // pass that keeps to a chunk while the rows do.
    template <typename PhysAt, typename NewIndex>
    void remap(size_t n, PhysAt&& physAt, NewIndex&& newIndex) {
        size_t current = SIZE_MAX;
        Chunk* chunk = nullptr;
        for (size_t j = 0; j < n; ++j) {
            const uint32_t phys = physAt(j);
            const size_t k = phys >> kRowChunkShift;
            if (k != current) {
                if (chunk) {
                    dropIfUnused(*chunk);
                }
                current = k;
                chunk = k < chunks_.size() ? &chunks_[k] : nullptr;
            }
            const uint32_t i = phys & (kRowChunkRows - 1);
            const uint32_t old = !chunk          ? 0
                                 : chunk->wide   ? chunk->wide[i]
                                 : chunk->narrow ? chunk->narrow[i]
                                                 : 0;
            const uint32_t index = newIndex(old);
            if (index == old) {
                continue;
            }
            if (!chunk) {
                chunks_.resize(k + 1);
                chunk = &chunks_[k];
            }
            write(*chunk, i, old, index);
        }
        if (chunk) {
            dropIfUnused(*chunk);
        }
    }

    // The number of cells with a style of their own.
    size_t count() const { return used_; }
    bool empty() const { return used_ == 0; }
    void clear() {
        std::vector<Chunk>().swap(chunks_);
        used_ = 0;
    }

private:
    struct Chunk {
        std::unique_ptr<uint16_t[]> narrow;
        std::unique_ptr<uint32_t[]> wide;
        uint32_t used = 0;  // cells with a style of their own
    };

    void write(Chunk& chunk, uint32_t i, uint32_t old, uint32_t index) {
        if (!chunk.narrow && !chunk.wide) {
            chunk.narrow = std::make_unique<uint16_t[]>(kRowChunkRows);
        }
        if (!chunk.wide && index > 0xffff) {
            chunk.wide = std::make_unique<uint32_t[]>(kRowChunkRows);
            std::copy(chunk.narrow.get(), chunk.narrow.get() + kRowChunkRows, chunk.wide.get());
            chunk.narrow.reset();
        }
        if (chunk.wide) {
            chunk.wide[i] = index;
        } else {
            chunk.narrow[i] = static_cast<uint16_t>(index);
        }
        if (old == 0) {
            ++chunk.used;
            ++used_;
        } else if (index == 0) {
            --chunk.used;
            --used_;
        }
    }
    static void dropIfUnused(Chunk& chunk) {
        if (chunk.used == 0) {
            chunk.narrow.reset();
            chunk.wide.reset();
        }
    }
    std::vector<Chunk> chunks_;
    size_t used_ = 0;
};

}  // namespace pellumar
