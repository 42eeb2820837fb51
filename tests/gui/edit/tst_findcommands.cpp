// The Find window over a main window: how it opens, its controls, Find Next by button and by
// Enter, the end-of-pass messages, the count carried between openings, the text box, and the
// close step in Row and Block mode.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "TestWindow.h"
#include "gui/edit/FindController.h"
#include "gui/edit/frmSearch.h"

using namespace pellumar;

namespace {

const QString kNotFound = QStringLiteral("Search text is not found.");

QString searched(int count) {
    return QStringLiteral("The document has been searched.\r\n%1 found.").arg(count);
}

// apple at (2, 0) and Apple pie at (5, 1) of the untitled table.
void appleTable(frmMain* m) {
    m->fa()->setTextMatrix(2, 0, QStringLiteral("apple"));
    m->fa()->setTextMatrix(5, 1, QStringLiteral("Apple pie"));
}

frmSearch* openFind(TestWindow& w) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w->action(CommandId::mnuEditFind)->trigger();
    return w->findCommands().dialog();
}

void closeFind(frmSearch* d) {
    QTest::mouseClick(d->cmdClose(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// One Find Next: the hit as "row,col", or the message it ended with.
QString next(TestWindow& w, frmSearch* d) {
    const int asked = w.prompter.asked().size();
    QTest::mouseClick(d->cmdNext(), Qt::LeftButton);
    if (w.prompter.asked().size() > asked) {
        const auto& q = w.prompter.last();
        if (q.icon != Prompter::Icon::Exclamation || q.caption != QStringLiteral("Pellumar") ||
            q.buttons != QMessageBox::Ok) {
            return QStringLiteral("wrong message box");
        }
        return q.text;
    }
    return QStringLiteral("%1,%2").arg(w->fa()->row()).arg(w->fa()->col());
}

}  // namespace

class TstFindCommands : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

private slots:
    void init() { settings_.clear(); }

    void opensInTopRightCorner() {
        TestWindow w(true);
        w->move(40, 30);
        QCOMPARE(w->fa()->selectionKind(), int(GridControl::SelectionByRow));
        frmSearch* d = openFind(w);
        QVERIFY(d);
        QVERIFY(d->isVisible());
        QVERIFY(d->isModal());
        QCOMPARE(d->windowTitle(), QStringLiteral("Search"));
        QCOMPARE(d->frameGeometry().top(), w->frameGeometry().top());
        QCOMPARE(d->frameGeometry().right(), w->frameGeometry().right());
        QVERIFY(d->txtSearched()->text().isEmpty());
        QCOMPARE(d->cmdNext()->text(), QStringLiteral("&Find Next"));
        QVERIFY(d->cmdNext()->isDefault());
        QCOMPARE(d->cmdClose()->text(), QStringLiteral("&Close"));
        QCOMPARE(d->chkMatchCase()->text(), QStringLiteral("Match case"));
        QVERIFY(!d->chkMatchCase()->isChecked());
        QCOMPARE(d->chkFromBeginning()->text(), QStringLiteral("Starting from the beginning"));
        QVERIFY(d->chkFromBeginning()->isChecked());
        QStringList labels;
        for (const QLabel* l : d->findChildren<QLabel*>()) {
            labels << l->text();
        }
        QVERIFY(labels.contains(QStringLiteral("Find text:")));
        QVERIFY(labels.contains(QStringLiteral("(Enter)")));
        // A hit shows as one cell.
        QCOMPARE(w->fa()->selectionKind(), int(GridControl::SelectionFree));
        // While it is open, the command brings the same window forward.
        QCOMPARE(w->findCommands().mnuEditFind_Click(), d);
        QCOMPARE(w->findChildren<frmSearch*>().size(), 1);
        closeFind(d);
        QVERIFY(!w->findCommands().dialog());
        // The toolbar's "Find" opens it as well.
        QTest::mouseClick(w->toolButton(QStringLiteral("Find")), Qt::LeftButton);
        QVERIFY(w->findCommands().dialog());
    }

    // The first two presses find apple and Apple pie, Enter as well as the button; the third
    // reports the pass; with Match case only apple is found.
    void applePass() {
        TestWindow w(true);
        appleTable(w.window.get());
        frmSearch* d = openFind(w);
        QTest::keyClicks(d->txtSearched(), QStringLiteral("apple"));
        QCOMPARE(next(w, d), QStringLiteral("2,0"));
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("apple"));  // the Form Panel follows
        QTest::keyClick(d->txtSearched(), Qt::Key_Return);
        QCOMPARE(w->fa()->row(), 5);
        QCOMPARE(w->fa()->col(), 1);
        QCOMPARE(w->fa()->selectionEndRow(), 5);  // one selected cell
        QCOMPARE(w->fa()->selectionEndCol(), 1);
        QCOMPARE(next(w, d), searched(2));
        QCOMPARE(w->findCommands().searchState().FoundCount(), int64_t(0));

        d->chkMatchCase()->setChecked(true);
        QCOMPARE(next(w, d), QStringLiteral("2,0"));
        QCOMPARE(next(w, d), searched(1));
        QVERIFY(!w->document().isModified());
    }

    // Searches compare stored texts: a Money cell shown as $1,234.00 holds no dollar sign.
    void storedTextsNotDisplay() {
        TestWindow w(true);
        w->fa()->setColDataType(1, DataTypeMoney);
        w->fa()->setColFormat(1, QStringLiteral("$#,###.00"));
        w->fa()->setTextMatrix(2, 1, QStringLiteral("1234"));
        QCOMPARE(w->document().model().displayText(2, 1), QStringLiteral("$1,234.00"));
        frmSearch* d = openFind(w);
        QTest::keyClicks(d->txtSearched(), QStringLiteral("$"));
        QCOMPARE(next(w, d), kNotFound);
        QCOMPARE(next(w, d), kNotFound);
    }

    // Two hits, closed, opened again: the next end-of-pass message counts them as well. A change
    // of the text starts the position again, not the count.
    void countCarriedOverOpenings() {
        TestWindow w(true);
        appleTable(w.window.get());
        frmSearch* d = openFind(w);
        QTest::keyClicks(d->txtSearched(), QStringLiteral("apple"));
        QCOMPARE(next(w, d), QStringLiteral("2,0"));
        QCOMPARE(next(w, d), QStringLiteral("5,1"));
        closeFind(d);

        d = openFind(w);
        QVERIFY(d->txtSearched()->text().isEmpty());
        QTest::keyClicks(d->txtSearched(), QStringLiteral("appl"));
        QCOMPARE(next(w, d), QStringLiteral("2,0"));
        QTest::keyClicks(d->txtSearched(), QStringLiteral("e"));
        QCOMPARE(next(w, d), QStringLiteral("2,0"));
        QCOMPARE(next(w, d), QStringLiteral("5,1"));
        QCOMPARE(next(w, d), searched(5));
    }

    // An empty text stops at each non-empty cell, column by column.
    void emptyText() {
        TestWindow w(true);
        w->fa()->setTextMatrix(4, 0, QStringLiteral("z"));
        w->fa()->setTextMatrix(2, 1, QStringLiteral("y"));
        frmSearch* d = openFind(w);
        QCOMPARE(next(w, d), QStringLiteral("4,0"));
        QCOMPARE(next(w, d), QStringLiteral("2,1"));
        QCOMPARE(next(w, d), searched(2));
    }

    void textSelectedOnFocus() {
        TestWindow w(true);
        frmSearch* d = openFind(w);
        d->txtSearched()->setText(QStringLiteral("apple"));
        d->txtSearched()->deselect();
        QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(d->txtSearched(), &focusIn);
        QTRY_COMPARE(d->txtSearched()->selectedText(), QStringLiteral("apple"));
    }

    // Row mode: closing after a hit in record 7 selects record 7 as a whole row, and the grid
    // selects whole rows again.
    void closeInRowMode() {
        TestWindow w(true);
        w->fa()->setTextMatrix(7, 2, QStringLiteral("needle"));
        frmSearch* d = openFind(w);
        QTest::keyClicks(d->txtSearched(), QStringLiteral("needle"));
        QCOMPARE(next(w, d), QStringLiteral("7,2"));
        closeFind(d);
        GridControl* fa = w->fa();
        QCOMPARE(fa->selectionKind(), int(GridControl::SelectionByRow));
        QCOMPARE(fa->row(), 7);
        QCOMPARE(fa->selectedRows(), 1);
        QCOMPARE(fa->selectionLeft(), 0);
        QCOMPARE(fa->selectionRight(), fa->cols() - 1);
        QVERIFY(fa->selectionModel()->isRowSelected(6, {}));  // record 7 below the title row
        QCOMPARE(w->fb()->textMatrix(3, 1), QStringLiteral("needle"));
    }

    // Block mode: closing selects the hit cell, and the grid stays in free blocks.
    void closeInBlockMode() {
        TestWindow w(true);
        w->styles().mnuMouseMode_Click(1);
        w->fa()->setTextMatrix(7, 2, QStringLiteral("needle"));
        w->fa()->select(1, 0, 3, 3);
        frmSearch* d = openFind(w);
        QTest::keyClicks(d->txtSearched(), QStringLiteral("needle"));
        QCOMPARE(next(w, d), QStringLiteral("7,2"));
        QCOMPARE(next(w, d), searched(1));
        d->close();  // the close box
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w->findCommands().dialog());
        GridControl* fa = w->fa();
        QCOMPARE(fa->selectionKind(), int(GridControl::SelectionFree));
        QCOMPARE(fa->row(), 7);
        QCOMPARE(fa->col(), 2);
        QCOMPARE(fa->selectionEndRow(), 7);
        QCOMPARE(fa->selectionEndCol(), 2);
    }

    // Without a hit since opening, or since the text changed, closing leaves the selection.
    void closeWithoutHit() {
        TestWindow w(true);
        GridControl* fa = w->fa();
        fa->setTextMatrix(2, 0, QStringLiteral("apple"));
        fa->select(3, 0, 3, fa->cols() - 1);
        frmSearch* d = openFind(w);
        QTest::keyClicks(d->txtSearched(), QStringLiteral("pear"));
        QCOMPARE(next(w, d), kNotFound);
        QTest::keyClick(d, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w->findCommands().dialog());
        QCOMPARE(fa->selectionKind(), int(GridControl::SelectionByRow));
        QCOMPARE(fa->row(), 3);
        QCOMPARE(fa->selectedRows(), 1);

        w->styles().mnuMouseMode_Click(1);
        fa->select(4, 1, 5, 2);
        d = openFind(w);
        QTest::keyClicks(d->txtSearched(), QStringLiteral("apple"));
        QCOMPARE(next(w, d), QStringLiteral("2,0"));
        QTest::keyClick(d->txtSearched(), Qt::Key_Backspace);  // the text changed: no hit since
        closeFind(d);
        QCOMPARE(fa->row(), 2);
        QCOMPARE(fa->col(), 0);
        QCOMPARE(fa->selectionEndRow(), 2);
    }
};

QTEST_MAIN(TstFindCommands)
#include "tst_findcommands.moc"
