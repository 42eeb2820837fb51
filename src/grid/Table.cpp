#include "grid/Table.h"

#include "columns/CellValue.h"

#include <QByteArray>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace pellumar {

static_assert(std::endian::native == std::endian::little,
              "short cell texts are kept inside the cell's own eight bytes, low byte first");

namespace {

// A cell is eight bytes. With the top bit set it holds up to seven bytes of text inline (length in
// bits 56-62, text in the low bytes). Otherwise the low 32 bits are an offset into the column's
// arena and bits 32-62 the length; all zero is the empty text.
using Cell = uint64_t;
constexpr Cell kInlineFlag = Cell{1} << 63;
constexpr size_t kInlineMax = 7;
constexpr size_t kCompactThreshold = 1 << 20;

// Prepares a large block reserved for a bulk load: backed by large pages where the system has
// them (each is cleared as filling reaches it, while it is still in the cache), and the small
// pages at its ends made present in one step, so that filling a big table does not stop at tens
// of thousands of page faults.
void prepareBulkMemory(const void* data, size_t bytes) {
#ifdef __linux__
    constexpr uintptr_t kLarge = uintptr_t{2} << 20;
    constexpr uintptr_t kPage = 4096;
    if (bytes < kLarge / 8) {
        return;
    }
    const auto start = reinterpret_cast<uintptr_t>(data);
    const auto pagesBegin = start & ~(kPage - 1);
    const auto pagesEnd = (start + bytes + kPage - 1) & ~(kPage - 1);
    auto largeBegin = (start + kLarge - 1) & ~(kLarge - 1);
    auto largeEnd = (start + bytes) & ~(kLarge - 1);
    if (largeEnd > largeBegin) {
        madvise(reinterpret_cast<void*>(largeBegin), largeEnd - largeBegin, MADV_HUGEPAGE);
    } else {
        largeBegin = largeEnd = pagesEnd;
    }
#ifdef MADV_POPULATE_WRITE
    if (largeBegin > pagesBegin) {
        madvise(reinterpret_cast<void*>(pagesBegin), largeBegin - pagesBegin, MADV_POPULATE_WRITE);
    }
    if (pagesEnd > largeEnd) {
        madvise(reinterpret_cast<void*>(largeEnd), pagesEnd - largeEnd, MADV_POPULATE_WRITE);
    }
#endif
#else
    (void)data;
    (void)bytes;
#endif
}

// The cell of a text of one to seven bytes, read without a byte loop.
Cell packInline(std::string_view s) {
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

bool isInline(Cell c) {
    return (c & kInlineFlag) != 0;
}
size_t cellLength(Cell c) {
    return isInline(c) ? static_cast<size_t>((c >> 56) & 0x7f)
                       : static_cast<size_t>((c >> 32) & 0x7fffffff);
}
uint32_t cellOffset(Cell c) {
    return static_cast<uint32_t>(c & 0xffffffffu);
}

Cell makeInline(std::string_view s) {
    Cell c = 0;
    if (!s.empty()) {  // an empty view may have no data at all
        std::memcpy(&c, s.data(), s.size());
    }
    return c | kInlineFlag | (static_cast<Cell>(s.size()) << 56);
}

Cell makeArena(uint32_t offset, size_t length) {
    return (static_cast<Cell>(length) << 32) | offset;
}

// A column's cells by physical row, in chunks of 8192 (64 KB). A chunk comes into being when a
// cell of it is first written, and only its cells up to the last one written are kept (a
// column's first chunk also grows its room step by step from 16 cells); cells beyond read as
// empty. So a table grows without copying its cells, a new column costs nothing until it holds
// something, a very wide table of few rows stays small, and a load writes each cell once.
constexpr uint32_t kChunkShift = 13;
constexpr uint32_t kChunkCells = 1u << kChunkShift;
constexpr uint32_t kFirstChunkCells = 16;

class CellStore {
public:
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
    // The cell, made (empty) when it is not kept yet.
    Cell& at(uint32_t phys) {
        const size_t k = phys >> kChunkShift;
        if (k >= chunks_.size()) {
            chunks_.resize(k + 1);
        }
        Chunk& chunk = chunks_[k];
        const uint32_t i = phys & (kChunkCells - 1);
        if (i >= chunk.used) {
            if (i >= chunk.capacity) {
                grow(chunk, k, i);
            }
            if (i > chunk.used) {  // cells skipped over are empty
                std::memset(chunk.data + chunk.used, 0, (i - chunk.used) * sizeof(Cell));
            }
            chunk.data[i] = 0;
            chunk.used = i + 1;
        }
        return chunk.data[i];
    }
    // Makes room for `rows` cells ahead of a bulk load: the chunks not made yet come from one
    // block, prepared so that filling it does not stop at every page.
    void reserve(size_t rows) {
        const size_t wanted = (rows + kChunkCells - 1) >> kChunkShift;
        chunks_.reserve(wanted);
        if (wanted < chunks_.size() + kBlockMinChunks) {
            return;
        }
        const size_t count = wanted - chunks_.size();
        Block block(static_cast<Cell*>(std::malloc(count * kChunkCells * sizeof(Cell))));
        if (!block) {
            return;  // the chunks will be made one by one
        }
        prepareBulkMemory(block.get(), count * kChunkCells * sizeof(Cell));
        for (size_t j = 0; j < count; ++j) {
            Chunk chunk;
            chunk.data = block.get() + j * kChunkCells;
            chunk.capacity = kChunkCells;
            chunk.owned = false;
            chunks_.push_back(std::move(chunk));
        }
        blocks_.push_back(std::move(block));
    }
    void clear() {
        decltype(chunks_)().swap(chunks_);
        blocks_.clear();
    }
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
        bool owned = true;  // false: part of a block reserved for a load

        Chunk() = default;
        Chunk(Chunk&& other) noexcept
            : data(std::exchange(other.data, nullptr)),
              capacity(std::exchange(other.capacity, 0)),
              used(std::exchange(other.used, 0)),
              owned(std::exchange(other.owned, true)) {}
        Chunk& operator=(Chunk&& other) noexcept {
            std::swap(data, other.data);
            std::swap(capacity, other.capacity);
            std::swap(used, other.used);
            std::swap(owned, other.owned);
            return *this;
        }
        ~Chunk() {
            if (owned) {
                std::free(data);
            }
        }
    };
    struct FreeBlock {
        void operator()(Cell* p) const { std::free(p); }
    };
    using Block = std::unique_ptr<Cell[], FreeBlock>;
    static constexpr size_t kBlockMinChunks = 8;

    // Only a column's first chunk grows step by step; a column that reaches its second chunk is
    // long, and gets whole chunks from then on.
    static void grow(Chunk& chunk, size_t k, uint32_t i) {
        uint32_t capacity = kChunkCells;
        if (k == 0) {
            capacity =
                std::min(std::max({kFirstChunkCells, std::bit_ceil(i + 1), chunk.capacity * 2}),
                         kChunkCells);
        }
        auto* grown = static_cast<Cell*>(std::realloc(chunk.data, capacity * sizeof(Cell)));
        if (!grown) {
            throw std::bad_alloc();
        }
        chunk.data = grown;
        chunk.capacity = capacity;
    }

    std::vector<Chunk> chunks_;
    std::vector<Block> blocks_;  // memory of reserved chunks
};

}  // namespace

