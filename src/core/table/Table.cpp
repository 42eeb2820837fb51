#include "core/table/Table.h"

#include "core/table/TableColumn.h"

#include "core/columns/CellValue.h"

#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace pellumar {

using namespace table_storage;

Table::Column& Table::writable(std::shared_ptr<const Column>& column) {
    if (column.use_count() > 1) {
        column = std::make_shared<Column>(*column);
    } else {
        // A snapshot that shared the column may have let it go on its own thread just now: its
        // reads come before the changes made here.
        std::atomic_thread_fence(std::memory_order_acquire);
    }
    // Every column is made as a non-const Column; only the pointer is to const.
    return const_cast<Column&>(*column);
}

Table Table::snapshot() const {
    Table copy;
    copy.rowMap_ = rowMap_;
    copy.mapped_ = mapped_;
    copy.freeRows_ = freeRows_;
    copy.physicalRows_.count = physicalRows_.count;
    copy.cols_ = cols_;
    if (palette_) {
        copy.palette_ = std::make_unique<StylePalette>(*palette_);
    }
    copy.rowHeights_ = rowHeights_;
    return copy;
}

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

void Table::mapRows() {
    if (!mapped_) {
        rowMap_.resize(physicalRows_.count);
        std::iota(rowMap_.begin(), rowMap_.end(), uint32_t{0});
        mapped_ = true;
    }
}

void Table::setStorageLimit(size_t bytes) {
    budget_.limit = bytes;
    budget_.used = storageBytes();
}

void Table::clearStorageLimit() {
    setStorageLimit(std::numeric_limits<size_t>::max());
}

size_t Table::storageBytes() const {
    size_t bytes = (rowMap_.size() + freeRows_.capacity()) * sizeof(uint32_t);
    for (const auto& c : cols_) {
        bytes += c->cells.bytes() + c->arena.capacity();
    }
    return bytes;
}

uint32_t Table::takePhysicalRow() {
    if (!freeRows_.empty()) {
        const uint32_t phys = freeRows_.back();
        freeRows_.pop_back();
        return phys;
    }
    return physicalRows_.count++;
}

void Table::releasePhysicalRows(std::span<const uint32_t> ids) {
    if (ids.empty()) {
        return;
    }
    // Styles and heights of the rows go in one pass over their runs, however scattered the rows.
    const auto clear = [ids](auto& values) {
        if (!values.empty()) {
            values.remap(
                ids.size(), [ids](size_t j) { return ids[j]; },
                [](auto old) { return decltype(old){}; });
        }
    };
    for (auto& c : cols_) {
        Column& w = writable(c);
        for (const uint32_t phys : ids) {
            w.release(phys);
        }
        clear(w.styles);
    }
    clear(rowHeights_);
    freeRows_.insert(freeRows_.end(), ids.begin(), ids.end());
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
    if (count <= 0 || at < 0 || at > rowCount() || !rowsFit(rowCount(), count)) {
        return;
    }
    if (!mapped_ && at == rowCount()) {
        physicalRows_.count += static_cast<uint32_t>(count);  // rows at the end keep the order
        return;
    }
    mapRows();
    const auto n = static_cast<size_t>(count);
    if (freeRows_.size() < n) {
        const size_t grow = n - freeRows_.size();
        for (size_t i = 0; i < grow; ++i) {
            freeRows_.push_back(physicalRows_.count + static_cast<uint32_t>(grow - 1 - i));
        }
        physicalRows_.count += static_cast<uint32_t>(grow);
    }
    std::vector<uint32_t> fresh(n);
    for (auto& phys : fresh) {
        phys = freeRows_.back();
        freeRows_.pop_back();
    }
    rowMap_.insert(rowMap_.begin() + at, fresh.begin(), fresh.end());
}

void Table::removeRows(int at, int count) {
    if (at < 0 || at >= rowCount() || count <= 0) {
        return;
    }
    count = std::min(count, rowCount() - at);
    if (count == rowCount()) {
        // Dropping every row: start the storage afresh.
        rowMap_.clear();
        rowMap_.shrink_to_fit();
        mapped_ = false;
        freeRows_.clear();
        freeRows_.shrink_to_fit();
        physicalRows_.count = 0;
        for (auto& c : cols_) {
            // A fresh column keeping the attributes (a snapshot may still share the old one).
            auto fresh = std::make_shared<Column>();
            fresh->attrs = c->attrs;
            fresh->display = c->display;
            c = std::move(fresh);
        }
        rowHeights_.clear();
        palette_.reset();
        return;
    }
    mapRows();
    releasePhysicalRows(
        std::span(rowMap_).subspan(static_cast<size_t>(at), static_cast<size_t>(count)));
    rowMap_.erase(rowMap_.begin() + at, rowMap_.begin() + at + count);
}

