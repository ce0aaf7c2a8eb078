#pragma once
// Callable objects: built-ins written in C++ and functions defined by a movie's bytecode
// (DefineFunction, DefineFunction2). A script function keeps what it closed over: the scope
// chain and constant pool of the place it was defined and the clip it belongs to.
#include <memory>
#include <string>
#include <vector>

#include "avm1/Object.h"
#include "core/SharedBytes.h"

namespace swf::avm1 {

class DecodedBlock;

class ClipObject;

// What a built-in receives.
struct NativeCall {
    Value self;
    std::vector<Value>& args;
    FunctionObject* callee;
    bool constructing = false;
    Value arg(size_t i) const { return i < args.size() ? args[i] : Value(); }
};
using NativeFn = Value (*)(Vm& vm, NativeCall& call);

// DefineFunction2 flags, as stored in the action.
namespace preload {
constexpr uint16_t kThis = 0x01, kSuppressThis = 0x02, kArguments = 0x04, kSuppressArguments = 0x08,
                   kSuper = 0x10, kSuppressSuper = 0x20, kRoot = 0x40, kParent = 0x80, kGlobal = 0x100;
}

struct ScriptCode {
    SharedBytes bytes;  // keeps the movie's buffer alive
    std::span<const uint8_t> body;
    std::string name;
    struct Param {
        uint8_t reg = 0;  // 0: a named local
        std::string name;
    };
    std::vector<Param> params;
    bool isFunction2 = false;
    uint8_t registerCount = 0;
    uint16_t flags = 0;
    bool definesFunctions = false;  // closures made inside may capture the call's locals
    // The body read into actions on its first call, shared by every closure of the definition.
    mutable std::shared_ptr<const DecodedBlock> decoded;
};

struct ScriptClosure {
    std::shared_ptr<const ScriptCode> code;
    std::vector<Object*> scope;                            // outermost first
    std::shared_ptr<const std::vector<Value>> pool;  // constant pool when defined
    Object* base = nullptr;                                // the clip object it was defined in
    int version = 0;  // of the movie that defined it: its rules hold wherever it is called
};

class FunctionObject final : public Object {
public:
    FunctionObject(Object* proto, NativeFn native, NativeFn constructor = nullptr)
        : Object(proto), native(native), nativeConstructor(constructor) {}
    FunctionObject(Object* proto, ScriptClosure closure) : Object(proto), script(std::move(closure)) {}

    FunctionObject* asFunction() override { return this; }
    const char* typeName() const override { return "function"; }

    void references(std::vector<Object*>& out) const override {
        Object::references(out);
        for (Object* o : script.scope)
            if (o) out.push_back(o);
        if (script.base) out.push_back(script.base);
    }

    NativeFn native = nullptr;
    // Called for `new` of a built-in class when it differs from a plain call (Number("1")
    // converts, new Number("1") wraps).
    NativeFn nativeConstructor = nullptr;
    ScriptClosure script;
};

}  // namespace swf::avm1
