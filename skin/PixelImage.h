#pragma once
// A skin bitmap in memory: 32-bit pixels 0xAARRGGBB, top row first, rows without padding.
// Skin pictures are opaque (their files are 24-bit); transparency comes from a key colour,
// never from alpha, so drawing copies whole pixels and compares only the colour bits.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::skin {

using Pixel = uint32_t;

constexpr Pixel kOpaqueBlack = 0xFF000000;
constexpr Pixel kColourBits = 0x00FFFFFF;

// Skins hold small pictures; anything near these limits is damage or an attack, and the
// limits keep width * height * 4 far inside a 32-bit size_t.
constexpr int kMaxImageSide = 32767;
constexpr int64_t kMaxImagePixels = int64_t{1} << 24;

class PixelImage {
public:
    PixelImage() = default;
    // Throws std::length_error for a size outside the limits above (negative included).
    PixelImage(int width, int height, Pixel fill = kOpaqueBlack);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    Pixel* row(int y) { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
    const Pixel* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
    Pixel& at(int x, int y) { return row(y)[x]; }
    Pixel at(int x, int y) const { return row(y)[x]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    const std::vector<Pixel>& pixels() const { return pixels_; }
    bool operator==(const PixelImage&) const = default;

private:
    int width_ = 0, height_ = 0;
    std::vector<Pixel> pixels_;
};

// The colour part of two pixels is the same (alpha ignored).
inline bool sameColour(Pixel a, Pixel b) { return ((a ^ b) & kColourBits) == 0; }

}  // namespace velmora::skin