void Table::removeRowSet(std::span<const int> rows) {
    if (rows.empty()) {
        return;
    }
    mapRows();
    size_t next = 0;  // the next listed row
    size_t kept = 0;
    std::vector<uint32_t> removed;
    for (size_t r = 0; r < rowMap_.size(); ++r) {
        while (next < rows.size() && rows[next] < static_cast<int>(r)) {
            ++next;  // below the table or repeated
        }
        if (next < rows.size() && rows[next] == static_cast<int>(r)) {
            removed.push_back(rowMap_[r]);
            ++next;
            continue;
        }
        rowMap_[kept++] = rowMap_[r];
    }
    rowMap_.resize(kept);
    releasePhysicalRows(removed);
}

void Table::insertColumns(int at, int count) {
    if (count <= 0 || at < 0 || at > columnCount() || !columnsFit(columnCount(), count)) {
        return;
    }
    std::vector<std::shared_ptr<const Column>> fresh;
    fresh.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        fresh.push_back(std::make_shared<Column>());
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
    if (count > 0 && from != to) {
        mapRows();
    }
    moveBlock(rowMap_, from, count, to);
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
    // The physical rows by position before the move: what is kept by position goes from these
    // to the rows that stand there afterwards.
    mapRows();
    std::vector<uint32_t> before(rowMap_.begin() + lo, rowMap_.begin() + hi + 1);
    moveRows(from, count, to);
    auto keepInPlace = [&](auto& byPhysical) {
        if (byPhysical.empty()) {
            return;
        }
        std::vector<std::pair<uint32_t, decltype(byPhysical.get(0))>> held(span);
        for (size_t i = 0; i < span; ++i) {
            held[i] = {rowMap_[static_cast<size_t>(lo) + i], byPhysical.get(before[i])};
        }
        byPhysical.assign(std::move(held));
    };
    for (auto& c : cols_) {
        if (!c->styles.empty()) {
            keepInPlace(writable(c).styles);
        }
    }
    keepInPlace(rowHeights_);
}

void Table::moveColumns(int from, int count, int to) {
    moveBlock(cols_, from, count, to);
}

std::string_view Table::utf8(int row, int col) const {
    if (!inRange(row, col)) {
        return {};
    }
    return column(col)->view(physical(row));
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
    (void)writableColumn(col)->set(physical(row), text, budget_);
}

Table::AppendResult Table::appendRow(std::span<const std::string_view> texts) {
    if (texts.size() > cols_.size()) {
        if (texts.size() > static_cast<size_t>(kMaxColumns)) {
            return AppendResult::TooWide;
        }
        insertColumns(columnCount(), static_cast<int>(texts.size() - cols_.size()));
    }
    if (rowCount() >= kMaxRows) {
        return AppendResult::TooLong;
    }
    if (mapped_ && !budget_.take(sizeof(uint32_t))) {
        return AppendResult::OverLimit;
    }
    AppendResult result = AppendResult::Stored;
    if (!freeRows_.empty()) {
        const uint32_t phys = takePhysicalRow();
        rowMap_.push_back(phys);
        for (size_t i = 0; i < texts.size(); ++i) {
            const Column& c = *cols_[i];
            if (texts[i].size() > kInlineMax &&
                (texts[i].size() > static_cast<size_t>(kMaxTextBytes) ||
                 c.arena.size() + texts[i].size() > std::numeric_limits<uint32_t>::max())) {
                result = AppendResult::TextTooLong;
            } else if (!texts[i].empty() && !writable(cols_[i]).set(phys, texts[i], budget_)) {
                return AppendResult::OverLimit;
            }
        }
        return result;
    }
    // A fresh row at the end of the storage: its cells are empty until written, and each text is
    // built once, in place; empty texts take no room.
    const uint32_t phys = physicalRows_.count++;
    if (mapped_) {
        rowMap_.push_back(phys);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string_view text = texts[i];
        if (text.empty()) {
            continue;
        }
        Column& c = writable(cols_[i]);
        Cell cell;
        if (text.size() <= kInlineMax) {
            cell = packInline(text);
        } else if (c.arena.size() + text.size() <= std::numeric_limits<uint32_t>::max() &&
                   text.size() <= static_cast<size_t>(kMaxTextBytes)) {
            if (!growArena(c.arena, text.size(), budget_)) {
                return refuse(texts, i, phys);
            }
            cell = makeArena(static_cast<uint32_t>(c.arena.size()), text.size());
            c.arena.append(text);
        } else {
            result = AppendResult::TextTooLong;
            continue;
        }
        Cell* slot = c.cells.at(phys, budget_);
        if (!slot) {
            return refuse(texts, i, phys);
        }
        *slot = cell;
    }
    return result;
}

