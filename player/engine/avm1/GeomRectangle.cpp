// flash.geom.Rectangle: x, y, width and height as plain fields; left, top, right, bottom and
// the corner and size points are accessors over them. Moving one edge keeps the opposite one
// where it was.
#include <algorithm>
#include <cmath>

#include "avm1/Comparison.h"
#include "avm1/GeomSupport.h"

namespace swf::avm1 {

namespace {

Value field(Vm& vm, const NativeCall& c, const char* name) {
    Object* self = c.self.object();
    return self ? vm.get(self, name) : Value();
}

double number(Vm& vm, Object* o, const char* name) { return numberField(vm, o, name); }

Value rectangle(Vm& vm, Value x, Value y, Value width, Value height) {
    return newGeom(vm, "Rectangle", {std::move(x), std::move(y), std::move(width), std::move(height)});
}

Value point(Vm& vm, Value x, Value y) { return newGeom(vm, "Point", {std::move(x), std::move(y)}); }

// new Rectangle(): all zero; with arguments the fields take them as given.
Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    const char* names[] = {"x", "y", "width", "height"};
    for (size_t i = 0; i < 4; ++i) vm.set(self, names[i], c.args.empty() ? Value(0) : c.arg(i));
    return Value();
}

// right and bottom add as scripts add (text joins).
Value right(Vm& vm, NativeCall& c) { return add2(vm, field(vm, c, "x"), field(vm, c, "width")); }
Value bottom(Vm& vm, NativeCall& c) { return add2(vm, field(vm, c, "y"), field(vm, c, "height")); }
Value left(Vm& vm, NativeCall& c) { return field(vm, c, "x"); }
Value top(Vm& vm, NativeCall& c) { return field(vm, c, "y"); }

Value setLeft(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) {
        double r = vm.toNumber(right(vm, c));
        vm.set(self, "width", Value(r - vm.toNumber(c.arg(0))));
        vm.set(self, "x", c.arg(0));
    }
    return Value();
}

Value setTop(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) {
        double b = vm.toNumber(bottom(vm, c));
        vm.set(self, "height", Value(b - vm.toNumber(c.arg(0))));
        vm.set(self, "y", c.arg(0));
    }
    return Value();
}

Value setRight(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) vm.set(self, "width", Value(vm.toNumber(c.arg(0)) - number(vm, self, "x")));
    return Value();
}

Value setBottom(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) vm.set(self, "height", Value(vm.toNumber(c.arg(0)) - number(vm, self, "y")));
    return Value();
}

Value topLeft(Vm& vm, NativeCall& c) { return point(vm, field(vm, c, "x"), field(vm, c, "y")); }
Value bottomRight(Vm& vm, NativeCall& c) { return point(vm, right(vm, c), bottom(vm, c)); }
Value size(Vm& vm, NativeCall& c) { return point(vm, field(vm, c, "width"), field(vm, c, "height")); }

// The corner and size setters read x and y of whatever they are given (undefined of a
// number or of nothing).
Value setTopLeft(Vm& vm, NativeCall& c) {
    std::vector<Value> px{vm.getMember(c.arg(0), "x")}, py{vm.getMember(c.arg(0), "y")};
    NativeCall toLeft{c.self, px, c.callee}, toTop{c.self, py, c.callee};
    setLeft(vm, toLeft);
    setTop(vm, toTop);
    return Value();
}

Value setBottomRight(Vm& vm, NativeCall& c) {
    std::vector<Value> px{vm.getMember(c.arg(0), "x")}, py{vm.getMember(c.arg(0), "y")};
    NativeCall toRight{c.self, px, c.callee}, toBottom{c.self, py, c.callee};
    setRight(vm, toRight);
    setBottom(vm, toBottom);
    return Value();
}

Value setSize(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) {
        vm.set(self, "width", vm.getMember(c.arg(0), "x"));
        vm.set(self, "height", vm.getMember(c.arg(0), "y"));
    }
    return Value();
}

Value toString(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    return Value("(x=" + vm.toString(vm.get(self, "x")) + ", y=" + vm.toString(vm.get(self, "y")) +
                 ", w=" + vm.toString(vm.get(self, "width")) + ", h=" + vm.toString(vm.get(self, "height")) + ")");
}

struct Box {
    double x, y, width, height;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
};

