#pragma once
// JPEG payloads of DefineBits, DefineBitsJPEG2-4, through libjpeg.
#include <cstdint>
#include <span>
#include <vector>

#include "model/Bitmap.h"

namespace swf {

// Joins separate tables and image data into one stream and drops the stray end-of-image /
// start-of-image pairs (FF D9 FF D8) that SWF writers put in front of or inside the data.
std::vector<uint8_t> normalizeJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> image);

// Decodes a complete JPEG stream into opaque pixels.
ImageResult decodeJpeg(std::span<const uint8_t> jpeg);

}  // namespace swf
