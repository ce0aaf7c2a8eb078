// ContextMenu and ContextMenuItem: what a movie sets up for the player's right-click menu.
// The menu itself belongs to the embedding program; scripts see the objects as the runtime
// builds them (plain properties, made in the runtime's order so for..in lists them alike).
#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

// Made last to first: enumeration lists the latest first.
constexpr const char* kBuiltInItems[] = {"print", "forward_back", "rewind", "loop", "play", "quality", "zoom", "save"};

Value menuConstruct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || !c.constructing) return Value();
    vm.set(self, "onSelect", c.arg(0));
    Object* builtIn = vm.newObject();
    for (const char* name : kBuiltInItems) vm.set(builtIn, name, Value(true));
    vm.set(self, "builtInItems", Value(builtIn));
    vm.set(self, "customItems", vm.construct(vm.get(vm.global, "Array"), {}));
    return Value();
}

Value hideBuiltInItems(Vm& vm, NativeCall& c) {
    Object* builtIn = c.self.object() ? vm.get(c.self.object(), "builtInItems").object() : nullptr;
    if (builtIn)
        for (const char* name : kBuiltInItems) vm.set(builtIn, name, Value(false));
    return Value();
}

// A new menu with the same handler, the built-in switches copied and each custom item copied.
Value menuCopy(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    Value copy = vm.construct(vm.get(vm.global, "ContextMenu"), {vm.get(self, "onSelect")});
    Object* to = copy.object();
    if (!to) return Value();
    Object* from = vm.get(self, "builtInItems").object();
    Object* builtIn = vm.get(to, "builtInItems").object();
    if (from && builtIn)
        for (const char* name : kBuiltInItems) vm.set(builtIn, name, vm.get(from, name));
    Object* items = vm.get(self, "customItems").object();
    Object* copies = vm.get(to, "customItems").object();
    if (items && copies) {
        double count = vm.toNumber(vm.get(items, "length"));
        for (int i = 0; i < count && i < 4096; ++i) {
            Value item = vm.get(items, std::to_string(i));
            Value itemCopy = item.object() ? vm.call(vm.getMember(item, "copy"), item, {}) : item;
            vm.set(copies, std::to_string(i), itemCopy);
        }
    }
    return copy;
}

Value itemConstruct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || !c.constructing) return Value();
    vm.set(self, "caption", c.arg(0));
    vm.set(self, "onSelect", c.arg(1));
    vm.set(self, "separatorBefore", Value(c.args.size() > 2 && vm.toBoolean(c.arg(2))));
    vm.set(self, "enabled", Value(c.args.size() <= 3 || vm.toBoolean(c.arg(3))));
    vm.set(self, "visible", Value(c.args.size() <= 4 || vm.toBoolean(c.arg(4))));
    return Value();
}

Value itemCopy(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    return vm.construct(vm.get(vm.global, "ContextMenuItem"),
                        {vm.get(self, "caption"), vm.get(self, "onSelect"), vm.get(self, "separatorBefore"),
                         vm.get(self, "enabled"), vm.get(self, "visible")});
}

}  // namespace

void installContextMenu(Vm& vm) {
    Object* menu = vm.newObject();
    defineClass(vm, "ContextMenu", menu, menuConstruct);
    vm.defineMethod(menu, "hideBuiltInItems", hideBuiltInItems);
    vm.defineMethod(menu, "copy", menuCopy);
    Object* item = vm.newObject();
    defineClass(vm, "ContextMenuItem", item, itemConstruct);
    vm.defineMethod(item, "copy", itemCopy);
}

}  // namespace swf::avm1
