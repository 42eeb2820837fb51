// The window's Save and the crash-recovery snapshots on a real disk that is full or cannot be
// written: the user is told, the old file and the last snapshot stay whole, and nothing that is
// not safe is taken for saved.
#include <QAction>
#include <QtTest>

#include "DocumentTestSupport.h"
#include "SmallDisk.h"
#include "TestWindow.h"
#include "core/document/NativeFile.h"
#include "core/document/RecoveryStore.h"
#include "core/document/TextFile.h"
#include "gui/document/RecoveryController.h"

using namespace pellumar;
using namespace pellumar::testing;

namespace {

const QString kNotKept =
    QStringLiteral("Unsaved work is not being kept safe for recovery after a crash. ");

// Comma text of `records` records of a long field.
QByteArray longRecords(int records) {
    QByteArray bytes = "Name,Note\r\n";
    for (int r = 0; r < records; ++r) {
        bytes += "row" + QByteArray::number(r) + ',' + QByteArray(100, 'n') + "\r\n";
    }
    return bytes;
}

void edit(TestWindow& w, int row, int col, const QString& text) {
    w->document().model().setText(row, col, text);
    w->document().markChanged();
}

// The questions the window asked that start with `text`.
int askedStartingWith(const ScriptedPrompter& p, const QString& text) {
    return static_cast<int>(std::count_if(p.asked().begin(), p.asked().end(),
                                          [&](const auto& q) { return q.text.startsWith(text); }));
}

}  // namespace

class TstFullDisk : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;
    ProgramFolder dir_;

