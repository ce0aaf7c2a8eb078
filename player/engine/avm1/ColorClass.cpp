// Color: tints a clip through its colour transform. setRGB paints the clip one colour (the
// offsets carry it, the multipliers go to zero, alpha stays); setTransform and getTransform
// speak in percentages (ra, ga, ba, aa: -100 to 100) and offsets (rb, gb, bb, ab).
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/NumberFormat.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

// The target as given: a clip, or a path found again at each call (the clip behind a path
// may be replaced while the Color object lives).
struct ColorState final : NativeState {
    Value target;
    void references(std::vector<Object*>& out) const override {
        if (Object* o = target.object()) out.push_back(o);
    }
};

DisplayObject* targetOf(Vm& vm, const NativeCall& c) {
    Object* self = c.self.object();
    auto* state = self ? dynamic_cast<ColorState*>(self->nativeState.get()) : nullptr;
    if (!state) return nullptr;
    if (Object* o = state->target.object()) return o->displayObject();
    if (state->target.isUndefined()) return nullptr;
    return resolveClipPath(vm, vm.rootClip, vm.toString(state->target));
}

// Fixed-point fields hold 16 bits: larger values wrap as the runtime stores them.
int16_t wrap16(double v) { return static_cast<int16_t>(static_cast<uint16_t>(toInt32(v) & 0xFFFF)); }

Value construct(Vm&, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || !c.constructing) return Value();
    auto state = std::make_unique<ColorState>();
    state->target = c.arg(0);
    self->nativeState = std::move(state);
    return Value();
}

Value setRGB(Vm& vm, NativeCall& c) {
    DisplayObject* o = targetOf(vm, c);
    if (!o || c.args.empty()) return Value();
    int32_t rgb = vm.toInt32(c.args[0]);
    ColorTransform& t = o->colorTransform;
    t.rMult = t.gMult = t.bMult = 0;
    t.rAdd = static_cast<int16_t>((rgb >> 16) & 0xFF);
    t.gAdd = static_cast<int16_t>((rgb >> 8) & 0xFF);
    t.bAdd = static_cast<int16_t>(rgb & 0xFF);
    return Value();
}

Value getRGB(Vm& vm, NativeCall& c) {
    DisplayObject* o = targetOf(vm, c);
    if (!o) return Value();
    const ColorTransform& t = o->colorTransform;
    return Value(static_cast<double>((t.rAdd << 16) | (t.gAdd << 8) | t.bAdd));
}

struct Channel {
    const char* multiplier;
    const char* offset;
    int16_t ColorTransform::*mult;
    int16_t ColorTransform::*add;
};
constexpr Channel kChannels[] = {
    {"ra", "rb", &ColorTransform::rMult, &ColorTransform::rAdd},
    {"ga", "gb", &ColorTransform::gMult, &ColorTransform::gAdd},
    {"ba", "bb", &ColorTransform::bMult, &ColorTransform::bAdd},
    {"aa", "ab", &ColorTransform::aMult, &ColorTransform::aAdd},
};

// Only the fields the object has change.
Value setTransform(Vm& vm, NativeCall& c) {
    DisplayObject* o = targetOf(vm, c);
    Object* from = c.arg(0).object();
    if (!o || !from) return Value();
    for (const Channel& ch : kChannels) {
        if (vm.has(from, ch.multiplier)) o->colorTransform.*ch.mult = wrap16(vm.toNumber(vm.get(from, ch.multiplier)) * 256 / 100);
        if (vm.has(from, ch.offset)) o->colorTransform.*ch.add = wrap16(vm.toNumber(vm.get(from, ch.offset)));
    }
    return Value();
}

Value getTransform(Vm& vm, NativeCall& c) {
    DisplayObject* o = targetOf(vm, c);
    if (!o) return Value();
    Object* out = vm.newObject();
    for (const Channel& ch : kChannels) {
        vm.set(out, ch.multiplier, Value(o->colorTransform.*ch.mult * 100.0 / 256));
        vm.set(out, ch.offset, Value(static_cast<double>(o->colorTransform.*ch.add)));
    }
    return Value(out);
}

}  // namespace

void installColor(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "Color", proto, construct);
    vm.defineMethod(proto, "setRGB", setRGB);
    vm.defineMethod(proto, "getRGB", getRGB);
    vm.defineMethod(proto, "setTransform", setTransform);
    vm.defineMethod(proto, "getTransform", getTransform);
}

}  // namespace swf::avm1
