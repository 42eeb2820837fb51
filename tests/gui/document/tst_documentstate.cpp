// The document's state through the main window: New, Save and its questions, the save-changes
// prompts, and the Form Panel following the current record.
#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "TestWindow.h"
#include "core/document/DocumentPaths.h"
#include "core/document/NativeFile.h"
#include "core/document/TextFile.h"

using namespace pellumar;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TstDocumentState : public QObject {
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

    void folderOfPath() {
        QCOMPARE(FolderOfPath(QStringLiteral("C:\\data\\lists\\a.csv")),
                 QStringLiteral("C:\\data\\lists\\"));
        QCOMPARE(FolderOfPath(QStringLiteral("/home/ann/a.csv")), QStringLiteral("/home/ann/"));
        QCOMPARE(FolderOfPath(QStringLiteral("a.csv")), QString());
        QCOMPARE(FolderOfPath(QString()), QString());
        QCOMPARE(withDefaultExtension(QStringLiteral("/x/list"), QStringLiteral("csv")),
                 QStringLiteral("/x/list.csv"));
        QCOMPARE(withDefaultExtension(QStringLiteral("/x.d/list.txt"), QStringLiteral("csv")),
                 QStringLiteral("/x.d/list.txt"));
        QVERIFY(isCancelledFileName(QStringLiteral("*.plm")));
        QVERIFY(!isCancelledFileName(QStringLiteral("a.plm")));
    }

    void modifiedFlagDrivesSave() {
        TestWindow w;
        QVERIFY(!w->action(CommandId::mnuSave)->isEnabled());
        w->fa()->select(2, 1);
        w->fa()->grid()->setData(w->fa()->grid()->index(1, 1), QStringLiteral("typed"));
        QVERIFY(w->document().isModified());
        QVERIFY(w->action(CommandId::mnuSave)->isEnabled());
        QVERIFY(w->toolButton("Save")->isEnabled());
        w->document().MakeModified(false);
        QVERIFY(!w->toolButton("Save")->isEnabled());
    }

    void untitledSaveThenOverwriteQuestion() {
        TestWindow w;
        QCOMPARE(w->document().currentFile(), path("Untitled.plm"));
        w->fa()->setTextMatrix(1, 0, QStringLiteral("first"));
        w->document().MakeModified(true);
        QVERIFY(w->fileCommands().mnuSave_Click());  // written the first time without a question
        QCOMPARE(w.prompter.asked().size(), 0);
        QVERIFY(!w->document().isModified());
        auto back = loadNative(path("Untitled.plm"));
        QVERIFY(back.ok());
        QCOMPARE(back.value().text(1, 0), QStringLiteral("first"));

        // The second time the file exists: Yes overwrites.
        w->fa()->setTextMatrix(1, 0, QStringLiteral("second"));
        w->document().MakeModified(true);
        w.prompter.answerMessage(QMessageBox::Yes);
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(w.prompter.last().caption, QStringLiteral("Save"));
        QCOMPARE(w.prompter.last().text,
                 QStringLiteral("Do you want to overwrite ") + path("Untitled.plm") + "?");
        QCOMPARE(w.prompter.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(loadNative(path("Untitled.plm")).value().text(1, 0), QStringLiteral("second"));

        // No goes to Save As instead; cancelling it writes nothing and keeps the changes.
        w->fa()->setTextMatrix(1, 0, QStringLiteral("third"));
        w->document().MakeModified(true);
        w.prompter.answerMessage(QMessageBox::No);
        w.prompter.answerSave(QString());
        QVERIFY(!w->fileCommands().mnuSave_Click());
        QCOMPARE(w.prompter.last().kind, ScriptedPrompter::Kind::SaveFile);
        QCOMPARE(w.prompter.last().file.filter, QStringLiteral("Pellumar Files (*.plm)|*.plm"));
        QVERIFY(w->document().isModified());
        QCOMPARE(loadNative(path("Untitled.plm")).value().text(1, 0), QStringLiteral("second"));

        // No, then a name: the table goes there and the title says so.
        w.prompter.answerMessage(QMessageBox::No);
        w.prompter.answerSave(path("other"));
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar -- ") + path("other.plm"));
        QCOMPARE(loadNative(path("other.plm")).value().text(1, 0), QStringLiteral("third"));
        QCOMPARE(w->document().currentFile(),
                 path("Untitled.plm"));  // Save As keeps the document's file
        QVERIFY(!w->document().isModified());
    }

    void saveOfADelimitedDocument() {
        QFile csv(path("people.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Name,City\r\nAnn,Rome\r\n");
        csv.close();
        TestWindow w;
        auto loaded = loadDelimited(path("people.csv"), u',');
        QVERIFY(loaded.ok());
        w->fa()->grid()->replaceTable(std::move(loaded.value().table));
        w->document().setFile(path("people.csv"), FileKind::Comma);
        w->fa()->setTextMatrix(1, 1, QStringLiteral("Oslo"));
        w->document().MakeModified(true);
        QVERIFY(w->fileCommands().mnuSave_Click());
        QCOMPARE(readAll(path("people.csv")), QByteArray("Name,City\r\nAnn,Oslo\r\n"));
        QCOMPARE(w.prompter.last().caption, QStringLiteral("Pellumar"));
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Information);
        QCOMPARE(w.prompter.last().text,
                 QStringLiteral("Use 'Save As...' Pellumar(*.plm) from the 'File' menu if you want "
                                "to save data as a RichText Pellumar file format."));
        QVERIFY(!w->document().isModified());
        QVERIFY(!w->action(CommandId::mnuSave)->isEnabled());

        // New after it: the next Save writes the native file to the untitled name.
        w->fileCommands().mnuNew_Click();
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellumar -- Untitled.plm"));
        QCOMPARE(w->document().currentFile(), path("Untitled.plm"));
        QCOMPARE(int16_t(w->document().fileKind()), int16_t(2));
        QVERIFY(w->document().isNewDocument());
        QCOMPARE(w->fa()->cols(), 10);
        QCOMPARE(w->fa()->rows(), 21);
        QVERIFY(w->fa()->textMatrix(0, 0).isEmpty());
        QCOMPARE(w->txtCol()->text(), QStringLiteral("10"));
        QCOMPARE(w->txtRow()->text(), QStringLiteral("20"));
        QCOMPARE(w->document().comboLists().size(), 10);
        QCOMPARE(w->fb()->rows(), 11);
        w->document().MakeModified(true);
        QVERIFY(w->fileCommands().mnuSave_Click());
        QVERIFY(loadNative(path("Untitled.plm")).ok());
        QCOMPARE(readAll(path("people.csv")), QByteArray("Name,City\r\nAnn,Oslo\r\n"));
    }

    void savePromptsOfNew() {
        TestWindow w;
        w->fa()->setTextMatrix(1, 0, QStringLiteral("keep me"));
        w->document().MakeModified(true);
        // Cancel: nothing happens.
        w.prompter.answerMessage(QMessageBox::Cancel);
        w->fileCommands().mnuNew_Click();
        QCOMPARE(w.prompter.last().caption, QStringLiteral("New"));
        QCOMPARE(w.prompter.last().text,
                 QStringLiteral("Changes have been made. Do you want to save the changes?"));
        QCOMPARE(w.prompter.last().defaultButton, QMessageBox::Cancel);
        QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("keep me"));
        // Yes: saved first, then cleared.
        w.prompter.answerMessage(QMessageBox::Yes);
        w->fileCommands().mnuNew_Click();
        QCOMPARE(loadNative(path("Untitled.plm")).value().text(1, 0), QStringLiteral("keep me"));
        QVERIFY(w->fa()->textMatrix(1, 0).isEmpty());
        QVERIFY(!w->document().isModified());
        // No: cleared without saving.
        w->fa()->setTextMatrix(1, 0, QStringLiteral("lose me"));
        w->document().MakeModified(true);
        w.prompter.answerMessage(QMessageBox::No);
        w->fileCommands().mnuNew_Click();
        QVERIFY(w->fa()->textMatrix(1, 0).isEmpty());
        QCOMPARE(loadNative(path("Untitled.plm")).value().text(1, 0), QStringLiteral("keep me"));
    }

    void writeFailureKeepsTheDocument() {
        // A folder that cannot exist: its parent is a file (this fails for every user, root too).
        QFile blocker(path("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        setApplicationFolderForTesting(path("blocker"));
        TestWindow w;
        w->fa()->setTextMatrix(1, 0, QStringLiteral("precious"));
        w->document().MakeModified(true);
        QVERIFY(!w->fileCommands().mnuSave_Click());
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Critical);
        QVERIFY(w.prompter.last().text.contains(QStringLiteral("Untitled.plm")));
        QVERIFY(w->document().isModified());
        QVERIFY(w->action(CommandId::mnuSave)->isEnabled());

        // Yes at a save-changes prompt whose save fails: New, and the exit, stop.
        w.prompter.answerMessage(QMessageBox::Yes);
        w->fileCommands().mnuNew_Click();
        QCOMPARE(w->fa()->textMatrix(1, 0), QStringLiteral("precious"));
        w.prompter.answerMessage(QMessageBox::Yes);
        QVERIFY(!w->close());
        QCOMPARE(w.ended, 0);
        QVERIFY(!settings_.has("TOP"));
        w.prompter.answerMessage(QMessageBox::Yes);
        w->mnuExit_Click();
        QCOMPARE(w.ended, 0);
        QVERIFY(w->document().isModified());
    }

    void exitAfterASuccessfulSave() {
        TestWindow w;
        w->document().MakeModified(true);
        w.prompter.answerMessage(QMessageBox::Yes);
        w->mnuExit_Click();
        QCOMPARE(w.ended, 1);
        QVERIFY(QFile::exists(path("Untitled.plm")));
        QVERIFY(settings_.has("TOP"));
    }

    void formPanelFollowsTheCurrentRecord() {
        TestWindow w(true);
        for (int c = 0; c < 3; ++c) {
            w->fa()->setTextMatrix(0, c, QStringLiteral("T%1").arg(c));
            for (int r = 1; r <= 20; ++r) {
                w->fa()->setTextMatrix(r, c, QStringLiteral("v%1.%2").arg(r).arg(c));
            }
        }
        w->formPanel().setFbCol0Populated(false);  // as after a load: the titles are read again
        w->fa()->select(5, 0);
        w->formPanel().fa_Click();
        QCOMPARE(w->panelText(6), QStringLiteral("5 / 20"));
        QCOMPARE(w->fb()->textMatrix(1, 0), QStringLiteral("T0"));
        QCOMPARE(w->fb()->textMatrix(3, 1), QStringLiteral("v5.2"));
        QCOMPARE(w->fb()->row(), w->fa()->cols());  // the refresh ends on the Form Panel's last row

        // A click in the data grid refreshes; so does Down (and Down on the last record too).
        QTest::mouseClick(w->fa()->viewport(), Qt::LeftButton, {},
                          w->fa()->visualRect(w->fa()->model()->index(7, 1)).center());
        QCOMPARE(w->fb()->textMatrix(2, 1), QStringLiteral("v8.1"));
        QTest::keyClick(w->fa(), Qt::Key_Down);
        QCOMPARE(w->panelText(6), QStringLiteral("9 / 20"));
        QCOMPARE(w->fb()->textMatrix(1, 1), QStringLiteral("v9.0"));

        // An edit in the Form Panel goes into the current record, whichever row was edited.
        w->fb()->grid()->setData(w->fb()->grid()->index(1, 1), QStringLiteral("changed"));
        QCOMPARE(w->fa()->textMatrix(9, 1), QStringLiteral("changed"));
        QVERIFY(w->document().isModified());
        // An edit in the data grid reaches the Form Panel at once.
        w->fa()->grid()->setData(w->fa()->grid()->index(8, 2), QStringLiteral("typed"));
        QCOMPARE(w->fb()->textMatrix(3, 1), QStringLiteral("typed"));

        // Dragged titles: the next refresh shows them in the new order.
        w->fa()->horizontalHeader()->moveSection(2, 0);
        QVERIFY(w->formPanel().IsTitleChanged());
        w->formPanel().fa_Click();
        QCOMPARE(w->fb()->textMatrix(1, 0), QStringLiteral("T2"));

        // Titles are not edited in the Form Panel.
        w->fb()->select(1, 0);
        w->fb()->editCell();
        QVERIFY(!w->fb()->isEditing());
    }

    // However the current record changes, the Form Panel shows it, the highlight is on it, and
    // an edit in the Form Panel goes into the record shown.
    void formPanelFollowsEveryMove() {
        TestWindow w(true);
        GridControl* fa = w->fa();
        for (int c = 0; c < 3; ++c) {
            for (int r = 1; r <= 20; ++r) {
                fa->setTextMatrix(r, c, QStringLiteral("v%1.%2").arg(r, 2, 10, QChar(u'0')).arg(c));
            }
        }
        fa->setFocus();
        fa->select(5, 0);
        // The Form Panel shows the record `value` at the current row, which is highlighted.
        auto shows = [&](const QString& value, bool highlighted = true) {
            const int row = fa->row();
            if (w->fb()->textMatrix(1, 1) != value || fa->textMatrix(row, 0) != value ||
                w->fb()->textMatrix(3, 1) != fa->textMatrix(row, 2) ||
                (highlighted &&
                 (!fa->selectionModel()->isRowSelected(row - 1) || fa->selectedRows() != 1)) ||
                w->panelText(6) != QStringLiteral("%1 / %2").arg(row).arg(fa->rows() - 1)) {
                qWarning() << "row" << row << "shows" << w->fb()->textMatrix(1, 1) << "panel"
                           << w->panelText(6) << "selected" << fa->selectedRows();
                return false;
            }
            return true;
        };
        QVERIFY(shows("v05.0"));
        QTest::keyClick(fa, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(shows("v20.0"));
        QTest::keyClick(fa, Qt::Key_Home, Qt::ControlModifier);
        QVERIFY(shows("v01.0"));
        QTest::keyClick(fa, Qt::Key_PageDown);
        QVERIFY(fa->row() > 1);
        QVERIFY(shows(QStringLiteral("v%1.0").arg(fa->row(), 2, 10, QChar(u'0'))));
        QTest::keyClick(fa, Qt::Key_PageUp);
        QVERIFY(shows("v01.0"));
        QTest::mouseClick(fa->viewport(), Qt::LeftButton, {},
                          fa->visualRect(fa->model()->index(2, 1)).center());
        QVERIFY(shows("v03.0"));

        GridModel& model = w->document().model();
        // The current record removed: the record after it takes its row, highlighted and shown.
        fa->select(6, 0);
        model.removeRowsAt(6, 1);
        QCOMPARE(fa->row(), 6);
        QVERIFY(shows("v07.0"));
        fa->select(7, 0);
        QVERIFY(shows("v08.0"));
        // Records removed or inserted above it: the current row keeps its number and the record
        // now there is shown.
        model.removeRowsAt(2, 2);
        QCOMPARE(fa->row(), 7);
        QVERIFY(shows("v10.0"));
        model.insertRowsAt(1, 2);
        QCOMPARE(fa->row(), 7);
        QVERIFY(shows("v08.0"));
        // Sorted or moved: the current record goes along.
        fa->sortByColumn(0, GridControl::SortDescending);
        QCOMPARE(fa->row(), 13);  // after the 12 records v20 to v09
        QVERIFY(shows("v08.0"));
        model.moveRowBlock(13, 1, 1);
        QCOMPARE(fa->row(), 1);
        QVERIFY(shows("v08.0"));

        // An edit in the Form Panel goes into the record it shows.
        w->fb()->grid()->setData(w->fb()->grid()->index(1, 1), QStringLiteral("edited"));
        QCOMPARE(fa->textMatrix(1, 1), QStringLiteral("edited"));
        QCOMPARE(fa->textMatrix(1, 0), QStringLiteral("v08.0"));

        // New: record 1 is current, highlighted and shown.
        fa->select(9, 0);
        w->document().MakeModified(false);
        w->fileCommands().mnuNew_Click();
        QVERIFY(shows(QString()));
        QCOMPARE(fa->row(), 1);
        QCOMPARE(w->panelText(6), QStringLiteral("1 / 20"));
    }

    void formPanelValuesByType() {
        TestWindow w;
        w->fa()->setColDataType(1, DataTypeCheckbox);
        w->fa()->setTextMatrix(1, 1, QStringLiteral("1"));
        w->fa()->setTextMatrix(2, 1, QStringLiteral("-1"));
        w->fa()->setTextMatrix(3, 1, QStringLiteral("0"));
        const QList<int> expected{CheckChecked, CheckChecked, CheckUnchecked};
        for (int r = 1; r <= 3; ++r) {
            w->fa()->select(r, 0);
            w->formPanel().fa_Click();
            QCOMPARE(w->fb()->grid()->checkState(2, 1), expected[r - 1]);
            QVERIFY(w->fb()->textMatrix(2, 1).isEmpty());
            QCOMPARE(w->fb()->grid()->checkState(1, 1), int(CheckNone));
        }
        // Ticking the box in the Form Panel writes the data cell.
        w->fb()->grid()->setData(w->fb()->grid()->index(1, 1), Qt::Checked, Qt::CheckStateRole);
        QCOMPARE(w->fa()->textMatrix(3, 1), QStringLiteral("1"));
        // Number, money, date and untyped columns show formatted values; text columns do not.
        w->fa()->setColDataType(3, DataTypeMoney);
        w->fa()->setColFormat(3, QStringLiteral("$#,###.00"));
        w->fa()->setColFormat(4, QStringLiteral("0.0"));
        w->fa()->setColDataType(5, DataTypeText);
        w->fa()->setColFormat(5, QStringLiteral("0.0"));
        w->fa()->setTextMatrix(3, 3, QStringLiteral("1234.5"));
        w->fa()->setTextMatrix(3, 4, QStringLiteral("2.25"));
        w->fa()->setTextMatrix(3, 5, QStringLiteral("2.25"));
        w->fa()->setTextMatrix(4, 3, QStringLiteral("abc"));
        w->fa()->select(3, 0);
        w->formPanel().fa_Click();
        QCOMPARE(w->fb()->textMatrix(4, 1), QStringLiteral("$1,234.50"));
        QCOMPARE(w->fb()->textMatrix(5, 1), QStringLiteral("2.3"));
        QCOMPARE(w->fb()->textMatrix(6, 1), QStringLiteral("2.25"));
        QCOMPARE(w->fa()->model()->index(2, 3).data().toString(), QStringLiteral("$1,234.50"));
        QCOMPARE(w->fa()->textMatrix(3, 3), QStringLiteral("1234.5"));  // stored as typed
        w->fa()->select(4, 0);
        w->formPanel().fa_Click();
        QCOMPARE(w->fb()->textMatrix(4, 1), QStringLiteral("abc"));
        // A hidden column keeps its row in the Form Panel.
        w->fa()->setColHidden(2, true);
        w->fa()->setTextMatrix(3, 2, QStringLiteral("hidden value"));
        w->fa()->select(3, 0);
        w->formPanel().fa_Click();
        QCOMPARE(w->fb()->textMatrix(3, 1), QStringLiteral("hidden value"));
    }

    void formPanelWithoutRecords() {
        TestWindow w;
        w->fa()->setRows(1);
        w->formPanel().fa_Click();
        QCOMPARE(w->panelText(6), QStringLiteral("0 / 0"));
        QVERIFY(w->fb()->textMatrix(1, 1).isEmpty());
        // A closed Form Panel is not refilled; the position panel still is.
        w->fa()->setRows(21);
        w->fa()->setTextMatrix(4, 0, QStringLiteral("x"));
        w->TabStrip1()->hide();
        w->fa()->select(4, 0);
        w->formPanel().fa_Click();
        QCOMPARE(w->panelText(6), QStringLiteral("4 / 20"));
        QVERIFY(w->fb()->textMatrix(1, 1).isEmpty());
    }
};

QTEST_MAIN(TstDocumentState)
#include "tst_documentstate.moc"
