#include "avm1/Interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

#include "avm1/ActionReader.h"
#include "avm1/Activation.h"
#include "avm1/ClipObject.h"
#include "avm1/Comparison.h"
#include "avm1/DecodedBlock.h"
#include "avm1/NumberFormat.h"
#include "avm1/OperandStack.h"
#include "avm1/Scope.h"
#include "avm1/Strings.h"
#include "player/ActionInterpreter.h"
#include "player/Host.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

// `super` inside a method: `home` is the prototype that held the method (for a constructor,
// its class's prototype). Members come from the prototype above it, super() calls its
// __constructor__, and calls keep the original `this`.
// Frames a timeline may have; WaitForFrame2 counts frame indices up to it as loaded.
constexpr int32_t kFrameLimit = 16000;

class SuperObject final : public Object {
public:
    SuperObject(Vm& vm, Object* home, Value self)
        : Object(home ? home->proto() : nullptr), home(home), self(std::move(self)) {
        // A constructor's home is its class's prototype, whose __constructor__ super() calls;
        // a method's super() looks above the object that held the method.
        constructorHome = home && vm.runningFunction && vm.get(vm.runningFunction, "prototype").object() == home;
    }
    Object* home;
    bool constructorHome = false;
    Object* scriptProto() const override { return proto() ? proto()->proto() : nullptr; }
    void references(std::vector<Object*>& out) const override {
        Object::references(out);
        if (home) out.push_back(home);
        if (Object* o = self.object()) out.push_back(o);
    }
    Value self;
};

// Scope chains of frames that ended, kept for the next calls: a call copies its closure's
// chain into one of these instead of allocating (a loop of calls reuses the same few).
class SpareScopes {
public:
    static std::vector<Object*> take() {
        auto& spares = list();
        if (spares.empty()) return {};
        std::vector<Object*> v = std::move(spares.back());
        spares.pop_back();
        return v;
    }
    static void giveBack(std::vector<Object*>&& v) {
        auto& spares = list();
        if (v.capacity() == 0 || v.capacity() > kMaxKeptCapacity || spares.size() >= kMaxKept) return;
        v.clear();
        spares.push_back(std::move(v));
    }

private:
    static constexpr size_t kMaxKept = 64, kMaxKeptCapacity = 64;
    static std::vector<std::vector<Object*>>& list() {
        // Room for all of them from the start: giving one back, in a destructor, never allocates.
        thread_local std::vector<std::vector<Object*>> spares = [] {
            std::vector<std::vector<Object*>> v;
            v.reserve(kMaxKept);
            return v;
        }();
        return spares;
    }
};
}  // namespace

Value Interpreter::receiverBehindSuper(const Value& v) {
    auto* sup = dynamic_cast<SuperObject*>(v.object());
    return sup ? sup->self : v;
}

namespace {

struct Frame {
    Vm& vm;
    std::span<const uint8_t> code;
    OperandStack stack;
    Value* registers = nullptr;
    size_t registerCount = 0;
    // A function's registers: most functions use a few, kept in the frame; more on the heap.
    static constexpr size_t kInlineRegisters = 8;
    Value inlineRegisters[kInlineRegisters];
    std::vector<Value> ownRegisters;
    void useOwnRegisters(size_t count) {
        if (count > kInlineRegisters) {
            ownRegisters.resize(count);
            registers = ownRegisters.data();
        } else {
            registers = inlineRegisters;
        }
        registerCount = count;
    }
    ScopeChain scope;
    // The constant pool in force: held by the running block or by the called closure, both
    // alive for the whole frame, so a call takes no reference of its own.
    const std::shared_ptr<const std::vector<Value>>* pool = &kNoPool;
    static inline const std::shared_ptr<const std::vector<Value>> kNoPool;
    Value thisValue;
    Value self;  // the receiver of the call, also when `this` reads the timeline
    MovieClip* target = nullptr;   // where timeline actions go
    MovieClip* original = nullptr; // the clip the block belongs to (SetTarget "" returns here)
    size_t timelineSlot = SIZE_MAX;  // the timeline's place in the scope chain
    Object* superProto = nullptr;
    bool localsOnFrame = false;  // scope.locals is the frame's own, not the heap's
    Value returnValue;
    uint32_t skipActions = 0;
    // The block's bytes and their decoded form: a function's are held by its code, which
    // its function object keeps (nothing is collected while a block runs); a top-level
    // block's decoded form is held here, as the cache may let go of it meanwhile.
    const SharedBytes* bytes = nullptr;
    const DecodedBlock* decoded = nullptr;  // `code` read into actions
    std::shared_ptr<const DecodedBlock> decodedOwner;

