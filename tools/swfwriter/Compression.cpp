#include "Compression.h"

#include <zlib.h>

#include <stdexcept>

namespace swfw {

std::vector<uint8_t> zlibCompress(std::span<const uint8_t> data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    int rc = compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION);
    if (rc != Z_OK) throw std::runtime_error("zlib compression failed (" + std::to_string(rc) + ")");
    out.resize(size);
    return out;
}

}  // namespace swfw
