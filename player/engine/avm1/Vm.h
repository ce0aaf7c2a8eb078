#pragma once
// The ActionScript 1/2 machine of one movie: its heap, global object and built-in classes,
// the conversions (which depend on the file version), member access through prototypes and
// getters, calls, and the limits that stop a runaway script. The bytecode loop itself is in
// Interpreter.cpp.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "avm1/DecodedBlock.h"
#include "avm1/Function.h"
#include "avm1/KeyboardState.h"
#include "avm1/Loading.h"
#include "avm1/Object.h"
#include "avm1/Value.h"
#include "core/SharedBytes.h"

namespace swf {
class ActionServices;
class DisplayObject;
class Host;
class MovieClip;
}

namespace swf::avm1 {

struct Limits {
    uint64_t maxActions = 20'000'000;  // per top-level block
    uint64_t maxMillis = 15'000;       // per top-level block, by the host's clock
    int maxCallDepth = 256;            // nested calls
    size_t maxObjects = 1u << 20;      // live objects in the heap
    size_t maxStringLength = 1u << 24;
    // Text held by values on the machine's thread (text built and dropped again is free),
    // and new array elements one top-level block may add (a value and its slot take some
    // 32 bytes): together they bound a runaway script to a few hundred MB.
    size_t maxLiveTextBytes = 256u << 20;
    size_t maxArrayGrowthPerBlock = 4u << 20;
    size_t maxLiveBitmapBytes = 256u << 20;  // BitmapData pixels alive at once
    size_t maxStackDepth = 1u << 20;   // values on one frame's stack
    // Machine stack a block may use for nested calls, with and try bodies: the thread's
    // stack is 1 MB on Windows, and sanitizers make frames many times larger.
#ifdef _WIN32
    size_t maxNativeStackBytes = 640u * 1024;
#else
    size_t maxNativeStackBytes = 4u * 1024 * 1024;
#endif
};

// A limit was passed: the running script stops, the movie keeps playing.
class ScriptAbort : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value thrown by Throw and not yet caught.
struct ScriptThrow {
    Value value;
};

class Vm {
public:
    Vm(Host& host, int swfVersion, Limits limits = {});
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    int version() const { return version_; }
    // Movies of other versions loaded into this one run by their own version's rules: the
    // player switches before each of their blocks.
    void setVersion(int swfVersion) { version_ = swfVersion; }
    Host& host() { return host_; }
    const Limits& limits() const { return limits_; }
    void setLimits(const Limits& l) { limits_ = l; }

    // Heap -------------------------------------------------------------------------------
    template <class T, class... Args>
    T* make(Args&&... args) {
        if (heap_.size() >= limits_.maxObjects) throw ScriptAbort("too many objects");
        auto owned = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = owned.get();
        heap_.push_back(std::move(owned));
        return raw;
    }
    Object* newObject() { return make<Object>(objectProto); }
    ArrayObject* newArray(std::vector<Value> items = {});
    FunctionObject* newNative(NativeFn fn, NativeFn constructor = nullptr);
    FunctionObject* newScriptFunction(ScriptClosure closure);
    size_t heapSize() const { return heap_.size(); }
    // Bytes of BitmapData pixels alive; shared with the pictures, which may outlive the heap.
    std::shared_ptr<size_t> liveBitmapBytes = std::make_shared<size_t>(0);
    // Frees the objects nothing reachable refers to. Only between blocks: while a script
    // runs, C++ frames hold object pointers the collector cannot see. Returns the number freed.
    size_t collectGarbage();

    // Names ------------------------------------------------------------------------------
    // The key a property name is stored under: folded to lower case before version 7.
    std::string key(const std::string& name) const;
    bool caseSensitive() const { return version_ >= 7; }

    // Members ----------------------------------------------------------------------------
    // Looks along the prototype chain, through getters and special properties.
    Value get(Object* obj, const std::string& name);
    // `obj[name]` of any value: primitives read from their class's prototype.
    Value getMember(const Value& target, const std::string& name);
    // `obj.name` as scripts read it: a name found nowhere goes to the object's __resolve
    // handler when it has one.
    // `holder`, when given, is set to the object of the chain the name was found on (null
    // when it was found nowhere).
    Value getOrResolve(Object* obj, const std::string& name, Object** holder = nullptr);
    void set(Object* obj, const std::string& name, Value value);
    void setMember(const Value& target, const std::string& name, Value value);
    // A property found on the object or its prototypes (getters and special ones count).
    bool has(Object* obj, const std::string& name);
    // has() and then get() in one walk of the chain: false when the name is found nowhere.
    bool find(Object* obj, const std::string& name, Value& out, Object** holder = nullptr);
    bool hasOwn(Object* obj, const std::string& name);
    bool remove(Object* obj, const std::string& name);
    // Creates or replaces a plain property without calling setters or watches (built-ins).
    void define(Object* obj, const std::string& name, Value value, uint8_t flags = flags::kDontEnum);
    FunctionObject* defineMethod(Object* obj, const std::string& name, NativeFn fn);
    // Names a for-in loop visits: own then inherited, enumerable, most recent first.
    std::vector<std::string> enumerate(Object* obj);

