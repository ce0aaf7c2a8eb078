#include "PngOutput.h"

#include <png.h>

#include <vector>

namespace velmora::skinsheet {

std::string writePng(const std::string& path, const skin::PixelImage& image) {
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(image.width()) * static_cast<size_t>(image.height()) * 3);
    for (skin::Pixel p : image.pixels()) {
        rgb.push_back(static_cast<uint8_t>(p >> 16));
        rgb.push_back(static_cast<uint8_t>(p >> 8));
        rgb.push_back(static_cast<uint8_t>(p));
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width());
    png.height = static_cast<png_uint_32>(image.height());
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr))
        return "cannot write " + path + ": " + png.message;
    return {};
}

}  // namespace velmora::skinsheet
