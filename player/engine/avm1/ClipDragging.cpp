// startDrag and stopDrag, as clip methods and as the actions of version 4 and 5 scripts: the
// player moves the dragged clip; scripts say which, how and within what.
#include <algorithm>
#include <cmath>
#include <optional>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

constexpr double kTwipsPerPixel = 20;

// A bound in pixels as the player keeps it; what reads as no number is 0.
double boundTwips(Vm& vm, const Value& v) {
    double d = vm.toNumber(v);
    return std::isfinite(d) ? std::clamp(d, -1e8, 1e8) * kTwipsPerPixel : 0;
}

// startDrag(lockCenter, left, top, right, bottom): the bounds only when all four are given.
Value startDrag(Vm& vm, NativeCall& c) {
    ClipObject* self = c.self.object() ? c.self.object()->asClip() : nullptr;
    MovieClip* mc = self ? self->clip() : nullptr;
    if (!mc || !vm.services) return Value();
    std::optional<ActionServices::DragBounds> bounds;
    if (c.args.size() >= 5)
        bounds = ActionServices::DragBounds{boundTwips(vm, c.args[1]), boundTwips(vm, c.args[2]),
                                            boundTwips(vm, c.args[3]), boundTwips(vm, c.args[4])};
    vm.services->startDrag(*mc, vm.toBoolean(c.arg(0)), bounds);
    return Value();
}

Value stopDrag(Vm& vm, NativeCall&) {
    if (vm.services) vm.services->stopDrag();
    return Value();
}

}  // namespace

void startDragByAction(Vm& vm, MovieClip* from, const Value& target, bool lockCenter,
                       const std::array<Value, 4>* bounds) {
    if (!vm.services) return;
    DisplayObject* instance = nullptr;
    if (Object* o = target.object()) instance = o->displayObject();
    else if (from && !target.isNullish()) instance = resolveStagePath(vm, from, vm.toString(target));
    if (!instance) return;
    std::optional<ActionServices::DragBounds> box;
    if (bounds)
        box = ActionServices::DragBounds{boundTwips(vm, (*bounds)[0]), boundTwips(vm, (*bounds)[1]),
                                         boundTwips(vm, (*bounds)[2]), boundTwips(vm, (*bounds)[3])};
    vm.services->startDrag(*instance, lockCenter, box);
}

void installClipDragging(Vm& vm, Object* clipProto) {
    vm.defineMethod(clipProto, "startDrag", startDrag);
    vm.defineMethod(clipProto, "stopDrag", stopDrag);
}

}  // namespace swf::avm1
