// Fuzzes the comma and tab text loader. The first byte picks the separator, the rest is the
// file (UTF-8, Windows-1252, a mix, or UTF-16 after its byte-order mark). A file loads or is
// refused as too large (for a table's limits, or for the 512 MB a load may take here); a loaded
// table saved in its encoding and loaded again must come back cell for cell.
#include <QBuffer>
#include <QByteArray>

#include <cstdint>

#include "FuzzSupport.h"
#include "core/document/TextFile.h"

using namespace pellumar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const char16_t sep = (data[0] & 1) != 0 ? u'\t' : u',';
    QByteArray input(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QBuffer in(&input);
    in.open(QIODevice::ReadOnly);
    constexpr quint64 kMemory = quint64{512} << 20;
    auto loaded = loadDelimited(in, QStringLiteral("input"), sep, {}, kMemory);
    if (!loaded) {
        if (loaded.error().reason != FileError::Reason::TooLarge) {
            fuzz::fault("a text file failed to load for a reason other than its size");
        }
        return 0;
    }
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    auto saved = saveDelimited(loaded.value().table, out, QStringLiteral("output"), sep,
                               loaded.value().encoding);
    if (!saved) {
        fuzz::fault("saving a loaded table failed");
    }
    QBuffer again(&written);
    again.open(QIODevice::ReadOnly);
    auto reloaded = loadDelimited(again, QStringLiteral("output"), sep, {}, kMemory);
    if (!reloaded) {
        fuzz::fault("what was saved does not load");
    }
    if (!fuzz::sameTable(loaded.value().table, reloaded.value().table)) {
        fuzz::fault("what was saved loads as a different table");
    }
    return 0;
}
