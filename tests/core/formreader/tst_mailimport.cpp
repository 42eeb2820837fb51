// The form-post import over mail made in the test: transfer encodings and charsets, multiparts,
// forwarded messages, mbox escaping, urlencoded bodies, the browsers' bodies, duplicates, date
// order, mail columns, the sources (mbox, Maildir, folders, files), bad input, cancelling and
// the one step of the edit history.
#include <QTemporaryDir>
#include <QtTest>

#include "MailMaker.h"
#include "core/document/Document.h"
#include "core/formreader/MailFraming.h"
#include "core/formreader/MailImport.h"
#include "core/formreader/UrlEncodedForm.h"
#include "core/grid/GridModel.h"

using namespace pellumar;
using namespace pellumar::formreader;
using namespace pellumar::testing;

namespace {

QString writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

QStringList row(const GridModel& grid, int r) {
    QStringList out;
    for (int c = 0; c < grid.cols(); ++c) {
        out << grid.text(r, c);
    }
    return out;
}

struct Imported {
    bool ok = false;
    QString error;
    QList<QStringList> rows;  // the title row first
    MailSummary summary;
};

// Imports the sources into a new table (a title row, no columns).
Imported import(const QStringList& paths, bool mailColumns = false,
                const QString& separator = QStringLiteral("=")) {
    Imported out;
    MailImport mail(separator, mailColumns);
    const auto read = mail.read(paths);
    out.ok = read.ok();
    if (!read) {
        out.error = read.message();
        return out;
    }
    GridModel grid;
    grid.replaceTable(Table(1, 0));
    mail.apply(grid, false);
    for (int r = 0; r < grid.rows(); ++r) {
        out.rows << row(grid, r);
    }
    out.summary = mail.summary();
    return out;
}

const QString kForm = QStringLiteral("Name=Zoë Ångström\r\nCity=Zürich\r\nNote=a=b\r\n");
const QStringList kFormTitles{"Name", "City", "Note"};
const QStringList kFormValues{QStringLiteral("Zoë Ångström"), QStringLiteral("Zürich"), "a=b"};

}  // namespace

class TstMailImport : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int n_ = 0;
    QString file(const QByteArray& bytes, const QString& ext = QStringLiteral(".eml")) {
        return writeFile(dir_.filePath(QStringLiteral("m%1%2").arg(++n_).arg(ext)), bytes);
    }

