#include "PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace swf::tools {

namespace {
struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;
}  // namespace

std::string writePng(const std::string& path, const RgbaImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return "cannot create " + path + ": " + std::strerror(errno);
    if (!png_image_write_to_stdio(&png, file.get(), 0, image.rgba.data(), 0, nullptr))
        return "cannot write " + path + ": " + png.message;
    if (std::fflush(file.get()) != 0) return "cannot write " + path + ": " + std::strerror(errno);
    return {};
}

std::string readPng(const std::string& path, RgbaImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return path + ": " + png.message;
    png.format = PNG_FORMAT_RGBA;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        std::string reason = path + ": " + png.message;
        png_image_free(&png);
        return reason;
    }
    return {};
}

}  // namespace swf::tools