Table::AppendResult Table::refuse(std::span<const std::string_view> texts, size_t from,
                                  uint32_t phys) {
    shortfall_ = 0;
    for (size_t i = from; i < texts.size() && i < cols_.size(); ++i) {
        if (!texts[i].empty()) {
            shortfall_ += cols_[i]->cells.growthFor(phys) +
                          (texts[i].size() > kInlineMax ? texts[i].size() : 0);
        }
    }
    return AppendResult::OverLimit;
}

void Table::rowUtf8(int row, std::span<std::string_view> out) const {
    const size_t cols = row >= 0 && row < rowCount() ? cols_.size() : 0;
    const uint32_t phys = cols > 0 ? physical(row) : 0;
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = i < cols ? cols_[i]->view(phys) : std::string_view();
    }
}

void Table::columnUtf8(int col, int firstRow, std::span<std::string_view> out) const {
    const Column* c = col >= 0 && col < columnCount() ? column(col) : nullptr;
    for (size_t i = 0; i < out.size(); ++i) {
        const int64_t row = int64_t(firstRow) + int64_t(i);
        out[i] = c && row >= 0 && row < rowCount() ? c->view(physical(static_cast<int>(row)))
                                                   : std::string_view();
    }
}

void Table::squeeze() {
    // Only room worth the copy is given back: more than an eighth of what is used.
    const auto shrink = [](auto& v) {
        if (v.capacity() - v.size() > v.size() / 8 + 4096) {
            v.shrink_to_fit();
        }
    };
    shrink(rowMap_);
    for (auto& c : cols_) {
        if (c->arena.capacity() - c->arena.size() > c->arena.size() / 8 + 4096) {
            shrink(writable(c).arena);
        }
    }
}

void Table::clearCells() {
    for (auto& c : cols_) {
        writable(c).clear();
    }
    palette_.reset();
}

// The distinct styles of a table, each kept once; index 0 is the default style.
struct Table::StylePalette {
    struct Hash {
        size_t operator()(const CellStyle& s) const {
            // +0.0f folds -0 into 0, which compare equal.
            uint64_t h = (uint64_t{s.foreColor} << 32) ^ s.backColor;
            h = h * 0x9E3779B97F4A7C15ull ^ std::bit_cast<uint32_t>(s.fontSize + 0.0f);
            h = h * 0x9E3779B97F4A7C15ull ^
                (uint64_t(uint8_t(s.alignment)) | uint64_t(uint8_t(s.pictureAlignment)) << 8 |
                 uint64_t(s.picture) << 16 | uint64_t(s.checkState) << 24 | uint64_t(s.bold) << 32 |
                 uint64_t(s.italic) << 33 | uint64_t(s.underline) << 34);
            return static_cast<size_t>(h ^ (h >> 29));
        }
    };

    std::vector<CellStyle> styles{CellStyle{}};
    std::unordered_map<CellStyle, uint32_t, Hash> ids{{CellStyle{}, 0}};

    uint32_t intern(CellStyle s) {
        if (std::isnan(s.fontSize)) {
            s.fontSize = 0;  // a style must equal itself to be found again
        }
        const auto [it, fresh] = ids.try_emplace(s, static_cast<uint32_t>(styles.size()));
        if (fresh) {
            styles.push_back(s);
        }
        return it->second;
    }
};

Table::StylePalette& Table::palette() {
    if (!palette_) {
        palette_ = std::make_unique<StylePalette>();
    }
    return *palette_;
}

CellStyle Table::style(int row, int col) const {
    if (!inRange(row, col) || !palette_) {
        return {};
    }
    return palette_->styles[column(col)->styles.get(physical(row))];
}

bool Table::hasStyle(int row, int col) const {
    return inRange(row, col) && column(col)->styles.get(physical(row)) != 0;
}

void Table::setStyle(int row, int col, const CellStyle& style) {
    if (!inRange(row, col)) {
        return;
    }
    const uint32_t id = style.isDefault() ? 0 : palette().intern(style);
    writableColumn(col)->styles.set(physical(row), id);
}

bool Table::hasAnyStyle() const {
    return std::any_of(cols_.begin(), cols_.end(),
                       [](const auto& c) { return !c->styles.empty(); });
}

void Table::setStyles(int row1, int col1, int row2, int col2, const CellStyle& style) {
    changeStyles(row1, col1, row2, col2, [&style](CellStyle& s) { s = style; });
}

