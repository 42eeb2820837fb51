// The native grid file: a save and a load give back the same table and appearance, and every
// kind of broken file gives its own error and leaves the open grid as it was.
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "core/document/NativeFile.h"
#include "core/document/NativeFormat.h"
#include "core/grid/GridModel.h"

using namespace pellumar;
using namespace pellumar::testing;

namespace {

// A table with every kind of content and formatting the file keeps.
Table formattedTable() {
    Table t = tableOf({
        {"Name", "Amount", "Due", "Done", ""},
        {"Zürich, \"old\" town", "1234.5", "03/14/2024", "1", "東京 😀"},
        {"", "", "", "", ""},
        {"two\r\nlines", " lead", "trail ", "\t", QString(200, u'w')},
    });
    CellStyle bold;
    bold.bold = true;
    t.setStyle(1, 0, bold);
    CellStyle all;
    all.foreColor = 0xffff0000;
    all.backColor = 0x80123456;
    all.fontSize = 13.5f;
    all.alignment = AlignCenterCenter;
    all.pictureAlignment = AlignRightBottom;
    all.picture = PictureSortDown;
    all.checkState = CheckUnchecked;
    all.italic = true;
    all.underline = true;
    t.setStyle(0, 1, all);
    t.setStyle(3, 4, all);
    ColumnAttributes money;
    money.width = 1800;
    money.alignment = AlignRightCenter;
    money.dataType = DataTypeMoney;
    money.format = QStringLiteral("$#,###.00");
    t.setColumnAttributes(1, money);
    ColumnAttributes date;
    date.dataType = DataTypeDate;
    date.format = QStringLiteral("mm/dd/yyyy");
    date.hidden = true;
    date.comboList = QStringLiteral("today|tomorrow");
    t.setColumnAttributes(2, date);
    ColumnAttributes check;
    check.dataType = DataTypeCheckbox;
    check.alignment = AlignCenterCenter;
    check.width = 0;
    t.setColumnAttributes(3, check);
    t.setRowHeight(1, 480);
    t.setRowHeight(3, 0);
    return t;
}

// A small file whose layout the broken-file cases below change byte by byte:
//   0 magic, 8 version, 12 rows (2), 16 columns (2), 20 height runs (1), 24 style runs (1)
//   28 the two columns, 21 bytes each when they have no format or combo list
//   70 texts: 04 (a record of two cells) 04 'a' 'b' 02 'c', 04 02 'd' 02 'e'
//   81 the height run of row 1 (first row, rows, twips)
//   93 the style count (1), 97 the style, 114 the style run of (1, 1) (column, first row,
//   rows, style), 130 the check sum; 138 bytes in all.
// With `twoRuns`, (1, 0) is bold too: its run comes first, and the run of (1, 1) is at 130.
constexpr int kVersionAt = 8;
constexpr int kRowsAt = 12;
constexpr int kColsAt = 16;
constexpr int kAlignmentOfColumn0At = 32;
constexpr int kTextsAt = 70;
constexpr int kHeightRowAt = 81;
constexpr int kHeightRowsAt = 85;
constexpr int kStyleCountAt = 93;
constexpr int kStylePictureAt = 97 + 14;
constexpr int kStyleColumnAt = 114;  // the column of the first run
constexpr int kStyleRunRowsAt = 114 + 8;
constexpr int kStyleRunStyleAt = 114 + 12;
constexpr int kSecondStyleRunColAt = 130;
constexpr int kChecksumAt = 130;

QByteArray smallFile(bool twoRuns = false) {
    Table t = tableOf({{"ab", "c"}, {"d", "e"}});
    t.setRowHeight(1, 480);
    CellStyle bold;
    bold.bold = true;
    t.setStyle(1, 1, bold);
    if (twoRuns) {
        t.setStyle(1, 0, bold);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!saveNative(t, buffer, QStringLiteral("small.plm"))) {
        return {};
    }
    return bytes;
}

// The file with its check sum made right again: a file made to be wrong, not one damaged on
// the way.
QByteArray resummed(QByteArray bytes) {
    if (bytes.size() >= 8) {
        nativeformat::Checksum sum;
        sum.update(bytes.constData(), static_cast<size_t>(bytes.size() - 8));
        qToLittleEndian(sum.result(), bytes.data() + bytes.size() - 8);
    }
    return bytes;
}

QByteArray withNumber(QByteArray bytes, int at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
    return resummed(bytes);
}

QByteArray withByte(QByteArray bytes, int at, char value) {
    bytes[at] = value;
    return resummed(bytes);
}

// The same, as a byte spoilt on the way: the check sum stays as it was.
QByteArray flipped(QByteArray bytes, int at, char value) {
    bytes[at] = value;
    return bytes;
}

}  // namespace

