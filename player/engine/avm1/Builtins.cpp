#include "avm1/Builtins.h"


namespace swf::avm1 {

FunctionObject* defineClass(Vm& vm, const std::string& name, Object* proto, NativeFn call, NativeFn construct) {
    FunctionObject* ctor = vm.newNative(call, construct);
    vm.define(ctor, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
    vm.define(proto, "constructor", Value(ctor));
    vm.define(vm.global, name, Value(ctor));
    return ctor;
}

Object* packageObject(Vm& vm, const std::string& path) {
    Object* at = vm.global;
    size_t start = 0;
    while (start <= path.size()) {
        size_t dot = path.find('.', start);
        if (dot == std::string::npos) dot = path.size();
        std::string name = path.substr(start, dot - start);
        Object* next = vm.get(at, name).object();
        if (!next) {
            next = vm.newObject();
            vm.define(at, name, Value(next));
        }
        at = next;
        start = dot + 1;
    }
    return at;
}

Value thisPrimitive(const NativeCall& call) {
    if (Object* o = call.self.object(); o && o->hasPrimitive) return o->primitive;
    return call.self;
}

double integerArg(Vm& vm, const NativeCall& call, size_t index, double fallback) {
    Value v = call.arg(index);
    if (v.isUndefined()) return fallback;
    // Built-ins take integers modulo 2^32, as the runtime does (charAt(4294967297) is charAt(1)).
    return static_cast<double>(vm.toInt32(v));
}

}  // namespace swf::avm1