struct Table::Column {
    CellStore cells;     // by physical row
    std::string arena;   // texts longer than kInlineMax
    size_t garbage = 0;  // arena bytes no cell refers to any more
    QHash<uint32_t, CellStyle> styles;
    ColumnAttributes attrs;
    DisplayFormat display;

    std::string_view view(uint32_t phys) const {
        const Cell* cell = cells.find(phys);
        if (!cell) {
            return {};
        }
        const Cell& c = *cell;
        if (isInline(c)) {
            return {reinterpret_cast<const char*>(&c), cellLength(c)};
        }
        const size_t len = cellLength(c);
        return len == 0 ? std::string_view() : std::string_view(arena.data() + cellOffset(c), len);
    }

    void release(uint32_t phys) {
        Cell* cell = cells.find(phys);
        if (!cell) {
            return;
        }
        Cell& c = *cell;
        if (!isInline(c)) {
            garbage += cellLength(c);
        }
        c = 0;
    }

    void set(uint32_t phys, std::string_view s) {
        if (s.empty() && !cells.find(phys)) {
            return;  // already empty
        }
        Cell& c = cells.at(phys);
        if (s.size() <= kInlineMax) {
            release(phys);
            c = makeInline(s);
            return;
        }
        if (!isInline(c) && cellLength(c) >= s.size()) {
            // Reuse the old place in the arena.
            std::memmove(arena.data() + cellOffset(c), s.data(), s.size());
            garbage += cellLength(c) - s.size();
            c = makeArena(cellOffset(c), s.size());
            return;
        }
        release(phys);
        if (arena.size() + s.size() > std::numeric_limits<uint32_t>::max()) {
            compact();
            if (arena.size() + s.size() > std::numeric_limits<uint32_t>::max()) {
                return;  // a column holding more than 4 GB of text: the cell stays empty
            }
        }
        const auto offset = static_cast<uint32_t>(arena.size());
        arena.append(s);
        c = makeArena(offset, s.size());
        if (garbage > kCompactThreshold && garbage > arena.size() / 2) {
            compact();
        }
    }