    // Conversions (Conversions.cpp) -------------------------------------------------------
    Value toPrimitive(const Value& v, bool preferString = false);
    double toNumber(const Value& v);
    std::string toString(const Value& v);
    bool toBoolean(const Value& v) const;
    Object* toObject(const Value& v);  // nullptr for undefined and null
    int32_t toInt32(const Value& v);
    std::string typeOf(const Value& v);

    // Calls ------------------------------------------------------------------------------
    Value call(const Value& function, const Value& self, std::vector<Value> args);
    Value construct(const Value& constructor, std::vector<Value> args);
    // `a instanceof C`: C.prototype on a's chain, or among its constructors' interfaces.
    bool instanceOf(const Value& v, Object* constructor);
    // The same once the prototype is known: on obj's chain, or the constructor among the
    // interfaces of a prototype there.
    bool instanceOfPrototype(Object* obj, Object* proto, Object* constructor);
    int callDepth() const { return callDepth_; }

    // Running ----------------------------------------------------------------------------
    // Runs a block of frame, button or clip actions of `clip`. A script that passes a limit
    // or throws without catching is stopped here and the host is told; false then.
    bool runBlock(const SharedBytes& code, MovieClip* clip);
    // While held, every block shares one budget of actions, time and memory (the player
    // holds it across a frame's queue, so a frame of many looping blocks ends as soon as one
    // budget is spent, and the host hears of it once).
    void holdBudget();
    void releaseBudget() { budgetHeld_ = false; }
    // The movie is closing while the player is still whole: built-ins finish their work (a
    // getter they read runs under the limits like any script).
    void endMovie();
    // Calls the clip's handler `name` (onEnterFrame...) if it has one, under the same limits.
    bool runClipHandler(MovieClip* clip, const std::string& name);
    // A clip placed by its timeline whose symbol a movie linked to a class (registerClass)
    // takes the class's prototype and runs its constructor.
    void constructRegisteredClip(MovieClip* clip);
    // The two halves of making a clip an instance of class `cls` (a registered symbol,
    // attachMovie): it takes the class's prototype and, as `new` leaves it, the class as its
    // `__constructor__`; then, once any initial properties are in, the constructor runs on it.
    void adoptClass(Object* clipObject, Object* cls);
    void runClassConstructor(Object* clipObject, Object* cls);
    // `globalName`.broadcastMessage(message): Mouse and Key tell their listeners.
    void broadcast(const std::string& globalName, const std::string& message);
    // broadcaster.broadcastMessage(message, args...), under the same limits (a
    // MovieClipLoader telling its listeners of a load).
    void broadcastFrom(Object* broadcaster, const std::string& message, std::vector<Value> args);
    // Runs player code that touches script objects under the same limits and guards.
    bool runGuardedAction(const std::function<void()>& body);
    // Whether the clip's object has a handler `name` (own or inherited).
    bool clipHasHandler(MovieClip* clip, const std::string& name);
    // Counted per action; passes a limit by throwing ScriptAbort. Inline: it runs for every
    // action, and the clock is read only every 4096 of them.
    void countAction() {
        if ((++actionsThisBlock_ & 0xFFF) == 0 || actionsThisBlock_ > limits_.maxActions) checkActionBudget();
    }
    // Counts `count` actions at once when none of them is one where the budget is looked at;
    // otherwise counts nothing and answers false, for the caller to run them one by one.
    bool countActionsBetweenChecks(uint32_t count) {
        if ((actionsThisBlock_ & 0xFFF) + count > 0xFFF || actionsThisBlock_ + count > limits_.maxActions) return false;
        actionsThisBlock_ += count;
        return true;
    }
    // The most actions countActionsBetweenChecks would take at once now.
    uint64_t actionsBeforeNextCheck() const {
        uint64_t toCheck = 0xFFF - (actionsThisBlock_ & 0xFFF);
        uint64_t toLimit = actionsThisBlock_ < limits_.maxActions ? limits_.maxActions - actionsThisBlock_ : 0;
        return toCheck < toLimit ? toCheck : toLimit;
    }
    // Charged by operations that build strings or grow arrays; throw ScriptAbort past the
    // block's budget.
    void chargeStringBytes(size_t bytes);
    // Built-ins that walk many elements (join, sort, copies) count them as actions, so the
    // action budget bounds their time too.
    void chargeWork(size_t steps);
    void chargeArrayGrowth(size_t elements);
    void checkActionBudget();
    // Tells the host's log of an exception no script caught (its value as text).
    void reportUncaught(const Value& thrown);
    static constexpr size_t kTextBytesPerAction = 64;
    uint64_t scriptsAborted = 0;
    // RandomNumber and Math.random: a fixed-seed generator, so runs repeat exactly.
    uint32_t random();
    // getTimer() counts from here (the movie's start).
    uint64_t startMillis = 0;

