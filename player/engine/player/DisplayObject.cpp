#include "player/DisplayObject.h"

#include "player/MovieClip.h"
#include "player/PlayerContext.h"

namespace swf {

DisplayObject::DisplayObject(PlayerContext& context, uint16_t characterId)
    : context_(context), characterId_(characterId), serial_(context.nextSerial++) {
    bornTick = context.tick;
}

void DisplayObject::emitPlaced(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    if (!visible) return;
    if (!needsLayer() || out.buildingMask()) {
        emit(out, toStage, cx);
        return;
    }
    out.beginLayer(DrawListBuilder::partKey(serial_, 0xFFFFF) ^ (uint64_t{layerVersion} << 1), blendMode, &filters);
    emit(out, toStage, cx);
    out.endLayer();
}

bool DisplayObject::hitTest(double x, double y) const {
    if (!visible) return false;
    double lx, ly;
    matrix.inverted().apply(x, y, lx, ly);
    return hitTestLocal(lx, ly);
}

const DisplayObject* DisplayObject::pathParent() const {
    if (heldByButton) return heldByButton;
    return parent;
}

}  // namespace swf
