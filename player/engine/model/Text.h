#pragma once
// Static text (DefineText 1-2), edit text fields (DefineEditText) and the anti-aliasing
// settings CSMTextSettings attaches to either.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Geometry.h"

namespace swf {

struct GlyphEntry {
    uint32_t index = 0;  // into the font's glyphs
    int32_t advance = 0; // twips to the next glyph's origin
};

// Each record may change font, colour, position or height; what it leaves out carries on
// from the record before.
struct TextRecord {
    std::optional<uint16_t> fontId;
    std::optional<Rgba> color;
    std::optional<int16_t> xOffset, yOffset;
    std::optional<uint16_t> height;  // twips; present whenever fontId is
    std::vector<GlyphEntry> glyphs;
};

struct TextDef {
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
};

enum class TextAlign : uint8_t { Left, Right, Center, Justify };

struct EditTextLayout {
    TextAlign align = TextAlign::Left;
    uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
    int16_t leading = 0;
};

struct EditTextDef {
    Rect bounds;
    bool wordWrap = false, multiline = false, password = false, readOnly = false;
    bool autoSize = false, noSelect = false, border = false, wasStatic = false, html = false, useOutlines = false;
    std::optional<uint16_t> fontId;
    std::string fontClass;            // SWF 9+ font by class name
    std::optional<uint16_t> height;   // twips
    std::optional<Rgba> color;
    std::optional<uint16_t> maxLength;
    std::optional<EditTextLayout> layout;
    std::string variableName;
    std::optional<std::string> initialText;
};

struct TextRenderSettings {
    bool advancedAntiAliasing = false;  // "FlashType"
    uint8_t gridFit = 0;                // 0 none, 1 pixel, 2 subpixel (LCD)
    float thickness = 0, sharpness = 0;
};

}  // namespace swf
