#pragma once
// The format's small compound records: rectangles, matrices, colour transforms and colours.
#include "core/ByteReader.h"
#include "core/Geometry.h"

namespace swf {

Rect readRect(ByteReader& r);
Matrix readMatrix(ByteReader& r);
ColorTransform readColorTransform(ByteReader& r);           // CXFORM: alpha untouched
ColorTransform readColorTransformWithAlpha(ByteReader& r);  // CXFORMWITHALPHA
Rgba readRgb(ByteReader& r);
Rgba readRgba(ByteReader& r);
Rgba readArgb(ByteReader& r);

}  // namespace swf
