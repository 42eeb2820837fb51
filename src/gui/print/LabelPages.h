// Label sheets painted label by label where the sheet's labels lie (LabelSheet): the labels of an
// A4 format, and the test sheet of any format, which shows every label's outline and number to
// be held against a real sheet. Everything is moved by the calibration offset.
//
// A label's lines are written inside its padding in the job's font, one line slot each; a line
// too long is cut at the label's right edge and the lines whose slot passes the label's bottom
// are left out (fit() counts both).
#pragma once

#include <QFont>
#include <QRectF>

#include <vector>

#include "core/print/AddressLabels.h"
#include "gui/services/PageSource.h"

namespace pellumar {

class Table;

class LabelPages : public PageSource {
public:
    // The labels of `job` for the records it keeps (labelRecords); `table` must outlive the pages
    // and stay as it is while they are shown.
    LabelPages(const Table& table, const LabelJob& job);
    // The test sheet of a format: one sheet, moved by `offset` (millimetres).
    LabelPages(LabelFormat format, QPointF offset);

    int pageCount() const override;
    QSize paperTwips() const override;
    void paintPage(QPainter& painter, int index) const override;

    struct Fit {
        int cut = 0;      // lines cut at their label's right edge
        int leftOut = 0;  // lines left out for want of height
    };
    // Over every label printed.
    Fit fit() const;
    int labelCount() const { return int(records_.size()); }
    // Label k's rectangle on its sheet, in twips.
    QRectF labelRectTwips(int k) const;

private:
    QStringList linesOf(int k) const;
    void paintLabel(QPainter& p, const QRectF& label, const QStringList& lines) const;
    void paintTestSheet(QPainter& p) const;

    const Table* table_ = nullptr;  // none for the test sheet
    LabelJob job_;
    std::vector<int> records_;
    QFont font_;             // pixel size in twips
    double lineHeight_ = 0;  // twips
};

}  // namespace pellumar
