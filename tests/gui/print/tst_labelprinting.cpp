// The Address Labels Printing dialog's label sheets: the A4 formats with their pictures, the start
// label and the calibration offsets as the dialog offers them, the label settings kept between
// sessions (and left alone by Reset), a print on an A4 sheet from a later label checked word by
// word in the PDF it writes (each record's label on the right sheet, inside the right label), the
// note on lines that did not fit, and the test sheet.
//
// With PELLUMAR_LABEL_PDFS naming a folder, the PDFs are also kept there to be looked at.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "TestWindow.h"
#include "gui/print/frmReportOptions.h"

using namespace pellumar;
using Kind = ScriptedPrompter::Kind;

namespace {

constexpr double kPointsPerMm = 72 / 25.4;

// Name, Street, City, State, Zipcode and `records` records; cell (r, c) reads "<title>-r".
void makeAddresses(frmMain* m, int records) {
    const QStringList titles = {"Name", "Street", "City", "State", "Zipcode"};
    GridControl* fa = m->fa();
    fa->setCols(int(titles.size()));
    fa->setRows(records + 1);
    for (int c = 0; c < titles.size(); ++c) {
        fa->setTextMatrix(0, c, titles[c]);
        for (int r = 1; r <= records; ++r) {
            fa->setTextMatrix(r, c, titles[c] + u'-' + QString::number(r));
        }
    }
    m->fb()->setRows(int(titles.size()) + 1);
    m->formPanel().setFbCol0Populated(false);
    m->fa()->select(1, 0);
    m->document().MakeModified(false);
}

void chooseFormat(frmReportOptions* d, LabelFormat format) {
    d->cboLabelFormat()->setCurrentIndex(int(format));
    d->cboLabelFormat_Click();
}

struct Word {
    int page = 0;  // from 0
    QRectF box;    // millimetres from the page's top-left corner
};

// Every word of a PDF with its page and box, as pdftotext reads them.
QMultiMap<QString, Word> pdfWords(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    QMultiMap<QString, Word> words;
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return words;
    }
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression tag(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = -1;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == QStringLiteral("<page ")) {
            ++page;
            continue;
        }
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.insert(m.captured(5),
                     {page, QRectF(topLeft / kPointsPerMm, bottomRight / kPointsPerMm)});
    }
    return words;
}

void keepForLooking(const QString& pdf, const QString& name) {
    const QString folder = qEnvironmentVariable("PELLUMAR_LABEL_PDFS");
    if (!folder.isEmpty()) {
        QFile::remove(folder + u'/' + name);
        QFile::copy(pdf, folder + u'/' + name);
    }
}

}  // namespace

class TstLabelPrinting : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

