#include "player/ocx/ViewTransform.h"

#include <algorithm>
#include <cmath>

#include "player/Player.h"
#include "player/ocx/MoviePlayback.h"

namespace vm::flash {

void ViewTransform::SetStage(const swf::Rect& stageTwips) {
    stage_ = stageTwips;
    ResetZoom();
}

void ViewTransform::SetViewSize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

void ViewTransform::SetScale(ScaleMode mode) { scale_ = mode; }
void ViewTransform::SetAlign(int bits) { align_ = bits; }

void ViewTransform::ResetZoom() {
    zoom_ = 1;
    offsetX_ = offsetY_ = 0;
}

void ViewTransform::Zoom(int percent) {
    if (percent == 0) return ResetZoom();
    if (percent < 0) return;
    double factor = 100.0 / percent;
    // Past these limits the picture is either one pixel or a single twip across the view.
    double zoom = std::clamp(zoom_ * factor, 1.0 / 1024, 4096.0);
    factor = zoom / zoom_;
    const double cx = width_ / 2.0, cy = height_ / 2.0;
    offsetX_ = cx - (cx - offsetX_) * factor;
    offsetY_ = cy - (cy - offsetY_) * factor;
    zoom_ = zoom;
}

void ViewTransform::Pan(double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    const swf::Matrix fitted = Fitted(width_, height_);
    // The zoomed stage's extent in the view before this pan.
    const double left = zoom_ * (fitted.a * stage_.xMin + fitted.tx) + offsetX_;
    const double right = zoom_ * (fitted.a * stage_.xMax + fitted.tx) + offsetX_;
    const double top = zoom_ * (fitted.d * stage_.yMin + fitted.ty) + offsetY_;
    const double bottom = zoom_ * (fitted.d * stage_.yMax + fitted.ty) + offsetY_;
    // Along an axis where the stage is wider than the view, the view may move until an edge of
    // the stage meets the view's edge; where it fits, there is nothing to pan.
    auto move = [](double low, double high, double extent, double delta) {
        if (high - low <= extent) return 0.0;
        return std::clamp(-delta, extent - high, -low);
    };
    offsetX_ += move(left, right, width_, dx);
    offsetY_ += move(top, bottom, height_, dy);
}

swf::Matrix ViewTransform::Fitted(int width, int height) const {
    const double sw = std::max(1, stage_.width()), sh = std::max(1, stage_.height());
    double sx = 1.0 / swf::kTwipsPerPixel, sy = sx;
    switch (scale_) {
    case ScaleMode::ShowAll:
        if (align_ == 0) return swf::Player::showAll(stage_, width, height);
        sx = sy = std::min(width / sw, height / sh);
        break;
    case ScaleMode::NoBorder: sx = sy = std::max(width / sw, height / sh); break;
    case ScaleMode::ExactFit: sx = width / sw; sy = height / sh; break;
    case ScaleMode::NoScale: break;
    }
    auto place = [](int bits, int lowBit, int highBit, double extent, double size) {
        if (bits & lowBit) return 0.0;
        if (bits & highBit) return extent - size;
        return (extent - size) / 2;
    };
    const double x = place(align_, alignLeft, alignRight, width, sw * sx);
    const double y = place(align_, alignTop, alignBottom, height, sh * sy);
    return {sx, 0, 0, sy, x - stage_.xMin * sx, y - stage_.yMin * sy};
}

swf::Matrix ViewTransform::StageToView(int width, int height) const {
    const swf::Matrix fitted = Fitted(width, height);
    if (zoom_ == 1 && offsetX_ == 0 && offsetY_ == 0) return fitted;
    return swf::Matrix{zoom_, 0, 0, zoom_, offsetX_, offsetY_} * fitted;
}

swf::Matrix ViewTransform::StageToView() const { return StageToView(width_, height_); }

} // namespace vm::flash
