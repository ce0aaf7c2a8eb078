#include "framework/Color.h"

#include <windows.h>

#include <cstdio>

#include "framework/Text.h"

namespace vm {

namespace {
struct NamedColor { const char* name; TColor color; };
constexpr NamedColor kNamedColors[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clNone", clNone}, {"clDefault", clDefault},
    {"clScrollBar", clScrollBar}, {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", SystemColor(3)}, {"clMenu", SystemColor(4)}, {"clWindow", clWindow},
    {"clWindowFrame", SystemColor(6)}, {"clMenuText", SystemColor(7)}, {"clWindowText", clWindowText},
    {"clCaptionText", SystemColor(9)}, {"clActiveBorder", SystemColor(10)},
    {"clInactiveBorder", SystemColor(11)}, {"clAppWorkSpace", SystemColor(12)},
    {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
    {"clInactiveCaptionText", SystemColor(19)}, {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk}};
} // namespace

std::uint32_t ColorToRGB(TColor color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

std::optional<TColor> IdentToColor(std::string_view name) {
    for (const auto& c : kNamedColors)
        if (SameText(c.name, name)) return c.color;
    return std::nullopt;
}

std::string ColorToString(TColor color) {
    for (const auto& c : kNamedColors)
        if (c.color == color) return c.name;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(color));
    return buffer;
}

} // namespace vm