Box boxOf(Vm& vm, Object* o) {
    if (!o) return {NAN, NAN, NAN, NAN};
    return {number(vm, o, "x"), number(vm, o, "y"), number(vm, o, "width"), number(vm, o, "height")};
}

Value clone(Vm& vm, NativeCall& c) {
    return rectangle(vm, field(vm, c, "x"), field(vm, c, "y"), field(vm, c, "width"), field(vm, c, "height"));
}

// Neither a positive width nor a positive height (NaN counts as empty).
Value isEmpty(Vm& vm, NativeCall& c) {
    Box b = boxOf(vm, c.self.object());
    return Value(!(b.width > 0) || !(b.height > 0));
}

Value setEmpty(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object())
        for (const char* name : {"x", "y", "width", "height"}) vm.set(self, name, Value(0));
    return Value();
}

// The containment tests compare as scripts do, except that a comparison with NaN (undefined,
// text that is no number) answers undefined, which then ends the test: the runtime's answer.
Value atLeast(Vm& vm, const Value& a, const Value& b) {
    Value less = lessThan(vm, a, b);
    return less.isUndefined() ? less : Value(!less.boolean());
}
Value below(Vm& vm, const Value& a, const Value& b) { return lessThan(vm, a, b); }

// `first && second && ...`: the first answer that is not true, else the last.
template <class... Tests>
Value all(Vm& vm, Tests&&... tests) {
    Value answer(true);
    ((answer.isBoolean() && answer.boolean() ? (answer = tests(), 0) : 0), ...);
    (void)vm;
    return answer;
}

Value containsAt(Vm& vm, Object* self, const Value& x, const Value& y) {
    if (!self) return Value();
    Value left = vm.get(self, "x"), top = vm.get(self, "y");
    return all(
        vm, [&] { return atLeast(vm, x, left); }, [&] { return atLeast(vm, y, top); },
        [&] { return below(vm, x, add2(vm, left, vm.get(self, "width"))); },
        [&] { return below(vm, y, add2(vm, top, vm.get(self, "height"))); });
}

Value contains(Vm& vm, NativeCall& c) { return containsAt(vm, c.self.object(), c.arg(0), c.arg(1)); }

Value containsPoint(Vm& vm, NativeCall& c) {
    return containsAt(vm, c.self.object(), vm.getMember(c.arg(0), "x"), vm.getMember(c.arg(0), "y"));
}

Value containsRectangle(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    const Value& r = c.arg(0);
    Value rx = vm.getMember(r, "x"), ry = vm.getMember(r, "y");
    Value left = vm.get(self, "x"), top = vm.get(self, "y");
    return all(
        vm, [&] { return atLeast(vm, rx, left); }, [&] { return atLeast(vm, ry, top); },
        [&] {
            return atLeast(vm, add2(vm, left, vm.get(self, "width")), add2(vm, rx, vm.getMember(r, "width")));
        },
        [&] {
            return atLeast(vm, add2(vm, top, vm.get(self, "height")), add2(vm, ry, vm.getMember(r, "height")));
        });
}

// Only another Rectangle can be equal.
Value equals(Vm& vm, NativeCall& c) {
    Object* other = c.arg(0).object();
    Object* proto = vm.get(vm.get(geomPackage(vm), "Rectangle").object(), "prototype").object();
    bool isRectangle = false;
    for (Object* o = other ? other->proto() : nullptr; o && !isRectangle; o = o->proto()) isRectangle = o == proto;
    if (!isRectangle) return Value(false);
    Box b = boxOf(vm, c.self.object()), r = boxOf(vm, other);
    return Value(b.x == r.x && b.y == r.y && b.width == r.width && b.height == r.height);
}

bool anyNaN(const Box& b) { return std::isnan(b.x) || std::isnan(b.y) || std::isnan(b.width) || std::isnan(b.height); }

// Rectangles with a NaN anywhere meet nothing.
bool overlaps(const Box& a, const Box& b) {
    if (anyNaN(a) || anyNaN(b)) return false;
    return std::max(a.x, b.x) < std::min(a.right(), b.right()) && std::max(a.y, b.y) < std::min(a.bottom(), b.bottom());
}

Value intersects(Vm& vm, NativeCall& c) { return Value(overlaps(boxOf(vm, c.self.object()), boxOf(vm, c.arg(0).object()))); }

