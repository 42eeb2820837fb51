// Comma and tab text files: what loading makes of a file's bytes, what saving writes, the round
// trip over tricky cells, the encodings and the errors.
#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "DocumentTestSupport.h"
#include "core/document/TextFile.h"
#include "core/grid/GridModel.h"

using namespace pellumar;
using namespace pellumar::testing;

Q_DECLARE_METATYPE(pellumar::TextEncoding)

namespace {

Result<TextLoad> loadBytes(const QByteArray& bytes, char16_t sep = u',') {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return loadDelimited(buffer, QStringLiteral("test.csv"), sep);
}

QByteArray saveBytes(const Table& table, char16_t sep = u',',
                     TextEncoding encoding = TextEncoding::Utf8, TextEncoding* written = nullptr) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    auto result = saveDelimited(table, buffer, QStringLiteral("test.csv"), sep, encoding);
    if (!result) {
        qWarning() << result.message();
        return {};
    }
    if (written) {
        *written = result.value();
    }
    return bytes;
}

// The UTF-16 bytes of a text, after its byte-order mark.
QByteArray utf16Bytes(const QString& text, bool bigEndian) {
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char hi = static_cast<char>(c.unicode() >> 8);
        const char lo = static_cast<char>(c.unicode() & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

// A device that fails as a full disk does when the system gives the reason only by its error
// code.
class SilentlyFullDevice : public QIODevice {
public:
    SilentlyFullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override {
        errno = ENOSPC;
        return -1;
    }
};

// A device that takes nothing: a full disk.
class FullDevice : public QIODevice {
public:
    FullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
};

}  // namespace

class TstTextFile : public QObject {
    Q_OBJECT

private slots:
    void loading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Rows>("rows");

        QTest::newRow("empty file") << QByteArray() << Rows{};
        QTest::newRow("LF") << QByteArray("a,b\n1,2\n") << Rows{{"a", "b"}, {"1", "2"}};
        QTest::newRow("CRLF") << QByteArray("a,b\r\n1,2\r\n") << Rows{{"a", "b"}, {"1", "2"}};
        QTest::newRow("lone CR") << QByteArray("a,b\r1,2") << Rows{{"a", "b"}, {"1", "2"}};
        QTest::newRow("no line end after the last line")
            << QByteArray("a,b\r\n1,2") << Rows{{"a", "b"}, {"1", "2"}};
        QTest::newRow("blank lines are empty records")
            << QByteArray("a,b\n\n1,2\n\n") << Rows{{"a", "b"}, {"", ""}, {"1", "2"}, {"", ""}};
        QTest::newRow("a lone line end is one empty record") << QByteArray("\n") << Rows{{""}};
        QTest::newRow("widest line wins") << QByteArray("a\n1,2,3\nx,y\n")
                                          << Rows{{"a", "", ""}, {"1", "2", "3"}, {"x", "y", ""}};
        QTest::newRow("trailing separator makes an empty last field")
            << QByteArray("a,\n") << Rows{{"a", ""}};
        QTest::newRow("quoted separator, quotes and line breaks")
            << QByteArray("\"x,y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\n")
            << Rows{{"x,y", "say \"hi\"", "two\r\nlines"}};
        QTest::newRow("empty quoted field") << QByteArray("\"\",b") << Rows{{"", "b"}};
        QTest::newRow("quotes inside an unquoted field are text")
            << QByteArray("5\" disk,a\"b\"\n") << Rows{{"5\" disk", "a\"b\""}};
        QTest::newRow("spaces are kept") << QByteArray("  a , b  \n") << Rows{{"  a ", " b  "}};
        QTest::newRow("text after a closing quote is kept")
            << QByteArray("\"ab\"cd,e\n") << Rows{{"abcd", "e"}};
        QTest::newRow("an unclosed quote runs to the end of the file")
            << QByteArray("a,\"b,c\nd") << Rows{{"a", "b,c\nd"}};
        QTest::newRow("byte-order mark dropped")
            << QByteArray("\xEF\xBB\xBFName,Z\xC3\xBCrich\n") << Rows{{"Name", "Zürich"}};
        QTest::newRow("not UTF-8: Windows-1252")
            << QByteArray("caf\xE9,na\xEFve,\x80 5\n") << Rows{{"café", "naïve", "€ 5"}};
    }

    void loading() {
        QFETCH(QByteArray, bytes);
        QFETCH(Rows, rows);
        auto loaded = loadBytes(bytes);
        QVERIFY2(loaded.ok(), qPrintable(loaded.ok() ? QString() : loaded.message()));
        QCOMPARE(rowsOf(loaded.value().table), rows);
    }

    void tabTextLeavesCommasAlone() {
        auto loaded = loadBytes("a,b\t\"c\td\"\t\n", u'\t');
        QVERIFY(loaded.ok());
        QCOMPARE(rowsOf(loaded.value().table), (Rows{{"a,b", "c\td", ""}}));
    }

    void encodingOfTheFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::newRow("ASCII") << QByteArray("a,b\n") << TextEncoding::Utf8;
        QTest::newRow("UTF-8") << QByteArray("\xC3\xA9\n") << TextEncoding::Utf8;
        QTest::newRow("UTF-8 with a byte-order mark")
            << QByteArray("\xEF\xBB\xBF\xC3\xA9\n") << TextEncoding::Utf8Bom;
        QTest::newRow("only a byte-order mark")
            << QByteArray("\xEF\xBB\xBF") << TextEncoding::Utf8Bom;
        QTest::newRow("Latin letters") << QByteArray("\xE9\n") << TextEncoding::Windows1252;
        QTest::newRow("invalid late in the file")
            << (QByteArray("\xC3\xA9,x\n").repeated(100) + QByteArray("\xFF\n").repeated(101))
            << TextEncoding::Windows1252;
        QTest::newRow("UTF-8 with one stray byte late in the file")
            << (QByteArray("\xC3\xA9,x\n").repeated(100000) + "\xFF\n") << TextEncoding::Utf8;
        QTest::newRow("overlong form") << QByteArray("\xC0\xAF") << TextEncoding::Windows1252;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << TextEncoding::Windows1252;
        QTest::newRow("cut short") << QByteArray("a\xE2\x82") << TextEncoding::Windows1252;
    }

    void encodingOfTheFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        auto loaded = loadBytes(bytes);
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.value().encoding, encoding);
    }

    void windows1252IsReadWhole() {
        // The whole file is read again as Windows-1252, the lines before the first bad byte too.
        auto loaded = loadBytes(QByteArray("\xC3\xA9\n").repeated(200000) +
                                QByteArray("\xE9\n").repeated(200001));
        QVERIFY(loaded.ok());
        const Table& t = loaded.value().table;
        QCOMPARE(t.rowCount(), 400001);
        QCOMPARE(t.text(0, 0), QStringLiteral("Ã©"));
        QCOMPARE(t.text(200000, 0), QStringLiteral("é"));
        QVERIFY(loaded.value().warnings.isEmpty());
    }

    void savedBytes_data() {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain, CRLF, every cell in every line")
            << Rows{{"a", "b"}, {"1", ""}} << QByteArray("a,b\r\n1,\r\n");
        QTest::newRow("empty records")
            << Rows{{"t", "u"}, {"", ""}, {"", ""}} << QByteArray("t,u\r\n,\r\n,\r\n");
        QTest::newRow("quoted exactly when needed")
            << Rows{{"x,y", "a\"b", "l1\nl2", "cr\r", " lead", "trail ", "in side", "5.5"}}
            << QByteArray(
                   "\"x,y\",\"a\"\"b\",\"l1\nl2\",\"cr\r\",\" lead\",\"trail \",in side,5.5\r\n");
        QTest::newRow("a tab is no reason in a comma file but a space at the ends is")
            << Rows{{"a\tb", "\tc"}} << QByteArray("a\tb,\"\tc\"\r\n");
        QTest::newRow("a first cell like a byte-order mark")
            << Rows{{QString(QChar(0xFEFF)) + "x"}} << QByteArray("\"\xEF\xBB\xBFx\"\r\n");
    }

    void savedBytes() {
        QFETCH(Rows, rows);
        QFETCH(QByteArray, bytes);
        QCOMPARE(saveBytes(tableOf(rows)), bytes);
    }

    void tabTextQuotesTabs() {
        QCOMPARE(saveBytes(tableOf({{"a,b", "c\td"}}), u'\t'), QByteArray("a,b\t\"c\td\"\r\n"));
    }

    void roundTrip_data() {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<bool>("tab");
        const QString longText = QString(300000, u'x') + QStringLiteral(",\"\n end");
        const Rows tricky{
            {"Title", "Other", "", "Last"},
            {"", "", "", ""},
            {",", "\"", "\"\"", "a,\"b\",c"},
            {"\n", "\r\n", "\r", "x\n\ny"},
            {" ", "  lead", "trail  ", "\tt"},
            {"Zürich", "Ελλάδα", "東京", "😀"},
            {longText, "after", "", longText.left(1000)},
            {"\t", "a\tb", "", "end"},
        };
        QTest::newRow("comma") << tricky << false;
        QTest::newRow("tab") << tricky << true;
        QTest::newRow("one empty cell") << Rows{{""}} << false;
        QTest::newRow("empty last records") << Rows{{"a"}, {""}, {""}} << false;
        QTest::newRow("no rows") << Rows{} << false;
    }

    void roundTrip() {
        QFETCH(Rows, rows);
        QFETCH(bool, tab);
        const char16_t sep = tab ? u'\t' : u',';
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.csv"));
        const Table table = tableOf(rows);
        QVERIFY(saveDelimited(table, path, sep).ok());
        auto loaded = loadDelimited(path, sep);
        QVERIFY(loaded.ok());
        QCOMPARE(rowsOf(loaded.value().table), rows);
    }

    void writtenBackInItsEncoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8") << QByteArray("Z\xC3\xBCrich,x\r\n");
        QTest::newRow("UTF-8 with a byte-order mark")
            << QByteArray("\xEF\xBB\xBFZ\xC3\xBCrich\r\n");
        QTest::newRow("Windows-1252")
            << QByteArray("caf\xE9,\x80,\x81\x8D\x8F\x90\x9D,\xFF\r\n\"na\xEFve\"\"\",,,\r\n");
    }

    void writtenBackInItsEncoding() {
        QFETCH(QByteArray, bytes);
        auto loaded = loadBytes(bytes);
        QVERIFY(loaded.ok());
        TextEncoding written{};
        QCOMPARE(saveBytes(loaded.value().table, u',', loaded.value().encoding, &written), bytes);
        QCOMPARE(written, loaded.value().encoding);
    }

    void windows1252OnlyWhenItReadsBack_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextEncoding>("written");
        QTest::newRow("fits") << QStringLiteral("café €") << TextEncoding::Windows1252;
        QTest::newRow("plain ASCII") << QStringLiteral("abc") << TextEncoding::Windows1252;
        QTest::newRow("a character beyond the code page")
            << QStringLiteral("café 東京") << TextEncoding::Utf8;
        // Its Windows-1252 bytes (C3 A9) would be read back as UTF-8 "é".
        QTest::newRow("bytes that look like UTF-8") << QStringLiteral("Ã©") << TextEncoding::Utf8;
        // C3 A9 E9: one sequence and one stray byte would be read as UTF-8 with a stray byte.
        QTest::newRow("as many stray bytes as sequences")
            << QStringLiteral("Ã© é") << TextEncoding::Utf8;
        QTest::newRow("more stray bytes than sequences")
            << QStringLiteral("Ã© é è") << TextEncoding::Windows1252;
    }

    void windows1252OnlyWhenItReadsBack() {
        QFETCH(QString, text);
        QFETCH(TextEncoding, written);
        const Table table = tableOf({{text, "x"}});
        TextEncoding actual{};
        const QByteArray bytes = saveBytes(table, u',', TextEncoding::Windows1252, &actual);
        QCOMPARE(actual, written);
        auto loaded = loadBytes(bytes);
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.value().table.text(0, 0), text);
    }

    void firstLineAsTitlesOrAsData() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("three.csv"));
        QVERIFY(writeFile(path, "Name,City\nAnn,Oslo\nBob,Rome\n"));
        auto loaded = loadDelimited(path, u',');
        QVERIFY(loaded.ok());

        // First line as titles: the table goes into a grid whose row 0 is its title row.
        GridModel titles;
        titles.setFixedRows(1);
        titles.replaceTable(std::move(loaded.value().table));
        QCOMPARE(titles.rowCount(), 2);
        QCOMPARE(titles.headerData(1, Qt::Horizontal).toString(), QStringLiteral("City"));
        QCOMPARE(titles.table().text(1, 0), QStringLiteral("Ann"));

        // First line as data: the caller puts the file's rows below an empty title row.
        auto again = loadDelimited(path, u',');
        QVERIFY(again.ok());
        Table data = std::move(again.value().table);
        data.insertRows(0, 1);
        GridModel records;
        records.setFixedRows(1);
        records.replaceTable(std::move(data));
        QCOMPARE(records.rowCount(), 3);
        QCOMPARE(records.headerData(0, Qt::Horizontal).toString(), QString());
        QCOMPARE(records.table().text(1, 0), QStringLiteral("Name"));
        QCOMPARE(records.table().text(3, 1), QStringLiteral("Rome"));

        // Written without the title line, the records give back the lines of the file.
        auto withoutTitles = [&] {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            const bool ok = saveDelimited(records.table(), buffer, QStringLiteral("three.csv"),
                                          u',', TextEncoding::Utf8, TitleLine::Skipped)
                                .ok();
            return ok ? bytes : QByteArray();
        };
        QCOMPARE(withoutTitles(), QByteArray("Name,City\r\nAnn,Oslo\r\nBob,Rome\r\n"));
        // The first line written is the one whose first field must not pass for a byte-order mark.
        records.setText(1, 0, QStringLiteral("\uFEFFName"));
        QVERIFY(withoutTitles().startsWith("\"\xEF\xBB\xBFName\",City\r\n"));
    }

    void bigFileAcrossChunks() {
        // Lines and a long quoted field that cross the reader's chunks come out whole.
        QByteArray bytes;
        for (int r = 0; r < 60000; ++r) {
            bytes +=
                QByteArray::number(r) + ",\"q,\"\"" + QByteArray::number(r * 7) + "\",word\r\n";
        }
        const QByteArray longField = "\"" + QByteArray(5 << 20, 'z') + "\r\n\"\"\"";
        bytes += longField + ",end\r\n";
        auto loaded = loadBytes(bytes);
        QVERIFY(loaded.ok());
        const Table& t = loaded.value().table;
        QCOMPARE(t.rowCount(), 60001);
        QCOMPARE(t.text(59999, 1), QStringLiteral("q,\"%1").arg(59999 * 7));
        QCOMPARE(t.utf8(60000, 0).size(), size_t(5 << 20) + 3);
        QCOMPARE(t.text(60000, 1), QStringLiteral("end"));
    }

    void errors_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QStringLiteral("nothing.csv") << int(FileError::Reason::Missing)
                                 << QStringLiteral("Cannot open %1: the file does not exist.");
        QTest::newRow("a folder") << QStringLiteral("folder.csv")
                                  << int(FileError::Reason::NoAccess)
                                  << QStringLiteral("Cannot open %1: it is a folder, not a file.");
    }

    void errors() {
        QFETCH(QString, name);
        QFETCH(int, reason);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.csv")));
        const QString path = dir.filePath(name);
        auto loaded = loadDelimited(path, u',');
        QVERIFY(!loaded.ok());
        QCOMPARE(int(loaded.error().reason), reason);
        QCOMPARE(loaded.message(), message.arg(QDir::toNativeSeparators(path)));
    }

    void hostileFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("too many fields") << QByteArray(kMaxColumns, ',');
        QTest::newRow("a million commas, refused at the first field past the limit")
            << QByteArray(1000000, ',') + "\n";
    }

    void hostileFilesAreRefused() {
        QFETCH(QByteArray, bytes);
        auto loaded = loadBytes(bytes);
        QVERIFY(!loaded.ok());
        QCOMPARE(loaded.error().reason, FileError::Reason::TooLarge);
        QVERIFY(loaded.message().startsWith(QStringLiteral("test.csv is too large to open: ")));
    }

    // A line of exactly as many fields as a table has columns is taken whole, wherever it
    // stands; one field more is refused.
    void aLineOfTheMostFields_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("ok");
        QByteArray most;
        for (int c = 0; c < kMaxColumns; ++c) {
            most += (c ? "," : "") + QByteArray::number(c % 10);
        }
        QTest::newRow("the file's end") << most << 1 << true;
        QTest::newRow("ended by a line break") << most + "\r\n" << 1 << true;
        QTest::newRow("another line after it") << most + "\nlast" << 2 << true;
        QTest::newRow("after another line") << "first\n" + most << 2 << true;
        QTest::newRow("one more at the file's end") << most + ",x" << 0 << false;
        QTest::newRow("one more before a line break") << most + ",x\n" << 0 << false;
    }
    void aLineOfTheMostFields() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(bool, ok);
        auto loaded = loadBytes(bytes);
        QCOMPARE(loaded.ok(), ok);
        if (!ok) {
            QCOMPARE(loaded.error().reason, FileError::Reason::TooLarge);
            return;
        }
        const Table& t = loaded.value().table;
        QCOMPARE(t.columnCount(), kMaxColumns);
        QCOMPARE(t.rowCount(), rows);
        const int at = bytes.startsWith("first") ? 1 : 0;
        QCOMPARE(t.text(at, kMaxColumns - 1), QString::number((kMaxColumns - 1) % 10));
        QCOMPARE(t.text(at, 0), QStringLiteral("0"));
    }

    void progressAndCancelling() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.csv"));
        QVERIFY(writeFile(path, QByteArray("1234567,abcdefgh,\"x,y\"\r\n").repeated(800000)));
        const qint64 size = QFileInfo(path).size();
        QList<qint64> seen;
        auto loaded = loadDelimited(path, u',', [&](qint64 done, qint64 total) {
            seen << done;
            return total == size;
        });
        QVERIFY(loaded.ok());
        QVERIFY(seen.size() >= 3);
        QCOMPARE(seen.last(), size);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));

        auto cancelled = loadDelimited(path, u',', [](qint64, qint64) { return false; });
        QVERIFY(!cancelled.ok());
        QCOMPARE(cancelled.error().reason, FileError::Reason::Cancelled);
        QCOMPARE(cancelled.message(),
                 QStringLiteral("Opening %1 was cancelled.").arg(QDir::toNativeSeparators(path)));
    }

    void failedSaves() {
        QTemporaryDir dir;
        const Table table = tableOf({{"a", "b"}});
        const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/t.csv"));
        auto saved = saveDelimited(table, nowhere, u',');
        QVERIFY(!saved.ok());
        QCOMPARE(saved.message(), QStringLiteral("Cannot save %1: the folder does not exist.")
                                      .arg(QDir::toNativeSeparators(nowhere)));
        QVERIFY(!QFileInfo::exists(nowhere));

        FullDevice full;
        auto refused = saveDelimited(table, full, QStringLiteral("full.csv"), u',');
        QVERIFY(!refused.ok());
        QCOMPARE(refused.error().reason, FileError::Reason::WriteFailed);
        QCOMPARE(refused.message(),
                 QStringLiteral("Cannot save full.csv: No space left on device."));
    }

    void utf16_data() {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little endian") << false;
        QTest::newRow("big endian") << true;
    }

    void utf16() {
        QFETCH(bool, bigEndian);
        // What spreadsheet programs write as "Unicode Text": tab text in UTF-16 with its mark,
        // here with characters beyond the first plane and a quoted line break.
        const QString text = QStringLiteral("Name\tCity\r\nZoë\t東京 😀\r\n\"two\r\nlines\"\tx\r\n");
        const QByteArray bytes = utf16Bytes(text, bigEndian);
        auto loaded = loadBytes(bytes, u'\t');
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.value().encoding,
                 bigEndian ? TextEncoding::Utf16BeBom : TextEncoding::Utf16LeBom);
        QCOMPARE(rowsOf(loaded.value().table),
                 (Rows{{"Name", "City"}, {"Zoë", "東京 😀"}, {"two\r\nlines", "x"}}));
        // Saved back byte for byte.
        QCOMPARE(saveBytes(loaded.value().table, u'\t', loaded.value().encoding), bytes);
    }

    void utf16AcrossChunksAndBroken() {
        // Many lines, so that units and surrogate pairs fall across the reader's pieces.
        QString text;
        for (int r = 0; r < 150000; ++r) {
            text += QStringLiteral("%1,é😀,\"a\"\"b\"\r\n").arg(r);
        }
        auto loaded = loadBytes(utf16Bytes(text, false));
        QVERIFY(loaded.ok());
        const Table& t = loaded.value().table;
        QCOMPARE(t.rowCount(), 150000);
        QCOMPARE(t.text(149999, 0), QStringLiteral("149999"));
        QCOMPARE(t.text(77777, 1), QStringLiteral("é😀"));
        QCOMPARE(t.text(77777, 2), QStringLiteral("a\"b"));
        // A lone surrogate and an odd last byte read as replacement characters.
        QByteArray broken =
            utf16Bytes(QStringLiteral("a,") + QChar(0xD800) + QStringLiteral("b"), false) + "x";
        auto damaged = loadBytes(broken);
        QVERIFY(damaged.ok());
        QCOMPARE(rowsOf(damaged.value().table), (Rows{{"a", "\uFFFDb\uFFFD"}}));
    }

    void mixedEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QByteArray>("saved");  // empty: the same bytes
        // One stray Windows-1252 byte beside one UTF-8 character: UTF-8, the stray byte read as
        // Windows-1252, saved as UTF-8.
        QTest::newRow("one stray byte")
            << QByteArray("caf\xC3\xA9,na\xEFve\r\n") << Rows{{"café", "naïve"}}
            << TextEncoding::Utf8 << QByteArray("caf\xC3\xA9,na\xC3\xAFve\r\n");
        QTest::newRow("after a byte-order mark")
            << QByteArray("\xEF\xBB\xBF\xE9,x\r\n") << Rows{{"é", "x"}} << TextEncoding::Utf8Bom
            << QByteArray("\xEF\xBB\xBF\xC3\xA9,x\r\n");
        // More stray bytes than sequences: Windows-1252 throughout, and back the same.
        QTest::newRow("more stray bytes than sequences")
            << QByteArray("\xC3\xA9,\xE9,\xE8\r\n") << Rows{{"Ã©", "é", "è"}}
            << TextEncoding::Windows1252 << QByteArray();
        QTest::newRow("no sequence at all") << QByteArray("caf\xE9\r\n") << Rows{{"café"}}
                                            << TextEncoding::Windows1252 << QByteArray();
        // Written as Windows-1252, "þÿ" at the start would be the mark of UTF-16: it is quoted.
        QTest::newRow("a first cell like a UTF-16 mark")
            << QByteArray("\"\xFE\xFF\"\r\n") << Rows{{"þÿ"}} << TextEncoding::Windows1252
            << QByteArray();
    }

    void mixedEncodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(Rows, rows);
        QFETCH(TextEncoding, encoding);
        QFETCH(QByteArray, saved);
        auto loaded = loadBytes(bytes);
        QVERIFY(loaded.ok());
        QCOMPARE(rowsOf(loaded.value().table), rows);
        QCOMPARE(loaded.value().encoding, encoding);
        const QStringList warnings = loaded.value().warnings;
        if (saved.isEmpty()) {
            QVERIFY(warnings.isEmpty());
        } else {
            QCOMPARE(warnings,
                     QStringList{"test.csv mixes UTF-8 with another encoding: the characters "
                                 "that are not UTF-8 were read as Windows-1252, and the file will "
                                 "be saved as UTF-8."});
        }
        QCOMPARE(saveBytes(loaded.value().table, u',', encoding), saved.isEmpty() ? bytes : saved);
    }

    void unclosedQuote_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("last");  // the last cell
        QTest::newRow("LF") << QByteArray("a,b\nc,\"d\ne\nf") << 2 << "d\ne\nf";
        QTest::newRow("CRLF") << QByteArray("a\r\nb\r\n\"x,y") << 3 << "x,y";
        QTest::newRow("lone CR") << QByteArray("a\rb\r\"x") << 3 << "x";
        QTest::newRow("after a quoted line break")
            << QByteArray("\"q\nq\",1\n2,\"open\n") << 3 << "open\n";
        QTest::newRow("UTF-16") << utf16Bytes(QStringLiteral("é\r\n\"x"), false) << 2 << "x";
    }

    void unclosedQuote() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, last);
        // The data is kept; the user learns where the quote that swallowed it opened.
        auto loaded = loadBytes(bytes);
        QVERIFY(loaded.ok());
        const Table& t = loaded.value().table;
        QCOMPARE(t.text(t.rowCount() - 1, t.columnCount() - 1), last);
        QCOMPARE(loaded.value().warnings,
                 QStringList{QStringLiteral("test.csv ends inside a quoted field: the quote that "
                                            "opens it on line %1 is never closed, so the rest of "
                                            "the file is in one cell.")
                                 .arg(line)});
    }

    void emptyCellsTakeNoStorage() {
        // A wide title line, blank lines, short rows and one long field: the table holds what
        // the file fills, and nothing is made ahead on a guess.
        QByteArray bytes;
        for (int c = 0; c < 1900; ++c) {
            bytes += (c ? ",f" : "f") + QByteArray::number(c);
        }
        bytes += "\n" + QByteArray(66000, '\n') + QByteArray("x\n").repeated(2000) +
                 QByteArray(1 << 20, 'z');
        auto loaded = loadBytes(bytes);
        QVERIFY(loaded.ok());
        const Table& t = loaded.value().table;
        QCOMPARE(t.columnCount(), 1900);
        QCOMPARE(t.rowCount(), 1 + 66000 + 2000 + 1);
        // 1,900 titles in their columns' first small blocks, a row index, a column of short
        // texts and the long field.
        QVERIFY2(t.storageBytes() < (size_t{3} << 20),
                 qPrintable(QString::number(t.storageBytes())));

        // A title line much wider than its records is not refused for its shape.
        QByteArray tall;
        for (int c = 0; c < 300; ++c) {
            tall += (c ? ",t" : "t") + QByteArray::number(c);
        }
        tall += "\n" + QByteArray("1,2\n").repeated(100000);
        auto wide = loadBytes(tall);
        QVERIFY(wide.ok());
        QCOMPARE(wide.value().table.rowCount(), 100001);
        QCOMPARE(wide.value().table.columnCount(), 300);
    }

    void refusedBeforeTheMemoryIsSpent() {
        // Full rows 8,192 lines apart put a single cell into a fresh block of every column, which
        // the file's few bytes cannot fill: the load stops at its memory and says what it would
        // need.
        QByteArray full;
        for (int c = 0; c < 4000; ++c) {
            full += c ? ",x" : "x";
        }
        const QByteArray bytes = (full + "\n" + QByteArray(8192, '\n')).repeated(8);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        auto loaded =
            loadDelimited(buffer, QStringLiteral("scatter.csv"), u',', {}, quint64{64} << 20);
        QVERIFY(!loaded.ok());
        QCOMPARE(loaded.error().reason, FileError::Reason::TooLarge);
        const QRegularExpression said(QStringLiteral(
            "^scatter\\.csv is too large to open: its table would need about ([0-9.]+) (MB|GB) of "
            "memory, and only 64 MB is free\\.$"));
        const auto match = said.match(loaded.message());
        QVERIFY2(match.hasMatch(), qPrintable(loaded.message()));
        const double need = match.captured(1).toDouble() * (match.captured(2) == "GB" ? 1024 : 1);
        QVERIFY2(need > 1000, qPrintable(loaded.message()));  // 8 x 4,000 blocks of 64 KB

        // The same cells in rows next to each other fit.
        buffer.close();
        buffer.setData((full + "\n").repeated(8));
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(
            loadDelimited(buffer, QStringLiteral("dense.csv"), u',', {}, quint64{64} << 20).ok());
    }

    void notARegularFile() {
#ifdef Q_OS_UNIX
        // A pipe named .csv would block the open for ever.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pipe.csv"));
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        auto loaded = loadDelimited(path, u',');
        QVERIFY(!loaded.ok());
        QCOMPARE(loaded.error().reason, FileError::Reason::NoAccess);
        QCOMPARE(loaded.message(), QStringLiteral("Cannot open %1: it is not a file but a device, "
                                                  "a pipe or a socket.")
                                       .arg(QDir::toNativeSeparators(path)));
#else
        QSKIP("pipes in the file system are a Unix thing");
#endif
    }

    void aFullDiskIsNamed() {
        // The system's error code gives the reason when the device gives none.
        SilentlyFullDevice full;
        auto refused = saveDelimited(tableOf({{"a"}}), full, QStringLiteral("full.csv"), u',');
        QVERIFY(!refused.ok());
        QCOMPARE(refused.message(), QStringLiteral("Cannot save full.csv: the disk is full."));
    }

    void saveReplacesTheWholeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.csv"));
        QVERIFY(writeFile(path, QByteArray(10000, 'o')));
        QVERIFY(saveDelimited(tableOf({{"new"}}), path, u',').ok());
        QCOMPARE(readFile(path), QByteArray("new\r\n"));
    }
};

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
