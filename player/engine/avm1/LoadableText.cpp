#include "avm1/LoadableText.h"

#include "avm1/Builtins.h"
#include "avm1/Loading.h"

namespace swf::avm1 {

namespace {

Value load(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || c.args.empty()) return Value(false);
    startTextLoad(vm, self, {vm.toString(c.args[0]), UrlMethod::Get, {}, {}});
    return Value(true);
}

Value ignoreEvent(Vm&, NativeCall&) { return Value(); }

Value getBytesLoaded(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? vm.get(self, "_bytesLoaded") : Value();
}

Value getBytesTotal(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? vm.get(self, "_bytesTotal") : Value();
}

}  // namespace

void startTextLoad(Vm& vm, Object* target, UrlRequest request) {
    vm.set(target, "loaded", Value(false));
    vm.define(target, "_bytesLoaded", Value(0), flags::kDontEnum | flags::kDontDelete);
    vm.requestLoad({PendingLoad::Kind::Data, target, std::move(request)});
}

Value deliverText(Vm& vm, NativeCall& c, const char* parseMethod) {
    Object* self = c.self.object();
    if (!self) return Value();
    if (c.arg(0).isUndefined()) {
        vm.call(vm.get(self, "onLoad"), c.self, {Value(false)});
        return Value();
    }
    vm.call(vm.get(self, parseMethod), c.self, {c.arg(0)});
    vm.set(self, "loaded", Value(true));
    vm.call(vm.get(self, "onLoad"), c.self, {Value(true)});
    return Value();
}

void defineTextLoading(Vm& vm, Object* proto) {
    vm.defineMethod(proto, "load", load);
    vm.defineMethod(proto, "onLoad", ignoreEvent);
    vm.defineMethod(proto, "addRequestHeader", ignoreEvent);
    vm.defineMethod(proto, "getBytesLoaded", getBytesLoaded);
    vm.defineMethod(proto, "getBytesTotal", getBytesTotal);
    vm.define(proto, "contentType", Value("application/x-www-form-urlencoded"));
}

}  // namespace swf::avm1
