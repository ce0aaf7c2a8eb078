#pragma once
// A picture in straight (not premultiplied) RGBA, row by row from the top.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "core/Geometry.h"

namespace swfw {

struct Image {
    uint16_t width = 0, height = 0;
    std::vector<swf::Rgba> pixels;

    Image() = default;
    Image(uint16_t w, uint16_t h, swf::Rgba fill = {}) : width(w), height(h), pixels(size_t{w} * h, fill) {}
    swf::Rgba& at(int x, int y) { return pixels.at(static_cast<size_t>(y) * width + x); }
    const swf::Rgba& at(int x, int y) const { return pixels.at(static_cast<size_t>(y) * width + x); }
    bool opaque() const {
        for (const swf::Rgba& p : pixels)
            if (p.a != 255) return false;
        return true;
    }
    void check() const {
        if (width == 0 || height == 0) throw std::invalid_argument("an image needs at least one pixel");
        if (pixels.size() != size_t{width} * height) throw std::invalid_argument("image pixel count does not match its size");
    }
};

}  // namespace swfw
