// NetConnection: connect(null) opens the local "connection" progressive playback uses;
// connect(url) names a remoting gateway. call(method, responder, args...) collects the calls
// of a frame into one request (AMF0, POSTed once the frame's scripts are done); each reply
// ("/n/onResult", "/n/onStatus") goes to the responder of call n. A request that fails tells
// the connection's onStatus, without an argument.
#include <map>

#include "avm1/Amf0.h"
#include "avm1/Builtins.h"
#include "avm1/Loading.h"
#include "avm1/NetworkClasses.h"

namespace swf::avm1 {

namespace {

constexpr size_t kMaxHeaders = 256;
constexpr size_t kMaxCallsPerRequest = 1024;
constexpr size_t kMaxAwaitedReplies = 4096;

struct Connection final : NativeState {
    std::string gateway;  // where calls go; empty when connected to nothing or to null
    bool connected = false;
    std::vector<RemotingHeader> headers;
    std::vector<RemotingCall> batch;  // calls made since the last request
    bool requested = false;           // a request for the batch is queued
    uint32_t nextResponse = 1;
    std::map<uint32_t, Object*> responders;  // by call number, until their reply comes

    void references(std::vector<Object*>& out) const override {
        for (const RemotingHeader& h : headers) out.push_back(h.value.object());
        for (const RemotingCall& call : batch)
            for (const Value& v : call.args) out.push_back(v.object());
        for (const auto& [number, responder] : responders) out.push_back(responder);
    }
};

// The connection's state, made on first use (so a class a movie derives from NetConnection
// gets it whether or not its constructor calls super()).
Connection* connectionOf(Object* self) {
    if (!self) return nullptr;
    if (!self->nativeState) self->nativeState = std::make_unique<Connection>();
    return dynamic_cast<Connection*>(self->nativeState.get());
}

Object* statusInfo(Vm& vm, const char* level, const char* code) {
    Object* info = vm.newObject();
    vm.set(info, "code", Value(code));
    vm.set(info, "level", Value(level));
    return info;
}

Value construct(Vm&, NativeCall& c) {
    connectionOf(c.self.object());
    return Value();
}

// A connection to a gateway closes first, and says so.
Value connect(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Connection* state = connectionOf(self);
    if (!state) return Value(false);
    if (!state->gateway.empty())
        vm.call(vm.get(self, "onStatus"), Value(self), {Value(statusInfo(vm, "status", "NetConnection.Connect.Closed"))});
    state->headers.clear();
    state->batch.clear();
    state->responders.clear();
    state->nextResponse = 1;
    state->gateway.clear();
    state->connected = false;
    if (c.arg(0).isNull()) {
        state->connected = true;
        return Value(true);
    }
    std::string url = vm.toString(c.arg(0));
    // Remoting goes over HTTP, which needs no connection until a call is made; a streaming
    // server's address cannot be reached from here.
    if (url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0) {
        state->gateway = url;
        return Value(true);
    }
    reportLater(vm, self, "onStatus", {Value(statusInfo(vm, "error", "NetConnection.Connect.Failed"))});
    return Value(false);
}

Value close(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Connection* state = connectionOf(self);
    if (!state) return Value();
    state->connected = false;
    state->gateway.clear();
    state->batch.clear();
    return Value();
}

// call(method, responder, args...): queued for this frame's request; false when there is no
// gateway to send it to.
Value call(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Connection* state = connectionOf(self);
    if (!state || state->gateway.empty() || c.args.empty()) return Value(false);
    if (state->batch.size() >= kMaxCallsPerRequest || state->responders.size() >= kMaxAwaitedReplies)
        return Value(false);
    uint32_t number = state->nextResponse++;
    RemotingCall call{vm.toString(c.arg(0)), "/" + std::to_string(number), {}};
    call.args.assign(c.args.begin() + std::min<size_t>(2, c.args.size()), c.args.end());
    if (Object* responder = c.arg(1).object()) state->responders[number] = responder;
    state->batch.push_back(std::move(call));
    if (!state->requested) {
        vm.requestLoad({PendingLoad::Kind::Remoting, self, {}});
        state->requested = true;
    }
    return Value(true);
}

// addHeader(name, mustUnderstand, value): sent with every later request. The same name again
// replaces the header's value, and its flag when one is given; a missing value goes as null.
Value addHeader(Vm& vm, NativeCall& c) {
    Connection* state = connectionOf(c.self.object());
    if (!state || c.args.empty()) return Value();
    std::string name = vm.toString(c.arg(0));
    Value value = c.arg(2).isUndefined() ? Value::null() : c.arg(2);
    for (RemotingHeader& h : state->headers)
        if (h.name == name) {
            if (!c.arg(1).isUndefined()) h.mustUnderstand = vm.toBoolean(c.arg(1));
            h.value = value;
            return Value();
        }
    if (state->headers.size() < kMaxHeaders) state->headers.push_back({name, vm.toBoolean(c.arg(1)), value});
    return Value();
}

Value isConnected(Vm&, NativeCall& c) {
    Object* self = c.self.object();
    Connection* state = self ? dynamic_cast<Connection*>(self->nativeState.get()) : nullptr;
    return Value(state && state->connected);
}

}  // namespace

UrlRequest remotingRequest(Vm& vm, Object* connection) {
    Connection* state = connectionOf(connection);
    UrlRequest request;
    if (!state) return request;
    std::vector<RemotingCall> calls = std::move(state->batch);
    state->batch.clear();
    state->requested = false;
    if (calls.empty()) return request;  // no URL: nothing to send
    request.url = state->gateway;
    request.method = UrlMethod::Post;
    request.contentType = "application/x-amf";
    std::vector<uint8_t> body = encodeRemotingRequest(vm, state->headers, calls);
    request.body.assign(body.begin(), body.end());
    return request;
}

void deliverRemotingReplies(Vm& vm, Object* connection, const std::optional<std::vector<uint8_t>>& bytes) {
    Connection* state = connectionOf(connection);
    if (!state) return;
    std::vector<RemotingReply> replies;
    if (!bytes || !decodeRemotingResponse(vm, *bytes, replies)) {
        vm.call(vm.get(connection, "onStatus"), Value(connection), {});
        return;
    }
    for (RemotingReply& reply : replies) {
        // "/n/onResult": the number, then the handler.
        const std::string& target = reply.target;
        size_t slash = target.find('/', 1);
        if (target.empty() || target[0] != '/' || slash == std::string::npos) continue;
        uint32_t number = 0;
        for (size_t i = 1; i < slash; ++i) {
            if (target[i] < '0' || target[i] > '9' || number > 100'000'000) {
                number = 0;
                break;
            }
            number = number * 10 + uint32_t(target[i] - '0');
        }
        std::string handler = target.substr(slash + 1);
        if (handler != "onResult" && handler != "onStatus") continue;
        auto it = state->responders.find(number);
        Object* responder = it == state->responders.end() ? nullptr : it->second;
        if (it != state->responders.end()) state->responders.erase(it);
        if (responder) vm.call(vm.get(responder, handler), Value(responder), {reply.value});
        else if (handler == "onStatus") vm.call(vm.get(connection, "onStatus"), Value(connection), {reply.value});
    }
}

void installNetConnection(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "NetConnection", proto, construct);
    for (auto [name, fn] : {std::pair<const char*, NativeFn>{"connect", connect}, {"close", close}, {"call", call},
                            {"addHeader", addHeader}})
        vm.defineMethod(proto, name, fn);
    Property& connected = proto->put(vm.key("isConnected"), "isConnected", Value(), flags::kDontEnum | flags::kDontDelete);
    connected.getter = vm.newNative(isConnected);
}

}  // namespace swf::avm1