    explicit Frame(Vm& v) : vm(v), stack(v.limits().maxStackDepth) { scope.objects = SpareScopes::take(); }
    ~Frame() { SpareScopes::giveBack(std::move(scope.objects)); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    VELMORA_AVM1_INLINE Value pop() { return stack.pop(); }
    VELMORA_AVM1_INLINE void push(Value v) { stack.push(std::move(v)); }
    double popNumber() { return vm.toNumber(pop()); }
    std::string popString() { return vm.toString(pop()); }
};

// Calls `use` with the text of a name taken from the stack: a string's own text, without
// the copy converting it would make (names are looked up on every variable and member).
template <class Use>
decltype(auto) withName(Vm& vm, const Value& name, Use use) {
    if (name.isString()) return use(name.string());
    return use(vm.toString(name));
}

enum class Flow { Normal, Return, Jump };
struct Completion {
    Flow flow = Flow::Normal;
    size_t target = 0;  // for Jump
};

using Reader = ActionReader;

Object* timelineObject(Frame& f) {
    return f.target ? f.vm.clipObject(f.target) : nullptr;
}

// "path:name" and "/path:name" address a variable of another timeline; "a.b.c" a member.
bool splitTargetVariable(const std::string& name, std::string& path, std::string& var) {
    size_t colon = name.rfind(':');
    if (colon != std::string::npos) {
        path = name.substr(0, colon);
        var = name.substr(colon + 1);
        return true;
    }
    return false;
}

// Whether `name` may be one of the names lookupPlain answers itself (this, _global, _root,
// _levelN, super, in any case before version 7; a letter beyond ASCII might fold to one):
// most names are not, and skip making the key.
bool maybeSpecialName(const std::string& name) {
    if (name.empty()) return false;
    unsigned char c = static_cast<unsigned char>(name[0]);
    return c == '_' || c == 't' || c == 'T' || c == 's' || c == 'S' || c >= 0x80;
}

// A clip removed while a script of it or aimed at it ran.
bool removedTimeline(MovieClip* target) { return target && !target->parent && !target->onStage(); }

// Where a script's names, frame calls and own properties go once its target was removed while
// it ran: the clip the script belongs to, or when that is gone too, the root
// (string_paths_variable_scopes, removed_target_clip_scope).
MovieClip* liveTarget(Frame& f) {
    if (!removedTimeline(f.target)) return f.target;
    if (f.original && !removedTimeline(f.original)) return f.original;
    return f.vm.rootClip;
}

// The scope object standing for the target, the live one when the target was removed.
Object* liveTimelineObject(Frame& f, Object* timeline) {
    if (!removedTimeline(f.target)) return timeline;
    MovieClip* live = liveTarget(f);
    return live ? f.vm.clipObject(live) : timeline;
}

Value lookupPlain(Frame& f, const std::string& name) {
    Vm& vm = f.vm;
    if (maybeSpecialName(name)) {
        std::string k = vm.key(name);
        if (k == "this") return f.thisValue;
        if (k == "_global" && vm.version() >= 6) return vm.global;
        if (k == "_root") {
            MovieClip* root = vm.rootOf(liveTarget(f));
            return root ? Value(vm.clipObject(root)) : Value();
        }
        if (vm.services && k.size() > 6 && k.compare(0, 6, "_level") == 0)
            if (MovieClip* level = vm.services->levelByName(k)) return Value(vm.clipObject(level));
        if (k == "super" && f.superProto) return vm.make<SuperObject>(vm, f.superProto, f.self);
    }
    // Files of version 4 know no global object: NaN and Infinity are plain unset names there.
    Value found;
    for (size_t i = f.scope.objects.size(); i-- > 0;) {
        Object* o = f.scope.objects[i];
        if (!o || (o == vm.global && vm.version() < 5)) continue;
        if (o == f.scope.timeline) o = liveTimelineObject(f, o);
        if (vm.find(o, name, found)) return found;
    }
    return Value();
}

// The object a target path ("/a/b", "a/b", "" for the current target) names. Steps go
// through clips and, where no clip answers, through plain objects the clips hold
// ("/obj/:v" is the root's obj.v).
Object* resolvePathObject(Frame& f, const std::string& path) {
    Vm& vm = f.vm;
    if (MovieClip* clip = path.empty() ? f.target : resolveClipPath(vm, f.target, path)) return vm.clipObject(clip);
    if (!f.target || path.empty()) return nullptr;
    size_t pos = 0;
    Object* at = nullptr;
    if (path[0] == '/') {
        MovieClip* root = vm.rootOf(f.target);
        at = root ? vm.clipObject(root) : nullptr;
        pos = 1;
    } else {
        at = vm.clipObject(f.target);
    }
    while (at && pos < path.size()) {
        size_t next = path.find('/', pos);
        std::string step = path.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
        if (step.empty()) return nullptr;
        at = vm.get(at, step == ".." ? std::string("_parent") : step).object();
        pos = next == std::string::npos ? path.size() : next + 1;
    }
    return at;
}

// The locals of a frame become a value a callee may keep: from the frame to the heap.
Object* escapeLocals(Frame& f) {
    if (!f.localsOnFrame) return f.scope.locals;
    Activation* heap = f.vm.make<Activation>();
    static_cast<Activation*>(f.scope.locals)->moveInto(*heap);
    std::replace(f.scope.objects.begin(), f.scope.objects.end(), f.scope.locals, static_cast<Object*>(heap));
    f.scope.locals = heap;
    f.localsOnFrame = false;
    return heap;
}

// A plain call's function and `this`: the scope object the name was found in (the
// timeline, a with-object, the calling function's locals, _global). Paths and names found
// nowhere call on the timeline.
Value lookupCallee(Frame& f, const std::string& name, Value& self);

// Walks "b.c" from `v`; false when a member on the way is missing.
bool walkMembers(Vm& vm, Value& v, const std::string& name, size_t start) {
    while (true) {
        size_t next = name.find('.', start);
        std::string part = name.substr(start, next == std::string::npos ? std::string::npos : next - start);
        Object* holder = v.object();
        if (holder && !vm.has(holder, part)) return false;
        v = vm.getMember(v, part);
        if (!holder && v.isUndefined()) return false;
        if (next == std::string::npos) return true;
        start = next + 1;
    }
}

// "a.b.c": each scope in turn, innermost first, gets the whole path; one where the path
// breaks off gives way to the next (a timeline's a.b does not hide _global's a.b.c).
Value getDottedVariable(Frame& f, const std::string& name, size_t dot) {
    Vm& vm = f.vm;
    std::string first = name.substr(0, dot);
    std::string k = vm.key(first);
    bool special = k == "this" || k == "_global" || k == "_root" || k == "super" ||
                   (k.size() > 6 && k.compare(0, 6, "_level") == 0);
    if (!special) {
        for (size_t i = f.scope.objects.size(); i-- > 0;) {
            Object* o = f.scope.objects[i];
            Value v;
            if (!o || (o == vm.global && vm.version() < 5) || !vm.find(o, first, v)) continue;
            if (walkMembers(vm, v, name, dot + 1)) return v;
        }
        return Value();
    }
    Value v = lookupPlain(f, first);
    return walkMembers(vm, v, name, dot + 1) ? v : Value();
}

Value getVariable(Frame& f, const std::string& name);

Value lookupCallee(Frame& f, const std::string& name, Value& self) {
    Vm& vm = f.vm;
    self = f.scope.timeline ? Value(f.scope.timeline) : Value();
    std::string k = vm.key(name);
    bool special = k == "this" || k == "_global" || k == "_root" || k == "super" ||
                   (k.size() > 6 && k.compare(0, 6, "_level") == 0);
    // "a.b.f", "/a:f", "_root/a.f": the function is called on the object the path leads to.
    std::string path, var;
    if (splitTargetVariable(name, path, var)) {
        Object* holder = resolvePathObject(f, path);
        if (!holder) return Value();
        self = Value(holder);
        return vm.get(holder, var);
    }
    if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        Value holder = getVariable(f, name.substr(0, dot));
        if (holder.isObject()) self = holder;
        return vm.getMember(holder, name.substr(dot + 1));
    }
    if (special || name.find('/') != std::string::npos) return getVariable(f, name);
    for (size_t i = f.scope.objects.size(); i-- > 0;) {
        Object* o = f.scope.objects[i];
        if (!o || (o == vm.global && vm.version() < 5) || !vm.has(o, name)) continue;
        Value fn = vm.get(o, name);
        self = Value(o == f.scope.locals ? escapeLocals(f) : o);
        return fn;
    }
    return Value();
}

// Whether `name` is no path ("a:b", "/a", "a.b"): most names, which then skip the path rules.
bool plainName(const std::string& name) {
    for (char c : name)
        if (c == ':' || c == '/' || c == '.') return false;
    return true;
}

Value getVariable(Frame& f, const std::string& name) {
    if (plainName(name)) return lookupPlain(f, name);
    Vm& vm = f.vm;
    std::string path, var;
    if (splitTargetVariable(name, path, var)) {
        Object* holder = resolvePathObject(f, path);
        return holder ? vm.get(holder, var) : Value();
    }
    if (name.find('/') != std::string::npos) {
        MovieClip* clip = resolveClipPath(vm, f.target, name);
        return clip ? Value(vm.clipObject(clip)) : Value();
    }
    size_t dot = name.find('.');
    if (dot != std::string::npos && dot > 0) return getDottedVariable(f, name, dot);
    return lookupPlain(f, name);
}

void setVariable(Frame& f, const std::string& name, Value value) {
    Vm& vm = f.vm;
    // `this` is the frame's own binding: assigning it changes what the name reads for the
    // rest of the block or call, nothing else (mutable_this).
    if (maybeSpecialName(name) && vm.key(name) == "this") {
        f.thisValue = std::move(value);
        return;
    }
    if (!plainName(name)) {
        std::string path, var;
        if (splitTargetVariable(name, path, var)) {
            if (Object* holder = resolvePathObject(f, path)) vm.set(holder, var, std::move(value));
            return;
        }
        size_t dot = name.rfind('.');
        if (dot != std::string::npos && dot > 0 && name.find('/') == std::string::npos) {
            Value holder = getVariable(f, name.substr(0, dot));
            vm.setMember(holder, name.substr(dot + 1), std::move(value));
            return;
        }
    }
    // A timeline whose clip was removed while the script ran takes nothing: the live one does.
    bool timelineRemoved = f.scope.timeline && removedTimeline(f.target);
    Object* holder = f.scope.findForAssignment(vm, name);
    if (holder && !(timelineRemoved && holder == f.scope.timeline)) {
        vm.set(holder, name, std::move(value));
        return;
    }
    Object* base = f.scope.timeline ? liveTimelineObject(f, f.scope.timeline) : timelineObject(f);
    if (base) vm.set(base, name, std::move(value));
}

// A `with` object above the function's locals (or the timeline) that has the name as its
// own takes a DefineLocal; an inherited one does not (with_variable_scopes).
Object* withObjectOwning(Frame& f, const std::string& name) {
    Object* base = f.scope.locals ? f.scope.locals : f.scope.timeline;
    for (size_t i = f.scope.objects.size(); i-- > 0;) {
        Object* o = f.scope.objects[i];
        if (!o || o == base) break;
        if (f.vm.hasOwn(o, name)) return o;
    }
    return nullptr;
}

void defineLocal(Frame& f, const std::string& name, Value value) {
    if (Object* owner = withObjectOwning(f, name)) {
        f.vm.set(owner, name, std::move(value));
        return;
    }
    // Inside a function a local takes the name as written, path or not ("/:a" is a local
    // named so); elsewhere a path names another timeline's variable.
    if (f.scope.locals) {
        f.vm.set(f.scope.locals, name, std::move(value));
        return;
    }
    if (name.find_first_of(":/.") != std::string::npos) {
        setVariable(f, name, std::move(value));  // a path names another timeline's variable
        return;
    }
    Object* where = f.scope.locals ? f.scope.locals : (f.scope.timeline ? f.scope.timeline : timelineObject(f));
    if (where) f.vm.set(where, name, std::move(value));
}

// DefineLocal2 outside a function with a path ("/:a", "_root.a"): the variable is declared
// where the path leads, and keeps a value it already has.
void declareAtPath(Frame& f, const std::string& name) {
    Vm& vm = f.vm;
    Object* holder = nullptr;
    std::string var;
    std::string path;
    if (splitTargetVariable(name, path, var)) {
        MovieClip* clip = path.empty() ? f.target : resolveClipPath(vm, f.target, path);
        holder = clip ? vm.clipObject(clip) : nullptr;
    } else if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0 && name.find('/') == std::string::npos) {
        holder = getVariable(f, name.substr(0, dot)).object();
        var = name.substr(dot + 1);
    }
    if (holder && !vm.has(holder, var)) vm.set(holder, var, Value());
}

// A target that names nothing sends timeline actions nowhere; names then resolve on the root.
void setTarget(Frame& f, MovieClip* clip) {
    f.target = clip;
    if (!clip) clip = f.vm.rootClip;
    if (!clip) return;
    if (f.timelineSlot < f.scope.objects.size()) {
        Object* obj = clip ? f.vm.clipObject(clip) : nullptr;
        f.scope.objects[f.timelineSlot] = obj;
        f.scope.timeline = obj;
    }
}

