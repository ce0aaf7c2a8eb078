#pragma once
// Bitmap tags: the header fields are read and checked at load; pixels are decoded on first
// use (see BitmapDef).
#include <memory>

#include "core/ByteReader.h"
#include "core/SharedBytes.h"
#include "decode/TagContext.h"
#include "model/Bitmap.h"

namespace swf {

// DefineBits: JPEG data that needs the movie's JPEGTables.
std::shared_ptr<BitmapDef> readDefineBits(ByteReader& r, const SharedBytes& jpegTables, const TagContext& ctx);
// DefineBitsJPEG2/3/4: JPEG, PNG or GIF; versions 3-4 add a zlib alpha plane for JPEG.
std::shared_ptr<BitmapDef> readDefineBitsJpeg(ByteReader& r, int jpegVersion, const TagContext& ctx);
// DefineBitsLossless 1-2.
std::shared_ptr<BitmapDef> readDefineBitsLossless(ByteReader& r, int losslessVersion, const TagContext& ctx);

// Size of a JPEG from its frame header; fails if the stream has none before its scan.
void jpegDimensions(std::span<const uint8_t> jpeg, uint32_t& width, uint32_t& height);

}  // namespace swf
