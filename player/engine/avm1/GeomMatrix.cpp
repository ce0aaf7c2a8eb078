// flash.geom.Matrix: a 2D affine transform (a b c d tx ty) as six plain fields, and the
// methods that compose it. Points map as (a*x + c*y + tx, b*x + d*y + ty).
#include <cmath>

#include "avm1/GeomSupport.h"

namespace swf::avm1 {

namespace {

constexpr const char* kFields[] = {"a", "b", "c", "d", "tx", "ty"};

struct Affine {
    double a, b, c, d, tx, ty;
};

Affine read(Vm& vm, Object* o) {
    return {numberField(vm, o, "a"), numberField(vm, o, "b"),  numberField(vm, o, "c"),
            numberField(vm, o, "d"), numberField(vm, o, "tx"), numberField(vm, o, "ty")};
}

void write(Vm& vm, Object* o, const Affine& m) {
    const double values[] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
    for (int i = 0; i < 6; ++i) vm.set(o, kFields[i], Value(values[i]));
}

// `m` followed by `n`.
Affine then(const Affine& m, const Affine& n) {
    return {m.a * n.a + m.b * n.c,         m.a * n.b + m.b * n.d,         m.c * n.a + m.d * n.c,
            m.c * n.b + m.d * n.d,         m.tx * n.a + m.ty * n.c + n.tx, m.tx * n.b + m.ty * n.d + n.ty};
}

double numberArg(Vm& vm, const NativeCall& c, size_t i) { return vm.toNumber(c.arg(i)); }

// new Matrix(): the identity; with any argument every field takes its argument as given,
// undefined for the missing ones.
Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    if (c.args.empty()) {
        write(vm, self, {1, 0, 0, 1, 0, 0});
        return Value();
    }
    for (size_t i = 0; i < 6; ++i) vm.set(self, kFields[i], c.arg(i));
    return Value();
}

Value toString(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? Value(fieldsText(vm, self, {"a", "b", "c", "d", "tx", "ty"})) : Value();
}

Value clone(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    std::vector<Value> fields;
    for (const char* name : kFields) fields.push_back(vm.get(self, name));
    return newGeom(vm, "Matrix", std::move(fields));
}

Value identity(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) write(vm, self, {1, 0, 0, 1, 0, 0});
    return Value();
}

Value concat(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Object* other = c.arg(0).object();
    if (self && other) write(vm, self, then(read(vm, self), read(vm, other)));
    return Value();
}

Value invert(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    Affine m = read(vm, self);
    double det = m.a * m.d - m.b * m.c;
    write(vm, self, {m.d / det, -m.b / det, -m.c / det, m.a / det, (m.c * m.ty - m.d * m.tx) / det,
                     (m.b * m.tx - m.a * m.ty) / det});
    return Value();
}

Value rotate(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    double angle = numberArg(vm, c, 0), cos = std::cos(angle), sin = std::sin(angle);
    write(vm, self, then(read(vm, self), {cos, sin, -sin, cos, 0, 0}));
    return Value();
}

Value scale(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    write(vm, self, then(read(vm, self), {numberArg(vm, c, 0), 0, 0, numberArg(vm, c, 1), 0, 0}));
    return Value();
}

Value translate(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    Affine m = read(vm, self);
    m.tx += numberArg(vm, c, 0);
    m.ty += numberArg(vm, c, 1);
    write(vm, self, m);
    return Value();
}

// Scale, then rotation, then the offset; a missing rotation is NaN, missing offsets 0.
void makeBox(Vm& vm, Object* self, double sx, double sy, double rotation, double tx, double ty) {
    double cos = std::cos(rotation), sin = std::sin(rotation);
    write(vm, self, {cos * sx, sin * sy, -sin * sx, cos * sy, tx, ty});
}

double offsetArg(Vm& vm, const NativeCall& c, size_t i) { return c.arg(i).isUndefined() ? 0 : numberArg(vm, c, i); }

Value createBox(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object())
        makeBox(vm, self, numberArg(vm, c, 0), numberArg(vm, c, 1), numberArg(vm, c, 2), offsetArg(vm, c, 3),
                offsetArg(vm, c, 4));
    return Value();
}

// A gradient's box: the gradient square is 1638.4 twips wide, centred on the origin.
Value createGradientBox(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    double width = numberArg(vm, c, 0), height = numberArg(vm, c, 1);
    double rotation = c.arg(2).isUndefined() ? 0 : numberArg(vm, c, 2);
    makeBox(vm, self, width / 1638.4, height / 1638.4, rotation, offsetArg(vm, c, 3) + width / 2,
            offsetArg(vm, c, 4) + height / 2);
    return Value();
}

Value mapPoint(Vm& vm, NativeCall& c, bool withOffset) {
    Object* self = c.self.object();
    if (!self) return Value();
    Affine m = read(vm, self);
    Object* p = c.arg(0).object();
    double x = p ? numberField(vm, p, "x") : NAN, y = p ? numberField(vm, p, "y") : NAN;
    double px = m.a * x + m.c * y, py = m.b * x + m.d * y;
    if (withOffset) {
        px += m.tx;
        py += m.ty;
    }
    return newGeom(vm, "Point", {Value(px), Value(py)});
}

Value transformPoint(Vm& vm, NativeCall& c) { return mapPoint(vm, c, true); }
Value deltaTransformPoint(Vm& vm, NativeCall& c) { return mapPoint(vm, c, false); }

}  // namespace

void installGeomMatrix(Vm& vm) {
    Object* proto = vm.newObject();
    defineGeomClass(vm, "Matrix", proto, construct);
    vm.defineMethod(proto, "toString", toString);
    vm.defineMethod(proto, "clone", clone);
    vm.defineMethod(proto, "identity", identity);
    vm.defineMethod(proto, "concat", concat);
    vm.defineMethod(proto, "invert", invert);
    vm.defineMethod(proto, "rotate", rotate);
    vm.defineMethod(proto, "scale", scale);
    vm.defineMethod(proto, "translate", translate);
    vm.defineMethod(proto, "createBox", createBox);
    vm.defineMethod(proto, "createGradientBox", createGradientBox);
    vm.defineMethod(proto, "transformPoint", transformPoint);
    vm.defineMethod(proto, "deltaTransformPoint", deltaTransformPoint);
}

}  // namespace swf::avm1