class TstNativeFile : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("texts, styles, column attributes, row heights") << 0;
        QTest::newRow("empty table") << 1;
        QTest::newRow("rows without columns") << 2;
        QTest::newRow("a title row only") << 3;
    }

    void roundTrip() {
        QFETCH(int, which);
        Table table;
        if (which == 0) {
            table = formattedTable();
        } else if (which == 2) {
            table.setRowCount(20);
        } else if (which == 3) {
            table = tableOf({{"Title", "", "Other"}});
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.plm"));
        QVERIFY(saveNative(table, path).ok());
        auto loaded = loadNative(path);
        QVERIFY2(loaded.ok(), qPrintable(loaded.ok() ? QString() : loaded.message()));
        QCOMPARE(differenceOf(loaded.value(), table), QString());
        // The display format is rebuilt from the column's format.
        if (which == 0) {
            QCOMPARE(loaded.value().displayFormat(1).isIdentity(),
                     table.displayFormat(1).isIdentity());
        }
    }

    // Bold, italic and underline each travel on their own: every one of their eight
    // combinations, each in a cell of its own, comes back as it was saved.
    void fontFlagsEachOnTheirOwn() {
        Table table = tableOf({{"a", "b", "c", "d"}, {"e", "f", "g", "h"}});
        for (int i = 0; i < 8; ++i) {
            CellStyle s;
            s.bold = (i & 1) != 0;
            s.italic = (i & 2) != 0;
            s.underline = (i & 4) != 0;
            table.setStyle(i / 4, i % 4, s);
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("flags.plm"));
        QVERIFY(saveNative(table, path).ok());
        auto loaded = loadNative(path);
        QVERIFY(loaded.ok());
        for (int i = 0; i < 8; ++i) {
            const CellStyle s = loaded.value().style(i / 4, i % 4);
            const QString at = QStringLiteral("bold %1 italic %2 underline %3")
                                   .arg(i & 1)
                                   .arg((i >> 1) & 1)
                                   .arg((i >> 2) & 1);
            QVERIFY2(s.bold == ((i & 1) != 0), qPrintable(at));
            QVERIFY2(s.italic == ((i & 2) != 0), qPrintable(at));
            QVERIFY2(s.underline == ((i & 4) != 0), qPrintable(at));
        }
    }

    void bigTableAcrossChunks() {
        // Rows crossing the reader's chunks, texts needing two-byte lengths and one cell larger
        // than a chunk come back whole.
        Table table(30001, 5);
        for (int r = 0; r < table.rowCount(); ++r) {
            table.setText(r, 0, QString::number(r));
            table.setText(r, 1, QStringLiteral("a longer text %1").arg(r));
            table.setText(r, 3, QString(130 + r % 50, QChar(u'a' + r % 26)));
        }
        table.setUtf8(17, 4, std::string(3 << 20, 'z'));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.plm"));
        QVERIFY(saveNative(table, path).ok());
        QList<qint64> seen;
        auto loaded = loadNative(path, [&](qint64 done, qint64) {
            seen << done;
            return true;
        });
        QVERIFY(loaded.ok());
        QCOMPARE(differenceOf(loaded.value(), table), QString());
        QVERIFY(seen.size() >= 2);
        QCOMPARE(seen.last(), QFileInfo(path).size());

        auto cancelled = loadNative(path, [](qint64, qint64) { return false; });
        QVERIFY(!cancelled.ok());
        QCOMPARE(cancelled.error().reason, FileError::Reason::Cancelled);
    }

    void brokenFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("message");
        const QByteArray good = smallFile();
        QCOMPARE(good.size(), kChecksumAt + 8);
        const auto damaged = int(FileError::Reason::Damaged);
        const QString notOurs = QStringLiteral("%1 is not a Pellumar file.");
        const QString early = QStringLiteral("%1 is damaged: it ends too early.");
        const QString tooShort =
            QStringLiteral("%1 is damaged: it is too short for the rows and columns it claims.");

        QTest::newRow("empty file") << QByteArray() << int(FileError::Reason::NotOurs) << notOurs;
        QTest::newRow("a comma text file")
            << QByteArray("Name,City\r\n") << int(FileError::Reason::NotOurs) << notOurs;
        QTest::newRow("changed by a text-mode transfer")
            << QByteArray(good).replace("\r\n", "\n") << int(FileError::Reason::NotOurs) << notOurs;
        QTest::newRow("cut inside the magic") << good.left(5) << damaged << early;
        QTest::newRow("cut inside the header") << good.left(20) << damaged << early;
        QTest::newRow("newer version")
            << withNumber(good, kVersionAt, kNativeVersion + 1) << int(FileError::Reason::Newer)
            << QStringLiteral("%1 was written by a newer version of Pellumar.");
        QTest::newRow("version 0") << withNumber(good, kVersionAt, 0) << damaged
                                   << QStringLiteral("%1 is damaged: its version number is wrong.");
        QTest::newRow("cut inside the texts") << good.left(kTextsAt + 3) << damaged << tooShort;
        QTest::newRow("cut inside the check sum") << good.left(good.size() - 3) << damaged << early;
        // Empty records take a byte for any number of them: a row count beyond the records is
        // found where they run out.
        QTest::newRow("lying row count")
            << withNumber(good, kRowsAt, 0x7ffffffe) << damaged
            << QStringLiteral("%1 is damaged: a record has a wrong length.");
        QTest::newRow("absurd column count")
            << withNumber(good, kColsAt, 50000000) << damaged
            << QStringLiteral("%1 is damaged: it claims more columns than a table can have.");
        QTest::newRow("a text longer than the file")
            << withByte(good, kTextsAt + 1, '\xfe') << damaged << early;
        QTest::newRow("more empty records than rows")
            << withByte(good, kTextsAt, 0x05) << damaged
            << QStringLiteral("%1 is damaged: it has more records than it claims.");
        QTest::newRow("a record wider than the table")
            << withByte(good, kTextsAt, 0x06) << damaged
            << QStringLiteral("%1 is damaged: a record has more cells than the table has columns.");
        QTest::newRow("empty cells past the record's end")
            << withByte(withByte(good, kTextsAt + 6, 0x02), kTextsAt + 7, 0x03) << damaged
            << QStringLiteral("%1 is damaged: a record has more cells than the table has columns.");
        QTest::newRow("a length of more than five bytes")
            << resummed(good.left(kTextsAt) + QByteArray(6, '\xff') + good.mid(kTextsAt + 6))
            << damaged << QStringLiteral("%1 is damaged: a cell text has a wrong length.");
        QTest::newRow("a text that is not UTF-8")
            << withByte(good, kTextsAt + 2, '\xff') << damaged
            << QStringLiteral("%1 is damaged: a cell text is not readable text.");
        QTest::newRow("column alignment out of range")
            << withNumber(good, kAlignmentOfColumn0At, 42) << damaged
            << QStringLiteral("%1 is damaged: a column setting is out of range.");
        QTest::newRow("height of a row that is not there")
            << withNumber(good, kHeightRowAt, 2) << damaged
            << QStringLiteral("%1 is damaged: a row height is out of range.");
        QTest::newRow("style of a column that is not there")
            << withNumber(good, kStyleColumnAt, 2) << damaged
            << QStringLiteral("%1 is damaged: a cell style is out of range.");
        QTest::newRow("style picture out of range")
            << withByte(good, kStylePictureAt, 9) << damaged
            << QStringLiteral("%1 is damaged: a cell style is out of range.");
        QTest::newRow("height run past the last row")
            << withNumber(good, kHeightRowsAt, 2) << damaged
            << QStringLiteral("%1 is damaged: a row height is out of range.");
        QTest::newRow("more styles than the file holds")
            << withNumber(good, kStyleCountAt, 0x7fffffff) << damaged << tooShort;
        QTest::newRow("style run past the last row")
            << withNumber(good, kStyleRunRowsAt, 2) << damaged
            << QStringLiteral("%1 is damaged: a cell style is out of range.");
        QTest::newRow("style run naming a style that is not there")
            << withNumber(good, kStyleRunStyleAt, 1) << damaged
            << QStringLiteral("%1 is damaged: a cell style is out of range.");
        QTest::newRow("style runs overlapping")
            << withNumber(smallFile(true), kSecondStyleRunColAt, 0) << damaged
            << QStringLiteral("%1 is damaged: a cell style is out of range.");
        // A byte changed on the way: whatever it makes of the file, the check sum says so.
        const QString wrongSum =
            QStringLiteral("%1 is damaged: its contents do not match their check sum.");
        QTest::newRow("a changed text") << flipped(good, kTextsAt + 5, 'x') << damaged << wrongSum;
        QTest::newRow("a changed length: the text would pass the end")
            << flipped(good, kTextsAt + 1, '\xfe') << damaged << wrongSum;
        QTest::newRow("a changed record: more empty records than rows")
            << flipped(good, kTextsAt, 0x05) << damaged << wrongSum;
        QTest::newRow("a changed column setting")
            << flipped(good, kAlignmentOfColumn0At, 42) << damaged << wrongSum;
        QTest::newRow("a changed style run")
            << flipped(good, kStyleRunRowsAt, 2) << damaged << wrongSum;
        QTest::newRow("a changed check sum")
            << flipped(good, kChecksumAt, good[kChecksumAt] ^ 1) << damaged << wrongSum;
        QTest::newRow("data after the end")
            << good + "x" << damaged
            << QStringLiteral("%1 is damaged: it has more data than it should.");
    }

    void brokenFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, reason);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("broken.plm"));
        QVERIFY(writeFile(path, bytes));

        // The open grid, as Open would leave it when the load fails: untouched.
        GridModel model;
        model.setFixedRows(1);
        model.replaceTable(formattedTable());
        auto loaded = loadNative(path);
        if (loaded) {
            model.replaceTable(loaded.take());
        }
        QVERIFY(!loaded.ok());
        QCOMPARE(int(loaded.error().reason), reason);
        QCOMPARE(loaded.message(), message.arg(QDir::toNativeSeparators(path)));
        QCOMPARE(differenceOf(model.table(), formattedTable()), QString());
    }

    void memoryFollowsTheFile() {
        // Empty cells take next to nothing in the file and nothing in the loaded table.
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QVERIFY(saveNative(Table(200000, 3), out, QStringLiteral("empty.plm")).ok());
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        auto loaded = loadNative(in, QStringLiteral("empty.plm"));
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.value().rowCount(), 200000);
        QVERIFY(loaded.value().storageBytes() < 4096);

        // A table that needs more memory than the load may take is refused on the way.
        Table filled(200000, 3);
        for (int r = 0; r < filled.rowCount(); ++r) {
            filled.setText(r, 1, QStringLiteral("x"));
        }
        QByteArray filledBytes;
        QBuffer filledOut(&filledBytes);
        filledOut.open(QIODevice::WriteOnly);
        QVERIFY(saveNative(filled, filledOut, QStringLiteral("filled.plm")).ok());
        QBuffer filledIn(&filledBytes);
        filledIn.open(QIODevice::ReadOnly);
        auto refused = loadNative(filledIn, QStringLiteral("filled.plm"), {}, 512 * 1024);
        QVERIFY(!refused.ok());
        QCOMPARE(refused.error().reason, FileError::Reason::TooLarge);
        QVERIFY2(refused.message().startsWith(QStringLiteral(
                     "filled.plm is too large to open: its table would need about ")),
                 qPrintable(refused.message()));
    }

    void theSmallFileItselfLoads() {
        QByteArray bytes = smallFile();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        auto loaded = loadNative(buffer, QStringLiteral("small.plm"));
        QVERIFY(loaded.ok());
        QCOMPARE(rowsOf(loaded.value()), (Rows{{"ab", "c"}, {"d", "e"}}));
        QVERIFY(loaded.value().style(1, 1).bold);
        QCOMPARE(loaded.value().rowHeight(1), 480);
    }

    void readsVersion1Files() {
        // Written by the Pellumar that kept a record per styled cell and per tall row.
        auto loaded = loadNative(QFINDTESTDATA("data/styled-v1.plm"));
        QVERIFY2(loaded.ok(), qPrintable(loaded.ok() ? QString() : loaded.message()));
        const Table& t = loaded.value();
        QCOMPARE(t.rowCount(), 4);
        QCOMPARE(t.columnCount(), 5);
        QCOMPARE(t.text(1, 0), QStringLiteral("Zürich, \"old\" town"));
        QCOMPARE(t.text(3, 4), QString(32, u'w'));
        for (int r = 1; r <= 3; ++r) {
            QVERIFY(t.style(r, 0).bold);
        }
        QVERIFY(!t.hasStyle(0, 0));
        for (const auto& [r, c] : {std::pair{0, 1}, std::pair{3, 4}}) {
            const CellStyle s = t.style(r, c);
            QCOMPARE(s.foreColor, 0xffff0000u);
            QCOMPARE(s.backColor, 0x80123456u);
            QCOMPARE(s.fontSize, 13.5f);
            QCOMPARE(int(s.alignment), int(AlignCenterCenter));
            QCOMPARE(int(s.picture), int(PictureSortDown));
            QVERIFY(s.italic && s.underline && !s.bold);
        }
        QCOMPARE(t.columnAttributes(1).format, QStringLiteral("$#,###.00"));
        QCOMPARE(t.rowHeight(1), 480);
        QCOMPARE(t.rowHeight(2), 480);
        QCOMPARE(t.rowHeight(3), 0);
        QCOMPARE(t.rowHeight(0), kDefaultRowHeight);

        // Saved again, it is written in the current form and reads back the same.
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QVERIFY(saveNative(t, out, QStringLiteral("again.plm")).ok());
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + kVersionAt), kNativeVersion);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        auto again = loadNative(in, QStringLiteral("again.plm"));
        QVERIFY(again.ok());
        QCOMPARE(differenceOf(again.value(), t), QString());
    }

    void formattingOfWholeColumnsStaysSmall() {
        // Every record bold and red, alternate records on a background and taller: the file
        // keeps runs, not a record per cell.
        constexpr int kRecords = 50000;
        Table t(kRecords + 1, 8);
        CellStyle boldRed;
        boldRed.bold = true;
        boldRed.foreColor = 0xffff0000;
        t.setStyles(1, 0, kRecords, 7, boldRed);
        for (int r = 1; r <= kRecords; r += 2) {
            t.changeStyles(r, 0, r, 7, [](CellStyle& s) { s.backColor = 0xffc0ffc0; });
        }
        for (int r = 1; r <= kRecords / 2; ++r) {
            t.setRowHeight(r, 480);
        }
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QVERIFY(saveNative(t, out, QStringLiteral("styled.plm")).ok());
        // One byte a cell for the empty texts, 16 bytes a run of alternating styles, one height
        // run.
        const qint64 cells = qint64{kRecords + 1} * 8;
        QVERIFY2(bytes.size() < cells + qint64{kRecords} * 8 * 16 + 1000,
                 qPrintable(QString::number(bytes.size())));
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        auto loaded = loadNative(in, QStringLiteral("styled.plm"));
        QVERIFY(loaded.ok());
        QCOMPARE(differenceOf(loaded.value(), t), QString());

        // The same bold red on every cell alone takes a run a column.
        Table plain(kRecords + 1, 8);
        plain.setStyles(1, 0, kRecords, 7, boldRed);
        QByteArray small;
        QBuffer smallOut(&small);
        smallOut.open(QIODevice::WriteOnly);
        QVERIFY(saveNative(plain, smallOut, QStringLiteral("bold.plm")).ok());
        QVERIFY2(small.size() < cells + 1000, qPrintable(QString::number(small.size())));
    }

    void missingFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("none.plm"));
        auto loaded = loadNative(path);
        QVERIFY(!loaded.ok());
        QCOMPARE(loaded.error().reason, FileError::Reason::Missing);
        QCOMPARE(loaded.message(), QStringLiteral("Cannot open %1: the file does not exist.")
                                       .arg(QDir::toNativeSeparators(path)));
    }

    void failedSaveLeavesTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.plm"));
        QVERIFY(saveNative(formattedTable(), path).ok());
        const QByteArray before = readFile(path);
        // A folder where the file's temporary twin would go makes the save fail part-way.
        const QString blocked = dir.filePath(QStringLiteral("blocked.plm"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blocked.plm")));
        QVERIFY(!saveNative(formattedTable(), blocked).ok());
        QVERIFY(QFileInfo(blocked).isDir());
        QCOMPARE(readFile(path), before);
        // A save over an existing file replaces all of it.
        QVERIFY(saveNative(tableOf({{"x"}}), path).ok());
        auto loaded = loadNative(path);
        QVERIFY(loaded.ok());
        QCOMPARE(rowsOf(loaded.value()), (Rows{{"x"}}));
    }
};

QTEST_GUILESS_MAIN(TstNativeFile)
#include "tst_nativefile.moc"
