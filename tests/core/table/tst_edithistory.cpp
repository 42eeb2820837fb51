// Undo and redo at the table's model: every change the model's operations make is recorded so
// that undoing it gives back the table cell for cell (texts, styles, heights, column attributes
// and counts), and redoing it gives the changed table again; a long random run of changes is
// undone to the start and redone to the end.
#include <QtTest>

#include <memory>
#include <new>
#include <random>
#include <vector>

#include "TableImage.h"
#include "core/table/EditRecorder.h"

using namespace pellumar;
using namespace pellumar::testing;
using CellProperty = GridModel::CellProperty;

namespace {

// A history as the window keeps one: finished steps in order, undone steps to redo.
struct History {
    EditRecorder recorder;
    std::vector<std::unique_ptr<EditStep>> done;
    std::vector<std::unique_ptr<EditStep>> undone;
    int forgotten = 0;

    explicit History(GridModel& model) {
        model.setRecorder(&recorder);
        recorder.setSink(
            [this](std::unique_ptr<EditStep> step) {
                done.push_back(std::move(step));
                undone.clear();
            },
            [this] {
                done.clear();
                undone.clear();
                ++forgotten;
            });
    }
    void undo() {
        const EditRecorder::Replay quiet(recorder);
        done.back()->undo();
        undone.push_back(std::move(done.back()));
        done.pop_back();
    }
    void redo() {
        const EditRecorder::Replay quiet(recorder);
        undone.back()->redo();
        done.push_back(std::move(undone.back()));
        undone.pop_back();
    }
    QString lastName() const { return done.empty() ? QString() : done.back()->name(); }
};

// A table with texts (short and long), a few styles, heights and attributes.
void fill(GridModel& m, int records, int cols, std::mt19937& rng) {
    const auto quiet = EditRecorder::Pause(*m.recorder());
    m.setCols(cols);
    m.setRows(records + 1);
    for (int r = 0; r <= records; ++r) {
        for (int c = 0; c < cols; ++c) {
            const int kind = static_cast<int>(rng() % 4);
            const QString t = kind == 0   ? QString()
                              : kind == 1 ? QString::number(rng() % 1000)
                                          : QStringLiteral("cell %1/%2 long text").arg(r).arg(c);
            m.setText(r, c, r == 0 ? QStringLiteral("T%1").arg(c) : t);
        }
    }
    m.setCell(CellProperty::FontBold, 2, 0, 3, 1, true);
    m.setCell(CellProperty::BackColor, 4, 1, 4, 2, 0xff00ff00u);
    m.setRowHeight(3, 600);
    m.setColFormat(1, QStringLiteral("0.00"));
    m.setColDataType(cols - 1, DataTypeCheckbox);
}

}  // namespace

class TstEditHistory : public QObject {
    Q_OBJECT

    struct Fixture {
        GridModel model;
        History history{model};
        std::mt19937 rng{7};
        Fixture() {
            model.setFixedRows(1);
            fill(model, 12, 5, rng);
            history.forgotten = 0;
        }
    };

