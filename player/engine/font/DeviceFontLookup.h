#pragma once
// Which text needs a device font, and asking the host for one.
#include <memory>
#include <string>
#include <vector>

#include "model/Font.h"
#include "player/Host.h"

namespace swf {

// True when any glyph of the font has an outline. A font defined for device text keeps its
// character codes but leaves every glyph shape empty.
bool hasOutlines(const FontDef& font);

// The font's name as the movie means it (some tools store the terminator with it).
std::string fontFamily(const FontDef& font);

// The host's device font of that family and style holding `codes`; null when it has none.
std::shared_ptr<const FontDef> lookUpDeviceFont(Host& host, std::string family, bool bold, bool italic,
                                                std::vector<uint16_t> codes);

// The device font standing in for `font` (its name, bold and italic).
std::shared_ptr<const FontDef> lookUpDeviceFont(Host& host, const FontDef& font, std::vector<uint16_t> codes);

}  // namespace swf
