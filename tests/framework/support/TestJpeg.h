#pragma once
// JPEG files for picture tests, encoded on the spot with libjpeg.
#include <cstdint>
#include <functional>
#include <vector>

namespace vm::test {

struct TestJpegOptions {
    int components = 3;        // 1 = greyscale (the low byte of each pixel), 3 = RGB
    int quality = 95;
    bool progressive = false;  // progressive files have the most structure to damage
};

// The bytes of a JPEG whose pixel (x, y) has the colour rgb(x, y) = 0xRRGGBB.
std::vector<std::uint8_t> EncodeTestJpeg(int width, int height, const std::function<std::uint32_t(int, int)>& rgb,
                                         TestJpegOptions options = {});

}  // namespace vm::test
