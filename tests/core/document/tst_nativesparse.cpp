// The native file and the table's memory with empty cells, long runs of formatting and little
// memory: a file's size follows the table's content, runs stay runs when loaded and saved, a save
// without memory keeps the old file, and earlier versions still open.
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <new>

#include "DocumentTestSupport.h"
#include "core/document/NativeFile.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();  // the sanitizer's own count
#elif defined(Q_OS_LINUX)
#include <malloc.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace pellumar;
using namespace pellumar::testing;

namespace {

// The bytes the program has allocated now (0 where that cannot be told).
double allocatedBytes() {
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<double>(__sanitizer_get_current_allocated_bytes());
#elif defined(Q_OS_LINUX)
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
#else
    return 0;
#endif
}

QByteArray savedBytes(const Table& table) {
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (!saveNative(table, out, QStringLiteral("t.plm"))) {
        return {};
    }
    return bytes;
}

Result<Table> loadBytes(QByteArray bytes) {
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    return loadNative(in, QStringLiteral("t.plm"));
}

// A device that runs out of memory on its first write, as a save may anywhere.
class OutOfMemoryDevice : public QIODevice {
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { throw std::bad_alloc(); }
};

}  // namespace

class TstNativeSparse : public QObject {
    Q_OBJECT

private slots:
    void sizeFollowsTheContent_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<qint64>("most");  // bytes the file may take
        QTest::newRow("65,536 titles over 2,000 records of one field") << 0 << qint64(2000000);
        QTest::newRow("cells far apart in wide records") << 1 << qint64(1000 * 21 + 600);
        QTest::newRow("the most rows a table can have, all empty") << 2 << qint64(200);
        QTest::newRow("rows without columns") << 3 << qint64(100);
        QTest::newRow("empty records between filled ones") << 4 << qint64(5000);
    }

    void sizeFollowsTheContent() {
        QFETCH(int, which);
        QFETCH(qint64, most);
        Table t;
        switch (which) {
            case 0:
                t = Table(2001, kMaxColumns);
                for (int c = 0; c < kMaxColumns; ++c) {
                    t.setUtf8(0, c, "f" + std::to_string(c));
                }
                for (int r = 1; r <= 2000; ++r) {
                    t.setUtf8(r, 0, std::to_string(r % 10));
                }
                break;
            case 1:
                t = Table(5, 1000);
                t.setUtf8(1, 0, "first");
                t.setUtf8(1, 999, "last");
                t.setUtf8(2, 500, std::string(300, 'm'));  // a length of two bytes
                t.setUtf8(3, 1, "x");
                t.setUtf8(3, 2, "y");  // neighbours, no empty cell between them
                t.setUtf8(4, 998, "z");
                break;
            case 2:
                t = Table(kMaxRows, 3);
                break;
            case 3:
                t = Table(100000, 0);
                break;
            case 4:
                t = Table(300000, 4);
                for (int r = 0; r < 300000; r += 1000) {
                    t.setUtf8(r, r % 4, "at " + std::to_string(r));
                }
                break;
        }
        const QByteArray bytes = savedBytes(t);
        QVERIFY(!bytes.isEmpty());
        QVERIFY2(bytes.size() <= most, qPrintable(QString::number(bytes.size())));
        auto loaded = loadBytes(bytes);
        QVERIFY2(loaded.ok(), qPrintable(loaded.ok() ? QString() : loaded.message()));
        QCOMPARE(loaded.value().rowCount(), t.rowCount());
        QCOMPARE(loaded.value().columnCount(), t.columnCount());
        if (qint64(t.rowCount()) * t.columnCount() < 10000000) {
            QCOMPARE(differenceOf(loaded.value(), t), QString());
        } else if (which == 0) {
            for (const auto& [r, c] : {std::pair{0, 0}, {0, kMaxColumns - 1}, {2000, 0}, {1, 1}}) {
                QCOMPARE(loaded.value().utf8(r, c), t.utf8(r, c));
            }
        }
        QVERIFY(loaded.value().storageBytes() <= t.storageBytes() + 4096);
        // Rows in another order go through the same records.
        if (which == 1 || which == 4) {
            t.moveRows(1, 2, t.rowCount() - 2);
            auto moved = loadBytes(savedBytes(t));
            QVERIFY(moved.ok());
            QCOMPARE(differenceOf(moved.value(), t), QString());
        }
    }

    void readsVersion2Files() {
        // Written by the Pellumar that kept every cell of every record.
        auto loaded = loadNative(QFINDTESTDATA("data/styled-v2.plm"));
        QVERIFY2(loaded.ok(), qPrintable(loaded.ok() ? QString() : loaded.message()));
        const Table& t = loaded.value();
        QCOMPARE(t.rowCount(), 4);
        QCOMPARE(t.columnCount(), 5);
        QCOMPARE(t.columnAttributes(1).format, QStringLiteral("$#,###.00"));
        const QByteArray again = savedBytes(t);
        QCOMPARE(qFromLittleEndian<quint32>(again.constData() + 8), kNativeVersion);
        auto reread = loadBytes(again);
        QVERIFY(reread.ok());
        QCOMPARE(differenceOf(reread.value(), t), QString());
    }

    void runsStayRunsInMemory_data() {
        QTest::addColumn<quint32>("rows");
        QTest::addColumn<quint32>("cols");
        QTest::addColumn<double>("most");  // bytes the loaded table may take
        // Once 2 bytes a cell for the style and 4 a row for the height.
        QTest::newRow("a million records in a bold column, one height")
            << quint32(1000000) << quint32(1) << 1e5;
        // Once 2 KB a column for a style of one cell.
        QTest::newRow("65,536 columns with a style each")
            << quint32(2) << quint32(kMaxColumns) << 512.0 * kMaxColumns;
    }

    void runsStayRunsInMemory() {
        QFETCH(quint32, rows);
        QFETCH(quint32, cols);
        QFETCH(double, most);
        QByteArray file = version2NativeFile(rows, cols);
        const double before = allocatedBytes();
        auto loaded = loadBytes(file);
        QVERIFY2(loaded.ok(), qPrintable(loaded.ok() ? QString() : loaded.message()));
        const double taken = allocatedBytes() - before;
        file.clear();
        if (before > 0) {
            QVERIFY2(taken < most, qPrintable(QStringLiteral("%1 bytes").arg(taken)));
        }
        const Table& t = loaded.value();
        QVERIFY(t.style(0, 0).bold);
        QVERIFY(t.style(int(rows) - 1, int(cols) - 1).bold);
        QCOMPARE(t.rowHeight(0), kDefaultRowHeight);
        QCOMPARE(t.rowHeight(int(rows) - 1), 480);
        // Saved, each run stays one run: a few bytes beyond the columns' settings.
        const QByteArray again = savedBytes(t);
        QVERIFY2(again.size() < qint64(cols) * (21 + 16) + 200,
                 qPrintable(QString::number(again.size())));
        auto reread = loadBytes(again);
        QVERIFY(reread.ok());
        QVERIFY(reread.value().style(int(rows) - 1, 0).bold);
        QCOMPARE(reread.value().rowHeight(int(rows) - 1), 480);
        QCOMPARE(reread.value().rowHeight(0), kDefaultRowHeight);
    }

    void aSaveWithoutMemoryKeepsGoing() {
        OutOfMemoryDevice device;
        device.open(QIODevice::WriteOnly);
        const auto saved = saveNative(tableOf({{"a", "b"}}), device, QStringLiteral("x.plm"));
        QVERIFY(!saved.ok());
        QCOMPARE(saved.error().reason, FileError::Reason::NoMemory);
        QCOMPARE(saved.message(),
                 QStringLiteral("Cannot save x.plm: there is not enough memory to write it."));
    }

    void aSaveInLittleMemoryKeepsTheOldFile() {
#if defined(__SANITIZE_ADDRESS__) || !defined(Q_OS_LINUX)
        QSKIP("needs a limited address space, which the address sanitizer cannot run in");
#else
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.plm"));
        QVERIFY(saveNative(tableOf({{ "old" }}), path).ok());
        const QByteArray old = readFile(path);
        // A column of 6 million alternating styles: its save needs blocks of memory larger than
        // the allocator ever keeps at hand (tens of MB), beyond the table.
        Table t(6000000, 1);
        CellStyle bold;
        bold.bold = true;
        for (int r = 0; r < t.rowCount(); r += 2) {
            t.setStyle(r, 0, bold);
        }
        const pid_t child = fork();
        if (child == 0) {
            // An abort ends the child at once, without the test library's report of it.
            std::signal(SIGABRT, SIG_DFL);
            malloc_trim(0);  // what the table's making left free goes back to the system
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            QFile status(QStringLiteral("/proc/self/statm"));
            status.open(QIODevice::ReadOnly);
            const qint64 pages = status.readAll().split(' ').value(0).toLongLong();
            limit.rlim_cur = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + (4 << 20));
            setrlimit(RLIMIT_AS, &limit);
            bool told = false;
            try {
                const auto saved = saveNative(t, path);
                told = !saved.ok() &&
                       saved.message().contains(QStringLiteral("there is not enough memory"));
                if (!told) {
                    std::fprintf(stderr, "the save gave: %s\n",
                                 saved.ok() ? "success" : qPrintable(saved.message()));
                }
            } catch (...) {
                _exit(5);  // the save let an exception out
            }
            _exit(told ? 0 : 3);
        }
        int status = 0;
        QElapsedTimer waited;
        waited.start();
        while (waitpid(child, &status, WNOHANG) == 0) {
            if (waited.elapsed() > 60000) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                QFAIL("the save did not end");
            }
            QThread::msleep(20);
        }
        QVERIFY2(WIFEXITED(status), "the save ended the process");
        QVERIFY2(WEXITSTATUS(status) != 5, "the save let an exception out");
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(readFile(path), old);
#endif
    }
};

QTEST_GUILESS_MAIN(TstNativeSparse)
#include "tst_nativesparse.moc"
