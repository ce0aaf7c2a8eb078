// Function: call and apply.
#include "avm1/Builtins.h"
#include "avm1/Interpreter.h"

namespace swf::avm1 {

namespace {

// Function(f) gives f back; with nothing to give back it makes an object.
// Function(x) gives x back; Function() alone a bare object with no prototype.
Value functionCall(Vm& vm, NativeCall& c) {
    if (!c.args.empty()) return c.args[0];
    return Value(c.constructing ? vm.newObject() : vm.make<Object>(nullptr));
}

// call and apply run the function on the object a primitive receiver becomes, on the instance
// `super` stands for, and on the global object when there is none (undefined, null, or a
// class that makes no object).
Value receiver(Vm& vm, const Value& self) {
    if (self.isNullish()) return Value(vm.global);
    Object* o = vm.toObject(Interpreter::receiverBehindSuper(self));
    return Value(o ? o : vm.global);
}

Value callMethod(Vm& vm, NativeCall& c) {
    std::vector<Value> args;
    for (size_t i = 1; i < c.args.size(); ++i) args.push_back(c.args[i]);
    return vm.call(c.self, receiver(vm, c.arg(0)), std::move(args));
}

Value applyMethod(Vm& vm, NativeCall& c) {
    std::vector<Value> args;
    if (Object* list = c.arg(1).object()) {
        double n = vm.toNumber(vm.get(list, "length"));
        size_t count = n > 0 ? static_cast<size_t>(std::min(n, 65536.0)) : 0;
        for (size_t i = 0; i < count; ++i) args.push_back(vm.get(list, std::to_string(i)));
    }
    return vm.call(c.self, receiver(vm, c.arg(0)), std::move(args));
}

}  // namespace

void installFunctionClass(Vm& vm) {
    FunctionObject* ctor = defineClass(vm, "Function", vm.functionProto, functionCall, functionCall);
    vm.functionCtor = ctor;
    vm.defineMethod(vm.functionProto, "call", callMethod);
    vm.defineMethod(vm.functionProto, "apply", applyMethod);
}

}  // namespace swf::avm1
