// Selection: which instance holds the keyboard focus (getFocus, setFocus), the selected range
// of the focused text field, and listeners that hear onSetFocus(old, new).
#include <algorithm>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "player/ActionInterpreter.h"
#include "player/DisplayObject.h"
#include "player/EditTextInstance.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

// A dotted path ("_level0.form.name", "form.name"), read as members from the root.
DisplayObject* instanceAtPath(Vm& vm, const std::string& path) {
    Value at = vm.rootClip ? Value(vm.clipObject(vm.rootClip)) : Value();
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = path.find('.', begin);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(begin, end - begin);
        if (begin == 0 && (part == "_root" || levelNumber(part) >= 0)) {
            MovieClip* clip = part == "_root" ? vm.rootClip : (vm.services ? vm.services->levelByName(part) : nullptr);
            at = clip ? Value(vm.clipObject(clip)) : Value();
        } else {
            at = vm.getMember(at, part);
        }
        if (!at.object()) return nullptr;
        begin = end + 1;
    }
    return at.object() ? at.object()->displayObject() : nullptr;
}

Value getFocus(Vm& vm, NativeCall&) {
    DisplayObject* focused = vm.services ? vm.services->focus() : nullptr;
    if (!focused) return Value::null();
    return Value(dotPath(focused));
}

Value setFocus(Vm& vm, NativeCall& call) {
    if (!vm.services || call.args.empty()) return Value(false);
    const Value& target = call.arg(0);
    DisplayObject* instance = nullptr;
    if (target.isNullish()) return Value(vm.services->setFocus(nullptr));
    if (Object* obj = target.object()) instance = obj->displayObject();
    else instance = instanceAtPath(vm, vm.toString(target));
    if (!instance) return Value(false);
    return Value(vm.services->setFocus(instance));
}

// The focused text field and its selection; -1 without one.
EditTextInstance* focusedField(Vm& vm) {
    DisplayObject* focused = vm.services ? vm.services->focus() : nullptr;
    return dynamic_cast<EditTextInstance*>(focused);
}

template <size_t (EditTextInstance::*Index)() const>
Value selectionIndex(Vm& vm, NativeCall&) {
    EditTextInstance* field = focusedField(vm);
    if (!field || !field->hasSelection()) return Value(-1);
    return Value(static_cast<double>((field->*Index)()));
}

// setSelection(anchor[, caret]) in the focused field; a missing caret is the text's end.
Value setSelection(Vm& vm, NativeCall& call) {
    EditTextInstance* field = focusedField(vm);
    if (!field || call.args.empty()) return Value();
    auto index = [&](const Value& v) {
        if (v.isUndefined()) return SIZE_MAX;
        const double n = vm.toNumber(v);
        return n >= 0 ? static_cast<size_t>(std::min(n, 4294967295.0)) : size_t{0};
    };
    field->setSelection(index(call.arg(0)), index(call.arg(1)));
    return Value();
}}  // namespace

void installSelection(Vm& vm) {
    Object* selection = vm.newObject();
    vm.define(vm.global, "Selection", Value(selection));
    vm.defineMethod(selection, "getFocus", getFocus);
    vm.defineMethod(selection, "setFocus", setFocus);
    vm.defineMethod(selection, "getBeginIndex", selectionIndex<&EditTextInstance::selectionBegin>);
    vm.defineMethod(selection, "getEndIndex", selectionIndex<&EditTextInstance::selectionEnd>);
    vm.defineMethod(selection, "getCaretIndex", selectionIndex<&EditTextInstance::caretIndex>);
    vm.defineMethod(selection, "setSelection", setSelection);
    makeBroadcaster(vm, selection);
}

}  // namespace swf::avm1
