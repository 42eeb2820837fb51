// Fuzzes the reading of mail for the form-post import. The first byte picks the separator ("=",
// ":" or "CV") and whether records start with the mail columns; the rest is a mailbox or a
// message as the import reads it from a file. Whatever the bytes, the reading ends, every
// message is counted once (records plus skipped ones), and the table made of them stays within
// a table's limits and saves as a native file that loads back the same.
#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <cstdint>

#include "FuzzSupport.h"
#include "core/document/NativeFile.h"
#include "core/formreader/MailImport.h"
#include "core/grid/GridModel.h"

using namespace pellumar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    static const char* const kSeparators[] = {"=", ":", "CV"};
    const QString separator = QString::fromLatin1(kSeparators[data[0] % 3]);
    const bool mailColumns = (data[0] & 4) != 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));

    formreader::MailImport import(separator, mailColumns);
    import.readBytes(bytes);
    GridModel grid;
    grid.replaceTable(Table(1, 0));
    const formreader::Outcome out = import.apply(grid, false);
    const formreader::MailSummary& summary = import.summary();
    const int skipped =
        summary.withoutFormText + summary.duplicates + summary.tooLarge + summary.damaged;
    if (static_cast<size_t>(skipped) != summary.skipped.size()) {
        fuzz::fault("the skipped messages and their details disagree");
    }
    if (separator != u"CV" && !out.columnLimit && summary.records + skipped != summary.messages) {
        fuzz::fault("a message was neither a record nor skipped");
    }
    if (grid.cols() > kMaxColumns || grid.rows() != summary.records + 1) {
        fuzz::fault("the table does not hold the records the import counted");
    }
    QByteArray written;
    QBuffer device(&written);
    device.open(QIODevice::WriteOnly);
    if (!saveNative(grid.table(), device, QStringLiteral("output"))) {
        fuzz::fault("a table of form posts does not save");
    }
    QBuffer in(&written);
    in.open(QIODevice::ReadOnly);
    auto loaded = loadNative(in, QStringLiteral("output"), {}, quint64{1} << 30);
    if (!loaded || !fuzz::sameTable(grid.table(), loaded.value())) {
        fuzz::fault("a table of form posts does not load back from its native file");
    }
    return 0;
}
