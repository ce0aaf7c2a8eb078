// Stage: the size of the movie shown at level 0 (a movie loaded there brings its own), the
// scale and alignment settings, and a listener list for onResize.
#include "avm1/Builtins.h"
#include "player/ActionInterpreter.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

const Rect* stageRect(Vm& vm) {
    MovieClip* level0 = vm.services ? vm.services->levelByName("_level0") : vm.rootClip;
    return level0 ? &level0->movie().header.frameSize : nullptr;
}

Value width(Vm& vm, NativeCall&) {
    const Rect* r = stageRect(vm);
    return r ? Value(static_cast<double>(r->width() / 20)) : Value();
}

Value height(Vm& vm, NativeCall&) {
    const Rect* r = stageRect(vm);
    return r ? Value(static_cast<double>(r->height() / 20)) : Value();
}

// A read-only property computed when read: writes are ignored, as the runtime's are.
void defineReadOnly(Vm& vm, Object* obj, const std::string& name, NativeFn getter) {
    Property& p = obj->put(vm.key(name), name, Value(), flags::kDontEnum | flags::kDontDelete);
    p.getter = vm.newNative(getter);
    p.setter = vm.newNative([](Vm&, NativeCall&) { return Value(); });
}

}  // namespace

void installStage(Vm& vm) {
    Object* stage = vm.newObject();
    vm.define(vm.global, "Stage", Value(stage));
    defineReadOnly(vm, stage, "width", width);
    defineReadOnly(vm, stage, "height", height);
    vm.define(stage, "scaleMode", Value("showAll"));
    vm.define(stage, "align", Value(""));
    vm.define(stage, "showMenu", Value(true));
    makeBroadcaster(vm, stage);
}

}  // namespace swf::avm1
