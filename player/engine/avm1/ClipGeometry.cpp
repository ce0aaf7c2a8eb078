// The coordinate methods of clips: getBounds and getRect in any clip's coordinates,
// localToGlobal and globalToLocal, and hitTest against a point or another clip. Scripts speak
// in pixels; the stage keeps twips.
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

constexpr double kTwipsPerPixel = 20;
// What an empty clip's bounds read: the largest coordinate the runtime keeps, in pixels. Once
// version 8 code is in play the runtime works bounds out in single precision and the value
// reads rounded (2^27 twips), whichever movie asks: from the start when the main movie is of
// version 8, else from the first bounds a version 8 script asks for. (The corpus shows one
// exception this misses: a version 8 movie's first frame asking about the clip it was loaded
// into still reads the unrounded value.)
double noBounds(Vm& vm) {
    if (vm.version() >= 8) vm.boundsInSinglePrecision = true;
    return (vm.boundsInSinglePrecision ? 0x8000000 : 0x7FFFFFF) / kTwipsPerPixel;
}

MovieClip* selfClip(const NativeCall& c) {
    ClipObject* o = c.self.object() ? c.self.object()->asClip() : nullptr;
    return o ? o->clip() : nullptr;
}

// From the instance's own coordinates to the stage's.
Matrix toStage(const DisplayObject& o) {
    Matrix m = o.matrix;
    for (const DisplayObject* p = o.parent; p; p = p->parent) m = p->matrix * m;
    return m;
}

Matrix inverse(const Matrix& m) {
    double det = m.determinant();
    if (det == 0) return {0, 0, 0, 0, 0, 0};
    return {m.d / det, -m.b / det, -m.c / det, m.a / det, (m.c * m.ty - m.d * m.tx) / det, (m.b * m.tx - m.a * m.ty) / det};
}

// A clip given as itself or by its path from `from`.
DisplayObject* clipArg(Vm& vm, MovieClip* from, const Value& v) {
    if (Object* o = v.object()) return o->displayObject();
    if (v.isNullish()) return nullptr;
    return resolveClipPath(vm, from, vm.toString(v));
}

// getBounds(target): the box around what the clip draws, in target's coordinates (its own
// without one); every edge at the largest coordinate when it draws nothing.
Value getBounds(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc) return Value();
    DisplayObject* space = c.args.empty() ? mc : clipArg(vm, mc, c.args[0]);
    if (!space) return Value();
    Rect local = mc->localBounds();
    Object* out = vm.newObject();
    const double none = noBounds(vm);
    if (local.empty()) {
        for (const char* name : {"xMin", "xMax", "yMin", "yMax"}) vm.set(out, name, Value(none));
        return Value(out);
    }
    Matrix m = space == mc ? Matrix{} : inverse(toStage(*space)) * toStage(*mc);
    Rect box = m.mapped(local);
    vm.set(out, "xMin", Value(box.xMin / kTwipsPerPixel));
    vm.set(out, "xMax", Value(box.xMax / kTwipsPerPixel));
    vm.set(out, "yMin", Value(box.yMin / kTwipsPerPixel));
    vm.set(out, "yMax", Value(box.yMax / kTwipsPerPixel));
    return Value(out);
}

// Maps the point object's x and y (pixels) in place.
// Only a point whose own x and y hold numbers moves: anything else (text, null, a value it
// inherits) leaves it as it was.
void mapPoint(Vm& vm, Object* point, const Matrix& m) {
    if (!vm.hasOwn(point, "x") || !vm.hasOwn(point, "y")) return;
    const Value px = vm.get(point, "x"), py = vm.get(point, "y");
    if (!px.isNumber() || !py.isNumber()) return;
    double x = px.number() * kTwipsPerPixel, y = py.number() * kTwipsPerPixel;
    double ox, oy;
    m.apply(x, y, ox, oy);
    vm.set(point, "x", Value(ox / kTwipsPerPixel));
    vm.set(point, "y", Value(oy / kTwipsPerPixel));
}

Value localToGlobal(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (Object* point = c.arg(0).object(); mc && point) mapPoint(vm, point, toStage(*mc));
    return Value();
}

Value globalToLocal(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (Object* point = c.arg(0).object(); mc && point) mapPoint(vm, point, inverse(toStage(*mc)));
    return Value();
}

Rect stageBox(const DisplayObject& o) { return toStage(o).mapped(o.localBounds()); }

// hitTest(x, y[, shapeFlag]) with a stage point: against the clip's box, or with the flag
// against what it draws; hitTest(target): whether the two boxes on the stage overlap.
Value hitTest(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || c.args.empty()) return Value(false);
    if (c.args.size() == 1) {
        DisplayObject* other = clipArg(vm, mc, c.args[0]);
        if (!other) return Value(false);
        Rect a = stageBox(*mc), b = stageBox(*other);
        if (a.empty() || b.empty()) return Value(false);
        return Value(a.xMin <= b.xMax && b.xMin <= a.xMax && a.yMin <= b.yMax && b.yMin <= a.yMax);
    }
    double x = vm.toNumber(c.args[0]) * kTwipsPerPixel, y = vm.toNumber(c.args[1]) * kTwipsPerPixel;
    if (std::isnan(x) || std::isnan(y)) return Value(false);
    if (vm.toBoolean(c.arg(2))) {
        double lx, ly;
        inverse(toStage(*mc)).apply(x, y, lx, ly);
        return Value(mc->hitTestLocal(lx, ly));
    }
    Rect box = stageBox(*mc);
    return Value(!box.empty() && x >= box.xMin && x <= box.xMax && y >= box.yMin && y <= box.yMax);
}

}  // namespace

void installClipGeometry(Vm& vm, Object* clipProto) {
    vm.defineMethod(clipProto, "getBounds", getBounds);
    vm.defineMethod(clipProto, "getRect", getBounds);  // strokes are not told apart from fills yet
    vm.defineMethod(clipProto, "localToGlobal", localToGlobal);
    vm.defineMethod(clipProto, "globalToLocal", globalToLocal);
    vm.defineMethod(clipProto, "hitTest", hitTest);
}

}  // namespace swf::avm1
