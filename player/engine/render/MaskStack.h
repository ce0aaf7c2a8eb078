#pragma once
// Clip layers as 8-bit coverage over the part of the target they can reach. A finished layer
// already holds its intersection with the layers below it, so drawing only ever consults the
// innermost one.
#include <cstdint>
#include <vector>

#include "render/Renderer.h"

namespace swf::render {

struct MaskLayer {
    PixelRect area;                // what `coverage` spans; everything outside is masked out
    PixelRect touched = {};        // where anything was added while building
    std::vector<uint8_t> coverage; // area.width() per row, 0..255
    bool finished = false;

    uint8_t* row(int y) { return coverage.data() + static_cast<size_t>(y - area.top) * area.width(); }
    const uint8_t* row(int y) const { return coverage.data() + static_cast<size_t>(y - area.top) * area.width(); }
};

class MaskStack {
public:
    // `reach` is the target's clip; a nested layer can never reach beyond its parent.
    void begin(const PixelRect& reach);
    void end();
    void pop();
    void clear();
    int depth() const { return static_cast<int>(layers_.size()); }

    // The layer shapes are being added to, if any.
    MaskLayer* building();
    // The innermost finished layer that clips drawing, if any.
    const MaskLayer* active() const;

private:
    std::vector<MaskLayer> layers_;
    std::vector<std::vector<uint8_t>> spare_;  // buffers of popped layers, to reuse
    // A clip layer inside a mask being built is not supported: its calls are absorbed, and
    // what it would clip goes into the enclosing mask unclipped.
    int ignoredNesting_ = 0, ignoredPops_ = 0;
};

}  // namespace swf::render
