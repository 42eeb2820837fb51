// Peak memory of loads, measured on pellumar-convert in a child process of its own: files whose
// shapes once cost memory out of all proportion to their size stay within three times the file,
// eight bytes a filled cell and 64 MB, or are refused before the memory is spent.
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "core/document/Workbook.h"

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

using namespace pellumar::testing;

namespace {

struct Peak {
    int exitCode = -1;
    double megabytes = 0;  // the child's peak resident memory
    QString message;       // what it wrote on standard error
};

#ifdef Q_OS_LINUX
// Runs pellumar-convert IN OUT and gives its exit code, its own peak memory and its message. (A
// child's peak counts the parent's memory at the moment it starts, so the parent holds no file
// in memory then.)
Peak convertMeasured(const QString& in, const QString& out, const QString& errors) {
    const QByteArray program = PELLUMAR_CONVERT_PATH;
    const QByteArray inBytes = QFile::encodeName(in);
    const QByteArray outBytes = QFile::encodeName(out);
    const QByteArray errorBytes = QFile::encodeName(errors);
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(inBytes.constData()),
                    const_cast<char*>(outBytes.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorBytes.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return {};
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status)) {
        return {};
    }
    return {WEXITSTATUS(status), static_cast<double>(usage.ru_maxrss) / 1024.0,
            QString::fromUtf8(readFile(errors)).trimmed()};
}
#endif

// A file as pieces: (text, times) pairs, written one after the other.
using Parts = QList<QPair<QByteArray, int>>;

bool writeParts(const QString& path, const Parts& parts) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (const auto& [text, times] : parts) {
        for (int i = 0; i < times; ++i) {
            if (f.write(text) != text.size()) {
                return false;
            }
        }
    }
    return true;
}

QByteArray titleLine(int fields) {
    QByteArray line;
    for (int c = 1; c <= fields; ++c) {
        line += (c > 1 ? ",f" : "f") + QByteArray::number(c);
    }
    return line + "\n";
}

QByteArray number32(quint32 n) {
    const quint32 le = qToLittleEndian(n);
    return QByteArray(reinterpret_cast<const char*>(&le), 4);
}

}  // namespace

class TstLoadMemory : public QObject {
    Q_OBJECT

private slots:
    void peakMemory_data() {
        QTest::addColumn<Parts>("parts");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("filledCells");
        QTest::addColumn<QString>("message");  // "": the file loaded
        // Once 976 MB: every column's storage was reserved for rows the file never filled.
        const QByteArray titles = titleLine(1900);
        QTest::newRow("1,900 titles, blank lines, one long field")
            << Parts{{titles, 1}, {"\n", 66000}, {QByteArray(1 << 20, 'x'), 3}} << "wide.csv"
            << 1901.0 << "";
        // Once 549 MB: the line was split whole before its field count was looked at.
        QTest::newRow("a line of ten million commas")
            << Parts{{QByteArray(1 << 20, ','), 10}, {"\n", 1}} << "commas.csv" << 0.0
            << "pellumar-convert: %1 is too large to open: a line has more than 65,536 fields, "
               "the most columns a table can have.";
        // Once refused as "too many cells" after 624 MB, though its empty cells cost nothing.
        QTest::newRow("300 titles over two-field records")
            << Parts{{titleLine(300), 1}, {"1,2\n", 1000000}} << "tall.csv" << 2000300.0 << "";
        // A native file of rows without columns: a byte a row, refused at its end by its check
        // sum.
        const quint32 rows = 8000000;
        QTest::newRow("empty native rows")
            << Parts{{QByteArray("\x89PLM\r\n\x1a\n", 8) + number32(1) + number32(rows) +
                          QByteArray(12, '\0'),
                      1},
                     {QByteArray(rows / 8, '\0'), 8},
                     {QByteArray(8, '\0'), 1}}
            << "zeros.plm" << 0.0
            << "pellumar-convert: %1 is damaged: its contents do not match their check sum.";
        // Once 2 KB a column for a style of one cell: 160 MB for 2.5 MB.
        QTest::newRow("65,536 columns with a style each, loaded and saved")
            << Parts{{version2NativeFile(2, 65536), 1}} << "columns.plm" << 0.0 << "saved";
        // Once 4 bytes a record for the height, and as much again to save it.
        QTest::newRow("a height run over 16 million empty records, loaded and saved")
            << Parts{{version2NativeFile(16000000, 0), 1}} << "heights.plm" << 0.0 << "saved";
    }

