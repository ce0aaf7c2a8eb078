#include "avm1/Vm.h"

#include <algorithm>
#include <set>

#include "avm1/ClassRegistry.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/PrimitiveBoxing.h"
#include "avm1/Strings.h"
#include "player/ActionInterpreter.h"
#include "player/Host.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {
// Prototype chains a movie builds can loop (a.__proto__ = b; b.__proto__ = a): walks stop here.
constexpr int kMaxChain = 256;

// Asked on every member access: the length first, so other names cost no text compare.
bool isProtoKey(const std::string& k) { return k.size() == 9 && k == "__proto__"; }

// The key a name is stored under, without a copy where that is the name itself (from
// version 7): members are looked up for nearly every action.
class KeyOf {
public:
    KeyOf(const Vm& vm, const std::string& name) : key_(vm.caseSensitive() ? &name : &(folded_ = foldCase(name))) {}
    const std::string& operator*() const { return *key_; }

private:
    std::string folded_;
    const std::string* key_;
};

// __proto__ may hold a primitive (a constructor whose prototype is `true`): the chain ends
// there, and __proto__ reads the primitive back. Kept under a key no script can spell.
const std::string kPrimitiveProtoKey("\0__proto__", 10);

void setScriptProto(Object* obj, const Value& value) {
    obj->setProto(value.object());
    if (value.isObject() || value.isNullish()) obj->remove(kPrimitiveProtoKey);
    else obj->put(kPrimitiveProtoKey, "", value, flags::kDontEnum);
}

Value readScriptProto(Object* obj) {
    if (Object* proto = obj->scriptProto()) return Value(proto);
    if (obj->propertyCount() == 0) return Value();
    Property* primitive = obj->findOwn(kPrimitiveProtoKey);
    return primitive ? primitive->value : Value();
}

// A property's getter, setter and the watch on its name stop being called when re-entered
// past a depth: at once up to version 6 (a setter assigning its own property stores the
// value instead), 65 calls deep from version 7. The three count together: a getter is not
// called from the 65th nested watch callback of its property either.
int accessorDepthLimit(int version) { return version >= 7 ? 65 : 1; }

uint16_t watchDepth(Object* receiver, const std::string& k) {
    if (receiver->watches.empty()) return 0;
    auto w = receiver->watches.find(k);
    return w == receiver->watches.end() ? 0 : w->second.depth;
}

// One level of a property's getter or setter depth, held for the call. The call may delete
// or replace the property, so it is found again by its creation order when the call ends.
class AccessorDepth {
public:
    AccessorDepth(Object* holder, const std::string& key, Property& p, uint16_t Property::*depth)
        : holder_(holder), key_(key), order_(p.order), depth_(depth) {
        ++(p.*depth_);
    }
    ~AccessorDepth() {
        if (Property* p = current(); p && p->*depth_ > 0) --(p->*depth_);
    }
    AccessorDepth(const AccessorDepth&) = delete;
    AccessorDepth& operator=(const AccessorDepth&) = delete;
    // The property the call was made for, unless the call removed it.
    Property* current() const {
        Property* p = holder_->findOwn(key_);
        return p && p->order == order_ ? p : nullptr;
    }

private:
    Object* holder_;
    const std::string& key_;
    uint64_t order_;
    uint16_t Property::*depth_;
};

// Properties made by code before version 7 (the built-ins too, when such a movie started the
// machine) are stored under their names folded to lower case. Code of version 7 or later
// loaded beside it finds them by their exact spelling only (MovieClip, not movieclip).
Property* findOwnProperty(const Vm& vm, Object* o, const std::string& k) {
    Property* p = o->findOwn(k);
    if (vm.version() < 7) return p;
    if (p) return p->name == k ? p : nullptr;
    if (std::none_of(k.begin(), k.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c & 0x80); })) return nullptr;
    Property* folded = o->findOwn(foldCase(k));
    return folded && folded->name == k ? folded : nullptr;
}

