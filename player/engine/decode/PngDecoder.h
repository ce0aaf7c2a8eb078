#pragma once
// PNG payloads of DefineBitsJPEG2/3 (SWF 8+). Our own small decoder over zlib, since the
// Windows build has no libpng: every colour type and bit depth, Adam7 interlacing, tRNS.
#include <span>

#include "model/Bitmap.h"

namespace swf {

bool isPng(std::span<const uint8_t> data);
ImageResult decodePng(std::span<const uint8_t> png);

}  // namespace swf