    void compact() {
        std::string fresh;
        fresh.reserve(arena.size() - garbage);
        cells.forEach([&](Cell& c) {
            if (!isInline(c) && cellLength(c) > 0) {
                const auto offset = static_cast<uint32_t>(fresh.size());
                fresh.append(arena.data() + cellOffset(c), cellLength(c));
                c = makeArena(offset, cellLength(c));
            }
        });
        arena.swap(fresh);
        garbage = 0;
    }

    void clear() {
        cells.clear();
        std::string().swap(arena);
        garbage = 0;
        styles.clear();
    }
};

Table::Table() = default;
Table::Table(int rows, int cols) {
    setColumnCount(cols);
    setRowCount(rows);
}
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&&) noexcept = default;
Table::~Table() = default;

bool Table::inRange(int row, int col) const {
    return row >= 0 && col >= 0 && row < rowCount() && col < columnCount();
}

void Table::reserveRows(int rows) {
    if (rows <= 0) {
        return;
    }
    rows_.reserve(static_cast<size_t>(rows));
    prepareBulkMemory(rows_.data(), rows_.capacity() * sizeof(uint32_t));
    for (auto& c : cols_) {
        c->cells.reserve(static_cast<size_t>(rows));
    }
}

uint32_t Table::takePhysicalRow() {
    if (!freeRows_.empty()) {
        const uint32_t phys = freeRows_.back();
        freeRows_.pop_back();
        return phys;
    }
    return physicalRows_++;
}

void Table::releasePhysicalRow(uint32_t phys) {
    for (auto& c : cols_) {
        c->release(phys);
        if (!c->styles.isEmpty()) {
            c->styles.remove(phys);
        }
    }
    if (!rowHeights_.isEmpty()) {
        rowHeights_.remove(phys);
    }
    freeRows_.push_back(phys);
}

void Table::setRowCount(int rows) {
    rows = std::max(rows, 0);
    if (rows > rowCount()) {
        insertRows(rowCount(), rows - rowCount());
    } else if (rows < rowCount()) {
        removeRows(rows, rowCount() - rows);
    }
}

void Table::setColumnCount(int cols) {
    cols = std::max(cols, 0);
    if (cols > columnCount()) {
        insertColumns(columnCount(), cols - columnCount());
    } else if (cols < columnCount()) {
        removeColumns(cols, columnCount() - cols);
    }
}

void Table::insertRows(int at, int count) {
    if (count <= 0 || at < 0 || at > rowCount()) {
        return;
    }
    const auto n = static_cast<size_t>(count);
    if (freeRows_.size() < n) {
        const size_t grow = n - freeRows_.size();
        for (size_t i = 0; i < grow; ++i) {
            freeRows_.push_back(physicalRows_ + static_cast<uint32_t>(grow - 1 - i));
        }
        physicalRows_ += static_cast<uint32_t>(grow);
    }
    std::vector<uint32_t> fresh(n);
    for (auto& phys : fresh) {
        phys = freeRows_.back();
        freeRows_.pop_back();
    }
    rows_.insert(rows_.begin() + at, fresh.begin(), fresh.end());
}

void Table::removeRows(int at, int count) {
    if (at < 0 || at >= rowCount() || count <= 0) {
        return;
    }
    count = std::min(count, rowCount() - at);
    if (count == rowCount()) {
        // Dropping every row: start the storage afresh.
        rows_.clear();
        rows_.shrink_to_fit();
        freeRows_.clear();
        freeRows_.shrink_to_fit();
        physicalRows_ = 0;
        for (auto& c : cols_) {
            c->cells.clear();
            std::string().swap(c->arena);
            c->garbage = 0;
            c->styles.clear();
        }
        rowHeights_.clear();
        return;
    }
    for (int r = at; r < at + count; ++r) {
        releasePhysicalRow(rows_[static_cast<size_t>(r)]);
    }
    rows_.erase(rows_.begin() + at, rows_.begin() + at + count);
}

