#include "player/ocx/KeyboardInput.h"

namespace vm::flash {

namespace {

// Keys that type a character (letters, digits, punctuation, Enter, Backspace, Tab, Escape)
// have one in the current layout; arrows, function keys and modifiers do not.
bool MayType(std::uint8_t code) { return MapVirtualKeyW(code, MAPVK_VK_TO_CHAR) != 0; }

bool ControlHeld() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0 && (GetKeyState(VK_MENU) & 0x8000) == 0; }

// The editing a control character asks for; nothing for one that edits nothing.
std::optional<swf::TextCommand> EditingOf(char32_t character) {
    switch (character) {
    case 0x01: return swf::TextCommand::SelectAll;   // Ctrl+A
    case 0x03: return swf::TextCommand::Copy;        // Ctrl+C
    case 0x08: return swf::TextCommand::Backspace;
    case 0x0D: return swf::TextCommand::Enter;
    case 0x16: return swf::TextCommand::Paste;       // Ctrl+V
    case 0x18: return swf::TextCommand::Cut;         // Ctrl+X
    default: return std::nullopt;
    }
}

// Keys that edit without typing anything.
std::optional<swf::TextCommand> EditingKey(std::uint8_t code) {
    switch (code) {
    case VK_LEFT: return swf::TextCommand::MoveLeft;
    case VK_RIGHT: return swf::TextCommand::MoveRight;
    case VK_DELETE: return swf::TextCommand::Delete;
    default: return std::nullopt;
    }
}

} // namespace

bool KeyboardInput::OnMessage(UINT message, WPARAM wParam, KeyboardTarget& target) {
    const auto code = static_cast<std::uint8_t>(wParam & 0xFF);
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        Down(code, target);
        return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        Up(code, target);
        return true;
    case WM_CHAR:
        Character(static_cast<char16_t>(wParam), target);
        return true;
    default:
        return false;
    }
}

void KeyboardInput::Flush(KeyboardTarget& target) {
    if (!heldBack_) return;
    const std::uint8_t code = *heldBack_;
    heldBack_.reset();
    typedBy_[code] = 0;
    target.KeyDown(code, 0);
}

void KeyboardInput::Down(std::uint8_t code, KeyboardTarget& target) {
    Flush(target);
    highSurrogate_ = 0;
    // With Ctrl held a letter types a control character, which edits rather than types.
    if (MayType(code) || ControlHeld()) {
        heldBack_ = code;
        return;
    }
    typedBy_[code] = 0;
    target.KeyDown(code, 0);
    if (auto command = EditingKey(code)) target.EditText(*command);
}

void KeyboardInput::Up(std::uint8_t code, KeyboardTarget& target) {
    Flush(target);
    target.KeyUp(code, typedBy_[code]);
}

void KeyboardInput::Character(char16_t unit, KeyboardTarget& target) {
    if (unit >= 0xD800 && unit < 0xDC00) {
        highSurrogate_ = unit;
        return;
    }
    char32_t character = unit;
    if (unit >= 0xDC00 && unit < 0xE000) {
        if (!highSurrogate_) return;   // half a character: nothing to type
        character = 0x10000 + ((static_cast<char32_t>(highSurrogate_) - 0xD800) << 10) + (unit - 0xDC00);
    }
    highSurrogate_ = 0;
    Deliver(character, target);
}

void KeyboardInput::Deliver(char32_t character, KeyboardTarget& target) {
    if (heldBack_) {
        const std::uint8_t code = *heldBack_;
        heldBack_.reset();
        typedBy_[code] = character;
        target.KeyDown(code, character);
    }
    if (auto command = EditingOf(character)) target.EditText(*command);
    else if (character >= 0x20 && character != 0x7F) target.TypeCharacter(character);
}

} // namespace vm::flash
