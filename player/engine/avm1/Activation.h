#pragma once
// The locals of one running script function: its named variables and, when the function may
// read it by name, `arguments`. The arguments array is made the first time the name is looked
// up, so a call that never reads it costs no array.
//
// Where no closure can capture the activation (the body defines no function), the frame owns
// it instead of the heap: nothing can reach it after the call returns, so a loop of calls
// leaves no garbage behind for the collector, which runs between blocks only.
#include <string>
#include <vector>

#include "avm1/Object.h"

namespace swf::avm1 {

class FunctionObject;

class Activation final : public Object {
public:
    Activation() : Object(nullptr) {}

    // `arguments` is to be readable by name, made from these on first use.
    void offerArguments(std::vector<Value> args, FunctionObject* callee, Value caller);

    // Moves these locals (and the arguments not yet made) into `heap`, a heap-owned
    // activation that takes this one's place (the frame's locals becoming a value a
    // callee may keep).
    void moveInto(Activation& heap);

    bool getSpecial(Vm& vm, const std::string& name, Value& out) override;
    bool setSpecial(Vm& vm, const std::string& name, const Value& value) override;
    void references(std::vector<Object*>& out) const override;

private:
    void materialize(Vm& vm, const std::string& name);

    bool argumentsOffered_ = false;
    std::vector<Value> args_;
    FunctionObject* callee_ = nullptr;
    Value caller_;
};

}  // namespace swf::avm1
