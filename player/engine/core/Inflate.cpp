#include "core/Inflate.h"

#include <zlib.h>

#include <algorithm>

namespace swf {

namespace {
// Deflate cannot expand its input more than about 1032 times (a stored run of the longest
// matches), so no stream needs more room than this at first, whatever size it claims: a
// tiny movie whose header promises 16 MB must not get 16 MB.
constexpr size_t kMostExpansion = 1032;
}  // namespace

InflateResult inflateZlib(std::span<const uint8_t> input, size_t expectedSize, size_t limit) {
    InflateResult result;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        result.error = "cannot start zlib";
        return result;
    }
    struct Closer { z_stream* z; ~Closer() { inflateEnd(z); } } closer{&z};

    const size_t possible = input.size() > (SIZE_MAX - 256) / kMostExpansion ? SIZE_MAX : input.size() * kMostExpansion + 256;
    result.data.resize(std::clamp<size_t>(std::min(expectedSize, possible), 256, std::min<size_t>(limit, 64u << 20)));
    z.next_in = const_cast<Bytef*>(input.data());
    size_t inputLeft = input.size();
    size_t produced = 0;
    for (;;) {
        if (produced == result.data.size()) {
            if (produced >= limit) {
                result.error = "decompressed data exceeds " + std::to_string(limit) + " bytes";
                break;
            }
            result.data.resize(std::min(limit, result.data.size() * 2));
        }
        // zlib counts in 32-bit uInt; feed big buffers in slices.
        uInt inChunk = static_cast<uInt>(std::min<size_t>(inputLeft, 1u << 30));
        uInt outChunk = static_cast<uInt>(std::min<size_t>(result.data.size() - produced, 1u << 30));
        z.avail_in = inChunk;
        z.next_out = result.data.data() + produced;
        z.avail_out = outChunk;
        int rc = inflate(&z, Z_NO_FLUSH);
        inputLeft -= inChunk - z.avail_in;
        produced += outChunk - z.avail_out;
        if (rc == Z_STREAM_END) {
            result.complete = true;
            break;
        }
        if (rc == Z_BUF_ERROR && inputLeft == 0 && z.avail_out != 0) {
            result.error = "compressed data ends early";
            result.inputEnded = true;
            break;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            result.error = std::string("compressed data is corrupt (") + (z.msg ? z.msg : "zlib error") + ")";
            break;
        }
    }
    result.data.resize(produced);
    // The data outlives the call (a movie keeps its file): give back the room it did not use.
    result.data.shrink_to_fit();
    return result;
}

}  // namespace swf
