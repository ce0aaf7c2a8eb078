#pragma once
// The bytecode loop: runs top-level blocks and script functions. Each block or function body
// runs in a frame of its own (operand stack, registers, scope chain, constant pool); `with`
// and try/catch/finally run their bodies as nested ranges of the same frame, so a jump or a
// return leaving a body unwinds it the structured way.
#include <vector>

#include "avm1/Vm.h"

namespace swf::avm1 {

class Interpreter {
public:
    static void runTopLevel(Vm& vm, const SharedBytes& code, MovieClip* clip);
    // `superProto`: the prototype that held the function (its class prototype for a
    // constructor); `super` inside looks above it and calls its __constructor__. The call may
    // take the values out of `args` (every caller passes a vector of its own).
    static Value callFunction(Vm& vm, FunctionObject& fn, const Value& self, std::vector<Value>& args,
                              Object* superProto);
    // A variable by name as the clip's own frame actions read and write it (paths, dots and
    // "/path:name" included): the container's GetVariable and SetVariable.
    static Value readVariable(Vm& vm, MovieClip* clip, const std::string& name);
    static void writeVariable(Vm& vm, MovieClip* clip, const std::string& name, Value value);
    // The object a `super` value stands for (`super.f.apply(super)` hands a built-in the
    // instance, whose native state it needs); any other value as it is.
    static Value receiverBehindSuper(const Value& v);
};

}  // namespace swf::avm1
