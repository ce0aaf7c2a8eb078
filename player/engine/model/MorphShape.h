#pragma once
// A morph (shape tween) definition: a start and an end shape with the same structure, paired
// style for style, path for path and segment for segment, so any ratio between them is a
// straight interpolation. The decoder establishes the pairing (a straight edge paired with a
// curve becomes a curve with its control point in the middle).
#include <cstdint>

#include "model/Shape.h"

namespace swf {

struct MorphShapeDef {
    ShapeDef start;  // fills, lines and paths at ratio 0
    ShapeDef end;    // the same counts at ratio 65535

    // The shape at `ratio` (0 = start, 65535 = end): points, colours, gradient stops and
    // matrices, line widths and bounds interpolated linearly.
    ShapeDef shapeAt(uint16_t ratio) const;
};

}  // namespace swf
