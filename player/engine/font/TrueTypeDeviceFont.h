#pragma once
// Turns the characters a text needs from a TrueType font into the engine's font model, so
// device-font text is laid out and drawn exactly like text with embedded outlines.
#include <memory>
#include <span>
#include <string>

#include "font/TrueTypeFont.h"
#include "model/Font.h"

namespace swf {

// A font of the DefineFont3 em square (20480 units, which keeps outlines of a 2048-unit font
// exact) holding each requested code the TrueType font has, in request order without repeats.
// A glyph whose data is damaged keeps its advance and draws nothing.
std::shared_ptr<FontDef> fontDefFromTrueType(const TrueTypeFont& font, const std::string& name, bool bold,
                                             bool italic, std::span<const uint16_t> codes);

}  // namespace swf
