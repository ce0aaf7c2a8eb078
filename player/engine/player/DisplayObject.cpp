#include "player/DisplayObject.h"

#include "player/PlayerContext.h"

namespace swf {

DisplayObject::DisplayObject(PlayerContext& context, uint16_t characterId)
    : context_(context), characterId_(characterId), serial_(context.nextSerial++) {
    bornTick = context.tick;
}

bool DisplayObject::hitTest(double x, double y) const {
    if (!visible) return false;
    double lx, ly;
    matrix.inverted().apply(x, y, lx, ly);
    return hitTestLocal(lx, ly);
}

}  // namespace swf
