#include "gui/grid/GridControl.h"

#include "gui/grid/GridDelegate.h"
#include "gui/grid/GridHeaderView.h"
#include "gui/grid/GridStyleProxy.h"
#include "gui/grid/Twips.h"

#include <QDrag>
#include <QHash>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>
#include <utility>

namespace pellumar {

namespace {
constexpr int kBulkRowThreshold = 2000;
}

GridControl::GridControl(QWidget* parent, GridModel* model)
    : QTableView(parent),
      model_(model ? model : new GridModel(this)),
      proxy_(new GridStyleProxy(this)),
      header_(new GridHeaderView(this)) {
    // Where the selection stood is noted before the views hear of rows going, since the view
    // moves its current cell as soon as it hears.
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, &GridControl::rememberPlace);
    connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, &GridControl::rememberPlace);
    connect(model_, &QAbstractItemModel::layoutAboutToBeChanged, this,
            &GridControl::narrowSelectionForReorder);
    proxy_->setSourceModel(model_);
    proxy_->setBaseFont(font());
    setHorizontalHeader(header_);
    setModel(proxy_);
    // The title row shows no selection. With a selection model of its own it never scans a whole
    // column to learn whether every record is selected, which all records selected would make it
    // do at every repaint.
    header_->setSelectionModel(new QItemSelectionModel(proxy_, header_));
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
        // A last section the header stretches to the view's width has no width of its own.
        if (!movingSection_ && section < cols() && !colHidden(section) && size > 0 &&
            !isStretchedSection(section)) {
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
    connect(model_, &GridModel::cellEdited, this, &GridControl::noteEdit);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        anchor_ = QPersistentModelIndex();
        lastSortCol_ = -1;
        customHeightRows_.clear();
        applyColumnAttributes(0, cols() - 1);
        applyRowHeights(0, rows() - 1);
        noteCurrentCell();
    });
    // The sorted column's title keeps its place among the columns (a further click reverses it).
    connect(model_, &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (lastSortCol_ >= first) {
                    lastSortCol_ += last - first + 1;
                }
            });
    connect(model_, &QAbstractItemModel::columnsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                if (lastSortCol_ > last) {
                    lastSortCol_ -= last - first + 1;
                } else if (lastSortCol_ >= first) {
                    lastSortCol_ = -1;
                }
            });
    // Rows inserted or removed leave the current cell and the selection at their row numbers
    // (the record now there becomes current); sorted or moved rows take them along.
    connect(model_, &QAbstractItemModel::rowsInserted, this, &GridControl::restorePlace);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &GridControl::restorePlace);
    connect(model_, &QAbstractItemModel::layoutChanged, this,
            &GridControl::selectCurrentAfterReorder);
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
    connect(model_, &QAbstractItemModel::columnsInserted, this, &GridControl::extendRowSelection);
    // A list of rows names rows by their place: a change of the rows ends it.
    const auto rowsChanged = [this] {
        if (listActive_) {
            endRowList();
            emit selChanged();
        }
    };
    connect(model_, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(model_, &QAbstractItemModel::rowsMoved, this, rowsChanged);
    connect(model_, &QAbstractItemModel::layoutChanged, this, rowsChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, rowsChanged);
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
    if (anchor_.isValid() && currentIndex().isValid()) {
        return toTableRow(anchor_);
    }
    const QModelIndex cur = currentIndex();
    if (cur.isValid()) {
        return toTableRow(cur);
    }
    return std::max(0, std::min(model_->fixedRows(), rows() - 1));
}

int GridControl::col() const {
    if (anchor_.isValid() && currentIndex().isValid()) {
        return anchor_.column();
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
    endRowList();
    programmatic_ = true;
    anchor_ = model_->indexAt(row1, col1);
    const QModelIndex end = viewIndex(row2, col2);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (selectionKind_ == SelectionByRow) {
        flags |= QItemSelectionModel::Rows;
    }
    const int visibleCol = columnAt(0);  // before anything scrolls
    const bool autoScrolling = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(end, QItemSelectionModel::NoUpdate);
    setAutoScroll(autoScrolling);
    selectionModel()->select(QItemSelection(viewIndex(row1, col1), end), flags);
    programmatic_ = false;
    // Unless asked not to, bring the selection's end and then the current cell into view; whole
    // rows keep the columns the user is looking at.
    if (scroll) {
        const bool keepCols = selectionKind_ == SelectionByRow && visibleCol >= 0;
        scrollTo(viewIndex(row2, keepCols ? visibleCol : col2));
        scrollTo(viewIndex(row1, keepCols ? visibleCol : col1));
    }
    emit selChanged();
    noteCurrentCell();
}

void GridControl::rememberPlace() {
    place_.valid = currentIndex().isValid();
    if (place_.valid) {
        place_ = {true, row(), col(), selectionEndRow(), selectionEndCol()};
    }
}

void GridControl::restorePlace() {
    if (!place_.valid) {
        return;
    }
    place_.valid = false;
    select(place_.row, place_.col, place_.endRow, place_.endCol, false);
}

void GridControl::narrowSelectionForReorder() {
    reselectAfterReorder_ = false;
    const QItemSelection sel = selectionModel()->selection();
    if (!currentIndex().isValid() || sel.isEmpty()) {
        return;
    }
    const QItemSelectionRange& first = sel.front();
    const bool oneRecord = sel.size() == 1 && first.top() == first.bottom();
    const bool allRecords =
        sel.size() == 1 && first.top() == 0 && first.bottom() == proxy_->rowCount() - 1;
    if (oneRecord || allRecords) {
        return;
    }
    programmatic_ = true;
    selectionModel()->clearSelection();  // the current index stays
    programmatic_ = false;
    reselectAfterReorder_ = true;
}

void GridControl::selectCurrentAfterReorder() {
    if (!reselectAfterReorder_) {
        return;
    }
    reselectAfterReorder_ = false;
    select(row(), col(), row(), col(), false);
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
        anchor_ = QPersistentModelIndex();
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
    if (!listClicking_) {
        endRowList();
    }
    const int anchorModelRow = cur.row() == top ? bottom : top;
    const int anchorCol =
        selectionKind_ == SelectionByRow ? cur.column() : (cur.column() == left ? right : left);
    anchor_ = model_->index(anchorModelRow, anchorCol);
    emit selChanged();
    noteCurrentCell();
}

QString GridControl::clip(const ClipProgress& progress) const {
    if (listActive_) {
        return model_->clipTextOfRows(listed_, 0, cols() - 1, progress);
    }
    if (!currentIndex().isValid()) {
        return {};
    }
    return model_->clipText(selectionTop(), selectionLeft(), selectionBottom(), selectionRight(),
                            progress);
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
        if (!model_->colHidden(c) && columnWidth(c) != px && !isStretchedSection(c)) {
            setColumnWidth(c, px);
        }
    }
    movingSection_ = false;
}

