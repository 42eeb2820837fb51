// The Print Sheet and Address Labels Printing dialogs over a main window: what they show, the
// spin buttons, what a print selects and puts on the clipboard, the sheet it builds, a PDF written
// by the print path and read back with pdftotext, a print that fails, and the preview painting
// only the pages in view.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <set>

#include "TestWindow.h"
#include "gui/print/PrintPreview.h"
#include "gui/print/SheetPages.h"
#include "gui/print/frmPrintSheet.h"
#include "gui/print/frmReportOptions.h"

using namespace pellumar;
using Kind = ScriptedPrompter::Kind;

namespace {

// A table titled `titles` with `records` records; cell (r, c) reads "<title>-r" unless `cells`
// gives the first record's texts.
void makeTable(frmMain* m, const QStringList& titles, int records, const QStringList& first = {}) {
    GridControl* fa = m->fa();
    fa->setCols(int(titles.size()));
    fa->setRows(records + 1);
    for (int c = 0; c < titles.size(); ++c) {
        fa->setTextMatrix(0, c, titles[c]);
        for (int r = 1; r <= records; ++r) {
            fa->setTextMatrix(
                r, c,
                r == 1 && c < first.size() ? first[c] : titles[c] + u'-' + QString::number(r));
        }
    }
    m->fb()->setRows(int(titles.size()) + 1);
    m->formPanel().setFbCol0Populated(false);
    m->fa()->select(1, 0);
    m->document().MakeModified(false);
}

const QStringList kAddress = {"Name", "Street", "City", "State", "Zipcode"};

template <typename Dialog>
Dialog* openDialog(frmMain* m) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return m->findChild<Dialog*>();
}

// The text of a PDF file, as pdftotext reads it.
QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Pages that note which of them were painted.
class RecordingPages : public PageSource {
public:
    explicit RecordingPages(const PageSource& pages) : pages_(pages) {}
    int pageCount() const override { return pages_.pageCount(); }
    QSize paperTwips() const override { return pages_.paperTwips(); }
    void paintPage(QPainter& painter, int index) const override {
        painted.insert(index);
        pages_.paintPage(painter, index);
    }
    mutable std::set<int> painted;

private:
    const PageSource& pages_;
};

}  // namespace

class TstPrintDialogs : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

