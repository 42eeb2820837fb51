#include "grid/GridControl.h"

#include "grid/GridDelegate.h"
#include "grid/GridHeaderView.h"
#include "grid/GridStyleProxy.h"
#include "grid/Twips.h"

#include <QDrag>
#include <QHash>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>

namespace pellumar {

namespace {
constexpr int kBulkRowThreshold = 2000;
}

GridControl::GridControl(QWidget* parent, GridModel* model)
    : QTableView(parent),
      model_(model ? model : new GridModel(this)),
      proxy_(new GridStyleProxy(this)),
      header_(new GridHeaderView(this)) {
    proxy_->setSourceModel(model_);
    proxy_->setBaseFont(font());
    setHorizontalHeader(header_);
    setModel(proxy_);
    setItemDelegate(new GridDelegate(this));

    // The title row is ours to handle: a click sorts rather than selecting the column.
    disconnect(header_, SIGNAL(sectionPressed(int)), this, nullptr);
    disconnect(header_, SIGNAL(sectionEntered(int)), this, nullptr);
    header_->setSectionsClickable(true);
    header_->setHighlightSections(false);
    header_->setDefaultSectionSize(twipsToPixels(defaultColWidth_, this));
    header_->setMinimumSectionSize(1);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    defaultRowPixels_ = twipsToPixels(kDefaultRowHeight, this) + 2;
    verticalHeader()->setDefaultSectionSize(defaultRowPixels_);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);

    setSelectionBehavior(SelectItems);
    QTableView::setSelectionMode(ContiguousSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setWordWrap(false);
    setDragDropMode(NoDragDrop);
    setMouseTracking(true);

    connect(header_, &QHeaderView::sectionClicked, this, &GridControl::onSectionClicked);
    connect(header_, &QHeaderView::sectionMoved, this, &GridControl::onSectionMoved);
    connect(header_, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (!movingSection_ && section < cols() && !colHidden(section) && size > 0) {
            const int twips = pixelsToTwips(size, this);
            if (std::abs(twips - colWidth(section)) > 15) {
                model_->setColWidth(section, twips);
            }
        }
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &GridControl::onSelectionChanged);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &GridControl::onSelectionChanged);
    connect(model_, &GridModel::columnAttributesChanged, this, &GridControl::applyColumnAttributes);
    connect(model_, &GridModel::rowHeightsChanged, this, &GridControl::applyRowHeights);
    connect(model_, &GridModel::cellEdited, this, &GridControl::afterEdit);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        anchorRow_ = anchorCol_ = -1;
        lastSortCol_ = -1;
        customHeightRows_.clear();
        applyColumnAttributes(0, cols() - 1);
        applyRowHeights(0, rows() - 1);
        noteCurrentCell();
    });
    // Rows and columns coming and going can move the current cell.
    for (auto signal :
         {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::rowsInserted,
          &QAbstractItemModel::columnsRemoved, &QAbstractItemModel::columnsInserted}) {
        connect(model_, signal, this, &GridControl::noteCurrentCell);
    }
    connect(model_, &QAbstractItemModel::rowsMoved, this, &GridControl::noteCurrentCell);
    // New rows come at the view's common height, which need not be the default one.
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (verticalHeader()->defaultSectionSize() != defaultRowPixels_) {
                    applyRowHeights(first + model_->fixedRows(), last + model_->fixedRows());
                }
            });
    connect(model_, &QAbstractItemModel::columnsMoved, this, &GridControl::noteCurrentCell);
    connect(model_, &QAbstractItemModel::layoutChanged, this, &GridControl::noteCurrentCell);
}

GridControl::~GridControl() = default;

void GridControl::setFixedRows(int fixedRows) {
    model_->setFixedRows(fixedRows);
    header_->setVisible(model_->fixedRows() > 0);
}

QModelIndex GridControl::viewIndex(int row, int col) const {
    return proxy_->mapFromSource(model_->indexAt(row, col));
}

int GridControl::toTableRow(const QModelIndex& index) const {
    return index.row() + model_->fixedRows();
}

int GridControl::row() const {
    if (anchorRow_ >= model_->fixedRows() && anchorRow_ < rows() && currentIndex().isValid()) {
        return anchorRow_;
    }
    const QModelIndex cur = currentIndex();
    if (cur.isValid()) {
        return toTableRow(cur);
    }
    return std::max(0, std::min(model_->fixedRows(), rows() - 1));
}

int GridControl::col() const {
    if (anchorCol_ >= 0 && anchorCol_ < cols() && currentIndex().isValid()) {
        return anchorCol_;
    }
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? cur.column() : 0;
}

int GridControl::selectionEndRow() const {
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? toTableRow(cur) : row();
}

int GridControl::selectionEndCol() const {
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? cur.column() : col();
}

int GridControl::selectionLeft() const {
    return selectionKind_ == SelectionByRow ? 0 : std::min(col(), selectionEndCol());
}

int GridControl::selectionRight() const {
    return selectionKind_ == SelectionByRow ? cols() - 1 : std::max(col(), selectionEndCol());
}

