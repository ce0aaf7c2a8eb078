#pragma once
// Static text (DefineText, DefineText2) laid out with an embedded font, and text fields
// (DefineEditText).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Font.h"
#include "core/Geometry.h"

namespace swfw {

struct GlyphEntry {
    uint32_t index = 0;
    int32_t advance = 0;  // twips
};

// A text record: each set field changes the style for this and the following records.
struct TextRun {
    std::optional<uint16_t> fontId;
    uint16_t height = 0;  // twips; written with the font
    std::optional<swf::Rgba> color;
    std::optional<int16_t> x, y;
    std::vector<GlyphEntry> glyphs;
};

struct StaticText {
    swf::Rect bounds;
    swf::Matrix matrix;
    std::vector<TextRun> runs;
};

// Characters of UTF-8 text; malformed sequences are refused.
std::u32string decodeUtf8(std::string_view text);
// Glyphs of `text` in `font` at `height` twips, advancing by the font's advances. A
// character the font lacks is an error, not a silent gap.
std::vector<GlyphEntry> layoutGlyphs(const Font& font, std::string_view utf8, uint16_t height);
// Width in twips of the glyphs laid out.
int32_t advanceWidth(const std::vector<GlyphEntry>& glyphs);

// Version 1 writes RGB colours (opaque only), version 2 RGBA.
std::vector<uint8_t> encodeDefineText(uint16_t id, const StaticText& text, int version);

struct EditText {
    swf::Rect bounds;
    std::optional<uint16_t> fontId;
    uint16_t fontHeight = 240;
    std::optional<swf::Rgba> color;
    std::optional<uint16_t> maxLength;
    std::optional<std::string> initialText;
    std::string variableName;
    bool wordWrap = false, multiline = false, password = false, readOnly = false;
    bool autoSize = false, noSelect = false, border = false, html = false, useOutlines = false;
    struct Layout {
        uint8_t align = 0;  // 0 left, 1 right, 2 centre, 3 justify
        uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
        int16_t leading = 0;
    };
    std::optional<Layout> layout;
};

std::vector<uint8_t> encodeDefineEditText(uint16_t id, const EditText& field);

}  // namespace swfw
