#pragma once
// Where the pointer and the mouse button are relative to something that acts as a button: a
// button character, or a clip a script gave button handlers. Both follow the same state
// machine, and each change of state is one event (press, release, roll over...).
#include <cstdint>

namespace swf {

enum class PointerPhase : uint8_t { Idle, OverUp, OverDown, OutDown };

}  // namespace swf
