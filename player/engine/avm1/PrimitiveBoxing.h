#pragma once
// Numbers, strings and booleans used as objects. The runtime looks their class up by name on
// _global at each use (through its prototypes and getters, never __resolve) and constructs
// it with the primitive, so a movie that replaces Number or String changes what every
// primitive's members and `this` become. The built-in classes are read without making a
// wrapper (the result is the same, and loops over a string's characters stay free).
#include <string>

#include "avm1/Function.h"
#include "avm1/Value.h"

namespace swf::avm1 {

class Vm;

// The object a primitive becomes, or nullptr when the class is missing, is no function or
// its constructor gives no object.
Object* boxPrimitive(Vm& vm, const Value& primitive);
// `primitive[name]`; undefined when it cannot be boxed.
Value primitiveMember(Vm& vm, const Value& primitive, const std::string& name);

// Whether `fn` is one of the built-in Number, Boolean or String constructors, and which
// prototype its wrappers take (NumberBooleanClasses.cpp, StringClass.cpp).
Object* builtinNumberOrBooleanProto(Vm& vm, const FunctionObject& fn);
bool isBuiltinStringConstructor(const FunctionObject& fn);

}  // namespace swf::avm1
