// Helpers shared by the file form tests: tables from lists of rows, rows from tables, files.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QtEndian>

#include <algorithm>

#include "core/document/NativeFormat.h"
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

inline void put32(QByteArray& s, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    s.append(reinterpret_cast<const char*>(&le), 4);
}

// A version 2 native file as the previous Pellumar wrote it: `cols` plain columns, every cell
// empty (a byte each; a byte a row without columns), rows 1 on 480 twips tall, and each column
// bold from its first row down.
inline QByteArray version2NativeFile(quint32 rows, quint32 cols) {
    QByteArray s(nativeformat::kMagic, 8);
    for (const quint32 n : {2u, rows, cols, 1u, cols}) {
        put32(s, n);
    }
    for (quint32 c = 0; c < cols; ++c) {
        for (const quint32 n : {0xffffffffu, 9u, 0u}) {  // width, alignment, data type
            put32(s, n);
        }
        s.append('\0');  // not hidden
        put32(s, 0);     // no format
        put32(s, 0);     // no combo list
    }
    s.append(QByteArray(qsizetype(rows) * std::max<quint32>(cols, 1), '\0'));
    for (const quint32 n : {1u, rows - 1, 480u, 1u, 0u, 0u, 0u}) {  // the height run, one style
        put32(s, n);
    }
    s.append("\xff\xff\0\0\x01", 5);  // alignments unset, no picture, bold
    for (quint32 c = 0; c < cols; ++c) {
        for (const quint32 n : {c, 0u, rows, 0u}) {
            put32(s, n);
        }
    }
    nativeformat::Checksum sum;
    sum.update(s.constData(), static_cast<size_t>(s.size()));
    const quint64 le = qToLittleEndian(sum.result());
    s.append(reinterpret_cast<const char*>(&le), 8);
    return s;
}

}  // namespace pellumar::testing
