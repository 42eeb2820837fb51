// How workbooks are written: the zip writer's parts read back byte for byte, what the .xlsx
// writer (libxlsxwriter) must not round off or drop, and saves whose disk fills (the temporary
// folder of the .xlsx writer, or the target's) fail with a message and keep the old file.
#include <QDirIterator>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "SmallDisk.h"
#include "WorkbookTestSupport.h"
#include "core/document/Workbook.h"
#include "core/document/WorkbookPackage.h"
#include "core/document/ZipWriter.h"

using namespace pellumar;
using namespace pellumar::testing;

Q_DECLARE_METATYPE(pellumar::WorkbookKind)

namespace {

// Sets TMPDIR for the life of the object.
class TempFolder {
public:
    explicit TempFolder(const QString& path)
        : old_(qgetenv("TMPDIR")), had_(qEnvironmentVariableIsSet("TMPDIR")) {
        qputenv("TMPDIR", QFile::encodeName(path));
    }
    ~TempFolder() {
        if (had_) {
            qputenv("TMPDIR", old_);
        } else {
            qunsetenv("TMPDIR");
        }
    }

private:
    QByteArray old_;
    bool had_;
};

// Texts as libxlsxwriter's constant-memory sheet holds them: about 60 bytes of XML a cell.
Table recordsOf(int rows) {
    Table table(rows, 10);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 10; ++c) {
            table.setText(r, c, QStringLiteral("cell %1 %2 xyzzy").arg(r * 7919 % 100003).arg(c));
        }
    }
    return table;
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QFileInfo(it.next()).fileName();
    }
    return files;
}

}  // namespace

