// The form reader on a record table: matching names to columns, values, line ends, limits, the
// new document's blank records, comma and tab lines; and the first item of a dropped file.
#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QtTest>

#include "core/formreader/DroppedFile.h"
#include "core/formreader/FormReader.h"
#include "core/grid/GridModel.h"

using namespace pellumar;
using namespace pellumar::formreader;

class TstFormReader : public QObject {
    Q_OBJECT

private:
    GridModel* model_ = nullptr;
    QAbstractItemModelTester* tester_ = nullptr;
    QTemporaryDir dir_;

    // A title row with these titles and `records` empty records.
    void makeTable(const QStringList& titles, int records = 0) {
        model_->setFixedRows(1);
        model_->setCols(static_cast<int>(titles.size()));
        model_->setRows(records + 1);
        for (int c = 0; c < titles.size(); ++c) {
            model_->setText(0, c, titles[c]);
        }
    }
    QStringList row(int r) const {
        QStringList out;
        for (int c = 0; c < model_->cols(); ++c) {
            out << model_->text(r, c);
        }
        return out;
    }
    QStringList titles() const { return row(0); }
    Outcome read(const QString& text, const QString& separator = "=", bool isNew = false) {
        return appendFormRecord(*model_, text, separator, isNew);
    }
    QString writeFile(const QByteArray& bytes) {
        static int n = 0;
        const QString path = dir_.filePath(QStringLiteral("drop%1.txt").arg(++n));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

private slots:
    void init() {
        model_ = new GridModel(this);
        tester_ = new QAbstractItemModelTester(
            model_, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    }
    void cleanup() {
        delete tester_;
        delete model_;
    }

    void modes() {
        QCOMPARE(modeFor("CV"), Mode::CommaLines);
        QCOMPARE(modeFor("TB"), Mode::TabLines);
        QCOMPARE(modeFor("cv"), Mode::FormPost);  // the switches are exact
        QCOMPARE(modeFor("="), Mode::FormPost);
        QCOMPARE(modeFor(""), Mode::FormPost);
    }

    // The start table of a new document: ten untitled columns and twenty blank records.
    void newDocumentKeepsOnlyTheNewRecord() {
        makeTable(QStringList(10, QString()), 20);
        const Outcome out = read("Name=Ann\r\nCity=Rome", "=", true);
        QVERIFY(out.blankRecordsDropped);
        QCOMPARE(out.rowsAdded, 1);
        QCOMPARE(out.newRecordRow, 1);
        QCOMPARE(out.columnsAdded, 2);
        QCOMPARE(model_->rows(), 2);
        QCOMPARE(model_->cols(), 12);
        QCOMPARE(titles().mid(0, 2), QStringList({"Name", "City"}));
        QCOMPARE(titles().mid(2), QStringList(10, QString()));
        QCOMPARE(row(1).mid(0, 3), QStringList({"Ann", "Rome", ""}));

        // A second form under the same columns makes no new column.
        const Outcome second = read("Name=Bob\r\nCity=Oslo");
        QVERIFY(!second.blankRecordsDropped);
        QCOMPARE(second.columnsAdded, 0);
        QCOMPARE(second.newRecordRow, 2);
        QCOMPARE(model_->rows(), 3);
        QCOMPARE(model_->cols(), 12);
        QCOMPARE(row(2).mid(0, 2), QStringList({"Bob", "Oslo"}));
        QCOMPARE(row(1).mid(0, 2), QStringList({"Ann", "Rome"}));
    }

    void matching_data() {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("titlesAfter");
        QTest::addColumn<QStringList>("record");

        // Found further right; the name at position 1 is then not found at or after 1.
        QTest::newRow("reversed order")
            << QStringList{"Name", "City"} << "City=Paris\r\nName=Eve"
            << QStringList{"Name", "Name", "City"} << QStringList{"", "Eve", "Paris"};
        QTest::newRow("case differs") << QStringList{"Name"} << "name=ann"
                                      << QStringList{"name", "Name"} << QStringList{"ann", ""};
        QTest::newRow("position first")
            << QStringList{"X", "X"} << "X=1" << QStringList{"X", "X"} << QStringList{"1", ""};
        QTest::newRow("last match on the right")
            << QStringList{"A", "X", "B", "X"} << "X=1" << QStringList{"A", "X", "B", "X"}
            << QStringList{"", "", "", "1"};
        QTest::newRow("new name goes to its position")
            << QStringList{"A", "B"} << "A=1\r\nNew=2\r\nB=3" << QStringList{"A", "New", "B"}
            << QStringList{"1", "2", "3"};
        QTest::newRow("names past the columns")
            << QStringList{"A"} << "A=1\r\nB=2\r\nC=3" << QStringList{"A", "B", "C"}
            << QStringList{"1", "2", "3"};
        QTest::newRow("spaces are part of names")
            << QStringList{"Name"} << "Name =x" << QStringList{"Name ", "Name"}
            << QStringList{"x", ""};
        // An empty name fills the column at its position and never makes one.
        QTest::newRow("empty name") << QStringList{"A", "B"} << "=x\r\nB=2" << QStringList{"A", "B"}
                                    << QStringList{"x", "2"};
        QTest::newRow("empty name past the columns")
            << QStringList{"A"} << "A=1\r\n=lost\r\nC=3" << QStringList{"A", "C"}
            << QStringList{"1", "3"};
        QTest::newRow("value keeps separators")
            << QStringList{"Note"} << "Note=a=b" << QStringList{"Note"} << QStringList{"a=b"};
        QTest::newRow("empty value") << QStringList{"A", "B"} << "A=\r\nB=2"
                                     << QStringList{"A", "B"} << QStringList{"", "2"};
        QTest::newRow("no plus or escape decoding")
            << QStringList{"q"} << "q=a+b%20c" << QStringList{"q"} << QStringList{"a+b%20c"};
        // A line without the separator continues the value before it; lines before the first
        // pair are skipped, so a name never holds a line break.
        QTest::newRow("line without separator")
            << QStringList{"A", "B"} << "A=1\r\nplain" << QStringList{"A", "B"}
            << QStringList{"1\nplain", ""};
        QTest::newRow("lines before the first pair")
            << QStringList{"A"} << "junk\r\n\r\nmore junk\r\nA=1" << QStringList{"A"}
            << QStringList{"1"};
        QTest::newRow("blank line inside a value")
            << QStringList{"A", "B"} << "A=1\r\n\r\n2\r\nB=3" << QStringList{"A", "B"}
            << QStringList{"1\n\n2", "3"};
        QTest::newRow("trailing spaces go")
            << QStringList{"A"} << "A=1   " << QStringList{"A"} << QStringList{"1"};
        QTest::newRow("spaces before a line break stay")
            << QStringList{"A", "B"} << "A=1 \r\nB=2" << QStringList{"A", "B"}
            << QStringList{"1 ", "2"};
        // A trailing line break or blank line adds nothing, not even an empty value over a
        // cell an earlier pair filled.
        QTest::newRow("trailing CRLF") << QStringList{"A", "B"} << "B=2\r\n"
                                       << QStringList{"A", "B"} << QStringList{"", "2"};
        QTest::newRow("trailing LF") << QStringList{"A", "B"} << "B=2\n"
                                     << QStringList{"A", "B"} << QStringList{"", "2"};
        QTest::newRow("trailing blank lines")
            << QStringList{"A", "B", "C"} << "C=3\r\n\r\n\n"
            << QStringList{"A", "B", "C"} << QStringList{"", "", "3"};
        // Line feeds alone end lines too, as do mixed ends; a lone carriage return does not.
        QTest::newRow("LF") << QStringList{} << "Name=Ann\nCity=Rome\nZip=1"
                            << QStringList{"Name", "City", "Zip"}
                            << QStringList{"Ann", "Rome", "1"};
        QTest::newRow("mixed") << QStringList{} << "Name=Ann\r\nCity=Rome\nZip=1"
                               << QStringList{"Name", "City", "Zip"}
                               << QStringList{"Ann", "Rome", "1"};
        QTest::newRow("lone CR") << QStringList{} << "Name=Ann\rCity=Rome" << QStringList{"Name"}
                                 << QStringList{"Ann\rCity=Rome"};
    }
    void matching() {
        QFETCH(QStringList, columns);
        QFETCH(QString, text);
        QFETCH(QStringList, titlesAfter);
        QFETCH(QStringList, record);
        makeTable(columns, 1);
        model_->setText(1, 0, "kept");  // an earlier record keeps its cells where they were
        const Outcome out = read(text);
        QVERIFY(!out.inputError);
        QCOMPARE(out.columnsAdded, static_cast<int>(titlesAfter.size() - columns.size()));
        QCOMPARE(titles(), titlesAfter);
        QCOMPARE(row(2), record);
        if (!columns.isEmpty()) {
            QCOMPARE(row(1).count("kept"), 1);
            QCOMPARE(model_->text(1, static_cast<int>(titlesAfter.indexOf(columns[0]))), "kept");
        }
    }

    void aNewColumnIsEmptyInEarlierRecords() {
        makeTable({"A", "B"}, 2);
        model_->setText(1, 1, "b1");
        model_->setColWidth(1, 2000);
        read("A=1\r\nNew=2");
        QCOMPARE(titles(), QStringList({"A", "New", "B"}));
        QCOMPARE(row(1), QStringList({"", "", "b1"}));
        QCOMPARE(row(2), QStringList({"", "", ""}));
        QCOMPARE(model_->colWidth(2), 2000);  // the column's attributes move with it
        QCOMPARE(model_->colWidth(1), -1);    // the new one has the defaults
        QCOMPARE(row(3), QStringList({"1", "2", ""}));
    }

    void atMost201Pairs() {
        makeTable({});
        QString text;
        for (int i = 0; i < 250; ++i) {
            text += QStringLiteral("F%1=%1\r\n").arg(i);
        }
        const Outcome out = read(text);
        QCOMPARE(out.columnsAdded, kMaxPairs);
        QCOMPARE(model_->cols(), 201);
        QCOMPARE(model_->text(0, 200), "F200");
        QCOMPARE(model_->text(1, 200), "200");
    }

    // Bodies as browsers post a form with enctype="text/plain": each pair ends with CR LF, and a
    // text area's line breaks (CR LF) stand as they are inside its value.
    void browserPosts_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("contact form, two-line comments")
            << "Name=Ann Lee\r\nComments=line one\r\nline two\r\nEmail=ann@example.org\r\n"
            << QStringList{"Name", "Comments", "Email"}
            << QStringList{"Ann Lee", "line one\nline two", "ann@example.org"};
        QTest::newRow("text area ending in a line break")
            << "Comments=first\r\nsecond\r\n\r\nEmail=bo@example.org\r\n"
            << QStringList{"Comments", "Email"} << QStringList{"first\nsecond\n", "bo@example.org"};
        QTest::newRow("text area with an empty line and the separator inside")
            << "Subject=Offer\r\nMessage=a = b\r\n\r\nregards\r\nSend=Go\r\n"
            << QStringList{"Subject", "Message", "Send"}
            << QStringList{"Offer", "a = b\n\nregards", "Go"};
        QTest::newRow("unicode") << QStringLiteral(
                                        "Name=Zoë Ångström\r\nCity=Zürich\r\nNote=日本語 ✓\r\n")
                                 << QStringList{"Name", "City", "Note"}
                                 << QStringList{QStringLiteral("Zoë Ångström"),
                                                QStringLiteral("Zürich"),
                                                QStringLiteral("日本語 ✓")};
        QTest::newRow("empty value")
            << "Name=Ann\r\nPhone=\r\nEmail=ann@example.org\r\n"
            << QStringList{"Name", "Phone", "Email"} << QStringList{"Ann", "", "ann@example.org"};
        QTest::newRow("empty text area last")
            << "Name=Ann\r\nComments=\r\n"
            << QStringList{"Name", "Comments"} << QStringList{"Ann", ""};
        QTest::newRow("repeated name (check boxes)")
            << "Name=Ann\r\nTopic=news\r\nTopic=sales\r\n"
            << QStringList{"Name", "Topic", "Topic"} << QStringList{"Ann", "news", "sales"};
        // The Drop Box hands the text over with line feeds alone.
        QTest::newRow("line feeds alone")
            << "Name=Ann\nComments=line one\nline two\nEmail=ann@example.org\n"
            << QStringList{"Name", "Comments", "Email"}
            << QStringList{"Ann", "line one\nline two", "ann@example.org"};
    }
    void browserPosts() {
        QFETCH(QString, body);
        QFETCH(QStringList, names);
        QFETCH(QStringList, values);
        makeTable({});
        const Outcome out = read(body);
        QVERIFY(!out.inputError);
        QCOMPARE(out.columnsAdded, static_cast<int>(names.size()));
        QCOMPARE(titles(), names);
        QCOMPARE(row(1), values);
        // The same form again fills the same columns.
        read(body);
        QCOMPARE(titles(), names);
        QCOMPARE(row(2), values);
    }

    // The limit counts pairs: continuation lines are not pairs, and the last pair keeps its own.
    void limitCountsPairs() {
        makeTable({});
        QString text;
        for (int i = 0; i < 201; ++i) {
            text += QStringLiteral("F%1=%1\r\nmore\r\n").arg(i);
        }
        text += QStringLiteral("Extra=x\r\n");
        read(text);
        QCOMPARE(model_->cols(), 201);
        QCOMPARE(model_->text(1, 0), "0\nmore");
        QCOMPARE(model_->text(0, 200), "F200");
        QCOMPARE(model_->text(1, 200), "200\nmore");
    }

    void separators_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("titlesAfter");
        QTest::addColumn<QStringList>("record");
        QTest::newRow("colon") << ":"
                               << "Name:Ann\r\nTime:10:30" << QStringList{"Name", "Time"}
                               << QStringList{"Ann", "10:30"};
        // The value starts one character after the separator's first character.
        QTest::newRow("two characters")
            << "::"
            << "Name::Ann" << QStringList{"Name"} << QStringList{":Ann"};
        QTest::newRow("arrow") << "=>"
                               << "a=>1\r\nb=>2" << QStringList{"a", "b"}
                               << QStringList{">1", ">2"};
        // A lower-case x is no separator X: the first line holds no pair.
        QTest::newRow("case-sensitive separator")
            << "X"
            << "axb\r\ncXd" << QStringList{"c"} << QStringList{"d"};
    }
    void separators() {
        QFETCH(QString, separator);
        QFETCH(QString, text);
        QFETCH(QStringList, titlesAfter);
        QFETCH(QStringList, record);
        makeTable({});
        QVERIFY(!read(text, separator).inputError);
        QCOMPARE(titles(), titlesAfter);
        QCOMPARE(row(1), record);
    }