// The same for a watch callback (unwatch inside the callback ends the count).
class WatchDepth {
public:
    WatchDepth(Object* receiver, const std::string& key) : receiver_(receiver), key_(key) {
        ++receiver_->watches[key_].depth;
    }
    ~WatchDepth() {
        auto w = receiver_->watches.find(key_);
        if (w != receiver_->watches.end() && w->second.depth > 0) --w->second.depth;
    }
    WatchDepth(const WatchDepth&) = delete;
    WatchDepth& operator=(const WatchDepth&) = delete;

private:
    Object* receiver_;
    const std::string& key_;
};
}  // namespace

Vm::Vm(Host& host, int swfVersion, Limits limits) : host_(host), version_(swfVersion), limits_(limits) {
    startMillis = host_.milliseconds();
    boundsInSinglePrecision = swfVersion >= 8;
    installBuiltins();
}

Vm::~Vm() = default;

void Vm::installBuiltins() {
    objectProto = make<Object>(nullptr);
    functionProto = make<Object>(objectProto);
    global = make<Object>(nullptr);  // the global object is bare: no Object.prototype behind it
    installObjectClass(*this);
    installFunctionClass(*this);
    installArrayClass(*this);
    installStringClass(*this);
    installNumberAndBoolean(*this);
    installDate(*this);
    installMath(*this);
    installGlobalFunctions(*this);
    installClipClass(*this);
    installErrorClass(*this);
    installAsBroadcaster(*this);
    installXmlClasses(*this);
    installExternalInterface(*this);
    installSystem(*this);
    installLoadVars(*this);
    installTimers(*this);
    installMouse(*this);
    installKey(*this);
    installSelection(*this);
    installTextField(*this);
    installStyleSheet(*this);
    installSound(*this);
    installColor(*this);
    installGeomPoint(*this);
    installGeomMatrix(*this);
    installGeomColorTransform(*this);
    installGeomRectangle(*this);
    installGeomTransform(*this);
    installBitmapData(*this);
    installLocalConnection(*this);
    installSharedObject(*this);
    installDeviceClasses(*this);
    installContextMenu(*this);
    installFilterClasses(*this);
    // The flash.* packages are there for version 8 movies on.
    if (Property* flash = global->findOwn(key("flash"))) flash->minVersion = 8;
    // Version 5 has no Function global, and no prototypes on AsBroadcaster and TextField.
    if (Property* function = global->findOwn(key("Function"))) function->minVersion = 6;
    for (const char* cls : {"AsBroadcaster", "TextField"})
        if (Object* ctor = get(global, cls).object())
            if (Property* proto = ctor->findOwn(key("prototype"))) proto->minVersion = 6;
    if (Object* field = get(global, "TextField").object())
        if (Property* sheet = field->findOwn(key("StyleSheet"))) sheet->minVersion = 7;
    installTextFormat(*this);
    installTextSnapshot(*this);
    installMovieClipLoader(*this);
    installStage(*this);
}

ArrayObject* Vm::newArray(std::vector<Value> items) {
    ArrayObject* a = make<ArrayObject>(arrayProto);
    a->items = std::move(items);
    return a;
}

FunctionObject* Vm::newNative(NativeFn fn, NativeFn constructor) {
    return make<FunctionObject>(functionProto, fn, constructor);
}

