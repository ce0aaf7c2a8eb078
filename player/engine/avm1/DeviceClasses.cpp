// The classes that reach devices and services this player has none of: cameras, microphones,
// printers, screen readers, sockets, streaming servers and the file dialogs. Scripts find
// them as in the runtime and hear what a machine without them answers: no camera (null), no
// printer (start() is false), no connection (onStatus / onConnect report the failure on the
// next frame), nothing chosen in a dialog.
#include "avm1/Builtins.h"

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

// Calls `this.handler(args...)` on the next frame, when a failure would be known.
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

Object* statusInfo(Vm& vm, const char* code) {
    Object* info = vm.newObject();
    vm.set(info, "code", Value(code));
    vm.set(info, "level", Value("error"));
    return info;
}

// NetConnection.connect(null) opens the local "connection" progressive playback uses; a
// server address cannot be reached.
Value netConnect(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value(false);
    if (c.arg(0).isNull()) {
        vm.set(self, "isConnected", Value(true));
        return Value(true);
    }
    vm.set(self, "isConnected", Value(false));
    reportLater(vm, self, "onStatus", {Value(statusInfo(vm, "NetConnection.Connect.Failed"))});
    return Value(false);
}

// Streams have nothing to play: the stream reports that it was not found.
Value streamPlay(Vm& vm, NativeCall& c) {
    reportLater(vm, c.self.object(), "onStatus", {Value(statusInfo(vm, "NetStream.Play.StreamNotFound"))});
    return Value();
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

Value socketConnect(Vm& vm, NativeCall& c) {
    reportLater(vm, c.self.object(), "onConnect", {Value(false)});
    return Value(false);
}

}  // namespace

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
    plainClass(vm, global, "XMLSocket", {{"connect", socketConnect}, {"send", nothing}, {"close", nothing}});
    plainClass(vm, global, "NetConnection", {{"connect", netConnect}, {"close", nothing}, {"call", refuse}});
    plainClass(vm, global, "NetStream",
               {{"play", streamPlay}, {"pause", nothing}, {"seek", nothing}, {"close", nothing},
                {"setBufferTime", nothing}});

    Object* net = packageObject(vm, "flash.net");
    plainClass(vm, net, "FileReference",
               {{"browse", refuse}, {"upload", refuse}, {"download", refuse}, {"cancel", nothing}});
    plainClass(vm, net, "FileReferenceList", {{"browse", refuse}});

    Object* renderer = plainClass(vm, packageObject(vm, "flash.text"), "TextRenderer", {});
    vm.define(renderer, "maxLevel", Value(4));
    vm.define(renderer, "displayMode", Value("default"));
    vm.defineMethod(renderer, "setAdvancedAntialiasingTable", nothing);
}

}  // namespace swf::avm1
