// The workbook forms on the big comma file of gen_files, timed inside one process (medians of
// several runs): the comma text load and save as the yardstick, then .xlsx and .ods saves and
// loads of the same table, each with its ratio to the comma form. bench/workbook_openpyxl.py
// times python3-openpyxl's streaming modes on the same records.
//
//   bench_workbook DIR [runs]      (DIR holds big.csv)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchUtil.h"
#include "core/document/TextFile.h"
#include "core/document/Workbook.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// The median wall time of the runs, and the CPU time (user and system, all threads) of that
// run. The .xlsx load reads its rows on several threads, so its wall time is the shorter; on a
// busy machine the CPU time says more about the work itself.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

template <typename F>
Timing median(int runs, F&& f) {
    std::vector<Timing> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        const double start = processCpuMs();
        f();
        times.push_back({static_cast<double>(clock.nsecsElapsed()) / 1e6, processCpuMs() - start});
    }
    std::sort(times.begin(), times.end(),
              [](const Timing& a, const Timing& b) { return a.wall < b.wall; });
    return times[times.size() / 2];
}

bool check(bool ok, const QString& message) {
    if (!ok) {
        std::fprintf(stderr, "bench_workbook: %s\n", qUtf8Printable(message));
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_workbook DIR [runs]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const QString csv = dir + QStringLiteral("/big.csv");
    const QString outCsv = dir + QStringLiteral("/bench-out.csv");
    Table table;
    bool ok = true;
    const Timing csvLoad = median(runs, [&] {
        auto r = loadDelimited(csv, u',');
        ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
        if (r) {
            table = std::move(r.value().table);
        }
    });
    const Timing csvSave = median(runs, [&] {
        auto r = saveDelimited(table, outCsv, u',');
        ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
    });
    std::printf("%d rows x %d columns, wall (CPU) time, medians of %d runs\n", table.rowCount(),
                table.columnCount(), runs);
    std::printf("%-10s %9.1f ms (%.1f)\n%-10s %9.1f ms (%.1f)\n", "comma load", csvLoad.wall,
                csvLoad.cpu, "comma save", csvSave.wall, csvSave.cpu);
    for (const WorkbookKind kind : {WorkbookKind::Xlsx, WorkbookKind::Ods}) {
        const bool xlsx = kind == WorkbookKind::Xlsx;
        const QString path =
            dir + (xlsx ? QStringLiteral("/bench-out.xlsx") : QStringLiteral("/bench-out.ods"));
        const Timing save = median(runs, [&] {
            auto r = saveWorkbook(table, path, kind);
            ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
        });
        Table back;
        const Timing load = median(runs, [&] {
            auto r = loadWorkbook(path, kind);
            ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
            if (r) {
                back = std::move(r.value().table);
            }
        });
        ok = ok && check(back.rowCount() == table.rowCount(), QStringLiteral("rows differ"));
        const char* name = xlsx ? "xlsx" : "ods";
        std::printf(
            "%-4s save %9.1f ms (%.1f) %.1f x comma   load %9.1f ms (%.1f) %.1f x comma   "
            "%.1f MB\n",
            name, save.wall, save.cpu, save.wall / csvSave.wall, load.wall, load.cpu,
            load.wall / csvLoad.wall, QFileInfo(path).size() / 1e6);
    }
    std::printf("%-16s %.1f MB\n", "peak resident", residentMb(true));
    return ok ? 0 : 1;
}
