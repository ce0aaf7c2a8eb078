#pragma once
// The shape of a skinned window, read from a picture: every row is scanned for runs of pixels
// outside the key colour's range, and each run becomes a rectangle one pixel high. Runs are
// handed out in batches of at most 2000, the size a platform region call takes comfortably;
// the Windows side turns each batch into a region and unites them.
#include <functional>
#include <span>
#include <vector>

#include "DrawGeometry.h"
#include "PixelImage.h"
#include "SkinColour.h"

namespace velmora::skin {

struct KeyTolerance {
    int red = 0, green = 0, blue = 0;
};

struct RegionKey {
    Colour colour = kMagenta;
    KeyTolerance tolerance;
};

constexpr size_t kRegionBatchSize = 2000;
constexpr size_t kRegionBufferGrowth = 500;

using RegionBatchSink = std::function<void(std::span<const Rect> batch)>;

// A pixel is see-through when key <= channel <= min(255, key + tolerance) for all three
// channels. Runs are offset by (originX, originY). Returns the number of runs.
size_t scanRegionRuns(const PixelImage& image, const RegionKey& key, int originX, int originY,
                      const RegionBatchSink& sink);

// All runs in one list (tests and small pictures).
std::vector<Rect> regionRuns(const PixelImage& image, const RegionKey& key, int originX = 0, int originY = 0);

}  // namespace velmora::skin
