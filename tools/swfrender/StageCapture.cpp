#include "StageCapture.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "decode/Decoder.h"

namespace swf::tools {

FileBytes readFileBytes(const std::string& path) {
    FileBytes out;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out.error = "cannot open " + path + ": " + std::strerror(errno);
        return out;
    }
    out.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) out.error = "cannot read " + path;
    return out;
}

LoadedMovie loadMovie(const std::string& path) {
    LoadedMovie out;
    FileBytes file = readFileBytes(path);
    if (!file.error.empty()) {
        out.error = file.error;
        return out;
    }
    DecodeResult result = decodeMovie(file.bytes);
    if (!result) {
        out.error = result.error.message.empty() ? "not a movie we can decode" : result.error.message;
        return out;
    }
    out.movie = result.movie;
    return out;
}

void stagePixelSize(const MovieDef& movie, int& width, int& height) {
    const Rect& s = movie.header.frameSize;
    width = std::max(1, static_cast<int>(std::ceil(s.width() / double(kTwipsPerPixel))));
    height = std::max(1, static_cast<int>(std::ceil(s.height() / double(kTwipsPerPixel))));
}

RgbaImage toRgba(const std::vector<Pixel>& pixels, int width, int height) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.rgba.resize(size_t(width) * height * 4);
    for (size_t i = 0; i < pixels.size() && i < size_t(width) * height; ++i) {
        Pixel p = pixels[i];
        uint32_t a = p >> 24;
        auto straight = [a](uint32_t c) { return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a); };
        image.rgba[i * 4 + 0] = static_cast<uint8_t>(straight(p >> 16 & 0xFF));
        image.rgba[i * 4 + 1] = static_cast<uint8_t>(straight(p >> 8 & 0xFF));
        image.rgba[i * 4 + 2] = static_cast<uint8_t>(straight(p & 0xFF));
        image.rgba[i * 4 + 3] = static_cast<uint8_t>(a);
    }
    return image;
}

}  // namespace swf::tools