// The two operands of a numeric action, converted left first (the order valueOf runs in).
std::pair<double, double> popNumbers(Frame& f) {
    Value b = f.pop(), a = f.pop();
    double x = f.vm.toNumber(a);
    return {x, f.vm.toNumber(b)};
}

// Fast paths of the arithmetic and comparisons: with number operands there is nothing to
// convert (so nothing a script could observe), and the result takes the place of the operands.
template <class Op>
bool numbersInPlace(Frame& f, Op op) {
    if (f.stack.size() < 2) return false;
    Value& a = f.stack.fromTop(1);
    const Value& b = f.stack.back();
    if (!a.isNumber() || !b.isNumber()) return false;
    a = op(a.number(), b.number());
    f.stack.drop();
    return true;
}

bool numberInPlace(Frame& f, double step) {
    if (f.stack.empty() || !f.stack.back().isNumber()) return false;
    f.stack.back() = Value(f.stack.back().number() + step);
    return true;
}

// Less2 of two numbers: undefined when either is NaN.
Value numberLess(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return Value();
    return Value(a < b);
}

bool popCondition(Frame& f) {
    if (!f.stack.empty() && f.stack.back().isBoolean()) {
        bool b = f.stack.back().boolean();
        f.stack.drop();
        return b;
    }
    return f.vm.toBoolean(f.pop());
}

std::vector<Value> popArgs(Frame& f) {
    double n = f.popNumber();
    size_t count = n > 0 ? static_cast<size_t>(std::min<double>(n, static_cast<double>(f.stack.size()))) : 0;
    std::vector<Value> args;
    args.reserve(count);
    for (size_t i = 0; i < count; ++i) args.push_back(f.pop());
    return args;
}

// Version 5 code calling a function of a later movie plainly runs it by version 5 rules, on
// the caller's timeline rather than in the scope it was defined in (swf5_to_6_cross_call).
void markVersion5Call(Frame& f, const Value& fn) {
    if (f.vm.version() >= 6) return;
    FunctionObject* function = fn.object() ? fn.object()->asFunction() : nullptr;
    if (function && function->script.code && function->script.version >= 6)
        f.vm.nextCallVersion5Timeline = f.scope.timeline ? f.scope.timeline : timelineObject(f);
}

// The string actions of version 4 count bytes and their multibyte twins characters; from
// version 6 both count UTF-16 units, take 32-bit wrapped positions, and read or make a lone
// half of a surrogate pair as U+FFFD (string_ops_swf6).
bool unicodeStrings(const Vm& vm, bool multibyte) { return multibyte || vm.version() >= 6; }

double stringLength(const Vm& vm, const std::string& s, bool multibyte) {
    return static_cast<double>(unicodeStrings(vm, multibyte) ? utf16Length(s) : s.size());
}

std::string stringExtract(Vm& vm, const std::string& s, const Value& index, const Value& count, bool multibyte) {
    if (vm.version() >= 6)
        return extractChars(s, static_cast<double>(vm.toInt32(index)), static_cast<double>(vm.toInt32(count)));
    double i = vm.toNumber(index), n = vm.toNumber(count);
    return multibyte ? extractChars(s, i, n) : extractBytes(s, i, n);
}

bool isSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

double charToCode(const Vm& vm, const std::string& s, bool multibyte) {
    if (s.empty()) return 0;
    if (vm.version() >= 6) {
        std::u16string units = toUtf16(s);
        if (units.empty()) return 0;
        return isSurrogate(units.front()) ? 0xFFFD : units.front();
    }
    return multibyte ? firstCodePoint(s) : static_cast<unsigned char>(s[0]);
}

std::string codeToChar(Vm& vm, const Value& v, bool multibyte) {
    uint32_t code = static_cast<uint32_t>(vm.toInt32(v));
    if (vm.version() >= 6) {
        code &= 0xFFFF;
        if (code == 0) return {};  // text ends at a zero
        return fromCodePoint(isSurrogate(code) ? 0xFFFD : code);
    }
    return multibyte ? fromCodePoint(code & 0xFFFF) : std::string(1, static_cast<char>(code & 0xFF));
}

// Text keeps halves of surrogate pairs apart as a script cut them (so joining them again
// gives the character back); the log shows a pair split across the text's bytes as its
// character and a lone half as U+FFFD.
std::string printable(std::string text) {
    if (text.find('\xED') == std::string::npos) return text;
    std::u16string units = toUtf16(text);
    for (size_t i = 0; i < units.size(); ++i) {
        bool high = units[i] >= 0xD800 && units[i] < 0xDC00;
        bool pairs = high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
        if (pairs) ++i;
        else if (isSurrogate(units[i])) units[i] = 0xFFFD;
    }
    return toUtf8(units);
}

// trace prints undefined as "undefined" in every version. A toString that throws still lets
// the line print, as the object's type; the exception goes on once it has.
void traceValue(Vm& vm, const Value& v) {
    if (v.isUndefined()) {
        vm.host().trace("undefined");
        return;
    }
    std::string text;
    try {
        text = vm.toString(v);
    } catch (const ScriptThrow&) {
        vm.host().trace(v.object() && v.object()->asFunction() ? "[type Function]" : "[type Object]");
        throw;
    }
    vm.host().trace(printable(std::move(text)));
}

// InstanceOf reads the class's own `prototype` slot as stored: a getter is not called and
// counts as none, a version flag does not hide it, one inherited does not count. Primitives
// on either side are made objects of their class first (the runtime's constructors run), a
// primitive instance is never an instance, and a clip as the prototype matches nothing. A
// removed clip has neither a prototype chain nor properties.
bool instanceOfAction(Vm& vm, const Value& v, const Value& klass) {
    Object* obj = v.object();
    if (!obj) return false;
    auto removedClip = [](Object* o) { return o->asClip() && !o->displayObject(); };
    Object* cls = vm.toObject(klass);
    if (!cls || removedClip(cls)) return false;
    Property* slot = cls->findOwn(vm.key("prototype"));
    if (!slot || slot->getter || slot->setter) return false;
    Value protoValue = slot->value;
    if (!protoValue.isObject()) {
        if (!protoValue.isNullish()) vm.toObject(protoValue);
        return false;
    }
    if (protoValue.object()->asClip() || removedClip(obj)) return false;
    return vm.instanceOfPrototype(obj, protoValue.object(), cls);
}

// CastOp: the object when it is an instance, else null; a primitive is made an object of its
// class and still gives null.
Value castAction(Vm& vm, const Value& v, const Value& klass) {
    if (!v.isObject()) {
        if (!v.isNullish()) vm.toObject(v);
        return Value::null();
    }
    return instanceOfAction(vm, v, klass) ? v : Value::null();
}

// super() reaching a built-in class: Number, String and Boolean give the value to the
// derived class's own object, as `new` would to a fresh one; the rest run as plain calls.
Value callNativeSuper(Vm& vm, FunctionObject& fn, const Value& self, std::vector<Value> args) {
    if (!fn.nativeConstructor || fn.nativeConstructor == fn.native || !self.object())
        return vm.call(Value(&fn), self, std::move(args));
    Vm::CallGuard guard(vm);
    NativeCall c{self, args, &fn, true};
    return fn.nativeConstructor(vm, c);
}

// A method call looks the function up on the object and remembers the prototype that held
// it, so `super` inside it continues above that prototype.
Value callMethod(Frame& f, const Value& target, const std::string& name, std::vector<Value> args) {
    Vm& vm = f.vm;
    if (Object* obj = target.object()) {
        if (auto* sup = dynamic_cast<SuperObject*>(obj)) {
            // A clip above the method's holder reads as nothing to super, as a primitive
            // does (super never converts to an object); nor does super() ask __resolve.
            if (name.empty()) {
                Object* base = sup->constructorHome ? sup->home : sup->proto();
                if (!base || base->asClip()) return Value();
                Value ctor = vm.get(base, "__constructor__");
                FunctionObject* fn = ctor.object() ? ctor.object()->asFunction() : nullptr;
                if (!fn) return Value();
                if (fn->script.code)
                    return Interpreter::callFunction(vm, *fn, sup->self, args, vm.get(fn, "prototype").object());
                return callNativeSuper(vm, *fn, sup->self, std::move(args));
            }
            Object* holder = sup->proto();
            if (holder && holder->asClip()) return Value();
            for (int guard = 0; holder && guard < 256 && !vm.hasOwn(holder, name); ++guard) holder = holder->proto();
            Value fnv = holder ? vm.get(holder, name) : Value();
            FunctionObject* fn = fnv.object() ? fnv.object()->asFunction() : nullptr;
            if (!fn) return Value();
            if (fn->script.code) return Interpreter::callFunction(vm, *fn, sup->self, args, holder);
            return vm.call(fnv, sup->self, std::move(args));
        }
    }
    // A primitive becomes an object of its class first, called or not (coerce_to_object).
    Object* obj = vm.toObject(target);
    if (name.empty()) return vm.call(obj ? Value(obj) : target, Value(), std::move(args));
    if (!obj) return Value();
    // The lookup tells where along the chain it found the method: its holder is `super`'s home.
    Object* holder = nullptr;
    Value fnv = vm.getOrResolve(obj, name, &holder);
    FunctionObject* fn = fnv.object() ? fnv.object()->asFunction() : nullptr;
    if (!fn) return Value();
    if (fn->script.code) return Interpreter::callFunction(vm, *fn, Value(obj), args, holder ? holder : obj);
    return vm.call(fnv, target, std::move(args));
}