FunctionObject* Vm::newScriptFunction(ScriptClosure closure) {
    FunctionObject* fn = make<FunctionObject>(functionProto, std::move(closure));
    Object* proto = newObject();
    define(proto, "constructor", Value(fn));
    define(fn, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
    return fn;
}

std::string Vm::key(const std::string& name) const { return version_ >= 7 ? name : foldCase(name); }

Value Vm::get(Object* obj, const std::string& name) {
    KeyOf keyed(*this, name);
    const std::string& k = *keyed;
    if (isProtoKey(k)) return readScriptProto(obj);
    Object* o = obj;
    for (int depth = 0; o && depth < kMaxChain; ++depth, o = o->proto()) {
        Value out;
        if (o->getSpecial(*this, name, out)) return out;
        Property* p = findOwnProperty(*this, o, k);
        if (!p || p->minVersion > version_) continue;
        if (p->getter) return callGetter(*p, o, obj, k);
        if (p->setter) return Value();
        return p->value;
    }
    // A chain that goes on this long loops (a.__proto__ = a): the runtime stops the script.
    if (o) throw ScriptAbort("a prototype chain loops");
    return Value();
}

Value Vm::getMember(const Value& target, const std::string& name) {
    if (Object* o = target.object()) return get(o, name);
    return primitiveMember(*this, target, name);
}

Value Vm::getOrResolve(Object* obj, const std::string& name, Object** holder) {
    Value found;
    if (holder) *holder = nullptr;
    if (find(obj, name, found, holder)) return found;
    if (isProtoKey(key(name))) return get(obj, name);
    // The first plain __resolve along the chain that holds an object decides: a function is
    // called with the name, another object gives undefined. Primitives, clips and getters
    // are passed over (as the runtime's output shows).
    std::string k = key("__resolve");
    Object* o = obj;
    for (int depth = 0; o && depth < kMaxChain; ++depth, o = o->proto()) {
        Property* p = o->findOwn(k);
        if (!p || p->getter || p->setter || p->minVersion > version_) continue;
        if (!p->value.isObject() || p->value.object()->asClip()) continue;
        FunctionObject* fn = p->value.object()->asFunction();
        return fn ? call(p->value, Value(obj), {Value(name)}) : Value();
    }
    return Value();
}

void Vm::set(Object* obj, const std::string& name, Value value) {
    KeyOf keyed(*this, name);
    const std::string& k = *keyed;
    if (isProtoKey(k)) {
        setScriptProto(obj, value);
        return;
    }
    if (!obj->watches.empty()) value = callWatch(obj, name, k, std::move(value));
    if (obj->setSpecial(*this, name, value)) return;
    Property* p = findOwnProperty(*this, obj, k);
    if (p && p->minVersion > version_) {
        // Hidden from this file version: assigning makes a plain visible property of it.
        p->getter = p->setter = nullptr;
        p->minVersion = 0;
        p->value = std::move(value);
        return;
    }
    if (!p) {
        Object* o = obj->proto();
        for (int depth = 0; o && depth < kMaxChain; ++depth, o = o->proto()) {
            Property* q = findOwnProperty(*this, o, k);
            if (q && q->minVersion <= version_ && (q->getter || q->setter)) {
                if (q->setter) callSetter(*q, o, obj, k, value);
                return;
            }
        }
        obj->put(k, name, std::move(value));
        return;
    }
    if (p->getter || p->setter) {
        if (p->setter) callSetter(*p, obj, obj, k, value);
        return;
    }
    if (p->flags & flags::kReadOnly) return;
    p->value = std::move(value);
}

void Vm::setMember(const Value& target, const std::string& name, Value value) {
    if (Object* o = target.object()) set(o, name, std::move(value));
}

bool Vm::hasOwn(Object* obj, const std::string& name) {
    Value ignored;
    if (obj->getSpecial(*this, name, ignored)) return true;
    Property* p = findOwnProperty(*this, obj, *KeyOf(*this, name));
    return p && p->minVersion <= version_;
}

bool Vm::has(Object* obj, const std::string& name) {
    Object* o = obj;
    for (int depth = 0; o && depth < kMaxChain; ++depth, o = o->proto())
        if (hasOwn(o, name)) return true;
    if (o) throw ScriptAbort("a prototype chain loops");
    return false;
}

bool Vm::find(Object* obj, const std::string& name, Value& out, Object** holder) {
    KeyOf keyed(*this, name);
    const std::string& k = *keyed;
    if (isProtoKey(k)) {
        if (!has(obj, name)) return false;
        out = get(obj, name);
        return true;
    }
    Object* o = obj;
    for (int depth = 0; o && depth < kMaxChain; ++depth, o = o->proto()) {
        if (o->getSpecial(*this, name, out)) {
            if (holder) *holder = o;
            return true;
        }
        Property* p = findOwnProperty(*this, o, k);
        if (!p || p->minVersion > version_) continue;
        if (holder) *holder = o;
        if (p->getter) out = callGetter(*p, o, obj, k);
        else out = p->setter ? Value() : p->value;
        return true;
    }
    if (o) throw ScriptAbort("a prototype chain loops");
    return false;
}

bool Vm::remove(Object* obj, const std::string& name) { return obj->remove(key(name)); }

void Vm::define(Object* obj, const std::string& name, Value value, uint8_t fl) {
    obj->put(key(name), name, std::move(value), fl).flags = fl;
}

FunctionObject* Vm::defineMethod(Object* obj, const std::string& name, NativeFn fn) {
    FunctionObject* f = newNative(fn);
    define(obj, name, Value(f));
    return f;
}

// The runtime collects the names from the object outwards and lists them back to front: the
// farthest prototype's names come first, each object's newest first (assetnative).
std::vector<std::string> Vm::enumerate(Object* obj) {
    std::vector<std::vector<std::string>> levels;
    std::set<std::string> seen;
    Object* o = obj;
    for (int depth = 0; o && depth < kMaxChain; ++depth, o = o->proto()) {
        std::vector<std::string>& names = levels.emplace_back();
        std::vector<std::string> special;
        o->specialNames(special);
        for (auto& n : special)
            if (seen.insert(key(n)).second) names.push_back(n);
        for (Property* p : o->ownProperties()) {
            std::string k = key(p->name);
            if (!seen.insert(k).second) continue;
            // Properties hidden from this file version are still listed (reading them gives
            // undefined).
            if (p->flags & flags::kDontEnum) continue;
            names.push_back(p->name);
        }
        std::vector<std::string> trailing;
        o->trailingNames(trailing);
        for (auto& n : trailing)
            if (seen.insert(key(n)).second) names.push_back(n);
    }
    std::vector<std::string> names;
    for (auto level = levels.rbegin(); level != levels.rend(); ++level)
        names.insert(names.end(), level->begin(), level->end());
    return names;
}

namespace {
uintptr_t currentStackPosition() { return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)); }
}  // namespace

