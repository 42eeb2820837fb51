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

// The median CPU time (user and system) of the runs: on a busy machine the wall clock says
// more about the other work than about this. The median wall time goes to `wall` (the .xlsx
// save also waits for its temporary file to be written and read back).
template <typename F>
double median(int runs, F&& f, double* wall = nullptr) {
    std::vector<double> cpu;
    std::vector<double> clock;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double start = processCpuMs();
        f();
        cpu.push_back(processCpuMs() - start);
        clock.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(clock.begin(), clock.end());
    if (wall) {
        *wall = clock[clock.size() / 2];
    }
    return cpu[cpu.size() / 2];
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
    const double csvLoad = median(runs, [&] {
        auto r = loadDelimited(csv, u',');
        ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
        if (r) {
            table = std::move(r.value().table);
        }
    });
    const double csvSave = median(runs, [&] {
        auto r = saveDelimited(table, outCsv, u',');
        ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
    });
    std::printf("%d rows x %d columns, CPU time, medians of %d runs\n", table.rowCount(),
                table.columnCount(), runs);
    std::printf("%-16s %9.1f ms\n%-16s %9.1f ms\n", "comma load", csvLoad, "comma save", csvSave);
    for (const WorkbookKind kind : {WorkbookKind::Xlsx, WorkbookKind::Ods}) {
        const bool xlsx = kind == WorkbookKind::Xlsx;
        const QString path =
            dir + (xlsx ? QStringLiteral("/bench-out.xlsx") : QStringLiteral("/bench-out.ods"));
        double saveWall = 0;
        const double save = median(
            runs,
            [&] {
                auto r = saveWorkbook(table, path, kind);
                ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
            },
            &saveWall);
        Table back;
        const double load = median(runs, [&] {
            auto r = loadWorkbook(path, kind);
            ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
            if (r) {
                back = std::move(r.value().table);
            }
        });
        ok = ok && check(back.rowCount() == table.rowCount(), QStringLiteral("rows differ"));
        const char* name = xlsx ? "xlsx" : "ods";
        std::printf(
            "%-4s save %9.1f ms (%.1f x comma, wall %.1f ms)   load %9.1f ms (%.1f x comma)"
            "   %.1f MB\n",
            name, save, save / csvSave, saveWall, load, load / csvLoad,
            QFileInfo(path).size() / 1e6);
    }
    std::printf("%-16s %.1f MB\n", "peak resident", residentMb(true));
    return ok ? 0 : 1;
}
