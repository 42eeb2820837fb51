// pellumar-convert as scripts use it: kinds by extension, the first-line flag, the form posts of
// mailboxes, exit codes, and OUT left as it was when anything fails.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "MailMaker.h"
#include "SmallDisk.h"

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

// Comma text of `records` records of two long fields: few separators for many bytes.
QByteArray longRecords(int records) {
    QByteArray bytes = "Name,Note\r\n";
    for (int r = 0; r < records; ++r) {
        bytes += "row" + QByteArray::number(r).rightJustified(5, '0') + ',' +
                 QByteArray(100, static_cast<char>('a' + r % 26)) + "\r\n";
    }
    return bytes;
}

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

    // A save onto a real disk that runs out of space: exit status 1, a message that names the
    // full disk, OUT as it was and no temporary file left on the disk.
    void aFullDiskKeepsOut_data() {
        QTest::addColumn<QString>("outName");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("shortBy");  // pages of the disk missing for OUT (0: 4 KB free)
        QTest::addColumn<QString>("error");
        const QString full = QStringLiteral("the disk is full.");
        // About 7 KB, less than a write buffer of 16 KB, onto 4 KB of room.
        QTest::newRow("small comma file") << "out.csv" << 60 << 0 << full;
        QTest::newRow("small native file") << "out.plm" << 60 << 0 << full;
        QTest::newRow("large comma file") << "out.csv" << 20000 << 300 << full;
        QTest::newRow("large native file") << "out.plm" << 20000 << 300 << full;
        // About 70 KB: a first write of 64 KB fits, the last one of a few KB does not.
        QTest::newRow("comma file, only its last write fails") << "out.csv" << 650 << 1 << full;
        QTest::newRow("native file, only its last write fails") << "out.plm" << 650 << 1 << full;
        QTest::newRow("text larger than the free space")
            << "out.csv" << -1 << 10 << "of disk space";
    }

    void aFullDiskKeepsOut() {
        QFETCH(QString, outName);
        QFETCH(int, records);
        QFETCH(int, shortBy);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.csv"));
        // Without a record count: a ragged file, one wide title line over short records, whose
        // text is mostly separators.
        QVERIFY(writeFile(
            in, records >= 0 ? longRecords(records)
                             : QByteArray(4000, ',') + "\r\n" + QByteArray("x\r\n").repeated(200)));
        // How large OUT becomes where there is room.
        const QString roomy = dir.filePath(outName);
        QCOMPARE(convert({in, roomy}).exitCode, 0);
        const qint64 size = QFileInfo(roomy).size();
        const qint64 pages = (size + 4095) / 4096;
        const qint64 left = shortBy == 0 ? 4096 : (pages - shortBy) * 4096;

        SmallDisk disk(left + (qint64{64} << 10));
        if (!disk.usable()) {
            QSKIP(qPrintable(disk.reason()));
        }
        const QString out = disk.filePath(outName);
        QVERIFY(writeFile(out, "precious"));
        QVERIFY(disk.fillLeaving(left));
        const Run run = convert({in, out});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(error), qPrintable(run.errors));
        QCOMPARE(readFile(out), QByteArray("precious"));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{outName});
        QCOMPARE(disk.freeBytes(), left);
    }

    // UTF-16 without a byte-order mark goes through in its own byte order; a stray last byte is
    // told on standard error, and the conversion still succeeds.
    void utf16WithoutAMark() {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.txt"));
        const QString out = dir.filePath(QStringLiteral("out.txt"));
        const QByteArray le("N\0a\0m\0e\0\t\0C\0i\0t\0y\0\r\0\n\0A\0\t\0\xF6\0\r\0\n\0", 32);
        QVERIFY(writeFile(in, le));
        Run run = convert({in, out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.errors, QString());
        QCOMPARE(readFile(out), le);

        QVERIFY(writeFile(in, le + 'Z'));
        run = convert({in, out});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.errors.contains(u"ends in a stray byte (0x5A)"), qPrintable(run.errors));
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
