// The layout of the program's own file, shared by its reader and its writer: the mark it starts
// with, the sizes of its records, and the check sum that ends it.
#pragma once

#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pellumar::nativeformat {

inline constexpr char kMagic[8] = {'\x89', 'P', 'L', 'M', '\r', '\n', '\x1a', '\n'};
inline constexpr size_t kHeaderSize = sizeof kMagic + 5 * 4;
inline constexpr size_t kMinColumnSize = 4 + 4 + 4 + 1 + 4 + 4;
inline constexpr size_t kStyleRecordSize = 3 * 4 + 5;  // the style itself
inline constexpr size_t kHeightSizeV1 = 4 + 4;
inline constexpr size_t kStyleSizeV1 = 2 * 4 + kStyleRecordSize;
inline constexpr size_t kHeightRunSize = 3 * 4;
inline constexpr size_t kStyleRunSize = 4 * 4;
inline constexpr size_t kChecksumSize = 8;
inline constexpr int kMaxTwips = 1000000;

// A 64-bit check sum over 32-byte blocks, four independent lanes. Each step is a bijection of a
// lane for a given input word, so any single changed word changes the result.
class Checksum {
public:
    void update(const char* p, size_t n) {
        length_ += n;
        if (pending_ > 0) {
            const size_t take = std::min(n, sizeof block_ - pending_);
            std::memcpy(block_ + pending_, p, take);
            pending_ += take;
            p += take;
            n -= take;
            if (pending_ < sizeof block_) {
                return;
            }
            mixBlock(block_);
            pending_ = 0;
        }
        for (; n >= sizeof block_; p += sizeof block_, n -= sizeof block_) {
            mixBlock(p);
        }
        std::memcpy(block_, p, n);
        pending_ = n;
    }

    uint64_t result() const {
        std::array<uint64_t, 4> lanes = lanes_;
        char last[32] = {};
        std::memcpy(last, block_, pending_);
        for (size_t i = 0; i < 4; ++i) {
            lanes[i] = mix(lanes[i], word(last + 8 * i));
        }
        uint64_t h = length_;
        for (const uint64_t lane : lanes) {
            h = mix(h, lane);
        }
        return h ^ (h >> 29);
    }

private:
    static constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    static uint64_t word(const char* p) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        return qFromLittleEndian(w);
    }
    static uint64_t mix(uint64_t h, uint64_t w) { return std::rotl((h ^ w) * kPrime, 31); }
    void mixBlock(const char* p) {
        for (size_t i = 0; i < 4; ++i) {
            lanes_[i] = mix(lanes_[i], word(p + 8 * i));
        }
    }

    std::array<uint64_t, 4> lanes_ = {1, 2, 3, 4};
    char block_[32] = {};
    size_t pending_ = 0;
    uint64_t length_ = 0;
};

}  // namespace pellumar::nativeformat
