// flash.geom.Transform and clip.transform: a view of one clip's matrix and colour transform.
// Every read makes new Matrix and ColorTransform objects from the clip (changing them changes
// nothing until they are assigned back); the concatenated ones run up to the root, and
// pixelBounds is the clip's box on the stage.
#include <cmath>

#include "avm1/ClipObject.h"
#include "avm1/GeomColorTransform.h"
#include "avm1/GeomSupport.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

// A Transform looking at `clip`.
Value newTransform(Vm& vm, Object* clip);

namespace {

constexpr double kTwipsPerPixel = 20;

// The clip object a Transform looks at.
struct TransformState final : NativeState {
    Object* clip = nullptr;
    void references(std::vector<Object*>& out) const override {
        if (clip) out.push_back(clip);
    }
};

DisplayObject* clipOf(const Value& transform) {
    Object* o = transform.object();
    auto* state = o ? dynamic_cast<TransformState*>(o->nativeState.get()) : nullptr;
    return state && state->clip ? state->clip->displayObject() : nullptr;
}

bool isInstanceOf(Vm& vm, const Value& v, const char* className) {
    Object* proto = vm.get(vm.get(geomPackage(vm), className).object(), "prototype").object();
    for (Object* o = v.object() ? v.object()->proto() : nullptr; o; o = o->proto())
        if (o == proto) return true;
    return false;
}

Value matrixValue(Vm& vm, const Matrix& m) {
    return newGeom(vm, "Matrix", {Value(m.a), Value(m.b), Value(m.c), Value(m.d), Value(m.tx / kTwipsPerPixel),
                                  Value(m.ty / kTwipsPerPixel)});
}

ColorValues colorValues(const ColorTransform& t) {
    return {t.rMult / 256.0, t.gMult / 256.0, t.bMult / 256.0, t.aMult / 256.0,
            double(t.rAdd),  double(t.gAdd),  double(t.bAdd),  double(t.aAdd)};
}

int16_t fixed(double v) {
    return std::isfinite(v) ? static_cast<int16_t>(std::clamp(std::round(v), -32768.0, 32767.0)) : int16_t{0};
}

ColorTransform colorTransformOf(const ColorValues& v) {
    return {fixed(v.redMultiplier * 256), fixed(v.greenMultiplier * 256), fixed(v.blueMultiplier * 256),
            fixed(v.alphaMultiplier * 256), fixed(v.redOffset),           fixed(v.greenOffset),
            fixed(v.blueOffset),            fixed(v.alphaOffset)};
}

Value getMatrix(Vm& vm, NativeCall& c) {
    DisplayObject* o = clipOf(c.self);
    return o ? matrixValue(vm, o->matrix) : Value();
}

// Only a Matrix changes the clip; anything else is ignored.
Value setMatrix(Vm& vm, NativeCall& c) {
    DisplayObject* o = clipOf(c.self);
    Object* m = c.arg(0).object();
    if (!o || !m || !isInstanceOf(vm, c.arg(0), "Matrix")) return Value();
    o->matrix = {numberField(vm, m, "a"),
                 numberField(vm, m, "b"),
                 numberField(vm, m, "c"),
                 numberField(vm, m, "d"),
                 numberField(vm, m, "tx") * kTwipsPerPixel,
                 numberField(vm, m, "ty") * kTwipsPerPixel};
    o->scriptTransform.reset();
    return Value();
}

Value getColorTransform(Vm& vm, NativeCall& c) {
    DisplayObject* o = clipOf(c.self);
    return o ? newColorTransform(vm, colorValues(o->colorTransform)) : Value();
}

Value setColorTransform(Vm&, NativeCall& c) {
    DisplayObject* o = clipOf(c.self);
    std::optional<ColorValues> v = colorValuesOf(c.arg(0));
    if (o && v) o->colorTransform = colorTransformOf(*v);
    return Value();
}

Value getConcatenatedMatrix(Vm& vm, NativeCall& c) {
    DisplayObject* o = clipOf(c.self);
    if (!o) return Value();
    Matrix m = o->matrix;
    for (const DisplayObject* p = o->parent; p; p = p->parent) m = p->matrix * m;
    return matrixValue(vm, m);
}

Value getConcatenatedColorTransform(Vm& vm, NativeCall& c) {
    DisplayObject* o = clipOf(c.self);
    if (!o) return Value();
    // Each step is held in the file's 16-bit fields, which wrap, as the runtime's do.
    auto held = [](double v) {
        return std::isfinite(v) ? static_cast<int16_t>(static_cast<uint16_t>(static_cast<int64_t>(std::round(v)) & 0xFFFF))
                                : int16_t{0};
    };
    ColorTransform t = o->colorTransform;
    for (const DisplayObject* p = o->parent; p; p = p->parent) {
        ColorValues v = colorValues(p->colorTransform).after(colorValues(t));
        t = {held(v.redMultiplier * 256), held(v.greenMultiplier * 256), held(v.blueMultiplier * 256),
             held(v.alphaMultiplier * 256), held(v.redOffset), held(v.greenOffset), held(v.blueOffset),
             held(v.alphaOffset)};
    }
    return newColorTransform(vm, colorValues(t));
}

Value getPixelBounds(Vm& vm, NativeCall& c) {
    DisplayObject* o = clipOf(c.self);
    if (!o) return Value();
    Matrix m = o->matrix;
    for (const DisplayObject* p = o->parent; p; p = p->parent) m = p->matrix * m;
    Rect box = m.mapped(o->localBounds());
    if (box.empty()) box = {};
    return newGeom(vm, "Rectangle", {Value(box.xMin / kTwipsPerPixel), Value(box.yMin / kTwipsPerPixel),
                                     Value(box.width() / kTwipsPerPixel), Value(box.height() / kTwipsPerPixel)});
}

Value readOnly(Vm&, NativeCall&) { return Value(); }

void accessor(Vm& vm, Object* proto, const char* name, NativeFn get, NativeFn set) {
    vm.define(proto, name, Value(), flags::kDontEnum);
    Property* p = proto->findOwn(vm.key(name));
    p->getter = vm.newNative(get);
    p->setter = vm.newNative(set);
}

// clip.transform: a new Transform each time; assigning one copies its clip's matrix and
// colour transform.
Value clipTransform(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || !self->asClip()) return Value();
    return newTransform(vm, self);
}

