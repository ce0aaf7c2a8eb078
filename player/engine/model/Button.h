#pragma once
// Buttons (DefineButton 1-2, with DefineButtonCxform and DefineButtonSound folded in).
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/SharedBytes.h"
#include "model/Filters.h"
#include "model/Sound.h"

namespace swf {

enum ButtonState : uint8_t { ButtonUp = 1, ButtonOver = 2, ButtonDown = 4, ButtonHitTest = 8 };

struct ButtonRecord {
    uint8_t states = 0;  // ButtonState bits
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;  // DefineButton2, or DefineButtonCxform for DefineButton 1
    FilterList filters;
    BlendMode blendMode = BlendMode::Normal;
};

// State transitions a button action can wait for (the file's condition bits).
enum ButtonCondition : uint16_t {
    IdleToOverUp = 0x0001, OverUpToIdle = 0x0002, OverUpToOverDown = 0x0004, OverDownToOverUp = 0x0008,
    OverDownToOutDown = 0x0010, OutDownToOverDown = 0x0020, OutDownToIdle = 0x0040, IdleToOverDown = 0x0080,
    OverDownToIdle = 0x0100,
};

struct ButtonAction {
    uint16_t conditions = 0;  // ButtonCondition bits
    uint8_t keyCode = 0;      // 0 = none; else the key that triggers the action
    SharedBytes actions;      // action bytes for the interpreter
};

struct ButtonSound {
    uint16_t soundId = 0;
    SoundInfo info;
};

struct ButtonDef {
    uint8_t version = 1;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;  // DefineButton 1: one action with OverDownToOverUp
    // Played on OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp.
    std::array<std::optional<ButtonSound>, 4> sounds;
};

}  // namespace swf
