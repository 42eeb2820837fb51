// A file dropped onto the Drop Box: its first item, read as a line-oriented text reader reads
// one string item.
#pragma once

#include <QString>

#include "core/document/FileResult.h"

namespace pellumar::formreader {

// The longest first item read from a file (bytes).
constexpr qsizetype kMaxItemBytes = qsizetype{16} << 20;

// The file's first item: leading spaces and tabs are skipped; an item that begins with a double
// quote runs to the closing quote (without the quotes, commas and line breaks kept), any other
// runs to the first comma or line end, without its trailing spaces and tabs. The text is UTF-16
// when the file starts with its byte-order mark, else UTF-8 (with or without a byte-order mark),
// UTF-8 with a few stray Windows-1252 bytes, or Windows-1252 (the rules of the text file forms).
// An empty file gives the empty text. Each byte is looked at once, however long the item.
Result<QString> readFirstItem(const QString& path);

}  // namespace pellumar::formreader
