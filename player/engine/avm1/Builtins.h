#pragma once
// Helpers shared by the built-in classes.
#include <string>

#include "avm1/Vm.h"

namespace swf::avm1 {

// Makes a constructor `name` on the global object with `proto` as its prototype.
FunctionObject* defineClass(Vm& vm, const std::string& name, Object* proto, NativeFn call, NativeFn construct = nullptr);
// The object at a dotted path under the global object ("flash.external"), made as needed.
Object* packageObject(Vm& vm, const std::string& path);
// Gives `target` a listener list and the AsBroadcaster methods (Mouse, Key, Stage).
void makeBroadcaster(Vm& vm, Object* target);
// The primitive a Number/String/Boolean method works on (`this` may be boxed or not).
Value thisPrimitive(const NativeCall& call);
// A Math-table entry without a function (ASnative(200, n) for an unused n).
Value mathTableGap(Vm& vm, NativeCall& call);
// Integer argument (wrapped to 32 bits) with a default for undefined.
double integerArg(Vm& vm, const NativeCall& call, size_t index, double fallback);

}  // namespace swf::avm1
