#pragma once
// Instances that draw one shape: shapes, and bitmaps placed directly (drawn as a rectangle
// filled with the bitmap, as the Flash runtime does).
#include <memory>

#include "model/Bitmap.h"
#include "model/Shape.h"
#include "player/DisplayObject.h"

namespace swf {

class ShapeInstance final : public DisplayObject {
public:
    ShapeInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const ShapeDef> shape);

    static std::shared_ptr<ShapeInstance> forBitmap(PlayerContext& context, uint16_t characterId, const BitmapDef& bitmap);

    const ShapeDef& shape() const { return *shape_; }
    Rect localBounds() const override { return shape_->bounds; }
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    bool hitTestLocal(double x, double y) const override;

private:
    std::shared_ptr<const ShapeDef> shape_;
};

// A rectangle of `width` x `height` twips at the origin, filled with `fill` and, when
// given, outlined by `line`.
ShapeDef rectangleShape(int32_t width, int32_t height, const FillStyle& fill, const LineStyle* line = nullptr);

}  // namespace swf