void GridControl::select(int row1, int col1, int row2, int col2, bool scroll) {
    const int fixed = model_->fixedRows();
    if (rows() <= fixed || cols() == 0) {
        return;
    }
    row1 = std::clamp(row1, fixed, rows() - 1);
    row2 = std::clamp(row2, fixed, rows() - 1);
    col1 = std::clamp(col1, 0, cols() - 1);
    col2 = std::clamp(col2, 0, cols() - 1);
    programmatic_ = true;
    anchorRow_ = row1;
    anchorCol_ = col1;
    const QModelIndex end = viewIndex(row2, col2);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (selectionKind_ == SelectionByRow) {
        flags |= QItemSelectionModel::Rows;
    }
    // Moving the current cell scrolls the view to it unless asked not to.
    const bool autoScrolling = hasAutoScroll();
    setAutoScroll(autoScrolling && scroll);
    selectionModel()->setCurrentIndex(end, QItemSelectionModel::NoUpdate);
    setAutoScroll(autoScrolling);
    selectionModel()->select(QItemSelection(viewIndex(row1, col1), end), flags);
    programmatic_ = false;
    // Bring the current cell into view; whole rows keep the columns the user is looking at.
    const int visibleCol = columnAt(0);
    if (scroll)
        scrollTo(viewIndex(
            row1, selectionKind_ == SelectionByRow && visibleCol >= 0 ? visibleCol : col1));
    emit selChanged();
    noteCurrentCell();
}

void GridControl::noteCurrentCell() {
    const int r = row();
    const int c = col();
    if (r != notedRow_ || c != notedCol_) {
        notedRow_ = r;
        notedCol_ = c;
        emit currentCellChanged(r, c);
    }
}

void GridControl::onSelectionChanged() {
    if (programmatic_) {
        return;
    }
    const QModelIndex cur = currentIndex();
    if (!cur.isValid()) {
        anchorRow_ = anchorCol_ = -1;
        emit selChanged();
        noteCurrentCell();
        return;
    }
    const QItemSelection sel = selectionModel()->selection();
    int top = cur.row();
    int bottom = cur.row();
    int left = cur.column();
    int right = cur.column();
    for (const QItemSelectionRange& range : sel) {
        if (range.contains(cur)) {
            top = range.top();
            bottom = range.bottom();
            left = range.left();
            right = range.right();
            break;
        }
    }
    const int anchorModelRow = cur.row() == top ? bottom : top;
    anchorRow_ = anchorModelRow + model_->fixedRows();
    if (selectionKind_ == SelectionByRow) {
        anchorCol_ = cur.column();
    } else {
        anchorCol_ = cur.column() == left ? right : left;
    }
    emit selChanged();
    noteCurrentCell();
}

void GridControl::setSelectionKind(int kind) {
    selectionKind_ = kind == SelectionByRow ? SelectionByRow : SelectionFree;
    setSelectionBehavior(selectionKind_ == SelectionByRow ? SelectRows : SelectItems);
}

int GridControl::selectedRows() const {
    if (!currentIndex().isValid()) {
        return 0;
    }
    return selectionBottom() - selectionTop() + 1;
}

int GridControl::selectedRow(int n) const {
    if (n < 0 || n >= selectedRows()) {
        return -1;
    }
    return selectionTop() + n;
}

QString GridControl::clip() const {
    if (!currentIndex().isValid()) {
        return {};
    }
    return model_->clipText(selectionTop(), selectionLeft(), selectionBottom(), selectionRight());
}

void GridControl::setClip(const QString& text) {
    if (!currentIndex().isValid()) {
        return;
    }
    model_->setClipText(selectionTop(), selectionLeft(), selectionBottom(), selectionRight(), text);
}

void GridControl::editCell() {
    const QModelIndex cur = currentIndex();
    if (cur.isValid()) {
        edit(cur, AllEditTriggers, nullptr);
    }
}

int GridControl::colWidth(int col) const {
    const int w = model_->colWidth(col);
    return w < 0 ? defaultColWidth_ : w;
}

void GridControl::setDefaultColWidth(int twips) {
    defaultColWidth_ = twips;
    header_->setDefaultSectionSize(twipsToPixels(twips, this));
    applyColumnAttributes(0, cols() - 1);
}

void GridControl::setAlternateRowColor(const QColor& color) {
    setAlternatingRowColors(color.isValid());
    if (color.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::AlternateBase, color);
        setPalette(p);
    }
}

void GridControl::setDragMode(bool on) {
    setDragEnabled(on);
    setDragDropMode(on ? DragOnly : NoDragDrop);
}

void GridControl::setTitleBarMode(bool on) {
    titleBarMode_ = on;
    header_->setSectionsMovable(on);
}

void GridControl::sortByColumn(int col, int order) {
    if (col < 0 || col >= cols()) {
        return;
    }
    emit beforeSort(col, order);
    model_->sortRecords(col, order == SortAscending);
    lastSortCol_ = col;
    lastSortOrder_ = order;
    emit afterSort(col, order);
}