void Vm::checkNativeStack() const {
    if (stackBase_ == 0) return;
    uintptr_t here = currentStackPosition();
    uintptr_t used = stackBase_ > here ? stackBase_ - here : here - stackBase_;
    if (used > limits_.maxNativeStackBytes) throw ScriptAbort("scripts nested too deeply");
}

Vm::CallGuard::CallGuard(Vm& vm) : vm_(vm) {
    if (vm.callDepth_ >= vm.limits_.maxCallDepth) throw ScriptAbort("256 levels of recursion were exceeded");
    vm.checkNativeStack();
    ++vm.callDepth_;
}

Value Vm::call(const Value& function, const Value& self, std::vector<Value> args) {
    Object* o = function.object();
    FunctionObject* fn = o ? o->asFunction() : nullptr;
    if (!fn) return Value();
    if (fn->native) {
        CallGuard guard(*this);
        NativeCall c{self, args, fn, false};
        return fn->native(*this, c);
    }
    if (!fn->script.code) return Value();
    // A call that is no method call (a plain call, call(), apply(), a getter) has no super.
    return Interpreter::callFunction(*this, *fn, self, args, nullptr);
}

// Calls of the property's getter and setter nest under one count, which the watch on the
// name also reaches: a setter and a getter calling each other run 65 calls in all, as a
// setter calling itself does (virtual_property_recursion_swf7).
bool Vm::reentryBlocked(const Property& p, Object* receiver, const std::string& k) const {
    int accessors = p.getterDepth + p.setterDepth;
    return std::max<int>(accessors, watchDepth(receiver, k)) >= accessorDepthLimit(version_);
}

Value Vm::callGetter(Property& p, Object* holder, Object* receiver, const std::string& k) {
    // Past the depth the getter is not called: the value last assigned through the property
    // is read instead.
    if (reentryBlocked(p, receiver, k)) return p.value;
    AccessorDepth depth(holder, k, p, &Property::getterDepth);
    return callAccessor(p.getter, Value(receiver), {}, holder);
}

void Vm::callSetter(Property& p, Object* holder, Object* receiver, const std::string& k, const Value& value) {
    if (reentryBlocked(p, receiver, k)) {
        p.value = value;
        return;
    }
    AccessorDepth depth(holder, k, p, &Property::setterDepth);
    callAccessor(p.setter, Value(receiver), {value}, holder);
    // The property keeps what was assigned once the setter is done (a getter blocked later
    // reads it), so the outermost of nested assignments is what stays.
    if (Property* still = depth.current()) still->value = value;
}

