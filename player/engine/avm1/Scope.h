#pragma once
// The scope chain of a running frame and the variable rules that walk it. Lookups go from
// the innermost scope (with-objects, the function's locals) outwards to the timeline and
// the global object; an assignment to a name found nowhere lands on the timeline, never on
// the global object (a global is only changed through _global).
#include <string>
#include <vector>

#include "avm1/Vm.h"

namespace swf::avm1 {

struct ScopeChain {
    std::vector<Object*> objects;  // outermost (global) first
    Object* locals = nullptr;      // the activation of a function, null at top level
    Object* timeline = nullptr;    // where undeclared names are assigned

    // The innermost object holding `name`, or nullptr.
    Object* find(Vm& vm, const std::string& name) const {
        for (size_t i = objects.size(); i-- > 0;)
            if (objects[i] && vm.has(objects[i], name)) return objects[i];
        return nullptr;
    }
    Object* findForAssignment(Vm& vm, const std::string& name) const {
        for (size_t i = objects.size(); i-- > 0;) {
            if (!objects[i] || objects[i] == vm.global) continue;
            if (vm.has(objects[i], name)) return objects[i];
        }
        return nullptr;
    }
};

}  // namespace swf::avm1
