#include "avm1/Comparison.h"

#include <cmath>

#include "avm1/Vm.h"

namespace swf::avm1 {

Value add2(Vm& vm, const Value& a, const Value& b) {
    Value pa = vm.toPrimitive(a), pb = vm.toPrimitive(b);
    if (pa.isString() || pb.isString()) {
        std::string s = vm.toString(pa) + vm.toString(pb);
        if (s.size() > vm.limits().maxStringLength) throw ScriptAbort("string too long");
        return Value(std::move(s));
    }
    return Value(vm.toNumber(pa) + vm.toNumber(pb));
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

bool looseEquals(Vm& vm, const Value& a, const Value& b) {
    using K = Value::Kind;
    if (a.kind() == b.kind()) return strictEquals(a, b);
    if (a.isNullish() && b.isNullish()) return true;
    if (a.isNullish() || b.isNullish()) return false;
    if (a.isNumber() && b.isString()) return a.number() == vm.toNumber(b);
    if (a.isString() && b.isNumber()) return vm.toNumber(a) == b.number();
    if (a.isBoolean()) return looseEquals(vm, Value(a.boolean() ? 1.0 : 0.0), b);
    if (b.isBoolean()) return looseEquals(vm, a, Value(b.boolean() ? 1.0 : 0.0));
    if ((a.isNumber() || a.isString()) && b.kind() == K::Object) {
        Value pb = vm.toPrimitive(b);
        if (pb.isObject()) return false;
        return looseEquals(vm, a, pb);
    }
    if (a.kind() == K::Object && (b.isNumber() || b.isString())) {
        Value pa = vm.toPrimitive(a);
        if (pa.isObject()) return false;
        return looseEquals(vm, pa, b);
    }
    return false;
}

Value lessThan(Vm& vm, const Value& a, const Value& b) {
    Value pa = vm.toPrimitive(a), pb = vm.toPrimitive(b);
    if (pa.isString() && pb.isString()) return Value(pa.string() < pb.string());
    double x = vm.toNumber(pa), y = vm.toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value(x < y);
}

}  // namespace swf::avm1
