// The edges of reading and writing files: a save that just fits a small disk, a name swapped for
// a pipe while a file opens, UTF-16 text without a byte-order mark, NUL bytes in text.
#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DocumentTestSupport.h"
#include "SmallDisk.h"
#include "core/document/FileAccess.h"
#include "core/document/TextFile.h"

using namespace pellumar;
using namespace pellumar::testing;

namespace {

// Text as UTF-16 bytes of either order, without a byte-order mark.
QByteArray utf16(const QString& text, bool bigEndian) {
    QByteArray bytes;
    for (const QChar c : text) {
        const char hi = static_cast<char>(c.unicode() >> 8);
        const char lo = static_cast<char>(c.unicode() & 0xFF);
        bytes.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return bytes;
}

Result<TextLoad> load(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return loadDelimited(buffer, QStringLiteral("t.txt"), u'\t');
}

}  // namespace

class TstFileEdges : public QObject {
    Q_OBJECT

private slots:
    // The free-space check never refuses a save that fits, to the byte.
    void aSaveThatJustFitsIsMade() {
        SmallDisk disk(qint64{64} << 10);
        if (!disk.usable()) {
            QSKIP(qPrintable(disk.reason()));
        }
        // 2,048 lines of three empty fields: 4 bytes each, two blocks of the disk exactly.
        Table table(2048, 3);
        QVERIFY(disk.fillLeaving(8192));
        const QString path = disk.filePath(QStringLiteral("fits.csv"));
        const auto saved = saveDelimited(table, path, u',');
        QVERIFY2(saved, qPrintable(saved ? QString() : saved.message()));
        QCOMPARE(QFileInfo(path).size(), 8192);
        QCOMPARE(disk.freeBytes(), 0);
        // One line more does not fit and is refused before it is written.
        table.insertRows(0, 1);
        const auto refused = saveDelimited(table, path, u',');
        QVERIFY(!refused);
        QCOMPARE(refused.message(),
                 QStringLiteral("Cannot save %1: it needs at least 8 KB of disk space, and the "
                                "disk has 0 bytes free.")
                     .arg(QDir::toNativeSeparators(path)));
        QCOMPARE(QFileInfo(path).size(), 8192);
    }