private slots:
    void encodingsAndCharsets_data() {
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QByteArray>("encoding");
        for (const char* charset : {"UTF-8", "ISO-8859-1", "windows-1252", "ISO-8859-15"}) {
            for (const char* encoding : {"8bit", "quoted-printable", "base64"}) {
                QTest::addRow("%s %s", charset, encoding)
                    << QByteArray(charset) << QByteArray(encoding);
            }
        }
        QTest::newRow("7bit ASCII") << QByteArray("us-ascii") << QByteArray("7bit");
    }
    void encodingsAndCharsets() {
        QFETCH(QByteArray, charset);
        QFETCH(QByteArray, encoding);
        const bool ascii = charset == "us-ascii";
        const QString form =
            ascii ? QStringLiteral("Name=Zoe\r\nCity=Zurich\r\nNote=a=b\r\n") : kForm;
        const auto got = import({file(message({}, textPart(form, charset.constData(), encoding)))});
        QVERIFY2(got.ok, qPrintable(got.error));
        QCOMPARE(got.rows.size(), 2);
        QCOMPARE(got.rows[0], kFormTitles);
        QCOMPARE(got.rows[1], (ascii ? QStringList{"Zoe", "Zurich", "a=b"} : kFormValues));
    }

    // Where the form text is found in a message, and the headers that stand for it.
    void structures_data() {
        QTest::addColumn<QByteArray>("mail");
        QTest::addColumn<QStringList>("record");  // with the mail columns; empty: no form text
        const QString html = QStringLiteral("<p>Name=Ann</p>");
        const QStringList record{"2024-01-01",
                                 "ann@example.org",
                                 "Contact form",
                                 "1@example.org",
                                 QStringLiteral("Zoë Ångström"),
                                 QStringLiteral("Zürich"),
                                 "a=b"};
        QTest::newRow("alternative")
            << message({}, multipart("alternative", {textPart(kForm, "UTF-8", "quoted-printable"),
                                                     textPart(html, "UTF-8", "7bit", "text/html")}))
            << record;
        QTest::newRow("html first in alternative")
            << message({}, multipart("alternative", {textPart(html, "UTF-8", "7bit", "text/html"),
                                                     textPart(kForm, "UTF-8", "base64")}))
            << record;
        QTest::newRow("mixed with an attachment")
            << message({}, multipart("mixed", {textPart(kForm),
                                               "Content-Type: application/pdf\r\n"
                                               "Content-Disposition: attachment; filename=a.pdf\r\n"
                                               "Content-Transfer-Encoding: base64\r\n\r\n" +
                                                   base64Lines("%PDF-1.4 Name=x")}))
            << record;
        QTest::newRow("a cover note without form text first")
            << message({},
                       multipart("mixed", {textPart("Hello, see the form.\r\n"), textPart(kForm)}))
            << record;
        MailHeaders forwarder{"Bob <bob@example.com>", "Fwd: Contact form",
                              "Tue, 02 Jan 2024 09:00:00 +0000", "<fwd@example.com>"};
        QTest::newRow("forwarded: the submission's own headers")
            << message(forwarder,
                       multipart("mixed", {textPart("FYI\r\n"),
                                           attachedMessage(message({}, textPart(kForm)))}))
            << record;
        MailHeaders encoded{"=?UTF-8?B?Wm/DqQ==?= <zoe@example.org>",
                            "=?ISO-8859-1?Q?Anfrage_M=FCnchen?=", "Mon, 01 Jan 2024 10:00:00 +0000",
                            "<2@example.org>"};
        QTest::newRow("encoded words") << message(encoded, textPart(kForm))
                                       << QStringList{"2024-01-01",
                                                      "zoe@example.org",
                                                      QStringLiteral("Anfrage München"),
                                                      "2@example.org",
                                                      QStringLiteral("Zoë Ångström"),
                                                      QStringLiteral("Zürich"),
                                                      "a=b"};
        QTest::newRow("html only")
            << message({}, textPart(html, "UTF-8", "8bit", "text/html")) << QStringList{};
        QTest::newRow("a reply") << message({}, textPart("Thanks, we will call you.\r\n"))
                                 << QStringList{};
    }
    void structures() {
        QFETCH(QByteArray, mail);
        QFETCH(QStringList, record);
        const auto got = import({file(mail)}, true);
        QVERIFY2(got.ok, qPrintable(got.error));
        QCOMPARE(got.summary.messages, 1);
        if (record.isEmpty()) {
            QCOMPARE(got.summary.records, 0);
            QCOMPARE(got.summary.withoutFormText, 1);
            QCOMPARE(got.summary.text(), "0 records from 1 message; 1 without form text");
            return;
        }
        QCOMPARE(got.rows.size(), 2);
        QCOMPARE(got.rows[0], (QStringList{"Date", "From", "Subject", "Message-ID"} + kFormTitles));
        QStringList values = got.rows[1];
        values[0] = values[0].left(10);  // the local time's day: the tests run near noon UTC
        QCOMPARE(values, record);
        QCOMPARE(got.rows[1][0].size(), 19);
    }

    // The bodies browsers post, as the Drop Box reads them, come out the same from mail.
    void browserBodies_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("two-line comments")
            << "Name=Ann Lee\r\nComments=line one\r\nline two\r\nEmail=ann@example.org\r\n"
            << QStringList{"Ann Lee", "line one\nline two", "ann@example.org"};
        QTest::newRow("text area ending in a line break")
            << "Comments=first\r\nsecond\r\n\r\nEmail=bo@example.org\r\n"
            << QStringList{"first\nsecond\n", "bo@example.org"};
        QTest::newRow("empty line and the separator inside")
            << "Subject=Offer\r\nMessage=a = b\r\n\r\nregards\r\nSend=Go\r\n"
            << QStringList{"Offer", "a = b\n\nregards", "Go"};
        QTest::newRow("repeated name") << "Name=Ann\r\nTopic=news\r\nTopic=sales\r\n"
                                       << QStringList{"Ann", "news", "sales"};
    }
    void browserBodies() {
        QFETCH(QString, body);
        QFETCH(QStringList, values);
        for (const char* encoding : {"8bit", "quoted-printable", "base64"}) {
            const auto got = import({file(message({}, textPart(body, "UTF-8", encoding)))});
            QVERIFY(got.ok);
            QCOMPARE(got.rows.value(1), values);
        }
    }

    void urlEncoded_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("values");  // empty: not urlencoded
        QTest::newRow("mailto form") << "name=Ann+Lee&city=M%C3%BCnchen&note=a%0D%0Ab%3Dc\r\n"
                                     << QByteArray("UTF-8") << QStringList{"name", "city", "note"}
                                     << QStringList{"Ann Lee", QStringLiteral("München"), "a\nb=c"};
        QTest::newRow("latin-1 escapes")
            << "city=M%FCnchen" << QByteArray("ISO-8859-1") << QStringList{"city"}
            << QStringList{QStringLiteral("München")};
        QTest::newRow("empty value and marks")
            << "a-b.c_d~e*=&x=%2B1" << QByteArray("UTF-8") << QStringList{"a-b.c_d~e*", "x"}
            << QStringList{"", "+1"};
        QTest::newRow("two lines: form text") << "a=1&b=2\r\nc=3" << QByteArray("UTF-8")
                                              << QStringList{"a", "c"} << QStringList{"1&b=2", "3"};
        QTest::newRow("a space: form text")
            << "a=1 2&b=2" << QByteArray("UTF-8") << QStringList{"a"} << QStringList{"1 2&b=2"};
        QTest::newRow("broken escape: form text")
            << "a=%G1&b=2" << QByteArray("UTF-8") << QStringList{"a"} << QStringList{"%G1&b=2"};
    }
    void urlEncoded() {
        QFETCH(QString, body);
        QFETCH(QByteArray, charset);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, values);
        const auto got = import({file(message({}, textPart(body, charset.constData(), "7bit")))});
        QVERIFY(got.ok);
        QCOMPARE(got.rows.value(0), titles);
        QCOMPARE(got.rows.value(1), values);
    }

    // mbox framing: escaped "From " lines stay inside their message; messages are ordered by
    // date, undated ones last in the order read; duplicates go.
    void mboxOrderAndDuplicates() {
        auto form = [](const QString& name) {
            return textPart(QStringLiteral("Name=%1\r\nComment=hi\r\nFrom here on\r\n").arg(name));
        };
        const QList<QByteArray> messages{
            message({"c@x.org", "s", "Wed, 03 Jan 2024 10:00:00 +0000", "<c@x>"}, form("C")),
            message({"a@x.org", "s", "Mon, 01 Jan 2024 10:00:00 +0000", "<a@x>"}, form("A")),
            message({"u@x.org", "s", "", "<u@x>"}, form("U")),
            message({"b@x.org", "s", "Tue, 02 Jan 2024 12:00:00 +0200", "<b@x>"}, form("B")),
            message({"a@x.org", "again", "Fri, 05 Jan 2024 10:00:00 +0000", "<a@x>"}, form("A2")),
            message({"n@x.org", "s", "Thu, 04 Jan 2024 10:00:00 +0000", ""}, form("N")),
            message({"n@x.org", "s", "Thu, 04 Jan 2024 10:00:00 +0000", ""}, form("N")),
            message({"n@x.org", "s", "Sat, 06 Jan 2024 10:00:00 +0000", ""}, form("N")),
            message({"h@x.org", "news", "Sun, 07 Jan 2024 10:00:00 +0000", "<h@x>"},
                    textPart("Our news this week.\r\n")),
        };
        const auto got = import({file(mbox(messages), QStringLiteral(".mbox"))});
        QVERIFY2(got.ok, qPrintable(got.error));
        QCOMPARE(got.summary.text(),
                 "6 records from 9 messages; 1 without form text, 2 duplicates");
        QStringList names;
        for (qsizetype r = 1; r < got.rows.size(); ++r) {
            names << got.rows[r][0];
            QCOMPARE(got.rows[r][1], "hi\nFrom here on");
        }
        QCOMPARE(names, (QStringList{"A", "B", "C", "N", "N", "U"}));
        const QStringList details = got.summary.details();
        QCOMPARE(details.size(), 3);
        QVERIFY(details[0].contains("a@x.org, \"again\": duplicate"));
        QVERIFY(details[2].contains("h@x.org, \"news\": no form text"));
    }

    // A Message-ID already in the table's "Message-ID" column is a duplicate; the mail columns
    // are matched by title in an existing table.
    void existingTable() {
        GridModel grid;
        Table start(2, 3);
        start.setText(0, 0, u"Name");
        start.setText(0, 1, u"Message-ID");
        start.setText(0, 2, u"Date");
        start.setText(1, 1, u"<old@x>");
        grid.replaceTable(std::move(start));
        MailImport mail(QStringLiteral("="), true);
        mail.knowMessageIds(grid);
        mail.readBytes(mbox({message({"a@x.org", "s", "", "<old@x>"}, textPart("Name=Old\r\n")),
                             message({"b@x.org", "s", "", "<new@x>"}, textPart("Name=New\r\n"))}));
        const Outcome out = mail.apply(grid, false);
        QCOMPARE(out.rowsAdded, 1);
        QCOMPARE(mail.summary().duplicates, 1);
        QCOMPARE(row(grid, 0), (QStringList{"Name", "From", "Subject", "Message-ID", "Date"}));
        QCOMPARE(row(grid, 2), (QStringList{"New", "b@x.org", "s", "new@x", ""}));
    }

    void sources() {
        const QByteArray one = message({}, textPart("Name=One\r\n"));
        const QByteArray two = message({"b@x", "s", "Tue, 02 Jan 2024 10:00:00 +0000", "<2@x>"},
                                       textPart("Name=Two\r\n"));
        // Maildir: cur/ and new/.
        const QString maildir = dir_.filePath(QStringLiteral("Maildir"));
        writeFile(maildir + "/cur/1:2,S", one);
        writeFile(maildir + "/new/2", two);
        QDir().mkpath(maildir + "/tmp");
        auto got = import({maildir});
        QVERIFY2(got.ok, qPrintable(got.error));
        QCOMPARE(got.summary.records, 2);
        // A folder of .eml files (other files ignored).
        const QString folder = dir_.filePath(QStringLiteral("emls"));
        writeFile(folder + "/a.eml", one);
        writeFile(folder + "/b.EML", two);
        writeFile(folder + "/notes.txt", "Name=Not a message");
        got = import({folder});
        QCOMPARE(got.summary.records, 2);
        // Several sources together: the same message twice is one record.
        got = import({folder, maildir});
        QCOMPARE(got.summary.text(), "2 records from 4 messages; 2 duplicates");
    }

    void badSources_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty: no such file
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << QByteArray() << "does not exist";
        QTest::newRow("not mail") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)
                                  << "No messages were found in";
        QTest::newRow("comma text")
            << QByteArray("Name,City\r\nAnn,Rome\r\n") << "No messages were found in";
        QTest::newRow("empty") << QByteArray("") << "No messages were found in";
    }
    void badSources() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const QString path = dir_.filePath(QStringLiteral("bad%1").arg(++n_));
        if (QTest::currentDataTag() != QByteArray("missing")) {
            writeFile(path, bytes);
        }
        const auto got = import({file(message({}, textPart("Name=Ok\r\n"))), path});
        QVERIFY(!got.ok);
        QVERIFY2(got.error.contains(error), qPrintable(got.error));
    }

    // Damaged, truncated, oversized and overly intricate mail is skipped and counted; nothing
    // aborts or hangs, and no message is parsed into far more memory than its size.
    void hostileMail() {
        QByteArray big = "Name=" + QByteArray(int(kMaxMailBytes), 'x') + "\r\n";
        QByteArray parts;
        for (int i = 0; i <= kMaxBoundaryLines; ++i) {
            parts += "--b\r\n\r\n";
        }
        QByteArray headers;
        for (int i = 0; i <= kMaxHeaderLines; ++i) {
            headers += "X-A: b\r\n";
        }
        const QByteArray box = mbox({
            message({}, textPart("Name=First\r\n")),
            message({"b@x", "huge", "", "<big@x>"}, "Content-Type: text/plain\r\n\r\n" + big),
            "From: x\r\nContent-Type: multipart/mixed; boundary=zz\r\n\r\n--zz\r\nContent-Type: "
            "text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\n!!!!\r\n",
            message({"p@x", "parts", "", "<parts@x>"},
                    "Content-Type: multipart/mixed; boundary=b\r\n\r\n" + parts + "--b--\r\n"),
            message({"h@x", "headers", "", "<headers@x>"}, headers + textPart("Name=H\r\n")),
            message({"c@x", "last", "", "<last@x>"}, textPart("Name=Last\r\n")).left(120),
            message({"d@x", "after", "", "<after@x>"}, textPart("Name=After\r\n")),
        });
        big.clear();
        const auto got = import({file(box, QStringLiteral(".mbox"))});
        QVERIFY2(got.ok, qPrintable(got.error));
        QCOMPARE(got.summary.messages, 7);
        QCOMPARE(got.summary.tooLarge, 1);
        QCOMPARE(got.summary.damaged, 2);
        QCOMPARE(got.rows.value(1), QStringList{"First"});
        QCOMPARE(got.rows.value(2), QStringList{"After"});
        const QString details = got.summary.details().join('\n');
        QVERIFY(details.contains("b@x, \"huge\": larger than 16 MB"));
        QVERIFY(details.contains("p@x, \"parts\": damaged"));
        // (The header block of "headers" goes past the bytes read for its headers.)
        QVERIFY2(details.contains("(no sender), \"\": damaged"), qPrintable(details));
    }

    // The framing of a mailbox: messages after "From " lines, escaped lines inside them, bytes
    // fed in any pieces.
    void framing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<qint64>>("ranges");  // start and end of each message
        QTest::newRow("two") << QByteArray("From a\nX: 1\n\nbody\nFrom b\nY: 2\n")
                             << QList<qint64>{7, 18, 25, 30};
        QTest::newRow("escaped and header-like lines")
            << QByteArray("From a\n>From x\nFrom: y\n") << QList<qint64>{7, 23};
        QTest::newRow("junk first, no final line break")
            << QByteArray("junk\nFrom a\nX: 1") << QList<qint64>{12, 16};
        QTest::newRow("none") << QByteArray("no mail here\n") << QList<qint64>{};
    }
    void framing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<qint64>, ranges);
        for (qsizetype piece : {qsizetype(1), qsizetype(3), bytes.size()}) {
            QList<qint64> got;
            MailFramer framer(true, [&](const MailRange& r) {
                got << r.start << r.end;
                return true;
            });
            for (qsizetype i = 0; i < bytes.size(); i += piece) {
                framer.feed(bytes.constData() + i, std::min(piece, bytes.size() - i));
            }
            framer.finish();
            QCOMPARE(got, ranges);
        }
    }

    // The import is one step of the edit history; cancelling changes nothing.
    void oneUndoStepAndCancel() {
        Document doc;
        GridModel& grid = doc.model();
        std::vector<std::unique_ptr<EditStep>> steps;
        doc.recorder().setSink(
            [&](std::unique_ptr<EditStep> step) { steps.push_back(std::move(step)); },
            [&] { steps.clear(); });
        const int rows = grid.rows();
        const int cols = grid.cols();
        QList<QByteArray> messages;
        for (int i = 0; i < 3000; ++i) {
            messages << message(
                {"a@x", "s", "", "<" + QByteArray::number(i) + "@x>"},
                textPart(QStringLiteral("Name=N%1\r\nExtra%2=x\r\n").arg(i).arg(i % 3)));
        }
        const QString path = file(mbox(messages), QStringLiteral(".mbox"));
        {
            MailImport mail(QStringLiteral("="), false);
            QVERIFY(mail.read({path}));
            const auto step = doc.step(QStringLiteral("Import Form Posts"));
            const Outcome out = mail.apply(grid, doc.isNewDocument(),
                                           [](qint64 done, qint64) { return done < 2000; });
            QVERIFY(mail.cancelled());
            QCOMPARE(out.rowsAdded, 0);
        }
        QCOMPARE(grid.rows(), rows);
        QCOMPARE(grid.cols(), cols);
        QVERIFY(steps.empty());
        {
            MailImport mail(QStringLiteral("="), false);
            QVERIFY(!mail.read({path}, [](qint64, qint64) { return false; }));
        }
        MailImport mail(QStringLiteral("="), false);
        QVERIFY(mail.read({path}));
        {
            const auto step = doc.step(QStringLiteral("Import Form Posts"));
            const Outcome out = mail.apply(grid, doc.isNewDocument());
            QCOMPARE(out.rowsAdded, 3000);
            QVERIFY(out.blankRecordsDropped);
        }
        QCOMPARE(grid.rows(), 3001);
        // Each new name goes in at its pair's position, as the Drop Box puts it.
        QCOMPARE(row(grid, 0).mid(0, 4), (QStringList{"Name", "Extra2", "Extra1", "Extra0"}));
        QCOMPARE(grid.text(3000, 0), "N2999");
        QCOMPARE(grid.text(3000, 1), "x");
        QCOMPARE(grid.text(2999, 2), "x");
        QCOMPARE(steps.size(), size_t{1});
        {
            const EditRecorder::Replay quiet(doc.recorder());
            steps[0]->undo();
        }
        QCOMPARE(grid.rows(), rows);
        QCOMPARE(grid.cols(), cols);
        QCOMPARE(grid.text(0, 0), "");
        {
            const EditRecorder::Replay quiet(doc.recorder());
            steps[0]->redo();
        }
        QCOMPARE(grid.text(3000, 0), "N2999");
    }

    void urlEncodedDetection_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("urlencoded");
        QTest::newRow("pairs") << "a=1&b=2" << true;
        QTest::newRow("final CRLF") << "a=1&b=2\r\n" << true;
        QTest::newRow("one pair") << "a=%41" << true;
        QTest::newRow("empty name") << "=1&b=2" << false;
        QTest::newRow("no equal sign") << "a&b=2" << false;
        QTest::newRow("double ampersand") << "a=1&&b=2" << false;
        QTest::newRow("two equal signs") << "a=1=2" << false;
        QTest::newRow("short escape") << "a=%4" << false;
        QTest::newRow("form text") << "Name=Ann\r\nCity=Rome" << false;
        QTest::newRow("empty") << "" << false;
    }
    void urlEncodedDetection() {
        QFETCH(QString, text);
        QFETCH(bool, urlencoded);
        QCOMPARE(isUrlEncodedForm(text), urlencoded);
    }
};

QTEST_GUILESS_MAIN(TstMailImport)
#include "tst_mailimport.moc"
