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
// A UTF-8 byte-order mark is dropped. A file that starts with a UTF-16 byte-order mark (little or
// big endian: what spreadsheet programs write as "Unicode Text") is read as UTF-16, and so is a
// file without one whose first bytes have a NUL in every other byte and none in between (the
// high bytes of Latin characters), in the byte order that shows. A UTF-16 file that ends in an
// odd byte warns, naming the byte (read as U+FFFD). A file that is not valid UTF-8 is read as
// Windows-1252, the code page of older programs, so that its accents survive; but a file of UTF-8
// with a few stray bytes of that code page (no more stray bytes than well-formed multi-byte
// sequences, or any stray byte after a UTF-8 byte-order mark) is read as UTF-8 with only the stray
// bytes read as Windows-1252, and the load warns that it will be saved as UTF-8. A file with NUL
// bytes that is not UTF-16 loads all the same, and warns that it does not look like text.
//
// A file that ends inside a quoted field keeps the rest of the file in that field, and the load
// warns, naming the line where the quote opened.
//
// Saving writes one line per row (row 0 first) with every cell in column order, each line ending
// in CRLF. A field is quoted (with its quotes doubled) exactly when it holds the separator, a
// double quote or a line break, or starts or ends with a space or tab (and the file's first field
// when it starts like a byte-order mark). Loading gives back what saving wrote, cell for cell.
//
// Memory follows the file: empty fields and blank lines take no cell storage, and nothing is
// reserved ahead on a guess. A line of more than kMaxColumns fields is refused as soon as its
// field past the limit is split, and a table that would take more memory than the load may have
// is refused before it is spent, naming the memory it would need.
#pragma once

#include <QString>
#include <QStringList>

#include "core/document/FileResult.h"
#include "core/table/Table.h"

class QIODevice;

namespace pellumar {

// How a text file's bytes encode its characters.
enum class TextEncoding {
    Utf8,         // UTF-8 without a byte-order mark (also plain ASCII)
    Utf8Bom,      // UTF-8 starting with a byte-order mark
    Windows1252,  // the Western code page of older programs
    Utf16LeBom,   // UTF-16, little endian, starting with a byte-order mark
    Utf16BeBom,   // UTF-16, big endian, starting with a byte-order mark
    Utf16Le,      // UTF-16, little endian, without a byte-order mark
    Utf16Be,      // UTF-16, big endian, without a byte-order mark
};

inline bool isUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16LeBom || encoding == TextEncoding::Utf16BeBom ||
           encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

struct TextLoad {
    Table table;
    TextEncoding encoding = TextEncoding::Utf8;  // to write the file back the way it was read
    // What the user should know about a file that loaded: worded for the user, each naming the
    // file (a mix of encodings, a quoted field left open).
    QStringList warnings;
};

// Loads a comma (u',') or tab (u'\t') text file into a fresh table. Errors name the file and
// the reason; nothing but the returned table is touched. The table may take `memoryLimit`
// bytes (0: most of what the system has free).
Result<TextLoad> loadDelimited(const QString& path, char16_t separator,
                               const Progress& progress = {}, quint64 memoryLimit = 0);
// The same from an open device (read from its current position); `name` is used in errors.
Result<TextLoad> loadDelimited(QIODevice& device, const QString& name, char16_t separator,
                               const Progress& progress = {}, quint64 memoryLimit = 0);

// Whether a save writes row 0 (the title row) as the file's first line.
enum class TitleLine { Written, Skipped };

// Saves a table as comma or tab text, replacing the file in one step (a failed save leaves any
// old file whole). UTF-16 is written with a byte-order mark when it was read with one. A save
// whose text would be larger than the free space of its disk is refused before writing.
// Windows-1252 is written only when every character fits and the bytes would read back as
// Windows-1252, else UTF-8 without a byte-order mark; the result is the encoding actually written.
// A table that came from no file is written as UTF-8 (the default).
Result<TextEncoding> saveDelimited(const Table& table, const QString& path, char16_t separator,
                                   TextEncoding encoding = TextEncoding::Utf8,
                                   TitleLine titleLine = TitleLine::Written);
Result<TextEncoding> saveDelimited(const Table& table, QIODevice& device, const QString& name,
                                   char16_t separator, TextEncoding encoding = TextEncoding::Utf8,
                                   TitleLine titleLine = TitleLine::Written);

}  // namespace pellumar
