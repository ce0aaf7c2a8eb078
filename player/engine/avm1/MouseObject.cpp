// Mouse: listeners hear onMouseDown, onMouseUp and onMouseMove (sent by the player through
// broadcastMessage); show and hide the pointer.
#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

// The host draws no pointer of the movie's own: both report the pointer as shown before.
Value show(Vm&, NativeCall&) { return Value(1); }
Value hide(Vm&, NativeCall&) { return Value(1); }

}  // namespace

void installMouse(Vm& vm) {
    Object* mouse = vm.newObject();
    vm.define(vm.global, "Mouse", Value(mouse));
    vm.defineMethod(mouse, "show", show);
    vm.defineMethod(mouse, "hide", hide);
    makeBroadcaster(vm, mouse);
}

}  // namespace swf::avm1
