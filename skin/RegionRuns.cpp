#include "RegionRuns.h"

#include <algorithm>

namespace velmora::skin {

namespace {

struct ChannelRange {
    int low, high;
    bool holds(int v) const { return v >= low && v <= high; }
};

ChannelRange rangeOf(int key, int tolerance) { return {key, std::min(255, key + std::max(tolerance, 0))}; }

}  // namespace

size_t scanRegionRuns(const PixelImage& image, const RegionKey& key, int originX, int originY,
                      const RegionBatchSink& sink) {
    const Colour c = resolveColour(key.colour, {});
    const ChannelRange red = rangeOf(redOf(c), key.tolerance.red);
    const ChannelRange green = rangeOf(greenOf(c), key.tolerance.green);
    const ChannelRange blue = rangeOf(blueOf(c), key.tolerance.blue);
    auto seeThrough = [&](Pixel p) {
        return red.holds(static_cast<int>((p >> 16) & 0xFF)) && green.holds(static_cast<int>((p >> 8) & 0xFF)) &&
               blue.holds(static_cast<int>(p & 0xFF));
    };

    std::vector<Rect> buffer;
    size_t total = 0;
    auto emit = [&](const Rect& run) {
        if (buffer.size() == buffer.capacity()) buffer.reserve(buffer.capacity() + kRegionBufferGrowth);
        buffer.push_back(run);
        ++total;
        if (buffer.size() == kRegionBatchSize) {
            sink(buffer);
            buffer.clear();
        }
    };
    for (int y = 0; y < image.height(); ++y) {
        const Pixel* line = image.row(y);
        for (int x = 0; x < image.width();) {
            if (seeThrough(line[x])) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && !seeThrough(line[x])) ++x;
            emit({start + originX, y + originY, x + originX, y + originY + 1});
        }
    }
    if (!buffer.empty()) sink(buffer);
    return total;
}

std::vector<Rect> regionRuns(const PixelImage& image, const RegionKey& key, int originX, int originY) {
    std::vector<Rect> all;
    scanRegionRuns(image, key, originX, originY, [&](std::span<const Rect> batch) { all.insert(all.end(), batch.begin(), batch.end()); });
    return all;
}

}  // namespace velmora::skin
