#include "avm1/Activation.h"

#include <utility>

#include "avm1/Function.h"
#include "avm1/Vm.h"

namespace swf::avm1 {

void Activation::offerArguments(std::vector<Value> args, FunctionObject* callee, Value caller) {
    argumentsOffered_ = true;
    args_ = std::move(args);
    callee_ = callee;
    caller_ = std::move(caller);
}

void Activation::moveInto(Activation& heap) {
    heap.takeContentsOf(*this);
    heap.argumentsOffered_ = std::exchange(argumentsOffered_, false);
    heap.args_ = std::move(args_);
    heap.callee_ = callee_;
    heap.caller_ = std::move(caller_);
}

// Both lookups and assignments make the array first, so `arguments` behaves as a plain
// local from then on (a script may replace it).
bool Activation::getSpecial(Vm& vm, const std::string& name, Value&) {
    materialize(vm, name);
    return false;
}

bool Activation::setSpecial(Vm& vm, const std::string& name, const Value&) {
    materialize(vm, name);
    return false;
}

void Activation::materialize(Vm& vm, const std::string& name) {
    if (!argumentsOffered_ || name.size() != 9 || vm.key(name) != "arguments") return;
    argumentsOffered_ = false;
    // A parameter or a local of that name came first and stays.
    if (findOwn("arguments")) return;
    ArrayObject* arguments = vm.newArray(std::move(args_));
    vm.define(arguments, "callee", Value(callee_));
    vm.define(arguments, "caller", caller_);
    vm.define(this, "arguments", Value(arguments), 0);
}

void Activation::references(std::vector<Object*>& out) const {
    Object::references(out);
    if (!argumentsOffered_) return;
    for (const Value& v : args_)
        if (Object* o = v.object()) out.push_back(o);
    if (callee_) out.push_back(callee_);
    if (Object* o = caller_.object()) out.push_back(o);
}

}  // namespace swf::avm1
