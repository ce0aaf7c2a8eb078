#include "player/MorphInstance.h"

#include "player/ShapeHitTest.h"

namespace swf {

MorphInstance::MorphInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const MorphShapeDef> morph)
    : DisplayObject(context, characterId), morph_(std::move(morph)), shape_(morph_->shapeAt(0)) {}

void MorphInstance::placementChanged() {
    if (ratio == shapeRatio_) return;
    shape_ = morph_->shapeAt(ratio);
    shapeRatio_ = ratio;
}

void MorphInstance::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    out.shape(shape_, toStage, cx, DrawListBuilder::partKey(serial(), 0), shapeRatio_);
}

bool MorphInstance::hitTestLocal(double x, double y) const { return shapeContains(shape_, x, y); }

}  // namespace swf
