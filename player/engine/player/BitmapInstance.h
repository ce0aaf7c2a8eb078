#pragma once
// A picture a script attached to a clip (MovieClip.attachBitmap): drawn as a rectangle filled
// with the picture's current pixels, so what scripts write shows on the next frame. It has
// no character of its own and is hit anywhere inside its rectangle.
#include <memory>

#include "model/Bitmap.h"
#include "model/Shape.h"
#include "player/DisplayObject.h"

namespace swf {

class BitmapInstance final : public DisplayObject {
public:
    BitmapInstance(PlayerContext& context, std::shared_ptr<const Image> picture, bool smoothing);

    Rect localBounds() const override;
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    bool hitTestLocal(double x, double y) const override;

private:
    bool showing() const { return !picture_->pixels.empty(); }

    std::shared_ptr<const Image> picture_;
    ShapeDef frame_;  // the rectangle, sized to the picture
};

}  // namespace swf
