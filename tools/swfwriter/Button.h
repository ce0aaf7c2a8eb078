#pragma once
// Buttons: the characters shown in each state, and the actions run on state transitions.
#include <cstdint>
#include <optional>
#include <vector>

#include "Actions.h"
#include "core/Geometry.h"

namespace swfw {

struct ButtonRecord {
    bool up = false, over = false, down = false, hitTest = false;
    uint16_t character = 0;
    uint16_t depth = 1;
    swf::Matrix matrix;
    swf::ColorTransform colorTransform;  // DefineButton2 only; identity otherwise
};

// Transition conditions of DefineButton2 actions, as the 16-bit field stores them.
namespace ButtonCondition {
constexpr uint16_t IdleToOverDown = 0x8000;
constexpr uint16_t OutDownToIdle = 0x4000;
constexpr uint16_t OutDownToOverDown = 0x2000;
constexpr uint16_t OverDownToOutDown = 0x1000;
constexpr uint16_t OverDownToOverUp = 0x0800;  // release
constexpr uint16_t OverUpToOverDown = 0x0400;  // press
constexpr uint16_t OverUpToIdle = 0x0200;      // roll out
constexpr uint16_t IdleToOverUp = 0x0100;      // roll over
constexpr uint16_t OverDownToIdle = 0x0001;
constexpr uint16_t keyPress(uint8_t key) { return static_cast<uint16_t>((key & 0x7F) << 1); }
}  // namespace ButtonCondition

struct ButtonAction {
    uint16_t conditions = ButtonCondition::OverDownToOverUp;
    Actions actions;
};

struct Button {
    std::vector<ButtonRecord> records;
    Actions onRelease;                  // DefineButton: runs on release inside the button
    std::vector<ButtonAction> actions;  // DefineButton2
    bool trackAsMenu = false;           // DefineButton2
};

std::vector<uint8_t> encodeDefineButton(uint16_t id, const Button& button);
std::vector<uint8_t> encodeDefineButton2(uint16_t id, const Button& button);
// DefineButtonCxform: one colour transform (no alpha) for a DefineButton's characters.
std::vector<uint8_t> encodeDefineButtonCxform(uint16_t id, const swf::ColorTransform& transform);

}  // namespace swfw