private slots:
    void init() {
        settings_.clear();
        QGuiApplication::clipboard()->clear();
    }

    void commandsOpenTheDialogs() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, kAddress, 3);
        QAction* sheet = m->action(CommandId::mnuPrintSheet);
        QAction* labels = m->action(CommandId::mnuPrintLabels);
        QVERIFY(sheet->isEnabled());
        QVERIFY(labels->isEnabled());
        QCOMPARE(sheet->shortcut(), QKeySequence(Qt::Key_F4));
        QCOMPARE(labels->shortcut(), QKeySequence(Qt::Key_F5));

        sheet->trigger();
        auto* ps = openDialog<frmPrintSheet>(m);
        QVERIFY(ps);
        QVERIFY(ps->isModal());
        QCOMPARE(ps->windowTitle(), QStringLiteral("Print Sheet"));
        ps->cmdCancel()->click();
        QVERIFY(!openDialog<frmPrintSheet>(m));

        labels->trigger();
        auto* lo = openDialog<frmReportOptions>(m);
        QVERIFY(lo);
        QVERIFY(lo->isModal());
        QCOMPARE(lo->windowTitle(), QStringLiteral("Address Labels Printing"));
        lo->cmdCancel()->click();
        QVERIFY(!openDialog<frmReportOptions>(m));
        QCOMPARE(w.prompter.asked().size(), 0);
    }

    // 25 records, 4 columns, column 2 hidden: the table opens with it unticked; "All" prints
    // three columns titled as the data grid with 25 rows; afterwards every record is selected
    // and the clipboard holds the printed text.
    void printSheetAll() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, {"Name", "Street", "City", "Zip"}, 25);
        m->fa()->setColHidden(2, true);
        m->fa()->setColWidth(0, 1500);
        frmPrintSheet* d = m->printing().mnuPrintSheet_Click();
        GridControl* fd = d->fd();
        QCOMPARE(fd->rows(), 5);
        QCOMPARE(fd->cols(), 3);
        QCOMPARE(fd->textMatrix(0, 0), QStringLiteral("Col"));
        QCOMPARE(fd->textMatrix(0, 1), QStringLiteral("Title"));
        QCOMPARE(fd->textMatrix(0, 2), QStringLiteral("Print"));
        QCOMPARE(fd->cell(GridControl::CellProperty::BackColor, 0, 1).toUInt(), 0xff008000u);
        QCOMPARE(fd->cell(GridControl::CellProperty::FontBold, 0, 1).toBool(), true);
        QCOMPARE(fd->colWidth(0), 500);
        QCOMPARE(fd->colWidth(1), 1500);
        QCOMPARE(fd->colWidth(2), 700);
        QCOMPARE(fd->textMatrix(3, 0), QStringLiteral("3"));
        QCOMPARE(fd->textMatrix(3, 1), QStringLiteral("City"));
        QCOMPARE(fd->grid()->checkState(3, 2), int(CheckUnchecked));
        QCOMPARE(fd->grid()->checkState(1, 2), int(CheckChecked));
        QVERIFY(d->OpOrin(0)->isChecked());
        QCOMPARE(d->txtScale()->text(), QStringLiteral("75"));
        QVERIFY(d->OpDataSource(1)->isChecked());
        QCOMPARE(d->OpDataSource(1)->text(), QStringLiteral("Slected rows (1)"));
        QCOMPARE(d->cmdPrint()->text(), QStringLiteral("&Print && Preview"));

        d->OpDataSource(0)->setChecked(true);
        w.prompter.answerPreview(QString());
        d->cmdPrint()->click();
        QCOMPARE(w.prompter.last().kind, Kind::Preview);
        QVERIFY(w.prompter.last().pages >= 1);
        QCOMPARE(d->lastPrint(), PrintResult::Cancelled);
        QVERIFY(d->isVisible());  // the dialog stays open

        const SheetBook& f1 = d->f1();
        QCOMPARE(f1.printAreaRef(), QStringLiteral("A1:D25"));
        QCOMPARE(f1.colWidth(1), 1800);
        QCOMPARE(f1.colWidth(3), 0);
        QCOMPARE(f1.colText(2), QStringLiteral("Street"));
        QCOMPARE(f1.text(25, 4), QStringLiteral("Zip-25"));
        QCOMPARE(f1.printHeader(), QStringLiteral("Ostrevane Pellumar"));
        QCOMPARE(f1.printScale(), 75);

        QCOMPARE(m->fa()->selectedRows(), 25);
        QCOMPARE(m->fa()->selectionTop(), 1);
        QCOMPARE(m->fa()->selectionBottom(), 25);
        const QString printed = m->document().model().clipText(1, 0, 25, 3);
        QCOMPARE(QGuiApplication::clipboard()->text(), printed);
        // The caption follows the selection now.
        QCOMPARE(d->OpDataSource(1)->text(), QStringLiteral("Slected rows (25)"));
        d->close();
    }

    // Three records selected in Row mode give "Slected rows (3)" and print just those; in Block
    // mode the block prints under its own columns' headings.
    void printSelectedRows() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, {"A", "B", "C"}, 10);
        m->fa()->select(4, 0, 6, 2);
        frmPrintSheet* d = m->printing().mnuPrintSheet_Click();
        QCOMPARE(d->OpDataSource(1)->text(), QStringLiteral("Slected rows (3)"));
        w.prompter.answerPreview(QString());
        d->cmdPrint()->click();
        QCOMPARE(d->f1().printAreaRef(), QStringLiteral("A1:C3"));
        QCOMPARE(d->f1().text(1, 1), QStringLiteral("A-4"));
        QCOMPARE(m->fa()->selectedRows(), 3);
        QCOMPARE(QGuiApplication::clipboard()->text(), m->document().model().clipText(4, 0, 6, 2));
        d->close();

        m->styles().mnuMouseMode_Click(1);
        m->fa()->select(2, 1, 3, 2);
        d = m->printing().mnuPrintSheet_Click();
        w.prompter.answerPreview(QString());
        d->cmdPrint()->click();
        QCOMPARE(d->f1().printAreaRef(), QStringLiteral("B1:C2"));
        QCOMPARE(d->f1().text(1, 2), QStringLiteral("B-2"));
        QCOMPARE(d->f1().colText(2), QStringLiteral("B"));
        d->close();
    }

    // The spin buttons stop at 50 and 100; a typed 120 is used as typed; a text that is no
    // number leaves the scale as it was.
    void scaleSpinner() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, {"A"}, 2);
        frmPrintSheet* d = m->printing().mnuPrintSheet_Click();
        for (int i = 0; i < 40; ++i) {
            d->UpDownColUp()->click();
        }
        QCOMPARE(d->txtScale()->text(), QStringLiteral("100"));
        d->txtScale()->setText(QStringLiteral("52"));
        for (int i = 0; i < 5; ++i) {
            d->UpDownCol_DownClick();
        }
        QCOMPARE(d->txtScale()->text(), QStringLiteral("50"));
        d->txtScale()->setText(QStringLiteral("120"));
        d->UpDownCol_UpClick();
        QCOMPARE(d->txtScale()->text(), QStringLiteral("120"));
        w.prompter.answerPreview(QString());
        d->cmdPrint()->click();
        QCOMPARE(d->f1().printScale(), 120);
        d->txtScale()->setText(QStringLiteral("big"));
        d->UpDownCol_UpClick();
        QCOMPARE(d->txtScale()->text(), QStringLiteral("big"));
        w.prompter.answerPreview(QString());
        d->cmdPrint()->click();
        QCOMPARE(d->f1().printScale(), 120);
        QCOMPARE(w.prompter.unanswered(), 0);
        d->close();
    }

    // The print path writes a PDF holding the records, the headings, the header and the page
    // numbers; check boxes print as boxes, not as their texts.
    void printSheetToPdf() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, {"Customer", "Paid", "Town"}, 120);
        m->fa()->setColDataType(1, DataTypeCheckbox);
        for (int r = 1; r <= 120; ++r) {
            m->fa()->setTextMatrix(r, 1, r % 2 ? QStringLiteral("1") : QStringLiteral("0"));
        }
        frmPrintSheet* d = m->printing().mnuPrintSheet_Click();
        d->OpDataSource(0)->setChecked(true);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        w.prompter.answerPreview(pdf);
        d->cmdPrint()->click();
        QCOMPARE(d->lastPrint(), PrintResult::Printed);
        QCOMPARE(d->f1().checkBoxes().size(), size_t(120));
        const QString text = pdfText(pdf);
        QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) must read the file");
        const int pages = w.prompter.last().pages;
        QVERIFY(pages >= 2);
        QCOMPARE(text.count(QStringLiteral("Ostrevane Pellumar")), pages);
        int headings = 0;  // on every page
        for (const QString& line : text.split(u'\n')) {
            headings += line.simplified() == QStringLiteral("Customer Paid Town");
        }
        QCOMPARE(headings, pages);
        QVERIFY(text.contains(QStringLiteral("Page 1")));
        QVERIFY(text.contains(QStringLiteral("Page %1").arg(pages)));
        for (int r = 1; r <= 120; ++r) {
            QVERIFY2(text.contains(QStringLiteral("Customer-%1 ").arg(r)) ||
                         text.contains(QStringLiteral("Customer-%1\n").arg(r)),
                     qPrintable(QStringLiteral("record %1").arg(r)));
        }
        QVERIFY(text.contains(QStringLiteral("Town-120")));
        // The box column prints no 1 or 0 of its own.
        for (const QString& line : text.split(u'\n')) {
            if (line.contains(QStringLiteral("Customer-7 "))) {
                QCOMPARE(line.simplified(), QStringLiteral("Customer-7 Town-7"));
            }
        }
        d->close();
    }

    // A print that cannot be written says so, and leaves no file behind.
    void failedPrintSaysSo() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, {"A"}, 2);
        frmPrintSheet* d = m->printing().mnuPrintSheet_Click();
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("missing/sheet.pdf"));
        w.prompter.answerPreview(pdf);
        d->cmdPrint()->click();
        QCOMPARE(d->lastPrint(), PrintResult::Failed);
        QCOMPARE(w.prompter.last().kind, Kind::Message);
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Critical);
        QCOMPARE(w.prompter.last().caption, QStringLiteral("Print Sheet"));
        QVERIFY(w.prompter.last().text.contains(QStringLiteral("sheet.pdf")));
        QVERIFY(!QFile::exists(pdf));
        d->close();
    }

    // Right after opening, Sample shows the first record's standard three-line label.
    void labelSample() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, kAddress, 3, {"Front Desk", "1 Main St", "Rivertown", "XY", "12345"});
        m->fa()->select(1, 0, 2, 4);
        frmReportOptions* d = m->printing().mnuPrintLabels_Click();
        GridControl* fd = d->fd();
        QCOMPARE(fd->rows(), 6);
        QCOMPARE(fd->cols(), 7);
        const QStringList headings = {"Line",   "",          "Column", "Separator",
                                      "Column", "Separator", "Column"};
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(fd->textMatrix(0, c), headings[c]);
        }
        QCOMPARE(fd->cell(GridControl::CellProperty::BackColor, 2, 3).toUInt(), 0xffffffc0u);
        QCOMPARE(fd->textMatrix(4, 2), QStringLiteral("City"));
        QCOMPARE(fd->textMatrix(4, 3), QStringLiteral("comma+space"));
        QCOMPARE(fd->textMatrix(4, 6), QStringLiteral("Zipcode"));
        QCOMPARE(d->cboLabelFormat()->currentText(), QStringLiteral("3 x 10"));
        QCOMPARE(d->cboLabelFormat()->count(), 8);  // the letter formats first
        QCOMPARE(d->cboLabelFormat()->itemText(1), QStringLiteral("2 x 10"));
        QCOMPARE(d->cboLabelFormat()->itemText(2), QStringLiteral("2 x 5"));
        QVERIFY(!d->imgFormat(0)->isHidden());
        QVERIFY(d->imgFormat(1)->isHidden());
        QCOMPARE(d->OpDataSource(1)->text(), QStringLiteral("Slected rows (2)"));
        QVERIFY(d->chkSkip()->isChecked());
        QCOMPARE(d->txtCountry()->text(), QStringLiteral("U.S.A."));
        QVERIFY(!d->txtCountry()->isEnabled());
        QCOMPARE(d->txtFontSize()->value(), 10);
        QCOMPARE(d->listFor(frmReportOptions::ColSecond),
                 QStringLiteral("|  |Name|Street|City|State|Zipcode"));
        QCOMPARE(d->listFor(frmReportOptions::ColSeparator1),
                 QStringLiteral("|  |comma+space|space|double space"));

        d->cmdSample()->click();
        const QStringList expected = {"", "Front Desk", "1 Main St", "Rivertown, XY 12345", ""};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(d->lbSample(i)->text(), expected[i]);
        }

        // An empty State keeps both separators.
        m->fa()->setTextMatrix(1, 3, QString());
        d->cmdSample()->click();
        QCOMPARE(d->lbSample(3)->text(), QStringLiteral("Rivertown,  12345"));
        m->fa()->setTextMatrix(1, 3, QStringLiteral("XY"));
        // "Name" as the third column of a line whose second is empty: only the first prints.
        fd->setTextMatrix(3, 6, QStringLiteral("Name"));
        // A Column cell naming no title leaves that part out.
        fd->setTextMatrix(2, 4, QStringLiteral("Phone"));
        d->cmdSample()->click();
        QCOMPARE(d->lbSample(2)->text(), QStringLiteral("1 Main St"));
        QCOMPARE(d->lbSample(1)->text(), QStringLiteral("Front Desk"));

        // The country on the line after the last ticked one, once asked for.
        d->chkCountry()->setChecked(true);
        QVERIFY(d->txtCountry()->isEnabled());
        d->cmdSample()->click();
        QCOMPARE(d->lbSample(4)->text(), QStringLiteral("U.S.A."));

        // The format's picture and font size follow the list.
        d->cboLabelFormat()->setCurrentIndex(2);
        d->cboLabelFormat_Click();
        QVERIFY(d->imgFormat(0)->isHidden());
        QVERIFY(!d->imgFormat(2)->isHidden());
        QCOMPARE(d->txtFontSize()->value(), 16);
        QCOMPARE(d->labelFormat(), LabelFormat::TwoByFive);

        // Reset brings the standard pattern back.
        d->cmdReset()->click();
        QCOMPARE(fd->textMatrix(4, 3), QStringLiteral("comma+space"));
        QCOMPARE(fd->textMatrix(2, 4), QString());
        QCOMPARE(fd->textMatrix(3, 6), QStringLiteral("Name"));  // third columns stay
        d->close();
    }

    // A text typed into a pattern cell stays as typed: the editor offers its list but never
    // completes what is typed, and Enter keeps the typed text.
    void labelPatternTypedStaysAsTyped_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sample");
        QTest::newRow("comma") << 4 << 3 << "comma"
                               << "Rivertown,XY 12345";
        QTest::newRow("space") << 4 << 3 << "space"
                               << "Rivertown XY 12345";
        QTest::newRow("capital Space") << 4 << 3 << "Space"
                                       << "RivertownXY 12345";
        QTest::newRow("start of a separator") << 4 << 5 << "spa"
                                              << "Rivertown, XY12345";
        QTest::newRow("start of a title") << 4 << 2 << "Cit"
                                          << "";
        QTest::newRow("title") << 2 << 2 << "Street"
                               << "1 Main St";
    }
    void labelPatternTypedStaysAsTyped() {
        QFETCH(int, line);
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, sample);
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, kAddress, 3, {"Front Desk", "1 Main St", "Rivertown", "XY", "12345"});
        frmReportOptions* d = m->printing().mnuPrintLabels_Click();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        GridControl* fd = d->fd();
        const QPoint at = fd->visualRect(fd->model()->index(line - 1, col)).center();
        QTest::mouseClick(fd->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(fd->viewport(), Qt::LeftButton, {}, at);
        auto* editor = fd->findChild<QComboBox*>(QStringLiteral("gridComboEditor"));
        QVERIFY(editor && editor->isVisible() && editor->lineEdit());
        // The list stays offered.
        QVERIFY(editor->count() > 2);
        QTest::keyClick(editor->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor->lineEdit(), typed);
        QCOMPARE(editor->lineEdit()->text(), typed);
        QTest::keyClick(editor->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY(!fd->findChild<QComboBox*>(QStringLiteral("gridComboEditor")) ||
                    !fd->isEditing());
        QCOMPARE(fd->textMatrix(line, col), typed);
        QTest::mouseClick(d->cmdSample(), Qt::LeftButton);
        QCOMPARE(d->lbSample(line - 1)->text(), sample);
        d->close();
    }

    // Fewer than five columns leave the missing Column cells empty; no records, an empty sample.
    void labelResetAndNoRecords() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, {"Name", "Street", "City"}, 0);
        frmReportOptions* d = m->printing().mnuPrintLabels_Click();
        QCOMPARE(d->fd()->textMatrix(4, 2), QStringLiteral("City"));
        QCOMPARE(d->fd()->textMatrix(4, 4), QString());
        QCOMPARE(d->fd()->textMatrix(4, 6), QString());
        d->cmdSample()->click();
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(d->lbSample(i)->text(), QString());
        }
        d->close();
    }

    // 7 records with "All" and "3 x 10": 20 sheet rows and "A1:C20"; the PDF holds the labels.
    void printLabels() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeTable(m, kAddress, 7, {"Front Desk", "1 Main St", "Rivertown", "XY", "12345"});
        frmReportOptions* d = m->printing().mnuPrintLabels_Click();
        d->OpDataSource(0)->setChecked(true);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        w.prompter.answerPreview(pdf);
        d->cmdPrint()->click();
        QCOMPARE(d->lastPrint(), PrintResult::Printed);
        QCOMPARE(w.prompter.last().kind, Kind::Preview);
        QCOMPARE(w.prompter.last().pages, 1);
        QCOMPARE(w.prompter.last().paper, QSize(12240, 15840));
        const SheetBook& f1 = d->f1();
        QCOMPARE(f1.maxRow(), 20);
        QCOMPARE(f1.printAreaRef(), QStringLiteral("A1:C20"));
        QCOMPARE(f1.text(2, 1), QStringLiteral("Front Desk"));
        QCOMPARE(f1.text(14, 1), QStringLiteral("Name-7"));
        QCOMPARE(m->fa()->selectedRows(), 7);
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("Front Desk")));
        QVERIFY(text.contains(QStringLiteral("Rivertown, XY 12345")));
        QVERIFY(text.contains(QStringLiteral("Name-7")));

        // Five records "2 x 10": 21 rows, "A1:B21".
        m->fa()->setRows(6);
        d->cboLabelFormat()->setCurrentIndex(1);
        d->cboLabelFormat_Click();
        w.prompter.answerPreview(QString());
        d->cmdPrint()->click();
        QCOMPARE(f1.maxRow(), 21);
        QCOMPARE(f1.printAreaRef(), QStringLiteral("A1:B21"));
        QCOMPARE(f1.text(8, 1), QStringLiteral("Name-3"));
        d->close();
    }

    // The preview paints only the pages in view, whatever the number of pages: the first
    // pages when it opens, the last ones (holding the last rows) once scrolled to the end, and
    // what it paints there is the page's ink.
    void previewPaintsPagesInView() {
        SheetBook book;
        book.setColWidthUnit(SheetBook::WidthUnit::Twips);
        QString clip;
        for (int r = 1; r <= 20000; ++r) {
            clip += QStringLiteral("row %1\tvalue\n").arg(r);
        }
        book.pasteText(clip);
        const SheetPages pages(book, QSize(12240, 15840));
        const int count = pages.pageCount();
        QVERIFY(count > 300);
        const RecordingPages recorded(pages);
        PrintPreview preview(recorded);
        preview.resize(800, 700);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QCoreApplication::processEvents();
        PageView* view = preview.view();
        const auto paintedNow = [&] {
            recorded.painted.clear();
            view->viewport()->repaint();
            return recorded.painted;
        };
        const auto hasInk = [&] {
            const QImage image = view->viewport()->grab().toImage();
            int dark = 0;
            for (int y = 0; y < image.height(); y += 2) {
                for (int x = 0; x < image.width(); x += 2) {
                    dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
                }
            }
            return dark > 20;
        };
        std::set<int> painted = paintedNow();
        QVERIFY(painted.count(0) && painted.size() <= 2 && *painted.rbegin() <= 1);
        QCOMPARE(view->paintedPages(), int(painted.size()));
        QVERIFY(hasInk());
        QCOMPARE(preview.lbPage->text(), QStringLiteral("Page 1 of %1").arg(count));

        view->showPage(count - 1);
        painted = paintedNow();
        QCOMPARE(view->currentPage(), count - 1);
        QVERIFY(painted.count(count - 1) && painted.size() <= 2 && *painted.begin() >= count - 2);
        QCOMPARE(pages.layout().page(count - 1).lastRow, 20000);
        QVERIFY(hasInk());
        QCOMPARE(preview.lbPage->text(), QStringLiteral("Page %1 of %1").arg(count));
        view->fitPage();
        painted = paintedNow();
        QVERIFY(!painted.empty() && painted.size() <= 3 && *painted.rbegin() == count - 1);
    }
};

QTEST_MAIN(TstPrintDialogs)
#include "tst_printdialogs.moc"