void Table::removeRowSet(std::span<const int> rows) {
    if (rows.empty()) {
        return;
    }
    size_t next = 0;  // the next listed row
    size_t kept = 0;
    for (size_t r = 0; r < rows_.size(); ++r) {
        while (next < rows.size() && rows[next] < static_cast<int>(r)) {
            ++next;  // below the table or repeated
        }
        if (next < rows.size() && rows[next] == static_cast<int>(r)) {
            releasePhysicalRow(rows_[r]);
            ++next;
            continue;
        }
        rows_[kept++] = rows_[r];
    }
    rows_.resize(kept);
}

void Table::insertColumns(int at, int count) {
    if (count <= 0 || at < 0 || at > columnCount()) {
        return;
    }
    std::vector<std::unique_ptr<Column>> fresh;
    fresh.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        fresh.push_back(std::make_unique<Column>());
    }
    cols_.insert(cols_.begin() + at, std::make_move_iterator(fresh.begin()),
                 std::make_move_iterator(fresh.end()));
}

void Table::removeColumns(int at, int count) {
    if (at < 0 || at >= columnCount() || count <= 0) {
        return;
    }
    count = std::min(count, columnCount() - at);
    cols_.erase(cols_.begin() + at, cols_.begin() + at + count);
}

namespace {
template <typename T>
void moveBlock(std::vector<T>& v, int from, int count, int to) {
    const int size = static_cast<int>(v.size());
    if (count <= 0 || from < 0 || from + count > size || to < 0 || to + count > size ||
        to == from) {
        return;
    }
    auto first = v.begin();
    if (to < from) {
        std::rotate(first + to, first + from, first + from + count);
    } else {
        std::rotate(first + from, first + from + count, first + to + count);
    }
}
}  // namespace

void Table::moveRows(int from, int count, int to) {
    moveBlock(rows_, from, count, to);
}

void Table::moveRowTexts(int from, int count, int to) {
    const int rows = rowCount();
    if (count <= 0 || from < 0 || to < 0 || from + count > rows || to + count > rows ||
        from == to) {
        return;
    }
    const int lo = std::min(from, to);
    const int hi = std::max(from, to) + count - 1;
    const auto span = static_cast<size_t>(hi - lo + 1);
    // The physical rows by position before the move: what is kept by position is re-keyed from
    // these to the rows that stand there afterwards.
    std::vector<uint32_t> before(rows_.begin() + lo, rows_.begin() + hi + 1);
    moveRows(from, count, to);
    auto rekey = [&](auto& byPhysical) {
        if (byPhysical.isEmpty()) {
            return;
        }
        using Value = typename std::remove_reference_t<decltype(byPhysical)>::mapped_type;
        std::vector<std::pair<size_t, Value>> held;
        for (size_t i = 0; i < span; ++i) {
            const auto it = byPhysical.find(before[i]);
            if (it != byPhysical.end()) {
                held.emplace_back(i, it.value());
                byPhysical.erase(it);
            }
        }
        for (const auto& [i, value] : held) {
            byPhysical.insert(rows_[static_cast<size_t>(lo) + i], value);
        }
    };
    for (auto& c : cols_) {
        rekey(c->styles);
    }
    rekey(rowHeights_);
}

void Table::moveColumns(int from, int count, int to) {
    moveBlock(cols_, from, count, to);
}

std::string_view Table::utf8(int row, int col) const {
    if (!inRange(row, col)) {
        return {};
    }
    return column(col)->view(rows_[static_cast<size_t>(row)]);
}

QString Table::text(int row, int col) const {
    const std::string_view v = utf8(row, col);
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}

