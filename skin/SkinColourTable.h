#pragma once
// The skin's colour table: 19 slots, each with a flag telling whether the skin gave it. A slot
// the skin leaves out holds a system colour reference (0xFF0000nn, nn the COLOR_ index) that
// every consumer resolves before use.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "SkinColour.h"

namespace velmora::skin {

class TQuickIni;

enum SkinColourSlot : size_t {
    kWindowTextSlot = 0,
    kTitleTextActiveSlot = 1,
    kTitleTextNoActiveSlot = 2,
    kButtonFaceSlot = 3,
    kButtonTextSlot = 4,
    kButtonHilightSlot = 5,
    kButtonlightSlot = 6,
    kButtonShadowSlot = 7,
    kButtonDkShadowSlot = 8,
    kHilightTextSlot = 11,
    kHilightSlot = 12,
    kMenubarSlot = 13,
    kMenuBarTextSlot = 14,
    kMenuTextSlot = 15,
    kMenuSlot = 16,
    kCaptionColourSlot = 17,  // computed after loading
    kScrollbarSlot = 18,
};
inline constexpr size_t kSkinColourSlots = 19;

// Windows COLOR_ indices the defaults refer to.
namespace syscolour {
inline constexpr int kScrollbar = 0, kMenu = 4, kMenuText = 7, kWindowText = 8, kCaptionText = 9,
                     kHighlight = 13, kHighlightText = 14, kBtnFace = 15, kBtnShadow = 16, kBtnText = 18,
                     kInactiveCaptionText = 19, kBtnHighlight = 20, k3DDkShadow = 21;
}

struct SkinColourTable {
    std::array<Colour, kSkinColourSlots> colours{};
    std::array<bool, kSkinColourSlots> given{};

    Colour operator[](size_t slot) const { return colours[slot]; }
};

// One slot as section "Colours" fills it.
struct SkinColourKey {
    size_t slot;
    const char* key;
    int defaultSystemColour;  // -1: the default is another slot's value (Menubar takes ButtonFace)
};

// In the order the slots are read; a default that names another slot sees its value already read.
const std::array<SkinColourKey, 16>& skinColourReadOrder();

SkinColourTable readSkinColourTable(const TQuickIni& ini);

// One entry per section named "COLOUR..." (but not "COLOURS"), in file order: key "color".
std::vector<Colour> readExtraColours(const TQuickIni& ini, const std::vector<std::string>& sections);

// "Customcolors": Color0 to Color9, white when missing.
std::array<Colour, 10> readCustomColours(const TQuickIni& ini);

}  // namespace velmora::skin
