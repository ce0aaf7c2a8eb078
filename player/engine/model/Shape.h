#pragma once
// Immutable shape definitions as the renderer consumes them: styles flattened into one list
// per shape and the edge records grouped into paths that share their styles.
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Geometry.h"

namespace swf {

enum class SpreadMode : uint8_t { Pad, Reflect, Repeat };
enum class InterpolationMode : uint8_t { Normal, Linear };  // Normal = sRGB, Linear = linear RGB

struct GradientStop {
    uint8_t ratio = 0;  // 0..255 along the gradient square
    Rgba color;
    friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    std::vector<GradientStop> stops;  // 1..15 stops, ratios non-decreasing
    float focalPoint = 0;             // -1..1, focal gradients only
    friend bool operator==(const Gradient&, const Gradient&) = default;
};

enum class FillKind : uint8_t {
    Solid,
    LinearGradient,  // gradient square (-16384..16384 twips) mapped by `matrix`
    RadialGradient,
    FocalGradient,
    RepeatingBitmap,  // bitmap pixels mapped by `matrix` (1 unit = 1 bitmap pixel, in twips: 20 = 1 px)
    ClippedBitmap,
    RepeatingBitmapHard,  // not smoothed
    ClippedBitmapHard,
};

struct FillStyle {
    FillKind kind = FillKind::Solid;
    Rgba color;          // Solid
    Matrix matrix;       // gradients and bitmaps
    Gradient gradient;   // gradients
    uint16_t bitmapId = 0;  // bitmaps; 0xFFFF or an unknown id draws nothing (or, as Flash does, a plain fill)
    friend bool operator==(const FillStyle&, const FillStyle&) = default;
};

enum class CapStyle : uint8_t { Round, None, Square };
enum class JoinStyle : uint8_t { Round, Bevel, Miter };

struct LineStyle {
    uint16_t width = 0;  // twips; 0 is a hairline (one pixel whatever the scale)
    Rgba color;
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    float miterLimit = 3;
    bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;
    std::optional<FillStyle> fill;  // LINESTYLE2 with a fill instead of a colour
    friend bool operator==(const LineStyle&, const LineStyle&) = default;
};

// One straight or quadratic curved segment; `control` is used only when `curved`.
struct Segment {
    Point control;
    Point to;
    bool curved = false;
    friend bool operator==(const Segment&, const Segment&) = default;
};

// A run of connected segments from `start` that share their styles. Style indexes are
// 1-based into ShapeDef::fills / ShapeDef::lines; 0 means none. fill0 fills the left side
// of the direction of travel ("fill style 0" of the file), fill1 the right side.
struct Path {
    uint32_t fill0 = 0, fill1 = 0, line = 0;
    Point start;
    std::vector<Segment> segments;
    // Which style group the path belongs to: 0 for the shape's first styles, then one more for
    // each new-styles record. A later group is drawn entirely above an earlier one (its fills
    // over the earlier group's strokes too).
    uint32_t styleGroup = 0;
    friend bool operator==(const Path&, const Path&) = default;
};

struct ShapeDef {
    Rect bounds;      // shape bounds with stroke widths (twips)
    Rect edgeBounds;  // bounds of the edges alone (DefineShape4; else == bounds)
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<Path> paths;  // in file order; strokes are drawn in this order after fills
    bool nonScalingStrokes = false, scalingStrokes = false;
    bool nonZeroWinding = false;  // DefineShape4 may ask for the non-zero rule; else even-odd
};

}  // namespace swf
