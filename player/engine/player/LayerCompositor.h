#pragma once
// Composites a finished layer (a group drawn into a buffer of its own) onto what lies
// beneath it with one of the file's blend modes. Pixels are premultiplied 0xAARRGGBB.
#include "model/Filters.h"
#include "render/Renderer.h"

namespace swf {

struct PixelPlane {
    Pixel* pixels = nullptr;
    int strideBytes = 0;
    Pixel* row(int y) const { return reinterpret_cast<Pixel*>(reinterpret_cast<char*>(pixels) + ptrdiff_t(y) * strideBytes); }
};

// Blends `layer` onto `below` over `area` (which both planes must cover). Alpha and Erase
// act on the pixels below only inside an enclosing group (`insideGroup`); at the stage
// they would punch holes into the background, which the runtime does not do, so the layer is
// dropped there. Fully transparent layer pixels leave what is below untouched in every mode.
void compositeLayer(const PixelPlane& layer, const PixelPlane& below, const render::PixelRect& area, BlendMode mode,
                    bool insideGroup);

}  // namespace swf
