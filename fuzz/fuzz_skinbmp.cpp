// Skin bitmaps from hostile archives: the decoder must refuse or decode any bytes without
// reading outside them, and whatever it decodes must survive every drawing rule.
#include <cstddef>
#include <cstdint>
#include <span>

#include "BmpDecoder.h"
#include "PixelBlit.h"
#include "RegionRuns.h"

using namespace velmora::skin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const BmpDecodeResult result = decodeBmp(std::span<const uint8_t>(data, size));
    if (!result.ok()) {
        if (!result.image.empty()) __builtin_trap();  // a refusal must not hand out pixels
        return 0;
    }
    const PixelImage& image = result.image;
    if (image.empty()) __builtin_trap();
    // Margins and frame picks from the file's own bytes, so mutations reach odd geometry.
    auto byteAt = [&](size_t i) { return size > i ? static_cast<int>(data[size - 1 - i]) : 0; };
    const Margins margins{byteAt(0) % 40 - 4, byteAt(1) % 40, byteAt(2) % 40, byteAt(3) % 40 - 4};
    const int frames = byteAt(4) % 8;
    const Rect cell = frameCell(image.width(), image.height(), frames, byteAt(5) % 10,
                                byteAt(6) & 1 ? FrameLayout::Stacked : FrameLayout::SideBySide);
    PixelImage target(67, 45);
    const Rect dest{byteAt(7) % 20 - 10, byteAt(8) % 20 - 10, 60, 40};
    executePlan(target, image, nineSlicePlan(cell, margins, CentreFill::Tile, dest), Transparency::keyed());
    executePlan(target, image, nineSlicePlan(cell, margins, CentreFill::Stretch, dest), Transparency::opaque());
    executePlan(target, image, threePartRepeatedPlan(cell, margins.left, margins.right, dest), Transparency::keyed());
    executePlan(target, image, threePartStretchedPlan(cell, margins.left, margins.right, dest), Transparency::opaque());
    executePlan(target, image, centredPlan(cell, dest), Transparency::keyed());
    regionRuns(image, {kMagenta, {1, 1, 1}});
    return 0;
}