    // The object standing for a clip, made on first use (ClipObject.cpp).
    Object* clipObject(MovieClip* clip);
    // The same for any instance scripts reach: a clip's, or a button's or text field's.
    Object* stageObject(DisplayObject* instance);
    MovieClip* rootClip = nullptr;
    // _root as scripts of `clip` see it: the level it stands on, or the nearest clip above
    // that locks its root; rootClip without a clip.
    MovieClip* rootOf(MovieClip* clip) const;
    // The variables of blocks run without a clip.
    Object* detachedTimeline() {
        if (!detached_) detached_ = newObject();
        return detached_;
    }
    // System.security.sandboxType: "localWithNetwork" when the movie asks for network access.
    std::string sandboxType = "localWithFile";
    // Empty bounds read rounded once version 8 code has been in play (ClipGeometry.cpp).
    bool boundsInSinglePrecision = false;
    // Objects the player holds outside the heap's reach (the MovieClipLoaders of loads in
    // flight): the collector keeps what this adds.
    std::function<void(std::vector<Object*>&)> playerRoots;
    // Built-ins that keep state outside the heap (LocalConnection's names and messages): the
    // objects they keep alive, work they do once a frame, before the timers, and work they
    // do when the movie ends (shared objects are written then).
    struct BuiltinService {
        virtual ~BuiltinService() = default;
        virtual void roots(std::vector<Object*>& out) const = 0;
        virtual void frame(Vm& vm) = 0;
        virtual void movieEnded(Vm&) {}
    };
    std::vector<std::unique_ptr<BuiltinService>> builtinServices;
    // The machine's service of type T, made on first use.
    template <typename T>
    T& builtinService() {
        for (const auto& service : builtinServices)
            if (auto* found = dynamic_cast<T*>(service.get())) return *found;
        builtinServices.push_back(std::make_unique<T>());
        return static_cast<T&>(*builtinServices.back());
    }
    // Player-wide switches (quality); null when the machine runs without a player.
    ActionServices* services = nullptr;
    // The keyboard as the player last reported it (the Key object reads it).
    KeyboardState keyboard;
    // _focusrect of the levels: whether focus rectangles show for instances with no setting.
    bool showFocusRect = true;
    // _quality and _highquality (one setting seen two ways) and _soundbuftime, in seconds.
    enum class Quality { Low, Medium, High, Best };
    Quality quality = Quality::High;
    int32_t soundBufferSeconds = 5;

    // Built-in objects ------------------------------------------------------------------
    Object* global = nullptr;
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* clipProto = nullptr;
    Object* errorProto = nullptr;
    Object* objectCtor = nullptr;
    Object* arrayCtor = nullptr;
    Object* functionCtor = nullptr;

    // The script function running now (arguments.caller of the next call), null at top level.
    FunctionObject* runningFunction = nullptr;
    // Whether that function was called by `new` (ASnative(2, 0) asks); construct() sets the
    // second for the script call it is about to make.
    bool runningConstructs = false;
    bool nextCallConstructs = false;
    // Set by a plain call from version 5 code to a function of a later version: the callee
    // runs by version 5 rules on this caller's timeline (consumed by the call).
    Object* nextCallVersion5Timeline = nullptr;

    // The four registers of top-level code (functions of the first kind share them).
    Value globalRegisters[4];
    // What new Sound() without a target sets: every sound of the movie.
    SoundTransform globalSoundTransform;

    // For the interpreter: held for each nested call; passes the depth limit (or the
    // machine-stack budget) by throwing ScriptAbort.
    struct CallGuard {
        explicit CallGuard(Vm& vm);
        ~CallGuard() { --vm_.callDepth_; }
        Vm& vm_;
    };
    // Throws ScriptAbort when the nesting of the running block has used up its stack budget.
    void checkNativeStack() const;
    // Loads scripts asked for: kept until the frame's scripts are done, then fetched from the
    // host and delivered (Loading.cpp). Returns whether there were any.
    void requestLoad(PendingLoad load);
    bool completeLoads();
    bool hasPendingLoads() const { return !pendingLoads_.empty(); }

