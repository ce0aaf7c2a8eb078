#pragma once
// The stored skin: a 32-bit little-endian unpacked size followed by the LZHUF stream of the
// archive. A skin file holds exactly these bytes; the SkinStream property wraps them in a
// signed 32-bit byte count.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora::skin {

// Most bytes that `streamBytes` of LZHUF can honestly produce. The cheapest code is a match of
// 60 bytes whose length code has reached a 1-bit Huffman code and whose position takes the
// shortest 9 bits: 60 bytes per 10 bits, 6 per bit, 48 per byte. An encoder writes every bit
// of every code, so a larger size could only come from the zero bits read past the end.
inline constexpr uint64_t kMostBytesPerStreamByte = 48;
uint64_t maxUnpackedSize(size_t streamBytes);

// Throws SkinArchiveError when the prefix is missing or the size is not justified.
std::vector<uint8_t> unpackStoredSkin(std::span<const uint8_t> stored);
std::vector<uint8_t> packStoredSkin(std::span<const uint8_t> archive);

// The SkinStream property: a signed 32-bit count and that many bytes; a count of 0 or less
// means no stored skin and is all there is.
std::vector<uint8_t> writeSkinStreamProperty(std::span<const uint8_t> stored);
// The stored skin inside a property value; throws SkinArchiveError when the count runs past it.
std::vector<uint8_t> readSkinStreamProperty(std::span<const uint8_t> property);

}  // namespace velmora::skin
