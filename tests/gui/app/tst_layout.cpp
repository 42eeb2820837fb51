// The window layout: where the bands, the Drop Box row, the Form Panel frame, the splitter and the
// data grid stand; the splitter dragged with the mouse and where it stops; the View switches.
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

#include "TestWindow.h"
#include "gui/app/MainLayout.h"
#include "gui/app/SplitterBar.h"
#include "gui/app/ViewController.h"
#include "gui/grid/Twips.h"

using namespace pellumar;

namespace {

int px(int twips) {
    return twipsToPixels(twips, nullptr);
}

int twips(int pixels) {
    return pixelsToTwips(pixels, nullptr);
}

// A rectangle given in twips as the window places it: its edges converted to pixels.
QRect twipsRect(int left, int top, int width, int height) {
    return QRect(QPoint(px(left), px(top)), QPoint(px(left + width) - 1, px(top + height) - 1));
}

// The pointer's x over the work area, in twips, as the bar receives it.
QPoint onBar(SplitterBar* bar, int xTwips) {
    return QPoint(px(xTwips) - bar->x(), bar->height() / 2);
}

}  // namespace

class TstLayout : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

    static QWidget* area(TestWindow& w) { return w->centralWidget(); }
    static int innerWidth(TestWindow& w) { return twips(area(w)->width()); }
    static int innerHeight(TestWindow& w) { return twips(area(w)->height()); }
    static int outerWidth(TestWindow& w) { return twips(w->frameGeometry().width()); }

    // Presses the left button on the splitter and moves the pointer to `xTwips`; the button
    // stays down.
    static void dragTo(TestWindow& w, int xTwips) {
        SplitterBar* bar = w->VBar();
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
        QTest::mouseMove(bar, onBar(bar, xTwips));
    }
    static void release(TestWindow& w, int xTwips) {
        QTest::mouseRelease(w->VBar(), Qt::LeftButton, {}, onBar(w->VBar(), xTwips));
    }

    // The work area's elements with the splitter at `s`, the work area at `top` (twips).
    static void checkWorkArea(TestWindow& w, int s, int top) {
        const int height = innerHeight(w) - top;
        QCOMPARE(w->mainLayout().splitterLeft(), s);
        QCOMPARE(w->TabStrip1()->geometry(), twipsRect(0, top, s, height));
        QCOMPARE(w->VBar()->geometry(), twipsRect(s, top, 60, height));
        QCOMPARE(w->fa()->geometry(), twipsRect(s + 60, top, innerWidth(w) - s - 60, height));
        // Inside the frame: the Form Panel, and the buttons at their distance to the splitter.
        QCOMPARE(w->fb()->geometry(), twipsRect(100, 400, s - 200, height - 480));
        QCOMPARE(w->imgClose()->x(), px(s - 260));
        QCOMPARE(w->imgBtn(7)->x(), px(s - 480));
        QCOMPARE(w->imgBtn(6)->x(), px(s - 680));
    }