private slots:
    void init() { settings_.clear(); }

    // The formats with their pictures; the start label runs to the format's labels per sheet;
    // the offsets stay within 10 mm either way.
    void formatsStartAndOffsets() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeAddresses(m, 3);
        frmReportOptions* d = m->printing().mnuPrintLabels_Click();
        QCOMPARE(d->cboLabelFormat()->count(), kLabelFormats);
        QCOMPARE(d->cboLabelFormat()->itemText(3), QStringLiteral("3 x 7 A4"));
        QCOMPARE(d->cboLabelFormat()->itemText(7), QStringLiteral("2 x 4 A4"));
        QCOMPARE(d->spnStartLabel()->value(), 1);
        QCOMPARE(d->spnStartLabel()->maximum(), 30);
        QCOMPARE(d->cmdTestSheet()->text(), QStringLiteral("&Test sheet"));
        // An A4 sheet's picture is narrower for its height than a letter one's.
        const QSize letter = d->imgFormat(0)->pixmap().size();
        const QSize a4 = d->imgFormat(3)->pixmap().size();
        QCOMPARE(a4.height(), letter.height());
        QVERIFY(a4.width() < letter.width());
        QVERIFY(d->imgFormat(3)->pixmap().toImage() != d->imgFormat(4)->pixmap().toImage());

        chooseFormat(d, LabelFormat::ThreeBySevenA4);
        for (int i = 0; i < kLabelFormats; ++i) {
            QCOMPARE(d->imgFormat(i)->isHidden(), i != 3);
        }
        QCOMPARE(d->spnStartLabel()->maximum(), 21);
        QCOMPARE(d->txtFontSize()->value(), 10);
        d->spnStartLabel()->setValue(21);
        chooseFormat(d, LabelFormat::TwoByFourA4);
        QCOMPARE(d->spnStartLabel()->value(), 8);
        QCOMPARE(d->txtFontSize()->value(), 12);
        d->txtOffsetX()->setValue(12);
        d->txtOffsetY()->setValue(-10.5);
        QCOMPARE(d->txtOffsetX()->value(), 10.0);
        QCOMPARE(d->txtOffsetY()->value(), -10.0);
        QCOMPARE(d->labelJob().offset, QPointF(10, -10));
        QCOMPARE(d->labelJob().startLabel, 8);
        d->close();
    }

    // The format, start label and offsets come from the preferences, stay while the program runs
    // (Reset leaves them alone) and are written back at exit.
    void settingsKeptBetweenSessions() {
        settings_.set(QStringLiteral("LabelFormat"), QStringLiteral("3 x 8 A4"));
        settings_.set(QStringLiteral("LabelStart"), QStringLiteral("7"));
        settings_.set(QStringLiteral("LabelOffsetX"), QStringLiteral("1.5"));
        settings_.set(QStringLiteral("LabelOffsetY"), QStringLiteral("-0.5"));
        {
            TestWindow w;
            frmMain* m = w.window.get();
            makeAddresses(m, 3);
            frmReportOptions* d = m->printing().mnuPrintLabels_Click();
            QCOMPARE(d->cboLabelFormat()->currentText(), QStringLiteral("3 x 8 A4"));
            QVERIFY(!d->imgFormat(4)->isHidden());
            QCOMPARE(d->spnStartLabel()->value(), 7);
            QCOMPARE(d->txtOffsetX()->value(), 1.5);
            QCOMPARE(d->txtOffsetY()->value(), -0.5);

            chooseFormat(d, LabelFormat::TwoBySevenA4);
            d->spnStartLabel()->setValue(3);
            d->txtOffsetX()->setValue(2);
            d->txtOffsetY()->setValue(0);
            d->fd()->setTextMatrix(2, frmReportOptions::ColFirst, QStringLiteral("Street"));
            d->cmdReset()->click();
            QCOMPARE(d->fd()->textMatrix(2, frmReportOptions::ColFirst), QStringLiteral("Name"));
            QCOMPARE(d->cboLabelFormat()->currentText(), QStringLiteral("2 x 7 A4"));
            QCOMPARE(d->spnStartLabel()->value(), 3);
            QCOMPARE(d->txtOffsetX()->value(), 2.0);
            d->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

            d = m->printing().mnuPrintLabels_Click();
            QCOMPARE(d->cboLabelFormat()->currentText(), QStringLiteral("2 x 7 A4"));
            QCOMPARE(d->spnStartLabel()->value(), 3);
            QCOMPARE(d->txtOffsetX()->value(), 2.0);
            d->close();
            w->SaveSettings();
        }
        QCOMPARE(settings_.get(QStringLiteral("LabelFormat")), QStringLiteral("2 x 7 A4"));
        QCOMPARE(settings_.get(QStringLiteral("LabelStart")), QStringLiteral("3"));
        QCOMPARE(settings_.get(QStringLiteral("LabelOffsetX")), QStringLiteral("2.0"));
        QCOMPARE(settings_.get(QStringLiteral("LabelOffsetY")), QStringLiteral("0.0"));

        // A fresh start without stored values: the first format from its first label.
        settings_.clear();
        TestWindow w;
        frmReportOptions* d = w->printing().mnuPrintLabels_Click();
        QCOMPARE(d->cboLabelFormat()->currentText(), QStringLiteral("3 x 10"));
        QCOMPARE(d->spnStartLabel()->value(), 1);
        QCOMPARE(d->txtOffsetX()->value(), 0.0);
        d->close();
    }

    // 50 records on "3 x 7 A4" from label 5: three A4 sheets; every record's name lies inside
    // the label the sheet's figures give it (labels 1 to 4 of the first sheet stay empty), and
    // the offset moves them all.
    void a4PrintFromLabel5() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeAddresses(m, 50);
        frmReportOptions* d = m->printing().mnuPrintLabels_Click();
        d->OpDataSource(0)->setChecked(true);
        chooseFormat(d, LabelFormat::ThreeBySevenA4);
        d->spnStartLabel()->setValue(5);
        for (const QPointF offset : {QPointF(), QPointF(3, -2)}) {
            d->txtOffsetX()->setValue(offset.x());
            d->txtOffsetY()->setValue(offset.y());
            QTemporaryDir dir;
            const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
            w.prompter.answerPreview(pdf);
            const qsizetype asked = w.prompter.asked().size();
            d->cmdPrint()->click();
            QCOMPARE(d->lastPrint(), PrintResult::Printed);
            QCOMPARE(w.prompter.asked().size(), asked + 1);  // no note: every line fits
            QCOMPARE(w.prompter.last().pages, 3);
            QCOMPARE(w.prompter.last().paper, QSize(11906, 16838));
            if (offset.isNull()) {
                keepForLooking(pdf, QStringLiteral("labels-3x7-A4-from-5.pdf"));
            }
            const QMultiMap<QString, Word> words = pdfWords(pdf);
            QVERIFY2(!words.isEmpty(), "pdftotext (poppler-utils) must read the file");
            for (int k = 0; k < 50; ++k) {
                const QString name = QStringLiteral("Name-%1").arg(k + 1);
                QCOMPARE(words.count(name), 1);
                const Word word = words.value(name);
                const LabelPlace place = labelPlace(k, 5, 21);
                const QRectF label = labelRect(LabelFormat::ThreeBySevenA4, place.slot, offset);
                QCOMPARE(word.page, place.sheet);
                QVERIFY2(label.adjusted(kLabelPadding - 0.5, 0, 0, 0).contains(word.box),
                         qPrintable(name));
                QVERIFY(std::abs(word.box.left() - label.left() - kLabelPadding) < 0.5);
                // The street on the next line, the town below it, in the same label.
                const Word street = words.value(QStringLiteral("Street-%1").arg(k + 1));
                QVERIFY(label.contains(street.box) && street.box.top() > word.box.top());
            }
        }
        d->close();
    }

    // A line too long is cut at its label's edge; lines below a label's height are left out;
    // both are counted in one note after the print.
    void linesThatDoNotFit() {
        TestWindow w;
        frmMain* m = w.window.get();
        makeAddresses(m, 2);
        m->fa()->setTextMatrix(1, 1,
                               QStringLiteral("A street name far too long for any label "
                                              "of the sheet, however small the font"));
        frmReportOptions* d = m->printing().mnuPrintLabels_Click();
        d->OpDataSource(0)->setChecked(true);
        chooseFormat(d, LabelFormat::ThreeByEightA4);
        QTemporaryDir dir;
        w.prompter.answerPreview(dir.filePath(QStringLiteral("cut.pdf")));
        d->cmdPrint()->click();
        QCOMPARE(w.prompter.last().kind, Kind::Message);
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Information);
        QCOMPARE(w.prompter.last().text,
                 QStringLiteral("Some label lines did not fit their labels: 1 cut at the "
                                "label's edge, 0 left out for want of room on the label."));
        QVERIFY(
            pdfWords(dir.filePath(QStringLiteral("cut.pdf"))).contains(QStringLiteral("street")));
        keepForLooking(dir.filePath(QStringLiteral("cut.pdf")), QStringLiteral("labels-cut.pdf"));

        // 30 points: two of the five line slots fit a 33.9 mm label; the street and town lines
        // of both labels are left out (the long street counts once, as left out).
        d->txtFontSize()->setValue(30);
        w.prompter.answerPreview(dir.filePath(QStringLiteral("big.pdf")));
        d->cmdPrint()->click();
        keepForLooking(dir.filePath(QStringLiteral("big.pdf")), QStringLiteral("labels-30pt.pdf"));
        QCOMPARE(w.prompter.last().text,
                 QStringLiteral("Some label lines did not fit their labels: 0 cut at the "
                                "label's edge, 4 left out for want of room on the label."));
        // Cancelled: no note.
        w.prompter.answerPreview(QString());
        d->cmdPrint()->click();
        QCOMPARE(w.prompter.last().kind, Kind::Preview);
        d->close();
    }

    // The test sheet: one sheet of the chosen format with every label's number in the middle of
    // its label, moved by the offsets; the letter formats' on US Letter.
    void testSheet_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QPointF>("offset");
        QTest::addColumn<QSize>("paper");
        QTest::newRow("3 x 7 A4") << int(LabelFormat::ThreeBySevenA4) << QPointF()
                                  << QSize(11906, 16838);
        QTest::newRow("2 x 8 A4 moved")
            << int(LabelFormat::TwoByEightA4) << QPointF(1, -1.5) << QSize(11906, 16838);
        QTest::newRow("3 x 10") << int(LabelFormat::ThreeByTen) << QPointF(-2, 2)
                                << QSize(12240, 15840);
    }

    void testSheet() {
        QFETCH(int, format);
        QFETCH(QPointF, offset);
        QFETCH(QSize, paper);
        TestWindow w;
        frmMain* m = w.window.get();
        makeAddresses(m, 3);
        frmReportOptions* d = m->printing().mnuPrintLabels_Click();
        chooseFormat(d, LabelFormat(format));
        d->txtOffsetX()->setValue(offset.x());
        d->txtOffsetY()->setValue(offset.y());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("test.pdf"));
        w.prompter.answerPreview(pdf);
        d->cmdTestSheet()->click();
        QCOMPARE(d->lastPrint(), PrintResult::Printed);
        QCOMPARE(w.prompter.last().pages, 1);
        QCOMPARE(w.prompter.last().paper, paper);
        if (format == int(LabelFormat::ThreeBySevenA4)) {
            keepForLooking(pdf, QStringLiteral("test-sheet-3x7-A4.pdf"));
        }
        const QMultiMap<QString, Word> words = pdfWords(pdf);
        QVERIFY(words.contains(QStringLiteral("Test")));
        const int per = labelsPerSheet(LabelFormat(format));
        for (int slot = 0; slot < per; ++slot) {
            const QString number = QString::number(slot + 1);
            const QRectF label = labelRect(LabelFormat(format), slot, offset);
            bool found = false;
            for (const Word& word : words.values(number)) {
                const QPointF off = word.box.center() - label.center();
                found = found || (std::abs(off.x()) < 1 && std::abs(off.y()) < 1);
            }
            QVERIFY2(found, qPrintable(number));
        }
        d->close();
    }
};

QTEST_MAIN(TstLabelPrinting)
#include "tst_labelprinting.moc"
