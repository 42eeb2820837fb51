// The form-post import in the main window: File > Import Form Posts... through a scripted choice
// (the summary, one undo step, the document's state, the mail columns preference), a cancelled
// choice or progress, an unreadable source, and mail dropped on the Drop Box.
#include <QAction>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include "MailMaker.h"
#include "TestWindow.h"
#include "gui/app/CommandTable.h"

using namespace pellumar;
using namespace pellumar::testing;

namespace {

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

QStringList titles(const frmMain* w) {
    QStringList out;
    for (int c = 0; c < w->fa()->cols(); ++c) {
        out << w->fa()->textMatrix(0, c);
    }
    return out;
}

const QList<QByteArray> kMessages{
    message({"b@x.org", "Two", "Tue, 02 Jan 2024 10:00:00 +0000", "<2@x>"},
            textPart("Name=Bob\r\nCity=Oslo\r\n", "UTF-8", "quoted-printable")),
    message({"a@x.org", "One", "Mon, 01 Jan 2024 10:00:00 +0000", "<1@x>"},
            textPart("Name=Ann\r\nCity=Rome\r\n", "UTF-8", "base64")),
    message({"a@x.org", "One again", "Mon, 01 Jan 2024 10:00:00 +0000", "<1@x>"},
            textPart("Name=Ann\r\nCity=Rome\r\n")),
    message({"n@x.org", "Newsletter", "Wed, 03 Jan 2024 10:00:00 +0000", "<3@x>"},
            textPart("<p>News</p>", "UTF-8", "8bit", "text/html")),
};

}  // namespace

class TstMailCommands : public QObject {
    Q_OBJECT

    TestSettings settings_;
    QTemporaryDir dir_;

private slots:
    void init() { settings_.clear(); }

    void theCommandInTheFileMenu() {
        const MenuEntry* import = nullptr;
        for (const MenuEntry& e : menuEntries()) {
            if (e.id == CommandId::mnuImportFormPosts) {
                import = &e;
            }
        }
        QVERIFY(import);
        QCOMPARE(QString::fromLatin1(import->caption), "&Import Form Posts...");
        // Its access key clashes with no other item of the File menu.
        for (const MenuEntry& e : menuEntries()) {
            const QString caption = QString::fromLatin1(e.caption);
            if (e.parent == CommandId::mnuFile && e.id != import->id) {
                const qsizetype amp = caption.indexOf('&');
                QVERIFY2(amp < 0 || caption[amp + 1].toLower() != 'i', e.caption);
            }
        }
        TestWindow w;
        QVERIFY(w->action(CommandId::mnuImportFormPosts)->isEnabled());
    }

    void importThroughTheCommand() {
        const QString box = writeFile(dir_.filePath("forms.mbox"), mbox(kMessages));
        TestWindow w(true);
        w.prompter.answerMailSources({box}, true);
        w.prompter.answerMessage(QMessageBox::Ok);
        w->action(CommandId::mnuImportFormPosts)->trigger();
        QCOMPARE(w.prompter.asked().size(), 2);
        QCOMPARE(w.prompter.asked()[0].kind, ScriptedPrompter::Kind::MailSources);
        QVERIFY(!w.prompter.asked()[0].sources.mailColumns);
        const auto& report = w.prompter.asked()[1];
        QCOMPARE(report.kind, ScriptedPrompter::Kind::Report);
        QCOMPARE(report.caption, "Import Form Posts");
        QCOMPARE(report.text, "2 records from 4 messages; 1 without form text, 1 duplicate");
        QCOMPARE(report.details.size(), 2);
        QVERIFY(report.details[0].contains("a@x.org, \"One again\": duplicate"));
        QVERIFY(report.details[1].contains("n@x.org, \"Newsletter\": no form text"));
        // The new document's blank records went; the records in date order.
        QCOMPARE(w->fa()->rows(), 3);
        QCOMPARE(titles(w.window.get()).mid(0, 6),
                 (QStringList{"Date", "From", "Subject", "Message-ID", "Name", "City"}));
        QCOMPARE(w->fa()->textMatrix(1, 4), "Ann");
        QCOMPARE(w->fa()->textMatrix(2, 4), "Bob");
        QCOMPARE(w->fa()->textMatrix(2, 3), "2@x");
        QVERIFY(w->document().isModified());
        QVERIFY(!w->document().isNewDocument());
        QCOMPARE(w->fa()->row(), 2);

        // The same mailbox again: every message is in the table already.
        w.prompter.reset();
        w.prompter.answerMailSources({box}, true);
        w->action(CommandId::mnuImportFormPosts)->trigger();
        QVERIFY(w.prompter.asked()[0].sources.mailColumns);  // remembered
        QCOMPARE(w.prompter.last().text,
                 "0 records from 4 messages; 1 without form text, 3 duplicates");
        QCOMPARE(w->fa()->rows(), 3);

        // One undo step takes the whole import back.
        QVERIFY(w->action(CommandId::mnuUndo)->isEnabled());
        w->action(CommandId::mnuUndo)->trigger();
        QCOMPARE(w->fa()->rows(), 21);
        QCOMPARE(w->fa()->textMatrix(0, 0), "");

        w->SaveSettings();
        QCOMPARE(settings_.get("MailColumns"), "True");
    }