    void inputError_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::newRow("no colon") << ":"
                                  << "Name=Ann\r\nCity=Rome";
        QTest::newRow("the hint text") << "="
                                       << "Drag or copy valid Form Post text to here";
        QTest::newRow("empty text") << "="
                                    << "";
        QTest::newRow("case differs") << "x"
                                      << "NameXAnn";
        QTest::newRow("empty separator") << ""
                                         << "Name=Ann";
    }
    void inputError() {
        QFETCH(QString, separator);
        QFETCH(QString, text);
        makeTable(QStringList(10, QString()), 20);
        const Outcome out = read(text, separator, true);
        QVERIFY(out.inputError);
        QCOMPARE(out.rowsAdded, 0);
        QVERIFY(!out.blankRecordsDropped);  // the new document keeps its blank records
        QCOMPARE(model_->rows(), 21);
        QCOMPARE(model_->cols(), 10);
        QVERIFY(!holdsSeparator(text, separator));
    }

    void delimitedLines_data() {
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<int>("cols");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("colsAfter");
        QTest::addColumn<QStringList>("rows");  // the added records, cells joined by "|"

        QTest::newRow("CV widens")
            << QChar(',') << 2 << "1,2,3\r\n4,5,6" << 3 << QStringList{"1|2|3", "4|5|6"};
        QTest::newRow("LF") << QChar(',') << 2 << "1,2,3\n4,5,6\n"
                            << 3 << QStringList{"1|2|3", "4|5|6"};
        QTest::newRow("trailing break adds nothing") << QChar(',') << 3 << "1,2,3\r\n"
                                                     << 3 << QStringList{"1|2|3"};
        QTest::newRow("wider table stays")
            << QChar(',') << 4 << "1,2\r\n3" << 4 << QStringList{"1|2||", "3|||"};
        // Only the first line widens; later fields beyond the last column are dropped.
        QTest::newRow("later lines dropped")
            << QChar(',') << 1 << "1,2\r\n3,4,5,6" << 2 << QStringList{"1|2", "3|4"};
        QTest::newRow("single line widens")
            << QChar(',') << 1 << "1,2,3" << 3 << QStringList{"1|2|3"};
        QTest::newRow("no quoting")
            << QChar(',') << 3 << "\"a,b\",c" << 3 << QStringList{"\"a|b\"|c"};
        QTest::newRow("TB") << QChar('\t') << 1 << "a,b\tc\r\nd\te" << 2
                            << QStringList{"a,b|c", "d|e"};
        QTest::newRow("blank line in between")
            << QChar(',') << 2 << "1,2\r\n\r\n3,4" << 2 << QStringList{"1|2", "|", "3|4"};
        QTest::newRow("trailing spaces go")
            << QChar(',') << 2 << "1,2  " << 2 << QStringList{"1|2"};
        QTest::newRow("empty text") << QChar(',') << 2 << "" << 2 << QStringList{};
    }
    void delimitedLines() {
        QFETCH(QChar, delimiter);
        QFETCH(int, cols);
        QFETCH(QString, text);
        QFETCH(int, colsAfter);
        QFETCH(QStringList, rows);
        makeTable(QStringList(cols, "T"), 1);
        model_->setText(1, 0, "old");
        const Outcome out = appendDelimitedRows(*model_, text, delimiter, false);
        QCOMPARE(out.rowsAdded, static_cast<int>(rows.size()));
        QCOMPARE(out.columnsAdded, colsAfter - cols);
        QCOMPARE(model_->cols(), colsAfter);
        QCOMPARE(model_->rows(), 2 + static_cast<int>(rows.size()));
        QCOMPARE(titles().mid(0, cols), QStringList(cols, "T"));  // titles untouched
        QCOMPARE(titles().mid(cols), QStringList(colsAfter - cols, ""));
        QCOMPARE(model_->text(1, 0), "old");
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(row(2 + i).join('|'), rows[i]);
        }
    }

    void delimitedLinesInANewDocument() {
        makeTable(QStringList(10, QString()), 20);
        const Outcome out = appendDelimitedRows(*model_, u"1,2\r\n3,4", u',', true);
        QVERIFY(out.blankRecordsDropped);
        QCOMPARE(out.rowsAdded, 2);
        QCOMPARE(model_->rows(), 3);
        QCOMPARE(model_->cols(), 10);
        QCOMPARE(row(1).mid(0, 2), QStringList({"1", "2"}));
    }

    void linesPastTheColumnLimitChangeNothing() {
        // One line of 65,537 fields would make a table that no file could hold.
        delete tester_;  // it would look at every column on every change
        tester_ = nullptr;
        makeTable(QStringList(10, QString()), 20);
        const QString wide = QString(kMaxColumns, u',');
        Outcome out = appendDelimitedRows(*model_, wide + "\r\n1,2", u',', true);
        QVERIFY(out.columnLimit);
        QCOMPARE(out.rowsAdded, 0);
        QVERIFY(!out.blankRecordsDropped);
        QCOMPARE(model_->cols(), 10);
        QCOMPARE(model_->rows(), 21);
        // 65,536 fields are as many as a table can have.
        out = appendDelimitedRows(*model_, wide.left(kMaxColumns - 1) + "x", u',', true);
        QVERIFY(!out.columnLimit);
        QCOMPARE(model_->cols(), kMaxColumns);
        QCOMPARE(model_->rows(), 2);
        QCOMPARE(model_->text(1, kMaxColumns - 1), "x");
    }

    void formsPastTheColumnLimitChangeNothing() {
        delete tester_;
        tester_ = nullptr;
        makeTable({"Name"}, 1);
        model_->setCols(kMaxColumns - 1);
        // Two new names where only one more column fits: refused whole.
        Outcome out = read("Name=Ann\r\nCity=Rome\r\nZip=1");
        QVERIFY(out.columnLimit);
        QCOMPARE(model_->cols(), kMaxColumns - 1);
        QCOMPARE(model_->rows(), 2);
        QCOMPARE(titles().mid(0, 2), QStringList({"Name", ""}));
        // Names the table has, and one new one, fit.
        out = read("Name=Bob\r\nCity=Oslo");
        QVERIFY(!out.columnLimit);
        QCOMPARE(out.columnsAdded, 1);
        QCOMPARE(model_->cols(), kMaxColumns);
        QCOMPARE(row(2).mid(0, 2), QStringList({"Bob", "Oslo"}));
    }

    void firstItemOfAFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("item");
        QTest::newRow("up to a comma") << QByteArray("a=1,b=2\r\nc=3") << "a=1";
        QTest::newRow("up to a line end") << QByteArray("a=1\r\nb=2") << "a=1";
        QTest::newRow("up to a line feed") << QByteArray("a=1\nb=2") << "a=1";
        QTest::newRow("quoted") << QByteArray("\"a=1,b=2\r\nc\",d") << "a=1,b=2\r\nc";
        QTest::newRow("unclosed quote") << QByteArray("\"a=1,b") << "a=1,b";
        QTest::newRow("spaces around") << QByteArray(" \t a=1 \t,b") << "a=1";
        QTest::newRow("inner spaces stay") << QByteArray("a = 1,b") << "a = 1";
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("empty first item") << QByteArray(",a=1") << "";
        QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBFName=Zo\xC3\xAB,x") << "Name=Zoë";
        QTest::newRow("windows-1252") << QByteArray("Name=Jos\xE9\r\n") << "Name=José";
        QTest::newRow("utf-8 with a stray byte")
            << QByteArray("Name=Zo\xC3\xAB J\xF6rg,x") << "Name=Zoë Jörg";
        QTest::newRow("utf-16") << QByteArray("\xFF\xFEN\0=\0\xEB\0,\0x\0", 12) << "N=ë";
        QTest::newRow("utf-16 big endian") << QByteArray("\xFE\xFF\0\"\0a\0,\0b\0\"", 12) << "a,b";
        QTest::newRow("quoted item across many pieces")
            << "\"" + QByteArray(300000, 'q') + "\",z" << QString(300000, u'q');
        const QByteArray longItem(200000, 'x');
        QTest::newRow("long item") << (longItem + ",y") << QString::fromLatin1(longItem);
    }
    void firstItemOfAFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, item);
        const auto read = readFirstItem(writeFile(bytes));
        QVERIFY(read.ok());
        QCOMPARE(read.value(), item);
    }

    void firstItemOfAMissingFile() {
        const auto read = readFirstItem(dir_.filePath("missing.txt"));
        QVERIFY(!read.ok());
        QCOMPARE(read.error().reason, FileError::Reason::Missing);
        QVERIFY(read.message().contains("missing.txt"));
    }
};

QTEST_GUILESS_MAIN(TstFormReader)
#include "tst_formreader.moc"
