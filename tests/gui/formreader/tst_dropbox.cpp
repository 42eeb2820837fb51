// The Drop Box in the main window (drops of text and files, Decode, Erase, focus, the "Input
// error" message, the document's state after a run) and the Separator Character Setting dialog.
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "TestWindow.h"
#include "gui/app/modMain.h"
#include "gui/formreader/DropBox.h"
#include "gui/formreader/frmConvChr.h"

using namespace pellumar;

namespace {

const QString kInputError =
    "Format incompatible or not an Form Post text string.\n\rCheck your separator charater "
    "setting. Make sure you highlight the valid text area then drag to the Drop Box again. ";

Qt::DropAction drop(frmMain* w, QMimeData* data) {
    return dropOnDropBox(w, data);
}

Qt::DropAction dropText(frmMain* w, const QString& text) {
    return dropTextOnDropBox(w, text);
}

QStringList titles(const frmMain* w) {
    QStringList out;
    for (int c = 0; c < w->fa()->cols(); ++c) {
        out << w->fa()->textMatrix(0, c);
    }
    return out;
}

}  // namespace

class TstDropBox : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;
    QTemporaryDir dir_;

    // Opens the dialog through Tools, "Set &Separator...".
    static frmConvChr* openDialog(TestWindow& w) {
        w->action(CommandId::mnuConvChr)->trigger();
        auto* dialog = w->findChild<frmConvChr*>();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }

private slots:
    void init() { settings_.clear(); }

    void startsWithTheHint() {
        TestWindow w(true);
        QCOMPARE(w->txtDrop()->toPlainText(), "Drag or copy valid Form Post text to here");
        QCOMPARE(w->txtDrop()->toolTip(), "Drag valid form text to here ");
        QCOMPARE(w->lbDropBox()->text(), "Drop Box:");
        QCOMPARE(w->cmdDownArrow()->toolTip(), "Decode the Form text in the Drop Box");
        QCOMPARE(w->cmdEraser()->toolTip(), "Erase the text in the Drop Box");
        QVERIFY(w->cmdDownArrow()->isEnabled());
        QVERIFY(w->txtDrop()->acceptDrops());
        QVERIFY(w->action(CommandId::mnuConvChr)->isEnabled());
        QCOMPARE(w->action(CommandId::mnuConvChr)->text(), "Set &Separator...");
    }

    void droppedTextBecomesARecord() {
        TestWindow w(true);
        const QString form = "Name=Ann\r\nCity=Rome\r\n";
        QCOMPARE(dropText(w.window.get(), form), Qt::CopyAction);
        QCOMPARE(w->txtDrop()->toPlainText().remove('\r'), QString(form).remove('\r'));
        // The blank records of the new document are gone; one record under two new columns.
        QVERIFY(!w->document().isNewDocument());
        QCOMPARE(w->fa()->rows(), 2);
        QCOMPARE(titles(w.window.get()).mid(0, 3), QStringList({"Name", "City", ""}));
        QCOMPARE(w->fa()->textMatrix(1, 0), "Ann");
        QCOMPARE(w->fa()->textMatrix(1, 1), "Rome");
        QCOMPARE(w->txtRow()->text(), "1");
        QCOMPARE(w->txtCol()->text(), QString::number(w->fa()->cols()));
        QCOMPARE(w->fa()->row(), 1);
        QCOMPARE(w->panelText(6), "1 / 1");
        // The Form Panel shows the new titles and the new record.
        QCOMPARE(w->fb()->rows(), w->fa()->cols() + 1);
        QCOMPARE(w->fb()->textMatrix(1, 0), "Name");
        QCOMPARE(w->fb()->textMatrix(2, 0), "City");
        QCOMPARE(w->fb()->textMatrix(1, 1), "Ann");
        QCOMPARE(w->fb()->textMatrix(2, 1), "Rome");
        // The records are unsaved changes: Save is offered and the exit asks.
        QVERIFY(w->document().isModified());
        QVERIFY(w->action(CommandId::mnuSave)->isEnabled());
        w.prompter.answerMessage(QMessageBox::Cancel);
        QVERIFY(!w->close());
        QCOMPARE(w.prompter.last().caption, "Exit");
        QCOMPARE(w.ended, 0);
        QCOMPARE(w.prompter.asked().size(), 1);  // no "Input error" came before
    }

    // A real form post ends with a line break: after a paste or a drop the one-line box shows
    // the start of the text, not the empty line after it. A text area's lines stay in its value.
    void pastedFormPostShowsItsStart() {
        TestWindow w(true);
        const QString post =
            "Name=Ann Lee\r\nComments=line one\r\nline two\r\nEmail=ann@example.org\r\n";
        QGuiApplication::clipboard()->setText(post);
        w->txtDrop()->setFocus();
        w->txtDrop()->selectAll();
        w->txtDrop()->paste();
        QCOMPARE(w->txtDrop()->toPlainText().remove('\r'), QString(post).remove('\r'));
        QCOMPARE(w->txtDrop()->verticalScrollBar()->value(), 0);
        QCOMPARE(w->txtDrop()->horizontalScrollBar()->value(), 0);
        QCOMPARE(w->txtDrop()->textCursor().position(), 0);
        w->cmdDownArrow()->click();
        QCOMPARE(titles(w.window.get()).mid(0, 3), QStringList({"Name", "Comments", "Email"}));
        QCOMPARE(w->fa()->textMatrix(1, 1), "line one\nline two");
        QCOMPARE(w->fb()->textMatrix(2, 1), "line one\nline two");

        dropText(w.window.get(), post);
        QCOMPARE(w->txtDrop()->verticalScrollBar()->value(), 0);
        QCOMPARE(w->fa()->rows(), 3);
        QCOMPARE(w->fa()->textMatrix(2, 1), "line one\nline two");
    }

    void lineFeedsAloneEndLines() {
        TestWindow w(true);
        dropText(w.window.get(), "Name=Ann\nCity=Rome\nZip=00100");
        QCOMPARE(titles(w.window.get()).mid(0, 3), QStringList({"Name", "City", "Zip"}));
        QCOMPARE(w->fa()->textMatrix(1, 2), "00100");
    }

    void reversedOrderMakesAColumnTheFormPanelShows() {
        TestWindow w(true);
        dropText(w.window.get(), "Name=Ann\r\nCity=Rome");
        dropText(w.window.get(), "City=Paris\r\nName=Eve");
        QCOMPARE(w->fa()->rows(), 3);
        QCOMPARE(titles(w.window.get()).mid(0, 3), QStringList({"Name", "Name", "City"}));
        QCOMPARE(w->fa()->row(), 2);
        QCOMPARE(w->fb()->textMatrix(2, 0), "Name");
        QCOMPARE(w->fb()->textMatrix(3, 0), "City");
        QCOMPARE(w->fb()->textMatrix(2, 1), "Eve");
        QCOMPARE(w->fb()->textMatrix(3, 1), "Paris");
        QCOMPARE(w->txtRow()->text(), "2");
        QCOMPARE(w->panelText(6), "2 / 2");
    }

    void droppedFileGivesItsFirstItem() {
        const QString path = dir_.filePath("form.txt");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("a=1,b=2\r\nc=3\r\n");
        }
        TestWindow w(true);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        data.setText("x=9");  // the file wins over the text
        QCOMPARE(drop(w.window.get(), &data), Qt::CopyAction);
        QCOMPARE(w->txtDrop()->toPlainText(), "a=1");
        QCOMPARE(w->fa()->rows(), 2);
        QCOMPARE(w->fa()->textMatrix(0, 0), "a");
        QCOMPARE(w->fa()->textMatrix(1, 0), "1");
        QVERIFY(!titles(w.window.get()).contains("b"));
        QVERIFY(!titles(w.window.get()).contains("x"));
    }

    void unreadableFileIsAnInputError() {
        TestWindow w(true);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dir_.filePath("gone.txt"))});
        w.prompter.answerMessage(QMessageBox::Ok);
        drop(w.window.get(), &data);
        QCOMPARE(w->txtDrop()->toPlainText(), QString());
        QCOMPARE(w.prompter.last().caption, "Input error");
        QCOMPARE(w->fa()->rows(), 21);
    }

    void dropsTheBoxDoesNotTake() {
        TestWindow w(true);
        QMimeData data;
        data.setData("application/octet-stream", "Name=Ann");
        QCOMPARE(drop(w.window.get(), &data), Qt::IgnoreAction);
        // A link from a browser comes as its text.
        QMimeData link;
        link.setUrls({QUrl("https://example.com/form?a=1")});
        QVERIFY(DropBox::canTake(&link));
        QVERIFY(DropBox::firstFile(&link).isEmpty());
        QCOMPARE(w->txtDrop()->toPlainText(), "Drag or copy valid Form Post text to here");
        QVERIFY(w.prompter.asked().isEmpty());
    }

    void inputError_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::newRow("no colon") << ":"
                                  << "Name=Ann\r\nCity=Rome";
        QTest::newRow("the hint") << "="
                                  << "Drag or copy valid Form Post text to here";
    }
    void inputError() {
        QFETCH(QString, separator);
        QFETCH(QString, text);
        TestWindow w(true);
        w->formReader().setSeparator(separator);
        w->txtDrop()->setPlainText(text);
        w.prompter.answerMessage(QMessageBox::Ok);
        w->cmdDownArrow()->click();
        QCOMPARE(w.prompter.asked().size(), 1);
        const auto& asked = w.prompter.last();
        QCOMPARE(asked.icon, Prompter::Icon::Critical);
        QCOMPARE(asked.caption, "Input error");
        QCOMPARE(asked.text, kInputError);
        QCOMPARE(asked.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        // Nothing changed: the new document keeps its blank records.
        QCOMPARE(w->fa()->rows(), 21);
        QVERIFY(w->document().isNewDocument());
        QVERIFY(!w->document().isModified());
        // (The box keeps line feeds only: a form's CRLF pairs reach the reader as bare LFs.)
        QCOMPARE(w->txtDrop()->toPlainText(), QString(text).remove('\r'));
    }

    void linesPastTheColumnLimitAreRefused() {
        // A comma line of 65,537 fields would make a table no file could hold: refused with a
        // message, and the new document stays as it was.
        TestWindow w(true);
        const int cols = w->fa()->cols();
        w->formReader().setSeparator("CV");
        w->txtDrop()->setPlainText(QString(kMaxColumns, u',') + "x");
        w.prompter.answerMessage(QMessageBox::Ok);
        w->cmdDownArrow()->click();
        QCOMPARE(w.prompter.asked().size(), 1);
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Exclamation);
        QCOMPARE(w.prompter.last().caption, "Drop Box");
        QCOMPARE(w.prompter.last().text, tooManyColumnsMessage());
        QCOMPARE(w->fa()->rows(), 21);
        QCOMPARE(w->fa()->cols(), cols);
        QVERIFY(w->document().isNewDocument());
        QVERIFY(!w->document().isModified());
    }

    void decodeTwiceAddsTwice() {
        TestWindow w(true);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        w->txtDrop()->setPlainText("Name=Ann");
        w->cmdDownArrow()->click();
        w->cmdDownArrow()->click();
        QCOMPARE(w->fa()->rows(), 3);
        QCOMPARE(w->fa()->textMatrix(2, 0), "Ann");
        QCOMPARE(w->txtDrop()->toPlainText(), "Name=Ann");  // the text stays in the box
        QTRY_VERIFY(w->fa()->hasFocus());
        QCOMPARE(int(uint8_t(w->views().activeArea())), 1);
    }

    void changeFocusAndErase() {
        TestWindow w(true);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        w->txtDrop()->setPlainText(QString());
        QVERIFY(!w->cmdDownArrow()->isEnabled());
        QTest::keyClicks(w->txtDrop(), "x");  // typing is a change too
        QVERIFY(w->cmdDownArrow()->isEnabled());

        w->fa()->setFocus();
        QTRY_COMPARE(int(uint8_t(w->views().activeArea())), 1);
        w->txtDrop()->setPlainText("Name=Ann\nCity=Rome");
        w->txtDrop()->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(int(uint8_t(w->views().activeArea())), 4);
        QCOMPARE(w->txtDrop()->textCursor().selectedText().size(),
                 w->txtDrop()->toPlainText().size());
        // A click into the box keeps the whole text selected.
        w->fa()->setFocus();
        QTRY_VERIFY(w->fa()->hasFocus());
        QTest::mouseClick(w->txtDrop()->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
        QTRY_VERIFY(w->txtDrop()->hasFocus());
        QCOMPARE(w->txtDrop()->textCursor().selectedText().size(),
                 w->txtDrop()->toPlainText().size());

        w->fa()->setFocus();
        QTRY_VERIFY(w->fa()->hasFocus());
        w->cmdEraser()->click();
        QCOMPARE(w->txtDrop()->toPlainText(), QString());
        QVERIFY(!w->cmdDownArrow()->isEnabled());
        QTRY_VERIFY(w->txtDrop()->hasFocus());
        QCOMPARE(w->fa()->rows(), 21);
    }

    // The keys of Cut and Paste in the focused box run the Edit menu's Cut and Paste: the whole
    // text goes to the clipboard, or is replaced by it, even when only a part is selected.
    void cutAndPasteKeysTakeTheWholeText_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("cut");
        QTest::newRow("Ctrl+X") << QKeySequence(Qt::CTRL | Qt::Key_X) << true;
        QTest::newRow("Shift+Delete") << QKeySequence(Qt::SHIFT | Qt::Key_Delete) << true;
        QTest::newRow("Ctrl+V") << QKeySequence(Qt::CTRL | Qt::Key_V) << false;
        QTest::newRow("Shift+Insert") << QKeySequence(Qt::SHIFT | Qt::Key_Insert) << false;
    }
    void cutAndPasteKeysTakeTheWholeText() {
        QFETCH(QKeySequence, keys);
        QFETCH(bool, cut);
        TestWindow w(true);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QPlainTextEdit* box = w->txtDrop();
        const QString text = QStringLiteral("name=Ann\nmail=ann@example.org");
        box->setPlainText(text);
        QGuiApplication::clipboard()->setText(QStringLiteral("city=Oslo"));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(w->views().activeArea() == ActiveArea::DropBox);
        // A part of the text selected with the keys.
        QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
        }
        QCOMPARE(box->textCursor().selectedText(), QStringLiteral("name"));
        const QKeyCombination key = keys[0];
        QTest::keyClick(box, key.key(), key.keyboardModifiers());
        if (cut) {
            QCOMPARE(QGuiApplication::clipboard()->text(), text);
            QCOMPARE(box->toPlainText(), QString());
        } else {
            QCOMPARE(box->toPlainText(), QStringLiteral("city=Oslo"));
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("city=Oslo"));
        }
        QVERIFY(!w->document().isModified());
    }

    void commaLinesThroughTheDialog() {
        TestWindow w(true);
        frmConvChr* dialog = openDialog(w);
        QVERIFY(dialog);
        QVERIFY(dialog->isModal());
        dialog->optChr[2]->click();
        dialog->txtConvChr->setText("CV");
        dialog->cmdOK->click();
        QCOMPARE(w->formReader().separator(), "CV");
        QCOMPARE(w->panelText(2), "CV");
        QTRY_VERIFY(!w->findChild<frmConvChr*>());  // closed and gone

        dropText(w.window.get(), "1,2,3\r\n4,5,6\r\n");
        QCOMPARE(w->fa()->rows(), 3);
        QCOMPARE(w->fa()->textMatrix(1, 2), "3");
        QCOMPARE(w->fa()->textMatrix(2, 0), "4");
        QCOMPARE(w->fa()->textMatrix(0, 0), QString());  // titles untouched
        QCOMPARE(w->txtRow()->text(), "2");
        QVERIFY(w->document().isModified());

        // Tab lines, and a line wider than the table widens it and the Form Panel.
        w->formReader().setSeparator("TB");
        QString wide;
        for (int i = 0; i < 12; ++i) {
            wide += QString::number(i) + (i < 11 ? "\t" : "");
        }
        dropText(w.window.get(), wide);
        QCOMPARE(w->fa()->cols(), 12);
        QCOMPARE(w->txtCol()->text(), "12");
        QCOMPARE(w->fb()->rows(), 13);
        QCOMPARE(w->fa()->textMatrix(3, 11), "11");
    }

    void dialogOpensOnTheCurrentSetting_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("equal sign") << "=" << 1 << "FirstName=John"
                                    << "LastName=Doe";
        QTest::newRow("colon") << ":" << 0 << "FirstName:John"
                               << "LastName:Doe";
        QTest::newRow("other") << "CV" << 2 << "FirstNameCVJohn"
                               << "LastNameCVDoe";
        QTest::newRow("ampersand") << "&" << 2 << "FirstName&John"
                                   << "LastName&Doe";
    }
    void dialogOpensOnTheCurrentSetting() {
        QFETCH(QString, setting);
        QFETCH(int, option);
        QFETCH(QString, first);
        QFETCH(QString, last);
        TestWindow w;
        w->formReader().setSeparator(setting);
        frmConvChr dialog(*w.window, w->formReader());
        QCOMPARE(dialog.windowTitle(), "Separator Character Setting");
        QCOMPARE(dialog.selectedOption(), option);
        QVERIFY(dialog.optChr[option]->isChecked());
        QCOMPARE(dialog.lblExample[0]->text(), first);
        QCOMPARE(dialog.lblExample[1]->text(), last);
        QVERIFY(dialog.cmdOK->isEnabled());
        const bool other = option == 2;
        QCOMPARE(dialog.txtConvChr->isEnabled(), other);
        QCOMPARE(dialog.txtConvChr->text(), other ? setting : QString());
        QCOMPARE(dialog.txtConvChr->palette().color(QPalette::Base),
                 other ? QColor(255, 255, 255) : QColor(180, 180, 180));
        // The examples are in a fixed-width face, and every character of them shows.
        QVERIFY(QFontInfo(dialog.lblExample[0]->font()).fixedPitch());
        const QFontMetrics metrics(dialog.lblExample[0]->font());
        QVERIFY(dialog.lblExample[0]->sizeHint().width() >= metrics.horizontalAdvance(first));
    }

    void dialogTexts() {
        TestWindow w;
        frmConvChr dialog(*w.window, w->formReader());
        QStringList labels;
        for (const QLabel* l : dialog.findChildren<QLabel*>()) {
            labels << l->text();
        }
        for (const char* text :
             {"Select the separator character:", "Example:",
              "Note: Make sure the variable names and values do not contain the separator "
              "character."}) {
            QVERIFY2(labels.contains(text), text);
        }
        QCOMPARE(dialog.optChr[0]->text(), "(colon)");
        QCOMPARE(dialog.optChr[1]->text(), "(equal sign)");
        QCOMPARE(dialog.optChr[2]->text(), "(other, specify)");
        QCOMPARE(dialog.cmdOK->text(), "OK");
        QCOMPARE(dialog.cmdCancel->text(), "Cancel");
    }

    void dialogOptionsAndTyping() {
        TestWindow w;
        frmConvChr dialog(*w.window, w->formReader());
        dialog.optChr[2]->click();
        QVERIFY(dialog.txtConvChr->isEnabled());
        QCOMPARE(dialog.lblExample[0]->text(), "FirstNameJohn");
        QTest::keyClicks(dialog.txtConvChr, "&");
        QCOMPARE(dialog.lblExample[0]->text(), "FirstName&John");
        QCOMPARE(dialog.lblExample[1]->text(), "LastName&Doe");
        // Typing while another option is chosen leaves the examples alone.
        dialog.optChr[0]->click();
        QVERIFY(!dialog.txtConvChr->isEnabled());
        dialog.txtConvChr->setText("#");
        QCOMPARE(dialog.lblExample[0]->text(), "FirstName:John");
        // Back to "other": the box's text is the separator again.
        dialog.optChr[2]->click();
        QCOMPARE(dialog.lblExample[1]->text(), "LastName#Doe");
    }

    void dialogOkAndCancel() {
        TestWindow w;
        {
            frmConvChr dialog(*w.window, w->formReader());
            dialog.optChr[0]->click();
            dialog.cmdCancel->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(w->formReader().separator(), "=");
            QCOMPARE(w->panelText(2), "=");
        }
        {
            frmConvChr dialog(*w.window, w->formReader());
            dialog.optChr[0]->click();
            dialog.cmdOK->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(w->formReader().separator(), ":");
            QCOMPARE(w->panelText(2), ":");
        }
        {
            // Stored as typed, without a check: a longer separator, then an empty one.
            frmConvChr dialog(*w.window, w->formReader());
            QVERIFY(dialog.optChr[0]->isChecked());
            dialog.optChr[2]->click();
            dialog.txtConvChr->setText("::");
            dialog.cmdOK->click();
            QCOMPARE(w->formReader().separator(), "::");
        }
        {
            frmConvChr dialog(*w.window, w->formReader());
            QCOMPARE(dialog.txtConvChr->text(), "::");
            dialog.txtConvChr->clear();
            dialog.cmdOK->click();
            QCOMPARE(w->formReader().separator(), QString());
            QCOMPARE(w->panelText(2), QString());
        }
        {
            frmConvChr dialog(*w.window, w->formReader());
            dialog.optChr[1]->click();
            dialog.cmdOK->click();
            QCOMPARE(w->formReader().separator(), "=");
            QCOMPARE(w->panelText(2), "=");
        }
    }

    // The separator is written back as a preference at the end of the program.
    void settingIsStoredAtExit() {
        TestWindow w;
        frmConvChr dialog(*w.window, w->formReader());
        dialog.optChr[2]->click();
        dialog.txtConvChr->setText("TB");
        dialog.cmdOK->click();
        w->SaveSettings();
        QCOMPARE(settings_.get("ConvertionChr"), "TB");
    }
};

QTEST_MAIN(TstDropBox)
#include "tst_dropbox.moc"
