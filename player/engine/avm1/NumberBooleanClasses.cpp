// Number and Boolean: conversion when called, a wrapper when constructed.
#include <cfloat>
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/NumberFormat.h"
#include "avm1/PrimitiveBoxing.h"

namespace swf::avm1 {

namespace {

// `new` makes the wrapper; super() from a class a movie derived gives its own object the value.
Object* wrap(Vm& vm, NativeCall& c, Object* proto, Value v) {
    Object* o = c.self.object();
    if (!o) o = vm.make<Object>(proto);
    o->primitive = std::move(v);
    o->hasPrimitive = true;
    return o;
}

Value callNumber(Vm& vm, NativeCall& c) { return Value(c.args.empty() ? 0.0 : vm.toNumber(c.args[0])); }
Value constructNumber(Vm& vm, NativeCall& c) {
    return Value(wrap(vm, c, vm.numberProto, Value(c.args.empty() ? 0.0 : vm.toNumber(c.args[0]))));
}

Value numberToString(Vm& vm, NativeCall& c) {
    Value p = thisPrimitive(c);
    if (!p.isNumber()) return Value("NaN");
    double radix = integerArg(vm, c, 0, 10);
    return Value(formatNumberRadix(p.number(), static_cast<int>(radix)));
}

Value numberValueOf(Vm& vm, NativeCall& c) {
    Value p = thisPrimitive(c);
    return p.isNumber() ? p : Value(NAN);
}

// Called with nothing to convert, Boolean() gives undefined (Number() gives 0).
Value callBoolean(Vm& vm, NativeCall& c) { return c.args.empty() ? Value() : Value(vm.toBoolean(c.args[0])); }
Value constructBoolean(Vm& vm, NativeCall& c) {
    return Value(wrap(vm, c, vm.booleanProto, Value(!c.args.empty() && vm.toBoolean(c.args[0]))));
}

Value booleanToString(Vm& vm, NativeCall& c) {
    Value p = thisPrimitive(c);
    return Value(p.isBoolean() ? (p.boolean() ? "true" : "false") : "");
}

Value booleanValueOf(Vm& vm, NativeCall& c) {
    Value p = thisPrimitive(c);
    return p.isBoolean() ? p : Value();
}

}  // namespace

Object* builtinNumberOrBooleanProto(Vm& vm, const FunctionObject& fn) {
    if (fn.nativeConstructor == constructNumber) return vm.numberProto;
    if (fn.nativeConstructor == constructBoolean) return vm.booleanProto;
    return nullptr;
}

void installNumberAndBoolean(Vm& vm) {
    Object* numberProto = vm.newObject();
    vm.numberProto = numberProto;
    FunctionObject* number = defineClass(vm, "Number", numberProto, callNumber, constructNumber);
    vm.defineMethod(numberProto, "toString", numberToString);
    vm.defineMethod(numberProto, "valueOf", numberValueOf);
    uint8_t constant = flags::kDontEnum | flags::kDontDelete | flags::kReadOnly;
    vm.define(number, "MAX_VALUE", Value(DBL_MAX), constant);
    vm.define(number, "MIN_VALUE", Value(4.9406564584124654e-324), constant);
    vm.define(number, "NaN", Value(NAN), constant);
    vm.define(number, "NEGATIVE_INFINITY", Value(-INFINITY), constant);
    vm.define(number, "POSITIVE_INFINITY", Value(INFINITY), constant);

    Object* booleanProto = vm.newObject();
    vm.booleanProto = booleanProto;
    defineClass(vm, "Boolean", booleanProto, callBoolean, constructBoolean);
    vm.defineMethod(booleanProto, "toString", booleanToString);
    vm.defineMethod(booleanProto, "valueOf", booleanValueOf);
}

}  // namespace swf::avm1