class Runner {
public:
    explicit Runner(Frame& f) : f_(f), vm_(f.vm) {}
    Completion run(size_t begin, size_t end);

private:
    VELMORA_AVM1_INLINE void pushOperands(const PushOperand* operand, uint32_t count);
    VELMORA_AVM1_OUT_OF_LINE bool runSteps(uint32_t& i, size_t begin, size_t end, Completion& done);
    void runLoop(uint32_t& i, const FusedStep& from, size_t begin, size_t end);
    Completion doTry(std::span<const uint8_t> payload, size_t next, size_t end, size_t& resume);
    void defineFunction(const DecodedAction& a, std::span<const uint8_t> payload, size_t end, size_t& resume);
    // A function's registers past its own count are the running block's four (a store there
    // changes them for the block, register_underflow).
    void storeRegister(uint8_t reg, const Value& v) {
        if (reg < f_.registerCount) f_.registers[reg] = v;
        else if (reg < std::size(vm_.globalRegisters)) vm_.globalRegisters[reg] = v;
    }
    Frame& f_;
    Vm& vm_;
};

VELMORA_AVM1_INLINE void Runner::pushOperands(const PushOperand* operand, uint32_t count) {
    for (const PushOperand* last = operand + count; operand != last; ++operand) {
        switch (operand->kind) {
        case PushOperand::Kind::Constant: f_.push(operand->value); break;
        case PushOperand::Kind::Register: {
            uint8_t r = static_cast<uint8_t>(operand->index);
            if (r < f_.registerCount) f_.push(f_.registers[r]);
            else f_.push(r < std::size(vm_.globalRegisters) ? vm_.globalRegisters[r] : Value());
            break;
        }
        case PushOperand::Kind::Pool: {
            size_t index = operand->index;
            const std::vector<Value>* pool = f_.pool->get();
            if (pool && index < pool->size()) f_.push((*pool)[index]);
            else f_.push(Value());
            break;
        }
        }
    }
}

// Runs the fused step at `i` and the ones following it (a register loop stays here). A step
// runs whole only when none of its actions is one where the action budget is looked at;
// otherwise, and when a step is not ready, the action at `i` is left, not yet counted, for
// the general path to run one by one, so a budget stops the script at the same action.
// True when the range is done (`done` says how).
bool Runner::runSteps(uint32_t& i, size_t begin, size_t end, Completion& done) {
    const DecodedBlock& block = *f_.decoded;
    const DecodedAction* actions = block.actions();
    const FusedStep* steps = &block.step(0);  // there is one: the action at `i` starts it
    // Held here: a value stored through a register could, for all the compiler knows,
    // change the frame's fields, which would then be read again for every operand.
    Value* const registers = f_.registers;
    const size_t registerCount = f_.registerCount;
    auto read = [&](const FusedStep::Operand& operand, double& out) {
        if (!operand.isRegister) {
            out = operand.number;
            return true;
        }
        if (operand.reg >= registerCount || !registers[operand.reg].isNumber()) return false;
        out = registers[operand.reg].number();
        return true;
    };
    // A loop is tried once on reaching it, and again only after a step ran on its own (where
    // the loop stopped), so a loop that cannot run is not tried over and over.
    bool tryLoop = true;
    while (true) {
        const uint32_t at = actions[i].step;
        if (at == DecodedAction::kNone) return false;
        const FusedStep& s = steps[at];
        if (s.loop != DecodedAction::kNone && tryLoop) {
            runLoop(i, s, begin, end);
            tryLoop = false;
            continue;
        }
        tryLoop = true;
        double x = 0, y = 0;
        // Whole only when it does exactly what its actions do one by one: all of it inside
        // the range, room on the stack for what its push would have made, number operands
        // (nothing to convert, so nothing a script could observe).
        if (s.end > end || !f_.stack.hasRoom(s.operands) || !read(s.x, x) || (s.operands == 2 && !read(s.y, y)))
            return false;
        bool taken = true;
        if (s.kind == FusedStep::Kind::CompareBranch) {
            if (std::isnan(x) || std::isnan(y)) return false;  // undefined, not a boolean
            if (!vm_.countActionsBetweenChecks(s.count)) return false;
            taken = (s.op == 0x48 ? x < y : y < x) != s.negate;
        } else {
            if (!vm_.countActionsBetweenChecks(s.count)) return false;
            double r;
            switch (s.op) {
            case 0x47:
            case 0x0A: r = x + y; break;
            case 0x0B: r = x - y; break;
            case 0x0C: r = x * y; break;
            case 0x50: r = x + 1; break;
            default: r = x - 1; break;
            }
            if (s.reg < registerCount) registers[s.reg] = Value(r);
            else storeRegister(s.reg, Value(r));
            if (!s.pop) f_.push(Value(r));
        }
        if (s.branch == DecodedAction::kNone || !taken || s.target == DecodedAction::kNone) {
            i = s.after;
            continue;
        }
        if (s.target == DecodedAction::kOutside) {
            done = {};
            return true;
        }
        if (s.target >= begin && s.target <= end) {
            i = s.targetIndex;
            continue;
        }
        done = Completion{Flow::Jump, s.target};
        return true;
    }
}

// Runs whole passes of the loop the step `from` (at `i`) is part of on plain doubles, and
// leaves `i` at the step where it stopped, not yet run: one whose test leaves the loop, one
// whose test meets NaN, or one whose actions would reach a place where the action budget is
// looked at. The step-by-step path runs that one, exactly as the actions would.
void Runner::runLoop(uint32_t& i, const FusedStep& from, size_t begin, size_t end) {
    const DecodedBlock& block = *f_.decoded;
    const FusedLoop& loop = block.loop(from.loop);
    // The steps' pushes need room on the stack; every jump between them must stay in the range.
    if (loop.first < begin || loop.end > end || loop.highestRegister >= f_.registerCount || !f_.stack.hasRoom(2))
        return;
    double slots[FusedLoop::kMaxSlots];
    const size_t registerSlots = loop.registers.size();
    for (size_t k = 0; k < registerSlots; ++k) {
        const Value& r = f_.registers[loop.registers[k]];
        if (!r.isNumber()) return;
        slots[k] = r.number();
    }
    std::copy(loop.constants.begin(), loop.constants.end(), slots + registerSlots);
    const uint64_t room = vm_.actionsBeforeNextCheck();
    uint64_t counted = 0;
    const FusedLoop::Op* ops = loop.ops.data();
    const size_t opCount = loop.ops.size();
    size_t at = from.loopAt;
    while (true) {
        const FusedLoop::Op& op = ops[at];
        if (counted + op.count > room) break;
        const double x = slots[op.x], y = slots[op.y];
        switch (op.kind) {
        case FusedLoop::Op::Kind::Less:
            // NaN makes the comparison undefined, which the actions treat their own way.
            if (std::isunordered(x, y) || ((x < y) != op.negate) != op.goesOnWhenTaken) goto stopped;
            break;
        case FusedLoop::Op::Kind::Add: slots[op.result] = x + y; break;
        case FusedLoop::Op::Kind::Subtract: slots[op.result] = x - y; break;
        case FusedLoop::Op::Kind::Multiply: slots[op.result] = x * y; break;
        }
        counted += op.count;
        at = at + 1 == opCount ? 0 : at + 1;
    }
stopped:
    for (size_t k = 0; k < registerSlots; ++k)
        if (loop.stored[k]) f_.registers[loop.registers[k]] = Value(slots[k]);
    vm_.countActionsBetweenChecks(static_cast<uint32_t>(counted));  // within the room: never refused
    i = ops[at].action;
}

void Runner::defineFunction(const DecodedAction& a, std::span<const uint8_t> payload, size_t end, size_t& resume) {
    size_t next = a.next;
    std::shared_ptr<const ScriptCode> code = f_.decoded->function(a.operand);
    size_t bodySize = code->body.size();
    // A body running past the range holding the definition (a with or try body) is cut there.
    if (next + bodySize > end)
        code = readFunction(*f_.bytes, payload, a.op == 0x8E, f_.code.subspan(next, end - next), bodySize);
    resume = next + bodySize;
    ScriptClosure closure;
    closure.code = code;
    closure.scope = f_.scope.objects;  // the locals of an enclosing function included
    closure.pool = *f_.pool;
    closure.base = f_.scope.timeline ? f_.scope.timeline : timelineObject(f_);
    closure.version = vm_.version();
    FunctionObject* fn = vm_.newScriptFunction(std::move(closure));
    if (code->name.empty()) f_.push(Value(fn));
    else defineLocal(f_, code->name, Value(fn));
}

