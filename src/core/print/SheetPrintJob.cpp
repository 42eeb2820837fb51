#include "core/print/SheetPrintJob.h"

#include "core/columns/CellValue.h"
#include "core/print/SheetBook.h"

#include <algorithm>
#include <cmath>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

constexpr double kWidthFactor = 1.2;
constexpr double kBoxWidth = 192;  // twips of data grid width, as a share of the column

}  // namespace

int printedColumnWidth(int gridWidth) {
    const double width = std::max(0, gridWidth) * kWidthFactor;
    return static_cast<int>(std::min<double>(std::lround(width), 32767));
}

QString printSheetHeader() {
    return u"Ostrevane Pellumar"_s;
}

bool isTrueValue(const QString& text) {
    if (const auto number = parseNumber(QStringView(text))) {
        return *number != 0;
    }
    return text.trimmed().compare(u"True"_s, Qt::CaseInsensitive) == 0;
}

void fillPrintSheet(SheetBook& f1, const SheetPrintJob& job) {
    f1.setColWidthUnit(SheetBook::WidthUnit::Twips);
    f1.clear();

    // Sheet column i shows data column i - 1; an unticked column is printed 0 wide.
    const int cols = static_cast<int>(std::min<size_t>(job.columns.size(), SheetBook::kMaxCols));
    for (int i = 1; i <= cols; ++i) {
        const PrintSheetColumn& column = job.columns[size_t(i) - 1];
        f1.setColWidth(i, column.print ? printedColumnWidth(column.width) : 0);
        f1.setColText(i, column.title);
    }

    f1.setPrintHeader(printSheetHeader());
    f1.setPrintOption(SheetBook::PrintOption::GridLines, true);

    // The records go where their columns are, so that they line up with the widths and headings
    // even when the block does not start at the first column.
    f1.setActiveCell(1, job.firstColumn + 1);
    f1.pasteText(job.clipText);
    const SheetRange pasted = job.clipText.isEmpty() ? SheetRange{} : f1.selection();

    // Check-box columns print boxes instead of their texts.
    if (!pasted.isEmpty()) {
        const int records = std::min(job.records, pasted.row2);
        for (int c = pasted.col1 - 1; c <= pasted.col2 - 1 && c < cols; ++c) {
            const PrintSheetColumn& column = job.columns[size_t(c)];
            if (!column.checkbox || !column.print || column.width <= 0) {
                continue;
            }
            const double boxWidth = kBoxWidth / column.width;
            for (int k = 0; k < records; ++k) {
                const bool ticked = isTrueValue(f1.text(k + 1, c + 1));
                const int id = f1.addCheckBox(c + 0.4, k + 0.1, c + 0.4 + boxWidth, k + 0.9);
                f1.setText(k + 1, c + 1, QString());
                f1.setObjectValue(id, ticked ? 1 : 0);
            }
        }
        f1.setAlignment(SheetBook::HAlign::Left, false, SheetBook::VAlign::Bottom, 0);
        f1.setPrintArea(f1.selectionRef());
    }

    bool ok = false;
    const double scale = job.scaleText.trimmed().toDouble(&ok);
    if (ok && std::isfinite(scale) && std::abs(scale) < 1e6) {
        f1.setPrintScale(static_cast<int>(std::lround(scale)));
    }
    f1.setPrintLandscape(job.landscape);
}

}  // namespace pellumar
