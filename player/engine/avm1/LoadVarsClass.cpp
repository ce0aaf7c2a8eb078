// LoadVars: variables sent and loaded as form-encoded text through the host.
#include "avm1/Builtins.h"
#include "avm1/Loading.h"
#include "player/Host.h"

namespace swf::avm1 {

namespace {

Value construct(Vm&, NativeCall&) { return Value(); }

UrlMethod methodArg(Vm& vm, const Value& v, UrlMethod fallback) {
    if (v.isUndefined()) return fallback;
    std::string m = vm.toString(v);
    return m == "GET" || m == "get" ? UrlMethod::Get : UrlMethod::Post;
}

void startLoad(Vm& vm, Object* target, UrlRequest request) {
    vm.set(target, "loaded", Value(false));
    vm.define(target, "_bytesLoaded", Value(0), flags::kDontEnum | flags::kDontDelete);
    vm.requestLoad({PendingLoad::Kind::Data, target, std::move(request)});
}

// The variables go in the query of a GET or the body of a POST.
UrlRequest requestWithVariables(Vm& vm, Object* self, const std::string& url, UrlMethod method) {
    std::string vars = encodeVariables(vm, self);
    if (method == UrlMethod::Get)
        return {vars.empty() ? url : url + (url.find('?') == std::string::npos ? "?" : "&") + vars, method, {}, {}};
    return {url, method, vars, vm.toString(vm.get(self, "contentType"))};
}

Value load(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || c.args.empty()) return Value(false);
    startLoad(vm, self, {vm.toString(c.args[0]), UrlMethod::Get, {}, {}});
    return Value(true);
}

Value sendAndLoad(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Object* target = c.arg(1).object();
    if (!self || !target || c.args.empty()) return Value(false);
    startLoad(vm, target, requestWithVariables(vm, self, vm.toString(c.args[0]), methodArg(vm, c.arg(2), UrlMethod::Post)));
    return Value(true);
}

Value send(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || c.args.empty()) return Value(false);
    UrlMethod method = methodArg(vm, c.arg(2), UrlMethod::Post);
    UrlRequest r = requestWithVariables(vm, self, vm.toString(c.args[0]), method);
    deliverGetUrl(vm.host(), r.url, c.arg(1).isUndefined() ? "" : vm.toString(c.arg(1)), method);
    return Value(true);
}

Value decode(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object(); self && !c.args.empty()) decodeVariables(vm, self, vm.toString(c.args[0]));
    return Value();
}

Value toString(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? Value(encodeVariables(vm, self)) : Value();
}

// Unless a movie replaces it: decode, then onLoad.
Value onData(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    if (c.arg(0).isUndefined()) {
        vm.call(vm.get(self, "onLoad"), c.self, {Value(false)});
        return Value();
    }
    vm.call(vm.get(self, "decode"), c.self, {c.arg(0)});
    vm.set(self, "loaded", Value(true));
    vm.call(vm.get(self, "onLoad"), c.self, {Value(true)});
    return Value();
}

Value ignore(Vm&, NativeCall&) { return Value(); }

Value getBytesLoaded(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? vm.get(self, "_bytesLoaded") : Value();
}
Value getBytesTotal(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    return self ? vm.get(self, "_bytesTotal") : Value();
}

}  // namespace

void installLoadVars(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "LoadVars", proto, construct);
    vm.defineMethod(proto, "load", load);
    vm.defineMethod(proto, "send", send);
    vm.defineMethod(proto, "sendAndLoad", sendAndLoad);
    vm.defineMethod(proto, "decode", decode);
    vm.defineMethod(proto, "toString", toString);
    vm.defineMethod(proto, "onData", onData);
    vm.defineMethod(proto, "onLoad", ignore);
    vm.defineMethod(proto, "addRequestHeader", ignore);
    vm.defineMethod(proto, "getBytesLoaded", getBytesLoaded);
    vm.defineMethod(proto, "getBytesTotal", getBytesTotal);
    vm.define(proto, "contentType", Value("application/x-www-form-urlencoded"));
}

}  // namespace swf::avm1
