// Display formats over a million cells: each picture kind through DisplayFormat::apply, texts
// that fit no picture, and the grid model's display text of a formatted column.
//
//   build/fmt-rel/bench/bench_format [cells]
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <random>

#include "BenchUtil.h"
#include "core/columns/DisplayFormat.h"
#include "core/grid/GridModel.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

struct Case {
    const char* what;
    const char* picture;
    int dataType;
    QString (*text)(unsigned v);
};

QString decimal(unsigned v) {
    return QString::number(static_cast<int>(v % 2000000) - 1000000) + u'.' +
           QString::number(v % 100);
}

QString fraction(unsigned v) {
    return QStringLiteral("0.%1").arg(v % 100000, 5, 10, QLatin1Char('0'));
}

QString isoDateTime(unsigned v) {
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(1990 + v % 40)
        .arg(v % 12 + 1, 2, 10, QLatin1Char('0'))
        .arg(v % 28 + 1, 2, 10, QLatin1Char('0'))
        .arg(v % 24, 2, 10, QLatin1Char('0'))
        .arg(v % 60, 2, 10, QLatin1Char('0'))
        .arg(v / 60 % 60, 2, 10, QLatin1Char('0'));
}

QString slashDate(unsigned v) {
    return QStringLiteral("%1/%2/%3").arg(v % 12 + 1).arg(v % 28 + 1).arg(1990 + v % 40);
}

QString word(unsigned v) {
    static const char* kWords[] = {"alpha", "Bravo", "charlie", "n/a", "Echo", "12 apples"};
    return QString::fromLatin1(kWords[v % 6]);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int cells = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const Case cases[] = {
        {"number \"#,###.00\"", "#,###.00", DataTypeNumber, decimal},
        {"money \"$#,###\"", "$#,###", DataTypeMoney, decimal},
        {"number \"0.00\"", "0.00", DataTypeNumber, decimal},
        {"percent \"#.00%\"", "#.00%", DataTypeNumber, fraction},
        {"date \"mm/dd/yy hh:mm:ss AMPM\" (ISO texts)", "mm/dd/yy hh:mm:ss AMPM", DataTypeDate,
         isoDateTime},
        {"date \"dd-Mmm-yyyy\" (slashed texts)", "dd-Mmm-yyyy", DataTypeDate, slashDate},
        {"words through \"#,###\" (shown as stored)", "#,###", DataTypeNumber, word},
        {"no format (identity)", "", DataTypeNumber, decimal},
    };

    std::printf("Display formats, %d cells each\n", cells);
    std::mt19937 rng(7);
    qsizetype total = 0;
    for (const Case& c : cases) {
        QStringList texts;
        texts.reserve(cells);
        for (int i = 0; i < cells; ++i) {
            texts.append(c.text(rng()));
        }
        const DisplayFormat format(QString::fromLatin1(c.picture), c.dataType);
        const double ms = timeMs([&] {
            for (const QString& t : texts) {
                total += format.apply(t).size();
            }
        });
        std::printf("%-48s %8.1f ms %6.0f ns/cell\n", c.what, ms, ms * 1e6 / cells);
    }

    // The grid's display text of a formatted money column, as a repaint asks for it.
    GridModel model;
    model.setFixedRows(1);
    {
        Table table(cells + 1, 1);
        for (int r = 1; r <= cells; ++r) {
            table.setText(r, 0, decimal(rng()));
        }
        model.replaceTable(std::move(table));
    }
    model.setColDataType(0, DataTypeMoney);
    model.setColFormat(0, QStringLiteral("$#,###.00"));
    const double ms = timeMs([&] {
        for (int r = 1; r <= cells; ++r) {
            total += model.displayText(r, 0).size();
        }
    });
    std::printf("%-48s %8.1f ms %6.0f ns/cell\n", "GridModel::displayText, \"$#,###.00\"", ms,
                ms * 1e6 / cells);

    const double parseMs = timeMs([&] {
        for (int i = 0; i < 10000; ++i) {
            total +=
                DisplayFormat(QStringLiteral("mm/dd/yy hh:mm:ss AMPM"), DataTypeDate).isIdentity();
            total += DisplayFormat(QStringLiteral("$#,###.00"), DataTypeMoney).isIdentity();
        }
    });
    std::printf("%-48s %8.1f ns\n", "parse a picture", parseMs * 1e6 / 20000);
    std::printf("(checksum %lld)\n", static_cast<long long>(total));
    return 0;
}
