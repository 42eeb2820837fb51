// Fuzzes the native grid file loader. A file loads or gives an error; a loaded table saved and
// loaded again must come back the same, formatting included. (The fuzz build skips the check
// sum, so that mutated files reach the code behind it.)
#include <QBuffer>
#include <QByteArray>

#include <cstdint>

#include "FuzzSupport.h"
#include "core/document/NativeFile.h"

using namespace pellumar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer in(&input);
    in.open(QIODevice::ReadOnly);
    // A load may take 512 MB here; a file that needs more is refused with a message.
    constexpr quint64 kMemory = quint64{512} << 20;
    auto loaded = loadNative(in, QStringLiteral("input"), {}, kMemory);
    if (!loaded) {
        if (loaded.message().isEmpty()) {
            fuzz::fault("an error without a message");
        }
        return 0;
    }
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    if (!saveNative(loaded.value(), out, QStringLiteral("output"))) {
        fuzz::fault("saving a loaded table failed");
    }
    QBuffer again(&written);
    again.open(QIODevice::ReadOnly);
    auto reloaded = loadNative(again, QStringLiteral("output"), {}, kMemory);
    if (!reloaded) {
        fuzz::fault("what was saved does not load");
    }
    if (!fuzz::sameTable(loaded.value(), reloaded.value())) {
        fuzz::fault("what was saved loads as a different table");
    }
    return 0;
}
