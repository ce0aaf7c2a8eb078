// flash.net.FileReference and FileReferenceList: browse(typelist) opens the host's file
// dialog once the frame's scripts are done; the listeners hear onSelect(ref), with the chosen
// file's name, size and type set, or onCancel(ref). Each instance is a broadcaster. Sending
// and receiving files (upload, download) is not offered: both answer false.
#include "avm1/Builtins.h"
#include "avm1/Loading.h"
#include "avm1/NetworkClasses.h"

namespace swf::avm1 {

namespace {

constexpr size_t kMaxFilters = 256;

struct Browse final : NativeState {
    bool multiple = false;
    bool pending = false;  // a dialog is asked for and has not answered
    std::vector<FileFilter> filters;
};

Browse* browseOf(Object* self, bool multiple) {
    if (!self) return nullptr;
    if (!self->nativeState) {
        auto state = std::make_unique<Browse>();
        state->multiple = multiple;
        self->nativeState = std::move(state);
    }
    return dynamic_cast<Browse*>(self->nativeState.get());
}

// The type list as the dialog's filters: an array of objects each naming a description and
// extensions, both non-empty. False when it is anything else (no list at all is no filter).
bool readFilters(Vm& vm, const Value& list, std::vector<FileFilter>& filters) {
    if (list.isUndefined()) return true;
    ArrayObject* array = list.object() ? list.object()->asArray() : nullptr;
    if (!array || array->items.empty() || array->items.size() > kMaxFilters) return false;
    for (const Value& item : array->items) {
        Object* o = item.object();
        if (!o) return false;
        Value description = vm.get(o, "description"), extensions = vm.get(o, "extension");
        if (!description.isString() || !extensions.isString() || description.string().empty() ||
            extensions.string().empty())
            return false;
        filters.push_back({description.string(), extensions.string()});
    }
    return true;
}

Value browse(Vm& vm, NativeCall& c, bool multiple) {
    Object* self = c.self.object();
    Browse* state = browseOf(self, multiple);
    if (!state || state->pending) return Value(false);
    std::vector<FileFilter> filters;
    if (!readFilters(vm, c.arg(0), filters)) return Value(false);
    state->filters = std::move(filters);
    state->pending = true;
    vm.requestLoad({PendingLoad::Kind::FileDialog, self, {}});
    return Value(true);
}

Value browseOne(Vm& vm, NativeCall& c) { return browse(vm, c, false); }
Value browseMany(Vm& vm, NativeCall& c) { return browse(vm, c, true); }
Value refuse(Vm&, NativeCall&) { return Value(false); }
Value nothing(Vm&, NativeCall&) { return Value(); }

Value constructOne(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) {
        browseOf(self, false);
        makeBroadcaster(vm, self);
    }
    return Value();
}

Value constructList(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) {
        browseOf(self, true);
        makeBroadcaster(vm, self);
    }
    return Value();
}

// The extension with its dot (".txt"), or nothing for a name without one.
std::string typeOf(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

void describe(Vm& vm, Object* ref, const ChosenFile& file) {
    vm.set(ref, "name", Value(file.name));
    vm.set(ref, "size", Value(static_cast<double>(file.size)));
    std::string type = typeOf(file.name);
    vm.set(ref, "type", type.empty() ? Value::null() : Value(type));
}

void broadcast(Vm& vm, Object* self, const char* message, Value arg) {
    vm.call(vm.get(self, "broadcastMessage"), Value(self), {Value(message), std::move(arg)});
}

FunctionObject* installClass(Vm& vm, Object* package, const char* name, NativeFn construct,
                             std::initializer_list<std::pair<const char*, NativeFn>> methods) {
    Object* proto = vm.newObject();
    FunctionObject* ctor = vm.newNative(construct);
    vm.define(ctor, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
    vm.define(proto, "constructor", Value(ctor));
    vm.define(package, name, Value(ctor));
    for (const auto& [method, fn] : methods) vm.defineMethod(proto, method, fn);
    return ctor;
}

}  // namespace

void deliverFileChoice(Vm& vm, Object* self) {
    Browse* state = self ? dynamic_cast<Browse*>(self->nativeState.get()) : nullptr;
    if (!state || !state->pending) return;
    state->pending = false;
    std::optional<std::vector<ChosenFile>> chosen = vm.host().chooseFiles(state->filters, state->multiple);
    if (!chosen || chosen->empty()) return broadcast(vm, self, "onCancel", Value(self));
    if (!state->multiple) {
        describe(vm, self, chosen->front());
        return broadcast(vm, self, "onSelect", Value(self));
    }
    Object* fileReference = vm.get(packageObject(vm, "flash.net"), "FileReference").object();
    std::vector<Value> refs;
    for (const ChosenFile& file : *chosen) {
        vm.chargeWork(1);
        Value ref = vm.construct(Value(fileReference), {});
        if (Object* o = ref.object()) describe(vm, o, file);
        refs.push_back(ref);
    }
    vm.set(self, "fileList", Value(vm.newArray(std::move(refs))));
    broadcast(vm, self, "onSelect", Value(self));
}

void installFileReference(Vm& vm) {
    Object* net = packageObject(vm, "flash.net");
    installClass(vm, net, "FileReference", constructOne,
                 {{"browse", browseOne}, {"upload", refuse}, {"download", refuse}, {"cancel", nothing}});
    installClass(vm, net, "FileReferenceList", constructList, {{"browse", browseMany}});
}

}  // namespace swf::avm1
