#include "player/DrawList.h"

#include "model/Bitmap.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {
uint64_t mixKeys(const std::vector<uint64_t>& keys) {
    uint64_t h = 0;
    for (uint64_t k : keys) h = (h ^ k) * 0x100000001B3ull + 0x9E3779B97F4A7C15ull;
    return h;
}
DrawItem marker(DrawItem::Op op) {
    DrawItem item;
    item.op = op;
    return item;
}
}  // namespace

void DrawListBuilder::shape(const ShapeDef& shape, const Matrix& matrix, const ColorTransform& cx, uint64_t key,
                            uint64_t version, std::optional<Rgba> colorOverride) {
    DrawItem item;
    item.op = DrawItem::Op::Shape;
    item.shape = &shape;
    item.matrix = matrix;
    item.colorTransform = cx;
    item.colorOverride = colorOverride;
    item.key = key;
    item.version = version;
    item.maskContext = mixKeys(masks_);
    item.filterMargin = static_cast<int16_t>(layerMargins_.empty() ? 0 : layerMargins_.back());
    item.dictionary = dictionary;
    items_.push_back(item);
}

void DrawListBuilder::picture(const ShapeDef& shape, const Image& picture, const Matrix& matrix,
                              const ColorTransform& cx, uint64_t key) {
    this->shape(shape, matrix, cx, key, picture.revision);
    items_.back().picture = &picture;
}

void DrawListBuilder::beginMask(uint64_t key) {
    if (buildingMask_++ > 0) return;
    pendingMasks_.push_back(key);
    items_.push_back(marker(DrawItem::Op::BeginMask));
}

void DrawListBuilder::endMask() {
    if (buildingMask_ == 0) return;
    if (--buildingMask_ > 0) return;
    items_.push_back(marker(DrawItem::Op::EndMask));
    masks_.push_back(pendingMasks_.back());
    pendingMasks_.pop_back();
}

void DrawListBuilder::popMask() {
    if (buildingMask_ > 0 || masks_.empty()) return;
    items_.push_back(marker(DrawItem::Op::PopMask));
    masks_.pop_back();
}

}  // namespace swf

namespace swf {

int DrawListBuilder::filterMargin(const FilterList& filters) {
    double margin = 0;
    auto shadow = [&margin](const FilterShadowParams& p) {
        margin += std::max(p.blurX, p.blurY) * std::max<int>(1, p.passes) + std::abs(p.distance) + 1;
    };
    for (const Filter& f : filters) {
        if (auto* b = std::get_if<BlurFilter>(&f)) margin += std::max(b->blurX, b->blurY) * std::max<int>(1, b->passes) + 1;
        else if (auto* d = std::get_if<DropShadowFilter>(&f)) shadow(d->p);
        else if (auto* g = std::get_if<GlowFilter>(&f)) shadow(g->p);
        else if (auto* v = std::get_if<BevelFilter>(&f)) shadow(v->p);
        else if (auto* gg = std::get_if<GradientGlowFilter>(&f)) shadow(gg->p);
        else if (auto* gb = std::get_if<GradientBevelFilter>(&f)) shadow(gb->p);
        else if (auto* c = std::get_if<ConvolutionFilter>(&f)) margin += std::max(c->columns, c->rows);
    }
    return static_cast<int>(std::min(4000.0, std::ceil(margin)));
}

void DrawListBuilder::beginLayer(uint64_t key, BlendMode blend, const FilterList* filters) {
    DrawItem item = marker(DrawItem::Op::BeginLayer);
    item.key = key;
    item.blend = blend;
    item.filters = filters;
    int outer = layerMargins_.empty() ? 0 : layerMargins_.back();
    layerMargins_.push_back(outer + (filters ? filterMargin(*filters) : 0));
    masks_.push_back(key);  // what a layer encloses is redrawn when the layer changes
    item.maskContext = mixKeys(masks_);
    items_.push_back(item);
}

void DrawListBuilder::endLayer() {
    if (layerMargins_.empty()) return;
    layerMargins_.pop_back();
    masks_.pop_back();
    items_.push_back(marker(DrawItem::Op::EndLayer));
}

}  // namespace swf
