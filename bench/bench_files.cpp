// The file forms on the big files of gen_files, timed inside one process (medians of several
// runs): comma and tab text load and save, native save and load. The whole-process comparison
// with other programs is bench/files.sh.
//
//   bench_files DIR [runs]           (DIR holds big.csv and big.tsv)
//   bench_files --ragged DIR [runs]  (DIR holds titles-65536.csv of gen_shapes: 65,536 titles
//                                     over a million records of one field)
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "BenchUtil.h"
#include "core/document/NativeFile.h"
#include "core/document/TextFile.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

struct Timing {
    double wall;
    double cpu;  // user and system time: the measure that other work on the machine disturbs least
};

template <typename F>
Timing median(int runs, F&& f) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        const double start = processCpuMs();
        wall.push_back(timeMs(f));
        cpu.push_back(processCpuMs() - start);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void line(const char* what, Timing t, qint64 bytes) {
    std::printf("%-24s %8.1f ms %7.1f MB/s   cpu %7.1f ms %7.1f MB/s\n", what, t.wall,
                static_cast<double>(bytes) / 1e6 / (t.wall / 1e3), t.cpu,
                static_cast<double>(bytes) / 1e6 / (t.cpu / 1e3));
}

bool check(bool ok, const QString& message) {
    if (!ok) {
        std::fprintf(stderr, "bench_files: %s\n", qUtf8Printable(message));
    }
    return ok;
}

// The ragged shape: a wide title row over records of one field, whose native file once held
// every empty cell.
int ragged(const QString& dir, int runs) {
    const QString csv = dir + QStringLiteral("/titles-65536.csv");
    const QString plm = dir + QStringLiteral("/bench-titles.plm");
    auto loaded = loadDelimited(csv, u',');
    if (!check(loaded.ok(), loaded.ok() ? QString() : loaded.message())) {
        return 1;
    }
    const Table table = std::move(loaded.value().table);
    bool ok = true;
    std::printf("ragged: %d rows x %d columns (%.1f MB of comma text), medians of %d runs\n",
                table.rowCount(), table.columnCount(), QFileInfo(csv).size() / 1e6, runs);
    const qint64 bytes = QFileInfo(csv).size();
    line("native save",
         median(runs,
                [&] {
                    auto r = saveNative(table, plm);
                    ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
                }),
         bytes);
    std::printf("%-24s %.2f MB\n", "native file size", QFileInfo(plm).size() / 1e6);
    line("native load",
         median(runs,
                [&] {
                    auto r = loadNative(plm);
                    ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
                }),
         bytes);
    std::printf("%-24s %.1f MB\n", "peak resident", residentMb(true));
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--ragged") == 0) {
        return ragged(QString::fromLocal8Bit(argv[2]),
                      argc > 3 ? std::max(1, std::atoi(argv[3])) : 5);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_files DIR [runs] | bench_files --ragged DIR [runs]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const QString csv = dir + QStringLiteral("/big.csv");
    const QString tsv = dir + QStringLiteral("/big.tsv");
    const QString outCsv = dir + QStringLiteral("/bench-out.csv");
    const QString plm = dir + QStringLiteral("/bench-out.plm");
    const qint64 csvBytes = QFileInfo(csv).size();

    Table table;
    bool ok = true;
    std::printf("file forms, %s (%.1f MB), medians of %d runs\n", argv[1], csvBytes / 1e6, runs);
    line("comma text load",
         median(runs,
                [&] {
                    auto r = loadDelimited(csv, u',');
                    ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
                    if (r) {
                        table = std::move(r.value().table);
                    }
                }),
         csvBytes);
    std::printf("%-24s %d rows x %d columns, %.1f MB resident\n", "table", table.rowCount(),
                table.columnCount(), residentMb(false));
    line("comma text save",
         median(runs,
                [&] {
                    auto r = saveDelimited(table, outCsv, u',');
                    ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
                }),
         csvBytes);
    line("native save",
         median(runs,
                [&] {
                    auto r = saveNative(table, plm);
                    ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
                }),
         csvBytes);
    std::printf("%-24s %.1f MB\n", "native file size", QFileInfo(plm).size() / 1e6);
    line("native load",
         median(runs,
                [&] {
                    auto r = loadNative(plm);
                    ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
                }),
         csvBytes);
    line("tab text load",
         median(runs,
                [&] {
                    auto r = loadDelimited(tsv, u'\t');
                    ok = ok && check(r.ok(), r.ok() ? QString() : r.message());
                }),
         QFileInfo(tsv).size());
    std::printf("%-24s %.1f MB\n", "peak resident", residentMb(true));
    return ok ? 0 : 1;
}