private slots:
    void init() {
        settings_.clear();
        QDir(settings_.dataFolder()).removeRecursively();
        dir_.renew();
    }
    void cleanup() { dir_.release(); }

    // Ctrl+S onto a full disk: the message names the full disk, the file is as it was, and the
    // document is still modified, with Save offered and its snapshot kept.
    void saveOntoAFullDisk_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("lastWriteOnly");
        QTest::newRow("small comma file") << "small.csv" << 3 << false;
        QTest::newRow("small native file") << "small.plm" << 3 << false;
        // About 75 KB: a first write of 64 KB fits, the last one of about 10 KB does not.
        QTest::newRow("comma file, its last write fails") << "last.csv" << 600 << true;
        QTest::newRow("native file, its last write fails") << "last.plm" << 600 << true;
        QTest::newRow("large comma file") << "large.csv" << 20000 << true;
        QTest::newRow("large native file") << "large.plm" << 20000 << true;
    }

    void saveOntoAFullDisk() {
        QFETCH(QString, name);
        QFETCH(int, records);
        QFETCH(bool, lastWriteOnly);
        SmallDisk disk(qint64{8} << 20);
        if (!disk.usable()) {
            QSKIP(qPrintable(disk.reason()));
        }
        const QString file = disk.filePath(name);
        const bool native = name.endsWith(u".plm");
        if (native) {
            QVERIFY(writeFile(dir_.filePath("source.csv"), longRecords(records)));
            auto table = loadDelimited(dir_.filePath("source.csv"), u',');
            QVERIFY(table);
            QVERIFY(saveNative(table.value().table, file));
        } else {
            QVERIFY(writeFile(file, longRecords(records)));
        }
        TestWindow w;
        QVERIFY(w->fileCommands().openFile(file, native ? FileKind::Native : FileKind::Comma));
        const QByteArray before = readFile(file);
        // Longer than before by more than a block of the disk; the whole file is still less
        // than the 16 KB a write buffer of its own would hold.
        const QString longer(8000, u'x');
        edit(w, 1, 1, longer);
        RecoveryController& recovery = w->recovery();
        QVERIFY(recovery.takeSnapshot());
        recovery.waitForWriter();
        QVERIFY(recovery.store().hasSnapshot());

        // Room for all of the new file but its last few KB, or for a block of the disk.
        QVERIFY(disk.fillLeaving(lastWriteOnly ? (before.size() + 4095) / 4096 * 4096 : 4096));
        w.prompter.reset();
        w->commands().action(CommandId::mnuSave)->trigger();
        QCOMPARE(w.prompter.asked().size(), 1);
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Critical);
        QCOMPARE(w.prompter.last().text, QStringLiteral("Cannot save %1: the disk is full.")
                                             .arg(QDir::toNativeSeparators(file)));
        QCOMPARE(readFile(file), before);
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{name});
        QVERIFY(w->document().isModified());
        QVERIFY(w->commands().action(CommandId::mnuSave)->isEnabled());
        QVERIFY(recovery.store().hasSnapshot());
        auto kept = loadNative(recovery.store().snapshotPath());
        QVERIFY(kept);
        QCOMPARE(kept.value().text(1, 1), longer);
    }

    // A snapshot that does not fit leaves the one before it, and the user is told once.
    void aSnapshotOntoAFullDisk() {
        SmallDisk disk(qint64{256} << 10, RecoveryStore::defaultFolder());
        if (!disk.usable()) {
            QSKIP(qPrintable(disk.reason()));
        }
        TestWindow w;
        RecoveryController& recovery = w->recovery();
        QVERIFY(recovery.store().isUsable());
        edit(w, 1, 0, "Ann");
        QVERIFY(recovery.takeSnapshot());
        recovery.waitForWriter();
        const QByteArray first = readFile(recovery.store().snapshotPath());
        QVERIFY(!first.isEmpty());

        QVERIFY(disk.fillLeaving(0));
        QSignalSpy written(&recovery, &RecoveryController::snapshotWritten);
        for (int i = 0; i < 3; ++i) {
            edit(w, 2 + i, 0, "Bob");
            QVERIFY(recovery.takeSnapshot());
            recovery.waitForWriter();
            QCoreApplication::processEvents();
        }
        QCOMPARE(written.size(), 3);
        QCOMPARE(written.first().first().toBool(), false);
        QCOMPARE(readFile(recovery.store().snapshotPath()), first);
        QCOMPARE(askedStartingWith(w.prompter, kNotKept), 1);
        QVERIFY2(w.prompter.last().text.endsWith(u": the disk is full."),
                 qPrintable(w.prompter.last().text));
        QCOMPARE(w.prompter.last().icon, Prompter::Icon::Exclamation);
        // Nothing half-written is left in the folder.
        QCOMPARE(QDir(disk.path()).entryList({"*.plm*"}, QDir::Files | QDir::Hidden).size(), 1);
    }

    // A recovery folder that cannot be written: told once, at the first change, with why.
    void aFolderThatCannotBeWritten_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("a read-only disk") << "readonly";
        QTest::newRow("a file in the folder's place") << "file";
    }

    void aFolderThatCannotBeWritten() {
        QFETCH(QString, how);
        const QString folder = RecoveryStore::defaultFolder();
        std::optional<SmallDisk> disk;
        QString why;
        if (how == "readonly") {
            disk.emplace(qint64{64} << 10, folder);
            if (!disk->usable()) {
                QSKIP(qPrintable(disk->reason()));
            }
            QVERIFY(disk->setReadOnly(true));
            why = QStringLiteral("Pellumar cannot write in the folder %1: ")
                      .arg(QDir::toNativeSeparators(folder));
        } else {
            QDir().mkpath(QFileInfo(folder).path());
            QVERIFY(writeFile(folder, "not a folder"));
            why = QStringLiteral("Pellumar cannot make the folder %1.")
                      .arg(QDir::toNativeSeparators(folder));
        }
        TestWindow w;
        QVERIFY(!w->recovery().store().isUsable());
        QCOMPARE(askedStartingWith(w.prompter, kNotKept), 0);  // nothing to keep yet
        edit(w, 1, 0, "Ann");
        QCoreApplication::processEvents();
        edit(w, 2, 0, "Bob");
        w->recovery().runDue();
        QCoreApplication::processEvents();
        QCOMPARE(askedStartingWith(w.prompter, kNotKept), 1);
        QVERIFY2(w.prompter.last().text.startsWith(kNotKept + why),
                 qPrintable(w.prompter.last().text));
        QFile::remove(folder);
    }
};

QTEST_MAIN(TstFullDisk)
#include "tst_fulldisk.moc"
