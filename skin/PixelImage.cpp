#include "PixelImage.h"

#include <stdexcept>
#include <string>

namespace velmora::skin {

PixelImage::PixelImage(int width, int height, Pixel fill) {
    if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide ||
        int64_t{width} * height > kMaxImagePixels)
        throw std::length_error("skin image of " + std::to_string(width) + "x" + std::to_string(height) +
                                " pixels is outside the supported size");
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
}

}  // namespace velmora::skin
