#pragma once
// Parameters of the LZHUF stream (LZSS with an adaptive Huffman coder) that stored skins use,
// and the fixed tables that code the upper six bits of a match position.
#include <array>
#include <cstdint>

namespace velmora::skin::lzh {

inline constexpr int kRingSize = 4096;        // sliding dictionary
inline constexpr int kLookAhead = 60;         // longest match
inline constexpr int kThreshold = 2;          // a match must be longer than this
inline constexpr int kFirstWrite = kRingSize - kLookAhead;  // ring starts with this many spaces
inline constexpr int kCharCodes = 256 - kThreshold + kLookAhead;  // literals + match lengths: 314
inline constexpr int kTreeSize = kCharCodes * 2 - 1;              // 627 nodes
inline constexpr int kRoot = kTreeSize - 1;                        // 626
inline constexpr unsigned kMaxFrequency = 0x8000;                  // root frequency that rebuilds

// A code c >= 256 copies c - 253 bytes.
inline constexpr int kFirstMatchCode = 256;
inline constexpr int matchLength(int code) { return code - kFirstMatchCode + kThreshold + 1; }
inline constexpr int matchCode(int length) { return length - kThreshold - 1 + kFirstMatchCode; }

// The upper six position bits are a prefix code of 3 to 8 bits. The decoder looks at the next
// 8 bits: positionUpper[byte] is the upper value they start with and positionBits[byte] the
// length of its prefix code. Both tables follow from how many upper values get each length:
// 1 value of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7 and 16 of 8 (every code is the next
// free one of its length, in increasing upper value).
struct PositionTables {
    std::array<uint8_t, 256> upper{};
    std::array<uint8_t, 256> bits{};
    std::array<uint8_t, 64> codeOfUpper{};  // the prefix code, left-aligned in 8 bits
    std::array<uint8_t, 64> bitsOfUpper{};
};

inline constexpr PositionTables makePositionTables() {
    PositionTables t;
    constexpr int valuesPerLength[] = {1, 3, 8, 12, 24, 16};  // lengths 3..8
    int upper = 0, byte = 0;
    for (int i = 0; i < 6; ++i) {
        int length = 3 + i;
        int span = 1 << (8 - length);  // bytes that start with one code of this length
        for (int v = 0; v < valuesPerLength[i]; ++v, ++upper) {
            t.codeOfUpper[upper] = static_cast<uint8_t>(byte);
            t.bitsOfUpper[upper] = static_cast<uint8_t>(length);
            for (int k = 0; k < span; ++k, ++byte) {
                t.upper[byte] = static_cast<uint8_t>(upper);
                t.bits[byte] = static_cast<uint8_t>(length);
            }
        }
    }
    return t;
}

inline constexpr PositionTables kPosition = makePositionTables();
static_assert(kPosition.upper[255] == 63 && kPosition.bits[255] == 8);
static_assert(kPosition.upper[0x20] == 1 && kPosition.bits[0x20] == 4);
static_assert(kPosition.upper[0xC0] == 0x18 && kPosition.bits[0xC0] == 7);
static_assert(kPosition.upper[0xF0] == 0x30 && kPosition.bits[0xF0] == 8);

}  // namespace velmora::skin::lzh
