// Error: what scripts throw; name and message live on the prototype until an instance
// sets its own.
#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (self && !c.arg(0).isUndefined()) vm.set(self, "message", c.arg(0));
    return c.self;
}

Value toString(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return Value(self ? vm.toString(vm.get(self, "message")) : std::string("Error"));
}

}  // namespace

void installErrorClass(Vm& vm) {
    Object* proto = vm.newObject();
    vm.errorProto = proto;
    defineClass(vm, "Error", proto, construct);
    vm.define(proto, "name", Value("Error"));
    vm.define(proto, "message", Value("Error"));
    vm.defineMethod(proto, "toString", toString);
}

}  // namespace swf::avm1