class WorkbookSaveTest : public QObject {
    Q_OBJECT

private slots:
    // What the zip writer deflates or stores comes back the same through the reader, in the
    // pieces a streaming reader asks for.
    void zipPartsReadBack_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("deflate");
        QByteArray mixed;
        QRandomGenerator random(7);
        while (mixed.size() < (6 << 20)) {
            mixed += QByteArray::number(random.generate()).repeated(int(random.bounded(40)) + 1);
            mixed += char(random.bounded(256));
        }
        QTest::newRow("several MB, deflated") << mixed << true;
        QTest::newRow("several MB, stored") << mixed << false;
        QTest::newRow("empty") << QByteArray() << true;
    }
    void zipPartsReadBack() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, deflate);
        QTemporaryDir dir;
        const QString path = dir.filePath("parts.zip");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            workbook::ZipWriter zip(file);
            QVERIFY(zip.add(QStringLiteral("first"), "one", deflate));
            QVERIFY(zip.openEntry(QStringLiteral("big/part.xml"), deflate));
            for (qsizetype at = 0; at < bytes.size(); at += 100000) {
                QVERIFY(zip.write(bytes.constData() + at,
                                  std::min<qsizetype>(100000, bytes.size() - at)));
            }
            QVERIFY(zip.closeEntry());
            QVERIFY(zip.close());
        }
        auto package = workbook::Package::open(path, workbook::Kind::Xlsx);
        QVERIFY(package.ok());
        workbook::Package& p = *package.value();
        auto part = p.stream(QStringLiteral("big/part.xml"));
        QVERIFY(part);
        QCOMPARE(part->announced(), qint64(bytes.size()));
        QByteArray back;
        char piece[3001];
        for (qint64 got; (got = part->read(piece, sizeof piece)) > 0;) {
            back.append(piece, got);
        }
        QVERIFY(!p.failed());
        QCOMPARE(back.size(), bytes.size());
        QVERIFY(back == bytes);
        part.reset();
        QCOMPARE(p.readAll(QStringLiteral("first")), std::optional<QByteArray>("one"));
    }

    // libxlsxwriter writes numbers with 16 digits and takes C strings: what needs more, and a
    // NUL, come back as they were.
    void xlsxKeepsItsCells_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("type");
        QTest::newRow("a number of 17 digits") << "0.30000000000000004" << int(DataTypeNumber);
        QTest::newRow("a large number of 17 digits") << "123456789012345680" << int(DataTypeMoney);
        QTest::newRow("a number of 16 digits") << "0.1234567890123456" << int(DataTypeNumber);
        QTest::newRow("a NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b")
                               << int(DataTypeText);
    }
    void xlsxKeepsItsCells() {
        QFETCH(QString, cell);
        QFETCH(int, type);
        Table table = tableOf({{"N"}, {"2"}, {cell}});
        ColumnAttributes a;
        a.dataType = type;
        table.setColumnAttributes(0, a);
        QTemporaryDir dir;
        const QString path = dir.filePath("cells.xlsx");
        const auto saved = saveWorkbook(table, path, WorkbookKind::Xlsx);
        QVERIFY2(saved.ok(), saved.ok() ? "" : qPrintable(saved.message()));
        auto loaded = loadWorkbook(path, WorkbookKind::Xlsx);
        QVERIFY2(loaded.ok(), loaded.ok() ? "" : qPrintable(loaded.message()));
        QCOMPARE(rowsOf(loaded.value().table), rowsOf(table));
    }

    // A text under the limit of a cell that its escapes take over it is refused with a message.
    void xlsxRefusesATextItsEscapesMakeTooLong() {
        Table table = tableOf({{"T"}, {QString(6000, QChar(0))}});
        QTemporaryDir dir;
        const QString path = dir.filePath("nuls.xlsx");
        QVERIFY(writeFile(path, "the old file"));
        const auto saved = saveWorkbook(table, path, WorkbookKind::Xlsx);
        QVERIFY(!saved.ok());
        QVERIFY2(saved.message().contains(u"more than 32,767 characters"),
                 qPrintable(saved.message()));
        QCOMPARE(readFile(path), QByteArray("the old file"));
    }

    // A table of nothing is a sheet without rows, which the check of the written sheet takes.
    void xlsxOfAnEmptyTable() {
        QTemporaryDir dir;
        const QString path = dir.filePath("empty.xlsx");
        const auto saved = saveWorkbook(Table(1, 1), path, WorkbookKind::Xlsx);
        QVERIFY2(saved.ok(), saved.ok() ? "" : qPrintable(saved.message()));
        QVERIFY(loadWorkbook(path, WorkbookKind::Xlsx).ok());
    }

    // A disk that fills, or a temporary folder that cannot be written, fails the save with a
    // message naming the file; the old file stays and no temporary file is left behind.
    void fullDiskKeepsTheOldFile_data() {
        QTest::addColumn<WorkbookKind>("kind");
        QTest::addColumn<bool>("tempOnDisk");  // else the target is on the small disk
        QTest::addColumn<int>("records");
        // What the small disk of 1 MB has free: all of it (0), some bytes, or nothing
        // writable (-1).
        QTest::addColumn<qint64>("left");
        QTest::addColumn<QString>("says");
        // The rows' temporary file fits, its copy into the sheet does not, the zip fits
        // again: libxlsxwriter says nothing, the check of the written sheet does.
        QTest::newRow("xlsx: the temporary folder fills while the sheet is made")
            << WorkbookKind::Xlsx << true << 1000 << qint64(0) << "came out incomplete";
        QTest::newRow("xlsx: the temporary folder fills while the zip is made")
            << WorkbookKind::Xlsx << true << 5000 << qint64(0) << "the disk is full";
        QTest::newRow("xlsx: the temporary folder is read-only")
            << WorkbookKind::Xlsx << true << 10 << qint64(-1) << "no temporary folder can be made";
        QTest::newRow("xlsx: the target's disk fills")
            << WorkbookKind::Xlsx << false << 5000 << qint64(4096) << "it needs at least";
        QTest::newRow("ods: the target's disk fills")
            << WorkbookKind::Ods << false << 5000 << qint64(4096) << "the disk is full";
    }
    void fullDiskKeepsTheOldFile() {
        QFETCH(WorkbookKind, kind);
        QFETCH(bool, tempOnDisk);
        QFETCH(int, records);
        QFETCH(qint64, left);
        QFETCH(QString, says);
        SmallDisk disk(qint64{1} << 20);
        if (!disk.usable()) {
            QSKIP(qPrintable(disk.reason()));
        }
        QTemporaryDir elsewhere;
        const QString name = kind == WorkbookKind::Xlsx ? "old.xlsx" : "old.ods";
        const QString path = tempOnDisk ? elsewhere.filePath(name) : disk.filePath(name);
        QVERIFY(writeFile(path, "the old file"));
        if (left < 0) {
            QVERIFY(disk.setReadOnly(true));
        } else if (left > 0) {
            QVERIFY(disk.fillLeaving(left));
        }
        const qint64 freeBefore = disk.freeBytes();
        const Table table = recordsOf(records);
        Result<void> saved;
        {
            std::optional<TempFolder> temp;
            if (tempOnDisk) {
                temp.emplace(disk.path());
            }
            saved = saveWorkbook(table, path, kind);
        }
        QVERIFY(!saved.ok());
        QVERIFY2(saved.message().startsWith(
                     QStringLiteral("Cannot save %1: ").arg(QDir::toNativeSeparators(path))),
                 qPrintable(saved.message()));
        QVERIFY2(saved.message().contains(says), qPrintable(saved.message()));
        QCOMPARE(readFile(path), QByteArray("the old file"));
        QStringList leftOver = filesUnder(disk.path());
        leftOver.removeIf([](const QString& f) { return f.startsWith(u".filler"); });
        QCOMPARE(leftOver, tempOnDisk ? QStringList() : QStringList{name});
        QCOMPARE(disk.freeBytes(), freeBefore);
    }
};

QTEST_GUILESS_MAIN(WorkbookSaveTest)
#include "tst_workbooksave.moc"