Value Vm::callWatch(Object* obj, const std::string& name, const std::string& k, Value value) {
    auto w = obj->watches.find(k);
    if (w == obj->watches.end()) return value;
    Property* p = nullptr;
    Object* holder = obj;
    for (int depth = 0; holder && !p && depth < kMaxChain; ++depth, holder = holder->proto()) p = holder->findOwn(k);
    bool accessor = p && (p->getter || p->setter);
    uint16_t running = std::max<uint16_t>(w->second.depth, accessor ? std::max(p->getterDepth, p->setterDepth) : 0);
    // A callback re-entered past the depth is skipped: the value is assigned as given.
    if (running >= accessorDepthLimit(version_)) return value;
    Object::Watch watch = w->second;
    // A property behind a getter tells the watcher no old value.
    Value old;
    if (!accessor) old = get(obj, name);
    WatchDepth depth(obj, k);
    return call(Value(watch.callback), Value(obj), {Value(name), old, value, watch.userData});
}

Value Vm::callAccessor(Object* accessor, const Value& self, std::vector<Value> args, Object* home) {
    FunctionObject* fn = accessor ? accessor->asFunction() : nullptr;
    // A getter or setter written in script sees `super` above the object that holds it, as
    // a method does.
    if (fn && fn->script.code) return Interpreter::callFunction(*this, *fn, self, args, home);
    return call(Value(accessor), self, std::move(args));
}

Value Vm::construct(const Value& constructor, std::vector<Value> args) {
    Object* o = constructor.object();
    FunctionObject* fn = o ? o->asFunction() : nullptr;
    if (!fn) return Value();
    if (fn->nativeConstructor) {
        CallGuard guard(*this);
        NativeCall c{Value(), args, fn, true};
        return fn->nativeConstructor(*this, c);
    }
    Object* obj = newObject();
    Value protoValue = get(fn, "prototype");
    Object* proto = protoValue.object();
    if (proto || protoValue.isNullish()) obj->setProto(proto ? proto : objectProto);
    else setScriptProto(obj, protoValue);
    define(obj, "__constructor__", Value(fn));
    if (version_ < 6) define(obj, "constructor", Value(fn));
    if (fn->native) {
        CallGuard guard(*this);
        NativeCall c{Value(obj), args, fn, true};
        Value r = fn->native(*this, c);
        return r.isObject() ? r : Value(obj);
    }
    if (fn->script.code) {
        nextCallConstructs = true;
        Interpreter::callFunction(*this, *fn, Value(obj), args, proto);
    }
    return Value(obj);
}

bool Vm::instanceOf(const Value& v, Object* constructor) {
    Object* obj = v.object();
    if (!obj) return false;
    return instanceOfPrototype(obj, get(constructor, "prototype").object(), constructor);
}

bool Vm::instanceOfPrototype(Object* obj, Object* proto, Object* constructor) {
    Object* p = obj->proto();
    for (int depth = 0; p && depth < kMaxChain; ++depth, p = p->proto()) {
        if (p == proto) return true;
        for (Object* iface : p->interfaces) {
            if (iface == constructor) return true;
            Object* ifaceProto = get(iface, "prototype").object();
            for (int d2 = 0; ifaceProto && d2 < kMaxChain; ++d2) {
                for (Object* inherited : ifaceProto->interfaces)
                    if (inherited == constructor) return true;
                ifaceProto = ifaceProto->proto();
            }
        }
    }
    return false;
}

uint32_t Vm::random() {
    randomState_ ^= randomState_ >> 12;
    randomState_ ^= randomState_ << 25;
    randomState_ ^= randomState_ >> 27;
    return static_cast<uint32_t>((randomState_ * 0x2545F4914F6CDD1DULL) >> 32);
}

void Vm::checkActionBudget() {
    if (actionsThisBlock_ > limits_.maxActions) throw ScriptAbort("a script ran too long");
    if ((actionsThisBlock_ & 0xFFF) == 0 && host_.milliseconds() - blockStartMillis_ > limits_.maxMillis)
        throw ScriptAbort("a script ran too long");
}

