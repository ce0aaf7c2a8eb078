#pragma once
// Bitmap files for the skin's members and built-in resources: 24-bit for pictures, 1-bit for
// the monochrome glyph strip.
#include <cstdint>
#include <vector>

#include "PixelImage.h"

namespace velmora::skinart {

std::vector<uint8_t> encodeBmp24(const skin::PixelImage& image);
// Pixels of colour `ink` become bit 0 (palette black), every other pixel bit 1 (white).
std::vector<uint8_t> encodeBmp1(const skin::PixelImage& image, skin::Pixel ink);

}  // namespace velmora::skinart
