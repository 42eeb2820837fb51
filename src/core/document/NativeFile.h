// The native grid file (.plm): a table with everything it shows, as one binary file.
//
// It keeps the row and column counts, every cell text (the title row included), the cell styles
// (bold, italic, underline, colours, font size, alignment, picture, check state), the column
// attributes (width, alignment, data type, display format, hidden flag, combo list) and the row
// heights. Saving and loading give back the same table.
//
// Layout, all numbers little-endian:
//   magic      8 bytes  89 'P' 'L' 'M' 0D 0A 1A 0A (a text-mode transfer spoils it visibly)
//   version    u32      kNativeVersion; a larger one was written by a newer Pellumar
//   rows, cols, height run count, style run count: u32 each
//   columns    cols x { i32 width, i32 alignment, i32 data type, u8 hidden,
//                       u32 length + UTF-8 format, u32 length + UTF-8 combo list }
//   texts      record by record (the title row first), each a LEB128 number n:
//                n odd: n / 2 + 1 empty records;
//                n even: a record of its first n / 2 cells (at least one, the rest are empty),
//                  each a LEB128 number m: m even, a text of m / 2 UTF-8 bytes that follow;
//                  m odd, m / 2 + 1 empty cells
//              so that empty cells and records take next to nothing
//   heights    count x { u32 first row, u32 rows, i32 twips }: runs of rows of one height
//              other than the default, in row order, not overlapping
//   styles     u32 style count, then count x style, each
//                { u32 fore colour, u32 back colour, f32 font size, i8 alignment,
//                  i8 picture alignment, u8 picture, u8 check state,
//                  u8 flags (1 bold, 2 italic, 4 underline) }
//              then the runs: count x { u32 col, u32 first row, u32 rows, u32 style }, runs of
//              equally styled cells down a column, by column and row, not overlapping
//   check sum  u64 over every byte before it
//
// Earlier versions are read too. Version 2 keeps every cell of every row, each a LEB128 length
// and its UTF-8 bytes (a table without columns a zero byte for each row). Version 1 keeps texts
// as version 2 does, a height as { u32 row, i32 twips } and a style as
// { u32 row, u32 col, style } for each cell that has one.
//
// A file that is not ours, newer, truncated, corrupted or inconsistent (counts that its size
// cannot hold, values out of range, a wrong check sum) gives an error naming the file and the
// problem, before anything absurd is allocated. Empty cells and rows take no memory, nothing is
// made ahead, and a table larger than the memory the load may take is refused before it is
// spent.
#pragma once

#include <QString>

#include "core/document/FileResult.h"
#include "core/table/Table.h"

class QIODevice;

namespace pellumar {

constexpr quint32 kNativeVersion = 3;

// Loads a native grid file into a fresh table; nothing else is touched. The table may take
// `memoryLimit` bytes (0: most of what the system has free); a file that needs more is refused
// before the memory is spent, and so is one the system gives too little memory for.
Result<Table> loadNative(const QString& path, const Progress& progress = {},
                         quint64 memoryLimit = 0);
// The same from an open device, read from its current position; `name` is used in errors.
Result<Table> loadNative(QIODevice& device, const QString& name, const Progress& progress = {},
                         quint64 memoryLimit = 0);

// Saves a table as a native grid file, replacing the file in one step (a failed save leaves any
// old file whole).
Result<void> saveNative(const Table& table, const QString& path);
Result<void> saveNative(const Table& table, QIODevice& device, const QString& name);

}  // namespace pellumar
