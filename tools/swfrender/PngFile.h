#pragma once
// PNG files as straight-alpha RGBA images, the form test references are kept in.
#include <cstdint>
#include <string>
#include <vector>

namespace swf::tools {

struct RgbaImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;  // width * height * 4, straight alpha
    uint8_t* at(int x, int y) { return &rgba[(size_t(y) * width + x) * 4]; }
    const uint8_t* at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

// Both return an empty string on success, else a one-line reason.
std::string writePng(const std::string& path, const RgbaImage& image);
std::string readPng(const std::string& path, RgbaImage& image);

}  // namespace swf::tools
