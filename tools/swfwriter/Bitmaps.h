#pragma once
// Bitmap definitions: lossless (zlib) bitmaps and the three JPEG forms.
#include <cstdint>
#include <vector>

#include "Image.h"

namespace swfw {

enum class LosslessFormat : uint8_t { ColorMapped8 = 3, Rgb15 = 4, Rgb32 = 5 };

// DefineBitsLossless (version 1, opaque images only) or DefineBitsLossless2 (version 2,
// premultiplied alpha). Rgb15 exists only in version 1; ColorMapped8 needs at most 256 colours.
std::vector<uint8_t> encodeDefineBitsLossless(uint16_t id, const Image& image, int version, LosslessFormat format);

// DefineBitsJPEG2: a complete JPEG stream.
std::vector<uint8_t> encodeDefineBitsJpeg2(uint16_t id, const std::vector<uint8_t>& jpeg);
// DefineBitsJPEG3: a JPEG stream and one zlib-compressed alpha byte per pixel.
std::vector<uint8_t> encodeDefineBitsJpeg3(uint16_t id, const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& alpha);
// DefineBits: an abbreviated JPEG stream whose tables come from the movie's JPEGTables tag.
std::vector<uint8_t> encodeDefineBits(uint16_t id, const std::vector<uint8_t>& abbreviatedJpeg);

}  // namespace swfw
