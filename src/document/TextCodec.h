// Byte-level text helpers for the text file forms: UTF-8 checking and the Windows-1252 code page
// that older programs write.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pellumar::textcodec {

// True when some byte is outside ASCII.
bool hasHighBytes(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// beyond U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Appends the UTF-8 form of Windows-1252 bytes to `out`. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, as
// Windows reads them, so that they are written back unchanged.
void appendWindows1252AsUtf8(std::string_view bytes, std::string& out);

// True when every character of a UTF-8 text has a Windows-1252 byte.
bool fitsWindows1252(std::string_view utf8);

// Appends the Windows-1252 form of a UTF-8 text that fits (fitsWindows1252) to `out`.
void appendUtf8AsWindows1252(std::string_view utf8, std::string& out);

}  // namespace pellumar::textcodec
