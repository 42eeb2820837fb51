// Undo and redo in the main window: each command that changes the table is one step, named in
// the Edit menu ("U&ndo Paste"), undone and redone exactly; an undo or a redo marks the document
// modified; New and Open empty the history; the history keeps to its memory budget.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <new>
#include <vector>

#include "TableImage.h"
#include "TestWindow.h"
#include "core/document/NativeFile.h"
#include "gui/columns/frmColDef.h"
#include "gui/document/UndoController.h"
#include "gui/edit/CalcController.h"
#include "gui/edit/EditController.h"

using namespace pellumar;
using namespace pellumar::testing;

class TstUndo : public QObject {
    Q_OBJECT

    TestSettings settings_;
    std::unique_ptr<TestWindow> w_;

    frmMain* m() const { return w_->window.get(); }
    GridModel& model() const { return m()->document().model(); }
    UndoController& history() const { return m()->history(); }
    QString undoText() const { return m()->action(CommandId::mnuUndo)->text(); }
    QString redoText() const { return m()->action(CommandId::mnuRedo)->text(); }

    // Ten records of four columns, cells named by their place; the history empty, unmodified.
    void fill() {
        {
            const auto fresh = m()->document().freshHistory();
            model().setCols(4);
            model().setRows(11);
            for (int r = 0; r <= 10; ++r) {
                for (int c = 0; c < 4; ++c) {
                    model().setText(r, c,
                                    r == 0 ? QStringLiteral("T%1").arg(c)
                                           : QStringLiteral("r%1c%2").arg(r).arg(c));
                }
            }
        }
        m()->document().MakeModified(false);
    }

    // Runs a command and checks it made exactly one step of that name, which undo and redo
    // take back and make again cell for cell.
    void checkCommand(const QString& name, const std::function<void()>& command) {
        const Image before = imageOf(model());
        const int lastSortCol = m()->document().lastSortCol();
        const int steps = history().undoableSteps();
        command();
        const Image after = imageOf(model());
        const int sortedCol = m()->document().lastSortCol();
        QVERIFY2(!(before == after), qPrintable(name));
        QCOMPARE(history().undoableSteps(), steps + 1);
        QCOMPARE(undoText(), QStringLiteral("U&ndo ") + name);
        QVERIFY(m()->action(CommandId::mnuUndo)->isEnabled());
        m()->action(CommandId::mnuUndo)->trigger();
        COMPARE_IMAGES(imageOf(model()), before);
        QCOMPARE(m()->document().lastSortCol(), lastSortCol);
        QCOMPARE(redoText(), QStringLiteral("R&edo ") + name);
        m()->action(CommandId::mnuRedo)->trigger();
        COMPARE_IMAGES(imageOf(model()), after);
        QCOMPARE(m()->document().lastSortCol(), sortedCol);
        QCOMPARE(redoText(), QStringLiteral("R&edo"));
        QVERIFY(!m()->action(CommandId::mnuRedo)->isEnabled());
        // The views follow: the record box shows the count, the Form Panel the current record.
        QCOMPARE(m()->txtRow()->text(), QString::number(m()->document().recordCount()));
        QCOMPARE(m()->fb()->rows(), model().cols() + 1);
    }

private slots:
    void init() {
        settings_.clear();
        w_ = std::make_unique<TestWindow>();
        fill();
    }
    void cleanup() { w_.reset(); }

