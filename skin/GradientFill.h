#pragma once
// Gradient fills of skin surfaces (tool bars, caption backgrounds): one solid line per row or
// column, its colour taken from a ramp. The same few gradients are painted on every repaint,
// so the last 16 ramps are kept in a ring.
#include <array>
#include <cstddef>
#include <vector>

#include "DrawGeometry.h"
#include "PixelImage.h"
#include "SkinColour.h"

namespace velmora::skin {

// Entry i of n, per channel: start + (floor((n - 1) / 2) + i * (end - start)) / (n - 1),
// dividing toward zero; a one-entry ramp holds start + (end - start) / 2. Colours must be
// plain (system references resolved first): std::invalid_argument otherwise.
std::vector<Colour> gradientRamp(Colour start, Colour end, int length);

class GradientCache {
public:
    static constexpr size_t kCapacity = 16;

    // The ramp for these inputs, computed or found again. Kept ramps are matched on what was
    // asked for (length, start, end), never on the values they hold: two requests whose ramps
    // merely end alike must not share one.
    const std::vector<Colour>& ramp(Colour start, Colour end, int length);

    size_t rampsComputed() const { return computed_; }

private:
    struct Entry {
        Colour start = 0, end = 0;
        std::vector<Colour> ramp;  // empty: slot not used yet
    };
    std::array<Entry, kCapacity> ring_{};
    size_t next_ = 0;  // the slot replaced next: the oldest once the ring is full
    size_t computed_ = 0;
};

enum class GradientDirection {
    Vertical,    // top to bottom: one ramp entry per row
    Horizontal,  // left to right: one ramp entry per column
};

// Fills `rect` from `start` to `end`, drawing only inside `clip` and the target. Nothing is
// drawn (and no ramp computed) when the rectangle is empty or lies wholly outside the clip.
void fillGradient(PixelImage& target, const Rect& rect, const Rect& clip, Colour start, Colour end,
                  GradientDirection direction, GradientCache& cache);

}  // namespace velmora::skin
