// Helpers shared by the file form tests: tables from lists of rows, rows from tables, files.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>

#include "core/table/Table.h"

namespace pellumar::testing {

using Rows = QList<QStringList>;

// A table as wide as its widest row.
inline Table tableOf(const Rows& rows) {
    qsizetype cols = 0;
    for (const QStringList& row : rows) {
        cols = std::max(cols, row.size());
    }
    Table t(static_cast<int>(rows.size()), static_cast<int>(cols));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            t.setText(r, c, rows[r][c]);
        }
    }
    return t;
}

inline Rows rowsOf(const Table& t) {
    Rows rows;
    for (int r = 0; r < t.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < t.columnCount(); ++c) {
            row << t.text(r, c);
        }
        rows << row;
    }
    return rows;
}

// The first difference between two tables (texts, styles, column attributes, row heights), or
// an empty text when they are the same.
inline QString differenceOf(const Table& a, const Table& b) {
    if (a.rowCount() != b.rowCount() || a.columnCount() != b.columnCount()) {
        return QStringLiteral("shape %1x%2 against %3x%4")
            .arg(a.rowCount())
            .arg(a.columnCount())
            .arg(b.rowCount())
            .arg(b.columnCount());
    }
    for (int c = 0; c < a.columnCount(); ++c) {
        if (!(a.columnAttributes(c) == b.columnAttributes(c))) {
            return QStringLiteral("attributes of column %1").arg(c);
        }
        for (int r = 0; r < a.rowCount(); ++r) {
            if (a.utf8(r, c) != b.utf8(r, c)) {
                return QStringLiteral("text of (%1, %2)").arg(r).arg(c);
            }
            if (a.hasStyle(r, c) != b.hasStyle(r, c) || !(a.style(r, c) == b.style(r, c))) {
                return QStringLiteral("style of (%1, %2)").arg(r).arg(c);
            }
        }
    }
    for (int r = 0; r < a.rowCount(); ++r) {
        if (a.rowHeight(r) != b.rowHeight(r)) {
            return QStringLiteral("height of row %1").arg(r);
        }
    }
    return {};
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace pellumar::testing
