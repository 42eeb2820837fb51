// pellumar-convert as scripts use it: kinds by extension, the first-line flag, the form posts of
// mailboxes, exit codes, and OUT left as it was when anything fails.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "MailMaker.h"

using namespace pellumar::testing;

namespace {

struct Run {
    int exitCode = -1;
    QString errors;
};

Run convert(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PELLUMAR_CONVERT_PATH), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

const QByteArray kCsv = "Name,Note\r\nAnn,\"a, b\"\r\nBob,\"say \"\"hi\"\"\"\r\n";

}  // namespace

class TstConvert : public QObject {
    Q_OBJECT

private slots:
    void throughEveryKind() {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.csv"));
        QVERIFY(writeFile(in, kCsv));
        const QString plm = dir.filePath(QStringLiteral("mid.plm"));
        const QString tsv = dir.filePath(QStringLiteral("mid.TSV"));
        const QString txt = dir.filePath(QStringLiteral("mid.txt"));
        const QString out = dir.filePath(QStringLiteral("out.csv"));
        QCOMPARE(convert({in, plm}).exitCode, 0);
        QCOMPARE(convert({plm, tsv}).exitCode, 0);
        QCOMPARE(readFile(tsv),
                 QByteArray("Name\tNote\r\nAnn\ta, b\r\nBob\t\"say \"\"hi\"\"\"\r\n"));
        QCOMPARE(convert({tsv, txt}).exitCode, 0);
        QCOMPARE(readFile(txt), readFile(tsv));
        QCOMPARE(convert({txt, out}).exitCode, 0);
        QCOMPARE(readFile(out), kCsv);
    }

    void firstLineAsData() {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.csv"));
        const QString out = dir.filePath(QStringLiteral("out.csv"));
        QVERIFY(writeFile(in, kCsv));
        QCOMPARE(convert({QStringLiteral("--first-line-data"), in, out}).exitCode, 0);
        QCOMPARE(readFile(out), ",\r\n" + kCsv);
    }