Completion Runner::doTry(std::span<const uint8_t> payload, size_t next, size_t end, size_t& resume) {
    Reader in(payload);
    uint8_t flagsByte = in.u8();
    size_t trySize = in.u16(), catchSize = in.u16(), finallySize = in.u16();
    bool catchInRegister = flagsByte & 4;
    bool hasCatch = flagsByte & 1, hasFinally = flagsByte & 2;
    std::string catchName;
    uint8_t catchRegister = 0;
    if (catchInRegister) catchRegister = in.u8();
    else catchName = in.str();
    size_t tryEnd = std::min(end, next + trySize);
    size_t catchEnd = std::min(end, tryEnd + catchSize);
    size_t finallyEnd = std::min(end, catchEnd + finallySize);
    resume = finallyEnd;

    Completion c;
    std::optional<Value> thrown;
    size_t depthAtEntry = f_.stack.size();
    try {
        c = run(next, tryEnd);
    } catch (ScriptThrow& t) {
        thrown = std::move(t.value);
        // What the try body pushed before it threw is dropped; what it popped stays popped.
        while (f_.stack.size() > depthAtEntry) f_.stack.drop();
    }
    if (thrown && hasCatch) {
        Value caught = std::move(*thrown);
        thrown.reset();
        if (catchInRegister) storeRegister(catchRegister, caught);
        else defineLocal(f_, catchName, caught);
        try {
            c = run(tryEnd, catchEnd);
        } catch (ScriptThrow& t) {
            thrown = std::move(t.value);
        }
    }
    if (hasFinally) {
        Completion fin = run(catchEnd, finallyEnd);
        if (fin.flow != Flow::Normal) {
            thrown.reset();
            c = fin;
        }
    }
    if (thrown) throw ScriptThrow{*thrown};
    return c;
}

Value typeOfValue(Vm& vm, const Value& v) { return Value(vm.typeOf(v)); }