    // Runs `change` as one step and checks that undo and redo give the tables before and after.
    template <typename Change>
    static void checkUndoRedo(Fixture& f, const QString& name, Change&& change) {
        const Image before = imageOf(f.model);
        {
            const auto step = f.model.recorder()->step(name);
            change(f.model);
        }
        const Image after = imageOf(f.model);
        QVERIFY2(!(before == after), qPrintable(name + QStringLiteral(" changed nothing")));
        QCOMPARE(f.history.done.size(), size_t{1});
        QCOMPARE(f.history.lastName(), name);
        f.history.undo();
        COMPARE_IMAGES(imageOf(f.model), before);
        f.history.redo();
        COMPARE_IMAGES(imageOf(f.model), after);
        f.history.undo();
        COMPARE_IMAGES(imageOf(f.model), before);
        f.history.redo();
        COMPARE_IMAGES(imageOf(f.model), after);
    }

private slots:
    void everyOperationIsUndoneAndRedoneExactly_data() {
        QTest::addColumn<int>("op");
        const char* names[] = {
            "setText",      "setBlockText",   "setClipText",   "clearTextsOfRows",
            "copyTexts",    "bold block",     "back colour",   "alignment",
            "checked",      "setCheckState",  "row heights",   "adjust heights",
            "attributes",   "combo list",     "insert rows",   "remove rows",
            "row set few",  "row set many",   "insert column", "remove columns",
            "move rows",    "move row texts", "move column",   "sort",
            "grow rows",    "shrink rows",    "grow columns",  "shrink columns",
            "title row out"};
        for (int i = 0; i < int(std::size(names)); ++i) {
            QTest::newRow(names[i]) << i;
        }
    }
    void everyOperationIsUndoneAndRedoneExactly() {
        QFETCH(int, op);
        Fixture f;
        Table other(5, 3);
        for (int r = 0; r < 5; ++r) {
            for (int c = 0; c < 3; ++c) {
                other.setText(r, c, QStringLiteral("o%1%2").arg(r).arg(c));
            }
        }
        const std::vector<int> few{2, 3, 7};
        const std::vector<int> many = [] {
            std::vector<int> v;
            for (int r = 1; r < 13; r += 2) {
                v.push_back(r);
            }
            return v;
        }();
        checkUndoRedo(f, QStringLiteral("Step"), [&](GridModel& m) {
            switch (op) {
                case 0:
                    m.setText(2, 1, QStringLiteral("typed"));
                    break;
                case 1:
                    m.setBlockText(1, 0, 4, 3, QStringLiteral("x"));
                    break;
                case 2:
                    m.setClipText(2, 1, 12, 4, QStringLiteral("a\tb\nlonger text\t\"q\nq\"\nc"));
                    break;
                case 3:
                    m.clearTextsOfRows(few, 0, 4);
                    break;
                case 4:
                    m.copyTexts(other, 1, 0, 4, 3, 10, 3);
                    break;
                case 5:
                    m.setCell(CellProperty::FontBold, 1, 0, 12, 4, true);
                    break;
                case 6:
                    m.setCell(CellProperty::BackColor, 0, 2, 6, 3, 0xffff0000u);
                    break;
                case 7:
                    m.setCell(CellProperty::Alignment, 3, 0, 5, 4, int(AlignRightCenter));
                    break;
                case 8:
                    m.setCell(CellProperty::Checked, 1, 3, 4, 4, int(CheckChecked));
                    break;
                case 9:
                    m.setCheckState(5, 4, CheckChecked);
                    m.setCheckState(5, 0, CheckChecked);
                    break;
                case 10:
                    m.setRowHeights(1, 12, 900);
                    break;
                case 11:
                    m.adjustRowHeights(few, 240);
                    break;
                case 12:
                    m.setColAlignment(-1, AlignCenterCenter);
                    m.setColHidden(2, true);
                    break;
                case 13:
                    m.setColComboList(1, QStringLiteral("a|b"));
                    break;
                case 14:
                    m.insertRowsAt(3, 4);
                    break;
                case 15:
                    m.removeRowsAt(2, 5);
                    break;
                case 16:
                    m.removeRowSet(few);
                    break;
                case 17:
                    m.removeRowSet(many);
                    break;
                case 18:
                    m.insertColumnsAt(1, 2);
                    m.setText(0, 1, QStringLiteral("new"));
                    break;
                case 19:
                    m.removeColumnsAt(1, 2);
                    break;
                case 20:
                    m.moveRowBlock(2, 3, 8);
                    break;
                case 21:
                    m.moveRowTexts(9, 2, 1);
                    break;
                case 22:
                    m.moveColumn(0, 3);
                    break;
                case 23:
                    m.sortRecords(2, false);
                    break;
                case 24:
                    m.setRows(40);
                    break;
                case 25:
                    m.setRows(4);
                    break;
                case 26:
                    m.setCols(9);
                    break;
                case 27:
                    m.setCols(2);
                    break;
                case 28:
                    m.removeRowsAt(0, 3);
                    break;
            }
        });
    }

    // A long run of random changes, some of them several to a step, undone to the start and
    // redone to the end, the table checked at every step on the way.
    void randomChangesAreUndoneAndRedone() {
        Fixture f;
        GridModel& m = f.model;
        std::mt19937 rng(20261207);
        const auto pick = [&](int n) { return n <= 0 ? 0 : static_cast<int>(rng() % unsigned(n)); };
        std::vector<Image> images{imageOf(m)};
        for (int i = 0; i < 400; ++i) {
            const int changes = pick(4) == 0 ? 3 : 1;
            {
                const auto step = m.recorder()->step(QStringLiteral("Random"));
                for (int k = 0; k < changes; ++k) {
                    const int rows = m.rows();
                    const int cols = m.cols();
                    const int r = 1 + pick(rows - 1);
                    const int c = pick(cols);
                    switch (pick(16)) {
                        case 0:
                            m.setText(pick(rows), c, QString::number(rng()));
                            break;
                        case 1:
                            m.setClipText(r, c, rows - 1, cols - 1,
                                          QStringLiteral("p\tlonger pasted text\nq"));
                            break;
                        case 2:
                            m.setCell(CellProperty::FontItalic, r, 0, std::min(rows - 1, r + 3), c,
                                      pick(2) == 1);
                            break;
                        case 3:
                            m.setCell(CellProperty::ForeColor, r, c, r, c,
                                      uint(0xff000000u + rng() % 8));
                            break;
                        case 4:
                            if (rows < 60)
                                m.insertRowsAt(r, 1 + pick(3));
                            break;
                        case 5:
                            if (rows > 4)
                                m.removeRowsAt(r, 1 + pick(std::min(3, rows - r)));
                            break;
                        case 6: {
                            std::vector<int> set;
                            for (int x = 1; x < rows; ++x) {
                                if (pick(5) == 0)
                                    set.push_back(x);
                            }
                            if (int(set.size()) < rows - 3)
                                m.removeRowSet(set);
                            break;
                        }
                        case 7:
                            if (cols < 12)
                                m.insertColumnsAt(c, 1);
                            break;
                        case 8:
                            if (cols > 2)
                                m.removeColumnsAt(c, 1);
                            break;
                        case 9:
                            m.moveColumn(c, pick(cols));
                            break;
                        case 10:
                            m.sortRecords(c, pick(2) == 1);
                            break;
                        case 11:
                            if (r + 1 < rows)
                                m.moveRowTexts(r, 1, r + 1);
                            break;
                        case 12:
                            m.adjustRowHeights(std::vector<int>{r}, 240);
                            break;
                        case 13:
                            m.setColFormat(c, pick(2) ? QStringLiteral("0.0") : QString());
                            break;
                        case 14:
                            m.setRows(std::clamp(rows + pick(7) - 3, 3, 60));
                            break;
                        case 15:
                            m.setCols(std::clamp(cols + pick(3) - 1, 2, 12));
                            break;
                    }
                }
            }
            if (f.history.done.size() == images.size()) {
                images.push_back(imageOf(m));
            } else {
                COMPARE_IMAGES(imageOf(m), images.back());  // changing nothing makes no step
            }
            // Now and then an undo and a redo on the way.
            if (pick(10) == 0 && !f.history.done.empty()) {
                f.history.undo();
                COMPARE_IMAGES(imageOf(m), images[images.size() - 2]);
                f.history.redo();
                COMPARE_IMAGES(imageOf(m), images.back());
            }
        }
        QVERIFY(images.size() > 300);
        for (size_t i = images.size() - 1; i > 0; --i) {
            f.history.undo();
            COMPARE_IMAGES(imageOf(m), images[i - 1]);
        }
        for (size_t i = 1; i < images.size(); ++i) {
            f.history.redo();
            COMPARE_IMAGES(imageOf(m), images[i]);
        }
    }