    // setInterval and setTimeout (Timers.cpp): a function, or an object and the name of its
    // method, called with `args` once the host's clock reaches `dueMillis`.
    struct Timer {
        int32_t id = 0;
        Object* function = nullptr;
        Object* object = nullptr;
        std::string method;
        std::vector<Value> args;
        uint64_t periodMillis = 0;
        uint64_t dueMillis = 0;
        bool repeat = true;
    };
    static constexpr size_t kMaxTimers = 1u << 16;
    static constexpr size_t kMaxPendingLoads = 1024;
    int32_t addTimer(Timer timer);
    void removeTimer(int32_t id);
    // Calls the timers that are due by the host's clock, earliest first; one that fell far
    // behind catches up a few calls at most. Between frames only.
    void runTimers();

    // Built-in functions by the runtime's native numbers (table, index), as ASnative reads
    // them; the classes register theirs when installed.
    std::map<std::pair<int32_t, int32_t>, FunctionObject*> nativeFunctions;
    // Names registered with Object.registerClass (recorded until clips can use them).
    std::vector<std::pair<std::string, Object*>> registeredClasses;
    // Top-level blocks read into actions once, for as long as the movie plays.
    DecodedBlockCache decodedBlocks;

private:
    std::vector<PendingLoad> pendingLoads_;
    std::vector<Object*> pinned_;  // kept by the collector while the player calls into them
    std::vector<Timer> timers_;
    int32_t nextTimerId_ = 1;
    void installBuiltins();
    template <class Body>
    bool runGuarded(Body body);
    Value callScript(FunctionObject& fn, const Value& self, std::vector<Value>& args, Object* superObject);
    Value callAccessor(Object* accessor, const Value& self, std::vector<Value> args, Object* home);
    // Getters, setters and watch callbacks, each under the re-entry guard of its property.
    bool reentryBlocked(const Property& p, Object* receiver, const std::string& k) const;
    Value callGetter(Property& p, Object* holder, Object* receiver, const std::string& k);
    void callSetter(Property& p, Object* holder, Object* receiver, const std::string& k, const Value& value);
    Value callWatch(Object* obj, const std::string& name, const std::string& k, Value value);

    Host& host_;
    int version_;
    Limits limits_;
    std::vector<std::unique_ptr<Object>> heap_;
    int callDepth_ = 0;
    uint64_t actionsThisBlock_ = 0;
    uint64_t blockStartMillis_ = 0;
    int blockNesting_ = 0;
    uintptr_t stackBase_ = 0;
    bool budgetHeld_ = false;
    bool abortReported_ = false;
    void resetBudget();
    size_t arrayGrowthThisBlock_ = 0;
    size_t collectAt_ = 1u << 14;  // heap size that triggers the next collection
    Object* detached_ = nullptr;
    uint64_t randomState_ = 0x2545F4914F6CDD1DULL;
    friend class Interpreter;
};

// Built-in classes, one file each.
void installObjectClass(Vm& vm);
void installFunctionClass(Vm& vm);
void installArrayClass(Vm& vm);
void installStringClass(Vm& vm);
void installNumberAndBoolean(Vm& vm);
void installDate(Vm& vm);
void installMath(Vm& vm);
void installGlobalFunctions(Vm& vm);
void installClipClass(Vm& vm);
void installErrorClass(Vm& vm);
void installAsBroadcaster(Vm& vm);
void installXmlClasses(Vm& vm);
void installExternalInterface(Vm& vm);
void installSystem(Vm& vm);
void installLoadVars(Vm& vm);
void installTimers(Vm& vm);
void installMouse(Vm& vm);
void installKey(Vm& vm);
void installSelection(Vm& vm);
void installTextField(Vm& vm);
void installStyleSheet(Vm& vm);
void installSound(Vm& vm);
void installColor(Vm& vm);
void installGeomPoint(Vm& vm);
void installGeomMatrix(Vm& vm);
void installGeomColorTransform(Vm& vm);
void installGeomRectangle(Vm& vm);
void installGeomTransform(Vm& vm);
void installTextFormat(Vm& vm);
void installTextSnapshot(Vm& vm);
void installMovieClipLoader(Vm& vm);
void installStage(Vm& vm);
void installBitmapData(Vm& vm);
void installLocalConnection(Vm& vm);
void installSharedObject(Vm& vm);
void installDeviceClasses(Vm& vm);
void installContextMenu(Vm& vm);
void installFilterClasses(Vm& vm);

}  // namespace swf::avm1
