#pragma once
// Editing commands a host gives the focused text field: its keyboard shortcuts and menu
// (the clipboard's are the host's own: Host::clipboardText).
#include <cstdint>

namespace swf {

enum class TextCommand : uint8_t { Paste, Copy, Cut, SelectAll, Enter, MoveLeft, MoveRight, Backspace, Delete };

}  // namespace swf