Completion Runner::run(size_t begin, size_t end) {
    std::span<const uint8_t> code = f_.code;
    end = std::min(end, code.size());
    if (begin >= end) return {};
    const DecodedBlock& block = *f_.decoded;
    const DecodedAction* actions = block.actions();
    uint32_t i = block.indexAt(begin);
    auto jumpTo = [&](size_t target) -> std::optional<Completion> {
        if (target >= begin && target <= end) {
            i = block.indexAt(target);
            return std::nullopt;
        }
        return Completion{Flow::Jump, target};
    };
    while (true) {
        if (actions[i].step != DecodedAction::kNone && f_.skipActions == 0) {
            Completion done;
            if (runSteps(i, begin, end, done)) return done;
        }
        const DecodedAction& a = actions[i];
        // The range's end, an End action, or one whose length runs past the range: the
        // range is done (the last two count as actions, as the byte loop counted them).
        if (a.next > end) [[unlikely]] {
            if (a.offset < end) vm_.countAction();
            return {};
        }
        vm_.countAction();
        uint8_t op = a.op;
        std::span<const uint8_t> payload = code.subspan(a.payload, a.length);
        size_t next = a.next;
        if (f_.skipActions > 0) {
            --f_.skipActions;
            i = a.nextIndex;
            continue;
        }
        Frame& f = f_;
        switch (op) {
        // Timeline control -------------------------------------------------------------
        case 0x04: if (f.target) f.target->nextFrame(); break;
        case 0x05: if (f.target) f.target->prevFrame(); break;
        case 0x06: if (f.target) f.target->play(); break;
        case 0x07: if (f.target) f.target->stop(); break;
        case 0x08: if (vm_.services) vm_.services->toggleQuality(); break;
        case 0x09: vm_.host().stopAllSounds(); break;
        case 0x81: {
            Reader in(payload);
            uint16_t frame = in.u16();
            // A frame the timeline does not have is no destination (the methods go to the last).
            if (in.ok() && f.target && frame < f.target->frameCount()) f.target->gotoFrame(frame);
            break;
        }
        case 0x8C: {
            Reader in(payload);
            std::string label = in.str();
            if (f.target) f.target->gotoLabel(label);
            break;
        }
        case 0x8A: {
            Reader in(payload);
            uint16_t frame = in.u16();
            uint8_t skip = in.u8();
            if (in.ok() && f.target && frame >= f.target->loadedFrameCount()) f.skipActions = skip;
            break;
        }
        case 0x8D: {
            Reader in(payload);
            uint8_t skip = in.u8();
            Value frame = f.pop();
            if (f.target) {
                // A whole number is a frame (0-based after a 32-bit wrap); in a complete movie
                // frames up to the runtime's limit of 16000 count as loaded, past its end too.
                // Anything else names a label, and an unknown label counts as loaded.
                double n = frame.isNumber() ? frame.number() : NAN;
                int32_t index;
                if (std::isfinite(n) && n == std::floor(n))
                    index = static_cast<int32_t>(static_cast<uint32_t>(toInt32(n)) - 1u);
                else
                    index = f.target->frameOfLabel(vm_.toString(frame));
                bool loaded = index < 0 || (f.target->fullyLoaded() ? index <= kFrameLimit
                                                                    : index < static_cast<int64_t>(f.target->loadedFrameCount()));
                if (!loaded) f.skipActions = skip;
            }
            break;
        }
        case 0x8B: {
            Reader in(payload);
            std::string path = in.str();
            MovieClip* clip = path.empty() ? f.original : resolveClipPath(vm_, f.original, path);
            setTarget(f, clip);
            // Up to version 6 a target that names no clip sends frame actions to the root, whose
            // variables the actions then see too.
            if (!clip && vm_.version() <= 6) f.target = vm_.rootClip;
            break;
        }
        case 0x20: {
            Value t = f.pop();
            MovieClip* clip = nullptr;
            if (Object* o = t.object(); o && o->asClip()) {
                // From version 6 a clip is found again by its path: of two clips with one
                // name, the first one wins whichever was given.
                clip = o->asClip()->clip();
                if (clip && vm_.version() >= 6) clip = resolveClipPath(vm_, f.original, slashPath(clip));
            } else {
                std::string path = vm_.toString(t);
                clip = path.empty() ? f.original : resolveClipPath(vm_, f.original, path);
            }
            setTarget(f, clip);
            break;
        }
        case 0x9F: {
            Reader in(payload);
            uint8_t flagsByte = in.u8();
            uint16_t bias = (flagsByte & 2) ? in.u16() : 0;
            bool playAfter = flagsByte & 1;
            Value frame = f.pop();
            MovieClip* clip = f.target;
            std::string label;
            double number = 0;
            if (frame.isString()) {
                const std::string& s = frame.string();
                size_t colon = s.rfind(':');
                if (colon != std::string::npos) {
                    clip = resolveClipPath(vm_, f.target, s.substr(0, colon));
                    label = s.substr(colon + 1);
                } else {
                    label = s;
                }
                double asNumber = parseNumber(label, 5);
                if (std::isnan(asNumber)) {
                    if (clip) {
                        int fr = clip->frameOfLabel(label);
                        if (fr < 0) break;
                        number = fr + 1;
                    }
                } else {
                    number = asNumber;
                }
            } else {
                number = vm_.toNumber(frame);
            }
            if (!clip || !std::isfinite(number)) break;
            double target = std::floor(number) + bias;
            if (target >= 1) clip->gotoFrame(static_cast<uint32_t>(std::min(target, 4294967295.0)) - 1);
            if (playAfter) clip->play();
            break;
        }
        case 0x9E: {  // Call: run another frame's actions now
            Value frame = f.pop();
            // A tellTarget naming nothing leaves Call on the root (in every version).
            MovieClip* clip = f.target ? liveTarget(f) : vm_.rootOf(f.original);
            if (!clip) break;
            std::string s = vm_.toString(frame);
            size_t colon = s.rfind(':');
            if (colon != std::string::npos) {
                clip = resolveClipPath(vm_, clip, s.substr(0, colon));
                s = s.substr(colon + 1);
            }
            if (!clip) break;
            double n = parseNumber(s, 5);
            int64_t index = std::isnan(n) ? clip->frameOfLabel(s) : static_cast<int64_t>(toInt32(n)) - 1;
            if (index >= 0) clip->runFrameActionsNow(static_cast<uint32_t>(index));
            // A script whose own clip is gone ends with the first frame it calls
            // (removed_target_clip_scope).
            if (removedTimeline(f.original)) return {Flow::Return, 0};
            break;
        }
        case 0x83: {
            Reader in(payload);
            std::string url = in.str();
            std::string window = in.str();
            if (requestMovieLoad(vm_, f.target, url, window, UrlMethod::None, false)) break;
            deliverGetUrl(vm_.host(), url, window, UrlMethod::None);
            break;
        }
        case 0x9A: {
            Reader in(payload);
            uint8_t method = in.u8();
            std::string window = f.popString();
            std::string url = f.popString();
            UrlMethod m = (method & 3) == 1 ? UrlMethod::Get : (method & 3) == 2 ? UrlMethod::Post : UrlMethod::None;
            if (method & 0x80) {
                // loadVariables: into a clip, a level ("_level0") or a text field, by path.
                DisplayObject* into = window.empty() ? f.target : resolveStagePath(vm_, f.target, window);
                loadClipVariables(vm_, vm_.stageObject(into), f.target, url, m);
                break;
            }
            if (requestMovieLoad(vm_, f.target, url, window, m, (method & 0x40) != 0)) break;
            deliverGetUrl(vm_.host(), url, window, m);
            break;
        }
        // Stack and arithmetic -------------------------------------------------------------
        case 0x96: pushOperands(block.operands() + a.operand, a.extra); break;
        case 0x17: if (!f.stack.empty()) f.stack.drop(); break;
        case 0x4C: f.push(f.stack.empty() ? Value() : f.stack.back()); break;
        case 0x4D: {
            Value a = f.pop(), b = f.pop();
            f.push(a);
            f.push(b);
            break;
        }
        case 0x0A: if (numbersInPlace(f, [](double a, double b) { return Value(a + b); })) break;
        { auto [a, b] = popNumbers(f); f.push(a + b); break; }
        case 0x0B: if (numbersInPlace(f, [](double a, double b) { return Value(a - b); })) break;
        { auto [a, b] = popNumbers(f); f.push(a - b); break; }
        case 0x0C: if (numbersInPlace(f, [](double a, double b) { return Value(a * b); })) break;
        { auto [a, b] = popNumbers(f); f.push(a * b); break; }
        case 0x0D: {
            auto [a, b] = popNumbers(f);
            if (b == 0 && vm_.version() < 5) f.push(Value("#ERROR#"));
            else f.push(a / b);
            break;
        }
        case 0x3F: { auto [a, b] = popNumbers(f); f.push(std::fmod(a, b)); break; }
        case 0x47: if (numbersInPlace(f, [](double a, double b) { return Value(a + b); })) break;
        { Value b = f.pop(), a = f.pop(); f.push(add2(vm_, a, b)); break; }
        case 0x0E: {
            double b = f.popNumber(), a = f.popNumber();  // Equals converts its right side first
            f.push(Value(a == b));
            break;
        }
        case 0x0F: {
            auto [a, b] = popNumbers(f);
            f.push(Value(a < b));
            break;
        }
        case 0x48: if (numbersInPlace(f, numberLess)) break;
        { Value b = f.pop(), a = f.pop(); f.push(lessThan(vm_, a, b)); break; }
        case 0x67: if (numbersInPlace(f, [](double a, double b) { return numberLess(b, a); })) break;
        { Value b = f.pop(), a = f.pop(); f.push(lessThan(vm_, b, a)); break; }
        case 0x49: { Value b = f.pop(), a = f.pop(); f.push(looseEquals(vm_, a, b)); break; }
        case 0x66: { Value b = f.pop(), a = f.pop(); f.push(strictEquals(a, b)); break; }
        case 0x10: {
            bool b = vm_.toBoolean(f.pop()), a = vm_.toBoolean(f.pop());
            f.push(Value(a && b));
            break;
        }
        case 0x11: {
            bool b = vm_.toBoolean(f.pop()), a = vm_.toBoolean(f.pop());
            f.push(Value(a || b));
            break;
        }
        case 0x12: {
            if (!f.stack.empty() && f.stack.back().isBoolean()) {
                f.stack.back() = Value(!f.stack.back().boolean());
                break;
            }
            bool a = vm_.toBoolean(f.pop());
            f.push(Value(!a));
            break;
        }
        case 0x50: if (numberInPlace(f, 1)) break; f.push(f.popNumber() + 1); break;
        case 0x51: if (numberInPlace(f, -1)) break; f.push(f.popNumber() - 1); break;
        case 0x18: f.push(static_cast<double>(vm_.toInt32(f.pop()))); break;  // 32-bit, as the runtime
        case 0x4A: f.push(f.popNumber()); break;
        case 0x4B: f.push(f.popString()); break;
        case 0x44: f.push(typeOfValue(vm_, f.pop())); break;
        case 0x60: case 0x61: case 0x62: case 0x63: case 0x64: case 0x65: {
            Value bv = f.pop(), av = f.pop();
            int32_t a = vm_.toInt32(av), b = vm_.toInt32(bv);
            double r = 0;
            switch (op) {
            case 0x60: r = a & b; break;
            case 0x61: r = a | b; break;
            case 0x62: r = a ^ b; break;
            case 0x63: r = static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31)); break;
            case 0x64: r = a >> (b & 31); break;
            case 0x65: {
                // Files up to version 8 see the unsigned result as a signed 32-bit number
                // (4294967295 >>> 0 is -1 there).
                uint32_t u = static_cast<uint32_t>(a) >> (b & 31);
                r = vm_.version() <= 8 ? static_cast<double>(static_cast<int32_t>(u)) : static_cast<double>(u);
                break;
            }
            }
            f.push(r);
            break;
        }
        // Strings ------------------------------------------------------------------------
        case 0x21: {
            // Strings are read in place, converted otherwise (the right one first).
            Value bv = f.pop();
            std::string bText, aText;
            const std::string& b = bv.isString() ? bv.string() : (bText = vm_.toString(bv));
            Value av = f.pop();
            const std::string& a = av.isString() ? av.string() : (aText = vm_.toString(av));
            vm_.chargeStringBytes(a.size() + b.size());
            std::string joined;
            joined.reserve(a.size() + b.size());
            joined.append(a).append(b);
            f.push(Value(std::move(joined)));
            break;
        }
        case 0x13: {
            std::string b = f.popString(), a = f.popString();
            f.push(Value(a == b));
            break;
        }
        case 0x29: {
            std::string b = f.popString(), a = f.popString();
            f.push(Value(a < b));
            break;
        }
        case 0x68: {
            std::string b = f.popString(), a = f.popString();
            f.push(Value(a > b));
            break;
        }
        case 0x14: case 0x31: {
            Value v = f.pop();
            f.push(withName(vm_, v, [&](const std::string& s) { return stringLength(vm_, s, op == 0x31); }));
            break;
        }
        case 0x15: case 0x35: {
            Value count = f.pop(), index = f.pop();
            std::string s = f.popString();
            f.push(stringExtract(vm_, s, index, count, op == 0x35));
            break;
        }
        case 0x32: case 0x36: f.push(charToCode(vm_, f.popString(), op == 0x36)); break;
        case 0x33: case 0x37: f.push(codeToChar(vm_, f.pop(), op == 0x37)); break;
        // Variables and members ---------------------------------------------------------
        case 0x1C: {
            Value name = f.pop();
            f.push(withName(vm_, name, [&](const std::string& n) { return getVariable(f, n); }));
            break;
        }
        case 0x1D: {
            Value v = f.pop();
            Value name = f.pop();
            withName(vm_, name, [&](const std::string& n) { setVariable(f, n, std::move(v)); });
            break;
        }
        case 0x3C: {
            Value v = f.pop();
            defineLocal(f, f.popString(), std::move(v));
            break;
        }
        case 0x41: {
            std::string name = f.popString();
            if (f.scope.locals) {
                if (!vm_.hasOwn(f.scope.locals, name)) vm_.define(f.scope.locals, name, Value(), 0);
            } else if (name.find_first_of(":/.") != std::string::npos) {
                declareAtPath(f, name);
            } else if (Object* t = f.scope.timeline ? f.scope.timeline : timelineObject(f)) {
                // A name the timeline already has, even through its prototype, stays as it is.
                if (!vm_.has(t, name)) vm_.set(t, name, Value());
            }
            break;
        }
        case 0x4E: {
            Value name = f.pop();
            Value obj = f.pop();
            Object* o = obj.object();
            f.push(withName(vm_, name, [&](const std::string& n) {
                return o ? vm_.getOrResolve(o, n) : vm_.getMember(obj, n);
            }));
            break;
        }
        case 0x4F: {
            Value v = f.pop();
            Value name = f.pop();
            Value obj = f.pop();
            withName(vm_, name, [&](const std::string& n) { vm_.setMember(obj, n, std::move(v)); });
            break;
        }
        case 0x3A: {
            std::string name = f.popString();
            Value obj = f.pop();
            Object* o = obj.object();
            f.push(Value(o ? vm_.remove(o, name) : false));
            break;
        }
        case 0x3B: {
            std::string name = f.popString();
            Object* holder = f.scope.find(vm_, name);
            f.push(Value(holder ? vm_.remove(holder, name) : false));
            break;
        }
        case 0x87:
            if (a.operand != DecodedAction::kNone)
                storeRegister(static_cast<uint8_t>(a.operand), f.stack.empty() ? Value() : f.stack.back());
            break;
        case 0x88: f.pool = &block.pool(a.operand); break;
        case 0x22: {
            double index = f.popNumber();
            Value t = f.pop();
            std::string path = vm_.toString(t);
            MovieClip* clip = path.empty() ? liveTarget(f) : resolveClipPath(vm_, f.target, path);
            f.push(clip && std::isfinite(index) ? getClipProperty(vm_, clip, toInt32(index)) : Value());
            break;
        }
        case 0x23: {
            Value v = f.pop();
            double index = f.popNumber();
            std::string path = f.popString();
            MovieClip* clip = path.empty() ? f.target : resolveClipPath(vm_, f.target, path);
            if (clip && std::isfinite(index)) setClipProperty(vm_, clip, toInt32(index), v);
            break;
        }
        case 0x45: {
            Value v = f.pop();
            Object* o = v.object();
            DisplayObject* instance = o ? o->displayObject() : nullptr;  // clips, buttons, text fields
            f.push(instance ? Value(dotPath(instance)) : Value());
            break;
        }
        case 0x24: {  // CloneSprite: the depth is the display list's own (script depth + 16384)
            int32_t depth = vm_.toInt32(f.pop());
            std::string name = f.popString();
            std::string source = f.popString();
            cloneInstance(vm_, resolveStagePath(vm_, f.target, source), name, depth);
            break;
        }
        case 0x25: removeScriptedClip(resolveClipPath(vm_, f.target, f.popString())); break;
        case 0x27: {
            // StartDrag: target, lock centre, constrain, then bottom, right, top, left.
            Value target = f.pop();
            bool lockCenter = vm_.toBoolean(f.pop());
            std::array<Value, 4> bounds;
            bool constrained = vm_.toBoolean(f.pop());
            if (constrained)
                for (int i = 3; i >= 0; --i) bounds[i] = f.pop();
            startDragByAction(vm_, f.target, target, lockCenter, constrained ? &bounds : nullptr);
            break;
        }
        case 0x28:
            if (vm_.services) vm_.services->stopDrag();
            break;
        // Host services ----------------------------------------------------------------
        case 0x26: traceValue(vm_, f.pop()); break;
        case 0x30: {
            double max = f.popNumber();
            int32_t n = toInt32(max);
            f.push(n > 0 ? static_cast<double>(vm_.random() % static_cast<uint32_t>(n)) : 0.0);
            break;
        }
        case 0x34: f.push(static_cast<double>(vm_.host().milliseconds() - vm_.startMillis)); break;
        // Control flow -----------------------------------------------------------------
        case 0x99:
        case 0x9D: {
            bool taken = op == 0x99 ? true : popCondition(f);
            if (a.extra == DecodedAction::kNone || !taken) break;
            if (a.extra == DecodedAction::kOutside) return {};  // out of the block: it ends
            if (a.extra >= begin && a.extra <= end) {
                i = a.operand;
                continue;
            }
            return Completion{Flow::Jump, a.extra};
        }
        case 0x3E: f.returnValue = f.pop(); return {Flow::Return, 0};
        case 0x2A: throw ScriptThrow{f.pop()};
        case 0x9B:
        case 0x8E: {
            size_t resume = next;
            defineFunction(a, payload, end, resume);
            i = block.indexAt(resume);
            continue;
        }
        case 0x94: {
            Reader in(payload);
            size_t size = in.u16();
            Value obj = f.pop();
            size_t bodyEnd = std::min(end, next + size);
            Object* o = vm_.toObject(obj);
            if (!o) {
                i = block.indexAt(bodyEnd);  // with(undefined) skips its body
                continue;
            }
            Vm::CallGuard nested(vm_);  // nested bodies use the machine stack like calls
            f.scope.objects.push_back(o);
            Completion c;
            try {
                c = run(next, bodyEnd);
            } catch (...) {
                f.scope.objects.pop_back();
                throw;
            }
            f.scope.objects.pop_back();
            if (c.flow == Flow::Return) return c;
            if (c.flow == Flow::Jump) {
                if (auto out = jumpTo(c.target)) return *out;
                continue;
            }
            i = block.indexAt(bodyEnd);
            continue;
        }
        case 0x8F: {
            Vm::CallGuard nested(vm_);
            size_t resume = next;
            Completion c = doTry(payload, next, end, resume);
            if (c.flow == Flow::Return) return c;
            if (c.flow == Flow::Jump) {
                if (auto out = jumpTo(c.target)) return *out;
                continue;
            }
            i = block.indexAt(resume);
            continue;
        }
        // Objects and calls -------------------------------------------------------------
        case 0x3D: {
            std::string name = f.popString();
            std::vector<Value> args = popArgs(f);
            Value self;
            Value fn = lookupCallee(f, name, self);
            if (vm_.key(name) == "super" && f.superProto) {
                f.push(callMethod(f, fn, "", std::move(args)));
            } else {
                markVersion5Call(f, fn);
                f.push(vm_.call(fn, self, std::move(args)));
            }
            break;
        }
        case 0x52: {
            Value nameValue = f.pop();
            Value target = f.pop();
            std::vector<Value> args = popArgs(f);
            // The name's own text when it is a string: no copy a call.
            std::string converted;
            const std::string& name = nameValue.isString()      ? nameValue.string()
                                      : nameValue.isUndefined() ? converted
                                                                : (converted = vm_.toString(nameValue));
            f.push(callMethod(f, target, name, std::move(args)));
            break;
        }
        case 0x40: {
            std::string name = f.popString();
            std::vector<Value> args = popArgs(f);
            f.push(vm_.construct(getVariable(f, name), std::move(args)));
            break;
        }
        case 0x53: {
            Value nameValue = f.pop();
            Value target = f.pop();
            std::vector<Value> args = popArgs(f);
            std::string name = nameValue.isUndefined() ? "" : vm_.toString(nameValue);
            Value ctor = name.empty() ? target : vm_.getMember(target, name);
            if (name.empty() && !target.isObject() && !target.isUndefined() && !target.isNull())
                if (Object* boxed = vm_.toObject(target)) ctor = Value(boxed);
            f.push(vm_.construct(ctor, std::move(args)));
            break;
        }
        case 0x42: {
            // A count beyond the stack gives undefined and takes nothing from it.
            double n = f.popNumber();
            if (n > static_cast<double>(f.stack.size())) {
                f.push(Value());
                break;
            }
            size_t count = n > 0 ? static_cast<size_t>(n) : 0;
            std::vector<Value> items;
            items.reserve(count);
            for (size_t i = 0; i < count; ++i) items.push_back(f.pop());
            f.push(Value(vm_.newArray(std::move(items))));
            break;
        }
        case 0x43: {
            double n = f.popNumber();
            size_t count = n > 0 ? static_cast<size_t>(std::min<double>(n, static_cast<double>(f.stack.size() / 2))) : 0;
            Object* obj = vm_.newObject();
            for (size_t i = 0; i < count; ++i) {
                Value v = f.pop();
                Value name = f.pop();
                withName(vm_, name, [&](const std::string& n) { vm_.set(obj, n, std::move(v)); });
            }
            f.push(Value(obj));
            break;
        }
        case 0x46:
        case 0x55: {
            Value v = f.pop();
            Object* o = nullptr;
            if (op == 0x46) {
                std::string name = vm_.toString(v);
                v = getVariable(f, name);
            }
            o = v.object();
            f.push(Value());  // the loop ends at undefined (== null)
            if (o) {
                std::vector<std::string> names = vm_.enumerate(o);
                for (auto it = names.rbegin(); it != names.rend(); ++it) f.push(Value(*it));
            }
            break;
        }
        case 0x54: {
            Value ctor = f.pop();
            Value v = f.pop();
            f.push(Value(instanceOfAction(vm_, v, ctor)));
            break;
        }
        case 0x2B: {
            Value v = f.pop();
            Value ctor = f.pop();
            f.push(castAction(vm_, v, ctor));
            break;
        }
        case 0x2C: {
            Value ctor = f.pop();
            std::vector<Value> ifaces = popArgs(f);
            if (Object* c = ctor.object()) {
                Value proto = vm_.get(c, "prototype");
                if (Object* p = proto.object()) {
                    p->interfaces.clear();
                    for (auto& i : ifaces)
                        if (i.object()) p->interfaces.push_back(i.object());
                }
            }
            break;
        }
        case 0x69: {
            Value superCtor = f.pop();
            Value sub = f.pop();
            Object* subObj = sub.object();
            Object* superObj = superCtor.object();
            if (!subObj || !superObj) break;
            Object* proto = vm_.newObject();
            proto->setProto(vm_.get(superObj, "prototype").object());
            vm_.define(proto, "__constructor__", Value(superObj));
            vm_.set(subObj, "prototype", Value(proto));
            break;
        }
        default: break;  // unknown actions are stepped over by their length
        }
        i = a.nextIndex;
    }
    return {};
}

}  // namespace

