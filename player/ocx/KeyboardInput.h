#pragma once
// Keyboard messages as a movie wants them. Scripts read a key's code and the character it
// types together, when it goes down (Key.getCode, Key.getAscii), but Windows sends the
// character afterwards, as WM_CHAR, once the container has translated the key. So a key that
// may type something is held back until its character arrives, or until the next keyboard
// message shows that none will. Characters then go to the focused field as typing, and the
// control characters as editing commands.
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>

#include "player/TextCommand.h"

namespace vm::flash {

// Where the translated input goes (the playback).
class KeyboardTarget {
public:
    virtual ~KeyboardTarget() = default;
    // `code` is the key as scripts see it (the virtual-key code), `character` what it types
    // (0 for nothing).
    virtual void KeyDown(std::uint8_t code, char32_t character) = 0;
    virtual void KeyUp(std::uint8_t code, char32_t character) = 0;
    virtual void TypeCharacter(char32_t character) = 0;
    virtual void EditText(swf::TextCommand command) = 0;
};

class KeyboardInput {
public:
    // Handles WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP and WM_CHAR; false for any
    // other message.
    bool OnMessage(UINT message, WPARAM wParam, KeyboardTarget& target);
    // The keyboard went elsewhere: a key held back goes down with no character, so that it
    // still comes up in the movie.
    void Flush(KeyboardTarget& target);

private:
    void Down(std::uint8_t code, KeyboardTarget& target);
    void Up(std::uint8_t code, KeyboardTarget& target);
    void Character(char16_t unit, KeyboardTarget& target);
    void Deliver(char32_t character, KeyboardTarget& target);

    std::optional<std::uint8_t> heldBack_;       // a key down whose character may follow
    char16_t highSurrogate_ = 0;                 // the first half of a character beyond the BMP
    std::array<char32_t, 256> typedBy_{};        // what each key typed when it went down
};

} // namespace vm::flash
