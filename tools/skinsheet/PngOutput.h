#pragma once
#include <string>

#include "PixelImage.h"

namespace velmora::skinsheet {

// Writes the picture as an opaque RGB PNG; returns an error text, empty on success.
std::string writePng(const std::string& path, const skin::PixelImage& image);

}  // namespace velmora::skinsheet
