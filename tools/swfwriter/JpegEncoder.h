#pragma once
// JPEG streams from libjpeg's encoder (colour only; alpha travels separately in the file).
#include <cstdint>
#include <vector>

#include "Image.h"

namespace swfw {

// A complete stream: SOI, tables, image, EOI. Translucent pixels are stored premultiplied,
// as DefineBitsJPEG3 expects them next to its alpha plane.
std::vector<uint8_t> encodeJpeg(const Image& image, int quality = 85);

// The same picture split for DefineBits + JPEGTables: a tables-only stream and an image
// stream that leaves its tables out.
struct AbbreviatedJpeg {
    std::vector<uint8_t> tables;
    std::vector<uint8_t> image;
};
AbbreviatedJpeg encodeJpegAbbreviated(const Image& image, int quality = 85);

// The alpha plane of an image, one byte per pixel.
std::vector<uint8_t> alphaPlane(const Image& image);

}  // namespace swfw
