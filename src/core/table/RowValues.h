// What a table keeps per cell or per row beside its texts (style indexes, row heights), by
// physical row, so that the values travel with their rows through sorts and moves for free.
//
// Values are kept as runs of rows of one value, in row order; rows of value 0 (T{}) take
// nothing. A table without formatting pays nothing, and a stretch of equally formatted rows pays
// for one run, however long it is: twelve bytes, whether it holds one row or two billion.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace pellumar {

// A value of type T per physical row; 0 (T{}) for rows never given another.
template <typename T>
class RowValues {
public:
    struct Run {
        uint32_t first;
        uint32_t count;
        T value;
        uint64_t end() const { return uint64_t{first} + count; }
    };

    T get(uint32_t phys) const {
        const auto it = std::upper_bound(runs_.begin(), runs_.end(), phys,
                                         [](uint32_t p, const Run& r) { return p < r.first; });
        if (it == runs_.begin()) {
            return T{};
        }
        const Run& run = *(it - 1);
        return phys < run.end() ? run.value : T{};
    }

    void set(uint32_t phys, T value) { setRange(phys, 1, value); }

    // Rows first to first + count - 1 take `value`.
    void setRange(uint32_t first, uint32_t count, T value) {
        if (count == 0) {
            return;
        }
        const uint64_t end = uint64_t{first} + count;
        // Runs [lo, hi) meet the rows; the pieces of them outside the rows stay.
        auto lo = std::upper_bound(runs_.begin(), runs_.end(), uint64_t{first},
                                   [](uint64_t p, const Run& r) { return p < r.end(); });
        auto hi = std::lower_bound(lo, runs_.end(), end,
                                   [](const Run& r, uint64_t e) { return r.first < e; });
        if (hi - lo == 1 && lo->value == value && lo->first <= first && lo->end() >= end) {
            return;  // already so
        }
        Run pieces[3];
        size_t n = 0;
        if (lo != hi && lo->first < first) {
            pieces[n++] = {lo->first, first - lo->first, lo->value};
        }
        if (value != T{}) {
            pieces[n++] = {first, count, value};
        }
        if (lo != hi && (hi - 1)->end() > end) {
            const Run& last = *(hi - 1);
            pieces[n++] = {static_cast<uint32_t>(end), static_cast<uint32_t>(last.end() - end),
                           last.value};
        }
        for (auto it = lo; it != hi; ++it) {
            used_ -= it->count;
        }
        for (size_t i = 0; i < n; ++i) {
            used_ += pieces[i].count;
        }
        // Equal neighbours join.
        if (lo != runs_.begin() && n > 0 && (lo - 1)->end() == pieces[0].first &&
            (lo - 1)->value == pieces[0].value) {
            --lo;
            pieces[0] = {lo->first, lo->count + pieces[0].count, lo->value};
        }
        Run* merged = pieces;
        size_t kept = 0;
        for (size_t i = 0; i < n; ++i) {
            if (kept > 0 && merged[kept - 1].end() == pieces[i].first &&
                merged[kept - 1].value == pieces[i].value) {
                merged[kept - 1].count += pieces[i].count;
            } else {
                merged[kept++] = pieces[i];
            }
        }
        n = kept;
        if (hi != runs_.end() && n > 0 && pieces[n - 1].end() == hi->first &&
            hi->value == pieces[n - 1].value) {
            pieces[n - 1].count += hi->count;
            ++hi;
        }
        splice(lo, hi, pieces, n);
    }

    // Gives each of the `n` rows physAt(0) to physAt(n - 1) the value newValue(its value), in one
    // pass over the runs: the rows are taken as stretches of consecutive rows first.
    template <typename PhysAt, typename NewValue>
    void remap(size_t n, PhysAt&& physAt, NewValue&& newValue) {
        if (n == 0) {
            return;
        }
        std::vector<std::pair<uint32_t, uint32_t>> stretches;  // first, count
        for (size_t j = 0; j < n; ++j) {
            const uint32_t phys = physAt(j);
            if (!stretches.empty() && stretches.back().first + stretches.back().second == phys) {
                ++stretches.back().second;
            } else {
                stretches.emplace_back(phys, 1);
            }
        }
        std::sort(stretches.begin(), stretches.end());
        remapStretches(stretches, [&newValue](T old, size_t) { return newValue(old); });
    }

    // The same for the rows first to first + count - 1.
    template <typename NewValue>
    void remapRange(uint32_t first, uint32_t count, NewValue&& newValue) {
        if (count > 0) {
            const std::pair<uint32_t, uint32_t> stretch{first, count};
            remapStretches(std::span(&stretch, 1),
                           [&newValue](T old, size_t) { return newValue(old); });
        }
    }

