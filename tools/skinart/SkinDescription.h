#pragma once
// The description of Velmora's own skin (the ".ini" member): which member each element
// uses, its frames, margins and flags, the caption buttons, the caption text and the colours.
#include <string>

namespace velmora::skinart {

inline constexpr const char* kDescriptionName = "velmora.ini";

std::string skinDescription();

}  // namespace velmora::skinart
