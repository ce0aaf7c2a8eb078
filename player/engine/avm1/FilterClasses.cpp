// flash.filters: the filter objects scripts make and configure. Each keeps its settings as
// plain properties, filled from the constructor's arguments in the runtime's order with the
// runtime's defaults, and clone() copies them. (Clips do not take them through a `filters`
// property yet: what is drawn comes from the filters the movie's placements carry.)
#include <vector>

#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

// A default as plain data: the table is static, and values holding text must not outlive
// the thread's text accounting when the module unloads.
struct Default {
    enum class Kind { Number, Boolean, Text, Null, Undefined } kind;
    double number = 0;
    const char* text = nullptr;
};
Default number(double v) { return {Default::Kind::Number, v}; }
Default boolean(bool v) { return {Default::Kind::Boolean, v ? 1.0 : 0.0}; }
Default text(const char* v) { return {Default::Kind::Text, 0, v}; }
Default null() { return {Default::Kind::Null}; }
Default undefined() { return {Default::Kind::Undefined}; }

Value valueOf(const Default& d) {
    switch (d.kind) {
        case Default::Kind::Number: return Value(d.number);
        case Default::Kind::Boolean: return Value(d.number != 0);
        case Default::Kind::Text: return Value(d.text);
        case Default::Kind::Null: return Value::null();
        case Default::Kind::Undefined: break;
    }
    return Value();
}

struct Setting {
    const char* name;
    Default fallback;
};

struct FilterKind {
    const char* className;
    std::vector<Setting> settings;
};

const std::vector<FilterKind>& kinds() {
    static const std::vector<FilterKind> all = {
        {"BlurFilter", {{"blurX", number(4)}, {"blurY", number(4)}, {"quality", number(1)}}},
        {"DropShadowFilter",
         {{"distance", number(4)}, {"angle", number(45)}, {"color", number(0)}, {"alpha", number(1)}, {"blurX", number(4)},
          {"blurY", number(4)}, {"strength", number(1)}, {"quality", number(1)}, {"inner", boolean(false)},
          {"knockout", boolean(false)}, {"hideObject", boolean(false)}}},
        {"GlowFilter",
         {{"color", number(0xFF0000)}, {"alpha", number(1)}, {"blurX", number(6)}, {"blurY", number(6)},
          {"strength", number(2)}, {"quality", number(1)}, {"inner", boolean(false)}, {"knockout", boolean(false)}}},
        {"BevelFilter",
         {{"distance", number(4)}, {"angle", number(45)}, {"highlightColor", number(0xFFFFFF)},
          {"highlightAlpha", number(1)}, {"shadowColor", number(0)}, {"shadowAlpha", number(1)}, {"blurX", number(4)},
          {"blurY", number(4)}, {"strength", number(1)}, {"quality", number(1)}, {"type", text("inner")},
          {"knockout", boolean(false)}}},
        {"GradientGlowFilter",
         {{"distance", number(4)}, {"angle", number(45)}, {"colors", null()}, {"alphas", null()},
          {"ratios", null()}, {"blurX", number(4)}, {"blurY", number(4)}, {"strength", number(1)},
          {"quality", number(1)}, {"type", text("inner")}, {"knockout", boolean(false)}}},
        {"GradientBevelFilter",
         {{"distance", number(4)}, {"angle", number(45)}, {"colors", null()}, {"alphas", null()},
          {"ratios", null()}, {"blurX", number(4)}, {"blurY", number(4)}, {"strength", number(1)},
          {"quality", number(1)}, {"type", text("inner")}, {"knockout", boolean(false)}}},
        {"ColorMatrixFilter", {{"matrix", undefined()}}},
        {"ConvolutionFilter",
         {{"matrixX", number(0)}, {"matrixY", number(0)}, {"matrix", null()}, {"divisor", number(1)},
          {"bias", number(0)}, {"preserveAlpha", boolean(true)}, {"clamp", boolean(true)}, {"color", number(0)},
          {"alpha", number(0)}}},
        {"DisplacementMapFilter",
         {{"mapBitmap", null()}, {"mapPoint", null()}, {"componentX", number(0)},
          {"componentY", number(0)}, {"scaleX", number(0)}, {"scaleY", number(0)}, {"mode", text("wrap")},
          {"color", number(0)}, {"alpha", number(0)}}},
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
        Value v = i < c.args.size() && !c.args[i].isUndefined() ? c.args[i] : valueOf(k.settings[i].fallback);
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
