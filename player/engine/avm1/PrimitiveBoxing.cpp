#include "avm1/PrimitiveBoxing.h"

#include "avm1/Strings.h"
#include "avm1/Vm.h"

namespace swf::avm1 {

namespace {

const char* className(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Boolean: return "Boolean";
    case Value::Kind::Number: return "Number";
    case Value::Kind::String: return "String";
    default: return nullptr;
    }
}

FunctionObject* classOf(Vm& vm, const Value& primitive) {
    const char* name = className(primitive);
    Value ctor;
    if (!name || !vm.find(vm.global, name, ctor)) return nullptr;
    return ctor.object() ? ctor.object()->asFunction() : nullptr;
}

}  // namespace

Object* boxPrimitive(Vm& vm, const Value& primitive) {
    FunctionObject* ctor = classOf(vm, primitive);
    if (!ctor) return nullptr;
    return vm.construct(Value(ctor), {primitive}).object();
}

Value primitiveMember(Vm& vm, const Value& primitive, const std::string& name) {
    FunctionObject* ctor = classOf(vm, primitive);
    if (!ctor) return Value();
    if (isBuiltinStringConstructor(*ctor)) {
        std::string text = vm.toString(primitive);
        if (vm.key(name) == "length") return Value(static_cast<double>(utf16Length(text)));
        return vm.get(vm.stringProto, name);
    }
    if (Object* proto = builtinNumberOrBooleanProto(vm, *ctor)) return vm.get(proto, name);
    Object* boxed = vm.construct(Value(ctor), {primitive}).object();
    return boxed ? vm.getOrResolve(boxed, name) : Value();
}

}  // namespace swf::avm1
