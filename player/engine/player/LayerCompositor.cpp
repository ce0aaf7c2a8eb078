#include "player/LayerCompositor.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

struct Color {
    float r, g, b, a;  // premultiplied, 0..1
};

Color unpack(Pixel p) {
    constexpr float k = 1.0f / 255;
    return {(p >> 16 & 0xFF) * k, (p >> 8 & 0xFF) * k, (p & 0xFF) * k, (p >> 24) * k};
}

Pixel pack(Color c) {
    auto q = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    uint32_t a = q(c.a);
    // Keep the result a valid premultiplied pixel: no channel above alpha.
    return (a << 24) | (std::min(q(c.r), a) << 16) | (std::min(q(c.g), a) << 8) | std::min(q(c.b), a);
}

// Separable blend functions on straight colours (cb below, cs the layer).
float hardLight(float cb, float cs) { return cs <= 0.5f ? 2 * cs * cb : 1 - 2 * (1 - cs) * (1 - cb); }

template <class F>
Color separable(Color s, Color d, F blend) {
    auto channel = [&](float sc, float dc) {
        float cs = s.a > 0 ? sc / s.a : 0, cb = d.a > 0 ? dc / d.a : 0;
        return (1 - d.a) * sc + (1 - s.a) * dc + s.a * d.a * blend(cb, cs);
    };
    return {channel(s.r, d.r), channel(s.g, d.g), channel(s.b, d.b), s.a + d.a - s.a * d.a};
}

Color blendPixel(Color s, Color d, BlendMode mode) {
    switch (mode) {
        case BlendMode::Multiply: return separable(s, d, [](float cb, float cs) { return cb * cs; });
        case BlendMode::Screen: return separable(s, d, [](float cb, float cs) { return cb + cs - cb * cs; });
        case BlendMode::Lighten: return separable(s, d, [](float cb, float cs) { return std::max(cb, cs); });
        case BlendMode::Darken: return separable(s, d, [](float cb, float cs) { return std::min(cb, cs); });
        case BlendMode::Difference: return separable(s, d, [](float cb, float cs) { return std::abs(cb - cs); });
        case BlendMode::Overlay: return separable(s, d, [](float cb, float cs) { return hardLight(cs, cb); });
        case BlendMode::HardLight: return separable(s, d, hardLight);
        case BlendMode::Add:
            return {std::min(1.0f, s.r + d.r), std::min(1.0f, s.g + d.g), std::min(1.0f, s.b + d.b), std::min(1.0f, s.a + d.a)};
        case BlendMode::Subtract:
            return {std::max(0.0f, d.r - s.r), std::max(0.0f, d.g - s.g), std::max(0.0f, d.b - s.b), s.a + d.a - s.a * d.a};
        case BlendMode::Invert:
            return {d.r * (1 - s.a) + s.a * (d.a - d.r), d.g * (1 - s.a) + s.a * (d.a - d.g),
                    d.b * (1 - s.a) + s.a * (d.a - d.b), d.a};
        case BlendMode::Alpha: return {d.r * s.a, d.g * s.a, d.b * s.a, d.a * s.a};
        case BlendMode::Erase: return {d.r * (1 - s.a), d.g * (1 - s.a), d.b * (1 - s.a), d.a * (1 - s.a)};
        case BlendMode::Normal:
        case BlendMode::Layer:
        default: return {s.r + d.r * (1 - s.a), s.g + d.g * (1 - s.a), s.b + d.b * (1 - s.a), s.a + d.a * (1 - s.a)};
    }
}

}  // namespace

void compositeLayer(const PixelPlane& layer, const PixelPlane& below, const render::PixelRect& area, BlendMode mode,
                    bool insideGroup) {
    if ((mode == BlendMode::Alpha || mode == BlendMode::Erase) && !insideGroup) return;
    // A pixel the layer leaves fully transparent changes nothing below, in every mode: an Alpha
    // object fades the group only where it has pixels of its own (the reference images keep the
    // group intact beside the object and across its gradient's transparent padded end).
    for (int y = area.top; y < area.bottom; ++y) {
        const Pixel* src = layer.row(y);
        Pixel* dst = below.row(y);
        for (int x = area.left; x < area.right; ++x) {
            Pixel s = src[x];
            if (s == 0) continue;
            if (mode == BlendMode::Normal || mode == BlendMode::Layer) {
                if ((s >> 24) == 255) {
                    dst[x] = s;
                    continue;
                }
            }
            dst[x] = pack(blendPixel(unpack(s), unpack(dst[x]), mode));
        }
    }
}

}  // namespace swf
