#pragma once
// GIF payloads of DefineBitsJPEG2/3 (SWF 8+): the first image, with its transparency.
#include <span>

#include "model/Bitmap.h"

namespace swf {

bool isGif(std::span<const uint8_t> data);
ImageResult decodeGif(std::span<const uint8_t> gif);

}  // namespace swf
