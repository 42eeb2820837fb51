#include "core/grid/ModelChanges.h"

#include "core/grid/GridModel.h"

#include <limits>
#include <new>

namespace pellumar {

void CellTexts::append(std::string_view text) {
    if (text.empty() && bytes_.empty()) {
        ++count_;
        return;
    }
    if (ends_.empty() && count_ > 0) {
        ends_.assign(count_, 0);  // the empty texts so far
    }
    if (bytes_.size() + text.size() > std::numeric_limits<uint32_t>::max()) {
        throw std::bad_alloc();
    }
    bytes_.append(text);
    ends_.push_back(static_cast<uint32_t>(bytes_.size()));
    ++count_;
}

std::string_view CellTexts::at(size_t i) const {
    if (i >= ends_.size()) {
        return {};
    }
    const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(begin, ends_[i] - begin);
}

namespace {

size_t spanBytes(const RowSpan& rows) {
    return rows.list.capacity() * sizeof(int);
}

// Texts and styles of an area. The table holds one side of the change, the step the other: an
// undo or a redo swaps them, so a change keeps one copy of its cells, not two (a Paste keeps the
// texts it wrote over, an Append onto new records next to nothing).
class CellsChange : public TableChange {
public:
    CellsChange(GridModel& model, CellArea area, CellTexts texts, StyleRuns styles, bool hasTexts,
                bool hasStyles)
        : model_(model),
          area_(std::move(area)),
          texts_(std::move(texts)),
          styles_(std::move(styles)),
          hasTexts_(hasTexts),
          hasStyles_(hasStyles) {}

    void undo() override { swap(); }
    void redo() override { swap(); }
    std::optional<std::pair<int, int>> place() const override {
        return std::pair(area_.rows.first(), area_.left);
    }
    size_t bytes() const override {
        return sizeof(*this) + spanBytes(area_.rows) + texts_.bytes() +
               styles_.capacity() * sizeof(StyleRun);
    }

private:
    void swap() {
        if (hasTexts_) {
            CellTexts other = model_.readTexts(area_);
            model_.writeTexts(area_, texts_);
            texts_ = std::move(other);
        }
        if (hasStyles_) {
            StyleRuns other = model_.readStyles(area_);
            model_.writeStyles(area_, styles_);
            styles_ = std::move(other);
        }
    }

