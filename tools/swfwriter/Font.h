#pragma once
// Embedded fonts: glyph outlines with their character codes and metrics, written as
// DefineFont (+ DefineFontInfo), DefineFont2 or DefineFont3.
#include <cstdint>
#include <string>
#include <vector>

#include "ShapeBuilder.h"

namespace swfw {

struct Glyph {
    char32_t code = 0;
    ShapeBuilder outline;  // in font units, y down, baseline at 0; filled with fill style 1
    int16_t advance = 0;   // font units

    // A builder whose fill style 1 exists, so outlines can select it as glyphs do.
    static ShapeBuilder newOutline();
};

struct Font {
    std::string name;  // bytes as stored: UTF-8 from SWF 6, the ANSI code page before
    bool bold = false, italic = false, smallText = false;
    uint8_t language = 0;
    // 1024 units to the em for DefineFont and DefineFont2, 20480 for DefineFont3.
    int emSize = 1024;
    bool hasLayout = true;  // ascent, descent, leading, advances and bounds (DefineFont2/3)
    int16_t ascent = 0, descent = 0, leading = 0;
    std::vector<Glyph> glyphs;

    // Index of the glyph for a character, or -1.
    int glyphIndex(char32_t code) const;
};

std::vector<uint8_t> encodeDefineFont(uint16_t id, const Font& font);
// Names the font and maps glyphs to characters: one byte per code, or two with `wideCodes`.
std::vector<uint8_t> encodeDefineFontInfo(uint16_t id, const Font& font, bool wideCodes);
// DefineFont2 (version 2) or DefineFont3 (version 3); codes are always 16-bit.
std::vector<uint8_t> encodeDefineFont2(uint16_t id, const Font& font, int version);

}  // namespace swfw
