#pragma once
// The largest bitmap we decode. Flash Player's own limit is 16,777,215 pixels; anything
// bigger in a movie is damage or a bomb, and 64 MB of pixels is already a lot for a 32-bit
// process.
#include <cstdint>
#include <string>

#include "core/DecodeFailure.h"

namespace swf {

constexpr uint64_t kMaxImagePixels = uint64_t{1} << 24;

inline void checkImageSize(uint64_t width, uint64_t height) {
    if (width * height > kMaxImagePixels)
        fail("bitmap of " + std::to_string(width) + "x" + std::to_string(height) + " pixels is larger than " +
             std::to_string(kMaxImagePixels) + " pixels");
}

}  // namespace swf
