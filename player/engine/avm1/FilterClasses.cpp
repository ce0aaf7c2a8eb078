// flash.filters: the filter objects scripts make and configure. Each keeps its settings as
// plain properties, filled from the constructor's arguments in the runtime's order with the
// runtime's defaults, and clone() copies them. (Clips do not take them through a `filters`
// property yet: what is drawn comes from the filters the movie's placements carry.)
#include <vector>

#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

struct Setting {
    const char* name;
    Value fallback;
};

struct FilterKind {
    const char* className;
    std::vector<Setting> settings;
};

const std::vector<FilterKind>& kinds() {
    static const std::vector<FilterKind> all = {
        {"BlurFilter", {{"blurX", Value(4)}, {"blurY", Value(4)}, {"quality", Value(1)}}},
        {"DropShadowFilter",
         {{"distance", Value(4)}, {"angle", Value(45)}, {"color", Value(0)}, {"alpha", Value(1)}, {"blurX", Value(4)},
          {"blurY", Value(4)}, {"strength", Value(1)}, {"quality", Value(1)}, {"inner", Value(false)},
          {"knockout", Value(false)}, {"hideObject", Value(false)}}},
        {"GlowFilter",
         {{"color", Value(0xFF0000)}, {"alpha", Value(1)}, {"blurX", Value(6)}, {"blurY", Value(6)},
          {"strength", Value(2)}, {"quality", Value(1)}, {"inner", Value(false)}, {"knockout", Value(false)}}},
        {"BevelFilter",
         {{"distance", Value(4)}, {"angle", Value(45)}, {"highlightColor", Value(0xFFFFFF)},
          {"highlightAlpha", Value(1)}, {"shadowColor", Value(0)}, {"shadowAlpha", Value(1)}, {"blurX", Value(4)},
          {"blurY", Value(4)}, {"strength", Value(1)}, {"quality", Value(1)}, {"type", Value("inner")},
          {"knockout", Value(false)}}},
        {"GradientGlowFilter",
         {{"distance", Value(4)}, {"angle", Value(45)}, {"colors", Value::null()}, {"alphas", Value::null()},
          {"ratios", Value::null()}, {"blurX", Value(4)}, {"blurY", Value(4)}, {"strength", Value(1)},
          {"quality", Value(1)}, {"type", Value("inner")}, {"knockout", Value(false)}}},
        {"GradientBevelFilter",
         {{"distance", Value(4)}, {"angle", Value(45)}, {"colors", Value::null()}, {"alphas", Value::null()},
          {"ratios", Value::null()}, {"blurX", Value(4)}, {"blurY", Value(4)}, {"strength", Value(1)},
          {"quality", Value(1)}, {"type", Value("inner")}, {"knockout", Value(false)}}},
        {"ColorMatrixFilter", {{"matrix", Value()}}},
        {"ConvolutionFilter",
         {{"matrixX", Value(0)}, {"matrixY", Value(0)}, {"matrix", Value::null()}, {"divisor", Value(1)},
          {"bias", Value(0)}, {"preserveAlpha", Value(true)}, {"clamp", Value(true)}, {"color", Value(0)},
          {"alpha", Value(0)}}},
        {"DisplacementMapFilter",
         {{"mapBitmap", Value::null()}, {"mapPoint", Value::null()}, {"componentX", Value(0)},
          {"componentY", Value(0)}, {"scaleX", Value(0)}, {"scaleY", Value(0)}, {"mode", Value("wrap")},
          {"color", Value(0)}, {"alpha", Value(0)}}},
    };
    return all;
}

// The identity colour matrix: four rows of five.
Value identityMatrix(Vm& vm) {
    Value matrix = vm.construct(vm.get(vm.global, "Array"), {});
    for (int i = 0; i < 20; ++i) vm.set(matrix.object(), std::to_string(i), Value(i % 6 == 0 ? 1 : 0));
    return matrix;
}

Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || !c.constructing) return Value();
    size_t kind = size_t(vm.toNumber(vm.get(c.callee, "kind")));
    if (kind >= kinds().size()) return Value();
    const FilterKind& k = kinds()[kind];
    for (size_t i = 0; i < k.settings.size(); ++i) {
        Value v = i < c.args.size() && !c.args[i].isUndefined() ? c.args[i] : k.settings[i].fallback;
        if (v.isUndefined() && std::string(k.settings[i].name) == "matrix") v = identityMatrix(vm);
        vm.set(self, k.settings[i].name, v);
    }
    return Value();
}

// A new filter of the same class with the same settings.
Value clone(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    Value ctor = vm.get(self, "constructor");
    Object* ctorObject = ctor.object();
    if (!ctorObject || vm.get(ctorObject, "kind").isUndefined()) return Value();
    size_t kind = size_t(vm.toNumber(vm.get(ctorObject, "kind")));
    if (kind >= kinds().size()) return Value();
    std::vector<Value> args;
    for (const Setting& s : kinds()[kind].settings) args.push_back(vm.get(self, s.name));
    return vm.construct(ctor, std::move(args));
}

}  // namespace

void installFilterClasses(Vm& vm) {
    Object* filters = packageObject(vm, "flash.filters");
    Object* baseProto = vm.newObject();
    FunctionObject* base = vm.newNative([](Vm&, NativeCall&) { return Value(); });
    vm.define(base, "prototype", Value(baseProto), flags::kDontEnum | flags::kDontDelete);
    vm.define(baseProto, "constructor", Value(base));
    vm.defineMethod(baseProto, "clone", clone);
    vm.define(filters, "BitmapFilter", Value(base));
    for (size_t i = 0; i < kinds().size(); ++i) {
        Object* proto = vm.make<Object>(baseProto);
        FunctionObject* ctor = vm.newNative(construct);
        vm.define(ctor, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
        vm.define(ctor, "kind", Value(double(i)), flags::kDontEnum | flags::kDontDelete);
        vm.define(proto, "constructor", Value(ctor));
        vm.define(filters, kinds()[i].className, Value(ctor));
    }
}

}  // namespace swf::avm1
