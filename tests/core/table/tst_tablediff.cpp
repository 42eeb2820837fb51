// The table's storage against a plain model of rows of strings: a long random sequence of every
// operation (fixed seeds), compared cell for cell, with styles and row heights, as it goes, and
// snapshots taken on the way compared with what the table held then. The table is full of fast
// paths (texts inside the cell, arenas that compact, blocks made on first write, a row map made
// only once the order changes, recycled rows, styles by palette index, columns shared with
// snapshots); the plain model has none.
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <vector>

#include "core/table/Table.h"

using namespace pellumar;

namespace {

struct PlainCell {
    QString text;
    bool bold = false;
    uint32_t foreColor = 0;
};

struct PlainRow {
    std::vector<PlainCell> cells;
    int height = kDefaultRowHeight;
};

// What the table should hold.
class PlainTable {
public:
    int rows() const { return static_cast<int>(rows_.size()); }
    int cols() const { return cols_; }

    void insertRows(int at, int count) {
        rows_.insert(rows_.begin() + at, static_cast<size_t>(count), emptyRow());
    }
    void removeRows(int at, int count) {
        count = std::min(count, rows() - at);
        rows_.erase(rows_.begin() + at, rows_.begin() + at + count);
    }
    void removeRowSet(const std::vector<int>& sorted) {
        std::vector<PlainRow> kept;
        size_t next = 0;
        for (size_t r = 0; r < rows_.size(); ++r) {
            if (next < sorted.size() && sorted[next] == static_cast<int>(r)) {
                ++next;
            } else {
                kept.push_back(std::move(rows_[r]));
            }
        }
        rows_ = std::move(kept);
    }
    void insertColumns(int at, int count) {
        for (PlainRow& r : rows_) {
            r.cells.insert(r.cells.begin() + at, static_cast<size_t>(count), PlainCell{});
        }
        cols_ += count;
    }
    void removeColumns(int at, int count) {
        count = std::min(count, cols_ - at);
        for (PlainRow& r : rows_) {
            r.cells.erase(r.cells.begin() + at, r.cells.begin() + at + count);
        }
        cols_ -= count;
    }
    void moveRows(int from, int count, int to) {
        if (to < from) {
            std::rotate(rows_.begin() + to, rows_.begin() + from, rows_.begin() + from + count);
        } else {
            std::rotate(rows_.begin() + from, rows_.begin() + from + count,
                        rows_.begin() + to + count);
        }
    }
    // Texts move; what belongs to the position (styles, heights) stays.
    void moveRowTexts(int from, int count, int to) {
        const int lo = std::min(from, to);
        const int hi = std::max(from, to) + count;  // one past the rows concerned
        std::vector<std::vector<QString>> texts;
        for (int r = lo; r < hi; ++r) {
            std::vector<QString> t;
            for (const PlainCell& c : rows_[size_t(r)].cells) {
                t.push_back(c.text);
            }
            texts.push_back(std::move(t));
        }
        if (to < from) {
            std::rotate(texts.begin(), texts.begin() + (from - lo),
                        texts.begin() + (from - lo) + count);
        } else {
            std::rotate(texts.begin(), texts.begin() + count, texts.end());
        }
        for (int r = lo; r < hi; ++r) {
            for (size_t c = 0; c < rows_[size_t(r)].cells.size(); ++c) {
                rows_[size_t(r)].cells[c].text = texts[size_t(r - lo)][c];
            }
        }
    }
    void moveColumns(int from, int count, int to) {
        for (PlainRow& r : rows_) {
            auto& v = r.cells;
            if (to < from) {
                std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + count);
            } else {
                std::rotate(v.begin() + from, v.begin() + from + count, v.begin() + to + count);
            }
        }
    }
    void clearCells() {
        for (PlainRow& r : rows_) {
            for (PlainCell& c : r.cells) {
                c = PlainCell{};
            }
        }
    }
    PlainCell& cell(int row, int col) {
        return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(col)];
    }
    const PlainCell& cell(int row, int col) const {
        return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(col)];
    }
    int& height(int row) { return rows_[static_cast<size_t>(row)].height; }
    int height(int row) const { return rows_[static_cast<size_t>(row)].height; }

