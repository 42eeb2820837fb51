// Arithmetic and the date-time stamp over a main window: Arithmetic enabled by the mouse mode,
// its message for blocks selected either way, and the stamp into the data grid's current cell or
// the Form Panel's current field, with both views in step and the document modified.
#include <QAction>
#include <QtTest>

#include "TestWindow.h"
#include "core/columns/DisplayFormat.h"
#include "gui/edit/CalcController.h"

using namespace pellumar;

namespace {

const QDateTime kNow(QDate(2024, 3, 14), QTime(13, 5, 9));
const QString kStamp = QStringLiteral("3/14/2024 1:05:09 PM");

// Runs Arithmetic and gives its message.
QString arithmetic(TestWindow& w) {
    const int asked = w.prompter.asked().size();
    w->action(CommandId::mnuEditStat)->trigger();
    if (w.prompter.asked().size() != asked + 1) {
        return QStringLiteral("no message");
    }
    const auto& q = w.prompter.last();
    if (q.icon != Prompter::Icon::None || q.caption != QStringLiteral("Pellumar") ||
        q.buttons != QMessageBox::Ok) {
        return QStringLiteral("wrong message box");
    }
    return q.text;
}

void stamp(TestWindow& w) {
    w->action(CommandId::mnuDateTimeNow)->trigger();
}

}  // namespace

class TstCalcCommands : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

private slots:
    void init() { settings_.clear(); }

    // Off at start-up; switching to Block mode offers it, back to Row mode takes it away.
    void arithmeticFollowsMouseMode() {
        TestWindow w(true);
        QAction* stat = w->action(CommandId::mnuEditStat);
        QVERIFY(!stat->isEnabled());
        w->styles().mnuMouseMode_Click(1);
        QVERIFY(stat->isEnabled());
        w->styles().mnuMouseMode_Click(0);
        QVERIFY(!stat->isEnabled());
        w->action(CommandId::mnuMouseMode1)->trigger();
        QVERIFY(stat->isEnabled());
    }

    // 10, 20, an empty cell and a word: Sum = 30, Count = 4, Average = 7.5, whichever way the
    // block was selected; nothing changes and the document stays unmodified.
    void arithmeticOverBlock() {
        TestWindow w(true);
        w->styles().mnuMouseMode_Click(1);
        GridControl* fa = w->fa();
        fa->setTextMatrix(1, 1, QStringLiteral("10"));
        fa->setTextMatrix(2, 1, QStringLiteral("20"));
        fa->setTextMatrix(4, 1, QStringLiteral("total"));
        fa->setTextMatrix(6, 3, QStringLiteral("2.5"));
        const QString expected = QStringLiteral("Sum = 30\r\nCount = 4\r\nAverage = 7.5");
        fa->select(1, 1, 4, 1);
        QCOMPARE(arithmetic(w), expected);
        fa->select(4, 1, 1, 1);  // selected upwards
        QCOMPARE(arithmetic(w), expected);
        fa->select(6, 3);
        QCOMPARE(arithmetic(w), QStringLiteral("Sum = 2.5\r\nCount = 1\r\nAverage = 2.5"));
        fa->select(10, 4, 7, 2);  // all empty, upwards and leftwards
        QCOMPARE(arithmetic(w), QStringLiteral("Sum = 0\r\nCount = 12\r\nAverage = 0"));
        QVERIFY(!w->document().isModified());
        QCOMPARE(fa->textMatrix(1, 1), QStringLiteral("10"));
    }

    // The stamp in the data grid: after an empty cell's text a space and the stamp, after a word
    // the same; twice gives two stamps; the Form Panel shows the new text; the document is
    // modified.
    void stampInDataGrid() {
        TestWindow w(true);
        w->calcCommands().setClock([] { return kNow; });
        GridControl* fa = w->fa();
        w->views().setActiveArea(ActiveArea::DataGrid);
        fa->select(2, 1);
        stamp(w);
        QCOMPARE(fa->textMatrix(2, 1), QStringLiteral(" ") + kStamp);
        QVERIFY(w->document().isModified());
        QVERIFY(w->action(CommandId::mnuSave)->isEnabled());
        QCOMPARE(w->fb()->textMatrix(2, 1), QStringLiteral(" ") + kStamp);

        fa->setTextMatrix(3, 1, QStringLiteral("paid"));
        fa->select(3, 1);
        stamp(w);
        QCOMPARE(fa->textMatrix(3, 1), QStringLiteral("paid ") + kStamp);
        stamp(w);
        QCOMPARE(fa->textMatrix(3, 1), QStringLiteral("paid ") + kStamp + u' ' + kStamp);
        QCOMPARE(w->fb()->textMatrix(2, 1), fa->textMatrix(3, 1));
    }

    // The column's display format shapes the stamp.
    void stampInColumnFormat() {
        TestWindow w(true);
        w->calcCommands().setClock([] { return kNow; });
        const QString picture = QStringLiteral("mm/dd/yy hh:mm");
        w->fa()->setColFormat(4, picture);
        w->views().setActiveArea(ActiveArea::DataGrid);
        w->fa()->select(1, 4);
        stamp(w);
        QCOMPARE(w->fa()->textMatrix(1, 4),
                 QStringLiteral(" ") + formatDateTimeStamp(kNow, picture));
        QVERIFY(w->fa()->textMatrix(1, 4).startsWith(QStringLiteral(" 03/14/24")));
    }

    // With the Form Panel focused last, the stamp lands in the field it shows and in the same
    // column of the current record in the data grid.
    void stampFromFormPanel() {
        TestWindow w(true);
        w->calcCommands().setClock([] { return kNow; });
        GridControl* fa = w->fa();
        fa->setTextMatrix(4, 2, QStringLiteral("paid"));
        fa->select(4, 0);
        w->views().setActiveArea(ActiveArea::FormPanel);
        w->fb()->select(3, 1);  // the field of column 2
        stamp(w);
        QCOMPARE(fa->textMatrix(4, 2), QStringLiteral("paid ") + kStamp);
        QCOMPARE(w->fb()->textMatrix(3, 1), QStringLiteral("paid ") + kStamp);
        QCOMPARE(fa->textMatrix(4, 0), QString());
        QVERIFY(w->document().isModified());
    }

    // A table without records takes no stamp.
    void stampWithoutRecords() {
        TestWindow w(true);
        w->calcCommands().setClock([] { return kNow; });
        w->fa()->setRows(1);
        w->views().setActiveArea(ActiveArea::DataGrid);
        stamp(w);
        QCOMPARE(w->fa()->textMatrix(0, 0), QString());
        QVERIFY(!w->document().isModified());
    }
};

QTEST_MAIN(TstCalcCommands)
#include "tst_calccommands.moc"
