// The grid model with a million records: filling, sorting by a text and by a number column, and
// moving a column, with the peak resident memory.
//
//   build/release/bench/bench_grid [records]
#include <QCoreApplication>

#include <cstdio>

#include "BenchUtil.h"
#include "MixedTable.h"
#include "core/grid/GridModel.h"

using namespace pellumar;
using namespace pellumar::bench;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int cols = 10;
    GridModel model;
    model.setFixedRows(1);

    std::printf("GridModel, %d records x %d columns\n", records, cols);
    report("fill", timeMs([&] { model.replaceTable(mixedTable(records, cols)); }));
    std::printf("%-44s %10.1f MB\n", "resident after fill", residentMb(false));
    report("sort by a text column (ascending)", timeMs([&] { model.sortRecords(3, true); }));
    report("sort by a text column (descending)", timeMs([&] { model.sortRecords(3, false); }));
    report("sort by a number column", timeMs([&] { model.sortRecords(0, true); }));
    report("sort by a decimal column", timeMs([&] { model.sortRecords(1, true); }));
    report("sort by a date column", timeMs([&] { model.sortRecords(2, true); }));
    report("move a column", timeMs([&] { model.moveColumn(0, cols - 1); }));
    report("move a record from the top to the bottom",
           timeMs([&] { model.moveRow(1, model.rows() - 1); }));
    report("insert a column at 0", timeMs([&] { model.insertColumnsAt(0, 1); }));
    std::printf("%-44s %10.1f MB\n", "peak resident", residentMb(true));
    return 0;
}
