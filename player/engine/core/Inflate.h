#pragma once
// zlib decompression of whole streams, with a cap so a small bomb cannot exhaust memory.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

struct InflateResult {
    std::vector<uint8_t> data;  // everything that decompressed, even when the stream broke off
    bool complete = false;      // the stream reached its end marker
    std::string error;          // why it stopped early (empty if complete)
    bool inputEnded = false;    // it stopped because the input ran out (a cut file), not on damage
};

// Decompresses a zlib stream; `expectedSize` is a hint for the first allocation, `limit` the
// most output accepted.
InflateResult inflateZlib(std::span<const uint8_t> input, size_t expectedSize, size_t limit);

}  // namespace swf
