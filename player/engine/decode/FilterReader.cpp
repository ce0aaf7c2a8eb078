#include "decode/FilterReader.h"

#include "decode/Primitives.h"

namespace swf {
namespace {

// Blur, angle, distance and strength in the order the shadow-like filters store them.
void readShadowGeometry(ByteReader& r, FilterShadowParams& p, bool hasAngleAndDistance) {
    p.blurX = r.fixed16_16();
    p.blurY = r.fixed16_16();
    if (hasAngleAndDistance) {
        p.angle = r.fixed16_16();
        p.distance = r.fixed16_16();
    }
    p.strength = r.fixed8_8();
}

// The trailing flag byte; glows and shadows have 5 bits of passes, bevels 4 and an on-top flag.
void readShadowFlags(ByteReader& r, FilterShadowParams& p, bool hasOnTop) {
    r.align();
    p.inner = r.flag();
    p.knockout = r.flag();
    p.compositeSource = r.flag();
    if (hasOnTop) {
        p.onTop = r.flag();
        p.passes = static_cast<uint8_t>(r.ub(4));
    } else {
        p.passes = static_cast<uint8_t>(r.ub(5));
    }
    r.align();
}

std::vector<GradientStop> readFilterGradient(ByteReader& r) {
    uint8_t count = r.u8();
    std::vector<GradientStop> stops(count);
    for (auto& s : stops) s.color = readRgba(r);
    for (auto& s : stops) s.ratio = r.u8();
    return stops;
}

Filter readFilter(ByteReader& r) {
    uint8_t id = r.u8();
    switch (id) {
    case 0: {
        DropShadowFilter f;
        f.color = readRgba(r);
        readShadowGeometry(r, f.p, true);
        readShadowFlags(r, f.p, false);
        return f;
    }
    case 1: {
        BlurFilter f;
        f.blurX = r.fixed16_16();
        f.blurY = r.fixed16_16();
        f.passes = static_cast<uint8_t>(r.u8() >> 3);
        return f;
    }
    case 2: {
        GlowFilter f;
        f.color = readRgba(r);
        readShadowGeometry(r, f.p, false);
        readShadowFlags(r, f.p, false);
        return f;
    }
    case 3: {
        BevelFilter f;
        // The highlight comes first in the file: movies drawn by the authoring tool show
        // the first colour on the lit side.
        f.highlightColor = readRgba(r);
        f.shadowColor = readRgba(r);
        readShadowGeometry(r, f.p, true);
        readShadowFlags(r, f.p, true);
        return f;
    }
    case 4:
    case 7: {
        auto stops = readFilterGradient(r);
        FilterShadowParams p;
        readShadowGeometry(r, p, true);
        readShadowFlags(r, p, true);
        if (id == 4) return GradientGlowFilter{std::move(stops), p};
        return GradientBevelFilter{std::move(stops), p};
    }
    case 5: {
        ConvolutionFilter f;
        f.columns = r.u8();
        f.rows = r.u8();
        f.divisor = r.f32();
        f.bias = r.f32();
        size_t n = size_t{f.columns} * f.rows;
        f.matrix.reserve(std::min(n, r.remaining() / 4));
        for (size_t i = 0; i < n; ++i) f.matrix.push_back(r.f32());
        f.defaultColor = readRgba(r);
        uint8_t flags = r.u8();
        f.clamp = flags & 2;
        f.preserveAlpha = flags & 1;
        return f;
    }
    case 6: {
        ColorMatrixFilter f;
        for (float& v : f.m) v = r.f32();
        return f;
    }
    default:
        fail("unknown filter id " + std::to_string(id));
    }
}

}  // namespace

FilterList readFilterList(ByteReader& r) {
    uint8_t count = r.u8();
    FilterList filters;
    filters.reserve(count);
    for (uint8_t i = 0; i < count; ++i) filters.push_back(readFilter(r));
    return filters;
}

BlendMode blendModeFrom(uint8_t value) {
    if (value < 1 || value > static_cast<uint8_t>(BlendMode::HardLight)) return BlendMode::Normal;
    return static_cast<BlendMode>(value);
}

}  // namespace swf
