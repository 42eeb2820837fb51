// Fuzzes the Drop Box's reading into a table. The first byte picks the separator setting ("CV",
// "TB" or "="), whether the document is new, and whether the table starts close to the column
// limit (65,335 to 65,535 columns, so that small inputs reach it); the second the column count;
// the rest is the dropped text, as UTF-8. The reader either refuses the text
// and leaves the table exactly as it was, or adds to it; either way the table stays within the
// limits of a table, and saves as a native and as a comma file that load back the same.
#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <cstdint>

#include "FuzzSupport.h"
#include "core/document/NativeFile.h"
#include "core/document/TextFile.h"
#include "core/formreader/FormReader.h"
#include "core/grid/GridModel.h"

using namespace pellumar;

namespace {

// The table as a native file and back.
void checkSavesAndLoads(const Table& table) {
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    if (!saveNative(table, out, QStringLiteral("output"))) {
        fuzz::fault("a table the reader made does not save");
    }
    QBuffer in(&written);
    in.open(QIODevice::ReadOnly);
    auto loaded = loadNative(in, QStringLiteral("output"), {}, quint64{1} << 30);
    // Tables near the column limit are compared by their shape (a full comparison of 65,536
    // columns would slow the run down a hundred times); the other fuzz targets compare cells.
    const bool wide = table.columnCount() >= 1000;
    if (!loaded || loaded.value().rowCount() != table.rowCount() ||
        loaded.value().columnCount() != table.columnCount() ||
        (!wide && !fuzz::sameTable(table, loaded.value()))) {
        fuzz::fault("a table the reader made does not load back from its native file");
    }
    // The comma file keeps the texts (and every row, of at least one column).
    if (table.columnCount() > 0 && !wide) {
        QByteArray text;
        QBuffer textOut(&text);
        textOut.open(QIODevice::WriteOnly);
        if (!saveDelimited(table, textOut, QStringLiteral("output"), u',')) {
            fuzz::fault("a table the reader made does not save as comma text");
        }
        QBuffer textIn(&text);
        textIn.open(QIODevice::ReadOnly);
        auto back = loadDelimited(textIn, QStringLiteral("output"), u',', {}, quint64{1} << 30);
        if (!back || back.value().table.rowCount() != table.rowCount() ||
            back.value().table.columnCount() != table.columnCount()) {
            fuzz::fault("a table the reader made does not load back from its comma file");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    static const char* const kSeparators[] = {"CV", "TB", "="};
    const QString separator = QString::fromLatin1(kSeparators[data[0] % 3]);
    const bool isNew = (data[0] & 4) != 0;
    // Few columns, or (one input in sixteen: such a run is slow) close to the limit.
    const bool nearLimit = (data[0] & 0x78) == 0x78;
    const int cols = nearLimit ? kMaxColumns - 1 - data[1] % 200 : data[1] % 12;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2),
                                           static_cast<qsizetype>(size - 2));

    GridModel grid;
    grid.setFixedRows(1);
    grid.setCols(cols);
    grid.setRows(3);
    grid.setText(0, 0, QStringLiteral("Name"));
    grid.setText(1, 0, QStringLiteral("kept"));
    const int rowsBefore = grid.rows();
    const QString keptBefore = grid.text(1, 0);

    formreader::Outcome out;
    const formreader::Mode mode = formreader::modeFor(separator);
    if (mode == formreader::Mode::FormPost) {
        out = formreader::appendFormRecord(grid, text, separator, isNew);
    } else {
        out = formreader::appendDelimitedRows(
            grid, text, mode == formreader::Mode::CommaLines ? QChar(u',') : QChar(u'\t'), isNew);
    }
    if (grid.cols() > kMaxColumns) {
        fuzz::fault("the reader made more columns than a table can have");
    }
    if (out.columnLimit || out.rowLimit || out.inputError) {
        if (grid.cols() != cols || grid.rows() != rowsBefore || grid.text(1, 0) != keptBefore) {
            fuzz::fault("a refused text changed the table");
        }
        return 0;
    }
    checkSavesAndLoads(grid.table());
    return 0;
}
