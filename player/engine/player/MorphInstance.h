#pragma once
// A morph shape at its placement ratio. The in-between shape is computed when the ratio
// changes and kept, so a paused tween costs nothing per frame.
#include <memory>

#include "model/MorphShape.h"
#include "player/DisplayObject.h"

namespace swf {

class MorphInstance final : public DisplayObject {
public:
    MorphInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const MorphShapeDef> morph);

    const ShapeDef& current() const { return shape_; }
    Rect localBounds() const override { return shape_.bounds; }
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    bool hitTestLocal(double x, double y) const override;
    void placementChanged() override;

private:
    std::shared_ptr<const MorphShapeDef> morph_;
    ShapeDef shape_;
    uint16_t shapeRatio_ = 0;
};

}  // namespace swf
