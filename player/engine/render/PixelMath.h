#pragma once
// Premultiplied 0xAARRGGBB arithmetic, two channels per 32-bit multiply.
#include <cstdint>

#include "core/Geometry.h"

namespace swf::render {

// Scales every channel by coverage/256 (coverage 0..256), rounding to nearest.
inline Pixel scalePixel(Pixel p, uint32_t coverage) {
    uint32_t rb = ((p & 0x00FF00FFu) * coverage + 0x00800080u) >> 8;
    uint32_t ag = (((p >> 8) & 0x00FF00FFu) * coverage + 0x00800080u) >> 8;
    return (rb & 0x00FF00FFu) | ((ag & 0x00FF00FFu) << 8);
}

// Every channel times a/255, exactly rounded; a == 0 gives 0 and a == 255 gives p.
inline Pixel mulPixel255(Pixel p, uint32_t a) {
    uint32_t rb = (p & 0x00FF00FFu) * a + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((p >> 8) & 0x00FF00FFu) * a + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// Source-over for premultiplied pixels. A transparent source leaves dst bit for bit.
inline Pixel blendOver(Pixel dst, Pixel src) {
    uint32_t sa = src >> 24;
    if (sa == 255) return src;
    return src + mulPixel255(dst, 255 - sa);
}

inline uint8_t div255(uint32_t v) { return static_cast<uint8_t>((v + 128 + ((v + 128) >> 8)) >> 8); }

inline Rgba unpremultiply(Pixel p) {
    uint32_t a = p >> 24;
    if (a == 0) return {0, 0, 0, 0};
    auto ch = [&](uint32_t v) { return static_cast<uint8_t>(std::min<uint32_t>(255, (v * 255 + a / 2) / a)); };
    return {ch((p >> 16) & 255), ch((p >> 8) & 255), ch(p & 255), static_cast<uint8_t>(a)};
}

}  // namespace swf::render
