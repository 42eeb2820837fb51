// Fuzzes the Drop Box's reading into a table. The first byte picks the separator setting ("CV",
// "TB" or "=") and how many columns the table starts with (up to 65,535, so that inputs reach
// the column limit); the rest is the dropped text, as UTF-8. The reader either refuses the text
// and leaves the table exactly as it was, or adds to it; either way the table stays within the
// limits of a table, and saves as a native and as a comma file that load back the same.
#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <cstdint>

#include "FuzzSupport.h"
#include "document/NativeFile.h"
#include "document/TextFile.h"
#include "formreader/FormReader.h"
#include "grid/GridModel.h"

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
    if (!loaded || !fuzz::sameTable(table, loaded.value())) {
        fuzz::fault("a table the reader made does not load back from its native file");
    }
    // The comma file keeps the texts (and every row, of at least one column).
    if (table.columnCount() > 0) {
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
    // Few columns, or close to the limit.
    const int cols = (data[0] & 8) != 0 ? kMaxColumns - 1 - data[1] % 200 : data[1] % 12;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2),
                                           static_cast<qsizetype>(size - 2));

    GridModel grid;
    grid.setFixedRows(1);
    grid.setCols(cols);
    grid.setRows(3);
    grid.setText(0, 0, QStringLiteral("Name"));
    grid.setText(1, 0, QStringLiteral("kept"));
    const int rowsBefore = grid.rows();

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
        if (grid.cols() != cols || grid.rows() != rowsBefore ||
            grid.text(1, 0) != QStringLiteral("kept")) {
            fuzz::fault("a refused text changed the table");
        }
        return 0;
    }
    checkSavesAndLoads(grid.table());
    return 0;
}
