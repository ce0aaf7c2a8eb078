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
};

}  // namespace swf::avm1
