#pragma once
// What the keyboard has told the movie so far: the keys held now, the last key pressed and
// the toggle keys' states. The player keeps it; the Key object reads it.
#include <bitset>
#include <cstdint>

namespace swf::avm1 {

// Virtual key codes as scripts see them (Key.getCode).
namespace keycode {
constexpr uint8_t kBackspace = 8, kTab = 9, kEnter = 13, kShift = 16, kControl = 17, kAlt = 18, kCapsLock = 20,
                  kEscape = 27, kSpace = 32, kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36, kLeft = 37,
                  kUp = 38, kRight = 39, kDown = 40, kInsert = 45, kDelete = 46, kNumLock = 144,
                  kScrollLock = 145;
}

struct KeyboardState {
    std::bitset<256> down;
    // Every key's toggle flips on each press, not on the repeats of a held key: Caps Lock's is
    // the one people know, but scripts may ask about any key, the mouse buttons included
    // (key_isToggled).
    std::bitset<256> toggled;
    uint8_t lastCode = 0;
    uint16_t lastAscii = 0;

    void press(uint8_t code, uint16_t ascii) {
        pressButton(code);
        lastCode = code;
        lastAscii = ascii;
    }
    void release(uint8_t code, uint16_t ascii) {
        down.reset(code);
        lastCode = code;
        lastAscii = ascii;
    }
    // A mouse button (1 left, 2 right, 4 middle) is a key to isDown and isToggled, but never
    // the last key pressed.
    void pressButton(uint8_t code) {
        if (!down.test(code)) toggled.flip(code);
        down.set(code);
    }
    void releaseButton(uint8_t code) { down.reset(code); }
};

}  // namespace swf::avm1