void GridControl::onSectionClicked(int section) {
    if (!titleBarMode_ || section < 0 || section >= cols()) {
        return;
    }
    const int order =
        section == lastSortCol_ && lastSortOrder_ == SortAscending ? SortDescending : SortAscending;
    sortByColumn(section, order);
}

void GridControl::onSectionMoved(int /*logical*/, int oldVisual, int newVisual) {
    if (movingSection_) {
        return;
    }
    // The header moved only its picture of the column: put it back and move the column itself.
    movingSection_ = true;
    header_->moveSection(newVisual, oldVisual);
    movingSection_ = false;
    model_->moveColumn(oldVisual, newVisual);
    if (lastSortCol_ == oldVisual) {
        lastSortCol_ = newVisual;
    }
    emit afterMoveColumn(newVisual, oldVisual);
}

void GridControl::applyColumnAttributes(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, cols() - 1);
    movingSection_ = true;
    for (int c = first; c <= last; ++c) {
        setColumnHidden(c, model_->colHidden(c));
        const int w = model_->colWidth(c);
        const int px = twipsToPixels(w < 0 ? defaultColWidth_ : w, this);
        if (!model_->colHidden(c) && columnWidth(c) != px) {
            setColumnWidth(c, px);
        }
    }
    movingSection_ = false;
}

void GridControl::applyRowHeights(int first, int last) {
    QHeaderView* vh = verticalHeader();
    const int fixed = model_->fixedRows();
    auto pixelsFor = [&](int twips) {
        return twips == kDefaultRowHeight ? defaultRowPixels_
                                          : std::max(0, twipsToPixels(twips, this));
    };
    first = std::max(first, fixed);
    last = std::min(last, rows() - 1);
    if (last - first >= kBulkRowThreshold || first > last) {
        // Many rows at once (a sort, a load, a command on many rows): the height most rows have
        // becomes the header's default, and only the other rows are sized one by one.
        QHash<int, int> counts;  // twips -> rows
        for (int r : model_->table().rowsWithHeight()) {
            if (r >= fixed) {
                ++counts[model_->rowHeight(r)];
            }
        }
        int common = kDefaultRowHeight;
        int commonCount = std::max(0, rows() - fixed);
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            commonCount -= it.value();
        }
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.value() > commonCount) {
                common = it.key();
                commonCount = it.value();
            }
        }
        const int commonPx = pixelsFor(common);
        // Sizing sections while the header paints would cost a pass over all rows each.
        vh->setUpdatesEnabled(false);
        if (vh->defaultSectionSize() != commonPx) {
            vh->setDefaultSectionSize(commonPx);  // sizes every row
        } else {
            for (int modelRow : customHeightRows_) {
                if (modelRow < vh->count()) {
                    vh->resizeSection(modelRow, commonPx);
                }
            }
        }
        customHeightRows_.clear();
        if (common == kDefaultRowHeight) {
            for (int r : model_->table().rowsWithHeight()) {
                if (r >= fixed) {
                    vh->resizeSection(r - fixed, pixelsFor(model_->rowHeight(r)));
                    customHeightRows_.push_back(r - fixed);
                }
            }
        } else {
            for (int r = fixed; r < rows(); ++r) {
                const int twips = model_->rowHeight(r);
                if (twips != common) {
                    vh->resizeSection(r - fixed, pixelsFor(twips));
                    customHeightRows_.push_back(r - fixed);
                }
            }
        }
        vh->setUpdatesEnabled(true);
        viewport()->update();
        return;
    }
    const int commonPx = vh->defaultSectionSize();
    for (int r = first; r <= last; ++r) {
        const int px = pixelsFor(model_->rowHeight(r));
        if (vh->sectionSize(r - fixed) != px) {
            vh->resizeSection(r - fixed, px);
        }
        if (px != commonPx) {
            customHeightRows_.push_back(r - fixed);
        }
    }
}

bool GridControl::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!index.isValid() || state() == EditingState) {
        return QTableView::edit(index, trigger, event);
    }
    if (!editable_ && trigger != AllEditTriggers) {
        return false;
    }
    if (!(editTriggers() & trigger) && trigger != AllEditTriggers) {
        return QTableView::edit(index, trigger, event);  // lets check boxes toggle
    }
    bool cancel = false;
    emit beforeEdit(toTableRow(index), index.column(), &cancel);
    if (cancel) {
        return false;
    }
    return QTableView::edit(index, trigger, event);
}

void GridControl::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit focusGained();
}

void GridControl::keyPressEvent(QKeyEvent* event) {
    QTableView::keyPressEvent(event);
    emit keyPressed(event->key(), event->modifiers());
}

void GridControl::mouseMoveEvent(QMouseEvent* event) {
    QTableView::mouseMoveEvent(event);
    emit mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void GridControl::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) {
        emit cellClicked();
    }
    emit mouseReleased(event->button(), event->modifiers(), event->position().toPoint());
}

void GridControl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit cellDoubleClicked();
    }
}

void GridControl::startDrag(Qt::DropActions /*supportedActions*/) {
    auto* mime = new QMimeData;
    mime->setText(clip());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
}

void GridControl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        proxy_->setBaseFont(font());
    }
}

}  // namespace pellumar