    void keepsTheEncoding() {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("old.csv"));
        const QString out = dir.filePath(QStringLiteral("old.txt"));
        QVERIFY(writeFile(in, "caf\xE9,na\xEFve\r\n"));
        QCOMPARE(convert({in, out}).exitCode, 0);
        QCOMPARE(readFile(out), QByteArray("caf\xE9\tna\xEFve\r\n"));
    }

    void failuresLeaveOutAsItWas_data() {
        QTest::addColumn<QString>("inName");
        QTest::addColumn<QByteArray>("inBytes");
        QTest::addColumn<QString>("outName");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing IN")
            << "none.csv" << QByteArray() << "out.csv" << 1 << "the file does not exist.";
        QTest::newRow("not a Pellumar file")
            << "in.plm" << kCsv << "out.csv" << 1 << "is not a Pellumar file.";
        QTest::newRow("OUT in a missing folder")
            << "in.csv" << kCsv << "no/such/out.csv" << 1 << "the folder does not exist.";
        QTest::newRow("unknown kind of OUT")
            << "in.csv" << kCsv << "out.doc" << 2 << "cannot tell the kind of";
    }

    void failuresLeaveOutAsItWas() {
        QFETCH(QString, inName);
        QFETCH(QByteArray, inBytes);
        QFETCH(QString, outName);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString in = dir.filePath(inName);
        if (!inBytes.isEmpty()) {
            QVERIFY(writeFile(in, inBytes));
        }
        const QString out = dir.filePath(outName);
        const bool outThere = writeFile(out, "precious");
        const Run run = convert({in, out});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errors.contains(error), qPrintable(run.errors));
        QCOMPARE(readFile(out), outThere ? QByteArray("precious") : QByteArray());
        // No temporary twin is left behind either.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(),
                 (inBytes.isEmpty() ? 0 : 1) + (outThere ? 1 : 0));
    }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("one file") << QStringList{"a.csv"};
        QTest::newRow("three files") << QStringList{"a.csv", "b.csv", "c.csv"};
        QTest::newRow("unknown option") << QStringList{"--fast", "a.csv", "b.csv"};
    }

    // --form-posts: a new table of the messages' forms, the summary on standard error.
    void formPosts() {
        QTemporaryDir dir;
        const QString box = dir.filePath(QStringLiteral("forms.mbox"));
        QVERIFY(writeFile(
            box, mbox({message({"b@x.org", "Two", "Tue, 02 Jan 2024 10:00:00 +0000", "<2@x>"},
                               textPart("Name:Bob\r\nCity:Oslo\r\n")),
                       message({"a@x.org", "One", "Mon, 01 Jan 2024 10:00:00 +0000", "<1@x>"},
                               textPart("Name:Ann\r\nCity:Rome\r\n")),
                       message({"a@x.org", "News", "", "<3@x>"}, textPart("Hello\r\n"))})));
        const QString eml = dir.filePath(QStringLiteral("one.eml"));
        QVERIFY(writeFile(
            eml, message({"c@x.org", "Three", "", ""}, textPart("name=Cy&city=Z%C3%BCrich"))));
        const QString out = dir.filePath(QStringLiteral("out.csv"));
        Run run = convert({"--form-posts", "--separator", ":", box, eml, out});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.errors.contains("3 records from 4 messages; 1 without form text"),
                 qPrintable(run.errors));
        QVERIFY(run.errors.contains("a@x.org, \"News\": no form text"));
        // The urlencoded names differ in case: new columns at their positions, as in the Drop Box.
        QCOMPARE(readFile(out), QByteArray("name,city,Name,City\r\n,,Ann,Rome\r\n,,Bob,Oslo\r\n"
                                           "Cy,Z\xC3\xBCrich,,\r\n"));
        run = convert({"--form-posts", "--mail-columns", "--separator", ":", box, out});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(readFile(out).startsWith("Date,From,Subject,Message-ID,Name,City\r\n"));
        QVERIFY(readFile(out).contains(",a@x.org,One,1@x,Ann,Rome\r\n"));
    }

    void formPostsFailures_data() {
        QTest::addColumn<QStringList>("args");  // "@" stands for the mailbox, "!" for OUT
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing source")
            << QStringList{"@", "none.mbox", "!"} << 1 << "the file does not exist.";
        QTest::newRow("no message")
            << QStringList{"notmail.csv", "!"} << 1 << "No messages were found in";
        QTest::newRow("no OUT") << QStringList{"@"} << 2 << "usage: pellumar-convert";
        QTest::newRow("separator missing its value")
            << QStringList{"@", "!", "--separator"} << 2 << "usage: pellumar-convert";
        QTest::newRow("unknown option")
            << QStringList{"--quick", "@", "!"} << 2 << "usage: pellumar-convert";
        QTest::newRow("unknown kind of OUT")
            << QStringList{"@", "out.doc"} << 2 << "cannot tell the kind of";
    }
    void formPostsFailures() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QVERIFY(
            writeFile(dir.filePath("forms.mbox"), mbox({message({}, textPart("Name=Ann\r\n"))})));
        QVERIFY(writeFile(dir.filePath("notmail.csv"), "Name,City\r\nAnn,Rome\r\n"));
        const QString out = dir.filePath("out.plm");
        QVERIFY(writeFile(out, "precious"));
        QStringList full{"--form-posts"};
        for (const QString& arg : args) {
            full << (arg == "@"            ? dir.filePath("forms.mbox")
                     : arg == "!"          ? out
                     : arg.startsWith("-") ? arg
                                           : dir.filePath(arg));
        }
        const Run run = convert(full);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errors.contains(error), qPrintable(run.errors));
        QCOMPARE(readFile(out), QByteArray("precious"));
    }

    void usage() {
        QFETCH(QStringList, args);
        const Run run = convert(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.errors.startsWith(QStringLiteral("usage: pellumar-convert")));
    }
};

QTEST_GUILESS_MAIN(TstConvert)
#include "tst_convert.moc"
