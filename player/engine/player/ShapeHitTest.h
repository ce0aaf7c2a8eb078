#pragma once
// Exact point-in-shape test on shape definitions: what a button's hit area, or a click on a
// clip, is measured against (never the bounding box).
#include "model/Shape.h"

namespace swf {

// Whether (x, y), in the shape's own twips, lies inside a fill of `shape` (under its
// winding rule) or within half a line width of one of its strokes.
bool shapeContains(const ShapeDef& shape, double x, double y);

}  // namespace swf
