// MovieClipLoader: loads a movie into a clip or a level like loadMovie, and tells its
// listeners (itself first) how the load goes: onLoadStart, onLoadProgress, onLoadComplete,
// onLoadInit once the movie's first frame ran, or onLoadError.
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

// What loadClip and unloadClip aim at: a clip, a clip path, or a level number.
struct LoadTarget {
    MovieClip* clip = nullptr;
    int32_t level = -1;
    bool valid() const { return clip || level >= 0; }
};

LoadTarget targetOf(Vm& vm, const Value& v) {
    LoadTarget t;
    if (v.isNumber()) {
        double n = v.number();
        if (std::isfinite(n) && n >= 0 && n < (1 << 24)) t.level = static_cast<int32_t>(n);
    } else if (v.isString()) {
        std::string path = vm.toString(v);
        t.level = levelNumber(path);
        if (t.level < 0) t.clip = resolveClipPath(vm, nullptr, path);
    } else if (Object* o = v.object()) {
        if (ClipObject* clip = o->asClip()) t.clip = clip->clip();
    }
    // A level that is loaded answers as its clip (progress reads it).
    return t;
}

Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    makeBroadcaster(vm, self);
    if (Object* list = vm.get(self, "_listeners").object())
        if (ArrayObject* listeners = list->asArray()) listeners->items.push_back(c.self);
    return Value();
}

Value loadClip(Vm& vm, NativeCall& c) {
    if (c.args.size() < 2) return Value();
    if (!c.args[0].isString() || !vm.services) return Value(false);
    LoadTarget target = targetOf(vm, c.args[1]);
    if (!target.valid()) return Value(false);
    vm.services->loadMovie(vm.toString(c.args[0]), UrlMethod::Get, target.clip, target.level, c.self.object());
    return Value(true);
}

Value unloadClip(Vm& vm, NativeCall& c) {
    if (c.args.empty() || !vm.services) return Value();
    LoadTarget target = targetOf(vm, c.args[0]);
    if (!target.valid()) return Value(false);
    vm.services->loadMovie("", UrlMethod::None, target.clip, target.level, nullptr);
    return Value(true);
}

Value getProgress(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    LoadTarget target = targetOf(vm, c.args[0]);
    MovieClip* clip = target.clip;
    if (!clip && target.level >= 0 && vm.services)
        clip = vm.services->levelByName("_level" + std::to_string(target.level));
    if (!clip) return Value();
    MovieClip* root = clip->movieRoot();
    double bytes = root->ownMovie() ? static_cast<double>(root->ownMovie()->header.fileLength) : 0.0;
    Object* progress = vm.newObject();
    vm.set(progress, "bytesLoaded", Value(bytes));
    vm.set(progress, "bytesTotal", Value(bytes));
    return Value(progress);
}

}  // namespace

void installMovieClipLoader(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "MovieClipLoader", proto, construct);
    Object* broadcaster = vm.get(vm.global, "AsBroadcaster").object();
    for (const char* method : {"broadcastMessage", "addListener", "removeListener"})
        vm.define(proto, method, broadcaster ? vm.get(broadcaster, method) : Value());
    vm.defineMethod(proto, "loadClip", loadClip);
    vm.defineMethod(proto, "unloadClip", unloadClip);
    vm.defineMethod(proto, "getProgress", getProgress);
}

}  // namespace swf::avm1
