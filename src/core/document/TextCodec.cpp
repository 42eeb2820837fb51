#include "core/document/TextCodec.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace pellumar::textcodec {

namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ull;

// Code points of the bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char16_t, 32> kUpper = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Windows-1252 byte of a code point, or -1.
int windows1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<int>(cp);
    }
    for (size_t i = 0; i < kUpper.size(); ++i) {
        if (kUpper[i] == cp) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Decodes the code point at s[i] of valid UTF-8 and moves i past it.
char32_t decode(std::string_view s, size_t& i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) {
        ++i;
        return c;
    }
    if (c < 0xE0) {
        const char32_t cp = (char32_t{c} & 0x1F) << 6 | (b(i + 1) & 0x3F);
        i += 2;
        return cp;
    }
    if (c < 0xF0) {
        const char32_t cp =
            (char32_t{c} & 0x0F) << 12 | char32_t{b(i + 1) & 0x3Fu} << 6 | (b(i + 2) & 0x3F);
        i += 3;
        return cp;
    }
    const char32_t cp = (char32_t{c} & 0x07) << 18 | char32_t{b(i + 1) & 0x3Fu} << 12 |
                        char32_t{b(i + 2) & 0x3Fu} << 6 | (b(i + 3) & 0x3F);
    i += 4;
    return cp;
}

// Writes the UTF-8 of a code point at `o` and gives the end.
char* putUtf8(char32_t cp, char* o) {
    if (cp < 0x80) {
        *o++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *o++ = static_cast<char>(0xC0 | (cp >> 6));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *o++ = static_cast<char>(0xE0 | (cp >> 12));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | (cp >> 18));
        *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return o;
}

void appendUtf8(char32_t cp, std::string& out) {
    char bytes[4];
    out.append(bytes, static_cast<size_t>(putUtf8(cp, bytes) - bytes));
}

// The Windows-1252 character of a high byte, in UTF-8.
void appendWindows1252Byte(unsigned char c, std::string& out) {
    appendUtf8(c < 0xA0 ? char32_t{kUpper[c - 0x80]} : char32_t{c}, out);
}

