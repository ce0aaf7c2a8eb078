#include "render/MaskStack.h"

#include <algorithm>

#include "render/PixelMath.h"

namespace swf::render {

void MaskStack::begin(const PixelRect& reach) {
    if (building()) {
        ++ignoredNesting_;
        return;
    }
    MaskLayer layer;
    const MaskLayer* parent = active();
    layer.area = parent ? reach.intersected(parent->touched) : reach;
    if (layer.area.empty()) layer.area = {};
    if (!spare_.empty()) {
        layer.coverage = std::move(spare_.back());
        spare_.pop_back();
    }
    layer.coverage.assign(static_cast<size_t>(layer.area.width()) * layer.area.height(), 0);
    layers_.push_back(std::move(layer));
}

void MaskStack::end() {
    if (ignoredNesting_ > 0) {
        --ignoredNesting_;
        ++ignoredPops_;
        return;
    }
    MaskLayer* layer = building();
    if (!layer) return;
    layer->finished = true;
    layer->touched = layer->touched.intersected(layer->area);
    const MaskLayer* parent = layers_.size() > 1 ? &layers_[layers_.size() - 2] : nullptr;
    if (!parent || layer->touched.empty()) return;
    // Fold the enclosing clip in now, so drawing reads a single layer.
    layer->touched = layer->touched.intersected(parent->touched);
    for (int y = layer->area.top; y < layer->area.bottom; ++y) {
        uint8_t* m = layer->row(y);
        const bool inParent = y >= parent->area.top && y < parent->area.bottom;
        for (int x = layer->area.left; x < layer->area.right; ++x) {
            uint8_t& v = m[x - layer->area.left];
            if (!v) continue;
            bool reachable = inParent && x >= parent->area.left && x < parent->area.right;
            v = reachable ? div255(uint32_t{v} * parent->row(y)[x - parent->area.left]) : 0;
        }
    }
}

void MaskStack::pop() {
    if (ignoredPops_ > 0) {
        --ignoredPops_;
        return;
    }
    if (layers_.empty()) return;
    spare_.push_back(std::move(layers_.back().coverage));
    layers_.pop_back();
}

void MaskStack::clear() {
    while (!layers_.empty()) pop();
    ignoredNesting_ = ignoredPops_ = 0;
}

MaskLayer* MaskStack::building() {
    return !layers_.empty() && !layers_.back().finished ? &layers_.back() : nullptr;
}

const MaskLayer* MaskStack::active() const {
    return !layers_.empty() && layers_.back().finished ? &layers_.back() : nullptr;
}

}  // namespace swf::render