namespace {

// A frame of top-level code on the clip's timeline.
void enterTimeline(Frame& f, MovieClip* clip) {
    Vm& vm = f.vm;
    f.target = clip;
    f.original = clip;
    // Without a clip (tests, tools) a stand-in object plays the timeline's part.
    Object* timeline = clip ? vm.clipObject(clip) : vm.detachedTimeline();
    f.scope.objects = {vm.global, timeline};
    f.scope.timeline = timeline;
    f.timelineSlot = 1;
    f.thisValue = timeline ? Value(timeline) : Value();
}

}  // namespace

void Interpreter::runTopLevel(Vm& vm, const SharedBytes& code, MovieClip* clip) {
    // Each block starts with its four registers empty: nothing carries over from the last
    // frame's actions (register_globals_across_frames).
    struct BlockRegisters {
        Vm& vm;
        Value saved[sizeof(Vm::globalRegisters) / sizeof(Value)];
        explicit BlockRegisters(Vm& v) : vm(v) {
            for (size_t i = 0; i < std::size(saved); ++i) saved[i] = std::exchange(vm.globalRegisters[i], Value());
        }
        ~BlockRegisters() {
            for (size_t i = 0; i < std::size(saved); ++i) vm.globalRegisters[i] = std::move(saved[i]);
        }
    } blockRegisters(vm);
    Frame f(vm);
    f.bytes = &code;
    f.decodedOwner = vm.decodedBlocks.get(code);
    f.decoded = f.decodedOwner.get();
    f.code = f.decoded->code();
    f.registers = vm.globalRegisters;
    f.registerCount = 4;
    enterTimeline(f, clip);
    Runner(f).run(0, f.code.size());
}