    GridModel& model_;
    CellArea area_;
    CellTexts texts_;  // the side the table does not hold
    StyleRuns styles_;
    bool hasTexts_;
    bool hasStyles_;
};

class HeightsChange : public TableChange {
public:
    HeightsChange(GridModel& model, RowSpan rows, HeightRuns before, HeightRuns after)
        : model_(model),
          rows_(std::move(rows)),
          before_(std::move(before)),
          after_(std::move(after)) {}
    void undo() override { model_.writeHeights(rows_, before_); }
    std::optional<std::pair<int, int>> place() const override {
        return std::pair(rows_.first(), -1);
    }
    void redo() override { model_.writeHeights(rows_, after_); }
    size_t bytes() const override {
        return sizeof(*this) + spanBytes(rows_) +
               (before_.capacity() + after_.capacity()) * sizeof(HeightRun);
    }

private:
    GridModel& model_;
    RowSpan rows_;
    HeightRuns before_;
    HeightRuns after_;
};

class AttributesChange : public TableChange {
public:
    AttributesChange(GridModel& model, int first, std::vector<ColumnAttributes> before,
                     std::vector<ColumnAttributes> after)
        : model_(model), first_(first), before_(std::move(before)), after_(std::move(after)) {}
    void undo() override { model_.writeAttributes(first_, before_); }
    std::optional<std::pair<int, int>> place() const override { return std::pair(-1, first_); }
    void redo() override { model_.writeAttributes(first_, after_); }
    size_t bytes() const override {
        size_t bytes = sizeof(*this);
        for (const auto* list : {&before_, &after_}) {
            for (const ColumnAttributes& a : *list) {
                bytes += sizeof(a) + static_cast<size_t>(a.format.size() + a.comboList.size()) * 2;
            }
        }
        return bytes;
    }

private:
    GridModel& model_;
    int first_;
    std::vector<ColumnAttributes> before_;
    std::vector<ColumnAttributes> after_;
};

class RowsAddedChange : public TableChange {
public:
    RowsAddedChange(GridModel& model, int at, int count) : model_(model), at_(at), count_(count) {}
    void undo() override { model_.dropRows(at_, count_); }
    std::optional<std::pair<int, int>> place() const override { return std::pair(at_, -1); }
    void redo() override { model_.insertRowsAt(at_, count_); }
    size_t bytes() const override { return sizeof(*this); }

private:
    GridModel& model_;
    int at_;
    int count_;
};

class RowsRemovedChange : public TableChange {
public:
    RowsRemovedChange(GridModel& model, std::vector<int> rows, std::vector<uint32_t> ids,
                      uint64_t generation)
        : model_(model), rows_(std::move(rows)), ids_(std::move(ids)), generation_(generation) {
        heldBytes_ = model_.table().detachedBytes(ids_);
    }
    std::optional<std::pair<int, int>> place() const override {
        return std::pair(rows_.front(), -1);
    }
    void undo() override {
        model_.attachRows(rows_, ids_);
        ids_ = {};
    }
    void redo() override {
        ids_ = model_.detachRows(rows_);
        heldBytes_ = model_.table().detachedBytes(ids_);
    }
    size_t bytes() const override {
        return sizeof(*this) + rows_.capacity() * sizeof(int) + heldBytes_;
    }
    void release() override {
        // Rows of a table that has been loaded over since are gone with it.
        const EditRecorder* recorder = model_.recorder();
        if (recorder && recorder->generation() == generation_) {
            model_.releaseRows(ids_);
        }
        ids_ = {};
        heldBytes_ = 0;
    }

private:
    GridModel& model_;
    std::vector<int> rows_;
    std::vector<uint32_t> ids_;  // while done: the rows kept aside
    uint64_t generation_;
    size_t heldBytes_ = 0;
};

class ColumnsAddedChange : public TableChange {
public:
    ColumnsAddedChange(GridModel& model, int at, int count)
        : model_(model), at_(at), count_(count) {}
    void undo() override { model_.removeColumnsAt(at_, count_); }
    std::optional<std::pair<int, int>> place() const override { return std::pair(-1, at_); }
    void redo() override { model_.insertColumnsAt(at_, count_); }
    size_t bytes() const override { return sizeof(*this); }

private:
    GridModel& model_;
    int at_;
    int count_;
};

class ColumnsRemovedChange : public TableChange {
public:
    ColumnsRemovedChange(GridModel& model, int at, Table::ColumnSet columns)
        : model_(model), at_(at), count_(columns.count()), columns_(std::move(columns)) {}
    void undo() override { model_.putColumns(at_, std::move(columns_)); }
    std::optional<std::pair<int, int>> place() const override { return std::pair(-1, at_); }
    void redo() override { columns_ = model_.takeColumns(at_, count_); }
    size_t bytes() const override { return sizeof(*this) + columns_.bytes(); }
    void release() override { columns_ = {}; }

private:
    GridModel& model_;
    int at_;
    int count_;
    Table::ColumnSet columns_;  // while done
};

class RowsMovedChange : public TableChange {
public:
    RowsMovedChange(GridModel& model, int from, int count, int to, bool textsOnly)
        : model_(model), from_(from), count_(count), to_(to), textsOnly_(textsOnly) {}
    void undo() override { move(to_, from_); }
    std::optional<std::pair<int, int>> place() const override {
        return std::pair(std::min(from_, to_), -1);
    }
    void redo() override { move(from_, to_); }
    size_t bytes() const override { return sizeof(*this); }

private:
    void move(int from, int to) {
        if (textsOnly_) {
            model_.moveRowTexts(from, count_, to);
        } else {
            model_.moveRowBlock(from, count_, to);
        }
    }