    void stepsFoldAndNameThemselves() {
        Fixture f;
        GridModel& m = f.model;
        {
            const auto outer = m.recorder()->step(QStringLiteral("Outer"));
            const auto inner = m.recorder()->step(QStringLiteral("Inner"));
            m.setText(1, 1, QStringLiteral("a"));
            m.insertRowsAt(2, 1);
        }
        QCOMPARE(f.history.done.size(), size_t{1});
        QCOMPARE(f.history.lastName(), QStringLiteral("Outer"));
        {
            const auto nothing = m.recorder()->step(QStringLiteral("Nothing"));
            m.setText(99, 99, QStringLiteral("outside"));
        }
        QCOMPARE(f.history.done.size(), size_t{1});
        // Changes made with no step open are steps of their own, named for what they were.
        m.setData(m.indexAt(3, 1), QStringLiteral("typed"));
        QCOMPARE(f.history.lastName(), QStringLiteral("Typing"));
        m.moveColumn(0, 2);
        QCOMPARE(f.history.lastName(), QStringLiteral("Move Column"));
        m.setRows(30);
        QCOMPARE(f.history.lastName(), QStringLiteral("Table Size"));
        QCOMPARE(f.history.done.size(), size_t{4});
        // Column widths are the view's: no step.
        m.setColWidth(1, 2500);
        QCOMPARE(f.history.done.size(), size_t{4});
        // A load forgets the history.
        m.replaceTable(Table(3, 3));
        QVERIFY(f.history.done.empty());
        QCOMPARE(f.history.forgotten, 1);
    }

    // A step the history cannot take for want of memory leaves it behind the table: the history
    // forgets, rather than undo into a table it no longer matches.
    void aStepWithoutMemoryMakesTheHistoryForget() {
        Fixture f;
        f.model.setText(1, 1, QStringLiteral("a"));
        QCOMPARE(f.history.done.size(), size_t{1});
        f.model.recorder()->setSink([](std::unique_ptr<EditStep>) { throw std::bad_alloc(); },
                                    [&] {
                                        f.history.done.clear();
                                        ++f.history.forgotten;
                                    });
        f.model.setText(1, 1, QStringLiteral("b"));
        QCOMPARE(f.model.text(1, 1), QStringLiteral("b"));
        QVERIFY(f.history.done.empty());
        QCOMPARE(f.history.forgotten, 1);
    }

    // Rows a dropped step kept aside go back to the table empty, even into a column that was
    // out of the table when they were let go.
    void releasedRowsComeBackEmpty() {
        Fixture f;
        GridModel& m = f.model;
        m.removeRowsAt(2, 3);               // step A keeps three rows aside
        m.removeColumnsAt(0, 1);            // step B holds column 0, those rows' cells included
        f.history.done.front()->release();  // A leaves the history while done
        f.history.done.erase(f.history.done.begin());
        m.insertRowsAt(1, 3);  // takes the released rows again
        f.history.undo();      // the new rows are let go again
        f.history.undo();      // B: column 0 comes back
        m.insertRowsAt(1, 3);
        for (int r = 1; r <= 3; ++r) {
            for (int c = 0; c < m.cols(); ++c) {
                QVERIFY2(m.text(r, c).isEmpty(), qPrintable(m.text(r, c)));
                QVERIFY(!m.table().hasStyle(r, c));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TstEditHistory)
#include "tst_edithistory.moc"
