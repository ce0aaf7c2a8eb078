// flash.geom.Point: x and y as plain fields, with the vector arithmetic movies use.
#include <cmath>

#include "avm1/GeomSupport.h"

namespace swf::avm1 {

namespace {

Value point(Vm& vm, double x, double y) { return newGeom(vm, "Point", {Value(x), Value(y)}); }

// new Point(): the origin; with arguments the fields take them as given.
Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    vm.set(self, "x", c.args.empty() ? Value(0) : c.arg(0));
    vm.set(self, "y", c.args.empty() ? Value(0) : c.arg(1));
    return Value();
}

Value toString(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? Value(fieldsText(vm, self, {"x", "y"})) : Value();
}

// Reads this point and the first argument's x and y (NaN where missing).
struct Pair {
    double x, y, ox, oy;
};
Pair pairOf(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Object* other = c.arg(0).object();
    return {self ? numberField(vm, self, "x") : NAN, self ? numberField(vm, self, "y") : NAN,
            other ? numberField(vm, other, "x") : NAN, other ? numberField(vm, other, "y") : NAN};
}

Value add(Vm& vm, NativeCall& c) {
    Pair p = pairOf(vm, c);
    return point(vm, p.x + p.ox, p.y + p.oy);
}

Value subtract(Vm& vm, NativeCall& c) {
    Pair p = pairOf(vm, c);
    return point(vm, p.x - p.ox, p.y - p.oy);
}

Value equals(Vm& vm, NativeCall& c) {
    Object* other = c.arg(0).object();
    if (!other) return Value(false);
    Pair p = pairOf(vm, c);
    return Value(p.x == p.ox && p.y == p.oy);
}

Value clone(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? newGeom(vm, "Point", {vm.get(self, "x"), vm.get(self, "y")}) : Value();
}

Value offset(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    vm.set(self, "x", Value(numberField(vm, self, "x") + vm.toNumber(c.arg(0))));
    vm.set(self, "y", Value(numberField(vm, self, "y") + vm.toNumber(c.arg(1))));
    return Value();
}

// Scales the point to the given length (a zero point stays where it is).
Value normalize(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    double x = numberField(vm, self, "x"), y = numberField(vm, self, "y");
    double length = std::hypot(x, y);
    if (length == 0) return Value();
    double scale = vm.toNumber(c.arg(0)) / length;
    vm.set(self, "x", Value(x * scale));
    vm.set(self, "y", Value(y * scale));
    return Value();
}

Value length(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? Value(std::hypot(numberField(vm, self, "x"), numberField(vm, self, "y"))) : Value();
}

Value distance(Vm& vm, NativeCall& c) {
    Object* a = c.arg(0).object();
    Object* b = c.arg(1).object();
    if (!a || !b) return Value();
    return Value(std::hypot(numberField(vm, a, "x") - numberField(vm, b, "x"),
                            numberField(vm, a, "y") - numberField(vm, b, "y")));
}

// interpolate(p1, p2, f): f = 1 gives p1, f = 0 gives p2.
Value interpolate(Vm& vm, NativeCall& c) {
    Object* a = c.arg(0).object();
    Object* b = c.arg(1).object();
    if (!a || !b) return Value();
    double f = vm.toNumber(c.arg(2));
    double bx = numberField(vm, b, "x"), by = numberField(vm, b, "y");
    return point(vm, bx + f * (numberField(vm, a, "x") - bx), by + f * (numberField(vm, a, "y") - by));
}

Value polar(Vm& vm, NativeCall& c) {
    double length = vm.toNumber(c.arg(0)), angle = vm.toNumber(c.arg(1));
    return point(vm, length * std::cos(angle), length * std::sin(angle));
}

}  // namespace

void installGeomPoint(Vm& vm) {
    Object* proto = vm.newObject();
    FunctionObject* ctor = defineGeomClass(vm, "Point", proto, construct);
    vm.defineMethod(proto, "toString", toString);
    vm.defineMethod(proto, "add", add);
    vm.defineMethod(proto, "subtract", subtract);
    vm.defineMethod(proto, "equals", equals);
    vm.defineMethod(proto, "clone", clone);
    vm.defineMethod(proto, "offset", offset);
    vm.defineMethod(proto, "normalize", normalize);
    vm.define(proto, "length", Value(), flags::kDontEnum);
    proto->findOwn(vm.key("length"))->getter = vm.newNative(length);
    vm.defineMethod(ctor, "distance", distance);
    vm.defineMethod(ctor, "interpolate", interpolate);
    vm.defineMethod(ctor, "polar", polar);
}

}  // namespace swf::avm1