void Table::setText(int row, int col, QStringView text) {
    if (!inRange(row, col)) {
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    setUtf8(row, col, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void Table::setUtf8(int row, int col, std::string_view text) {
    if (!inRange(row, col) || text.size() > static_cast<size_t>(kMaxTextBytes)) {
        return;
    }
    column(col)->set(rows_[static_cast<size_t>(row)], text);
}

bool Table::appendRow(std::span<const std::string_view> texts) {
    if (texts.size() > cols_.size()) {
        insertColumns(columnCount(), static_cast<int>(texts.size() - cols_.size()));
    }
    bool stored = true;
    if (!freeRows_.empty()) {
        const uint32_t phys = takePhysicalRow();
        rows_.push_back(phys);
        for (size_t i = 0; i < texts.size(); ++i) {
            const Column& c = *cols_[i];
            if (texts[i].size() > kInlineMax &&
                (texts[i].size() > static_cast<size_t>(kMaxTextBytes) ||
                 c.arena.size() + texts[i].size() > std::numeric_limits<uint32_t>::max())) {
                stored = false;
            } else if (!texts[i].empty()) {
                cols_[i]->set(phys, texts[i]);
            }
        }
        return stored;
    }
    // A fresh row at the end of the storage: each cell is built once, in place.
    rows_.push_back(physicalRows_++);
    for (size_t i = 0; i < cols_.size(); ++i) {
        Column& c = *cols_[i];
        Cell cell = 0;
        if (i < texts.size()) {
            const std::string_view text = texts[i];
            if (text.size() <= kInlineMax) {
                if (!text.empty()) {
                    cell = packInline(text);
                }
            } else if (c.arena.size() + text.size() <= std::numeric_limits<uint32_t>::max() &&
                       text.size() <= static_cast<size_t>(kMaxTextBytes)) {
                cell = makeArena(static_cast<uint32_t>(c.arena.size()), text.size());
                c.arena.append(text);
            } else {
                stored = false;
            }
        }
        if (cell != 0) {
            c.cells.at(rows_.back()) = cell;
        }
    }
    return stored;
}

void Table::rowUtf8(int row, std::span<std::string_view> out) const {
    const size_t cols = row >= 0 && row < rowCount() ? cols_.size() : 0;
    const uint32_t phys = cols > 0 ? rows_[static_cast<size_t>(row)] : 0;
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = i < cols ? cols_[i]->view(phys) : std::string_view();
    }
}

void Table::reserveText(int col, size_t bytes) {
    if (col >= 0 && col < columnCount()) {
        Column* c = column(col);
        c->arena.reserve(
            std::min<size_t>(c->arena.size() + bytes, std::numeric_limits<uint32_t>::max()));
        prepareBulkMemory(c->arena.data(), c->arena.capacity());
    }
}

void Table::squeeze() {
    // Only room worth the copy is given back: more than an eighth of what is used.
    const auto shrink = [](auto& v) {
        if (v.capacity() - v.size() > v.size() / 8 + 4096) {
            v.shrink_to_fit();
        }
    };
    shrink(rows_);
    for (auto& c : cols_) {
        shrink(c->arena);
    }
}

void Table::clearCells() {
    for (auto& c : cols_) {
        c->clear();
    }
}

CellStyle Table::style(int row, int col) const {
    if (!inRange(row, col)) {
        return {};
    }
    const Column* c = column(col);
    if (c->styles.isEmpty()) {
        return {};
    }
    return c->styles.value(rows_[static_cast<size_t>(row)]);
}

bool Table::hasStyle(int row, int col) const {
    return inRange(row, col) && !column(col)->styles.isEmpty() &&
           column(col)->styles.contains(rows_[static_cast<size_t>(row)]);
}

void Table::setStyle(int row, int col, const CellStyle& style) {
    if (!inRange(row, col)) {
        return;
    }
    Column* c = column(col);
    const uint32_t phys = rows_[static_cast<size_t>(row)];
    if (style.isDefault()) {
        c->styles.remove(phys);
    } else {
        c->styles.insert(phys, style);
    }
}

bool Table::hasAnyStyle() const {
    return std::any_of(cols_.begin(), cols_.end(),
                       [](const auto& c) { return !c->styles.isEmpty(); });
}

const ColumnAttributes& Table::columnAttributes(int col) const {
    static const ColumnAttributes kNone;
    return col >= 0 && col < columnCount() ? column(col)->attrs : kNone;
}

void Table::setColumnAttributes(int col, const ColumnAttributes& attrs) {
    if (col < 0 || col >= columnCount()) {
        return;
    }
    Column* c = column(col);
    const bool pictureChanged =
        c->attrs.format != attrs.format || c->attrs.dataType != attrs.dataType;
    c->attrs = attrs;
    if (pictureChanged) {
        c->display = DisplayFormat(attrs.format, attrs.dataType);
    }
}

const DisplayFormat& Table::displayFormat(int col) const {
    static const DisplayFormat kIdentity;
    return col >= 0 && col < columnCount() ? column(col)->display : kIdentity;
}

int Table::rowHeight(int row) const {
    if (row < 0 || row >= rowCount() || rowHeights_.isEmpty()) {
        return kDefaultRowHeight;
    }
    return rowHeights_.value(rows_[static_cast<size_t>(row)], kDefaultRowHeight);
}

void Table::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    twips = std::max(twips, 0);
    const uint32_t phys = rows_[static_cast<size_t>(row)];
    if (twips == kDefaultRowHeight) {
        rowHeights_.remove(phys);
    } else {
        rowHeights_.insert(phys, twips);
    }
}

std::vector<int> Table::rowsWithHeight() const {
    std::vector<int> out;
    if (rowHeights_.isEmpty()) {
        return out;
    }
    for (int r = 0; r < rowCount(); ++r) {
        if (rowHeights_.contains(rows_[static_cast<size_t>(r)])) {
            out.push_back(r);
        }
    }
    return out;
}

namespace {

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

// Case-insensitive comparison of two texts, ASCII letters folded in place; texts with other
// letters arrive already case-folded.
int compareFolded(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = foldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char cb = foldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

void Table::sortRows(int first, int last, int col, bool ascending) {
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (col < 0 || col >= columnCount() || last - first < 1) {
        return;
    }
    const Column* c = column(col);
    const auto begin = rows_.begin() + first;
    const auto end = rows_.begin() + last + 1;

    // Empty cells go last whatever the order.
    const auto filledEnd =
        std::stable_partition(begin, end, [c](uint32_t phys) { return !c->view(phys).empty(); });
    const auto count = static_cast<size_t>(filledEnd - begin);
    if (count < 2) {
        return;
    }

    // Numbers first, then dates, else text.
    struct NumberKey {
        double key;
        uint32_t phys;
    };
    std::vector<NumberKey> numbers;
    numbers.reserve(count);
    bool allNumbers = true;
    for (auto it = begin; it != filledEnd; ++it) {
        const auto v = parseNumber(c->view(*it));
        if (!v) {
            allNumbers = false;
            break;
        }
        numbers.push_back({*v, *it});
    }
    bool allDates = false;
    if (!allNumbers) {
        numbers.clear();
        allDates = true;
        for (auto it = begin; it != filledEnd; ++it) {
            const auto v = parseDateSerial(c->view(*it));
            if (!v) {
                allDates = false;
                break;
            }
            numbers.push_back({*v, *it});
        }
    }
    if (allNumbers || allDates) {
        if (ascending) {
            std::stable_sort(numbers.begin(), numbers.end(),
                             [](const NumberKey& a, const NumberKey& b) { return a.key < b.key; });
        } else {
            std::stable_sort(numbers.begin(), numbers.end(),
                             [](const NumberKey& a, const NumberKey& b) { return b.key < a.key; });
        }
        for (size_t i = 0; i < count; ++i) {
            *(begin + static_cast<std::ptrdiff_t>(i)) = numbers[i].phys;
        }
        return;
    }
    std::vector<NumberKey>().swap(numbers);

    struct TextKey {
        std::string_view key;
        uint32_t phys;
    };
    std::vector<TextKey> texts;
    texts.reserve(count);
    std::vector<QByteArray> folded;  // keys of texts with letters beyond ASCII
    for (auto it = begin; it != filledEnd; ++it) {
        std::string_view v = c->view(*it);
        if (!isAscii(v)) {
            folded.push_back(QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()))
                                 .toCaseFolded()
                                 .toUtf8());
        }
        texts.push_back({v, *it});
    }
    // Point the non-ASCII keys at their folded forms (the vector no longer grows).
    size_t f = 0;
    for (auto& t : texts) {
        if (!isAscii(t.key)) {
            t.key = std::string_view(folded[f].constData(), static_cast<size_t>(folded[f].size()));
            ++f;
        }
    }
    if (ascending) {
        std::stable_sort(texts.begin(), texts.end(), [](const TextKey& a, const TextKey& b) {
            return compareFolded(a.key, b.key) < 0;
        });
    } else {
        std::stable_sort(texts.begin(), texts.end(), [](const TextKey& a, const TextKey& b) {
            return compareFolded(b.key, a.key) < 0;
        });
    }
    for (size_t i = 0; i < count; ++i) {
        *(begin + static_cast<std::ptrdiff_t>(i)) = texts[i].phys;
    }
}

}  // namespace pellumar
