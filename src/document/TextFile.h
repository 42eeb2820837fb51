// Comma and tab text files: one line per row, one field per cell.
//
// Loading follows RFC 4180: a field that starts with a double quote runs to the matching closing
// quote and may hold separators, line breaks and doubled quotes (read as one quote); any other
// field is taken as it is, up to the next separator or line end. Lines end with LF, CRLF or a
// lone CR; a line end after the last line adds no row, and blank lines inside the file are kept
// as rows with empty cells. The table is as wide as the widest line; shorter lines leave their
// last cells empty. All lines are loaded alike: the first line lands in row 0, so a caller that
// wants it as the first record puts the table below an empty title row.
//
// A UTF-8 byte-order mark is dropped. A file that is not valid UTF-8 is read as Windows-1252,
// the code page of older programs, so that its accents survive.
//
// Saving writes one line per row (row 0 first) with every cell in column order, each line ending
// in CRLF. A field is quoted (with its quotes doubled) exactly when it holds the separator, a
// double quote or a line break, or starts or ends with a space or tab (and the file's first field
// when it starts like a byte-order mark). Loading gives back what saving wrote, cell for cell.
//
// Hostile files are refused before they cost absurd memory: a line of more than kMaxColumns
// fields, or a table needing more than 32 cells per byte of the file (uneven lines multiply).
#pragma once

#include <QString>

#include "document/FileResult.h"
#include "grid/Table.h"

class QIODevice;

namespace pellumar {

// How a text file's bytes encode its characters.
enum class TextEncoding {
    Utf8,         // UTF-8 without a byte-order mark (also plain ASCII)
    Utf8Bom,      // UTF-8 starting with a byte-order mark
    Windows1252,  // the Western code page of older programs
};

struct TextLoad {
    Table table;
    TextEncoding encoding = TextEncoding::Utf8;  // to write the file back the way it was read
};

// Loads a comma (u',') or tab (u'\t') text file into a fresh table. Errors name the file and
// the reason; nothing but the returned table is touched.
Result<TextLoad> loadDelimited(const QString& path, char16_t separator,
                               const Progress& progress = {});
// The same from an open device (read from its current position); `name` is used in errors.
Result<TextLoad> loadDelimited(QIODevice& device, const QString& name, char16_t separator,
                               const Progress& progress = {});

// Whether a save writes row 0 (the title row) as the file's first line.
enum class TitleLine { Written, Skipped };

// Saves a table as comma or tab text, replacing the file in one step (a failed save leaves any
// old file whole). Windows-1252 is written only when every character fits and the bytes would
// not read back as UTF-8, else UTF-8 without a byte-order mark; the result is the encoding
// actually written. A table that came from no file is written as UTF-8 (the default).
Result<TextEncoding> saveDelimited(const Table& table, const QString& path, char16_t separator,
                                   TextEncoding encoding = TextEncoding::Utf8,
                                   TitleLine titleLine = TitleLine::Written);
Result<TextEncoding> saveDelimited(const Table& table, QIODevice& device, const QString& name,
                                   char16_t separator, TextEncoding encoding = TextEncoding::Utf8,
                                   TitleLine titleLine = TitleLine::Written);

}  // namespace pellumar
