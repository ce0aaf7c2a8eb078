#pragma once
// Windows bitmap files as skins carry them: 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up
// or top-down, uncompressed, run-length encoded (8 and 4 bits) or with bit-field masks (16
// and 32 bits). Anything else, and every file whose numbers do not add up, is refused with a
// one-line reason; nothing is read outside the bytes given.
#include <cstdint>
#include <span>
#include <string>

#include "PixelImage.h"

namespace velmora::skin {

struct BmpDecodeResult {
    PixelImage image;   // opaque pixels; empty on failure
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

BmpDecodeResult decodeBmp(std::span<const uint8_t> file);

}  // namespace velmora::skin
