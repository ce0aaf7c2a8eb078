#include "avm1/FocusRect.h"

#include <cmath>

#include "player/DisplayObject.h"

namespace swf::avm1 {

namespace {

// The levels stand for the whole player (the setting outlives a movie loaded over them).
bool isLevel(const DisplayObject& instance) { return instance.parent == nullptr; }

}  // namespace

Value focusRectProperty(Vm& vm, DisplayObject& instance) {
    // Version 5 has the switch as the number it always was; later ones show a boolean.
    if (isLevel(instance)) return vm.version() <= 5 ? Value(vm.showFocusRect ? 1.0 : 0.0) : Value(vm.showFocusRect);
    if (!instance.focusRect) return Value::null();
    return Value(*instance.focusRect);
}

void setFocusRectProperty(Vm& vm, DisplayObject& instance, const Value& value) {
    if (!isLevel(instance)) {
        // Any value is read as a boolean by the movie's version rules; none clears it.
        if (value.isNullish()) instance.focusRect.reset();
        else instance.focusRect = vm.toBoolean(value);
        return;
    }
    // The switch reads a number in every version ("0" turns it off even where that string
    // is true), an object counts as off without being asked for a value, and none or
    // not-a-number leaves it as it was.
    if (value.isNullish()) return;
    if (value.isBoolean()) {
        vm.showFocusRect = value.boolean();
    } else if (value.object()) {
        vm.showFocusRect = false;
    } else {
        double n = vm.toNumber(value);
        if (!std::isnan(n)) vm.showFocusRect = n != 0;
    }
}

bool showsFocusRect(const Vm& vm, const DisplayObject& instance) { return instance.focusRect.value_or(vm.showFocusRect); }

}  // namespace swf::avm1
