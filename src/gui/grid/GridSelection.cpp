// The grid's selection kinds and its lists of records picked one by one (Ctrl+click and
// Ctrl+Shift+click in whole-row selection), read as the selected rows.
#include "gui/grid/GridControl.h"

#include "gui/grid/GridStyleProxy.h"

#include <QMouseEvent>

#include <algorithm>
#include <utility>

namespace pellumar {

void GridControl::extendRowSelection() {
    // Whole rows take in the columns added to them.
    if (selectionKind_ == SelectionByRow && currentIndex().isValid()) {
        select(row(), col(), selectionEndRow(), selectionEndCol(), false);
    }
}

void GridControl::setSelectionKind(int kind) {
    endRowList();
    selectionKind_ = kind == SelectionByRow ? SelectionByRow : SelectionFree;
    setSelectionBehavior(selectionKind_ == SelectionByRow ? SelectRows : SelectItems);
}

int GridControl::selectedRows() const {
    if (listActive_) {
        return static_cast<int>(listed_.size());
    }
    if (!currentIndex().isValid()) {
        return 0;
    }
    return selectionBottom() - selectionTop() + 1;
}

int GridControl::selectedRow(int n) const {
    if (n < 0 || n >= selectedRows()) {
        return -1;
    }
    return listActive_ ? listed_[static_cast<size_t>(n)] : selectionTop() + n;
}

std::vector<int> GridControl::selectedRowList() const {
    if (listActive_) {
        return listed_;
    }
    std::vector<int> rows(static_cast<size_t>(selectedRows()));
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i] = selectionTop() + static_cast<int>(i);
    }
    return rows;
}

bool GridControl::isRowListed(int row) const {
    return listActive_ && std::binary_search(listed_.begin(), listed_.end(), row);
}

void GridControl::selectRowList(std::vector<int> rows) {
    const int fixed = model_->fixedRows();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](int r) { return r < fixed || r >= this->rows(); }),
               rows.end());
    if (selectionKind_ != SelectionByRow || rows.empty() || cols() == 0) {
        return;
    }
    select(rows.front(), 0, rows.front(), cols() - 1);
    listed_ = std::move(rows);
    listActive_ = true;
    viewport()->update();
    emit selChanged();
}

void GridControl::endRowList() {
    if (listActive_) {
        listActive_ = false;
        listed_.clear();
        viewport()->update();
    }
}

void GridControl::listClick(QMouseEvent* event, const QModelIndex& index) {
    const int clicked = toTableRow(index);
    std::vector<int> rows = selectedRowList();
    bool adding = true;
    if (event->modifiers() & Qt::ShiftModifier) {
        for (int r = std::min(row(), clicked); r <= std::max(row(), clicked); ++r) {
            rows.push_back(r);
        }
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    } else {
        const auto at = std::lower_bound(rows.begin(), rows.end(), clicked);
        adding = at == rows.end() || *at != clicked;
        if (adding) {
            rows.insert(at, clicked);
        } else {
            rows.erase(at);
        }
    }
    // The grid makes the clicked record current as a plain click does; the list keeps the rest.
    listClicking_ = true;
    QMouseEvent plain(event->type(), event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(), Qt::NoModifier,
                      event->pointingDevice());
    QTableView::mousePressEvent(&plain);
    listed_ = std::move(rows);
    listActive_ = true;
    if (!adding) {
        programmatic_ = true;
        selectionModel()->clearSelection();
        programmatic_ = false;
    }
    viewport()->update();
    emit selChanged();
}

}  // namespace pellumar