size_t Vm::collectGarbage() {
    if (blockNesting_ > 0) return 0;
    std::vector<Object*> pending{global, objectProto, functionProto, arrayProto, stringProto, numberProto,
                                 booleanProto, clipProto, errorProto, objectCtor, arrayCtor, functionCtor, detached_};
    for (const Value& r : globalRegisters)
        if (Object* o = r.object()) pending.push_back(o);
    for (const auto& [name, cls] : registeredClasses) pending.push_back(cls);
    for (const auto& [id, fn] : nativeFunctions) pending.push_back(fn);
    for (const PendingLoad& load : pendingLoads_) pending.push_back(load.target);
    for (const Timer& t : timers_) {
        pending.push_back(t.function);
        pending.push_back(t.object);
        for (const Value& v : t.args) pending.push_back(v.object());
    }
    pending.push_back(runningFunction);
    if (playerRoots) playerRoots(pending);
    for (const auto& service : builtinServices) service->roots(pending);
    pending.insert(pending.end(), pinned_.begin(), pinned_.end());
    // A clip on the stage (or kept by the player) keeps its object: DisplayObject points at it.
    for (const auto& o : heap_)
        if (o->displayObject()) pending.push_back(o.get());
    while (!pending.empty()) {
        Object* o = pending.back();
        pending.pop_back();
        if (!o || o->marked) continue;
        o->marked = true;
        o->references(pending);
    }
    size_t before = heap_.size();
    std::erase_if(heap_, [](const std::unique_ptr<Object>& o) { return !o->marked; });
    for (const auto& o : heap_) o->marked = false;
    collectAt_ = std::max<size_t>(1u << 14, heap_.size() * 2);
    return before - heap_.size();
}

void Vm::chargeStringBytes(size_t bytes) {
    if (bytes > limits_.maxStringLength) throw ScriptAbort("string too long");
    // Copying text takes time as actions do: a loop growing a long string is stopped by the
    // action budget rather than copying gigabytes that are freed again at once.
    chargeWork(bytes / kTextBytesPerAction);
    if (Value::liveTextBytes() + bytes > limits_.maxLiveTextBytes) throw ScriptAbort("a script holds too much text");
}

void Vm::chargeWork(size_t steps) {
    actionsThisBlock_ += steps;
    if (actionsThisBlock_ > limits_.maxActions) throw ScriptAbort("a script ran too long");
}

void Vm::chargeArrayGrowth(size_t elements) {
    arrayGrowthThisBlock_ += elements;
    if (arrayGrowthThisBlock_ > limits_.maxArrayGrowthPerBlock) throw ScriptAbort("a script grew arrays too far");
}

bool Vm::runBlock(const SharedBytes& code, MovieClip* clip) {
    return runGuarded([&] { Interpreter::runTopLevel(*this, code, clip); });
}

bool Vm::clipHasHandler(MovieClip* clip, const std::string& name) {
    if (!clip || !clip->scriptObject) return false;
    bool found = false;
    // The player asks from outside any script: a prototype chain that loops (or a getter
    // that throws) must stop the lookup, not the player.
    runGuarded([&] {
        Value fn = get(clip->scriptObject, name);
        found = fn.object() && fn.object()->asFunction();
    });
    return found;
}

void Vm::constructRegisteredClip(MovieClip* clip) {
    if (!clip || registeredClasses.empty()) return;
    Object* cls = registeredClassOf(*this, *clip);
    if (!cls) return;
    runGuarded([&] {
        Object* obj = clipObject(clip);
        adoptClass(obj, cls);
        runClassConstructor(obj, cls);
    });
}

void Vm::adoptClass(Object* clipObject, Object* cls) {
    if (Object* proto = get(cls, "prototype").object()) clipObject->setProto(proto);
    define(clipObject, "__constructor__", Value(cls));
    if (version_ < 6) define(clipObject, "constructor", Value(cls));
}

void Vm::runClassConstructor(Object* clipObject, Object* cls) {
    // As with `new`, `super` inside the constructor stands above the class's prototype.
    Object* proto = get(cls, "prototype").object();
    FunctionObject* fn = cls->asFunction();
    std::vector<Value> none;
    if (fn && fn->script.code) Interpreter::callFunction(*this, *fn, Value(clipObject), none, proto);
    else call(Value(cls), Value(clipObject), {});
}

