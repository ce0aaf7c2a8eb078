#pragma once
// Executes blit plans on pixel images: copies, nearest-neighbour stretches (what GDI's
// colour-on-colour stretch mode does: whole pixels are kept or dropped, never mixed) and
// tiles, either opaque or transparently with a key colour whose pixels leave the target as
// it was. Everything is cut to the target's and the source's bounds.
#include <optional>

#include "DrawGeometry.h"
#include "PixelImage.h"
#include "SkinColour.h"

namespace velmora::skin {

// Opaque drawing, or transparent drawing that skips pixels of `key` (magenta in skins).
struct Transparency {
    std::optional<Colour> key;

    static Transparency opaque() { return {}; }
    static Transparency keyed(Colour key = kMagenta) { return {key}; }
};

void executeBlit(PixelImage& target, const PixelImage& source, const Blit& blit, Transparency transparency);
void executePlan(PixelImage& target, const PixelImage& source, const BlitPlan& plan, Transparency transparency);

// A whole picture copied with its top-left at (x, y).
void copyImage(PixelImage& target, const PixelImage& source, int x, int y, Transparency transparency);

void fillRect(PixelImage& target, const Rect& rect, Colour colour);

// A piece of a picture as a picture of its own (cut to the picture's bounds).
PixelImage crop(const PixelImage& source, const Rect& rect);

}  // namespace velmora::skin
