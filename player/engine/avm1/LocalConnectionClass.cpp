// LocalConnection between the movies of this player: a receiver connects under a name, a
// sender's send(name, method, args...) reaches it on the next frame. The arguments arrive as
// a serialised copy would: dates, XML and plain data are copied, clips and text fields
// become undefined, functions plain objects. The sender hears onStatus with "status" when
// the message was delivered and "error" when nobody listened under that name.
#include <map>

#include "avm1/Builtins.h"
#include "avm1/Strings.h"
#include "avm1/XmlTree.h"

namespace swf::avm1 {

namespace {

constexpr int kMaxCopyDepth = 64;
constexpr size_t kMaxQueuedMessages = 1024;

struct Message {
    Object* sender = nullptr;
    std::string name;
    std::string method;
    std::vector<Value> args;
};

class ConnectionHub final : public Vm::BuiltinService {
public:
    std::map<std::string, Object*> receivers;  // by lower-case name
    std::vector<Message> queue;

    void roots(std::vector<Object*>& out) const override {
        for (const auto& [name, receiver] : receivers) out.push_back(receiver);
        for (const Message& m : queue) {
            out.push_back(m.sender);
            for (const Value& v : m.args) out.push_back(v.object());
        }
    }

    void frame(Vm& vm) override {
        std::vector<Message> now = std::move(queue);
        queue.clear();
        for (Message& m : now) deliver(vm, m);
    }

private:
    void deliver(Vm& vm, Message& m) {
        auto it = receivers.find(asciiLower(m.name));
        Object* receiver = it == receivers.end() ? nullptr : it->second;
        vm.runGuardedAction([&] {
            if (receiver) vm.call(vm.get(receiver, m.method), Value(receiver), std::move(m.args));
            Object* info = vm.newObject();
            vm.set(info, "level", Value(receiver ? "status" : "error"));
            vm.call(vm.get(m.sender, "onStatus"), Value(m.sender), {Value(info)});
        });
    }
};

ConnectionHub& hub(Vm& vm) { return vm.builtinService<ConnectionHub>(); }

bool instanceOfGlobal(Vm& vm, const Value& v, const char* className) {
    Object* cls = vm.get(vm.global, className).object();
    return cls && vm.instanceOf(v, cls);
}

// A copy of `v` as serialising and reading it back makes it. Objects met twice stay one.
Value copyAcross(Vm& vm, const Value& v, std::map<Object*, Object*>& copies, int depth) {
    Object* o = v.object();
    if (!o) return v;
    if (auto it = copies.find(o); it != copies.end()) return Value(it->second);
    if (o->displayObject() || depth > kMaxCopyDepth) return Value();
    vm.chargeWork(1);
    if (instanceOfGlobal(vm, v, "Date")) {
        Value time = vm.call(vm.getMember(v, "getTime"), v, {});
        return vm.construct(vm.get(vm.global, "Date"), {time});
    }
    if (xmlNode(o) && instanceOfGlobal(vm, v, "XML"))
        return vm.construct(vm.get(vm.global, "XML"), {Value(xmlToString(vm, o))});
    bool array = o->asArray() != nullptr;
    Object* copy = array ? vm.construct(vm.get(vm.global, "Array"), {}).object() : vm.newObject();
    if (!copy) return Value();
    copies[o] = copy;
    std::vector<std::string> names = vm.enumerate(o);
    // Enumeration lists the latest first; the copy is built in the original's order.
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        vm.set(copy, *name, copyAcross(vm, vm.get(o, *name), copies, depth + 1));
    if (array) vm.set(copy, "length", vm.get(o, "length"));
    return Value(copy);
}

Value construct(Vm&, NativeCall&) { return Value(); }

// connect(name): false when the name is taken or is no name.
Value connect(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || c.args.empty() || !c.arg(0).isString() || c.arg(0).string().empty()) return Value(false);
    ConnectionHub& connections = hub(vm);
    std::string key = asciiLower(c.arg(0).string());
    for (const auto& [name, receiver] : connections.receivers)
        if (receiver == self) return Value(false);  // connected already
    if (connections.receivers.count(key)) return Value(false);
    connections.receivers[key] = self;
    return Value(true);
}

Value close(Vm& vm, NativeCall& c) {
    ConnectionHub& connections = hub(vm);
    std::erase_if(connections.receivers, [&](const auto& entry) { return entry.second == c.self.object(); });
    return Value();
}

// send(name, method, args...): false for a call that cannot be sent (no names, or a method
// the connection reserves for itself); true once queued.
Value send(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || c.args.size() < 2 || !c.arg(0).isString() || !c.arg(1).isString()) return Value(false);
    std::string method = c.arg(1).string();
    std::string lower = asciiLower(method);
    if (method.empty() || lower == "send" || lower == "connect" || lower == "close" || lower == "domain" ||
        lower == "onstatus" || lower == "allowdomain" || lower == "allowinsecuredomain")
        return Value(false);
    ConnectionHub& connections = hub(vm);
    if (connections.queue.size() >= kMaxQueuedMessages) return Value(false);
    Message m{self, c.arg(0).string(), method, {}};
    std::map<Object*, Object*> copies;
    for (size_t i = 2; i < c.args.size(); ++i) m.args.push_back(copyAcross(vm, c.args[i], copies, 0));
    connections.queue.push_back(std::move(m));
    return Value(true);
}

// A movie played from a file answers the local host's name.
Value domain(Vm&, NativeCall&) { return Value("localhost"); }

}  // namespace

void installLocalConnection(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "LocalConnection", proto, construct);
    // Defined last to first: listed in the runtime's order.
    for (auto [name, fn] : {std::pair<const char*, NativeFn>{"send", send}, {"close", close}, {"connect", connect},
                            {"domain", domain}}) {
        vm.defineMethod(proto, name, fn);
        if (Property* p = proto->findOwn(vm.key(name))) p->flags |= flags::kDontDelete;
    }
    hub(vm);
}

}  // namespace swf::avm1
