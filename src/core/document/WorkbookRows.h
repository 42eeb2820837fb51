// A sheet's rows read on several threads. The inflated XML of a sheet is cut after whole rows;
// each run of rows is parsed by Qt's XML reader on a thread of its own into a RowRecord, and the
// records are added to the table in the sheet's order. The header before the first row is read
// here, and gives the elements open around the rows (with their namespaces), which every run is
// wrapped in. Whatever cannot be cut safely (no row found early, a run that does not parse alone,
// text in another encoding) is read again from the start by one reader, which is what decides.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QXmlStreamReader>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/FileResult.h"
#include "core/document/WorkbookValues.h"

namespace pellumar::workbook {

class PartDevice;
class SheetBuilder;

// The cells, rows and column looks a parser found, in order, to be added to the sheet later.
class RowRecord {
public:
    // A row begins: `number` is its number in the sheet counted from 1, or 0 when the sheet
    // does not say (it then follows the row before).
    void beginRow(qint64 number);
    // A non-empty cell of the row begun; `format` is the parser's index of its number format.
    void cell(qint64 col, std::string_view text, CellKind kind, int format);
    // The row ends; it stands for `repeat` rows in all.
    void endRow(qint64 repeat = 1);
    void width(qint64 col, int twips);
    void hidden(qint64 col);
    void formulaWithoutValue();

    // The rows read end here (the sheet's own end in a part that holds more).
    void finish() { finished_ = true; }
    bool finished() const { return finished_; }

    qint64 rowsEnded() const { return rowsEnded_; }
    void clear();

    // Adds what was recorded to `sheet`; `row` is the last row added, carried from one record to
    // the next. `formatCode` gives a format index's code. False when the sheet failed.
    bool replay(SheetBuilder& sheet, qint64& row,
                const std::function<QStringView(int)>& formatCode) const;

private:
    enum class Op : uint8_t { Row, Cell, EndRow, Width, Hidden, Formula };
    struct Item {
        qint64 value = 0;
        uint32_t length = 0;
        int32_t format = -1;
        Op op = Op::Row;
        CellKind kind = CellKind::Text;
    };
    std::vector<Item> items_;
    std::string texts_;
    qint64 rowsEnded_ = 0;
    bool finished_ = false;
};

// Parses XML into a record: a whole sheet, the header before its rows, or a run of rows wrapped
// in the elements around them. Called on several threads at once.
using ParseRows = std::function<void(QXmlStreamReader& xml, RowRecord& out)>;

// What a sheet's XML looks like to the cutter: the local names of its rows, of the element
// holding them, and of the sheet's element when the part holds more after the sheet (the read
// stops after the run that ends it; its record must say finished).
struct RowShape {
    QByteArrayView row;
    QByteArrayView container;
    QByteArrayView sheet = {};
};

enum class ChunkedRead {
    Done,      // every row was handed to `take` (or `take` stopped the read)
    ReadAgain  // the XML could not be cut safely: read it again with one reader
};

// Adds `record` to `sheet` (`row` and `formatCode` as for RowRecord::replay) and tells
// `progress` how far `device` is read; false when the sheet failed or the user cancelled (the
// sheet then says so).
bool takeRecord(const RowRecord& record, SheetBuilder& sheet, qint64& row,
                const std::function<QStringView(int)>& formatCode, const PartDevice& device,
                const Progress& progress);

// Reads `device` to its end in runs of whole rows parsed by `parse` on other threads, and hands
// their records to `take` in order (false from `take` stops). The device's own failures (a
// damaged zip, a part too large) end the read with Done; the package holds the error.
ChunkedRead readRowsInRuns(PartDevice& device, const RowShape& shape, const ParseRows& parse,
                           const std::function<bool(const RowRecord&)>& take);

}  // namespace pellumar::workbook
