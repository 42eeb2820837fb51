#include "core/print/SheetBook.h"

#include "core/table/ClipText.h"

#include <algorithm>
#include <cmath>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

constexpr double kRowHeightPerPoint = 25.5;  // twips of default row height per point of font

}  // namespace

QString columnLetters(int col) {
    QString out;
    while (col > 0) {
        const int digit = (col - 1) % 26;
        out.prepend(QChar(u'A' + digit));
        col = (col - 1) / 26;
    }
    return out;
}

namespace {

// One cell reference "B12" or "$B$12"; false for anything else.
bool parseCellRef(QStringView ref, int& row, int& col) {
    qsizetype i = 0;
    const qsizetype n = ref.size();
    if (i < n && ref[i] == u'$') {
        ++i;
    }
    qint64 c = 0;
    const qsizetype lettersStart = i;
    while (i < n && ref[i].toUpper() >= u'A' && ref[i].toUpper() <= u'Z') {
        c = c * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (c > SheetBook::kMaxCols) {
            return false;
        }
        ++i;
    }
    if (i == lettersStart) {
        return false;
    }
    if (i < n && ref[i] == u'$') {
        ++i;
    }
    qint64 r = 0;
    const qsizetype digitsStart = i;
    while (i < n && ref[i].isDigit()) {
        r = r * 10 + ref[i].digitValue();
        if (r > SheetBook::kMaxRows) {
            return false;
        }
        ++i;
    }
    if (i == digitsStart || i != n || r < 1) {
        return false;
    }
    row = static_cast<int>(r);
    col = static_cast<int>(c);
    return true;
}

}  // namespace

SheetRange parseRangeRef(QStringView ref) {
    ref = ref.trimmed();
    const qsizetype colon = ref.indexOf(u':');
    SheetRange range;
    if (colon < 0) {
        if (!parseCellRef(ref, range.row1, range.col1)) {
            return {};
        }
        range.row2 = range.row1;
        range.col2 = range.col1;
        return range;
    }
    if (!parseCellRef(ref.left(colon).trimmed(), range.row1, range.col1) ||
        !parseCellRef(ref.mid(colon + 1).trimmed(), range.row2, range.col2)) {
        return {};
    }
    if (range.row2 < range.row1) {
        std::swap(range.row1, range.row2);
    }
    if (range.col2 < range.col1) {
        std::swap(range.col1, range.col2);
    }
    return range;
}

QString rangeRef(const SheetRange& range) {
    if (range.isEmpty()) {
        return {};
    }
    const QString first = columnLetters(range.col1) + QString::number(range.row1);
    if (range.row1 == range.row2 && range.col1 == range.col2) {
        return first;
    }
    return first + u':' + columnLetters(range.col2) + QString::number(range.row2);
}

// A pasted clip text: the text itself, where each of its rows starts, and where it lies.
struct SheetBook::Pasted {
    QString text;
    qsizetype length = 0;              // the text without a final line break
    std::vector<qsizetype> rowStarts;  // offset of each row in the text
    int top = 1;
    int left = 1;
    int rows = 0;
    int cols = 0;

    // Where row i (from 0) ends, before its line break.
    qsizetype rowEnd(int i) const {
        if (size_t(i) + 1 >= rowStarts.size()) {
            return length;
        }
        const qsizetype start = rowStarts[size_t(i)];
        qsizetype end = rowStarts[size_t(i) + 1] - 1;
        if (text[end] == u'\n' && end > start && text[end - 1] == u'\r') {
            --end;
        }
        return end;
    }
    // The text of row i without its line break.
    QStringView row(int i) const {
        const qsizetype start = rowStarts[size_t(i)];
        return QStringView(text).mid(start, rowEnd(i) - start);
    }
    // Keeps the first `n` rows.
    void truncate(int n) {
        if (n < 1 || size_t(n) >= rowStarts.size()) {
            return;
        }
        length = rowEnd(n - 1);
        rowStarts.resize(size_t(n));
        rowStarts.shrink_to_fit();
        rows = n;
    }
};