Value setClipTransform(Vm&, NativeCall& c) {
    Object* self = c.self.object();
    DisplayObject* to = self ? self->displayObject() : nullptr;
    DisplayObject* from = clipOf(c.arg(0));
    if (!to || !from) return Value();
    to->matrix = from->matrix;
    to->scriptTransform.reset();
    to->colorTransform = from->colorTransform;
    return Value();
}

}  // namespace

Value newTransform(Vm& vm, Object* clip) {
    Object* proto = vm.get(vm.get(geomPackage(vm), "Transform").object(), "prototype").object();
    Object* t = vm.newObject();
    if (proto) t->setProto(proto);
    auto state = std::make_unique<TransformState>();
    state->clip = clip;
    t->nativeState = std::move(state);
    return Value(t);
}

void installGeomTransform(Vm& vm) {
    Object* proto = vm.newObject();
    // Called as a function it does nothing; `new` without a clip makes nothing.
    FunctionObject* ctor = defineGeomClass(vm, "Transform", proto, readOnly);
    ctor->nativeConstructor = [](Vm& vm, NativeCall& c) -> Value {
        Object* clip = c.arg(0).object();
        return clip && clip->asClip() ? newTransform(vm, clip) : Value();
    };
    accessor(vm, proto, "matrix", getMatrix, setMatrix);
    accessor(vm, proto, "colorTransform", getColorTransform, setColorTransform);
    accessor(vm, proto, "concatenatedMatrix", getConcatenatedMatrix, readOnly);
    accessor(vm, proto, "concatenatedColorTransform", getConcatenatedColorTransform, readOnly);
    accessor(vm, proto, "pixelBounds", getPixelBounds, readOnly);
    if (vm.clipProto) accessor(vm, vm.clipProto, "transform", clipTransform, setClipTransform);
}

}  // namespace swf::avm1