// The length of the well-formed multi-byte sequence that starts at the high byte s[i]: 0 when
// none starts there, -1 when the text ends inside what could still become one.
int sequenceAt(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : low;
        high = c == 0xED ? 0x9F : high;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        low = c == 0xF0 ? 0x90 : low;
        high = c == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if (i + static_cast<size_t>(k) >= s.size()) {
            return -1;
        }
        const auto d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if (k == 1 ? (d < low || d > high) : (d & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// The length of the UTF-8 sequence led by c (in valid UTF-8).
size_t leadLength(unsigned char c) {
    return c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
}

}  // namespace

bool hasHighBytes(std::string_view bytes) {
    const char* p = bytes.data();
    size_t n = bytes.size();
    uint64_t acc = 0;
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        acc |= w;
    }
    for (; n > 0; ++p, --n) {
        acc |= static_cast<unsigned char>(*p);
    }
    return (acc & kHighBits) != 0;
}

bool isValidUtf8(std::string_view s) {
    const size_t n = s.size();
    size_t i = 0;
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const auto cont = [&](size_t k) { return k < n && (b(k) & 0xC0) == 0x80; };
    while (i < n) {
        if (i + 8 <= n) {
            uint64_t w;
            std::memcpy(&w, s.data() + i, 8);
            if ((w & kHighBits) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = b(i);
        if (c < 0x80) {
            ++i;
        } else if (c < 0xC2) {
            return false;
        } else if (c < 0xE0) {
            if (!cont(i + 1)) {
                return false;
            }
            i += 2;
        } else if (c < 0xF0) {
            if (!cont(i + 1) || !cont(i + 2) || (c == 0xE0 && b(i + 1) < 0xA0) ||
                (c == 0xED && b(i + 1) > 0x9F)) {
                return false;
            }
            i += 3;
        } else if (c < 0xF5) {
            if (!cont(i + 1) || !cont(i + 2) || !cont(i + 3) || (c == 0xF0 && b(i + 1) < 0x90) ||
                (c == 0xF4 && b(i + 1) > 0x8F)) {
                return false;
            }
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

void appendWindows1252AsUtf8(std::string_view bytes, std::string& out) {
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            appendWindows1252Byte(c, out);
        }
    }
}

bool fitsWindows1252(std::string_view utf8) {
    if (!hasHighBytes(utf8)) {
        return true;
    }
    if (!isValidUtf8(utf8)) {
        return false;
    }
    for (size_t i = 0; i < utf8.size();) {
        if (windows1252Byte(decode(utf8, i)) < 0) {
            return false;
        }
    }
    return true;
}

void appendUtf8AsWindows1252(std::string_view utf8, std::string& out) {
    for (size_t i = 0; i < utf8.size();) {
        const int byte = windows1252Byte(decode(utf8, i));
        out.push_back(static_cast<char>(byte < 0 ? '?' : byte));
    }
}

size_t countUtf8(std::string_view bytes, bool last, Utf8Census& census) {
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            uint64_t w;
            std::memcpy(&w, bytes.data() + i, 8);
            if ((w & kHighBits) == 0) {
                i += 8;
                continue;
            }
        }
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const int length = sequenceAt(bytes, i);
        if (length < 0 && !last) {
            return i;
        }
        if (length > 0) {
            ++census.sequences;
            i += static_cast<size_t>(length);
        } else {
            ++census.invalid;
            ++i;
        }
    }
    return n;
}

Utf8Census countUtf8(std::string_view bytes) {
    Utf8Census census;
    countUtf8(bytes, true, census);
    return census;
}

bool isMixedUtf8(const Utf8Census& census) {
    return census.sequences > 0 && census.invalid <= census.sequences;
}

void appendMixedAsUtf8(std::string_view bytes, std::string& out) {
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const int length = sequenceAt(bytes, i);
        if (length > 0) {
            out.append(bytes.data() + i, static_cast<size_t>(length));
            i += static_cast<size_t>(length);
        } else {
            appendWindows1252Byte(c, out);
            ++i;
        }
    }
}

size_t Utf16Decoder::decode(std::string_view bytes, char* out, bool last) {
    char* o = out;
    const auto unitOf = [this](unsigned char a, unsigned char b) {
        return static_cast<char16_t>(bigEndian_ ? (a << 8) | b : (b << 8) | a);
    };
    const auto replace = [&] {
        replaced_ = true;
        o = putUtf8(0xFFFD, o);
    };
    const auto take = [&](char16_t u) {
        if (high_ != 0) {
            if (u >= 0xDC00 && u <= 0xDFFF) {
                o = putUtf8(0x10000 + ((char32_t{high_} - 0xD800) << 10) + (u - 0xDC00u), o);
                high_ = 0;
                return;
            }
            high_ = 0;
            replace();
        }
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
        } else if (u >= 0xD800 && u <= 0xDBFF) {
            high_ = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            replace();
        } else {
            o = putUtf8(u, o);
        }
    };
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t i = 0;
    const size_t n = bytes.size();
    if (pendingByte_ >= 0 && n > 0) {
        take(unitOf(static_cast<unsigned char>(pendingByte_), p[0]));
        pendingByte_ = -1;
        i = 1;
    }
    for (; i + 1 < n; i += 2) {
        take(unitOf(p[i], p[i + 1]));
    }
    if (i < n) {
        pendingByte_ = p[i];
    }
    if (last) {
        if (high_ != 0) {
            high_ = 0;
            replace();
        }
        if (pendingByte_ >= 0) {
            oddByte_ = pendingByte_;
            pendingByte_ = -1;
            replace();
        }
    }
    return static_cast<size_t>(o - out);
}

std::optional<bool> utf16WithoutMark(std::string_view head) {
    const size_t pairs = head.size() / 2;
    if (pairs < 2) {
        return std::nullopt;
    }
    size_t first = 0;   // NUL bytes first in their pair
    size_t second = 0;  // NUL bytes second in their pair
    for (size_t i = 0; i < pairs; ++i) {
        first += head[2 * i] == '\0';
        second += head[2 * i + 1] == '\0';
    }
    if (first == 0 && second * 2 >= pairs) {
        return false;  // "a\0": little endian
    }
    if (second == 0 && first * 2 >= pairs) {
        return true;
    }
    return std::nullopt;
}

size_t appendUtf8AsUtf16(std::string_view utf8, bool bigEndian, bool last, std::string& out) {
    const auto put = [&](char16_t u) {
        const auto hi = static_cast<char>(u >> 8);
        const auto lo = static_cast<char>(u & 0xFF);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    };
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            put(c);
            ++i;
            continue;
        }
        if (i + leadLength(c) > n) {
            if (!last) {
                return i;
            }
            put(0xFFFD);
            break;
        }
        const char32_t cp = decode(utf8, i);
        if (cp >= 0x10000) {
            put(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(cp));
        }
    }
    return n;
}

}  // namespace pellumar::textcodec
