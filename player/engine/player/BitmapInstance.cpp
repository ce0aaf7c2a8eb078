#include "player/BitmapInstance.h"

#include "player/ShapeInstance.h"

namespace swf {

BitmapInstance::BitmapInstance(PlayerContext& context, std::shared_ptr<const Image> picture, bool smoothing)
    : DisplayObject(context, 0), picture_(std::move(picture)) {
    FillStyle fill;
    fill.kind = smoothing ? FillKind::ClippedBitmap : FillKind::ClippedBitmapHard;
    fill.matrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
    frame_ = rectangleShape(int32_t(picture_->width) * kTwipsPerPixel, int32_t(picture_->height) * kTwipsPerPixel, fill);
}

Rect BitmapInstance::localBounds() const {
    if (!showing()) return Rect::none();
    return {0, int32_t(picture_->width) * kTwipsPerPixel, 0, int32_t(picture_->height) * kTwipsPerPixel};
}

void BitmapInstance::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    if (!showing()) return;
    out.picture(frame_, *picture_, toStage, cx, DrawListBuilder::partKey(serial(), 0));
}

bool BitmapInstance::hitTestLocal(double x, double y) const {
    Rect r = localBounds();
    return !r.empty() && x >= r.xMin && x < r.xMax && y >= r.yMin && y < r.yMax;
}

}  // namespace swf
