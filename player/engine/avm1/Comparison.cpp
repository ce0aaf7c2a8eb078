#include "avm1/Comparison.h"

#include <cmath>

#include "avm1/ClipObject.h"
#include "avm1/Vm.h"

namespace swf::avm1 {

Value add2(Vm& vm, const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) return Value(a.number() + b.number());  // no conversion to make
    // From version 6 the right operand converts first (the order valueOf is called in);
    // version 5 goes left to right.
    Value pa, pb;
    if (vm.version() >= 6) {
        pb = vm.toPrimitive(b);
        pa = vm.toPrimitive(a);
    } else {
        pa = vm.toPrimitive(a);
        pb = vm.toPrimitive(b);
    }
    // An operand whose valueOf gave an object converts again from the original object:
    // through its toString when text is wanted, through valueOf once more for a number.
    auto again = [](const Value& original, const Value& primitive) { return primitive.isObject() ? original : primitive; };
    if (pa.isString() || pb.isString()) {
        std::string left = vm.toString(again(a, pa)), right = vm.toString(again(b, pb));
        vm.chargeStringBytes(left.size() + right.size());
        std::string s = left + right;
        return Value(std::move(s));
    }
    double x = vm.toNumber(again(a, pa));
    return Value(x + vm.toNumber(again(b, pb)));
}

bool strictEquals(const Value& a, const Value& b) {
    if (a.kind() != b.kind()) return false;
    switch (a.kind()) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return true;
    case Value::Kind::Boolean: return a.boolean() == b.boolean();
    case Value::Kind::Number: return a.number() == b.number();
    case Value::Kind::String: return a.string() == b.string();
    case Value::Kind::Object: return a.object() == b.object();
    }
    return false;
}

// Objects meet primitives through their valueOf; two NaN numbers are equal; files of version 5
// compare two objects through their values too, later ones by identity.
bool looseEquals(Vm& vm, const Value& a, const Value& b) {
    if (a.isObject() && b.isObject()) {
        if (a.object() == b.object()) return true;
        if (vm.version() > 5) return false;
        Value pa = vm.toPrimitive(a), pb = vm.toPrimitive(b);
        if (pa.isObject() && pb.isObject()) return pa.object() == pb.object();
        return looseEquals(vm, pa, pb);
    }
    if (a.isObject() || b.isObject()) {
        Value pa = a.isObject() ? vm.toPrimitive(a) : a;
        Value pb = b.isObject() ? vm.toPrimitive(b) : b;
        if (pa.isObject() || pb.isObject()) return pa.isObject() && pb.isObject() && pa.object() == pb.object();
        return looseEquals(vm, pa, pb);
    }
    if (a.kind() == b.kind()) {
        if (a.isNumber()) return a.number() == b.number() || (std::isnan(a.number()) && std::isnan(b.number()));
        return strictEquals(a, b);
    }
    if (a.isNullish() || b.isNullish()) return a.isNullish() && b.isNullish();
    if (a.isBoolean()) return looseEquals(vm, Value(a.boolean() ? 1.0 : 0.0), b);
    if (b.isBoolean()) return looseEquals(vm, a, Value(b.boolean() ? 1.0 : 0.0));
    // A number met with a string compares numerically, and there NaN equals nothing
    // ("NaN" == NaN is false though NaN == NaN is true).
    return vm.toNumber(a) == vm.toNumber(b);
}

Value lessThan(Vm& vm, const Value& a, const Value& b) {
    // An object that stays an object (its valueOf returns an object, as the default one does)
    // makes the comparison false, and the right side is then not converted at all. A movie
    // clip staying itself compares as NaN instead.
    if (a.isNumber() && b.isNumber()) {
        if (std::isnan(a.number()) || std::isnan(b.number())) return Value();
        return Value(a.number() < b.number());
    }
    auto staysObject = [](const Value& p) { return p.isObject() && !p.object()->asClip(); };
    Value pa = vm.toPrimitive(a);
    if (staysObject(pa)) return Value(false);
    Value pb = vm.toPrimitive(b);
    if (staysObject(pb)) return Value(false);
    if (pa.isString() && pb.isString()) return Value(pa.string() < pb.string());
    double x = vm.toNumber(pa), y = vm.toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value(x < y);
}

}  // namespace swf::avm1
