// startDrag and stopDrag: one instance at a time follows the pointer. It moves when the
// pointer does and at every frame, as its parent may have moved under a still pointer.
#include <algorithm>
#include <cmath>

#include "player/FocusManager.h"
#include "player/MovieClip.h"
#include "player/PlayerContext.h"

namespace swf {

namespace {

// The pointer in the coordinates `instance` is placed in (its parent's).
bool pointerInParent(const PlayerContext& context, const DisplayObject& instance, double& x, double& y) {
    Matrix toStage;
    for (const MovieClip* p = instance.parent; p; p = p->parent) toStage = p->matrix * toStage;
    toStage.inverted().apply(context.pointerX, context.pointerY, x, y);
    return std::isfinite(x) && std::isfinite(y);  // a parent scaled to nothing has no inside
}

// Positions are whole twips, as a script setting _x makes them.
double toTwips(double v) { return std::round(std::clamp(v, -2147483648.0, 2147483647.0)); }

}  // namespace

void PlayerContext::startDrag(DisplayObject& instance, bool lockCenter, std::optional<DragBounds> bounds) {
    Drag drag;
    drag.instance = instance.weak_from_this();
    drag.bounds = bounds;
    double px, py;
    if (!lockCenter && pointerInParent(*this, instance, px, py)) {
        drag.offsetX = instance.matrix.tx - px;
        drag.offsetY = instance.matrix.ty - py;
    }
    drag_ = drag;
    updateDrag();
}

void PlayerContext::stopDrag() { drag_.reset(); }

void PlayerContext::updateDrag() {
    if (!drag_) return;
    auto instance = drag_->instance.lock();
    if (!instance || !onStageNow(*instance)) {
        drag_.reset();
        return;
    }
    double px, py;
    if (!pointerInParent(*this, *instance, px, py)) return;
    double x = px + drag_->offsetX, y = py + drag_->offsetY;
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (const auto& b = drag_->bounds) {
        x = std::clamp(x, std::min(b->left, b->right), std::max(b->left, b->right));
        y = std::clamp(y, std::min(b->top, b->bottom), std::max(b->top, b->bottom));
    }
    instance->matrix.tx = toTwips(x);
    instance->matrix.ty = toTwips(y);
}

}  // namespace swf
