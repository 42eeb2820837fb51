// The main window on a screen scaled by 2 (QT_SCALE_FACTOR=2): the toolbar pictures are drawn
// at the screen's pixels, not enlarged; lengths in twips scale with the window; the status
// panels and labels hold their texts whole.
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

#include "TestWindow.h"
#include "gui/app/CommandTable.h"
#include "gui/grid/Twips.h"

using namespace pellumar;

class TstHiDpi : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

    static bool fits(const QLabel* label, const QString& text) {
        return label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width();
    }

private slots:
    void theScreenIsScaled() {
        TestWindow w(true);
        QCOMPARE(w->devicePixelRatio(), 2.0);
        // An inch is 96 of the window's pixels, 192 of the screen's.
        QCOMPARE(twipsToPixels(1440, w.window.get()), 96);
    }

    void toolbarPicturesAreDrawnAtTheScreensPixels() {
        TestWindow w(true);
        std::vector<ToolEntry> entries(mainToolbarEntries().begin(), mainToolbarEntries().end());
        entries.insert(entries.end(), moveToolbarEntries().begin(), moveToolbarEntries().end());
        for (const auto& entry : entries) {
            const QString key = QString::fromLatin1(entry.key);
            QToolButton* button = w->toolButton(key);
            QVERIFY2(button, qPrintable(key));
            const QSize size = button->iconSize();
            const QPixmap sharp = button->icon().pixmap(size, 2.0);
            QCOMPARE(sharp.size(), size * 2);
            QCOMPARE(sharp.devicePixelRatio(), 2.0);
            // The program's own pictures are drawn at any ratio, not scaled from one size.
            const QPixmap finer = button->icon().pixmap(size, 3.0);
            QCOMPARE(finer.size(), size * 3);
            QImage drawn = finer.toImage();
            QImage scaled = sharp.toImage().scaled(finer.size(), Qt::IgnoreAspectRatio,
                                                   Qt::SmoothTransformation);
            QVERIFY2(drawn.convertToFormat(QImage::Format_ARGB32) !=
                         scaled.convertToFormat(QImage::Format_ARGB32),
                     qPrintable(key));
        }
    }

    void theWindowsOtherPicturesAreSharp() {
        TestWindow w(true);
        QList<QToolButton*> buttons{w->cmdEraser(), w->imgClose()};
        for (int i = 0; i < 8; ++i) {
            buttons << w->imgBtn(i);
        }
        for (QToolButton* b : buttons) {
            QCOMPARE(b->icon().pixmap(b->iconSize(), 2.0).size(), b->iconSize() * 2);
        }
    }

    void textsAreWhole() {
        TestWindow w(true);
        const auto panels = w->statusBar()->findChildren<QLabel*>();
        QVERIFY(panels.size() >= 6);
        for (int i = 1; i <= 6; ++i) {
            auto* panel = w->statusBar()->findChild<QLabel*>(QStringLiteral("SBarPanel%1").arg(i));
            QVERIFY(panel);
            QVERIFY2(fits(panel, panel->text()), qPrintable(panel->text()));
        }
        auto* mode = w->statusBar()->findChild<QLabel*>("SBarPanel3");
        auto* drag = w->statusBar()->findChild<QLabel*>("SBarPanel4");
        QVERIFY(fits(mode, "EDIT") && fits(drag, "DRAG"));
        QVERIFY(fits(w->lbDropBox(), w->lbDropBox()->text()));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TstHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
