// The Help menu: the Tip of the Day window, the web page and the About window. No browser or
// mail program is ever started: the tests take the addresses the program would open.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "TestWindow.h"
#include "core/app/ProductInfo.h"
#include "gui/app/HelpController.h"
#include "gui/app/frmAbout.h"
#include "gui/app/frmTips.h"
#include "gui/app/modMain.h"

using namespace pellumar;

class TstHelp : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;
    QList<QUrl> opened_;

    // A window whose addresses are recorded instead of opened.
    void watchAddresses(TestWindow& w) {
        w->help().setUrlOpener([this](const QUrl& url) { opened_.append(url); });
    }

    static frmTips* openTips(TestWindow& w) {
        w->action(CommandId::mnuTip)->trigger();
        frmTips* tips = w->help().tipsWindow();
        return tips;
    }

    static QString shown(int index) {
        return frmTips::tip(index).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

private slots:
    void init() {
        settings_.clear();
        opened_.clear();
    }

    void theTips() {
        const QList<int> formReader = {1, 3, 13, 14, 15};
        const QString tag = QStringLiteral("\r\n\r\n(Form Reader)");
        for (int i = 1; i <= frmTips::kTipCount; ++i) {
            const QString tip = frmTips::tip(i);
            QVERIFY2(tip.startsWith(QStringLiteral("     ")) && tip.at(5) != u' ',
                     qPrintable(QString::number(i)));
            QCOMPARE(tip.endsWith(tag), formReader.contains(i));
            QCOMPARE(tip.count(QStringLiteral("(Form Reader)")), formReader.contains(i) ? 1 : 0);
            QCOMPARE(tip.endsWith(u' '), i >= 35 && i <= 37);
        }
        QVERIFY(frmTips::tip(0).isEmpty());
        QVERIFY(frmTips::tip(42).isEmpty());
        QCOMPARE(frmTips::tip(1),
                 QStringLiteral("     You can define the separator character as ':', '=', or any "
                                "other single character. The default separator is '='.") +
                     tag);
        QCOMPARE(frmTips::tip(27),
                 QStringLiteral("     Use Right mouse click to pup up available menu items."));
        QCOMPARE(frmTips::tip(36), QStringLiteral("     To quick delete a block of rows, highlight "
                                                  "rows and press Shift-Delete. "));
        QVERIFY(frmTips::tip(11).contains(ProductInfo::webPage()));
    }

    void tipWindowOpens() {
        TestWindow w(true);
        QCOMPARE(w->action(CommandId::mnuTip)->shortcut(), QKeySequence(Qt::Key_F1));
        frmTips* tips = openTips(w);
        QVERIFY(tips && tips->isVisible());
        QVERIFY(!tips->isModal());
        QCOMPARE(tips->windowTitle(), QStringLiteral("Tip of the Day"));
        QCOMPARE(tips->currentTip(), 0);
        QVERIFY(tips->shownTip() >= 1 && tips->shownTip() <= frmTips::kTipCount);
        QCOMPARE(tips->tipText()->text(), shown(tips->shownTip()));
        QVERIFY(tips->chkShowTips()->isChecked());  // the first run shows tips
        QCOMPARE(tips->chkShowTips()->text(), QStringLiteral("Show Tips at Startup"));
        QCOMPARE(tips->cmdPrevious()->text(), QStringLiteral("PreviousTip"));
        QCOMPARE(tips->cmdNext()->text(), QStringLiteral("Next Tip"));
        QCOMPARE(tips->cmdOK()->text(), QStringLiteral("Close"));
        QStringList labels;
        for (QLabel* l : tips->findChildren<QLabel*>()) {
            labels << l->text();
        }
        QVERIFY(labels.contains(QStringLiteral("Did you know...")));
        QVERIFY(labels.contains(QStringLiteral("Pellumar")));
        // Centred on the screen.
        const QRect screen = tips->screen()->geometry();
        QVERIFY(qAbs(tips->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(tips->frameGeometry().center().y() - screen.center().y()) <= 1);
        // F1 again brings the same window forward.
        w->action(CommandId::mnuTip)->trigger();
        QCOMPARE(w->help().tipsWindow(), tips);
        // Whatever tip it opened on, Next starts at the first.
        QTest::mouseClick(tips->cmdNext(), Qt::LeftButton);
        QCOMPARE(tips->currentTip(), 1);
        QCOMPARE(tips->tipText()->text(), shown(1));
    }

    void steppingWraps() {
        TestWindow w(true);
        frmTips* tips = openTips(w);
        QTest::mouseClick(tips->cmdPrevious(), Qt::LeftButton);  // from the opening state
        QCOMPARE(tips->currentTip(), 41);
        QCOMPARE(tips->tipText()->text(), shown(41));
        QTest::mouseClick(tips->cmdNext(), Qt::LeftButton);  // after the last
        QCOMPARE(tips->currentTip(), 1);
        QCOMPARE(tips->tipText()->text(), shown(1));
        QTest::mouseClick(tips->cmdPrevious(), Qt::LeftButton);  // before the first
        QCOMPARE(tips->currentTip(), 41);
        QTest::mouseClick(tips->cmdPrevious(), Qt::LeftButton);
        QCOMPARE(tips->currentTip(), 40);
        QTest::mouseClick(tips->cmdNext(), Qt::LeftButton);
        QCOMPARE(tips->currentTip(), 41);
        // A tip with the Form Reader tag shows it on a line of its own.
        for (int i = 0; i < 14; ++i) {
            QTest::mouseClick(tips->cmdNext(), Qt::LeftButton);
        }
        QCOMPARE(tips->currentTip(), 14);
        QVERIFY(tips->tipText()->text().endsWith(QStringLiteral(".\n\n(Form Reader)")));
    }

    // Clearing "Show Tips at Startup" and closing keeps the tip window away at the next start.
    void showTipsAtStartup() {
        {
            TestWindow w(true);
            QVERIFY(modMain::ShowTips);
            frmTips* tips = openTips(w);
            QTest::mouseClick(tips->chkShowTips(), Qt::LeftButton, {},
                              QPoint(6, tips->chkShowTips()->height() / 2));
            QVERIFY(!tips->chkShowTips()->isChecked());
            QVERIFY(modMain::ShowTips);  // only closing takes the choice
            QPointer<frmTips> gone(tips);
            QTest::mouseClick(tips->cmdOK(), Qt::LeftButton);
            QVERIFY(!modMain::ShowTips);
            QTRY_VERIFY(!gone);
            w->SaveSettings();
        }
        QCOMPARE(settings_.get("ShowTips"), QStringLiteral("False"));
        modMain::readStartupPreferences();
        QVERIFY(!modMain::ShowTips);
        // Ticked again and closed with the window's own close box, it shows at start-up again.
        TestWindow w(true);
        QVERIFY(!modMain::ShowTips);
        frmTips* tips = openTips(w);
        QVERIFY(!tips->chkShowTips()->isChecked());
        tips->chkShowTips()->setChecked(true);
        tips->close();
        QVERIFY(modMain::ShowTips);
    }

    void aboutWindow() {
        TestWindow w(true);
        watchAddresses(w);
        w->action(CommandId::mnuAbout)->trigger();
        frmAbout* about = w->help().aboutWindow();
        QVERIFY(about && about->isVisible());
        QVERIFY(!about->isModal());
        QCOMPARE(about->windowTitle(), QStringLiteral("About"));
        const QString version = about->lbVersion()->text();
        QCOMPARE(version, QStringLiteral("Version 7.0   Build ") +
                              QString::number(ProductInfo::buildRevision()));
        QVERIFY(ProductInfo::buildRevision() >= 0);
        QStringList labels;
        for (QLabel* l : about->findChildren<QLabel*>()) {
            labels << l->text();
        }
        for (const char* text :
             {"Pellumar", " Form Reader and Record based Data Explorer", "Web Site:", "Email:"}) {
            QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
        }
        QCOMPARE(about->Label2(2)->text(), ProductInfo::webPage());
        QCOMPARE(about->Label2(1)->text(), ProductInfo::emailAddress());

        // The addresses open in the user's programs; the window stays.
        QTest::mouseClick(about->Label2(2), Qt::LeftButton);
        QTest::mouseClick(about->Label2(1), Qt::LeftButton);
        QCOMPARE(opened_.size(), 2);
        QCOMPARE(opened_[0], QUrl(QStringLiteral("https://pellumar.org/")));
        QCOMPARE(opened_[1].scheme(), QStringLiteral("mailto"));
        QCOMPARE(opened_[1].path(), ProductInfo::emailAddress());
        QCOMPARE(QUrlQuery(opened_[1]).queryItemValue(QStringLiteral("Subject")),
                 QStringLiteral("Pellumar Inquiry"));
        QCOMPARE(opened_[1].toString(QUrl::FullyEncoded),
                 QStringLiteral("mailto:help@pellumar.org?Subject=Pellumar%20Inquiry"));
        QVERIFY(about->isVisible());

        // A click on the window closes it; so does OK.
        QPointer<frmAbout> first(about);
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_VERIFY(!first);
        w->action(CommandId::mnuAbout)->trigger();
        QPointer<frmAbout> second(w->help().aboutWindow());
        QVERIFY(second && second->isVisible());
        QTest::mouseClick(second->cmdQuit(), Qt::LeftButton);
        QTRY_VERIFY(!second);
    }

    void webPage() {
        TestWindow w;
        watchAddresses(w);
        QCOMPARE(w->action(CommandId::mnuWeb)->text(), QStringLiteral("Pellumar on the &Web"));
        w->action(CommandId::mnuWeb)->trigger();
        QCOMPARE(opened_, QList<QUrl>{ProductInfo::webPageUrl()});
    }
};

QTEST_MAIN(TstHelp)
#include "tst_help.moc"
