#pragma once
// Colours: 0x00BBGGRR like COLORREF, or a system colour as 0x80000000 | COLOR_xxx index, so a
// window definition can say "clBtnFace" and follow the user's scheme.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

using TColor = std::uint32_t;

constexpr TColor SystemColor(int index) { return 0x80000000u | static_cast<TColor>(index); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1),
                 clActiveCaption = SystemColor(2), clWindow = SystemColor(5),
                 clWindowText = SystemColor(8), clHighlight = SystemColor(13),
                 clHighlightText = SystemColor(14), clBtnFace = SystemColor(15),
                 clBtnShadow = SystemColor(16), clGrayText = SystemColor(17),
                 clBtnText = SystemColor(18), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22),
                 clInfoText = SystemColor(23), clInfoBk = SystemColor(24);

// The RGB value to draw with (system colours resolved through GetSysColor).
std::uint32_t ColorToRGB(TColor color);
// "clBtnFace" -> colour; nullopt for an unknown name.
std::optional<TColor> IdentToColor(std::string_view name);
// The identifier of a named colour, else "$00BBGGRR".
std::string ColorToString(TColor color);

} // namespace vm
