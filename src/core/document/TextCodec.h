// Byte-level text helpers for the text file forms: UTF-8 checking, the Windows-1252 code page
// that older programs write, files that mix the two, and UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// How the high bytes of a text divide: well-formed multi-byte UTF-8 sequences, and bytes that
// are part of none (each counted alone, the next byte looked at afresh).
struct Utf8Census {
    uint64_t sequences = 0;
    uint64_t invalid = 0;

    Utf8Census& operator+=(const Utf8Census& other) {
        sequences += other.sequences;
        invalid += other.invalid;
        return *this;
    }
};

// Counts the bytes of `bytes` into `census`. Unless `last`, a sequence that the end cuts short is
// left uncounted: the result is the count of bytes taken, and the rest belongs to the next call.
size_t countUtf8(std::string_view bytes, bool last, Utf8Census& census);
Utf8Census countUtf8(std::string_view bytes);

// True when a file of such bytes is UTF-8 with a few stray bytes of another code page: it holds
// multi-byte sequences and no more stray bytes than sequences. Such a file is read as UTF-8 with
// only the stray bytes read as Windows-1252; a file with no sequence at all, or more stray bytes
// than sequences, is Windows-1252 through and through.
bool isMixedUtf8(const Utf8Census& census);

// Appends the UTF-8 form of mixed bytes: well-formed sequences as they are, the other high bytes
// as Windows-1252 characters.
void appendMixedAsUtf8(std::string_view bytes, std::string& out);

// UTF-16 into UTF-8, in pieces: a code unit or a surrogate pair that a piece cuts through waits
// for the next. An unpaired surrogate, and an odd byte at the very end, become U+FFFD.
class Utf16Decoder {
public:
    explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}

    // Writes the UTF-8 of `bytes` at `out` and gives the count written: at most
    // maxOutput(bytes.size()). `last` ends the text.
    size_t decode(std::string_view bytes, char* out, bool last);
    static size_t maxOutput(size_t bytes) { return bytes / 2 * 3 + 12; }
    // True once an unpaired surrogate or an odd byte was replaced.
    bool replaced() const { return replaced_; }
    // The odd byte the text ended in (replaced by U+FFFD), or -1.
    int oddByte() const { return oddByte_; }

private:
    bool bigEndian_;
    bool replaced_ = false;
    int oddByte_ = -1;
    int pendingByte_ = -1;  // the first byte of a unit cut in two
    char16_t high_ = 0;     // a high surrogate waiting for its low one
};

// Whether the first bytes of a file without a byte-order mark are UTF-16: a NUL in every other
// byte (the high bytes of Latin characters; at least every second pair) and none in between.
// Gives true for big endian, false for little endian, nothing when they do not look so.
std::optional<bool> utf16WithoutMark(std::string_view head);

// Appends the UTF-16 form of valid UTF-8 to `out`. Unless `last`, a sequence that the end cuts
// short is left for the next call: the result is the count of bytes taken.
size_t appendUtf8AsUtf16(std::string_view utf8, bool bigEndian, bool last, std::string& out);

}  // namespace pellumar::textcodec