private:
    PlainRow emptyRow() const {
        PlainRow r;
        r.cells.resize(static_cast<size_t>(cols_));
        return r;
    }

    std::vector<PlainRow> rows_;
    int cols_ = 0;
};

// The first difference between the two, or "".
QString difference(const Table& t, const PlainTable& p, int step) {
    if (t.rowCount() != p.rows() || t.columnCount() != p.cols()) {
        return QStringLiteral("step %1: shape %2x%3, expected %4x%5")
            .arg(step)
            .arg(t.rowCount())
            .arg(t.columnCount())
            .arg(p.rows())
            .arg(p.cols());
    }
    for (int r = 0; r < p.rows(); ++r) {
        if (t.rowHeight(r) != p.height(r)) {
            return QStringLiteral("step %1: height of row %2").arg(step).arg(r);
        }
        for (int c = 0; c < p.cols(); ++c) {
            const PlainCell& want = p.cell(r, c);
            if (t.text(r, c) != want.text) {
                return QStringLiteral("step %1: text of (%2, %3) is \"%4\", expected \"%5\"")
                    .arg(step)
                    .arg(r)
                    .arg(c)
                    .arg(t.text(r, c).left(40), want.text.left(40));
            }
            const CellStyle s = t.style(r, c);
            if (s.bold != want.bold || s.foreColor != want.foreColor) {
                return QStringLiteral("step %1: style of (%2, %3)").arg(step).arg(r).arg(c);
            }
        }
    }
    return {};
}

// A text of a random kind: empty, inside the cell, just past it, long, or not ASCII.
QString randomText(QRandomGenerator& rng, int serial) {
    switch (rng.bounded(6)) {
        case 0:
            return {};
        case 1:
            return QString::number(serial % 1000);
        case 2:
            return QStringLiteral("t%1").arg(serial).left(7);
        case 3:
            return QStringLiteral("eight+ %1").arg(serial);
        case 4:
            return QString(static_cast<qsizetype>(rng.bounded(20, 400)), QChar(u'a' + serial % 26));
        default:
            return QStringLiteral("Zürich %1 東京").arg(serial);
    }
}