bool GridControl::isStretchedSection(int col) const {
    return header_->stretchLastSection() &&
           header_->logicalIndex(header_->count() - 1 - header_->hiddenSectionCount()) == col;
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

QItemSelectionModel::SelectionFlags GridControl::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    // Ctrl+Home, Ctrl+End and the like select where they go, as the keys without Ctrl do: the
    // highlight stays on the current record.
    if (event && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        static constexpr int kMoves[] = {Qt::Key_Home,     Qt::Key_End,  Qt::Key_PageUp,
                                         Qt::Key_PageDown, Qt::Key_Up,   Qt::Key_Down,
                                         Qt::Key_Left,     Qt::Key_Right};
        if ((key->modifiers() & Qt::ControlModifier) &&
            std::find(std::begin(kMoves), std::end(kMoves), key->key()) != std::end(kMoves)) {
            const QKeyEvent plain(QEvent::KeyPress, key->key(),
                                  key->modifiers() & ~Qt::ControlModifier);
            return QTableView::selectionCommand(index, &plain);
        }
    }
    return QTableView::selectionCommand(index, event);
}

void GridControl::noteEdit(int row, int col) {
    if (committing_) {
        pendingEdits_.emplace_back(row, col);
    } else {
        emit afterEdit(row, col);
    }
}

void GridControl::commitData(QWidget* editor) {
    // The end of an edit is reported once its editor has closed, so that a handler may move the
    // current cell or start another edit.
    committing_ = true;
    QTableView::commitData(editor);
    committing_ = false;
    if (!pendingEdits_.empty()) {
        // An editor that commits without closing (none of ours does) reports soon after.
        QMetaObject::invokeMethod(this, &GridControl::reportEdits, Qt::QueuedConnection);
    }
}

void GridControl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    reportEdits();
}

void GridControl::reportEdits() {
    const auto edits = std::exchange(pendingEdits_, {});
    for (const auto& [row, col] : edits) {
        emit afterEdit(row, col);
    }
}

void GridControl::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit focusGained();
}

void GridControl::keyPressEvent(QKeyEvent* event) {
    QTableView::keyPressEvent(event);
    emit keyPressed(event->key(), event->modifiers());
}

void GridControl::mousePressEvent(QMouseEvent* event) {
    listClicking_ = false;  // a press whose release never came ends its click
    const QModelIndex index = indexAt(event->position().toPoint());
    if (selectionKind_ == SelectionByRow && event->button() == Qt::LeftButton && index.isValid() &&
        (event->modifiers() & Qt::ControlModifier)) {
        listClick(event, index);
        return;
    }
    QTableView::mousePressEvent(event);
}

void GridControl::mouseMoveEvent(QMouseEvent* event) {
    // A Ctrl+click neither drags a selection out nor sweeps one.
    if (!listClicking_ || !(event->buttons() & Qt::LeftButton)) {
        QTableView::mouseMoveEvent(event);
    }
    emit mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void GridControl::mouseReleaseEvent(QMouseEvent* event) {
    if (listClicking_ && event->button() == Qt::LeftButton) {
        QMouseEvent plain(event->type(), event->position(), event->scenePosition(),
                          event->globalPosition(), event->button(), event->buttons(),
                          Qt::NoModifier, event->pointingDevice());
        QTableView::mouseReleaseEvent(&plain);
        listClicking_ = false;
        // A record the click dropped from the list stays unselected, however the grid saw it.
        if (!isRowListed(row())) {
            programmatic_ = true;
            selectionModel()->clearSelection();
            programmatic_ = false;
        }
    } else {
        QTableView::mouseReleaseEvent(event);
    }
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
