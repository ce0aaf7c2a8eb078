// AsBroadcaster: gives an object a listener list (_listeners) and the methods that keep it
// and send messages to every listener.
#include <algorithm>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/Comparison.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

ArrayObject* listenersOf(Vm& vm, const Value& self) {
    Object* o = self.object();
    if (!o) return nullptr;
    Object* list = vm.get(o, "_listeners").object();
    return list ? list->asArray() : nullptr;
}

bool sameListener(const Value& a, const Value& b) { return strictEquals(a, b) || (a.isNullish() && b.isNullish()); }

bool removeFrom(ArrayObject& list, const Value& listener) {
    // Any value can be listed (null and numbers too) and is found again by strict equality,
    // except that undefined and null find each other (as_broadcaster_undef).
    auto it = std::find_if(list.items.begin(), list.items.end(), [&](const Value& v) { return sameListener(v, listener); });
    if (it == list.items.end()) return false;
    list.items.erase(it);
    return true;
}

Value addListener(Vm& vm, NativeCall& c) {
    ArrayObject* list = listenersOf(vm, c.self);
    if (!list) return Value(true);
    removeFrom(*list, c.arg(0));  // a listener is kept once, at the end
    list->items.push_back(c.arg(0));
    return Value(true);
}

Value removeListener(Vm& vm, NativeCall& c) {
    ArrayObject* list = listenersOf(vm, c.self);
    return Value(list && removeFrom(*list, c.arg(0)));
}

Value broadcastMessage(Vm& vm, NativeCall& c) {
    ArrayObject* list = listenersOf(vm, c.self);
    if (!list || c.args.empty()) return Value();
    std::string name = vm.toString(c.args[0]);
    std::vector<Value> args(c.args.begin() + 1, c.args.end());
    std::vector<Value> listeners = list->items;  // listeners may change the list while called
    for (const Value& l : listeners) {
        Object* o = vm.toObject(l);
        if (!o) continue;
        // A clip that left the stage hears nothing, whatever its object still holds.
        if (ClipObject* clip = o->asClip(); clip && !(clip->clip() && clip->clip()->onStage())) continue;
        // An empty message calls the listener itself, as a method call without a name does.
        vm.call(name.empty() ? Value(o) : vm.get(o, name), l, args);
    }
    return Value(!listeners.empty());
}

Value initialize(Vm& vm, NativeCall& c) {
    Object* target = c.arg(0).object();
    if (!target) return Value();
    Object* broadcaster = c.callee ? vm.get(vm.global, "AsBroadcaster").object() : nullptr;
    for (const char* method : {"broadcastMessage", "addListener", "removeListener"})
        vm.define(target, method, broadcaster ? vm.get(broadcaster, method) : Value());
    vm.define(target, "_listeners", Value(vm.newArray()));
    return Value();
}

Value construct(Vm& vm, NativeCall& c) { return c.self; }

}  // namespace

void makeBroadcaster(Vm& vm, Object* target) {
    Object* broadcaster = vm.get(vm.global, "AsBroadcaster").object();
    for (const char* method : {"broadcastMessage", "addListener", "removeListener"})
        vm.define(target, method, broadcaster ? vm.get(broadcaster, method) : Value());
    vm.define(target, "_listeners", Value(vm.newArray()));
}

void installAsBroadcaster(Vm& vm) {
    Object* proto = vm.newObject();
    FunctionObject* ctor = defineClass(vm, "AsBroadcaster", proto, construct);
    vm.defineMethod(ctor, "initialize", initialize);
    vm.defineMethod(ctor, "addListener", addListener);
    vm.defineMethod(ctor, "removeListener", removeListener);
    vm.defineMethod(ctor, "broadcastMessage", broadcastMessage);
}

}  // namespace swf::avm1
