// LoadVars: variables sent and loaded as form-encoded text through the host.
#include "avm1/Builtins.h"
#include "avm1/LoadableText.h"
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


// The variables go in the query of a GET or the body of a POST.
UrlRequest requestWithVariables(Vm& vm, Object* self, const std::string& url, UrlMethod method) {
    std::string vars = encodeVariables(vm, self);
    if (method == UrlMethod::Get)
        return {vars.empty() ? url : url + (url.find('?') == std::string::npos ? "?" : "&") + vars, method, {}, {}};
    return {url, method, vars, vm.toString(vm.get(self, "contentType"))};
}

Value sendAndLoad(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Object* target = c.arg(1).object();
    if (!self || !target || c.args.empty()) return Value(false);
    startTextLoad(vm, target, requestWithVariables(vm, self, vm.toString(c.args[0]), methodArg(vm, c.arg(2), UrlMethod::Post)));
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

Value onData(Vm& vm, NativeCall& c) { return deliverText(vm, c, "decode"); }

}  // namespace

void installLoadVars(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "LoadVars", proto, construct);
    vm.defineMethod(proto, "send", send);
    vm.defineMethod(proto, "sendAndLoad", sendAndLoad);
    vm.defineMethod(proto, "decode", decode);
    vm.defineMethod(proto, "toString", toString);
    vm.defineMethod(proto, "onData", onData);
    defineTextLoading(vm, proto);
}

}  // namespace swf::avm1
