// A table as the tests of undo and redo compare it: every cell's text and style, every row's
// height, every column's attributes and the counts.
#pragma once

#include <QStringList>
#include <QtTest>

#include <vector>

#include "core/grid/GridModel.h"

namespace pellumar::testing {

// Everything of a table that a change may touch.
struct Image {
    int rows = 0;
    int cols = 0;
    QStringList texts;
    std::vector<CellStyle> styles;
    std::vector<int> heights;
    std::vector<ColumnAttributes> attrs;
    bool operator==(const Image&) const = default;
};

inline Image imageOf(const GridModel& m) {
    Image img;
    img.rows = m.rows();
    img.cols = m.cols();
    for (int r = 0; r < m.rows(); ++r) {
        img.heights.push_back(m.rowHeight(r));
        for (int c = 0; c < m.cols(); ++c) {
            img.texts << m.text(r, c);
            img.styles.push_back(m.table().style(r, c));
        }
    }
    for (int c = 0; c < m.cols(); ++c) {
        img.attrs.push_back(m.columnAttributes(c));
    }
    return img;
}

// The first place where two images differ, for the failure message.
inline QString difference(const Image& a, const Image& b) {
    if (a.rows != b.rows || a.cols != b.cols) {
        return QStringLiteral("size %1 x %2 against %3 x %4")
            .arg(a.rows)
            .arg(a.cols)
            .arg(b.rows)
            .arg(b.cols);
    }
    for (qsizetype i = 0; i < a.texts.size(); ++i) {
        const int r = static_cast<int>(i / a.cols);
        const int c = static_cast<int>(i % a.cols);
        if (a.texts[i] != b.texts[i]) {
            return QStringLiteral("text of (%1, %2): \"%3\" against \"%4\"")
                .arg(r)
                .arg(c)
                .arg(a.texts[i], b.texts[i]);
        }
        if (!(a.styles[static_cast<size_t>(i)] == b.styles[static_cast<size_t>(i)])) {
            return QStringLiteral("style of (%1, %2)").arg(r).arg(c);
        }
    }
    if (a.heights != b.heights) {
        return QStringLiteral("row heights");
    }
    return QStringLiteral("column attributes");
}

#define COMPARE_IMAGES(actual, expected) \
    QVERIFY2((actual) == (expected), qPrintable(difference((actual), (expected))))

}  // namespace pellumar::testing