// Runs `steps` random operations with tables of up to `maxRows` x `maxCols`, comparing after
// every operation when `everyStep`, else now and then and at the end.
void run(quint32 seed, int steps, int maxRows, int maxCols, bool everyStep) {
    QRandomGenerator rng(seed);
    Table t;
    PlainTable p;
    // Snapshots taken on the way, each with what it held when taken, checked until dropped.
    struct Held {
        Table table;
        PlainTable plain;
        int step;
    };
    std::vector<Held> held;
    auto checkHeld = [&](const Held& h) {
        const QString diff = difference(h.table, h.plain, h.step);
        QVERIFY2(diff.isEmpty(),
                 qPrintable(QStringLiteral("seed %1, snapshot of ").arg(seed) + diff));
    };
    auto randomRow = [&](int extra = 0) { return int(rng.bounded(p.rows() + extra)); };
    // A random block: rows r1..r2 and columns c1..c2, corners in any order.
    auto randomBlock = [&](int& r1, int& c1, int& r2, int& c2) {
        r1 = randomRow();
        r2 = rng.bounded(4) == 0 ? randomRow() : std::min(r1 + int(rng.bounded(3)), p.rows() - 1);
        c1 = int(rng.bounded(p.cols()));
        c2 = int(rng.bounded(p.cols()));
    };
    for (int step = 0; step < steps; ++step) {
        const int op = int(rng.bounded(112));
        if (p.cols() == 0 || p.rows() == 0 || op < 8) {
            // Grow.
            const int rows = int(rng.bounded(1, std::max(2, maxRows / 4)));
            const int cols = int(rng.bounded(1, std::max(2, maxCols / 3)));
            if (p.rows() + rows <= maxRows) {
                const int at = randomRow(1);
                t.insertRows(at, rows);
                p.insertRows(at, rows);
            }
            if (p.cols() + cols <= maxCols) {
                const int at = int(rng.bounded(p.cols() + 1));
                t.insertColumns(at, cols);
                p.insertColumns(at, cols);
            }
        } else if (op < 45) {
            const int r = randomRow();
            const int c = int(rng.bounded(p.cols()));
            const QString text = randomText(rng, step);
            t.setText(r, c, text);
            p.cell(r, c).text = text;
        } else if (op < 52) {
            // Remove rows anywhere, from the first row too, fewer than the table holds or all.
            const int at = rng.bounded(3) == 0 ? 0 : randomRow();
            const int count = int(rng.bounded(1, p.rows() - at + 1));
            t.removeRows(at, count);
            p.removeRows(at, count);
        } else if (op < 56) {
            std::vector<int> set;
            for (int r = 0; r < p.rows(); ++r) {
                if (rng.bounded(4) == 0) {
                    set.push_back(r);
                }
            }
            t.removeRowSet(set);
            p.removeRowSet(set);
        } else if (op < 60) {
            const int at = int(rng.bounded(p.cols()));
            const int count = int(rng.bounded(1, p.cols() - at + 1));
            t.removeColumns(at, count);
            p.removeColumns(at, count);
        } else if (op < 68) {
            const int count = int(rng.bounded(1, p.rows() + 1));
            const int from = int(rng.bounded(p.rows() - count + 1));
            const int to = int(rng.bounded(p.rows() - count + 1));
            if (rng.bounded(2) == 0) {
                t.moveRows(from, count, to);
                p.moveRows(from, count, to);
            } else {
                t.moveRowTexts(from, count, to);
                p.moveRowTexts(from, count, to);
            }
        } else if (op < 72) {
            const int count = int(rng.bounded(1, p.cols() + 1));
            const int from = int(rng.bounded(p.cols() - count + 1));
            const int to = int(rng.bounded(p.cols() - count + 1));
            t.moveColumns(from, count, to);
            p.moveColumns(from, count, to);
        } else if (op < 80) {
            const int r = randomRow();
            const int c = int(rng.bounded(p.cols()));
            CellStyle s = t.style(r, c);
            s.bold = rng.bounded(2) == 0;
            s.foreColor = rng.bounded(3) == 0 ? 0 : 0xff000000u | rng.bounded(0xffffffu);
            t.setStyle(r, c, s);
            p.cell(r, c).bold = s.bold;
            p.cell(r, c).foreColor = s.foreColor;
        } else if (op < 86) {
            const int r = randomRow();
            const int h = rng.bounded(2) == 0 ? kDefaultRowHeight : int(rng.bounded(0, 2000));
            t.setRowHeight(r, h);
            p.height(r) = h;
        } else if (op < 94) {
            // A load-style row at the end.
            std::vector<QByteArray> owned;
            std::vector<std::string_view> texts;
            const int n = int(rng.bounded(0, p.cols() + 1));
            for (int i = 0; i < n; ++i) {
                owned.push_back(randomText(rng, step * 7 + i).toUtf8());
            }
            for (const QByteArray& b : owned) {
                texts.emplace_back(b.constData(), static_cast<size_t>(b.size()));
            }
            if (p.rows() < maxRows) {
                QCOMPARE(t.appendRow(texts), Table::AppendResult::Stored);
                p.insertRows(p.rows(), 1);
                for (int i = 0; i < n; ++i) {
                    p.cell(p.rows() - 1, i).text = QString::fromUtf8(owned[size_t(i)]);
                }
            }
        } else if (op < 96) {
            const int rows = int(rng.bounded(0, maxRows + 1));
            t.setRowCount(rows);
            if (rows > p.rows()) {
                p.insertRows(p.rows(), rows - p.rows());
            } else {
                p.removeRows(rows, p.rows() - rows);
            }
        } else if (op < 98) {
            const int cols = int(rng.bounded(0, maxCols + 1));
            t.setColumnCount(cols);
            if (cols > p.cols()) {
                p.insertColumns(p.cols(), cols - p.cols());
            } else {
                p.removeColumns(cols, p.cols() - cols);
            }
        } else if (op < 100) {
            t.clearCells();
            p.clearCells();
        } else if (op < 104) {
            // One style for a whole block.
            int r1, c1, r2, c2;
            randomBlock(r1, c1, r2, c2);
            CellStyle s;
            s.bold = rng.bounded(2) == 0;
            s.foreColor = rng.bounded(3) == 0 ? 0 : 0xff000000u | rng.bounded(4);
            t.setStyles(r1, c1, r2, c2, s);
            for (int r = std::min(r1, r2); r <= std::max(r1, r2); ++r) {
                for (int c = std::min(c1, c2); c <= std::max(c1, c2); ++c) {
                    p.cell(r, c).bold = s.bold;
                    p.cell(r, c).foreColor = s.foreColor;
                }
            }
        } else if (op < 108) {
            // A change of each style a block holds: bold turned over, and maybe a colour.
            int r1, c1, r2, c2;
            randomBlock(r1, c1, r2, c2);
            const uint32_t color = rng.bounded(2) == 0 ? 0 : 0xff000000u | rng.bounded(4);
            const auto change = [color](bool& bold, uint32_t& foreColor) {
                bold = !bold;
                if (color != 0) {
                    foreColor = color;
                }
            };
            t.changeStyles(r1, c1, r2, c2,
                           [&change](CellStyle& s) { change(s.bold, s.foreColor); });
            for (int r = std::min(r1, r2); r <= std::max(r1, r2); ++r) {
                for (int c = std::min(c1, c2); c <= std::max(c1, c2); ++c) {
                    change(p.cell(r, c).bold, p.cell(r, c).foreColor);
                }
            }
        } else if (op < 110) {
            // A snapshot, checked from now on while the table goes on changing.
            if (held.size() >= 3) {
                checkHeld(held.front());
                held.erase(held.begin());
            }
            held.push_back({t.snapshot(), p, step});
        } else if (!held.empty()) {
            // A snapshot may be changed too, leaving the table alone.
            Held& h = held[rng.bounded(static_cast<quint32>(held.size()))];
            if (h.plain.rows() > 0 && h.plain.cols() > 0) {
                const int r = int(rng.bounded(h.plain.rows()));
                const int c = int(rng.bounded(h.plain.cols()));
                const QString text = randomText(rng, step);
                h.table.setText(r, c, text);
                h.plain.cell(r, c).text = text;
            }
        }
        if (everyStep || step % 500 == 0 || step == steps - 1) {
            const QString diff = difference(t, p, step);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("seed %1, ").arg(seed) + diff));
            for (const Held& h : held) {
                checkHeld(h);
            }
            if (QTest::currentTestFailed()) {
                return;
            }
        }
    }
}

}  // namespace

