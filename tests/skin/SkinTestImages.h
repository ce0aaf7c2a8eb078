#pragma once
// Small pictures for the drawing tests: each pixel's colour tells where it came from.
#include <string>

#include "PixelImage.h"
#include "SkinColour.h"

namespace velmora::skin::test {

// Pixel (x, y) holds colour rgb(x, y, 7): any output pixel names its source pixel.
inline PixelImage coordinateImage(int width, int height) {
    PixelImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.at(x, y) = pixelOf(rgb(x, y, 7));
    return image;
}

inline int sourceX(Pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int sourceY(Pixel p) { return static_cast<int>((p >> 8) & 0xFF); }

// One character per pixel, for asserting small results at a glance.
inline std::string rowText(const PixelImage& image, int y, Pixel mark) {
    std::string s;
    for (int x = 0; x < image.width(); ++x) s += sameColour(image.at(x, y), mark) ? '#' : '.';
    return s;
}

}  // namespace velmora::skin::test
