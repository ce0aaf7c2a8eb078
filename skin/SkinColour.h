#pragma once
// Colours as skin descriptions and the colour table hold them: red + green * 256 + blue * 65536
// (the Windows COLORREF layout). A value whose top byte is 0xFF is not a colour but a reference
// to a system colour, its low byte the COLOR_ index; only the platform can resolve it, so every
// routine that needs real channels takes a resolver.
#include <cstdint>
#include <functional>

#include "PixelImage.h"

namespace velmora::skin {

using Colour = uint32_t;

constexpr Colour kMagenta = 0xFF00FF;  // the key colour of transparent skin pictures
constexpr Colour kWhite = 0xFFFFFF;

constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr bool isSystemColourReference(Colour c) { return (c >> 24) == 0xFF; }
constexpr Colour systemColourReference(int index) { return 0xFF000000u | static_cast<Colour>(index & 0xFF); }

constexpr Pixel pixelOf(Colour c) {
    return kOpaqueBlack | (static_cast<Pixel>(redOf(c)) << 16) | (static_cast<Pixel>(greenOf(c)) << 8) |
           static_cast<Pixel>(blueOf(c));
}
constexpr Colour colourOf(Pixel p) { return rgb(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)); }

// Gives the colour of system colour index (COLOR_BTNFACE and so on); Windows asks GetSysColor.
using SystemColourResolver = std::function<Colour(int index)>;

// A plain colour as it is; a system reference through the resolver. A reference without a
// resolver throws std::invalid_argument: guessing a colour would be a silent wrong result.
Colour resolveColour(Colour c, const SystemColourResolver& resolver);

// Mixes a parts of c1 into c2. The scale is 100 for a below 100 and 1000 otherwise, so 50 and
// 500 both mean half of each while 150 means 15 % of c1; a outside 0..1000 is held to it.
Colour blend(Colour c1, Colour c2, int a, const SystemColourResolver& resolver = {});

}  // namespace velmora::skin