    void editMenuBeginsWithUndoAndRedo() {
        QMenu* edit = m()->action(CommandId::mnuEdit)->menu();
        const QList<QAction*> items = edit->actions();
        QCOMPARE(items.at(0), m()->action(CommandId::mnuUndo));
        QCOMPARE(items.at(1), m()->action(CommandId::mnuRedo));
        QVERIFY(items.at(2)->isSeparator());
        QCOMPARE(items.at(3), m()->action(CommandId::mnuEditCut));
        QCOMPARE(m()->action(CommandId::mnuUndo)->shortcuts(),
                 QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
        QCOMPARE(m()->action(CommandId::mnuRedo)->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                      QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
        // Nothing to undo or redo yet.
        QCOMPARE(undoText(), QStringLiteral("U&ndo"));
        QCOMPARE(redoText(), QStringLiteral("R&edo"));
        QVERIFY(!m()->action(CommandId::mnuUndo)->isEnabled());
        QVERIFY(!m()->action(CommandId::mnuRedo)->isEnabled());
    }

    void everyCommandIsOneStep() {
        EditController& edit = m()->editCommands();
        GridControl* fa = m()->fa();
        const auto blockMode = [&] { m()->action(CommandId::mnuMouseMode1)->trigger(); };
        const auto rowMode = [&] { m()->action(CommandId::mnuMouseMode0)->trigger(); };
        m()->views().setActiveArea(ActiveArea::DataGrid);

        checkCommand(QStringLiteral("Typing"),
                     [&] { model().setData(model().indexAt(2, 1), QStringLiteral("typed")); });
        blockMode();
        fa->select(2, 1, 4, 2);
        checkCommand(QStringLiteral("Cut"), [&] { edit.mnuEditCut_Click(); });
        QGuiApplication::clipboard()->setText(QStringLiteral("a\tb\nc\td\ne\tf"));
        fa->select(3, 2, 3, 2);
        checkCommand(QStringLiteral("Paste"), [&] { edit.mnuEditPaste_Click(); });
        checkCommand(QStringLiteral("Bold"), [&] { m()->styles().Bold_Click(); });
        checkCommand(QStringLiteral("Italic"), [&] { m()->styles().Italic_Click(); });
        checkCommand(QStringLiteral("Underline"), [&] { m()->styles().Underline_Click(); });
        checkCommand(QStringLiteral("Text Color"), [&] { m()->styles().SSPanelColor_Click(3); });
        w_->prompter.answerColor(QColor(10, 20, 30));
        checkCommand(QStringLiteral("Background Color"), [&] { m()->styles().mnuBkColor_Click(); });
        checkCommand(QStringLiteral("Alignment"), [&] { m()->styles().mnuAlignRight_Click(); });
        m()->calcCommands().setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(1, 2, 3)); });
        checkCommand(QStringLiteral("Date-Time Stamp"),
                     [&] { m()->action(CommandId::mnuDateTimeNow)->trigger(); });
        rowMode();
        fa->select(5, 0);
        checkCommand(QStringLiteral("Row Height"),
                     [&] { m()->navigation().mnuRowHeightInc_Click(); });
        checkCommand(QStringLiteral("Insert Row"), [&] { edit.mnuInsertRow_Click(); });
        fa->select(5, 1);
        checkCommand(QStringLiteral("Insert Column"), [&] { edit.mnuInsertCol_Click(); });
        checkCommand(QStringLiteral("Delete Column"), [&] { edit.mnuDeleteCol_Click(); });
        fa->select(3, 0, 6, model().cols() - 1);
        checkCommand(QStringLiteral("Delete Rows"), [&] { edit.mnuDeleteRow_Click(); });
        fa->select(3, 0, 4, model().cols() - 1);
        checkCommand(QStringLiteral("Move Up"), [&] { edit.mnuMoveUp_Click(); });
        fa->select(3, 0, 4, model().cols() - 1);
        checkCommand(QStringLiteral("Move Down"), [&] { edit.mnuMoveDown_Click(); });
        checkCommand(QStringLiteral("Add Row"), [&] { edit.mnuAddRow_Click(); });
        checkCommand(QStringLiteral("Add Row"),
                     [&] { m()->navigation().imgBtn_Click(NavigationController::AddRecord); });
        checkCommand(QStringLiteral("Table Size"),
                     [&] { m()->rowColControl()->UpDownCol_UpClick(); });
        checkCommand(QStringLiteral("Table Size"),
                     [&] { m()->rowColControl()->UpDownRow_DownClick(); });
        checkCommand(QStringLiteral("Delete Record"), [&] { edit.deleteCurrentRecord(); });
        // A sort brings back the arrows and the sort column too.
        checkCommand(QStringLiteral("Sort"),
                     [&] { fa->sortByColumn(2, GridControl::SortDescending); });
        checkCommand(QStringLiteral("Sort"),
                     [&] { fa->sortByColumn(1, GridControl::SortAscending); });
        QCOMPARE(model().cell(GridModel::CellProperty::Picture, 0, 1).toInt(), int(PictureSortUp));
        checkCommand(QStringLiteral("Move Column"), [&] { model().moveColumn(0, 2); });
        checkCommand(QStringLiteral("Form Record"), [&] {
            QVERIFY(dropTextOnDropBox(m(), QStringLiteral("T0=x\r\nNew=y")) != Qt::IgnoreAction);
        });
        m()->formReader().setSeparator(QStringLiteral("CV"));
        checkCommand(QStringLiteral("Form Record"),
                     [&] { dropTextOnDropBox(m(), QStringLiteral("1,2,3,4,5,6\r\n7,8")); });
        // Column Define: fewer columns, another type.
        checkCommand(QStringLiteral("Column Define"), [&] {
            frmColDef d(m(), m()->document(), m()->prompter(), *fa, m()->formPanel(),
                        *m()->txtCol(), false);
            d.fd->select(2, frmColDef::ColTitle);
            d.cmdCol[2]->click();  // one column less
            d.fd->setTextMatrix(1, frmColDef::ColDataType, QStringLiteral("Number"));
            w_->prompter.answerMessage(QMessageBox::Yes);  // drop the last column's data
            d.cmdBtn[0]->click();
            QCOMPARE(d.result(), int(QDialog::Accepted));
        });
    }

    void appendIsOneStep() {
        QTemporaryDir dir;
        Table t(4, 6);
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 6; ++c) {
                t.setText(r, c, QStringLiteral("a%1%2").arg(r).arg(c));
            }
        }
        const QString file = dir.filePath(QStringLiteral("more.plm"));
        QVERIFY(saveNative(t, file));
        model().setText(0, 3, QString());  // an empty title takes the file's
        w_->prompter.answerOpen(file);
        checkCommand(QStringLiteral("Append"), [&] { m()->fileCommands().mnuAppend_Click(); });
    }

    // After an undo or a redo the data grid shows the first cell the step changed.
    void undoAndRedoShowTheChange() {
        model().setData(model().indexAt(7, 2), QStringLiteral("typed"));
        m()->fa()->select(1, 0);
        history().mnuUndo_Click();
        QCOMPARE(m()->fa()->row(), 7);
        QCOMPARE(m()->fa()->col(), 2);
        QCOMPARE(m()->fb()->textMatrix(3, 1), QStringLiteral("r7c2"));
        m()->fa()->select(2, 1);
        history().mnuRedo_Click();
        QCOMPARE(m()->fa()->row(), 7);
        QCOMPARE(m()->fb()->textMatrix(3, 1), QStringLiteral("typed"));
        // A record brought back is the current one; a column keeps the current column.
        m()->fa()->select(4, 3);
        m()->editCommands().mnuDeleteRow_Click();
        m()->fa()->select(1, 1);
        history().mnuUndo_Click();
        QCOMPARE(m()->fa()->row(), 4);
        QCOMPARE(m()->fa()->col(), 1);
    }

    // Styles and heights aimed at the Form Panel change no document and make no step.
    void formPanelStylesMakeNoStep() {
        m()->views().setActiveArea(ActiveArea::FormPanel);
        m()->fb()->select(2, 1);
        const int steps = history().undoableSteps();
        m()->styles().Bold_Click();
        m()->styles().SSPanelColor_Click(2);
        m()->navigation().mnuRowHeightInc_Click();
        QCOMPARE(history().undoableSteps(), steps);
        QVERIFY(!m()->document().isModified());
    }

    // An undo or a redo marks the document modified, even when it brings back the saved table;
    // Save makes it clean as always.
    void undoAndRedoMarkModified() {
        model().setText(1, 1, QStringLiteral("x"));
        m()->document().MakeModified(false);  // as a save leaves it
        m()->action(CommandId::mnuUndo)->trigger();
        QVERIFY(m()->document().isModified());
        QVERIFY(m()->action(CommandId::mnuSave)->isEnabled());
        m()->document().MakeModified(false);
        m()->action(CommandId::mnuRedo)->trigger();
        QVERIFY(m()->document().isModified());
    }

    void newAndOpenEmptyTheHistory() {
        model().setText(1, 1, QStringLiteral("x"));
        m()->document().MakeModified(false);
        QVERIFY(history().canUndo());
        m()->fileCommands().mnuNew_Click();
        QVERIFY(!history().canUndo());
        QVERIFY(!history().canRedo());
        QCOMPARE(undoText(), QStringLiteral("U&ndo"));
        QCOMPARE(model().rows(), 21);

        model().setText(1, 1, QStringLiteral("y"));
        m()->action(CommandId::mnuUndo)->trigger();
        QVERIFY(history().canRedo());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("t.plm"));
        QVERIFY(saveNative(Table(3, 2), file));
        m()->document().MakeModified(false);
        w_->prompter.answerOpen(file);
        m()->fileCommands().mnuOpen_Click(0);
        QCOMPARE(model().rows(), 3);
        QVERIFY(!history().canUndo());
        QVERIFY(!history().canRedo());
        QVERIFY(!m()->document().isModified());
    }

    // Beyond the budget the oldest steps give up what they keep; the newest stays undoable.
    void theBudgetDropsTheOldestSteps() {
        UndoController& h = history();
        const QString big(20000, u'x');
        std::vector<size_t> sizes;
        for (int i = 0; i < 6; ++i) {
            const size_t before = h.historyBytes();
            {
                const auto step = m()->document().step(QStringLiteral("Paste"));
                model().setBlockText(1, 0, 10, 3, big + QString::number(i));  // 800 KB of texts
            }
            sizes.push_back(h.historyBytes() - before);
        }
        QCOMPARE(h.undoableSteps(), 6);
        for (int i = 1; i < 6; ++i) {
            // The texts the step wrote over (the table holds the new ones), and little more.
            QVERIFY2(sizes[i] > 800000 && sizes[i] < 850000, qPrintable(QString::number(sizes[i])));
        }
        h.setBudget(sizes[4] + sizes[5] + 100);
        QCOMPARE(h.undoableSteps(), 2);
        QVERIFY(h.historyBytes() <= h.budget());
        // The two kept steps undo exactly; the one below them cannot be undone.
        h.mnuUndo_Click();
        h.mnuUndo_Click();
        QCOMPARE(model().text(1, 0), big + QStringLiteral("3"));
        QVERIFY(!h.canUndo());
        QCOMPARE(undoText(), QStringLiteral("U&ndo"));
        h.mnuRedo_Click();
        QCOMPARE(model().text(1, 0), big + QStringLiteral("4"));
        // A single step bigger than the budget is still undoable.
        h.setBudget(1000);
        model().setBlockText(1, 0, 10, 3, big);
        QCOMPARE(h.undoableSteps(), 1);
        h.mnuUndo_Click();
        QCOMPARE(model().text(1, 0), big + QStringLiteral("4"));
    }

    // An undo that runs out of memory stops part of the way: the history no longer matches the
    // table, so it goes, and the user is told.
    void anUndoOutOfMemoryEmptiesTheHistory() {
        struct NoMemory : TableChange {
            void undo() override { throw std::bad_alloc(); }
            void redo() override {}
            size_t bytes() const override { return 0; }
        };
        model().setText(2, 2, QStringLiteral("kept"));
        {
            const auto step = m()->document().step(QStringLiteral("Paste"));
            model().setText(1, 1, QStringLiteral("x"));
            m()->document().recorder().record(std::make_unique<NoMemory>());
        }
        m()->document().MakeModified(false);
        m()->action(CommandId::mnuUndo)->trigger();
        QVERIFY(!history().canUndo());
        QVERIFY(!history().canRedo());
        QCOMPARE(undoText(), QStringLiteral("U&ndo"));
        QCOMPARE(w_->prompter.last().icon, Prompter::Icon::Critical);
        QVERIFY(w_->prompter.last().text.startsWith(
            QStringLiteral("There was not enough memory to undo Paste")));
        QVERIFY(m()->document().isModified());
        QCOMPARE(model().text(2, 2), QStringLiteral("kept"));
    }

    // A Delete Rows keeps the removed records, not the table; undone it gives them back, with
    // records scattered over the table as well.
    void deleteRowsKeepsOnlyTheRemovedRecords() {
        {
            const auto fresh = m()->document().freshHistory();
            model().setRows(20001);
            model().setBlockText(1, 0, 20000, 3, QStringLiteral("a text of some length"));
        }
        const Image before = imageOf(model());
        m()->fa()->select(101, 0, 200, 3);
        m()->editCommands().mnuDeleteRow_Click();
        QCOMPARE(model().rows(), 20001 - 100);
        QVERIFY2(history().historyBytes() < 100 * 4 * (8 + 21) + 8192,
                 qPrintable(QString::number(history().historyBytes())));
        history().mnuUndo_Click();
        COMPARE_IMAGES(imageOf(model()), before);
        m()->fa()->selectRowList({2, 50, 51, 7000, 19999});
        checkCommand(QStringLiteral("Delete Rows"),
                     [&] { m()->editCommands().mnuDeleteRow_Click(); });
    }
};

QTEST_MAIN(TstUndo)
#include "tst_undo.moc"