    void nothingChanges_data() {
        QTest::addColumn<QString>("source");  // "" cancels the choice
        QTest::addColumn<bool>("cancelProgress");
        QTest::addColumn<QString>("message");  // "" no message
        QTest::newRow("choice cancelled") << "" << false << "";
        QTest::newRow("progress cancelled") << "forms.mbox" << true << "";
        QTest::newRow("missing source") << "gone.mbox" << false << "does not exist";
        QTest::newRow("not mail") << "table.csv" << false << "No messages were found in";
    }
    void nothingChanges() {
        QFETCH(QString, source);
        QFETCH(bool, cancelProgress);
        QFETCH(QString, message);
        writeFile(dir_.filePath("forms.mbox"), mbox(kMessages));
        writeFile(dir_.filePath("table.csv"), "Name,City\r\nAnn,Rome\r\n");
        TestWindow w(true);
        if (cancelProgress) {
            w->formReader().setImportProgressFactory(
                [] { return [](qint64 done, qint64) { return done == 0; }; });
        }
        w.prompter.answerMailSources(
            source.isEmpty() ? QStringList{} : QStringList{dir_.filePath(source)}, false);
        w.prompter.answerMessage(QMessageBox::Ok);
        w->action(CommandId::mnuImportFormPosts)->trigger();
        QCOMPARE(w->fa()->rows(), 21);
        QVERIFY(w->document().isNewDocument());
        QVERIFY(!w->document().isModified());
        QVERIFY(!w->action(CommandId::mnuUndo)->isEnabled());
        if (message.isEmpty()) {
            QCOMPARE(w.prompter.asked().size(), 1);
        } else {
            QCOMPARE(w.prompter.last().icon, Prompter::Icon::Critical);
            QVERIFY2(w.prompter.last().text.contains(message), qPrintable(w.prompter.last().text));
        }
    }

    void droppedMail_data() {
        QTest::addColumn<bool>("asData");
        QTest::newRow("message/rfc822 data") << true;
        QTest::newRow("a message file") << false;
    }
    void droppedMail() {
        QFETCH(bool, asData);
        TestWindow w(true);
        QMimeData data;
        const QByteArray mail = kMessages[0];
        if (asData) {
            data.setData("message/rfc822", mail);
        } else {
            data.setUrls({QUrl::fromLocalFile(writeFile(dir_.filePath("dropped.eml"), mail))});
        }
        w.prompter.answerMessage(QMessageBox::Ok);
        QCOMPARE(dropOnDropBox(w.window.get(), &data), Qt::CopyAction);
        QCOMPARE(w.prompter.last().kind, ScriptedPrompter::Kind::Report);
        QCOMPARE(w.prompter.last().text, "1 record from 1 message");
        QCOMPARE(w->fa()->rows(), 2);
        QCOMPARE(titles(w.window.get()).mid(0, 2), (QStringList{"Name", "City"}));
        QCOMPARE(w->fa()->textMatrix(1, 1), "Oslo");
        QVERIFY(w->document().isModified());
    }

    // A form text file, even with a colon separator, keeps today's first-item reading.
    void droppedFormTextIsNoMail() {
        TestWindow w(true);
        w->formReader().setSeparator(":");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(
            writeFile(dir_.filePath("form.txt"), "From:Ann\r\nSubject:Hello\r\n"))});
        dropOnDropBox(w.window.get(), &data);
        QCOMPARE(w->txtDrop()->toPlainText(), "From:Ann");
        QCOMPARE(w->fa()->textMatrix(0, 0), "From");
        QCOMPARE(w->fa()->textMatrix(1, 0), "Ann");
    }
};

QTEST_MAIN(TstMailCommands)
#include "tst_mailcommands.moc"
