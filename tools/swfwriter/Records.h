#pragma once
// The file's small compound records, each written with the fewest bits that hold its values.
#include "Writer.h"
#include "core/Geometry.h"

namespace swfw {

void writeRect(Writer& w, const swf::Rect& r);
// Scale and rotate/skew parts as 16.16, translation rounded to whole twips.
void writeMatrix(Writer& w, const swf::Matrix& m);
// CXFORM (no alpha) or CXFORMWITHALPHA; identity parts are left out.
void writeColorTransform(Writer& w, const swf::ColorTransform& c, bool withAlpha);
void writeRgb(Writer& w, swf::Rgba c);
void writeRgba(Writer& w, swf::Rgba c);

}  // namespace swfw
