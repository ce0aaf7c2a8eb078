#pragma once
// The skin's colours, taken from the catalogue window's own pictures: the violet of its header
// band (58,28,113 to 92,52,170 and down to 40,20,80) and of the program icon (138,92,246 to
// 76,29,149), the lavender wash of the support dialog (237,233,254), and the amber spark of
// the maker's logo (245,158,11) for the one warm accent: the close button under the mouse.
#include "SkinColour.h"

namespace velmora::skinart::palette {

using skin::rgb;

// The caption flows into the header band: it ends on the band's top colour.
constexpr skin::Colour kCaptionTop = rgb(104, 64, 186);
constexpr skin::Colour kCaptionBottom = rgb(58, 28, 113);
constexpr skin::Colour kCaptionHighlight = rgb(140, 104, 222);
constexpr skin::Colour kCaptionInactiveTop = rgb(170, 162, 192);
constexpr skin::Colour kCaptionInactiveBottom = rgb(136, 126, 162);
constexpr skin::Colour kCaptionInactiveHighlight = rgb(196, 190, 212);

constexpr skin::Colour kFrameOuter = rgb(36, 18, 72);
constexpr skin::Colour kFrameMiddle = rgb(86, 48, 160);
constexpr skin::Colour kFrameInner = rgb(58, 28, 113);
constexpr skin::Colour kFrameInactiveOuter = rgb(104, 96, 126);
constexpr skin::Colour kFrameInactiveMiddle = rgb(150, 142, 172);
constexpr skin::Colour kFrameInactiveInner = rgb(136, 126, 162);

constexpr skin::Colour kViolet900 = rgb(40, 20, 80);
constexpr skin::Colour kViolet800 = rgb(76, 29, 149);
constexpr skin::Colour kViolet700 = rgb(92, 52, 170);
constexpr skin::Colour kViolet600 = rgb(124, 84, 214);
constexpr skin::Colour kViolet500 = rgb(138, 92, 246);
constexpr skin::Colour kViolet400 = rgb(167, 139, 250);
constexpr skin::Colour kViolet300 = rgb(196, 181, 253);
constexpr skin::Colour kViolet200 = rgb(221, 214, 254);
constexpr skin::Colour kViolet100 = rgb(237, 233, 254);
constexpr skin::Colour kViolet50 = rgb(245, 243, 255);

constexpr skin::Colour kAmber = rgb(245, 158, 11);
constexpr skin::Colour kAmberLight = rgb(252, 211, 77);
constexpr skin::Colour kAmberDeep = rgb(217, 119, 6);

constexpr skin::Colour kFace = rgb(241, 238, 248);       // ButtonFace: forms and panels
constexpr skin::Colour kMenu = rgb(252, 251, 255);
constexpr skin::Colour kMenuBar = rgb(246, 244, 252);
constexpr skin::Colour kTrack = rgb(245, 243, 250);      // scroll bar channel
constexpr skin::Colour kText = rgb(30, 27, 45);
constexpr skin::Colour kTextDisabled = rgb(160, 152, 180);
constexpr skin::Colour kWhite = rgb(255, 255, 255);
constexpr skin::Colour kBorder = rgb(150, 132, 200);      // resting control outline
constexpr skin::Colour kBorderDisabled = rgb(206, 202, 216);
constexpr skin::Colour kFaceDisabled = rgb(246, 245, 249);

}  // namespace velmora::skinart::palette
