#include "avm1/FocusRect.h"

#include <cmath>

#include "player/DisplayObject.h"

namespace swf::avm1 {

namespace {

// The levels stand for the whole player (the setting outlives a movie loaded over them).
bool isLevel(const DisplayObject& instance) { return instance.parent == nullptr; }

}  // namespace

Value focusRectProperty(Vm& vm, DisplayObject& instance) {
    if (isLevel(instance)) return Value(vm.showFocusRect);
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
    // is true), not-a-number counts as on, an object as off, and none leaves it as it was.
    if (value.isNullish()) return;
    if (value.isBoolean()) {
        vm.showFocusRect = value.boolean();
    } else if (value.object()) {
        vm.showFocusRect = false;
    } else {
        double n = vm.toNumber(value);
        vm.showFocusRect = std::isnan(n) || n != 0;
    }
}

bool showsFocusRect(const Vm& vm, const DisplayObject& instance) { return instance.focusRect.value_or(vm.showFocusRect); }

}  // namespace swf::avm1
