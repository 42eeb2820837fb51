// `pellumar [FILE]`: the command line's file opened as File > Open opens it, by its extension,
// with the same messages; --help and --version.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "TestWindow.h"
#include "core/document/NativeFile.h"
#include "gui/app/modMain.h"

using namespace pellumar;
using namespace pellumar::testing;
using Action = modMain::CommandLine::Action;

class TstCommandLine : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;
    ProgramFolder dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void init() {
        settings_.clear();
        dir_.renew();
    }
    void cleanup() { dir_.release(); }

    void parsing() {
        using modMain::parseCommandLine;
        modMain::setApplicationNames();
        auto line = parseCommandLine({"pellumar"});
        QCOMPARE(line.action, Action::Run);
        QVERIFY(line.file.isEmpty());
        line = parseCommandLine({"pellumar", "My Records.plm"});
        QCOMPARE(line.action, Action::Run);
        QCOMPARE(line.file, QStringLiteral("My Records.plm"));
        // A file whose name starts like an option, after "--".
        line = parseCommandLine({"pellumar", "--", "-odd.csv"});
        QCOMPARE(line.file, QStringLiteral("-odd.csv"));
        QCOMPARE(parseCommandLine({"pellumar", "--help"}).action, Action::Help);
        QCOMPARE(parseCommandLine({"pellumar", "-h"}).action, Action::Help);
        QVERIFY(parseCommandLine({"pellumar", "--help"}).text.contains("[FILE]"));
        line = parseCommandLine({"pellumar", "--version"});
        QCOMPARE(line.action, Action::Version);
        QCOMPARE(line.text, QStringLiteral("Pellumar 7.0\n"));
        line = parseCommandLine({"pellumar", "--frobnicate"});
        QCOMPARE(line.action, Action::Error);
        QVERIFY(line.text.contains("frobnicate"));
        QCOMPARE(parseCommandLine({"pellumar", "a.csv", "b.csv"}).action, Action::Error);
    }

    void eachKindOpensAsFileOpenWould_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("encoding");
        QTest::newRow(".csv") << "people.csv" << QByteArray("Name,City\r\nAnn,Rome\r\n")
                              << int(FileKind::Comma) << int(TextEncoding::Utf8);
        QTest::newRow(".CSV, upper case") << "PEOPLE.CSV" << QByteArray("Name,City\nAnn,Rome\n")
                                          << int(FileKind::Comma) << int(TextEncoding::Utf8);
        QTest::newRow(".txt") << "people.txt" << QByteArray("Name\tCity\r\nAnn\tRome\r\n")
                              << int(FileKind::Tab) << int(TextEncoding::Utf8);
        QTest::newRow(".tsv, Windows-1252")
            << "people.Tsv" << QByteArray("Name\tCity\r\nAnn\tK\xf6ln\r\n") << int(FileKind::Tab)
            << int(TextEncoding::Windows1252);
        QTest::newRow(".PLM") << "people.PLM" << QByteArray() << int(FileKind::Native)
                              << int(TextEncoding::Utf8);
    }

    void eachKindOpensAsFileOpenWould() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(int, encoding);
        const QString file = path(name);
        if (kind == int(FileKind::Native)) {
            QVERIFY(saveNative(tableOf({{"Name", "City"}, {"Ann", "Rome"}}), file));
        } else {
            QVERIFY(writeFile(file, bytes));
        }
        TestWindow w;
        QVERIFY(modMain::openCommandLineFile(*w.window, file));
        QVERIFY(w.prompter.asked().isEmpty());
        const Document& d = w->document();
        QCOMPARE(d.model().text(0, 0), QStringLiteral("Name"));
        QCOMPARE(d.model().text(1, 0), QStringLiteral("Ann"));
        QCOMPARE(d.recordCount(), 1);
        QCOMPARE(int(d.fileKind()), kind);
        QCOMPARE(int(d.encoding()), encoding);
        QCOMPARE(d.currentFile(), file);
        QCOMPARE(w->windowTitle(), "Pellumar [" + file + "]");
        QCOMPARE(d.lastOpenPath(), dir_.path() + "/");
        QVERIFY(!d.isModified());
        QVERIFY(!d.isNewDocument());
    }

    void aRelativePathOrAUrl() {
        const QString file = path("rel.csv");
        QVERIFY(writeFile(file, "A\r\n1\r\n"));
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        {
            TestWindow w;
            QVERIFY(modMain::openCommandLineFile(*w.window, "rel.csv"));
            QCOMPARE(w->document().currentFile(), file);
        }
        QDir::setCurrent(old);
        TestWindow w;
        QVERIFY(modMain::openCommandLineFile(*w.window, QUrl::fromLocalFile(file).toString()));
        QCOMPARE(w->document().currentFile(), file);
    }

    void aFileThatCannotBeOpenedLeavesTheUntitledDocument_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << "missing.csv" << QByteArray() << "does not exist";
        QTest::newRow("damaged") << "damaged.plm" << QByteArray("\x89PLM\r\n\x1a\nrubbish")
                                 << "damaged";
        QTest::newRow("another extension")
            << "sheet.xls" << QByteArray("A,B\r\n") << "Pellumar opens Pellumar files (.plm)";
        QTest::newRow("no extension") << "records" << QByteArray("A,B\r\n") << "comma delimited";
    }

    void aFileThatCannotBeOpenedLeavesTheUntitledDocument() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString file = path(name);
        if (!bytes.isEmpty()) {
            QVERIFY(writeFile(file, bytes));
        }
        TestWindow w;
        QVERIFY(!modMain::openCommandLineFile(*w.window, file));
        QCOMPARE(w.prompter.asked().size(), 1);
        const auto& q = w.prompter.last();
        QCOMPARE(q.caption, QStringLiteral("Open"));
        QCOMPARE(q.icon, Prompter::Icon::Critical);
        QVERIFY2(q.text.contains(file) && q.text.contains(says), qPrintable(q.text));
        const Document& d = w->document();
        QVERIFY(d.isNewDocument());
        QCOMPARE(d.currentFile(), untitledPath());
        QCOMPARE(d.recordCount(), 20);
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar"));
    }

    void unsavedWorkIsAskedAbout() {
        // The same save-changes prompt as File > Open; Cancel keeps the work.
        const QString file = path("next.csv");
        QVERIFY(writeFile(file, "A\r\n1\r\n"));
        TestWindow w;
        w->document().model().setText(1, 0, "unsaved");
        w->document().markChanged();
        w.prompter.answerMessage(QMessageBox::Cancel);
        QVERIFY(!modMain::openCommandLineFile(*w.window, file));
        QCOMPARE(w.prompter.last().caption, QStringLiteral("Open"));
        QCOMPARE(w->document().model().text(1, 0), QStringLiteral("unsaved"));
    }

    void theProgramPrintsHelpAndVersion() {
        // Without a display: the texts need no window.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        const auto run = [&](const QStringList& args, QByteArray* out) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(PELLUMAR_PATH, args);
            if (!p.waitForFinished(120000)) {
                return -1;
            }
            *out = p.readAllStandardOutput() + p.readAllStandardError();
            return p.exitCode();
        };
        QByteArray out;
        QCOMPARE(run({"--version"}, &out), 0);
        QCOMPARE(out, QByteArray("Pellumar 7.0\n"));
        QCOMPARE(run({"--help"}, &out), 0);
        QVERIFY(out.contains("[FILE]"));
        QVERIFY(out.contains("--version"));
        // Options the window system does not take either are refused.
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QCOMPARE(run({"--no-such-option"}, &out), 1);
        QVERIFY(out.contains("no-such-option"));
    }
};

QTEST_MAIN(TstCommandLine)
#include "tst_commandline.moc"
