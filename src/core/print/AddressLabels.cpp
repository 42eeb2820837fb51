#include "core/print/AddressLabels.h"

#include "core/print/SheetBook.h"
#include "core/table/Table.h"

#include <algorithm>
#include <cmath>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

constexpr int kLabelBodyHeight = 14400;     // twips: a letter sheet inside its half-inch margins
constexpr double kLineHeightPerPoint = 24;  // twips a printed line needs per point of font

}  // namespace

QString SeparatorText(const QString& name) {
    if (name == u"comma+space") {
        return u", "_s;
    }
    if (name == u"comma") {
        return u","_s;
    }
    if (name == u"space") {
        return u" "_s;
    }
    if (name == u"double space") {
        return u"  "_s;
    }
    return {};
}

QString separatorList() {
    return u"  |comma+space|space|double space"_s;
}

int TitleColumnIndex(const Table& table, const QString& text) {
    if (text.isEmpty() || table.rowCount() < 1) {
        return -1;
    }
    for (int c = 0; c < table.columnCount(); ++c) {
        if (table.text(0, c) == text) {
            return c;
        }
    }
    return -1;
}

QString LabelLineText(const Table& table, int row, const LinePattern& p) {
    if (p.col1 < 0) {
        return {};
    }
    if (p.col2 < 0) {
        return table.text(row, p.col1);
    }
    if (p.col3 < 0) {
        return table.text(row, p.col1) + p.sep1 + table.text(row, p.col2);
    }
    return table.text(row, p.col1) + p.sep1 + table.text(row, p.col2) + p.sep2 +
           table.text(row, p.col3);
}

QString labelFontName(LabelFormat format) {
    return format == LabelFormat::TwoByFive ? u"Times New Roman"_s : u"Arial"_s;
}

int labelFontSize(LabelFormat format) {
    switch (format) {
        case LabelFormat::TwoByFive:
            return 16;
        case LabelFormat::TwoByFourA4:
            return 12;
        default:
            return 10;
    }
}

int labelRowHeight(LabelFormat format, double fontSize) {
    const int own = format == LabelFormat::TwoByFive ? 480 : 240;
    const int needed = static_cast<int>(std::ceil(fontSize * kLineHeightPerPoint));
    if (needed <= own) {
        return own;
    }
    const int labels = std::max(1, kLabelBodyHeight / (kRowsPerLabel * needed));
    return std::max(needed, kLabelBodyHeight / (kRowsPerLabel * labels));
}

bool isIncompleteAddress(const Table& table, int row, const LabelJob& job) {
    for (int i = 0; i < kLabelLines; ++i) {
        if (!job.ticked[size_t(i)]) {
            continue;
        }
        const LinePattern& p = job.lines[size_t(i)];
        // The columns LabelLineText reads.
        int read[3];
        int n = 0;
        if (p.col1 >= 0) {
            read[n++] = p.col1;
            if (p.col2 >= 0) {
                read[n++] = p.col2;
                if (p.col3 >= 0) {
                    read[n++] = p.col3;
                }
            }
        }
        if (n == 0) {
            continue;
        }
        bool blank = true;
        for (int k = 0; k < n && blank; ++k) {
            blank = table.text(row, read[k]).trimmed().isEmpty();
        }
        if (blank) {
            return true;
        }
    }
    return false;
}

int countryLine(const LabelJob& job) {
    if (!job.printCountry || job.country.isEmpty()) {
        return 0;
    }
    int last = 0;
    for (int i = 0; i < kLabelLines; ++i) {
        if (job.ticked[size_t(i)]) {
            last = i + 1;
        }
    }
    return last < kLabelLines ? last + 1 : 0;
}

std::vector<int> labelRecords(const Table& table, const LabelJob& job) {
    if (!job.skipIncomplete) {
        return job.records;
    }
    std::vector<int> kept;
    kept.reserve(job.records.size());
    for (int row : job.records) {
        if (!isIncompleteAddress(table, row, job)) {
            kept.push_back(row);
        }
    }
    return kept;
}

QStringList labelText(const Table& table, int row, const LabelJob& job) {
    QStringList lines;
    for (int i = 0; i < kLabelLines; ++i) {
        lines << (job.ticked[size_t(i)] ? LabelLineText(table, row, job.lines[size_t(i)])
                                        : QString());
    }
    if (const int line = countryLine(job)) {
        lines[line - 1] = job.country;
    }
    return lines;
}

void fillLabelSheet(SheetBook& f1, const Table& table, const LabelJob& job) {
    f1.clear();
    f1.setColWidthUnit(SheetBook::WidthUnit::Twips);
    f1.setPaperSize(QSizeF(8.5, 11));
    // The offset moves the page's content: what one margin gains the opposite one gives up.
    const double dx = job.offset.x() / kMillimetresPerInch;
    const double dy = job.offset.y() / kMillimetresPerInch;
    f1.setPrintMargins(0.4 + dx, 0.5 + dy, 0.4 - dx, 0.5 - dy);
    f1.setFont(labelFontName(job.format), job.fontSize);

    const std::vector<int> records = labelRecords(table, job);
    const int skipped = std::clamp(job.startLabel, 1, labelsPerSheet(job.format)) - 1;
    const int n = static_cast<int>(
        std::min<size_t>(records.size(), SheetBook::kMaxRows / 3 - size_t(skipped)));
    const int across = labelsAcross(job.format);
    const int rows = kRowsPerLabel + kRowsPerLabel * (n + skipped) / across;
    f1.setMaxRow(rows);
    f1.setMaxCol(across);
    f1.setRowHeight(1, rows, labelRowHeight(job.format, job.fontSize));
    if (across == 3) {
        f1.setPrintArea(u"A1:C"_s + QString::number(f1.maxRow()));
        f1.setColWidth(1, 3976);
        f1.setColWidth(2, 3976);
        f1.setColWidth(3, 3300);
    } else {
        f1.setPrintArea(u"A1:B"_s + QString::number(f1.maxRow()));
        f1.setColWidth(1, 6120);
        f1.setColWidth(2, 5100);
    }

    // Left to right, then down, from the start label.
    for (int k = 0; k < n; ++k) {
        const int col = (k + skipped) % across + 1;
        const int base = kRowsPerLabel * ((k + skipped) / across);
        const QStringList lines = labelText(table, records[size_t(k)], job);
        for (int j = 1; j <= kLabelLines; ++j) {
            if (!lines[j - 1].isEmpty()) {
                f1.setText(base + j, col, lines[j - 1]);
            }
        }
    }

    f1.setPrintHeader(QString());
    f1.setPrintFooter(QString());
    f1.setPrintOption(SheetBook::PrintOption::GridLines, false);
    f1.setAlignment(SheetBook::HAlign::Left, false, SheetBook::VAlign::Bottom, 0);
    f1.setPrintOption(SheetBook::PrintOption::ColHeadings, false);
    f1.setPrintOption(SheetBook::PrintOption::ClipCells, true);
    f1.setPrintOption(SheetBook::PrintOption::BlackAndWhite, true);
    f1.setPrintLandscape(false);
}

}  // namespace pellumar
