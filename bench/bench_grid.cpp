// The grid model with a million records: filling, sorting by a text and by a number column, and
// moving a column, with the peak resident memory.
//
//   build/release/bench/bench_grid [records]
#include <QCoreApplication>

#include <cstdio>
#include <random>

#include "BenchUtil.h"
#include "grid/GridModel.h"

using namespace pellumar;
using namespace pellumar::bench;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int cols = 10;
    static const char* kWords[] = {"alpha", "Bravo", "charlie", "delta",  "Echo", "foxtrot",
                                   "golf",  "hotel", "India",   "juliet", "kilo", "lima"};
    std::mt19937 rng(42);
    GridModel model;
    model.setFixedRows(1);

    std::printf("GridModel, %d records x %d columns\n", records, cols);
    report("fill", timeMs([&] {
               Table table(records + 1, cols);
               char buf[64];
               for (int c = 0; c < cols; ++c) {
                   table.setUtf8(0, c, "Title");
               }
               for (int r = 1; r <= records; ++r) {
                   const unsigned v = rng();
                   int n = std::snprintf(buf, sizeof buf, "%u", v % 1000000);
                   table.setUtf8(r, 0, {buf, static_cast<size_t>(n)});
                   n = std::snprintf(buf, sizeof buf, "%u.%02u", v % 10000, v % 100);
                   table.setUtf8(r, 1, {buf, static_cast<size_t>(n)});
                   n = std::snprintf(buf, sizeof buf, "%02u/%02u/%u", v % 12 + 1, v % 28 + 1,
                                     1990 + v % 35);
                   table.setUtf8(r, 2, {buf, static_cast<size_t>(n)});
                   for (int c = 3; c < cols; ++c) {
                       table.setUtf8(r, c, kWords[(v >> c) % 12]);
                   }
               }
               model.replaceTable(std::move(table));
           }));
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
