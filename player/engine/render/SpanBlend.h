#pragma once
// Source-over of whole spans of premultiplied pixels: the innermost loops of drawing. Uses
// SSE2 where the processor has it (checked once at run time on 32-bit x86, whose baseline
// lacks it), with results identical to the scalar arithmetic of PixelMath.h.
#include <cstdint>

#include "core/Geometry.h"

namespace swf::render {

// Whether the SSE2 paths may run here (always on x86-64; checked once on 32-bit x86).
bool haveSse2();

// dst[i] = src over dst[i], for one colour.
void blendSpanConstant(Pixel* dst, int count, Pixel src);
// dst[i] = src[i] over dst[i].
void blendSpan(Pixel* dst, const Pixel* src, int count);

}  // namespace swf::render
