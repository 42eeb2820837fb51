#include "document/TextCodec.h"

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

void appendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
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
        } else if (c < 0xA0) {
            appendUtf8(kUpper[c - 0x80], out);
        } else {
            appendUtf8(c, out);
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

}  // namespace pellumar::textcodec
