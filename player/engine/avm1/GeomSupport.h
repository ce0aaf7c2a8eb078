#pragma once
// Helpers for the flash.geom classes. Point, Rectangle and Matrix keep their fields as plain
// properties that scripts may set to anything, and their methods read them back with the
// script conversions: a field holding an object takes part as NaN, prints as
// "[object Object]".
#include <initializer_list>
#include <string>
#include <utility>

#include "avm1/Builtins.h"

namespace swf::avm1 {

inline double numberField(Vm& vm, Object* o, const char* name) { return vm.toNumber(vm.get(o, name)); }

// "(a=1, b=2)": the fields' text as scripts convert them.
inline std::string fieldsText(Vm& vm, Object* o, std::initializer_list<const char*> names) {
    std::string out = "(";
    for (const char* name : names) {
        if (out.size() > 1) out += ", ";
        out += std::string(name) + "=" + vm.toString(vm.get(o, name));
    }
    return out + ")";
}

// The flash.geom package object, made on first use.
inline Object* geomPackage(Vm& vm) { return packageObject(vm, "flash.geom"); }

// flash.geom.`name`, a class whose instances `construct` fills in.
inline FunctionObject* defineGeomClass(Vm& vm, const std::string& name, Object* proto, NativeFn construct) {
    FunctionObject* ctor = vm.newNative(construct);
    vm.define(ctor, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
    vm.define(proto, "constructor", Value(ctor));
    vm.define(geomPackage(vm), name, Value(ctor));
    return ctor;
}

// A new instance of flash.geom.`className` made as `new` would make it.
inline Value newGeom(Vm& vm, const char* className, std::vector<Value> args) {
    return vm.construct(vm.get(geomPackage(vm), className), std::move(args));
}

}  // namespace swf::avm1