private slots:
    void init() { settings_.clear(); }

    void bandsAtStartUp() {
        TestWindow w(true);
        const int inner = innerWidth(w);
        QCOMPARE(area(w)->y(), w->commands().toolbar()->geometry().bottom() + 1);
        QCOMPARE(w->findChild<QWidget*>("Line1")->geometry().width(), area(w)->width());
        // The Drop Box row.
        // The label is 750 twips wide, or as wide as its caption needs.
        const int label = std::max(750, twips(w->lbDropBox()->sizeHint().width()));
        QCOMPARE(w->lbDropBox()->geometry(), twipsRect(-10, 60, label, 240));
        const int box = -10 + label + 60;
        const int boxWidth = inner - box - 315 - 315 - 140;
        QCOMPARE(w->txtDrop()->pos(), QPoint(px(box), px(30)));
        QCOMPARE(w->txtDrop()->width(), px(box + boxWidth) - px(box));
        QCOMPARE(w->cmdDownArrow()->geometry(), twipsRect(box + boxWidth + 60, 30, 315, 315));
        QCOMPARE(w->cmdEraser()->geometry(), twipsRect(box + boxWidth + 405, 30, 315, 315));
        // The work area under the Drop Box band, down to the status bar.
        checkWorkArea(w, 3570, 285 + 70);
        QCOMPARE(w->fa()->geometry().bottom(), area(w)->height() - 1);
        QVERIFY(!w->VBar()->VBar1()->isVisible());
        QVERIFY(!w->VBar()->VBar2()->isVisible());
        // Status bar panels 2 to 5.
        const int widths[] = {333, 620, 620, 880};
        for (int i = 0; i < 4; ++i) {
            auto* panel =
                w->statusBar()->findChild<QLabel*>(QStringLiteral("SBarPanel%1").arg(i + 2));
            QCOMPARE(panel->width(), px(widths[i]));
        }
        QVERIFY(w->findChild<QLabel*>("SBarPanel1")->width() >= px(700));
        // The switches' start states.
        QVERIFY(w->action(CommandId::mnuViewFb)->isChecked());
        QVERIFY(!w->action(CommandId::mnuRowCol)->isChecked());
        QVERIFY(!w->action(CommandId::mnuMoveControl)->isChecked());
        QVERIFY(!w->rowColControl()->isVisible());
        QVERIFY(!w->commands().toolbar2()->isVisible());
        QVERIFY(w->imgClose()->isEnabled());
        QCOMPARE(w->imgClose()->toolTip(), QStringLiteral("Close Form (F2)"));
    }

    // The feedback bar follows the pointer past the left limit; the release stops at 3000.
    void dragPastTheLeftLimit() {
        TestWindow w(true);
        dragTo(w, 2000);
        QCOMPARE(w->VBar()->VBar1()->x(), px(2000));
        QVERIFY(w->VBar()->isAtLeftLimit());
        QTest::mouseMove(w->VBar(), onBar(w->VBar(), 1000));
        QVERIFY(w->VBar()->VBar1()->isVisible());
        QVERIFY(!w->VBar()->VBar2()->isVisible());
        QCOMPARE(w->VBar()->VBar1()->x(), px(1000));
        QCOMPARE(w->VBar()->VBar1()->geometry().top(), w->VBar()->geometry().top());
        QCOMPARE(w->VBar()->VBar1()->height(), w->VBar()->height());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
        // Nothing moves before the release.
        QCOMPARE(w->mainLayout().splitterLeft(), 3570);
        release(w, 1000);
        checkWorkArea(w, 3000, 355);
        QVERIFY(!w->VBar()->VBar1()->isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!w->VBar()->isDragging());
    }

    // Beyond the right limit only the limit bar shows, at outer width - 600; the release stops
    // there. Back inside, the feedback bar follows the pointer again.
    void dragPastTheRightLimit() {
        TestWindow w(true);
        const int limit = outerWidth(w) - 600;
        dragTo(w, twips(area(w)->width() + 40));
        QVERIFY(w->VBar()->isAtRightLimit());
        QVERIFY(w->VBar()->VBar2()->isVisible());
        QVERIFY(!w->VBar()->VBar1()->isVisible());
        QCOMPARE(w->VBar()->VBar2()->x(), px(limit));
        QTest::mouseMove(w->VBar(), onBar(w->VBar(), limit - 900));
        QVERIFY(w->VBar()->VBar1()->isVisible());
        QVERIFY(!w->VBar()->VBar2()->isVisible());
        QTest::mouseMove(w->VBar(), onBar(w->VBar(), limit + 300));
        QVERIFY(w->VBar()->VBar2()->isVisible());
        release(w, limit + 300);
        checkWorkArea(w, limit, 355);
        QVERIFY(!w->VBar()->VBar2()->isVisible());
        QVERIFY(!QApplication::overrideCursor());
    }

    // Between the limits the splitter goes where it is dropped and is stored there; a click
    // that moves nothing leaves the stored position exactly as it was.
    void dragBetweenTheLimits() {
        settings_.set("VBarLeft", "3571");
        TestWindow w(true);
        QTest::mouseClick(w->VBar(), Qt::LeftButton, {}, QPoint(1, 5));
        QCOMPARE(w->mainLayout().splitterLeft(), 3571);
        dragTo(w, 5000);
        QVERIFY(!w->VBar()->isAtLeftLimit() && !w->VBar()->isAtRightLimit());
        release(w, 5000);
        const int dropped = twips(px(5000));
        checkWorkArea(w, dropped, 355);
        w->SaveSettings();
        QCOMPARE(settings_.get("VBarLeft"), QString::number(dropped));
    }

    // A stored position below the left limit stands until the user drags.
    void storedPositionBelowTheLimit() {
        settings_.set("VBarLeft", "500");
        {
            TestWindow w(true);
            checkWorkArea(w, 500, 355);
            w->SaveSettings();
        }
        QCOMPARE(settings_.get("VBarLeft"), QStringLiteral("500"));
        TestWindow w(true);
        dragTo(w, 900);
        release(w, 900);
        QCOMPARE(w->mainLayout().splitterLeft(), 3000);
    }

    // F2 hides the frame and the splitter and gives the data grid the whole width; F2 again
    // brings them back where they were, with the current record in the Form Panel.
    void formPanelOffAndOn() {
        TestWindow w(true);
        dragTo(w, 4200);
        release(w, 4200);
        const int s = w->mainLayout().splitterLeft();
        QAction* f2 = w->action(CommandId::mnuViewFb);
        QCOMPARE(f2->shortcut(), QKeySequence(Qt::Key_F2));
        f2->trigger();
        QVERIFY(!f2->isChecked());
        QVERIFY(!w->TabStrip1()->isVisible());
        QVERIFY(!w->VBar()->isVisible());
        QCOMPARE(w->fa()->geometry(), twipsRect(0, 355, innerWidth(w), innerHeight(w) - 355));
        QVERIFY(!w->formPanel().isOpen());
        // A change while the panel is closed shows when it opens again.
        w->document().model().setText(3, 0, QStringLiteral("while closed"));
        w->fa()->select(3, 0);
        f2->trigger();
        QVERIFY(f2->isChecked());
        QVERIFY(w->TabStrip1()->isVisible());
        QVERIFY(w->VBar()->isVisible());
        checkWorkArea(w, s, 355);
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("while closed"));
        // The close box closes it too.
        QTest::mouseClick(w->imgClose(), Qt::LeftButton);
        QVERIFY(!f2->isChecked());
        QVERIFY(!w->TabStrip1()->isVisible());
        QCOMPARE(w->fa()->x(), 0);
    }

    // Hiding the Drop Box moves the work area up by its band and makes it as much taller.
    void dropBoxOffAndOn() {
        TestWindow w(true);
        const QRect grid = w->fa()->geometry();
        const QRect frame = w->TabStrip1()->geometry();
        const QRect bar = w->VBar()->geometry();
        QAction* dropBox = w->action(CommandId::mnuEmailParser);
        dropBox->trigger();
        QVERIFY(!dropBox->isChecked());
        QCOMPARE(w->EmailParser(), int16_t(0));
        for (QWidget* part :
             {static_cast<QWidget*>(w->txtDrop()), static_cast<QWidget*>(w->lbDropBox()),
              static_cast<QWidget*>(w->cmdDownArrow()), static_cast<QWidget*>(w->cmdEraser())}) {
            QVERIFY(!part->isVisible());
        }
        const int band = px(285 + 70) - px(70);
        QCOMPARE(band, px(285));
        for (auto [now, before] :
             {std::pair{w->fa()->geometry(), grid}, std::pair{w->TabStrip1()->geometry(), frame},
              std::pair{w->VBar()->geometry(), bar}}) {
            QCOMPARE(now.top(), before.top() - band);
            QCOMPARE(now.bottom(), before.bottom());
            QCOMPARE(now.left(), before.left());
            QCOMPARE(now.width(), before.width());
        }
        QCOMPARE(w->fb()->geometry(), twipsRect(100, 400, 3570 - 200, innerHeight(w) - 70 - 480));
        w->SaveSettings();
        QCOMPARE(settings_.get("EmailParser"), QStringLiteral("0"));
        dropBox->trigger();
        QVERIFY(dropBox->isChecked());
        QCOMPARE(w->EmailParser(), int16_t(1));
        QVERIFY(w->txtDrop()->isVisible());
        QCOMPARE(w->fa()->geometry(), grid);
    }

    // A window too small for the data grid leaves the grid its last width, and says nothing.
    void windowTooSmallForTheGrid() {
        settings_.set("WIDTH", "9000");
        TestWindow w(true);
        dragTo(w, 7800);
        release(w, 7800);
        const int s = w->mainLayout().splitterLeft();
        QCOMPARE(s, twips(px(7800)));
        const int gridWidth = w->fa()->width();
        QVERIFY(gridWidth > 0);
        const int smallest = w->minimumSizeHint().width();
        QVERIFY2(smallest < px(s + 60), "the window cannot get small enough for this test");
        w->resize(smallest, w->height());
        QTRY_COMPARE(w->width(), smallest);
        QCOMPARE(w->fa()->width(), gridWidth);
        QCOMPARE(w->fa()->x(), px(s + 60));
        QCOMPARE(w->TabStrip1()->width(), px(s));
        QCOMPARE(w.prompter.asked().size(), 0);
        // Wide again, the grid fills the rest.
        w->resize(px(9000), w->height());
        QTRY_COMPARE(w->fa()->geometry().right(), area(w)->width() - 1);
    }

    void rowColAndMoveControls() {
        settings_.set("WIDTH", "15000");  // wide enough for the whole toolbar row
        TestWindow w(true);
        QAction* rowCol = w->action(CommandId::mnuRowCol);
        QAction* move = w->action(CommandId::mnuMoveControl);
        rowCol->trigger();
        QVERIFY(rowCol->isChecked());
        QTRY_VERIFY(w->rowColControl()->isVisible());
        QVERIFY(!w->commands().toolbar2()->isVisible());
        move->trigger();
        QVERIFY(move->isChecked());
        QTRY_VERIFY(w->commands().toolbar2()->isVisible());
        QVERIFY(w->toolButton("Up")->isVisible());
        rowCol->trigger();
        QVERIFY(!rowCol->isChecked());
        QTRY_VERIFY(!w->rowColControl()->isVisible());
        move->trigger();
        QTRY_VERIFY(!w->commands().toolbar2()->isVisible());
    }

    // The Form Panel's heading row shows "Column" and "Value" in white on green wherever the
    // splitter is dragged and dropped.
    void formPanelHeadingAfterSplitterDrags() {
        settings_.set("WIDTH", QString::number(twips(1200)));
        settings_.set("HEIGHT", QString::number(twips(800)));
        TestWindow w(true);
        w->resize(1200, 800);
        QHeaderView* heading = w->fb()->horizontalHeader();
        const auto whiteIn = [heading](int section) {
            const QImage image = heading->grab().toImage();
            const int left = heading->sectionViewportPosition(section);
            const int right = std::min(left + heading->sectionSize(section), image.width());
            int white = 0;
            for (int x = std::max(left, 0); x < right; ++x) {
                for (int y = 0; y < image.height(); ++y) {
                    white += image.pixelColor(x, y) == QColor(Qt::white) ? 1 : 0;
                }
            }
            return white;
        };
        QVERIFY(whiteIn(0) > 10);
        QVERIFY(whiteIn(1) > 10);
        for (const int x : {9000, 4000, 12000, 3000}) {
            dragTo(w, x);
            release(w, x);
            QCoreApplication::processEvents();
            QCOMPARE(heading->model()->headerData(1, Qt::Horizontal).toString(),
                     QStringLiteral("Value"));
            QVERIFY2(whiteIn(0) > 10, qPrintable(QString::number(x)));
            QVERIFY2(whiteIn(1) > 10, qPrintable(QString::number(x)));
        }
    }

    // The window getting the focus puts the colour palette away.
    void focusHidesThePalette() {
        TestWindow w(true);
        QWidget* palette = w->styles().PanColor();
        QTest::mouseClick(w->toolButton(QStringLiteral("Acolor")), Qt::LeftButton);
        QVERIFY(palette->isVisible());
        QFocusEvent focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(w.window.get(), &focus);
        QVERIFY(!palette->isVisible());
    }
};

QTEST_MAIN(TstLayout)
#include "tst_layout.moc"