    GridModel& model_;
    int from_;
    int count_;
    int to_;
    bool textsOnly_;
};

class ColumnMovedChange : public TableChange {
public:
    ColumnMovedChange(GridModel& model, int from, int to) : model_(model), from_(from), to_(to) {}
    void undo() override { model_.moveColumn(to_, from_); }
    std::optional<std::pair<int, int>> place() const override {
        return std::pair(-1, std::min(from_, to_));
    }
    void redo() override { model_.moveColumn(from_, to_); }
    size_t bytes() const override { return sizeof(*this); }

private:
    GridModel& model_;
    int from_;
    int to_;
};

class RowOrderChange : public TableChange {
public:
    RowOrderChange(GridModel& model, int first, std::vector<int> order)
        : model_(model), first_(first), order_(std::move(order)) {}
    void undo() override {
        std::vector<int> back(order_.size());
        for (size_t i = 0; i < order_.size(); ++i) {
            back[static_cast<size_t>(order_[i])] = static_cast<int>(i);
        }
        apply(back);
    }
    void redo() override { apply(order_); }
    size_t bytes() const override { return sizeof(*this) + order_.capacity() * sizeof(int); }

private:
    void apply(std::span<const int> order) {
        if (model_.fixedRows() == first_) {
            model_.reorderRecords(order);
        }
    }

    GridModel& model_;
    int first_;
    std::vector<int> order_;
};

class ValueChange : public TableChange {
public:
    ValueChange(std::function<void()> undo, std::function<void()> redo, size_t bytes)
        : undo_(std::move(undo)), redo_(std::move(redo)), bytes_(bytes) {}
    void undo() override { undo_(); }
    void redo() override { redo_(); }
    size_t bytes() const override { return sizeof(*this) + bytes_; }

private:
    std::function<void()> undo_;
    std::function<void()> redo_;
    size_t bytes_;
};

}  // namespace

std::unique_ptr<TableChange> cellsChange(GridModel& model, CellArea area, CellTexts texts,
                                         StyleRuns styles, bool hasTexts, bool hasStyles) {
    return std::make_unique<CellsChange>(model, std::move(area), std::move(texts),
                                         std::move(styles), hasTexts, hasStyles);
}

std::unique_ptr<TableChange> heightsChange(GridModel& model, RowSpan rows, HeightRuns before,
                                           HeightRuns after) {
    return std::make_unique<HeightsChange>(model, std::move(rows), std::move(before),
                                           std::move(after));
}

std::unique_ptr<TableChange> attributesChange(GridModel& model, int first,
                                              std::vector<ColumnAttributes> before,
                                              std::vector<ColumnAttributes> after) {
    return std::make_unique<AttributesChange>(model, first, std::move(before), std::move(after));
}

std::unique_ptr<TableChange> rowsAddedChange(GridModel& model, int at, int count) {
    return std::make_unique<RowsAddedChange>(model, at, count);
}

std::unique_ptr<TableChange> rowsRemovedChange(GridModel& model, std::vector<int> rows,
                                               std::vector<uint32_t> ids, uint64_t generation) {
    return std::make_unique<RowsRemovedChange>(model, std::move(rows), std::move(ids), generation);
}

std::unique_ptr<TableChange> columnsAddedChange(GridModel& model, int at, int count) {
    return std::make_unique<ColumnsAddedChange>(model, at, count);
}

std::unique_ptr<TableChange> columnsRemovedChange(GridModel& model, int at,
                                                  Table::ColumnSet columns) {
    return std::make_unique<ColumnsRemovedChange>(model, at, std::move(columns));
}

std::unique_ptr<TableChange> rowsMovedChange(GridModel& model, int from, int count, int to,
                                             bool textsOnly) {
    return std::make_unique<RowsMovedChange>(model, from, count, to, textsOnly);
}

std::unique_ptr<TableChange> columnMovedChange(GridModel& model, int from, int to) {
    return std::make_unique<ColumnMovedChange>(model, from, to);
}

std::unique_ptr<TableChange> rowOrderChange(GridModel& model, int first, std::vector<int> order) {
    return std::make_unique<RowOrderChange>(model, first, std::move(order));
}

std::unique_ptr<TableChange> valueChange(std::function<void()> undo, std::function<void()> redo,
                                         size_t bytes) {
    return std::make_unique<ValueChange>(std::move(undo), std::move(redo), bytes);
}

}  // namespace pellumar
