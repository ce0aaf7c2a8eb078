// Local shared objects: SharedObject.getLocal(name [, localPath]) gives the movie the same
// object for the same name and path while it plays, its `data` filled from the file the host
// keeps for the user. flush() writes the data back as a .sol file, getSize() is that file's
// size, clear() empties the data and removes the file. What a movie never flushed is written
// when it ends, as the runtime does, so a game that relies on that keeps its progress.
#include <algorithm>
#include <map>
#include <optional>

#include "avm1/Amf0.h"
#include "avm1/Builtins.h"
#include "player/Host.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

struct SharedObjectState final : NativeState {
    std::string key;   // "<site><folder>/<name>", the host's name for the file
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

// Where the movie came from, as stored data is filed: the site ("localhost" for files) and
// the path of the movie itself, with forward slashes.
struct MovieLocation {
    std::string site;
    std::string path;
};

MovieLocation locate(std::string url) {
    std::replace(url.begin(), url.end(), '\\', '/');
    MovieLocation where{"localhost", url};
    if (size_t scheme = url.find("://"); scheme != std::string::npos) {
        std::string rest = url.substr(scheme + 3);
        size_t slash = rest.find('/');
        std::string host = rest.substr(0, slash);
        where.path = slash == std::string::npos ? "" : rest.substr(slash);
        if (url.compare(0, scheme, "file") != 0 && !host.empty()) where.site = host.substr(0, host.find(':'));
        where.path = where.path.substr(0, where.path.find_first_of("?#"));
    }
    // "file:///C|/games/a.swf" and "C:/games/a.swf" name the same movie.
    if (where.path.size() >= 3 && where.path[0] == '/' && where.path[2] == '|') where.path[2] = ':';
    if (!where.path.empty() && where.path[0] != '/') where.path.insert(0, "/");
    return where;
}

// The folder a movie asks to keep its data in must hold the movie: "/" or a leading part of
// its path, whole names only. The default is the movie's own path, so movies that use the
// same name keep their data apart.
std::optional<std::string> storeKey(Vm& vm, const std::string& name, const Value& localPath) {
    MovieLocation where = locate(vm.rootClip ? vm.rootClip->movieRoot()->movieUrl() : std::string());
    std::string folder = where.path;
    if (!localPath.isUndefined() && !localPath.isNull()) {
        folder = vm.toString(localPath);
        std::replace(folder.begin(), folder.end(), '\\', '/');
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        bool holdsMovie = folder == "/" || where.path == folder || where.path.starts_with(folder + "/");
        if (!holdsMovie) return std::nullopt;
    }
    return where.site + folder + (folder.ends_with('/') ? "" : "/") + name;
}

// Names may not hold the characters the runtime refuses, nor be empty.
bool validName(const std::string& name) {
    return !name.empty() && name.size() <= 256 && name.find_first_of("~%&\\;:\"',<>?# ") == std::string::npos;
}

Value getLocal(Vm& vm, NativeCall& c) {
    std::string name = vm.toString(c.arg(0));
    if (c.args.empty() || !validName(name)) return Value::null();
    std::optional<std::string> found = storeKey(vm, name, c.arg(1));
    if (!found) return Value::null();
    const std::string& key = *found;
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
