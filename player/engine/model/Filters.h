#pragma once
// Bitmap filters and blend modes as display objects and button records carry them.
// Blur radii and distances are in pixels, angles in radians, as the file stores them.
#include <array>
#include <cstdint>
#include <variant>
#include <vector>

#include "model/Shape.h"

namespace swf {

enum class BlendMode : uint8_t {
    Normal = 1, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract, Invert, Alpha, Erase,
    Overlay, HardLight,
};

// Fields the glow, shadow and bevel families share.
struct FilterShadowParams {
    double blurX = 4, blurY = 4;
    double angle = 0, distance = 0;  // unused by glows
    double strength = 1;             // 8.8 fixed in the file
    bool inner = false, knockout = false, compositeSource = true, onTop = false;
    uint8_t passes = 1;
    friend bool operator==(const FilterShadowParams&, const FilterShadowParams&) = default;
};

struct DropShadowFilter { Rgba color; FilterShadowParams p; friend bool operator==(const DropShadowFilter&, const DropShadowFilter&) = default; };
struct BlurFilter { double blurX = 4, blurY = 4; uint8_t passes = 1; friend bool operator==(const BlurFilter&, const BlurFilter&) = default; };
struct GlowFilter { Rgba color; FilterShadowParams p; friend bool operator==(const GlowFilter&, const GlowFilter&) = default; };
struct BevelFilter { Rgba shadowColor, highlightColor; FilterShadowParams p; friend bool operator==(const BevelFilter&, const BevelFilter&) = default; };
struct GradientGlowFilter { std::vector<GradientStop> stops; FilterShadowParams p; friend bool operator==(const GradientGlowFilter&, const GradientGlowFilter&) = default; };
struct GradientBevelFilter { std::vector<GradientStop> stops; FilterShadowParams p; friend bool operator==(const GradientBevelFilter&, const GradientBevelFilter&) = default; };
struct ConvolutionFilter {
    uint8_t columns = 0, rows = 0;
    float divisor = 1, bias = 0;
    std::vector<float> matrix;  // rows * columns, row-major
    Rgba defaultColor;
    bool clamp = true, preserveAlpha = true;
    friend bool operator==(const ConvolutionFilter&, const ConvolutionFilter&) = default;
};
struct ColorMatrixFilter { std::array<float, 20> m{}; friend bool operator==(const ColorMatrixFilter&, const ColorMatrixFilter&) = default; };

// Only scripts make these (no file carries one), and nothing draws them yet: a clip keeps them
// so its filters read back as they were given.
struct DisplacementMapFilter {
    int32_t mapX = 0, mapY = 0, componentX = 0, componentY = 0;
    double scaleX = 0, scaleY = 0;
    uint8_t mode = 0;  // wrap, clamp, ignore, color
    Rgba color{0, 0, 0, 0};
    friend bool operator==(const DisplacementMapFilter&, const DisplacementMapFilter&) = default;
};

using Filter = std::variant<DropShadowFilter, BlurFilter, GlowFilter, BevelFilter, GradientGlowFilter, ConvolutionFilter,
                            ColorMatrixFilter, GradientBevelFilter, DisplacementMapFilter>;
using FilterList = std::vector<Filter>;

}  // namespace swf