    void peakMemory() {
#ifdef Q_OS_LINUX
        QFETCH(Parts, parts);
        QFETCH(QString, name);
        QFETCH(double, filledCells);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString in = dir.filePath(name);
        QVERIFY(writeParts(in, parts));
        parts.clear();
        // The output goes to a folder that does not exist: what is measured is the load. A file
        // marked "saved" is saved too, as a native file.
        const bool saved = message == QStringLiteral("saved");
        const QString out =
            dir.filePath(saved ? QStringLiteral("out.plm") : QStringLiteral("none/out.plm"));
        const Peak peak = convertMeasured(in, out, dir.filePath(QStringLiteral("errors.txt")));
        QCOMPARE(peak.exitCode, saved ? 0 : 1);
        QCOMPARE(peak.message, saved ? QString()
                               : message.isEmpty()
                                   ? QStringLiteral("pellumar-convert: Cannot save %1: the folder "
                                                    "does not exist.")
                                         .arg(QDir::toNativeSeparators(out))
                                   : message.arg(QDir::toNativeSeparators(in)));
        const double size = static_cast<double>(QFileInfo(in).size());
        double bound = 3.0 * size / (1 << 20) + 8.0 * filledCells / (1 << 20) + 64;
#if defined(__SANITIZE_ADDRESS__)
        bound = bound * 1.5 + 64;  // the sanitizer's shadow memory and quarantine of freed blocks
#endif
        QVERIFY2(
            peak.megabytes > 0 && peak.megabytes < bound,
            qPrintable(QStringLiteral("peak %1 MB, bound %2 MB").arg(peak.megabytes).arg(bound)));
        qInfo("%s: %.0f MB peak (bound %.0f MB)", qPrintable(name), peak.megabytes, bound);
#else
        QSKIP("measures the peak memory of a child process through Linux's wait4");
#endif
    }

    // A workbook's sheet is streamed: reading it costs eight bytes a filled cell and the cells'
    // text (what the table keeps), and 64 MB at most besides, however big the sheet's XML.
    void workbookPeakMemory() {
#ifdef Q_OS_LINUX
        // The workbook is made by the converter from comma text written line by line, without
        // taking memory here: a child's peak counts this process's memory when it starts.
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("big.csv"));
        const QString in = dir.filePath(QStringLiteral("big.xlsx"));
        double cells = 0;
        double text = 0;
        {
            QFile file(csv);
            QVERIFY(file.open(QIODevice::WriteOnly));
            char cell[32];
            for (int r = 0; r < 80000; ++r) {
                for (int c = 0; c < 10; ++c) {
                    const int n = c % 3 ? std::snprintf(cell, sizeof cell, "text %d.%d", r, c)
                                        : std::snprintf(cell, sizeof cell, "%d", r * 10 + c);
                    file.write(cell, n);
                    file.write(c < 9 ? "," : "\n", 1);
                    cells += 1;
                    text += n;
                }
            }
        }
        QCOMPARE(convertMeasured(csv, in, dir.filePath(QStringLiteral("errors.txt"))).exitCode, 0);
        const QString out = dir.filePath(QStringLiteral("none/out.csv"));
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer keeps up to 256 MB of freed blocks aside; the reader frees a block of
        // XML after each run of rows.
        const QByteArray options = qgetenv("ASAN_OPTIONS");
        qputenv("ASAN_OPTIONS", options + ":quarantine_size_mb=8");
#endif
        const Peak peak = convertMeasured(in, out, dir.filePath(QStringLiteral("errors.txt")));
#if defined(__SANITIZE_ADDRESS__)
        qputenv("ASAN_OPTIONS", options);
#endif
        QCOMPARE(peak.exitCode, 1);
        QVERIFY2(peak.message.contains(u"the folder does not exist"), qPrintable(peak.message));
        double bound = (8.0 * cells + text) / (1 << 20) + 64;
#if defined(__SANITIZE_ADDRESS__)
        bound = bound * 1.5 + 64;
#endif
        QVERIFY2(
            peak.megabytes > 0 && peak.megabytes < bound,
            qPrintable(QStringLiteral("peak %1 MB, bound %2 MB").arg(peak.megabytes).arg(bound)));
        qInfo("big.xlsx: %.0f MB peak (bound %.0f MB)", peak.megabytes, bound);
#else
        QSKIP("measures the peak memory of a child process through Linux's wait4");
#endif
    }
};

QTEST_GUILESS_MAIN(TstLoadMemory)
#include "tst_loadmemory.moc"