class TstTableDiff : public QObject {
    Q_OBJECT

private slots:
    // Small tables, compared after every step: every path of every operation, many times.
    void smallTablesEveryStep_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 20261206u}) {
            QTest::addRow("seed %u", seed) << seed;
        }
    }
    void smallTablesEveryStep() {
        QFETCH(quint32, seed);
        run(seed, 6000, 40, 12, true);
    }

    // Tables long enough to cross the 8192-row storage blocks and to make arenas compact.
    void longTables() { run(7, 1500, 20000, 6, false); }

    // The removal that once dropped the wrong rows: from row 0, fewer rows than the table holds.
    void removeFromTheFirstRow() {
        Table t(5, 2);
        for (int r = 0; r < 5; ++r) {
            t.setText(r, 0, QString::number(r));
            t.setText(r, 1, QStringLiteral("long text %1").arg(r));
        }
        t.removeRows(0, 3);
        QCOMPARE(t.rowCount(), 2);
        QCOMPARE(t.text(0, 0), QStringLiteral("3"));
        QCOMPARE(t.text(1, 1), QStringLiteral("long text 4"));
        t.insertRows(0, 2);  // recycled rows come back empty
        QCOMPARE(t.text(0, 0), QString());
        QCOMPARE(t.text(1, 1), QString());
        QCOMPARE(t.text(2, 0), QStringLiteral("3"));
    }
};

QTEST_GUILESS_MAIN(TstTableDiff)
#include "tst_tablediff.moc"