    // Gives each row of `values` (physical row, value; any order, no row twice) its value.
    void assign(std::vector<std::pair<uint32_t, T>> values) {
        std::sort(values.begin(), values.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::pair<uint32_t, uint32_t>> stretches;  // rows of one value in a row
        std::vector<T> of;                                     // the value of each stretch
        for (const auto& [phys, value] : values) {
            if (!stretches.empty() && stretches.back().first + stretches.back().second == phys &&
                of.back() == value) {
                ++stretches.back().second;
            } else {
                stretches.emplace_back(phys, 1);
                of.push_back(value);
            }
        }
        remapStretches(stretches, [&of](T, size_t k) { return of[k]; });
    }

    // The runs in row order.
    const std::vector<Run>& runs() const { return runs_; }
    // The number of rows holding a value other than 0.
    size_t count() const { return used_; }
    bool empty() const { return runs_.empty(); }
    size_t bytes() const { return runs_.capacity() * sizeof(Run); }
    void clear() {
        std::vector<Run>().swap(runs_);
        used_ = 0;
    }

private:
    // Replaces the runs [lo, hi) by pieces[0, n).
    void splice(typename std::vector<Run>::iterator lo, typename std::vector<Run>::iterator hi,
                const Run* pieces, size_t n) {
        const auto have = static_cast<size_t>(hi - lo);
        const auto at = lo - runs_.begin();
        std::copy_n(pieces, std::min(have, n), lo);
        if (n < have) {
            runs_.erase(runs_.begin() + at + static_cast<ptrdiff_t>(n), hi);
        } else if (n > have) {
            runs_.insert(runs_.begin() + at + static_cast<ptrdiff_t>(have), pieces + have,
                         pieces + n);
        }
    }

    // Rebuilds the runs with the rows of the (sorted, disjoint) stretches changed.
    template <typename Stretches, typename NewValue>
    void remapStretches(const Stretches& stretches, NewValue&& newValue) {
        if (stretches.size() == 1) {
            // One stretch: only the runs it meets are rebuilt.
            const auto [first, count] = *stretches.begin();
            const uint64_t end = uint64_t{first} + count;
            auto lo = std::upper_bound(runs_.begin(), runs_.end(), uint64_t{first},
                                       [](uint64_t p, const Run& r) { return p < r.end(); });
            auto hi = std::lower_bound(lo, runs_.end(), end,
                                       [](const Run& r, uint64_t e) { return r.first < e; });
            std::vector<std::pair<Run, T>> parts;  // the stretch's pieces and their new values
            uint64_t p = first;
            for (auto it = lo; p < end;) {
                if (it != hi && it->first <= p) {
                    const uint64_t stop = std::min(it->end(), end);
                    parts.push_back(
                        {{static_cast<uint32_t>(p), static_cast<uint32_t>(stop - p), it->value},
                         T{}});
                    p = stop;
                    ++it;
                } else {
                    const uint64_t stop = it != hi ? std::min<uint64_t>(it->first, end) : end;
                    parts.push_back(
                        {{static_cast<uint32_t>(p), static_cast<uint32_t>(stop - p), T{}}, T{}});
                    p = stop;
                }
            }
            for (auto& [run, value] : parts) {
                value = newValue(run.value, 0);
            }
            for (const auto& [run, value] : parts) {
                setRange(run.first, run.count, value);
            }
            return;
        }
        std::vector<Run> out;
        out.reserve(runs_.size() + stretches.size());
        size_t used = 0;
        const auto push = [&out, &used](uint64_t first, uint64_t count, T value) {
            if (count == 0 || value == T{}) {
                return;
            }
            used += count;
            if (!out.empty() && out.back().end() == first && out.back().value == value) {
                out.back().count += static_cast<uint32_t>(count);
            } else {
                out.push_back({static_cast<uint32_t>(first), static_cast<uint32_t>(count), value});
            }
        };
        size_t i = 0;       // the old run being taken
        uint64_t from = 0;  // the first row of it not taken yet
        const auto runStart = [&] { return std::max<uint64_t>(runs_[i].first, from); };
        for (size_t k = 0; k < stretches.size(); ++k) {
            const auto [first, count] = stretches[k];
            const uint64_t end = uint64_t{first} + count;
            // Runs before the stretch stay as they are.
            for (; i < runs_.size() && runs_[i].end() <= first; ++i) {
                push(runStart(), runs_[i].end() - runStart(), runs_[i].value);
            }
            if (i < runs_.size() && runStart() < first) {
                push(runStart(), first - runStart(), runs_[i].value);
            }
            from = std::max<uint64_t>(from, first);
            for (uint64_t p = first; p < end;) {
                if (i < runs_.size() && runStart() <= p) {
                    const uint64_t stop = std::min(runs_[i].end(), end);
                    push(p, stop - p, newValue(runs_[i].value, k));
                    p = stop;
                    if (stop == runs_[i].end()) {
                        ++i;
                    }
                } else {
                    const uint64_t stop =
                        i < runs_.size() ? std::min<uint64_t>(runs_[i].first, end) : end;
                    push(p, stop - p, newValue(T{}, k));
                    p = stop;
                }
            }
            from = end;
        }
        for (; i < runs_.size(); ++i) {
            push(runStart(), runs_[i].end() - runStart(), runs_[i].value);
        }
        runs_ = std::move(out);
        used_ = used;
    }

    std::vector<Run> runs_;
    size_t used_ = 0;
};

// The style index of each cell of a column by physical row (0: the default style).
using StyleIndexes = RowValues<uint32_t>;

}  // namespace pellumar
