#pragma once
// Which text needs a device font, and asking the host for one.
#include <memory>
#include <vector>

#include "model/Font.h"
#include "player/Host.h"

namespace swf {

// True when any glyph of the font has an outline. A font defined for device text keeps its
// character codes but leaves every glyph shape empty.
bool hasOutlines(const FontDef& font);

// The host's device font standing in for `font` (its name, bold and italic; a field without
// a font asks for the default sans), holding `codes`. Null when the host has none.
std::shared_ptr<const FontDef> lookUpDeviceFont(Host& host, const FontDef* font, std::vector<uint16_t> codes);

}  // namespace swf