namespace {

// Finds where the rows of a clip text start, reading it as splitClip does (a quoted cell may
// hold line breaks), and how many cells its widest row has.
void indexRows(QStringView text, qsizetype& length, std::vector<qsizetype>& starts, int& cols) {
    qsizetype n = text.size();
    if (text.endsWith(u"\r\n")) {
        n -= 2;
    } else if (text.endsWith(u'\n') || text.endsWith(u'\r')) {
        n -= 1;
    }
    length = n;
    starts.assign(1, 0);
    qsizetype cells = 1;
    qsizetype widest = 1;
    bool atCellStart = true;
    qsizetype i = 0;
    while (i < n) {
        if (atCellStart && text[i] == u'"') {
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == u'"') {
                    if (j + 1 < n && text[j + 1] == u'"') {
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                ++j;
            }
            if (closed && (j + 1 == n || text[j + 1] == u'\t' || text[j + 1] == u'\n' ||
                           text[j + 1] == u'\r')) {
                i = j + 1;
                atCellStart = false;
                continue;
            }
        }
        atCellStart = false;
        const QChar ch = text[i];
        if (ch == u'\t') {
            ++cells;
            atCellStart = true;
        } else if (ch == u'\n' || ch == u'\r') {
            if (ch == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++i;
            }
            starts.push_back(i + 1);
            widest = std::max(widest, cells);
            cells = 1;
            atCellStart = true;
        }
        ++i;
    }
    widest = std::max(widest, cells);
    cols = static_cast<int>(std::min<qsizetype>(widest, SheetBook::kMaxCols));
}

}  // namespace

SheetBook::SheetBook() : fontName_(u"Arial"_s), footer_(u"Page &P"_s) {}

SheetBook::~SheetBook() = default;

void SheetBook::clear() {
    maxRow_ = 0;
    maxCol_ = 0;
    cells_.clear();
    pasted_.clear();
    cachedBlock_ = nullptr;
    cachedRow_ = -1;
    cachedCells_.clear();
    activeRow_ = 1;
    activeCol_ = 1;
    selection_ = {1, 1, 1, 1};
    checkBoxes_.clear();
    alignments_.clear();
    colWidths_.clear();
    colTexts_.clear();
    rowHeights_.clear();
    printArea_ = {};
}

void SheetBook::grow(int row, int col) {
    maxRow_ = std::max(maxRow_, row);
    maxCol_ = std::max(maxCol_, col);
}

void SheetBook::setMaxRow(int rows) {
    rows = std::clamp(rows, 0, kMaxRows);
    if (rows < maxRow_) {
        cells_.removeIf([rows](const auto& it) { return int(it.key() >> 32) > rows; });
        std::erase_if(pasted_, [rows](const Pasted& p) { return p.top > rows; });
        for (Pasted& p : pasted_) {
            if (p.top + p.rows - 1 > rows) {
                p.truncate(rows - p.top + 1);
            }
        }
        if (rowHeights_.size() > size_t(rows)) {
            rowHeights_.resize(size_t(rows));
        }
        cachedBlock_ = nullptr;
    }
    maxRow_ = rows;
}

void SheetBook::setMaxCol(int cols) {
    cols = std::clamp(cols, 0, kMaxCols);
    if (cols < maxCol_) {
        cells_.removeIf([cols](const auto& it) { return int(it.key() & 0xffffffffu) > cols; });
        std::erase_if(pasted_, [cols](const Pasted& p) { return p.left > cols; });
        for (Pasted& p : pasted_) {
            p.cols = std::min(p.cols, cols - p.left + 1);
        }
        cachedBlock_ = nullptr;
    }
    maxCol_ = cols;
}

const SheetBook::Pasted* SheetBook::pastedAt(int row, int col) const {
    for (auto it = pasted_.rbegin(); it != pasted_.rend(); ++it) {
        if (row >= it->top && row < it->top + it->rows && col >= it->left &&
            col < it->left + it->cols) {
            return &*it;
        }
    }
    return nullptr;
}

