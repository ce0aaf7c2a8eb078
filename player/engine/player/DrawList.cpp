#include "player/DrawList.h"

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
    items_.push_back(item);
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
