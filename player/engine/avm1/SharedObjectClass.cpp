// Local shared objects: SharedObject.getLocal(name [, localPath]) gives the movie the same
// object for the same name and path while it plays, its `data` filled from the file the host
// keeps for the user. flush() writes the data back as a .sol file, getSize() is that file's
// size, clear() empties the data and removes the file. What a movie never flushed is written
// when it ends, as the runtime does, so a game that relies on that keeps its progress.
#include <map>

#include "avm1/Amf0.h"
#include "avm1/Builtins.h"
#include "player/Host.h"

namespace swf::avm1 {

namespace {

struct SharedObjectState final : NativeState {
    std::string key;   // "<path>/<name>", the host's name for the file
    std::string name;  // as the file records it
};

SharedObjectState* stateOf(Object* self) {
    return self ? dynamic_cast<SharedObjectState*>(self->nativeState.get()) : nullptr;
}
SharedObjectState* stateOf(const NativeCall& c) { return stateOf(c.self.object()); }

Object* dataOf(Vm& vm, Object* so) { return vm.get(so, "data").object(); }
Object* dataOf(Vm& vm, const NativeCall& c) { return dataOf(vm, c.self.object()); }

bool write(Vm& vm, Object* so) {
    SharedObjectState* s = stateOf(so);
    return s && vm.host().writeLocalData(s->key, encodeSharedObjectFile(vm, s->name, dataOf(vm, so)));
}

class SharedObjects final : public Vm::BuiltinService {
public:
    std::map<std::string, Object*> open;  // by key
    void roots(std::vector<Object*>& out) const override {
        for (const auto& [key, object] : open) out.push_back(object);
    }
    void frame(Vm&) override {}
    // An object left empty is not written: that would replace a file the movie never read
    // into it (a cleared one is gone already).
    void movieEnded(Vm& vm) override {
        for (const auto& [key, so] : open) {
            Object* data = dataOf(vm, so);
            if (data && !vm.enumerate(data).empty()) write(vm, so);
        }
    }
};

SharedObjects& registry(Vm& vm) { return vm.builtinService<SharedObjects>(); }

// Names may not hold the characters the runtime refuses, nor be empty.
bool validName(const std::string& name) {
    return !name.empty() && name.size() <= 256 && name.find_first_of("~%&\\;:\"',<>?# ") == std::string::npos;
}

Value getLocal(Vm& vm, NativeCall& c) {
    std::string name = vm.toString(c.arg(0));
    if (c.args.empty() || !validName(name)) return Value::null();
    std::string path = c.arg(1).isUndefined() || c.arg(1).isNull() ? "/" : vm.toString(c.arg(1));
    std::string key = path + (path.ends_with('/') ? "" : "/") + name;
    SharedObjects& objects = registry(vm);
    if (auto it = objects.open.find(key); it != objects.open.end()) return Value(it->second);

    Object* ctor = vm.get(vm.global, "SharedObject").object();
    Object* proto = ctor ? vm.get(ctor, "prototype").object() : nullptr;
    Object* so = vm.make<Object>(proto ? proto : vm.objectProto);
    auto state = std::make_unique<SharedObjectState>();
    state->key = key;
    state->name = name;
    so->nativeState = std::move(state);
    Object* data = vm.newObject();
    vm.define(so, "data", Value(data), flags::kDontDelete);
    if (auto file = vm.host().readLocalData(key)) decodeSharedObjectFile(vm, *file, data);
    objects.open[key] = so;
    return Value(so);
}

Value flush(Vm& vm, NativeCall& c) {
    if (!stateOf(c)) return Value();
    return Value(write(vm, c.self.object()));
}

Value getSize(Vm& vm, NativeCall& c) {
    SharedObjectState* s = stateOf(c);
    if (!s) return Value();
    return Value(double(encodeSharedObjectFile(vm, s->name, dataOf(vm, c)).size()));
}

Value clear(Vm& vm, NativeCall& c) {
    SharedObjectState* s = stateOf(c);
    if (!s) return Value();
    if (Object* data = dataOf(vm, c))
        for (const std::string& name : vm.enumerate(data)) data->remove(vm.key(name));
    vm.host().writeLocalData(s->key, {});
    return Value();
}

}  // namespace

void installSharedObject(Vm& vm) {
    Object* proto = vm.newObject();
    FunctionObject* ctor = defineClass(vm, "SharedObject", proto, [](Vm&, NativeCall&) { return Value(); });
    vm.defineMethod(ctor, "getLocal", getLocal);
    vm.defineMethod(proto, "flush", flush);
    vm.defineMethod(proto, "getSize", getSize);
    vm.defineMethod(proto, "clear", clear);
    registry(vm);
}

}  // namespace swf::avm1
