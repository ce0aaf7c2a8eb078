#pragma once
// Every picture of Velmora's own skin, drawn by code. Sizes and frame orders here are what
// the description (SkinDescription) announces; the two must change together.
#include <string>
#include <vector>

#include "PixelImage.h"

namespace velmora::skinart {

namespace layout {
constexpr int kCaptionHeight = 26;
constexpr int kSideWidth = 4;
constexpr int kBottomHeight = 4;
constexpr int kCornerRadius = 4;
constexpr int kCaptionButtonWidth = 20, kCaptionButtonHeight = 18, kCaptionButtonTop = 4, kCaptionButtonGap = 2;
constexpr int kCaptionButtonFrames = 6;
constexpr int kPushButtonCell = 24, kPushButtonMargin = 5;
constexpr int kCheckCell = 13, kCheckFrames = 12, kRadioFrames = 8;
constexpr int kScrollArrowCell = 17, kScrollArrowFrames = 23;
constexpr int kMdiButtonWidth = 16, kMdiButtonHeight = 14;
}  // namespace layout

struct SkinMember {
    std::string name;  // file name inside the skin, lower case
    skin::PixelImage image;
};

// The skin's pictures, in the order the description names them.
std::vector<SkinMember> drawSkinMembers();

// The engine's own fallbacks, carried as bitmap resources: "TRACK" 16 x 4, "TRACKVERT"
// 4 x 16, and "TARVINEMENU", the 64 x 16 strip of four menu glyphs (restore, maximize,
// minimize, close) in black on a white mask colour.
skin::PixelImage drawTrackResource();
skin::PixelImage drawTrackVertResource();
skin::PixelImage drawMenuGlyphResource();

}  // namespace velmora::skinart
