// The main window's start-up from the stored preferences, its exit roads, and the data grid's
// reactions that the window owns (Edit menu by focus, right button, sort arrows).
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

#include "TestWindow.h"
#include "gui/app/MainLayout.h"
#include "gui/app/modMain.h"
#include "gui/grid/Twips.h"

using namespace pellumar;

class TstMainWindow : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

    static int twips(int pixels) { return pixelsToTwips(pixels, nullptr); }

private slots:
    void init() { settings_.clear(); }

    void firstRun() {
        TestWindow w(true);
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar"));
        QCOMPARE(w->pos(), QPoint(0, 0));
        QCOMPARE(w->size(), QSize(467, 333));  // 7000 x 5000 twips
        QCOMPARE(w->mainLayout().splitterLeft(), 3570);
        QVERIFY(w->styles().alternateColor());
        QCOMPARE(w->fa()->palette().color(QPalette::AlternateBase), QColor(192, 255, 192));
        QVERIFY(w->action(CommandId::mnuAlternateColor)->isChecked());
        QVERIFY(w->toolButton("AlternateColor")->isChecked());
        QVERIFY(w->txtDrop()->isVisible());
        QVERIFY(w->action(CommandId::mnuEmailParser)->isChecked());
        QCOMPARE(w->formReader().separator(), QStringLiteral("="));
        QCOMPARE(w->panelText(1), QStringLiteral("Pellumar Version 7.0"));
        QCOMPARE(w->panelText(2), QStringLiteral("="));
        QCOMPARE(w->panelText(3), QStringLiteral("ROW"));
        QVERIFY(modMain::ShowTips);
        QCOMPARE(w->fa()->rows(), 21);
        QCOMPARE(w->fa()->cols(), 9);
        QCOMPARE(w->fa()->fixedRows(), 1);
        QVERIFY(w->document().isNewDocument());
        QCOMPARE(int16_t(w->document().fileKind()), int16_t(2));
        QVERIFY(w->document().currentFile().endsWith(QStringLiteral("Untitled.plm")));
        QVERIFY(!w->document().isModified());
        QVERIFY(!w->action(CommandId::mnuSave)->isEnabled());
        QVERIFY(!w->toolButton("Save")->isEnabled());
        // The Form Panel and its heading.
        QCOMPARE(w->TabStrip1()->tabText(0), QStringLiteral("Form"));
        QCOMPARE(w->fb()->textMatrix(0, 0), QStringLiteral("Column"));
        QCOMPARE(w->fb()->textMatrix(0, 1), QStringLiteral("Value"));
        QCOMPARE(w->fb()->cell(GridControl::CellProperty::BackColor, 0, 1).toUInt(), 0xff008000u);
        // File > Print Sheet..., with its shortcut.
        QVERIFY(w->action(CommandId::mnuPrintSheet)->isEnabled());
        QCOMPARE(w->action(CommandId::mnuPrintSheet)->text(), QStringLiteral("&Print Sheet..."));
        QCOMPARE(w->action(CommandId::mnuPrintSheet)->shortcut(), QKeySequence(Qt::Key_F4));
        QVERIFY(w->action(CommandId::mnuExit)->isEnabled());
    }

    void oddStoredValues() {
        settings_.set("WIDTH", "abc");
        settings_.set("HEIGHT", "6000");
        settings_.set("TOP", "-60");
        settings_.set("LEFT", "1200.4");
        settings_.set("EmailParser", "2");
        settings_.set("AlternateColor", "yes");
        settings_.set("ConvertionChr", ":");
        settings_.set("ShowTips", "False");
        int smallestWidth = 0;
        {
            TestWindow w;
            smallestWidth = twips(w->width());
            QVERIFY(smallestWidth > 0);
            QCOMPARE(w->pos(), QPoint(80, -4));
            QCOMPARE(w->width(), w->minimumSizeHint().width());  // width 0: the smallest size
            QCOMPARE(w->height(), 400);
            QVERIFY(!w->styles().alternateColor());  // "yes" is not a boolean
            QVERIFY(!w->action(CommandId::mnuAlternateColor)->isChecked());
            QCOMPARE(w->EmailParser(), int16_t(2));
            QVERIFY(w->action(CommandId::mnuEmailParser)->isChecked());
            QCOMPARE(w->panelText(2), QStringLiteral(":"));
            QVERIFY(!modMain::ShowTips);
            w->SaveSettings();
            QCOMPARE(w.ended, 1);
        }
        // Written back in their written forms; the width is the window's own.
        QCOMPARE(settings_.get("WIDTH"), QString::number(smallestWidth));
        QCOMPARE(settings_.get("LEFT"), QStringLiteral("1200"));
        QCOMPARE(settings_.get("TOP"), QStringLiteral("-60"));
        QCOMPARE(settings_.get("HEIGHT"), QStringLiteral("6000"));
        QCOMPARE(settings_.get("EmailParser"), QStringLiteral("2"));
        QCOMPARE(settings_.get("AlternateColor"), QStringLiteral("False"));
        QCOMPARE(settings_.get("ConvertionChr"), QStringLiteral(":"));
        QCOMPARE(settings_.get("ShowTips"), QStringLiteral("False"));
        QCOMPARE(settings_.get("VBarLeft"), QStringLiteral("3570"));
    }

    void outOfRangeAndHiddenDropBox() {
        settings_.set("TOP", "40000");
        settings_.set("EmailParser", "0");
        settings_.set("AlternateColor", "1");
        settings_.set("ConvertionChr", ",");
        TestWindow w;
        QCOMPARE(w->pos().y(), 0);
        QCOMPARE(w->EmailParser(), int16_t(0));
        QVERIFY(!w->action(CommandId::mnuEmailParser)->isChecked());
        QVERIFY(w->txtDrop()->isHidden() || !w->txtDrop()->isVisibleTo(w.window.get()));
        QVERIFY(!w->lbDropBox()->isVisibleTo(w.window.get()));
        QVERIFY(!w->cmdDownArrow()->isVisibleTo(w.window.get()));
        QVERIFY(w->styles().alternateColor());
        QCOMPARE(w->formReader().separator(), QStringLiteral(","));  // a comma survives the store
    }

    void windowOffEveryScreenComesBack() {
        settings_.set("LEFT", "-30000");
        settings_.set("TOP", "-30000");
        TestWindow w;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.intersects(QRect(w->pos(), w->size())));
    }

    void exitPrompts() {
        // Cancel keeps the window and writes nothing.
        {
            TestWindow w;
            w->document().MakeModified(true);
            w.prompter.answerMessage(QMessageBox::Cancel);
            QVERIFY(!w->close());
            QCOMPARE(w.prompter.last().caption, QStringLiteral("Exit"));
            QCOMPARE(w.prompter.last().text,
                     QStringLiteral("Changes have been made. Do you want to save the changes "
                                    "before exit Pellumar?"));
            QCOMPARE(w.prompter.last().icon, Prompter::Icon::Question);
            QCOMPARE(w.prompter.last().defaultButton, QMessageBox::Cancel);
            QCOMPARE(w.prompter.last().buttons,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            QCOMPARE(w.ended, 0);
            QVERIFY(!settings_.has("TOP"));

            w.prompter.answerMessage(QMessageBox::Cancel);
            w->mnuExit_Click();
            QCOMPARE(w.prompter.last().text,
                     QStringLiteral("Changes have been made. Do you want to save the changes?"));
            QCOMPARE(w.ended, 0);
            QVERIFY(!settings_.has("TOP"));
        }
        // No loses the changes, writes the preferences and ends.
        {
            TestWindow w;
            w->document().MakeModified(true);
            w.prompter.answerMessage(QMessageBox::No);
            w->mnuExit_Click();
            QCOMPARE(w.ended, 1);
            QCOMPARE(settings_.get("WIDTH"), QStringLiteral("7000"));
        }
        // No changes: no question at all.
        {
            settings_.clear();
            TestWindow w;
            QVERIFY(w->close());
            QCOMPARE(w.prompter.asked().size(), 0);
            QCOMPARE(w.ended, 1);
            QVERIFY(settings_.has("EmailParser"));
        }
    }

    void editMenuFollowsTheActiveArea() {
        TestWindow w(true);
        w->fb()->setFocus();
        QTRY_COMPARE(int(uint8_t(w->views().activeArea())), 2);
        for (CommandId item : {CommandId::mnuEditCut, CommandId::mnuEditPaste, CommandId::mnuInsert,
                               CommandId::mnuDelete, CommandId::mnuSelectAll,
                               CommandId::mnuEditFind, CommandId::mnuEditStat, CommandId::mnuMove,
                               CommandId::mnuEditColAttr, CommandId::mnuAlign}) {
            QVERIFY2(!w->action(item)->isVisible(), qPrintable(commandName(item)));
        }
        for (CommandId item : {CommandId::mnuEditCopy, CommandId::mnuAddRow, CommandId::mnuBkColor,
                               CommandId::mnuRowHeight}) {
            QVERIFY2(w->action(item)->isVisible(), qPrintable(commandName(item)));
        }
        QVERIFY(!w->commands().separatorAfter(CommandId::mnuSelectAll)->isVisible());
        // The Drop Box leaves the menu as the Form Panel left it.
        w->views().setActiveArea(ActiveArea::DropBox);
        w->recordGrid().UpdateEditMenu();
        QVERIFY(!w->action(CommandId::mnuEditCut)->isVisible());
        w->fa()->setFocus();
        QTRY_COMPARE(int(uint8_t(w->views().activeArea())), 1);
        QVERIFY(w->action(CommandId::mnuEditCut)->isVisible());
        QVERIFY(w->commands().separatorAfter(CommandId::mnuSelectAll)->isVisible());
    }

    // With the Form Panel focused the Edit menu hides its table commands; the toolbar keeps
    // every button where it was.
    void toolbarKeepsItsButtonsWithTheFormPanelFocused() {
        TestWindow w(true);
        w->resize(1000, 600);  // room for the whole toolbar
        const QStringList keys{"New",      "Open",          "Save",  "Cut",     "Copy",
                               "Paste",    "Find",          "Bold",  "Italic",  "Underline",
                               "A",        "Acolor",        "Flood", "RowMode", "BlockMode",
                               "DragMode", "AlternateColor"};
        QMap<QString, QPoint> places;
        for (const QString& key : keys) {
            QVERIFY2(w->toolButton(key)->isVisible(), qPrintable(key));
            places.insert(key, w->toolButton(key)->pos());
        }
        w->fb()->setFocus();
        QTRY_COMPARE(int(uint8_t(w->views().activeArea())), 2);
        QVERIFY(!w->action(CommandId::mnuEditCut)->isVisible());
        QCoreApplication::processEvents();
        for (const QString& key : keys) {
            QVERIFY2(w->toolButton(key)->isVisible(), qPrintable(key));
            QCOMPARE(w->toolButton(key)->pos(), places.value(key));
        }
    }

    // The position panel keeps its least width and grows to show the whole position; the other
    // panels keep their widths.
    void positionPanelShowsTheWholePosition() {
        TestWindow w(true);
        auto* panel6 = w->statusBar()->findChild<QLabel*>(QStringLiteral("SBarPanel6"));
        auto* panel5 = w->statusBar()->findChild<QLabel*>(QStringLiteral("SBarPanel5"));
        QVERIFY(panel6 && panel5);
        QCOMPARE(panel6->width(), twipsToPixels(1200, nullptr));
        QCOMPARE(panel5->width(), twipsToPixels(880, nullptr));
        w->fa()->setRows(1000001);
        w->fa()->select(202, 0);
        QCOMPARE(w->panelText(6), QStringLiteral("202 / 1000000"));
        QCoreApplication::processEvents();
        const int needed = panel6->fontMetrics().horizontalAdvance(w->panelText(6)) +
                           2 * panel6->frameWidth() + panel6->contentsMargins().left() +
                           panel6->contentsMargins().right();
        QVERIFY2(panel6->width() >= needed,
                 qPrintable(QStringLiteral("%1 < %2").arg(panel6->width()).arg(needed)));
        QCOMPARE(panel5->width(), twipsToPixels(880, nullptr));
        // Back to a small table: the least width again.
        w->fa()->setRows(21);
        w->fa()->select(3, 0);
        QCoreApplication::processEvents();
        QCOMPARE(w->panelText(6), QStringLiteral("3 / 20"));
        QCOMPARE(panel6->width(), twipsToPixels(1200, nullptr));
    }

    void rightButtonByMouseMode() {
        TestWindow w(true);
        QMenu* edit = w->commands().menu(CommandId::mnuEdit);
        const QPoint cell = w->fa()->visualRect(w->fa()->model()->index(2, 1)).center();
        QTest::mouseClick(w->fa()->viewport(), Qt::RightButton, {}, cell);
        QTRY_VERIFY(edit->isVisible());
        QVERIFY(w->commands().commandEnabled(CommandId::mnuRowHeight));
        QVERIFY(w->commands().commandEnabled(CommandId::mnuMove));
        QVERIFY(!w->commands().commandEnabled(CommandId::mnuEditStat));
        edit->close();

        w->styles().mnuMouseMode_Click(1);
        QCOMPARE(w->panelText(3), QStringLiteral("EDIT"));
        QVERIFY(w->toolButton("BlockMode")->isChecked());
        QVERIFY(!w->toolButton("RowMode")->isChecked());
        QTest::mouseClick(w->fa()->viewport(), Qt::RightButton, {}, cell);
        QTRY_VERIFY(edit->isVisible());
        QVERIFY(!w->commands().commandEnabled(CommandId::mnuRowHeight));
        QVERIFY(!w->commands().commandEnabled(CommandId::mnuMove));
        QVERIFY(w->commands().commandEnabled(CommandId::mnuEditStat));
        // Arithmetic is offered, but stays unusable until it is carried out.
        QVERIFY(!w->action(CommandId::mnuEditStat)->isEnabled() ||
                w->commands().commandBuilt(CommandId::mnuEditStat));
        edit->close();
    }

    void sortArrowMovesBetweenTitles() {
        TestWindow w(true);
        for (int r = 1; r <= 3; ++r) {
            w->fa()->setTextMatrix(r, 1, QString::number(4 - r));
            w->fa()->setTextMatrix(r, 2, QString::number(r));
        }
        auto picture = [&](int col) {
            return w->fa()->cell(GridControl::CellProperty::Picture, 0, col).toInt();
        };
        w->fa()->sortByColumn(1, GridControl::SortAscending);
        QCOMPARE(picture(1), int(PictureSortUp));
        QCOMPARE(w->fa()->cell(GridControl::CellProperty::PictureAlignment, 0, 1).toInt(),
                 int(AlignRightCenter));
        QCOMPARE(w->document().lastSortCol(), int16_t(1));
        QVERIFY(w->document().isModified());
        QVERIFY(w->action(CommandId::mnuSave)->isEnabled() ||
                !w->commands().commandBuilt(CommandId::mnuSave));
        w->fa()->sortByColumn(1, GridControl::SortDescending);
        QCOMPARE(picture(1), int(PictureSortDown));
        w->fa()->sortByColumn(2, GridControl::SortAscending);
        QCOMPARE(picture(1), int(PictureNone));
        QCOMPARE(picture(2), int(PictureSortUp));
        for (int c : {0, 3, 4, 5, 6, 7, 8}) {
            QCOMPARE(picture(c), int(PictureNone));
        }
    }

    // The arrow is painted on the sorted column's title, and only there.
    void sortArrowIsPainted() {
        TestWindow w(true);
        w->resize(1000, 600);
        QHeaderView* header = w->fa()->horizontalHeader();
        // Dark pixels in the right third of a title, where the arrow stands (titles are empty).
        auto arrowPixels = [&](int col) {
            const QImage image = header->viewport()->grab().toImage();
            const int left = header->sectionViewportPosition(col);
            const int width = header->sectionSize(col);
            if (left < 0 || left + width > header->width()) {
                qWarning() << "title" << col << "is out of view at" << left;
                return -1;
            }
            int dark = 0;
            for (int x = left + width * 2 / 3; x < left + width - 2; ++x) {
                for (int y = 2; y < header->height() - 2; ++y) {
                    if (qGray(image.pixel(x, y)) < 96) {
                        ++dark;
                    }
                }
            }
            return dark;
        };
        QCOMPARE(arrowPixels(1), 0);
        w->fa()->sortByColumn(1, GridControl::SortAscending);
        QCoreApplication::processEvents();
        QVERIFY(arrowPixels(1) > 6);
        QCOMPARE(arrowPixels(2), 0);
        w->fa()->sortByColumn(2, GridControl::SortDescending);
        QCoreApplication::processEvents();
        QCOMPARE(arrowPixels(1), 0);
        QVERIFY(arrowPixels(2) > 6);
    }

    void selectionCounterAndRowMode() {
        TestWindow w(true);
        w->fa()->select(3, 0, 5, w->fa()->cols() - 1);
        QCOMPARE(w->panelText(5), QStringLiteral("3 Sel"));
        // Switching to Row Mode selects the whole current record.
        w->styles().mnuMouseMode_Click(1);
        w->fa()->select(4, 2);
        w->styles().mnuMouseMode_Click(0);
        QCOMPARE(w->fa()->row(), 4);
        QCOMPARE(w->fa()->selectionLeft(), 0);
        QCOMPARE(w->fa()->selectionRight(), w->fa()->cols() - 1);
        QCOMPARE(w->panelText(5), QStringLiteral("1 Sel"));
        // Drag mode and the grid lines switch back and forth.
        w->styles().mnuDragDrop_Click();
        QCOMPARE(w->panelText(4), QStringLiteral("DRAG"));
        QVERIFY(w->fa()->dragMode());
        w->styles().mnuDragDrop_Click();
        QCOMPARE(w->panelText(4), QString());
        w->styles().mnuGrid_Click();
        QVERIFY(!w->fa()->gridLines());
        w->styles().mnuAlternateColor_Click();
        QVERIFY(!w->styles().alternateColor());
        QVERIFY(!w->toolButton("AlternateColor")->isChecked());
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
