// flash.geom.ColorTransform: four multipliers and four offsets held as numbers by the object
// itself (its fields are accessors of the prototype that convert what a script stores), and
// `rgb`, the offsets as one colour.
#include <cmath>

#include "avm1/GeomColorTransform.h"
#include "avm1/GeomSupport.h"
#include "avm1/NumberFormat.h"

namespace swf::avm1 {

namespace {

struct Field {
    const char* name;
    double ColorValues::*slot;
};
// In the order the prototype defines them.
constexpr Field kFields[] = {
    {"alphaMultiplier", &ColorValues::alphaMultiplier}, {"redMultiplier", &ColorValues::redMultiplier},
    {"greenMultiplier", &ColorValues::greenMultiplier}, {"blueMultiplier", &ColorValues::blueMultiplier},
    {"alphaOffset", &ColorValues::alphaOffset},         {"redOffset", &ColorValues::redOffset},
    {"greenOffset", &ColorValues::greenOffset},         {"blueOffset", &ColorValues::blueOffset},
};

struct ColorState final : NativeState {
    ColorValues values;
};

ColorValues* valuesOf(const Value& v) {
    Object* o = v.object();
    auto* state = o ? dynamic_cast<ColorState*>(o->nativeState.get()) : nullptr;
    return state ? &state->values : nullptr;
}

// new ColorTransform(redMultiplier, greenMultiplier, blueMultiplier, alphaMultiplier,
// redOffset, greenOffset, blueOffset, alphaOffset); missing ones keep the identity's.
Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    auto state = std::make_unique<ColorState>();
    double* order[] = {&state->values.redMultiplier, &state->values.greenMultiplier, &state->values.blueMultiplier,
                       &state->values.alphaMultiplier, &state->values.redOffset,    &state->values.greenOffset,
                       &state->values.blueOffset,      &state->values.alphaOffset};
    for (size_t i = 0; i < 8 && i < c.args.size(); ++i) *order[i] = vm.toNumber(c.args[i]);
    self->nativeState = std::move(state);
    return Value();
}

template <size_t Index>
Value getField(Vm&, NativeCall& c) {
    ColorValues* v = valuesOf(c.self);
    return v ? Value(v->*kFields[Index].slot) : Value();
}

template <size_t Index>
Value setField(Vm& vm, NativeCall& c) {
    if (ColorValues* v = valuesOf(c.self)) v->*kFields[Index].slot = vm.toNumber(c.arg(0));
    return Value();
}

Value getRgb(Vm&, NativeCall& c) {
    ColorValues* v = valuesOf(c.self);
    if (!v) return Value();
    auto channel = [](double d) { return static_cast<uint32_t>(toInt32(d)) & 0xFF; };
    return Value(static_cast<double>(channel(v->redOffset) << 16 | channel(v->greenOffset) << 8 | channel(v->blueOffset)));
}

// Paints one colour: the offsets take it, the colour multipliers go to zero.
Value setRgb(Vm& vm, NativeCall& c) {
    ColorValues* v = valuesOf(c.self);
    if (!v) return Value();
    uint32_t rgb = static_cast<uint32_t>(vm.toInt32(c.arg(0)));
    v->redMultiplier = v->greenMultiplier = v->blueMultiplier = 0;
    v->redOffset = (rgb >> 16) & 0xFF;
    v->greenOffset = (rgb >> 8) & 0xFF;
    v->blueOffset = rgb & 0xFF;
    return Value();
}

// this.concat(second): second applies first, then this.
Value concat(Vm&, NativeCall& c) {
    ColorValues* v = valuesOf(c.self);
    ColorValues* second = valuesOf(c.arg(0));
    if (v && second) *v = v->after(*second);
    return Value();
}

Value toString(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || !valuesOf(c.self)) return Value();
    return Value(fieldsText(vm, self,
                            {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier", "redOffset",
                             "greenOffset", "blueOffset", "alphaOffset"}));
}

template <size_t... I>
void defineFields(Vm& vm, Object* proto, std::index_sequence<I...>) {
    auto accessor = [&](const char* name, NativeFn get, NativeFn set) {
        vm.define(proto, name, Value(), 0);
        Property* p = proto->findOwn(vm.key(name));
        p->getter = vm.newNative(get);
        p->setter = vm.newNative(set);
    };
    (accessor(kFields[I].name, getField<I>, setField<I>), ...);
    accessor("rgb", getRgb, setRgb);
}

}  // namespace

ColorValues ColorValues::after(const ColorValues& first) const {
    ColorValues out;
    out.redMultiplier = redMultiplier * first.redMultiplier;
    out.greenMultiplier = greenMultiplier * first.greenMultiplier;
    out.blueMultiplier = blueMultiplier * first.blueMultiplier;
    out.alphaMultiplier = alphaMultiplier * first.alphaMultiplier;
    out.redOffset = redOffset + redMultiplier * first.redOffset;
    out.greenOffset = greenOffset + greenMultiplier * first.greenOffset;
    out.blueOffset = blueOffset + blueMultiplier * first.blueOffset;
    out.alphaOffset = alphaOffset + alphaMultiplier * first.alphaOffset;
    return out;
}

std::optional<ColorValues> colorValuesOf(const Value& v) {
    ColorValues* values = valuesOf(v);
    return values ? std::optional<ColorValues>(*values) : std::nullopt;
}

Value newColorTransform(Vm& vm, const ColorValues& v) {
    return newGeom(vm, "ColorTransform",
                   {Value(v.redMultiplier), Value(v.greenMultiplier), Value(v.blueMultiplier), Value(v.alphaMultiplier),
                    Value(v.redOffset), Value(v.greenOffset), Value(v.blueOffset), Value(v.alphaOffset)});
}

void installGeomColorTransform(Vm& vm) {
    Object* proto = vm.newObject();
    defineGeomClass(vm, "ColorTransform", proto, construct);
    defineFields(vm, proto, std::make_index_sequence<std::size(kFields)>());
    vm.define(proto, "concat", Value(vm.newNative(concat)), 0);
    vm.define(proto, "toString", Value(vm.newNative(toString)), 0);
}

}  // namespace swf::avm1
