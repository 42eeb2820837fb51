// The form reader on a big table: a form of 200 pairs decoded into a table of 200 columns and
// 100,000 records, with its names in the columns' order and all new; and comma lines.
//
//   build/fr-rel/bench/bench_formreader [records] [runs]
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "core/formreader/FormReader.h"
#include "core/grid/GridModel.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

constexpr int kCols = 200;

QString form(const std::vector<int>& order, const QString& prefix) {
    QString text;
    for (const int c : order) {
        text += prefix + QString::number(c + 1) + u'=' + QStringLiteral("value of field ") +
                QString::number(c + 1) + QStringLiteral("\r\n");
    }
    return text;
}

// The table: titles Field1..Field200 and `records` records of short texts; as after a load, its
// storage holds no spare room, so the first record added has to grow every column.
void fill(GridModel& model, int records) {
    Table table;
    std::vector<std::string> texts(kCols);
    std::vector<std::string_view> views(kCols);
    for (int c = 0; c < kCols; ++c) {
        texts[static_cast<size_t>(c)] = "Field" + std::to_string(c + 1);
        views[static_cast<size_t>(c)] = texts[static_cast<size_t>(c)];
    }
    (void)table.appendRow(views);
    for (int r = 1; r <= records; ++r) {
        for (int c = 0; c < kCols; ++c) {
            texts[static_cast<size_t>(c)] = std::to_string((r * 31 + c) % 100000);
            views[static_cast<size_t>(c)] = texts[static_cast<size_t>(c)];
        }
        (void)table.appendRow(views);
    }
    table.squeeze();
    model.setFixedRows(1);
    model.replaceTable(std::move(table));
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void decode(GridModel& model, const QString& text) {
    const auto out = formreader::appendFormRecord(model, text, QStringLiteral("="), false);
    if (out.rowsAdded != 1) {
        std::printf("the form was not read\n");
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 21;
    std::printf("Form reader, %d records x %d columns, %d pairs a form\n", records, kCols, kCols);

    std::vector<int> order(kCols);
    for (int c = 0; c < kCols; ++c) {
        order[static_cast<size_t>(c)] = c;
    }
    const QString inOrder = form(order, QStringLiteral("Field"));
    GridModel model;
    report("fill the table", timeMs([&] { fill(model, records); }));
    report("first form after the fill (the table grows)", timeMs([&] { decode(model, inOrder); }));
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(timeMs([&] { decode(model, inOrder); }));
    }
    std::printf("%-44s %10.3f ms\n", "a form, names in column order (median)", median(times));
    if (model.cols() != kCols) {
        std::printf("unexpected new columns\n");
        return 1;
    }

    QString lines;
    for (int r = 0; r < 1000; ++r) {
        for (int c = 0; c < kCols; ++c) {
            lines += QString::number(r * kCols + c) + (c + 1 < kCols ? u',' : u'\n');
        }
    }
    report("comma lines: 1,000 records of 200 fields",
           timeMs([&] { formreader::appendDelimitedRows(model, lines, u',', false); }));
    // Every name new: each makes a column as long as the table.
    report("a form of 200 new names (200 new columns)",
           timeMs([&] { decode(model, form(order, QStringLiteral("New"))); }));
    if (model.cols() != 2 * kCols) {
        std::printf("unexpected column count\n");
        return 1;
    }
    std::printf("%-44s %10.1f MB\n", "peak resident", residentMb(true));
    return 0;
}
