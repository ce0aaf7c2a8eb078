#pragma once
// The drawing rules on a device context. A plan of an element's picture is composed
// off-screen over a copy of what the target holds there, by the same pixel executor the
// platform-free side tests, and the result goes back in one transfer: so an opaque plan and
// a transparent one (key colour pixels leave the target as it was) end alike, in one block
// copy. Gradients fill one line per ramp entry with a solid brush, inside the clip box only.
// A picture's shape becomes a window region, built from batches of one-pixel-high runs.
#include <windows.h>

#include <optional>

#include "DrawGeometry.h"
#include "GradientFill.h"
#include "PixelImage.h"
#include "RegionRuns.h"
#include "SkinColour.h"

namespace vm {

// Draws `plan` of `picture` onto `dc` (plan destinations in the DC's logical coordinates,
// no scaling of the DC assumed). With a key, pixels of that colour are not drawn.
void DrawSkinPlan(HDC dc, const velmora::skin::PixelImage& picture, const velmora::skin::BlitPlan& plan,
                  std::optional<velmora::skin::Colour> key);

// Fills `rect` from `start` to `end` (plain colours or system colour references), one solid
// line per row (vertical) or column (horizontal), only where the DC's clip box allows.
void FillSkinGradient(HDC dc, const RECT& rect, velmora::skin::Colour start, velmora::skin::Colour end,
                      velmora::skin::GradientDirection direction, velmora::skin::GradientCache& cache);

// The region of `picture`'s pixels outside the key range, offset by the origin; null when
// every pixel is see-through. The caller owns the region.
HRGN SkinWindowRegion(const velmora::skin::PixelImage& picture, const velmora::skin::RegionKey& key, int originX,
                      int originY);

// A system colour reference resolved with GetSysColor; plain colours as they are.
velmora::skin::Colour ResolveSkinColour(velmora::skin::Colour colour);

}  // namespace vm