void Table::changeStyles(int row1, int col1, int row2, int col2,
                         const std::function<void(CellStyle&)>& change) {
    const int top = std::max(std::min(row1, row2), 0);
    const int bottom = std::min(std::max(row1, row2), rowCount() - 1);
    const int left = std::max(std::min(col1, col2), 0);
    const int right = std::min(std::max(col1, col2), columnCount() - 1);
    if (top > bottom || left > right) {
        return;
    }
    StylePalette& p = palette();
    // Each style found in the block is changed once: its new index, by its old one.
    constexpr uint32_t kNotYet = std::numeric_limits<uint32_t>::max();
    std::vector<uint32_t> changed(p.styles.size(), kNotYet);
    const auto newIndex = [&](uint32_t old) {
        if (changed[old] == kNotYet) {
            CellStyle s = p.styles[old];
            change(s);
            changed[old] = s.isDefault() ? 0 : p.intern(s);
        }
        return changed[old];
    };
    for (int c = left; c <= right; ++c) {
        if (!mapped_) {
            writableColumn(c)->styles.remapRange(static_cast<uint32_t>(top),
                                                 static_cast<uint32_t>(bottom - top + 1), newIndex);
            continue;
        }
        writableColumn(c)->styles.remap(
            static_cast<size_t>(bottom - top + 1),
            [this, top](size_t j) { return physical(top + static_cast<int>(j)); }, newIndex);
    }
}

void Table::forEachStyleRun(const std::function<void(int col, int firstRow, int count,
                                                     const CellStyle& style)>& run) const {
    if (!palette_) {
        return;
    }
    const int rows = rowCount();
    for (int c = 0; c < columnCount(); ++c) {
        const StyleIndexes& styles = column(c)->styles;
        if (styles.empty()) {
            continue;
        }
        if (!mapped_) {
            // Row r is physical row r: the runs are the column's own.
            forEachRun(styles, 0, rows - 1, [&](int first, int count, uint32_t id) {
                run(c, first, count, palette_->styles[id]);
            });
            continue;
        }
        int first = 0;
        uint32_t id = 0;
        for (int r = 0; r <= rows; ++r) {
            const uint32_t next = r < rows ? styles.get(physical(r)) : 0;
            if (next == id) {
                continue;
            }
            if (id != 0) {
                run(c, first, r - first, palette_->styles[id]);
            }
            first = r;
            id = next;
        }
    }
}

void Table::forEachStyleRun(
    int col, int first, int last,
    const std::function<void(int firstRow, int count, const CellStyle& style)>& run) const {
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (!palette_ || col < 0 || col >= columnCount() || first > last ||
        column(col)->styles.empty()) {
        return;
    }
    const StyleIndexes& styles = column(col)->styles;
    if (!mapped_) {
        forEachRun(styles, first, last,
                   [&](int top, int count, uint32_t id) { run(top, count, palette_->styles[id]); });
        return;
    }
    int from = first;
    uint32_t id = 0;
    for (int r = first; r <= last + 1; ++r) {
        const uint32_t next = r <= last ? styles.get(physical(r)) : 0;
        if (next == id) {
            continue;
        }
        if (id != 0) {
            run(from, r - from, palette_->styles[id]);
        }
        from = r;
        id = next;
    }
}

const ColumnAttributes& Table::columnAttributes(int col) const {
    static const ColumnAttributes kNone;
    return col >= 0 && col < columnCount() ? column(col)->attrs : kNone;
}

void Table::setColumnAttributes(int col, const ColumnAttributes& attrs) {
    if (col < 0 || col >= columnCount()) {
        return;
    }
    Column* c = writableColumn(col);
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
    if (row < 0 || row >= rowCount()) {
        return kDefaultRowHeight;
    }
    return kDefaultRowHeight + rowHeights_.get(physical(row));
}

void Table::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    twips = std::clamp(twips, 0, kMaxRowHeight);
    rowHeights_.set(physical(row), twips - kDefaultRowHeight);
}

void Table::setRowHeights(int first, int count, int twips) {
    const int64_t end = std::min<int64_t>(int64_t{first} + count, rowCount());
    first = std::max(first, 0);
    if (end <= first) {
        return;
    }
    twips = std::clamp(twips, 0, kMaxRowHeight);
    if (!mapped_) {
        rowHeights_.setRange(static_cast<uint32_t>(first), static_cast<uint32_t>(end - first),
                             twips - kDefaultRowHeight);
        return;
    }
    for (int r = first; r < end; ++r) {
        rowHeights_.set(physical(r), twips - kDefaultRowHeight);
    }
}

std::vector<int> Table::rowsWithHeight() const {
    std::vector<int> out;
    if (rowHeights_.empty()) {
        return out;
    }
    out.reserve(rowHeights_.count());
    for (int r = 0; r < rowCount(); ++r) {
        if (rowHeights_.get(physical(r)) != 0) {
            out.push_back(r);
        }
    }
    return out;
}

std::string_view Table::cellView(const Column* column, uint32_t phys) {
    return column->view(phys);
}

}  // namespace pellumar
