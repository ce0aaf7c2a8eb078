// The classes that reach devices and services this player has none of: cameras, microphones,
// printers and screen readers. Scripts find them as in the runtime and hear what a machine
// without them answers: no camera (null), no printer (start() is false). The classes that
// reach a network or the user's files (NetworkClasses.h) are installed from here too.
#include "avm1/Builtins.h"
#include "avm1/NetworkClasses.h"

namespace swf::avm1 {

namespace {

Value nothing(Vm&, NativeCall&) { return Value(); }
Value refuse(Vm&, NativeCall&) { return Value(false); }
Value none(Vm&, NativeCall&) { return Value::null(); }

// A class whose instances are plain objects with the prototype's methods.
Object* plainClass(Vm& vm, Object* home, const std::string& name,
                   std::initializer_list<std::pair<const char*, NativeFn>> methods) {
    Object* proto = vm.newObject();
    FunctionObject* ctor = vm.newNative(nothing);
    vm.define(ctor, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
    vm.define(proto, "constructor", Value(ctor));
    vm.define(home, name, Value(ctor));
    for (const auto& [method, fn] : methods) vm.defineMethod(proto, method, fn);
    return ctor;
}

// PrintJob arrived with version 7: older movies see the class with none of its methods and a
// prototype that inherits nothing (its instances print "[type Object]"). Every version sees
// the page sizes, read-only and 0 while no job has started.
void installPrintJob(Vm& vm, Object* global) {
    Object* ctor = plainClass(vm, global, "PrintJob", {{"start", refuse}, {"addPage", refuse}, {"send", nothing}});
    Object* proto = vm.get(ctor, "prototype").object();
    for (const char* method : {"start", "addPage", "send"}) proto->findOwn(vm.key(method))->minVersion = 7;
    if (vm.version() < 7) proto->setProto(nullptr);
    // Defined last to first: for..in lists the newest first.
    for (const char* name : {"paperHeight", "paperWidth", "pageHeight", "pageWidth", "orientation"}) {
        Property& p = proto->put(vm.key(name), name, Value(), flags::kDontDelete);
        p.getter = vm.newNative([](Vm&, NativeCall&) { return Value(0); });
    }
}

}  // namespace

void reportLater(Vm& vm, Object* self, const char* handler, std::vector<Value> args) {
    if (!self) return;
    Object* fn = vm.newNative([](Vm& vm, NativeCall& c) {
        Object* target = vm.get(c.callee, "target").object();
        std::string name = vm.toString(vm.get(c.callee, "handler"));
        if (target) vm.call(vm.get(target, name), Value(target), c.args);
        return Value();
    });
    vm.set(fn, "target", Value(self));
    vm.set(fn, "handler", Value(handler));
    Value setTimeout = vm.get(vm.global, "setTimeout");
    std::vector<Value> call{Value(fn), Value(0)};
    call.insert(call.end(), args.begin(), args.end());
    if (setTimeout.object()) vm.call(setTimeout, Value(), std::move(call));
}

void installDeviceClasses(Vm& vm) {
    Object* global = vm.global;

    Object* camera = plainClass(vm, global, "Camera", {});
    vm.defineMethod(camera, "get", none);
    vm.define(camera, "names", vm.construct(vm.get(global, "Array"), {}));
    Object* microphone = plainClass(vm, global, "Microphone", {});
    vm.defineMethod(microphone, "get", none);
    vm.define(microphone, "names", vm.construct(vm.get(global, "Array"), {}));

    Object* accessibility = vm.newObject();
    vm.defineMethod(accessibility, "isActive", refuse);
    vm.defineMethod(accessibility, "updateProperties", nothing);
    vm.defineMethod(accessibility, "sendEvent", nothing);
    vm.define(global, "Accessibility", Value(accessibility));

    installPrintJob(vm, global);
    plainClass(vm, global, "Video", {{"attachVideo", nothing}, {"clear", nothing}});
    installXmlSocket(vm);
    installNetConnection(vm);
    installNetStream(vm);

    installFileReference(vm);

    Object* renderer = plainClass(vm, packageObject(vm, "flash.text"), "TextRenderer", {});
    vm.define(renderer, "maxLevel", Value(4));
    vm.define(renderer, "displayMode", Value("default"));
    vm.defineMethod(renderer, "setAdvancedAntialiasingTable", nothing);
}

}  // namespace swf::avm1