QString SheetBook::text(int row, int col) const {
    if (row < 1 || col < 1 || row > maxRow_ || col > maxCol_) {
        return {};
    }
    if (!cells_.isEmpty()) {
        const auto it = cells_.constFind(key(row, col));
        if (it != cells_.cend()) {
            return *it;
        }
    }
    const Pasted* block = pastedAt(row, col);
    if (!block) {
        return {};
    }
    const int i = row - block->top;
    if (block != cachedBlock_ || i != cachedRow_) {
        ClipRows split = splitClip(block->row(i));
        cachedCells_ = split.empty() ? QStringList() : std::move(split.front());
        cachedBlock_ = block;
        cachedRow_ = i;
    }
    return cachedCells_.value(col - block->left);
}

void SheetBook::setText(int row, int col, const QString& text) {
    if (row < 1 || col < 1 || row > kMaxRows || col > kMaxCols) {
        return;
    }
    if (text.isEmpty() && !pastedAt(row, col)) {
        cells_.remove(key(row, col));
    } else {
        cells_.insert(key(row, col), text);
    }
    grow(row, col);
}

void SheetBook::setActiveCell(int row, int col) {
    if (row < 1 || col < 1 || row > kMaxRows || col > kMaxCols) {
        return;
    }
    activeRow_ = row;
    activeCol_ = col;
    selection_ = {row, col, row, col};
}

void SheetBook::setSelection(const SheetRange& range) {
    if (range.isEmpty() || range.row2 > kMaxRows || range.col2 > kMaxCols) {
        return;
    }
    selection_ = range;
    activeRow_ = range.row1;
    activeCol_ = range.col1;
}

void SheetBook::pasteText(const QString& clip) {
    if (clip.isEmpty()) {
        return;
    }
    Pasted block;
    block.text = clip;
    block.top = activeRow_;
    block.left = activeCol_;
    indexRows(block.text, block.length, block.rowStarts, block.cols);
    block.rows = static_cast<int>(std::min<size_t>(block.rowStarts.size(), size_t(kMaxRows)));
    block.truncate(std::min(block.rows, kMaxRows - block.top + 1));
    block.cols = std::min(block.cols, kMaxCols - block.left + 1);
    const SheetRange range{block.top, block.left, block.top + block.rows - 1,
                           block.left + block.cols - 1};
    // The paste replaces what was set in its cells before.
    if (!cells_.isEmpty()) {
        cells_.removeIf([&range](const auto& it) {
            return range.contains(int(it.key() >> 32), int(it.key() & 0xffffffffu));
        });
    }
    pasted_.push_back(std::move(block));
    cachedBlock_ = nullptr;
    cachedRow_ = -1;
    grow(range.row2, range.col2);
    selection_ = range;
}

int SheetBook::addCheckBox(double x1, double y1, double x2, double y2) {
    checkBoxes_.push_back(
        {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), 0});
    return static_cast<int>(checkBoxes_.size()) - 1;
}

void SheetBook::setObjectValue(int id, int value) {
    if (id >= 0 && size_t(id) < checkBoxes_.size()) {
        checkBoxes_[size_t(id)].value = value != 0 ? 1 : 0;
    }
}

int SheetBook::objectValue(int id) const {
    return id >= 0 && size_t(id) < checkBoxes_.size() ? checkBoxes_[size_t(id)].value : 0;
}

void SheetBook::setAlignment(HAlign horizontal, bool wordWrap, VAlign vertical, int orientation) {
    const Alignment alignment{horizontal, wordWrap, vertical, orientation};
    // A block that covers earlier ones replaces them.
    std::erase_if(alignments_, [this](const auto& entry) {
        const SheetRange& r = entry.first;
        return selection_.contains(r.row1, r.col1) && selection_.contains(r.row2, r.col2);
    });
    alignments_.emplace_back(selection_, alignment);
}

