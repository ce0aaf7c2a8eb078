#pragma once
// Bitmap filters (blur, drop shadow, glow, bevel, their gradient kinds, colour matrix,
// convolution) applied to a finished layer before it is composited. Distances and blur sizes
// are stage pixels; `scale` turns them into target pixels, so filters grow with the view as
// the runtime draws them, but not with the object's own scale.
#include "model/Filters.h"
#include "player/LayerCompositor.h"

namespace swf {

// Filters `area` of `layer` in place, in list order. Pixels outside `area` are treated as
// transparent and never written.
void applyFilters(const FilterList& filters, const PixelPlane& layer, const render::PixelRect& area, double scale);

// A blur width from a file or a scaled view, made safe to use: not negative, not absurd.
double blurWidth(double amount);

// `passes` box passes of boxX pixels along rows, then boxY along columns, over one channel
// of an interleaved plane; outside the plane counts as 0. The box covers half its width
// either side of a pixel, pixels it covers in part count in part (a blur of 5 spreads a
// one-pixel line over five pixels of 1/5, one of 4 over 1/8, 1/4, 1/4, 1/4, 1/8); a width
// of 1 or less does nothing. Cost per pass is independent of the widths.
void boxBlur(float* data, int width, int height, int channels, int channel, double boxX, double boxY, int passes);

}  // namespace swf
