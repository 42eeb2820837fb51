// Workbooks through the main window: Open asks for the sheet of a workbook that has several, a
// workbook that cannot be read leaves the document, Save As and Save write the workbook forms,
// Append takes their records.
#include <QFile>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "TestWindow.h"
#include "core/document/Workbook.h"

using namespace pellumar;
using pellumar::testing::rowsOf;

class TstWorkbookCommands : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;
    ProgramFolder dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }

    static QStringList row(const frmMain* w, int r) {
        QStringList out;
        for (int c = 0; c < w->fa()->cols(); ++c) {
            out << w->fa()->textMatrix(r, c);
        }
        return out;
    }

    // The fixture of three sheets, copied where the test may write.
    QString kinds() const {
        const QString copy = path("kinds.xlsx");
        QFile::copy(QFINDTESTDATA("../../core/document/data/kinds.xlsx"), copy);
        return copy;
    }

private slots:
    void init() {
        settings_.clear();
        dir_.renew();
    }
    void cleanup() { dir_.release(); }

    void openAsksWhichSheet() {
        const QString file = kinds();
        TestWindow w;
        w.prompter.answerOpen(file);
        w.prompter.answerChoice(1);
        w->fileCommands().mnuOpenXlsx_Click();
        const auto& asked = w.prompter.asked();
        QCOMPARE(asked[0].file.filter,
                 QStringLiteral("Excel Workbook (*.xlsx)|*.xlsx|All Files (*.*)|*.*"));
        QCOMPARE(asked[1].kind, ScriptedPrompter::Kind::Choice);
        QCOMPARE(asked[1].items, (QStringList{"People", "Second", "Third"}));
        QVERIFY(asked[1].text.contains(u"3 sheets"));
        QCOMPARE(row(w.window.get(), 0).first(), QStringLiteral("Only"));
        QCOMPARE(row(w.window.get(), 1).first(), QStringLiteral("in two"));
        QCOMPARE(int16_t(w->document().fileKind()), int16_t(FileKind::Xlsx));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar [") + file + u']');
        QVERIFY(!w->document().isModified());
    }

    void theFirstSheetWarnsAboutFormulas() {
        TestWindow w;
        w.prompter.answerChoice(0);
        QVERIFY(w->fileCommands().openFile(kinds(), FileKind::Xlsx));
        QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("Ann"));
        const auto& q = w.prompter.last();
        QCOMPARE(q.kind, ScriptedPrompter::Kind::Message);
        QVERIFY(q.icon == Prompter::Icon::Exclamation);
        QVERIFY2(q.text.startsWith(u"3 formula cell(s)"), qPrintable(q.text));
        // Booleans show as checked boxes.
        QCOMPARE(w->document().model().checkState(1, 7), int(CheckChecked));
        QCOMPARE(w->document().model().checkState(2, 7), int(CheckUnchecked));
    }

    void cancelledSheetOrBadFileLeavesTheDocument() {
        QFile bad(path("old.xlsx"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0'));
        bad.close();
        TestWindow w;
        w->fa()->setTextMatrix(1, 0, QStringLiteral("unsaved work"));
        w.prompter.answerOpen(kinds());
        w.prompter.answerChoice(-1);
        w->fileCommands().mnuOpenXlsx_Click();
        QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("unsaved work"));
        w.prompter.answerOpen(path("old.xlsx"));
        w->fileCommands().mnuOpenXlsx_Click();
        const auto& q = w.prompter.last();
        QVERIFY(q.icon == Prompter::Icon::Critical);
        QVERIFY2(q.text.contains(u"old binary Excel workbook (.xls)"), qPrintable(q.text));
        QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("unsaved work"));
        QVERIFY(w->document().isNewDocument());
    }

    void saveAsThenSaveKeepTheForm() {
        TestWindow w;
        w->fa()->setTextMatrix(0, 0, QStringLiteral("Name"));
        w->fa()->setTextMatrix(1, 0, QStringLiteral("Ann"));
        w->fa()->setTextMatrix(1, 1, QStringLiteral("01234"));
        w->document().MakeModified(true);
        w.prompter.answerSave(path("book"));  // typed without an extension
        QVERIFY(w->fileCommands().mnuSaveAsOds_Click());
        QCOMPARE(w.prompter.last().file.filter,
                 QStringLiteral("OpenDocument Spreadsheet (*.ods)|*.ods"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar -- ") + path("book.ods"));
        w.prompter.answerSave(path("book.xlsx"));
        QVERIFY(w->fileCommands().mnuSaveAsXlsx_Click());

        TestWindow again;
        again.prompter.answerOpen(path("book.ods"));
        again->fileCommands().mnuOpenOds_Click();
        QCOMPARE(row(again.window.get(), 1).mid(0, 2), (QStringList{"Ann", "01234"}));
        // Save writes the document's own form: the workbook.
        again->fa()->setTextMatrix(1, 0, QStringLiteral("Bea"));
        again->document().MakeModified(true);
        QVERIFY(again->fileCommands().mnuSave_Click());
        const auto reread = loadWorkbook(path("book.ods"), WorkbookKind::Ods);
        QVERIFY(reread.ok());
        QCOMPARE(reread.value().table.text(1, 0), QStringLiteral("Bea"));
        QVERIFY(loadWorkbook(path("book.xlsx"), WorkbookKind::Xlsx).ok());
    }

    void saveNeverDropsTheOtherSheets() {
        const QString file = kinds();
        TestWindow w;
        w.prompter.answerChoice(1);
        QVERIFY(w->fileCommands().openFile(file, FileKind::Xlsx));
        w->fa()->setTextMatrix(1, 0, QStringLiteral("changed"));
        w->document().MakeModified(true);
        w.prompter.answerMessage(QMessageBox::Ok);
        w.prompter.answerSave(path("second.xlsx"));
        QVERIFY(w->fileCommands().mnuSave_Click());
        const auto& asked = w.prompter.asked();
        QVERIFY(asked[asked.size() - 2].text.contains(u"has 3 sheets"));
        QCOMPARE(asked.last().kind, ScriptedPrompter::Kind::SaveFile);
        QCOMPARE(workbookSheetNames(file, WorkbookKind::Xlsx).value().size(), 3);
        QCOMPARE(loadWorkbook(path("second.xlsx"), WorkbookKind::Xlsx).value().table.text(1, 0),
                 QStringLiteral("changed"));
    }

    void appendTakesWorkbookRecords() {
        Table records(3, 2);
        records.setText(0, 0, QStringLiteral("A"));
        records.setText(1, 0, QStringLiteral("x1"));
        records.setText(2, 1, QStringLiteral("y2"));
        QVERIFY(saveWorkbook(records, path("more.ods"), WorkbookKind::Ods).ok());
        TestWindow w;
        const int before = w->fa()->rows();
        w.prompter.answerOpen(path("more.ods"));
        w->fileCommands().mnuAppend_Click();
        QCOMPARE(w->fa()->rows(), before + 2);
        QCOMPARE(w->fa()->textMatrix(before, 0), QStringLiteral("x1"));
        QCOMPARE(w->fa()->textMatrix(before + 1, 1), QStringLiteral("y2"));
        QCOMPARE(w->fa()->textMatrix(0, 0), QStringLiteral("A"));
        QVERIFY(w->document().isModified());
    }
};

QTEST_MAIN(TstWorkbookCommands)
#include "tst_workbookcommands.moc"
