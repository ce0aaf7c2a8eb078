#pragma once
// Bitmap filters (blur, drop shadow, glow, bevel, colour matrix, convolution) applied to a
// finished layer before it is composited. Distances and blur sizes are stage pixels; `scale`
// turns them into target pixels, so filters grow with the view as the runtime draws them.
#include "model/Filters.h"
#include "player/LayerCompositor.h"

namespace swf {

// Filters `area` of `layer` in place, in list order. Pixels outside `area` are treated as
// transparent and never written.
void applyFilters(const FilterList& filters, const PixelPlane& layer, const render::PixelRect& area, double scale);

}  // namespace swf
