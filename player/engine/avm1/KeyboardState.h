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
    uint8_t lastCode = 0;
    uint16_t lastAscii = 0;
    bool capsLock = false, numLock = false, scrollLock = false;

    void press(uint8_t code, uint16_t ascii) {
        down.set(code);
        lastCode = code;
        lastAscii = ascii;
        // A toggle key flips on its press; holding it (repeats) does not flip it again.
        if (code == keycode::kCapsLock) capsLock = !capsLock;
        else if (code == keycode::kNumLock) numLock = !numLock;
        else if (code == keycode::kScrollLock) scrollLock = !scrollLock;
    }
    void release(uint8_t code, uint16_t ascii) {
        down.reset(code);
        lastCode = code;
        lastAscii = ascii;
    }
};

}  // namespace swf::avm1
