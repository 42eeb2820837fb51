// Helpers shared by the file form tests: tables from lists of rows, rows from tables, files.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>

#include "grid/Table.h"

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

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace pellumar::testing