void Vm::broadcast(const std::string& globalName, const std::string& message) {
    runGuarded([&] {
        Object* source = get(global, globalName).object();
        if (!source) return;
        call(get(source, "broadcastMessage"), Value(source), {Value(message)});
    });
}

bool Vm::runGuardedAction(const std::function<void()>& body) {
    return runGuarded([&] { body(); });
}

MovieClip* Vm::rootOf(MovieClip* clip) const {
    if (!clip || !services) return rootClip;
    MovieClip* root = services->scriptRoot(*clip);
    return root ? root : rootClip;
}

void Vm::broadcastFrom(Object* broadcaster, const std::string& message, std::vector<Value> args) {
    if (!broadcaster) return;
    // The player may hold the only reference (a loader whose load is being delivered): the
    // collector that runs before the call must keep it and the arguments.
    pinned_.push_back(broadcaster);
    for (const Value& v : args) pinned_.push_back(v.object());
    struct Unpin {
        std::vector<Object*>& pins;
        size_t size;
        ~Unpin() { pins.resize(size); }
    } unpin{pinned_, pinned_.size() - 1 - args.size()};
    runGuarded([&] {
        args.insert(args.begin(), Value(message));
        call(get(broadcaster, "broadcastMessage"), Value(broadcaster), std::move(args));
    });
}

bool Vm::runClipHandler(MovieClip* clip, const std::string& name) {
    return runGuarded([&] {
        Object* obj = clipObject(clip);
        Value fn = get(obj, name);
        if (fn.object() && fn.object()->asFunction()) call(fn, Value(obj), {});
    });
}

void Vm::endMovie() {
    holdBudget();
    for (size_t i = 0; i < builtinServices.size(); ++i)
        runGuarded([&] { builtinServices[i]->movieEnded(*this); });
    releaseBudget();
}

void Vm::resetBudget() {
    actionsThisBlock_ = 0;
    blockStartMillis_ = host_.milliseconds();
    arrayGrowthThisBlock_ = 0;
    abortReported_ = false;
}

void Vm::holdBudget() {
    resetBudget();
    budgetHeld_ = true;
}

void Vm::reportUncaught(const Value& thrown) {
    std::string text;
    try {
        text = toString(thrown);
    } catch (const ScriptThrow&) {
        text = "[thrown again while converting]";
    } catch (const ScriptAbort&) {
        text = "[stopped while converting]";
    }
    host_.trace("Warning: Uncaught exception, " + text);
}

template <class Body>
bool Vm::runGuarded(Body body) {
    if (blockNesting_ == 0 && heap_.size() >= std::min(collectAt_, limits_.maxObjects / 2)) collectGarbage();
    if (blockNesting_ == 0) {
        if (!budgetHeld_) resetBudget();
        stackBase_ = currentStackPosition();
    }
    ++blockNesting_;
    bool ok = true;
    try {
        body();
    } catch (const ScriptAbort& abort) {
        ++scriptsAborted;
        if (!abortReported_) host_.scriptAborted(abort.what());
        abortReported_ = budgetHeld_;  // once per held budget, every time otherwise
        ok = false;
    } catch (const ScriptThrow& thrown) {
        // An exception nobody caught ends the block; the runtime's log names it.
        reportUncaught(thrown.value);
    }
    --blockNesting_;
    if (blockNesting_ == 0) {
        callDepth_ = 0;
        stackBase_ = 0;
        runningFunction = nullptr;
        runningConstructs = nextCallConstructs = false;
    }
    return ok;
}

// ---- the machine's side --------------------------------------------------------------------

void Vm::requestLoad(PendingLoad load) {
    // Each request reaches the host; a script asking in a loop is stopped instead.
    if (pendingLoads_.size() >= kMaxPendingLoads) throw ScriptAbort("too many loads in one frame");
    pendingLoads_.push_back(std::move(load));
}

