#pragma once
// Embedded fonts (DefineFont 1-3 with the tags that add to them). Glyph outlines are shapes
// in em-square units: an em is 1024 units for DefineFont/DefineFont2 and 20480 for DefineFont3,
// so a glyph drawn at height h twips is scaled by h / emSquare().
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Shape.h"

namespace swf {

struct KerningPair {
    uint16_t left = 0, right = 0;  // character codes
    int16_t adjustment = 0;
};

struct FontLayout {
    uint16_t ascent = 0, descent = 0;
    int16_t leading = 0;
    std::vector<int16_t> advances;  // per glyph, em units
    std::vector<Rect> bounds;       // per glyph
    std::vector<KerningPair> kerning;
};

// Stroke-hinting zones of one glyph (DefineFontAlignZones), in em units.
struct GlyphAlignZone {
    float left = 0, width = 0, bottom = 0, height = 0;
    bool hasX = false, hasY = false;
};

struct FontDef {
    uint8_t version = 1;     // 1, 2 or 3 (the DefineFont tag)
    std::string name;        // as stored: UTF-8 from SWF 6 on, else the system code page
    bool bold = false, italic = false, smallText = false;
    bool shiftJis = false, ansi = false, wideCodes = false;
    uint8_t language = 0;
    std::vector<ShapeDef> glyphs;
    std::vector<uint16_t> codes;  // character code of each glyph (empty until DefineFontInfo for DefineFont 1)
    std::optional<FontLayout> layout;
    std::vector<GlyphAlignZone> alignZones;
    uint8_t csmTableHint = 0;  // 0 thin, 1 medium, 2 thick
    std::string fullName, copyright;  // DefineFontName

    double emSquare() const { return version >= 3 ? 20480.0 : 1024.0; }
    // The glyph index of a character code, or -1.
    int glyphIndex(uint16_t code) const {
        for (size_t i = 0; i < codes.size(); ++i)
            if (codes[i] == code) return static_cast<int>(i);
        return -1;
    }
};

}  // namespace swf
