// Object: the root of every prototype chain, with the property-level services movies use
// (addProperty, watch, hasOwnProperty, ASSetPropFlags through the global function).
#include "avm1/Builtins.h"
#include "avm1/ClassRegistry.h"
#include "avm1/ClipObject.h"

namespace swf::avm1 {

namespace {

// Called as a plain function with nothing to wrap, Object gives an object without a
// prototype (it prints "[type Object]"); `new Object()` gives an ordinary one.
Value objectCall(Vm& vm, NativeCall& c) {
    Value v = c.arg(0);
    if (v.isNullish()) return Value(c.constructing ? vm.newObject() : vm.make<Object>(nullptr));
    return Value(vm.toObject(v));
}

Value objectToString(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    if (o && o->asFunction()) return Value("[type Function]");
    return Value("[object Object]");
}

Value objectValueOf(Vm& vm, NativeCall& c) {
    if (Object* o = c.self.object(); o && o->hasPrimitive) return o->primitive;
    return c.self;
}

Value hasOwnProperty(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    if (!o || c.args.empty()) return Value(false);
    std::string name = vm.toString(c.args[0]);
    if (vm.key(name) == "__proto__") return Value(o->proto() != nullptr);
    // A property hidden from this file version by ASSetPropFlags still counts as the object's.
    return Value(!name.empty() && (vm.hasOwn(o, name) || o->findOwn(vm.key(name))));
}

Value isPropertyEnumerable(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    if (!o) return Value(false);
    Property* p = o->findOwn(vm.key(vm.toString(c.arg(0))));
    return Value(p && !(p->flags & flags::kDontEnum));
}

Value isPrototypeOf(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Object* o = c.arg(0).object();
    for (int depth = 0; self && o && depth < 256; ++depth) {
        o = o->proto();
        if (o == self) return Value(true);
    }
    return Value(false);
}

Value addProperty(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    std::string name = vm.toString(c.arg(0));
    Object* getter = c.arg(1).object();
    Value setterValue = c.arg(2);
    if (!o || name.empty() || !getter || !getter->asFunction()) return Value(false);
    Object* setter = setterValue.object();
    if (setter && !setter->asFunction()) return Value(false);
    if (!setter && !setterValue.isNull() && !setterValue.isUndefined()) return Value(false);
    Property& p = o->put(vm.key(name), name, Value());
    p.getter = getter;
    p.setter = setter;
    return Value(true);
}

Value watch(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    Object* callback = c.arg(1).object();
    if (!o || !callback || !callback->asFunction()) return Value(false);
    o->watches[vm.key(vm.toString(c.arg(0)))] = {callback, c.arg(2)};
    return Value(true);
}

Value unwatch(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    if (!o) return Value(false);
    return Value(o->watches.erase(vm.key(vm.toString(c.arg(0)))) > 0);
}

// Links a library symbol to a class (attachMovie gives its clips that prototype); null
// unlinks it. Any name is taken; the class must be a function.
Value registerClass(Vm& vm, NativeCall& c) {
    if (c.args.size() < 2) return Value(false);
    std::string name = vm.toString(c.args[0]);
    Object* cls = c.args[1].object();
    std::string entry = registrationName(name, vm.version());
    bool linksClass = cls && cls->asFunction();
    // undefined unlinks too, though it reports false as other values that are no class do
    // (register_class).
    if (linksClass || c.args[1].isNullish())
        std::erase_if(vm.registeredClasses, [&](const auto& e) { return vm.key(e.first) == vm.key(entry); });
    if (!c.args[1].isNull() && !linksClass) return Value(false);
    if (cls) vm.registeredClasses.emplace_back(entry, cls);
    return Value(true);
}

}  // namespace

void installObjectClass(Vm& vm) {
    Object* proto = vm.objectProto;
    FunctionObject* ctor = defineClass(vm, "Object", proto, objectCall, objectCall);
    vm.objectCtor = ctor;
    vm.defineMethod(proto, "toString", objectToString);
    vm.defineMethod(proto, "toLocaleString", objectToString);
    vm.defineMethod(proto, "valueOf", objectValueOf);
    vm.defineMethod(proto, "hasOwnProperty", hasOwnProperty);
    vm.defineMethod(proto, "isPropertyEnumerable", isPropertyEnumerable);
    vm.defineMethod(proto, "isPrototypeOf", isPrototypeOf);
    vm.defineMethod(proto, "addProperty", addProperty);
    vm.defineMethod(proto, "watch", watch);
    vm.defineMethod(proto, "unwatch", unwatch);
    vm.defineMethod(ctor, "registerClass", registerClass);
}

}  // namespace swf::avm1