Value intersection(Vm& vm, NativeCall& c) {
    Box a = boxOf(vm, c.self.object()), b = boxOf(vm, c.arg(0).object());
    if (!overlaps(a, b)) return rectangle(vm, Value(0), Value(0), Value(0), Value(0));
    double x = std::max(a.x, b.x), y = std::max(a.y, b.y);
    return rectangle(vm, Value(x), Value(y), Value(std::min(a.right(), b.right()) - x),
                     Value(std::min(a.bottom(), b.bottom()) - y));
}

// NaN on either side gives NaN (std::min and std::max would pick a side).
double lesser(double a, double b) { return std::isnan(a) || std::isnan(b) ? NAN : std::min(a, b); }
double greater(double a, double b) { return std::isnan(a) || std::isnan(b) ? NAN : std::max(a, b); }

Value unionWith(Vm& vm, NativeCall& c) {
    Box a = boxOf(vm, c.self.object()), b = boxOf(vm, c.arg(0).object());
    double x = lesser(a.x, b.x), y = lesser(a.y, b.y);
    return rectangle(vm, Value(x), Value(y), Value(greater(a.right(), b.right()) - x),
                     Value(greater(a.bottom(), b.bottom()) - y));
}

void grow(Vm& vm, Object* self, double dx, double dy) {
    Box b = boxOf(vm, self);
    vm.set(self, "x", Value(b.x - dx));
    vm.set(self, "width", Value(b.width + 2 * dx));
    vm.set(self, "y", Value(b.y - dy));
    vm.set(self, "height", Value(b.height + 2 * dy));
}

Value inflate(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) grow(vm, self, vm.toNumber(c.arg(0)), vm.toNumber(c.arg(1)));
    return Value();
}

// The point variants read x and y of whatever they are given.
Value inflatePoint(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object())
        grow(vm, self, vm.toNumber(vm.getMember(c.arg(0), "x")), vm.toNumber(vm.getMember(c.arg(0), "y")));
    return Value();
}

void move(Vm& vm, Object* self, double dx, double dy) {
    vm.set(self, "x", Value(number(vm, self, "x") + dx));
    vm.set(self, "y", Value(number(vm, self, "y") + dy));
}

Value offset(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) move(vm, self, vm.toNumber(c.arg(0)), vm.toNumber(c.arg(1)));
    return Value();
}

Value offsetPoint(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object())
        move(vm, self, vm.toNumber(vm.getMember(c.arg(0), "x")), vm.toNumber(vm.getMember(c.arg(0), "y")));
    return Value();
}

void accessor(Vm& vm, Object* proto, const char* name, NativeFn get, NativeFn set) {
    vm.define(proto, name, Value(), flags::kDontEnum);
    Property* p = proto->findOwn(vm.key(name));
    p->getter = vm.newNative(get);
    p->setter = vm.newNative(set);
}

}  // namespace

void installGeomRectangle(Vm& vm) {
    Object* proto = vm.newObject();
    defineGeomClass(vm, "Rectangle", proto, construct);
    accessor(vm, proto, "left", left, setLeft);
    accessor(vm, proto, "top", top, setTop);
    accessor(vm, proto, "right", right, setRight);
    accessor(vm, proto, "bottom", bottom, setBottom);
    accessor(vm, proto, "topLeft", topLeft, setTopLeft);
    accessor(vm, proto, "bottomRight", bottomRight, setBottomRight);
    accessor(vm, proto, "size", size, setSize);
    vm.defineMethod(proto, "toString", toString);
    vm.defineMethod(proto, "clone", clone);
    vm.defineMethod(proto, "isEmpty", isEmpty);
    vm.defineMethod(proto, "setEmpty", setEmpty);
    vm.defineMethod(proto, "contains", contains);
    vm.defineMethod(proto, "containsPoint", containsPoint);
    vm.defineMethod(proto, "containsRectangle", containsRectangle);
    vm.defineMethod(proto, "equals", equals);
    vm.defineMethod(proto, "intersects", intersects);
    vm.defineMethod(proto, "intersection", intersection);
    vm.defineMethod(proto, "union", unionWith);
    vm.defineMethod(proto, "inflate", inflate);
    vm.defineMethod(proto, "inflatePoint", inflatePoint);
    vm.defineMethod(proto, "offset", offset);
    vm.defineMethod(proto, "offsetPoint", offsetPoint);
}

}  // namespace swf::avm1
