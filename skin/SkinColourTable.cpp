#include "SkinColourTable.h"

#include "ColourValue.h"
#include "SkinArchive.h"
#include "WinSkinIni.h"

namespace velmora::skin {

const std::array<SkinColourKey, 16>& skinColourReadOrder() {
    static const std::array<SkinColourKey, 16> order{{
        {kWindowTextSlot, "WindowText", syscolour::kWindowText},
        {kButtonFaceSlot, "ButtonFace", syscolour::kBtnFace},
        {kScrollbarSlot, "Scrollbar", syscolour::kScrollbar},
        {kHilightTextSlot, "HilightText", syscolour::kHighlightText},
        {kHilightSlot, "Hilight", syscolour::kHighlight},
        {kMenubarSlot, "Menubar", -1},
        {kMenuSlot, "Menu", syscolour::kMenu},
        {kMenuTextSlot, "MenuText", syscolour::kMenuText},
        {kButtonTextSlot, "ButtonText", syscolour::kBtnText},
        {kButtonHilightSlot, "ButtonHilight", syscolour::kBtnHighlight},
        {kButtonlightSlot, "Buttonlight", syscolour::kBtnHighlight},
        {kButtonShadowSlot, "ButtonShadow", syscolour::kBtnShadow},
        {kButtonDkShadowSlot, "ButtonDkShadow", syscolour::k3DDkShadow},
        {kMenuBarTextSlot, "MenuBarText", syscolour::kMenuText},
        {kTitleTextActiveSlot, "TitleTextActive", syscolour::kCaptionText},
        {kTitleTextNoActiveSlot, "TitleTextNoActive", syscolour::kInactiveCaptionText},
    }};
    return order;
}

namespace {

constexpr const char* kColours = "Colours";

// A colour value and whether the skin gave it (a key present with a non-empty value).
Colour readColour(const TQuickIni& ini, std::string_view section, std::string_view key, Colour fallback, bool* given) {
    const std::string value = ini.ReadString(section, key, "");
    if (given) *given = !value.empty();
    return static_cast<Colour>(parseColourValue(value, static_cast<int32_t>(fallback)));
}

}  // namespace

SkinColourTable readSkinColourTable(const TQuickIni& ini) {
    SkinColourTable table;
    for (const SkinColourKey& entry : skinColourReadOrder()) {
        const Colour fallback = entry.defaultSystemColour >= 0 ? systemColourReference(entry.defaultSystemColour)
                                                               : table.colours[kButtonFaceSlot];
        table.colours[entry.slot] = readColour(ini, kColours, entry.key, fallback, &table.given[entry.slot]);
    }
    return table;
}

std::vector<Colour> readExtraColours(const TQuickIni& ini, const std::vector<std::string>& sections) {
    std::vector<Colour> colours;
    for (const std::string& section : sections) {
        const std::string name = asciiLower(section);
        if (name.rfind("colour", 0) != 0 || name == "colours") continue;
        colours.push_back(readColour(ini, section, "color", systemColourReference(syscolour::kWindowText), nullptr));
    }
    return colours;
}

std::array<Colour, 10> readCustomColours(const TQuickIni& ini) {
    std::array<Colour, 10> colours{};
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = readColour(ini, "Customcolors", "Color" + std::to_string(i), kWhite, nullptr);
    return colours;
}

}  // namespace velmora::skin
