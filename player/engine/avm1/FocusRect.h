#pragma once
// _focusrect: on a level it is the player-wide switch for focus rectangles; every other clip,
// button and text field holds its own setting, unset (null) until a script gives one.
#include "avm1/Vm.h"

namespace swf {
class DisplayObject;
}

namespace swf::avm1 {

Value focusRectProperty(Vm& vm, DisplayObject& instance);
void setFocusRectProperty(Vm& vm, DisplayObject& instance, const Value& value);
// Whether the instance shows a rectangle when it holds the focus.
bool showsFocusRect(const Vm& vm, const DisplayObject& instance);

}  // namespace swf::avm1