bool Vm::completeLoads() {
    if (pendingLoads_.empty()) return false;
    std::vector<PendingLoad> due = std::move(pendingLoads_);
    pendingLoads_.clear();
    // The loads taken out of the queue stay roots while they are delivered: a handler run
    // for one may start a collection before the others arrive.
    const size_t pinnedBefore = pinned_.size();
    for (const PendingLoad& load : due) pinned_.push_back(load.target);
    struct Unpin {
        std::vector<Object*>& pins;
        size_t size;
        ~Unpin() { pins.resize(size); }
    } unpin{pinned_, pinnedBefore};
    bool codepage = version_ < 6;
    if (Object* system = get(global, "System").object()) codepage = codepage || toBoolean(get(system, "useCodepage"));
    // A sound file asked for while loads are delivered arrives in the same round: a chain of
    // loadSound calls made from onLoad handlers completes within one frame, as the runtime's
    // does. Other loads wait for the next round.
    size_t chainedSounds = 0;
    for (size_t i = 0; i < due.size(); ++i) {
        PendingLoad load = due[i];
        if (load.kind == PendingLoad::Kind::FileDialog) {
            runGuarded([&] { deliverFileChoice(*this, load.target); });
            continue;
        }
        // A connection's remoting calls of the frame go out as one request, made now.
        // (none when the connection was closed or remade since).
        if (load.kind == PendingLoad::Kind::Remoting &&
            (!runGuarded([&] { load.request = remotingRequest(*this, load.target); }) || load.request.url.empty()))
            continue;
        std::optional<std::vector<uint8_t>> bytes = host_.fetch(load.request);
        runGuarded([&] {
            Object* target = load.target;
            if (load.kind == PendingLoad::Kind::Sound) return deliverLoadedSound(*this, target, bytes);
            if (load.kind == PendingLoad::Kind::Remoting) return deliverRemotingReplies(*this, target, bytes);
            if (load.kind == PendingLoad::Kind::Stream) return deliverStreamFile(*this, target, bytes);
            if (load.kind == PendingLoad::Kind::Variables) {
                if (bytes) decodeVariables(*this, target, decodeLoadedText(*bytes, codepage));
                return;
            }
            Value size = bytes ? Value(static_cast<double>(bytes->size())) : Value();
            // The progress counters stay put: a movie cannot delete them.
            define(target, "_bytesLoaded", bytes ? size : Value(0), flags::kDontEnum | flags::kDontDelete);
            define(target, "_bytesTotal", size, flags::kDontEnum | flags::kDontDelete);
            Value text = bytes ? Value(decodeLoadedText(*bytes, codepage)) : Value();
            call(get(target, "onData"), Value(target), {text});
        });
        for (auto it = pendingLoads_.begin(); it != pendingLoads_.end() && chainedSounds < kMaxPendingLoads;) {
            if (it->kind != PendingLoad::Kind::Sound) {
                ++it;
                continue;
            }
            due.push_back(std::move(*it));
            it = pendingLoads_.erase(it);
            ++chainedSounds;
        }
    }
    return true;
}

void Vm::runTimers() {
    for (size_t i = 0; i < builtinServices.size(); ++i) builtinServices[i]->frame(*this);
    uint64_t now = host_.milliseconds();
    // The timers due now, earliest first (ties by creation); each is called once a frame at
    // most, so a short interval cannot take over the player.
    std::vector<Timer> due;
    for (Timer& t : timers_)
        if (t.dueMillis <= now) due.push_back(t);
    std::sort(due.begin(), due.end(), [](const Timer& a, const Timer& b) {
        return a.dueMillis != b.dueMillis ? a.dueMillis < b.dueMillis : a.id < b.id;
    });
    for (const Timer& timer : due) {
        auto live = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id == timer.id; });
        if (live == timers_.end()) continue;  // cleared by an earlier callback
        if (timer.repeat) live->dueMillis = std::max(live->dueMillis + std::max<uint64_t>(timer.periodMillis, 1), now + 1);
        else timers_.erase(live);
        runGuarded([&] {
            if (timer.function) call(Value(timer.function), Value(), timer.args);
            else if (timer.object) call(get(timer.object, timer.method), Value(timer.object), timer.args);
        });
    }
}

}  // namespace swf::avm1