SheetBook::Alignment SheetBook::alignment(int row, int col) const {
    for (auto it = alignments_.rbegin(); it != alignments_.rend(); ++it) {
        if (it->first.contains(row, col)) {
            return it->second;
        }
    }
    return {};
}

int SheetBook::colWidth(int col) const {
    const int twips = colWidthTwips(col);
    if (widthUnit_ == WidthUnit::Twips) {
        return twips;
    }
    return static_cast<int>(std::lround(double(twips) * 256 / kTwipsPerCharacter));
}

void SheetBook::setColWidth(int col, int width) {
    if (col < 1 || col > kMaxCols) {
        return;
    }
    width = std::max(width, 0);
    if (widthUnit_ == WidthUnit::Characters) {
        width = static_cast<int>(std::lround(double(width) * kTwipsPerCharacter / 256));
    }
    colWidths_.insert(col, width);
}

int SheetBook::colWidthTwips(int col) const {
    return colWidths_.value(col, kDefaultColWidth);
}

QString SheetBook::colText(int col) const {
    const auto it = colTexts_.constFind(col);
    return it != colTexts_.cend() ? *it : columnLetters(col);
}

void SheetBook::setColText(int col, const QString& text) {
    if (col >= 1 && col <= kMaxCols) {
        colTexts_.insert(col, text);
    }
}

int SheetBook::defaultRowHeight() const {
    return static_cast<int>(std::lround(fontSize_ * kRowHeightPerPoint));
}

int SheetBook::rowHeight(int row) const {
    if (row >= 1 && size_t(row) <= rowHeights_.size()) {
        const int h = rowHeights_[size_t(row) - 1];
        if (h >= 0) {
            return h;
        }
    }
    return defaultRowHeight();
}

void SheetBook::setRowHeight(int row1, int row2, int twips) {
    row1 = std::max(row1, 1);
    row2 = std::min(row2, kMaxRows);
    if (row2 < row1) {
        return;
    }
    twips = std::clamp(twips, 0, 32767);
    if (rowHeights_.size() < size_t(row2)) {
        rowHeights_.resize(size_t(row2), -1);
    }
    std::fill(rowHeights_.begin() + (row1 - 1), rowHeights_.begin() + row2, twips);
}

void SheetBook::setFont(const QString& name, double points) {
    if (!name.isEmpty()) {
        fontName_ = name;
    }
    if (points >= 1 && points <= 409) {
        fontSize_ = points;
    }
}

QString SheetBook::pageText(const QString& text, int page, int pages) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            const QChar code = text[i + 1].toUpper();
            if (code == u'P') {
                out += QString::number(page);
                ++i;
                continue;
            }
            if (code == u'N') {
                out += QString::number(pages);
                ++i;
                continue;
            }
            if (code == u'&') {
                out += u'&';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool SheetBook::printOption(PrintOption option) const {
    return options_[static_cast<int>(option)];
}

void SheetBook::setPrintOption(PrintOption option, bool on) {
    options_[static_cast<int>(option)] = on;
}

bool SheetBook::setPrintArea(const QString& ref) {
    const SheetRange range = parseRangeRef(ref);
    if (range.isEmpty()) {
        return false;
    }
    printArea_ = range;
    return true;
}

SheetRange SheetBook::printedRange() const {
    if (!printArea_.isEmpty()) {
        return printArea_;
    }
    if (maxRow_ < 1 || maxCol_ < 1) {
        return {};
    }
    return {1, 1, maxRow_, maxCol_};
}

bool SheetBook::setPrintScale(int percent) {
    if (percent < 10 || percent > 400) {
        return false;
    }
    scale_ = percent;
    return true;
}

void SheetBook::setPrintMargins(double left, double top, double right, double bottom) {
    const double values[4] = {left, top, right, bottom};
    for (int i = 0; i < 4; ++i) {
        if (std::isfinite(values[i]) && values[i] >= 0 && values[i] <= 10) {
            margins_[i] = values[i];
        }
    }
}

}  // namespace pellumar
