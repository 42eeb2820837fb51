// Open, Save As and Append through the main window, over real files on disk.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "TestWindow.h"
#include "core/document/NativeFile.h"

using namespace pellumar;
using pellumar::testing::readFile;
using CellProperty = GridControl::CellProperty;

class TstFileCommands : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;
    ProgramFolder dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }

    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly)) {
            f.write(bytes);
        }
        return path(name);
    }

    static QStringList row(const frmMain* w, int r) {
        QStringList out;
        for (int c = 0; c < w->fa()->cols(); ++c) {
            out << w->fa()->textMatrix(r, c);
        }
        return out;
    }

    // A native file with titles A..(cols) and `records` records "r<row>c<col>".
    QString nativeFile(const QString& name, int cols, int records, const QString& prefix = "r") {
        Table t(records + 1, cols);
        for (int c = 0; c < cols; ++c) {
            t.setText(0, c, QString(QChar(u'A' + c)));
            for (int r = 1; r <= records; ++r) {
                t.setText(r, c, QStringLiteral("%1%2c%3").arg(prefix).arg(r).arg(c));
            }
        }
        const QString p = path(name);
        [[maybe_unused]] const auto saved = saveNative(t, p);
        return p;
    }

private slots:
    void init() {
        settings_.clear();
        dir_.renew();
    }
    void cleanup() { dir_.release(); }

    void threeLinesAsHeaderAndAsData() {
        const QString file = write("three.csv", "Name,City\r\nAnn,Rome\r\nBob,\"Oslo, NO\"\r\n");
        TestWindow w;
        w->document().lastOpenPath() = dir_.path() + "/";
        w.prompter.answerOpen(file);
        w->fileCommands().mnuOpenCSV_Click(0);
        const auto& dialog = w.prompter.last().file;
        QCOMPARE(dialog.filter,
                 QStringLiteral("Comma Delimited Files (*.csv)|*.csv|All Files (*.*)|*.*"));
        QCOMPARE(dialog.defaultExt, QStringLiteral("*.csv"));
        QCOMPARE(dialog.initialName, QStringLiteral("*.csv"));
        QCOMPARE(dialog.initialDir, dir_.path() + "/");
        QVERIFY(dialog.hideReadOnly);
        QCOMPARE(w->fa()->rows(), 3);
        QCOMPARE(row(w.window.get(), 0), (QStringList{"Name", "City"}));
        QCOMPARE(row(w.window.get(), 2), (QStringList{"Bob", "Oslo, NO"}));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar [") + file + "]");
        QCOMPARE(w->document().currentFile(), file);
        QCOMPARE(int16_t(w->document().fileKind()), int16_t(3));
        QVERIFY(!w->document().isNewDocument());
        QVERIFY(!w->document().isModified());
        QCOMPARE(w->document().lastOpenPath(), dir_.path() + "/");
        QCOMPARE(w->txtRow()->text(), QStringLiteral("2"));
        QCOMPARE(w->panelText(6), QStringLiteral("1 / 2"));
        QCOMPARE(w->panelText(3), QStringLiteral("ROW"));
        QCOMPARE(w->fb()->textMatrix(2, 0), QStringLiteral("City"));
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("Ann"));

        // First line as data: empty titles and three records; the clipboard is left alone.
        QGuiApplication::clipboard()->setText(QStringLiteral("user's clipboard"));
        w.prompter.answerOpen(file);
        w->fileCommands().mnuOpenCSV_Click(1);
        QCOMPARE(w->fa()->rows(), 4);
        QCOMPARE(row(w.window.get(), 0), (QStringList{"", ""}));
        QCOMPARE(row(w.window.get(), 1), (QStringList{"Name", "City"}));
        QCOMPARE(w->txtRow()->text(), QStringLiteral("3"));
        QCOMPARE(w->panelText(6), QStringLiteral("1 / 3"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("user's clipboard"));
    }

    // After a load both grids show their first columns: the Form Panel its titles, the data
    // grid its first column, whatever the width of the table.
    void loadLeavesTheGridsAtTheirLeftEdge() {
        QByteArray wide;
        for (int c = 0; c < 30; ++c) {
            wide += (c ? "," : "") + QByteArray("Column number ") + QByteArray::number(c);
        }
        wide += "\r\n1,2,3\r\n";
        const QString file = write("wide.csv", wide);
        TestWindow w(true);
        w.prompter.answerOpen(file);
        w->fileCommands().mnuOpenCSV_Click(0);
        QCoreApplication::processEvents();
        QCOMPARE(w->fa()->cols(), 30);
        QCOMPARE(w->fb()->horizontalScrollBar()->value(), 0);
        QCOMPARE(w->fa()->horizontalScrollBar()->value(), 0);
        QCOMPARE(w->fb()->columnAt(0), 0);
    }

    void tabTextAndUnevenLines() {
        const QString file = write("uneven.txt", "a\tb\nc\td\te\tf\ng\n");
        TestWindow w;
        w.prompter.answerOpen(file);
        w->fileCommands().mnuOpenTAB_Click(0);
        QCOMPARE(w.prompter.last().file.filter,
                 QStringLiteral("Tab Delimited Files (*.txt)|*.txt|All Files (*.*)|*.*"));
        QCOMPARE(int16_t(w->document().fileKind()), int16_t(4));
        QCOMPARE(w->fa()->cols(), 4);
        QCOMPARE(row(w.window.get(), 0), (QStringList{"a", "b", "", ""}));
        QCOMPARE(row(w.window.get(), 1), (QStringList{"c", "d", "e", "f"}));
        QCOMPARE(row(w.window.get(), 2), (QStringList{"g", "", "", ""}));
        QCOMPARE(w->fb()->rows(), 5);
        QCOMPARE(w->txtCol()->text(), QStringLiteral("4"));
    }

    void cancelledDialogsChangeNothing() {
        TestWindow w;
        w->fa()->setTextMatrix(1, 0, QStringLiteral("stay"));
        for (const char* bare : {"", "*.*", "*.plm", "*.csv", "*.txt"}) {
            w.prompter.answerOpen(QString::fromLatin1(bare));
            w->fileCommands().mnuOpenCSV_Click(0);
        }
        w.prompter.answerOpen(QStringLiteral("*.plm"));
        w->fileCommands().mnuOpen_Click(0);
        QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("stay"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar"));
        QVERIFY(w->document().isNewDocument());
        // Indexes 1 and 2 of Open are the submenus' parents: they do nothing.
        w->fileCommands().mnuOpen_Click(1);
        QCOMPARE(w.prompter.asked().size(), 6);
        // Cancel at the save-changes prompt of Open ends it before the dialog.
        w->document().MakeModified(true);
        w.prompter.answerMessage(QMessageBox::Cancel);
        w->fileCommands().mnuOpenTAB_Click(0);
        QCOMPARE(w.prompter.last().caption, QStringLiteral("Open"));
        QCOMPARE(w.prompter.asked().size(), 7);
    }

    void unreadableFilesLeaveTheDocument() {
        TestWindow w;
        w->fa()->setTextMatrix(1, 0, QStringLiteral("unsaved work"));
        w->document().MakeModified(true);
        w->setWindowTitle(QStringLiteral("Pellumar -- mine.plm"));
        const QString missing = path("missing.csv");
        const QString garbage = write("garbage.plm", "this is not a grid file at all");
        struct Case {
            std::function<void()> command;
            QString file;
            bool asksToSave;
        };
        const QList<Case> cases{{[&] { w->fileCommands().mnuOpenCSV_Click(0); }, missing, true},
                                {[&] { w->fileCommands().mnuOpen_Click(0); }, garbage, true},
                                {[&] { w->fileCommands().mnuOpen_Click(0); }, missing, true},
                                {[&] { w->fileCommands().mnuAppend_Click(); }, garbage, false}};
        for (const Case& c : cases) {
            if (c.asksToSave) {
                w.prompter.answerMessage(QMessageBox::No);  // keep the changes unsaved
            }
            w.prompter.answerOpen(c.file);
            c.command();
            const auto& q = w.prompter.last();
            QCOMPARE(q.kind, ScriptedPrompter::Kind::Message);
            QVERIFY2(q.icon == Prompter::Icon::Critical, qPrintable(q.text));
            QVERIFY2(q.text.contains(QFileInfo(c.file).fileName()), qPrintable(q.text));
            QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("unsaved work"));
            QCOMPARE(w->fa()->rows(), 21);
            QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar -- mine.plm"));
            QVERIFY(w->document().isModified());
            QVERIFY(w->document().isNewDocument());
            QCOMPARE(w->document().currentFile(), path("Untitled.plm"));
        }
    }

    void cancelledLoadLeavesTheDocument() {
        QByteArray big;
        for (int i = 0; i < 20000; ++i) {
            big += "some,fields,of,a,line\r\n";
        }
        const QString file = write("big.csv", big);
        TestWindow w;
        w->fa()->setTextMatrix(1, 0, QStringLiteral("before"));
        int calls = 0;
        w->fileCommands().setLoadProgressFactory([&](const QString&) {
            return [&](qint64, qint64) { return ++calls < 1; };  // the user presses Cancel
        });
        w.prompter.answerOpen(file);
        w->fileCommands().mnuOpenCSV_Click(0);
        QVERIFY(calls > 0);
        QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("before"));
        QCOMPARE(w.prompter.asked().size(), 1);  // no error message for a cancel
    }

    void saveAsThenReopen() {
        TestWindow w;
        w->fa()->setTextMatrix(0, 0, QStringLiteral("Name"));
        w->fa()->setTextMatrix(0, 1, QStringLiteral("Note"));
        w->fa()->setTextMatrix(1, 0, QStringLiteral("Ann"));
        w->fa()->setTextMatrix(1, 1, QStringLiteral("says \"hi\", twice"));
        w->fa()->setTextMatrix(2, 1, QStringLiteral("  padded  "));
        w->document().MakeModified(true);
        w.prompter.answerSave(path("people"));  // typed without an extension
        w->fileCommands().mnuSaveAsComma_Click();
        QCOMPARE(w.prompter.last().file.filter,
                 QStringLiteral("Comma Delimited Text Files (*.csv)|*.csv"));
        QVERIFY(w.prompter.last().file.overwritePrompt);
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar -- ") + path("people.csv"));
        QVERIFY(!w->document().isModified());
        QCOMPARE(w->document().currentFile(),
                 path("Untitled.plm"));  // Save As keeps the document's file
        QCOMPARE(int16_t(w->document().fileKind()), int16_t(2));
        // A later Save writes the native file again, not the text file.
        w->document().MakeModified(true);
        QVERIFY(w->fileCommands().mnuSave_Click());
        QVERIFY(loadNative(path("Untitled.plm")).ok());

        w.prompter.answerSave(path("people.txt"));
        w->fileCommands().mnuSaveAsTab_Click();
        QCOMPARE(w.prompter.last().file.filter,
                 QStringLiteral("Tab Delimited Text Files (*.txt)|*.txt"));

        TestWindow again;
        again.prompter.answerOpen(path("people.csv"));
        again->fileCommands().mnuOpenCSV_Click(0);
        QCOMPARE(again->fa()->rows(), 21);
        QCOMPARE(again->fa()->cols(), 9);
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(row(again.window.get(), r), row(w.window.get(), r));
        }
        again.prompter.answerOpen(path("people.txt"));
        again->fileCommands().mnuOpenTAB_Click(0);
        QCOMPARE(again->fa()->textMatrix(1, 1), QStringLiteral("says \"hi\", twice"));
        QCOMPARE(again->fa()->textMatrix(2, 1), QStringLiteral("  padded  "));
    }

    void whatTheUserShouldKnowAfterOpening() {
        // One stray Windows-1252 byte in UTF-8, and a quote that is never closed: the file opens,
        // and then the user is told, once each.
        const QString file =
            write("mixed.csv", "Name,Note\r\nZo\xC3\xAB,J\xF6rg\r\nBob,\"open\r\nrest");
        TestWindow w;
        w.prompter.answerOpen(file);
        w.prompter.answerMessage(QMessageBox::Ok);
        w.prompter.answerMessage(QMessageBox::Ok);
        w->fileCommands().mnuOpenCSV_Click(0);
        QCOMPARE(row(w.window.get(), 1), (QStringList{"Zoë", "Jörg"}));
        QCOMPARE(w->fa()->textMatrix(2, 1), QStringLiteral("open\r\nrest"));
        QCOMPARE(w.prompter.asked().size(), 3);
        const auto& mixed = w.prompter.asked()[1];
        QCOMPARE(mixed.caption, QStringLiteral("Open"));
        QCOMPARE(mixed.icon, Prompter::Icon::Exclamation);
        QVERIFY(mixed.text.contains(QStringLiteral("will be saved as UTF-8")));
        QVERIFY(w.prompter.last().text.contains(QStringLiteral("on line 3 is never closed")));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar [") + file + "]");
        QVERIFY(!w->document().isModified());

        // Saved as UTF-8, as the warning said.
        w->document().MakeModified(true);
        w.prompter.answerMessage(QMessageBox::Ok);
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(readFile(file).left(21), QByteArray("Name,Note\r\nZo\xC3\xAB,J\xC3\xB6rg"));
    }

    void unicodeTextIsSavedAsItCame() {
        // Tab text in UTF-16 with its byte-order mark, as spreadsheets write "Unicode Text".
        QByteArray bytes("\xFF\xFE");
        for (const QChar c : QStringLiteral("Name\tCity\r\nZoë\t東京\r\n")) {
            bytes += char(c.unicode() & 0xFF);
            bytes += char(c.unicode() >> 8);
        }
        const QString file = write("unicode.txt", bytes);
        TestWindow w;
        w.prompter.answerOpen(file);
        w->fileCommands().mnuOpenTAB_Click(0);
        QCOMPARE(row(w.window.get(), 1).mid(0, 2), (QStringList{"Zoë", "東京"}));
        w->fa()->setTextMatrix(1, 1, QStringLiteral("大阪"));
        w->document().MakeModified(true);
        w.prompter.answerMessage(QMessageBox::Ok);
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(readFile(file), QByteArray(bytes).replace(QByteArray("\x71\x67\xAC\x4E", 4),
                                                           QByteArray("\x27\x59\x2A\x96", 4)));
    }

    void runningOutOfMemoryKeepsTheProgramAndTheDocument() {
        // The system has no more memory for the load: the load says so, the document stays.
        const QString file = write("some.csv", "Name,City\r\nAnn,Rome\r\n");
        TestWindow w;
        w->fa()->setTextMatrix(1, 0, QStringLiteral("mine"));
        w->fileCommands().setLoadProgressFactory([](const QString&) {
            return Progress([](qint64, qint64) -> bool { throw std::bad_alloc(); });
        });
        w.prompter.answerOpen(file);
        w.prompter.answerMessage(QMessageBox::Ok);
        w->commands().action(CommandId::mnuOpenCSV0)->trigger();
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Critical);
        QCOMPARE(w.prompter.last().text,
                 QStringLiteral("Cannot open %1: there is not enough memory for its table.")
                     .arg(QDir::toNativeSeparators(file)));
        QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("mine"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar"));

        // A command that runs out stops with a message, and the program goes on.
        w->commands().registerCommand(CommandId::mnuNew, [] { throw std::bad_alloc(); });
        w.prompter.answerMessage(QMessageBox::Ok);
        w->commands().action(CommandId::mnuNew)->trigger();
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Critical);
        QVERIFY(w.prompter.last().text.startsWith(
            QStringLiteral("There was not enough memory to finish the command")));
    }

    void saveAsFailureKeepsTitleAndState() {
        write("blocker", "a file, not a folder");
        TestWindow w;
        w->document().MakeModified(true);
        for (const auto& command :
             {std::function<void()>([&] { w->fileCommands().mnuSaveAsComma_Click(); }),
              std::function<void()>([&] { w->fileCommands().mnuSaveAsPLM_Click(); })}) {
            w.prompter.answerSave(path("blocker/out.csv"));
            command();
            QCOMPARE(w.prompter.last().icon, Prompter::Icon::Critical);
            QVERIFY(w.prompter.last().text.contains(QStringLiteral("out.csv")));
            QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar"));
            QVERIFY(w->document().isModified());
        }
        // A cancelled dialog changes nothing and asks nothing more.
        w.prompter.answerSave(QString());
        w->fileCommands().mnuSaveAsTab_Click();
        QCOMPARE(w.prompter.last().kind, ScriptedPrompter::Kind::SaveFile);
        QVERIFY(w->document().isModified());
    }

    void nativeRoundTripKeepsAppearance() {
        TestWindow w;
        w->fa()->setTextMatrix(0, 2, QStringLiteral("Price"));
        w->fa()->setTextMatrix(3, 2, QStringLiteral("1234.5"));
        w->fa()->setCell(CellProperty::FontBold, 2, 0, 3, 1, true);
        w->fa()->setCell(CellProperty::BackColor, 4, 0, 4, 0, 0xffffff00u);
        w->fa()->setColDataType(2, DataTypeMoney);
        w->fa()->setColFormat(2, QStringLiteral("$#,###.00"));
        w->fa()->setColAlignment(2, AlignRightCenter);
        w->fa()->setColWidth(1, 2400);
        w->fa()->setRowHeight(2, 480);
        w.prompter.answerSave(path("styled.plm"));
        QVERIFY(w->fileCommands().mnuSaveAsPLM_Click());

        TestWindow again;
        again.prompter.answerOpen(path("styled.plm"));
        again->fileCommands().mnuOpen_Click(0);
        QCOMPARE(again.prompter.last().file.filter,
                 QStringLiteral("Pellumar Files (*.plm)|*.plm|All Files (*.*)|*.*"));
        QCOMPARE(again.prompter.last().file.initialName, QStringLiteral("*.plm"));
        QCOMPARE(int16_t(again->document().fileKind()), int16_t(2));
        QCOMPARE(again->windowTitle(), QStringLiteral("Pellumar [") + path("styled.plm") + "]");
        GridControl* fa = again->fa();
        QVERIFY(fa->cell(CellProperty::FontBold, 3, 1).toBool());
        QVERIFY(!fa->cell(CellProperty::FontBold, 4, 1).toBool());
        QCOMPARE(fa->cell(CellProperty::BackColor, 4, 0).toUInt(), 0xffffff00u);
        QCOMPARE(fa->colDataType(2), int(DataTypeMoney));
        QCOMPARE(fa->colFormat(2), QStringLiteral("$#,###.00"));
        QCOMPARE(fa->colAlignment(2), int(AlignRightCenter));
        QCOMPARE(fa->colWidth(1), 2400);
        QCOMPARE(fa->rowHeight(2), 480);
        QCOMPARE(fa->textMatrix(3, 2), QStringLiteral("1234.5"));
        QCOMPARE(fa->grid()->displayText(3, 2), w->fa()->grid()->displayText(3, 2));
    }

    void appendRecords() {
        const QString same = nativeFile("same.plm", 3, 2, "s");
        const QString wider = nativeFile("wider.PLM", 5, 1, "w");  // upper case is accepted
        TestWindow w;
        w.prompter.answerOpen(nativeFile("base.plm", 3, 2, "b"));
        w->fileCommands().mnuOpen_Click(0);
        w->fa()->setTextMatrix(0, 1, QString());  // an untitled column takes the appended title

        QGuiApplication::clipboard()->setText(QStringLiteral("user's clipboard"));
        w.prompter.answerOpen(same);
        w->fileCommands().mnuAppend_Click();
        QCOMPARE(w.prompter.last().file.filter,
                 QStringLiteral("Grid Files (*.plm)|*.plm|Excel Workbook (*.xlsx)|*.xlsx|"
                                "OpenDocument Spreadsheet (*.ods)|*.ods"));
        QCOMPARE(w->fa()->rows(), 5);
        QCOMPARE(row(w.window.get(), 0), (QStringList{"A", "B", "C"}));
        QCOMPARE(row(w.window.get(), 2), (QStringList{"b2c0", "b2c1", "b2c2"}));
        QCOMPARE(row(w.window.get(), 3), (QStringList{"s1c0", "s1c1", "s1c2"}));
        QCOMPARE(w->panelText(5), QStringLiteral("2 Sel"));
        QCOMPARE(w->txtRow()->text(), QStringLiteral("4"));
        QVERIFY(w->document().isModified());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("user's clipboard"));

        w.prompter.answerOpen(wider);
        w->fileCommands().mnuAppend_Click();
        QCOMPARE(w->fa()->cols(), 5);
        QCOMPARE(row(w.window.get(), 0), (QStringList{"A", "B", "C", "D", "E"}));
        QCOMPARE(row(w.window.get(), 1), (QStringList{"b1c0", "b1c1", "b1c2", "", ""}));
        QCOMPARE(row(w.window.get(), 5), (QStringList{"w1c0", "w1c1", "w1c2", "w1c3", "w1c4"}));
        QCOMPARE(w->fb()->rows(), 6);
        QCOMPARE(w->txtCol()->text(), QStringLiteral("5"));
        // Append keeps the document's file, kind and title.
        QCOMPARE(w->document().currentFile(), path("base.plm"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar [") + path("base.plm") + "]");
    }

    void appendToANewDocumentAndTheTypeCheck() {
        TestWindow w;
        w.prompter.answerOpen(nativeFile("two.plm", 2, 2));
        w->fileCommands().mnuAppend_Click();
        QCOMPARE(w->fa()->rows(), 23);  // the 20 empty records stay, the new ones follow
        QCOMPARE(w->fa()->textMatrix(21, 0), QStringLiteral("r1c0"));
        QCOMPARE(w->fa()->textMatrix(0, 0), QStringLiteral("A"));
        QCOMPARE(w->fa()->cols(), 9);

        write("list.csv", "A,B\r\n1,2\r\n");
        w.prompter.answerOpen(path("list.csv"));
        w->fileCommands().mnuAppend_Click();
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Exclamation);
        QCOMPARE(w.prompter.last().caption, QStringLiteral("Open"));
        QCOMPARE(w.prompter.last().text,
                 QStringLiteral("You can only select the reconizable file types. Plaese select "
                                "the correct file type from the 'File of Types' list box in the "
                                "Open Dialog and reopen again."));
        QCOMPARE(w->fa()->rows(), 23);
    }

    // A file opened with First Line Data has no title line, and gets none when it is written as
    // comma or tab text while its columns have no titles.
    void firstLineDataWritesNoTitleLine() {
        const QByteArray lines = "Ann,Rome\r\nBob,\"Oslo, NO\"\r\n";
        const QString file = write("data.csv", lines);
        auto bytesOf = [](const QString& p) {
            QFile f(p);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        TestWindow w;
        w.prompter.answerOpen(file);
        w->fileCommands().mnuOpenCSV_Click(1);
        QVERIFY(w->document().isFirstLineData());
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(bytesOf(file), lines);  // saved unchanged, it is the same file
        w.prompter.answerSave(path("copy.txt"));
        QVERIFY(w->fileCommands().mnuSaveAsTab_Click());
        QCOMPARE(bytesOf(path("copy.txt")), QByteArray("Ann\tRome\r\nBob\tOslo, NO\r\n"));
        // Once a column has a title, the title line is written.
        w->fa()->setTextMatrix(0, 1, QStringLiteral("City"));
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(bytesOf(file), ",City\r\n" + lines);
        w->fa()->setTextMatrix(0, 1, QString());
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(bytesOf(file), lines);

        // First Line Header keeps its title line, empty or not.
        const QByteArray blankTitles = ",\r\nAnn,Rome\r\n";
        const QString headed = write("headed.csv", blankTitles);
        w.prompter.answerOpen(headed);
        w->fileCommands().mnuOpenCSV_Click(0);
        QVERIFY(!w->document().isFirstLineData());
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(bytesOf(headed), blankTitles);

        // New ends it too: a new table writes its title line and 20 empty records.
        w.prompter.answerOpen(file);
        w->fileCommands().mnuOpenTAB_Click(1);
        QVERIFY(w->document().isFirstLineData());
        w->fileCommands().mnuNew_Click();
        QVERIFY(!w->document().isFirstLineData());
        w.prompter.answerSave(path("new.csv"));
        QVERIFY(w->fileCommands().mnuSaveAsComma_Click());
        QCOMPARE(bytesOf(path("new.csv")).count("\r\n"), 21);
    }

    void toolbarAndMenuShareTheCommands() {
        TestWindow w;
        const QString file = write("t.csv", "x,y\r\n1,2\r\n");
        w.prompter.answerOpen(file);
        w->action(CommandId::OPEN_CSV)->trigger();
        QCOMPARE(w->fa()->textMatrix(0, 1), QStringLiteral("y"));
        w.prompter.answerOpen(QString());
        w->toolButton("Open")->click();
        QCOMPARE(w.prompter.last().file.defaultExt, QStringLiteral("*.plm"));
        QVERIFY(w->action(CommandId::mnuAppend)->isEnabled());
        QCOMPARE(w->action(CommandId::mnuAppend)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+A")));
    }
};

QTEST_MAIN(TstFileCommands)
#include "tst_filecommands.moc"