    // Another program renames pipes and files over the name while it is being opened: every
    // open gives a file or says it is not one, and none waits for a writer of a pipe.
    void aPipeSwappedInNeverBlocks() {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("data.csv")));
        QVERIFY(writeFile(QFile::decodeName(path), "a,b\n"));
        std::atomic<bool> stop = false;
        std::atomic<int> pipes = 0;
        std::atomic<bool> blocked = false;
        std::atomic<qint64> openSince = 0;  // ms of the open under way, 0 between opens
        QElapsedTimer clock;
        clock.start();
        // Every pipe keeps a second name, so that one an open waits on can be written to free it.
        const auto keptName = [&](int i) {
            return QFile::encodeName(dir.filePath(QStringLiteral("kept%1").arg(i)));
        };
        std::thread swapper([&] {
            const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
            const QByteArray plain = QFile::encodeName(dir.filePath(QStringLiteral("plain")));
            while (!stop) {
                if (::mkfifo(pipe.constData(), 0600) == 0) {
                    ::link(pipe.constData(), keptName(pipes++).constData());
                    ::rename(pipe.constData(), path.constData());
                }
                const int fd = ::open(plain.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                if (fd >= 0) {
                    [[maybe_unused]] const auto n = ::write(fd, "a,b\n", 4);
                    ::close(fd);
                    ::rename(plain.constData(), path.constData());
                }
            }
        });
        std::thread watchdog([&] {
            while (!stop) {
                const qint64 since = openSince;
                if (since != 0 && clock.elapsed() - since > 2000) {
                    blocked = true;
                    for (int i = 0; i < pipes; ++i) {
                        const int fd = ::open(keptName(i).constData(), O_WRONLY | O_NONBLOCK);
                        if (fd >= 0) {
                            ::close(fd);
                        }
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        int files = 0;
        // A second of opens, or until one waits.
        while (clock.elapsed() < 1000 && !blocked) {
            QFile file(QFile::decodeName(path));
            openSince = std::max<qint64>(1, clock.elapsed());
            const auto error = fileaccess::openForReading(file);
            openSince = 0;
            if (!error) {
                ++files;
                QVERIFY(!file.isSequential());
            } else {
                QVERIFY2(error->reason == FileError::Reason::NoAccess, qPrintable(error->message));
            }
        }
        stop = true;
        swapper.join();
        watchdog.join();
        QVERIFY2(!blocked, "an open waited for a writer of a pipe");
        QVERIFY(files > 0);
    }

    // Opening a pipe itself is refused at once, with the reason.
    void aPipeIsRefused() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pipe.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const auto loaded = loadDelimited(path, u',');
        QVERIFY(!loaded);
        QVERIFY2(loaded.message().endsWith(u"it is not a file but a device, a pipe or a socket."),
                 qPrintable(loaded.message()));
    }

    void utf16WithoutAMark_data() {
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Rows>("rows");
        const QString latin =
            QStringLiteral("Name\tCity\r\nAnn\tK\u00f6ln\r\n\u00c9mile\tN\u00eemes\r\n");
        const Rows latinRows{{"Name", "City"}, {"Ann", "K\u00f6ln"}, {"\u00c9mile", "N\u00eemes"}};
        QTest::newRow("little endian") << false << latin << latinRows;
        QTest::newRow("big endian") << true << latin << latinRows;
        // Other scripts past the first lines are read in the order those lines show.
        const QString mixed = latin + latin.repeated(100).remove(QStringLiteral("Name\tCity\r\n")) +
                              QStringLiteral("\u0100\u4e2d\tx\r\n");
        Rows mixedRows = latinRows;
        for (int i = 0; i < 100; ++i) {
            mixedRows << latinRows.mid(1);
        }
        mixedRows << QStringList{QStringLiteral("\u0100\u4e2d"), "x"};
        QTest::newRow("other scripts later, little endian") << false << mixed << mixedRows;
        QTest::newRow("other scripts later, big endian") << true << mixed << mixedRows;
    }

    // Read in its byte order, and saved back the same way: the same bytes.
    void utf16WithoutAMark() {
        QFETCH(bool, bigEndian);
        QFETCH(QString, text);
        QFETCH(Rows, rows);
        const QByteArray bytes = utf16(text, bigEndian);
        auto loaded = load(bytes);
        QVERIFY(loaded);
        QCOMPARE(rowsOf(loaded.value().table), rows);
        QCOMPARE(loaded.value().encoding,
                 bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le);
        QCOMPARE(loaded.value().warnings, QStringList{});
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(saveDelimited(loaded.value().table, out, QStringLiteral("t.txt"), u'\t',
                              loaded.value().encoding));
        QCOMPARE(out.data(), bytes);
    }

    // What the user is told about a text file with NUL bytes or half a UTF-16 character.
    void warnings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("warning");
        const QString notText = QStringLiteral(
            "t.txt holds NUL bytes and does not look like text: it was read as "
            "text all the same.");
        const QString oddByte = QStringLiteral(
            "t.txt ends in a stray byte (0x%1), half of a UTF-16 character: it "
            "was read as the character \uFFFD.");
        QTest::newRow("NUL bytes here and there")
            << QByteArray("a\0b\tc\r\nd\te\0\0f\r\n", 15) << notText;
        QTest::newRow("NUL bytes on both sides of UTF-16 pairs")
            << QByteArray("a\0\0b\tc\0\0d\r\n", 11) << notText;
        QTest::newRow("UTF-16 without a mark, odd byte at the end")
            << utf16(QStringLiteral("ab\tcd\r\n"), false) + 'Z' << oddByte.arg("5A");
        QTest::newRow("UTF-16 with a mark, odd byte at the end")
            << QByteArray("\xFE\xFF") + utf16(QStringLiteral("ab\tcd\r\n"), true) + '\xE9'
            << oddByte.arg("E9");
    }

    void warnings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, warning);
        const auto loaded = load(bytes);
        QVERIFY(loaded);
        QCOMPARE(loaded.value().warnings, QStringList{warning});
    }
};

QTEST_GUILESS_MAIN(TstFileEdges)
#include "tst_fileedges.moc"
