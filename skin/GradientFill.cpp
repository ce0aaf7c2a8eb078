#include "GradientFill.h"

#include <stdexcept>

namespace velmora::skin {

namespace {

void requirePlain(Colour c) {
    if (isSystemColourReference(c)) throw std::invalid_argument("gradient colours must be resolved first");
}

int rampChannel(int start, int end, int length, int i) {
    const int64_t delta = end - start;
    if (length == 1) return static_cast<int>(start + delta / 2);
    return static_cast<int>(start + ((length - 1) / 2 + i * delta) / (length - 1));
}

}  // namespace

std::vector<Colour> gradientRamp(Colour start, Colour end, int length) {
    requirePlain(start);
    requirePlain(end);
    std::vector<Colour> ramp;
    if (length <= 0) return ramp;
    ramp.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i)
        ramp.push_back(rgb(rampChannel(redOf(start), redOf(end), length, i),
                           rampChannel(greenOf(start), greenOf(end), length, i),
                           rampChannel(blueOf(start), blueOf(end), length, i)));
    return ramp;
}

const std::vector<Colour>& GradientCache::ramp(Colour start, Colour end, int length) {
    for (const Entry& entry : ring_)
        if (!entry.ramp.empty() && static_cast<int>(entry.ramp.size()) == length && entry.start == start &&
            entry.end == end)
            return entry.ramp;
    Entry& slot = ring_[next_];
    slot = {start, end, gradientRamp(start, end, length)};
    next_ = (next_ + 1) % kCapacity;
    ++computed_;
    return slot.ramp;
}

void fillGradient(PixelImage& target, const Rect& rect, const Rect& clip, Colour start, Colour end,
                  GradientDirection direction, GradientCache& cache) {
    const Rect visible = intersect(intersect(rect, clip), {0, 0, target.width(), target.height()});
    if (rect.empty() || visible.empty()) return;
    const bool rows = direction == GradientDirection::Vertical;
    const std::vector<Colour>& ramp = cache.ramp(start, end, rows ? rect.height() : rect.width());
    for (int y = visible.top; y < visible.bottom; ++y) {
        Pixel* line = target.row(y);
        for (int x = visible.left; x < visible.right; ++x)
            line[x] = pixelOf(ramp[static_cast<size_t>(rows ? y - rect.top : x - rect.left)]);
    }
}

}  // namespace velmora::skin