Value Interpreter::readVariable(Vm& vm, MovieClip* clip, const std::string& name) {
    Frame f(vm);
    enterTimeline(f, clip);
    return getVariable(f, name);
}

void Interpreter::writeVariable(Vm& vm, MovieClip* clip, const std::string& name, Value value) {
    Frame f(vm);
    enterTimeline(f, clip);
    setVariable(f, name, std::move(value));
}

Value Interpreter::callFunction(Vm& vm, FunctionObject& fn, const Value& self, std::vector<Value>& args,
                                Object* superProto) {
    Object* version5Timeline = std::exchange(vm.nextCallVersion5Timeline, nullptr);
    Vm::CallGuard guard(vm);
    const ScriptClosure& closure = fn.script;
    // A function from a movie of another version (loaded into this one, or its loader)
    // keeps its own movie's rules.
    struct VersionScope {
        Vm& vm;
        int saved;
        VersionScope(Vm& v, int version) : vm(v), saved(v.version()) {
            if (version > 0) vm.setVersion(version);
        }
        ~VersionScope() { vm.setVersion(saved); }
    } versionScope(vm, version5Timeline ? 5 : closure.version);
    const ScriptCode& code = *closure.code;
    Frame f(vm);
    f.bytes = &code.bytes;
    if (!code.decoded) code.decoded = std::make_shared<const DecodedBlock>(code.bytes, code.body);
    f.decoded = code.decoded.get();
    f.code = f.decoded->code();
    f.pool = &closure.pool;
    f.thisValue = self;
    f.self = self;
    f.superProto = superProto;
    Object* base = version5Timeline ? version5Timeline : closure.base;
    // Room for the locals pushed below: one allocation a call, not two.
    if (vm.version() < 6) {
        // Functions of version 5 close over nothing: they see the global object and the
        // timeline they run on (the clip they are called on, else the one defining them).
        if (Object* selfObj = self.object(); selfObj && selfObj->asClip()) base = selfObj;
        f.scope.objects.reserve(3);
        f.scope.objects.push_back(vm.global);
        f.scope.objects.push_back(base);
    } else {
        f.scope.objects.reserve(closure.scope.size() + 1);
        f.scope.objects.assign(closure.scope.begin(), closure.scope.end());
    }
    ClipObject* baseClip = base ? base->asClip() : nullptr;
    f.target = baseClip ? baseClip->clip() : nullptr;
    // A function whose timeline was removed runs on the clip it is called on, else on the root.
    if (baseClip && !f.target) {
        ClipObject* selfClip = self.object() ? self.object()->asClip() : nullptr;
        f.target = selfClip && selfClip->clip() ? selfClip->clip() : vm.rootClip;
    }
    f.original = f.target;
    f.scope.timeline = base;
    for (size_t i = 0; i < f.scope.objects.size(); ++i)
        if (f.scope.objects[i] == base) f.timelineSlot = i;

    // A body that defines no function cannot let its locals outlive the call.
    std::optional<Activation> frameLocals;
    Activation* locals = code.definesFunctions ? vm.make<Activation>() : &frameLocals.emplace();
    f.scope.locals = locals;
    f.localsOnFrame = !code.definesFunctions;
    f.scope.objects.push_back(locals);

    Value caller = vm.runningFunction ? Value(vm.runningFunction) : Value::null();
    auto makeArguments = [&] {
        ArrayObject* arguments = vm.newArray(args);
        vm.define(arguments, "callee", Value(&fn));
        vm.define(arguments, "caller", caller);
        return Value(arguments);
    };
    struct Running {
        Vm& vm;
        FunctionObject* previous;
        bool previousConstructs;
        ~Running() {
            vm.runningFunction = previous;
            vm.runningConstructs = previousConstructs;
        }
    } running{vm, vm.runningFunction, vm.runningConstructs};
    vm.runningFunction = &fn;
    vm.runningConstructs = std::exchange(vm.nextCallConstructs, false);
    uint16_t fl = code.flags;
    bool offersArguments = true;
    if (code.isFunction2) {
        f.useOwnRegisters(std::max<size_t>(code.registerCount, 1));
        uint8_t reg = 1;
        // A preloaded value takes the next register; suppressing `this` or `super` as well
        // leaves that register empty (suppressing arguments does not).
        auto preloadValue = [&](uint16_t flag, const Value& v, uint16_t suppress = 0) {
            if (!(fl & flag) || reg >= f.registerCount) return;
            f.registers[reg++] = (fl & suppress) ? Value() : v;
        };
        // Only what the function preloads is looked up: a `super` made for every call would
        // count against the object limit, and finding the root is a walk up the clips.
        MovieClip* rootClip = (fl & preload::kRoot) ? vm.rootOf(f.target) : nullptr;
        Object* root = rootClip ? vm.clipObject(rootClip) : nullptr;
        Value parent;
        if ((fl & preload::kParent) && f.target && f.target->parent) parent = Value(vm.clipObject(f.target->parent));
        bool superWanted = (fl & preload::kSuper) && !(fl & preload::kSuppressSuper);
        Value superValue = superProto && superWanted ? Value(vm.make<SuperObject>(vm, superProto, self)) : Value();
        preloadValue(preload::kThis, self, preload::kSuppressThis);
        // With `this` in a register (or suppressed) the name reads the timeline instead from
        // version 6; version 5 functions, which close over nothing, find no `this` then.
        if (fl & (preload::kThis | preload::kSuppressThis))
            f.thisValue = base && vm.version() >= 6 ? Value(base) : Value();
        if (fl & preload::kArguments) preloadValue(preload::kArguments, makeArguments());
        preloadValue(preload::kSuper, superValue, preload::kSuppressSuper);
        // Likewise the name `super` means nothing once super is preloaded or suppressed.
        if (fl & (preload::kSuper | preload::kSuppressSuper)) f.superProto = nullptr;
        preloadValue(preload::kRoot, root ? Value(root) : Value());
        // The root has no parent: that preload then takes no register.
        if (!parent.isUndefined()) preloadValue(preload::kParent, parent);
        preloadValue(preload::kGlobal, Value(vm.global));
        offersArguments = !(fl & preload::kSuppressArguments) && !(fl & preload::kArguments);
    } else {
        f.useOwnRegisters(4);
    }
    for (size_t i = 0; i < code.params.size(); ++i) {
        Value v = i < args.size() ? args[i] : Value();
        const auto& p = code.params[i];
        if (code.isFunction2 && p.reg != 0 && p.reg < f.registerCount) f.registers[p.reg] = v;
        else vm.define(locals, p.name, v, 0);
    }
    // Offered once the parameters are in place, so the values move instead of being copied
    // (`arguments` is made on first use, when a parameter of that name has already won).
    if (offersArguments) locals->offerArguments(std::move(args), &fn, caller);
    Completion c = Runner(f).run(0, f.code.size());
    return c.flow == Flow::Return ? f.returnValue : Value();
}

}  // namespace swf::avm1
