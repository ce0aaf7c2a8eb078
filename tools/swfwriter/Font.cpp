#include "Font.h"

#include <stdexcept>
#include <string>

#include "Records.h"
#include "ShapeEncoding.h"
#include "Writer.h"

namespace swfw {
namespace {

std::vector<std::vector<uint8_t>> glyphShapes(const Font& font) {
    std::vector<std::vector<uint8_t>> shapes;
    for (const Glyph& g : font.glyphs) {
        Writer w;
        writeShapeNoStyles(w, g.outline, 1, 0);
        shapes.push_back(w.take());
    }
    return shapes;
}

uint16_t codeOf(const Glyph& g, bool wide) {
    if (g.code > (wide ? 0xFFFFu : 0xFFu))
        throw std::out_of_range("character code " + std::to_string(static_cast<uint32_t>(g.code)) + " does not fit the code table");
    return static_cast<uint16_t>(g.code);
}

void checkGlyphCount(const Font& font) {
    if (font.glyphs.size() > 0xFFFF) throw std::length_error("more than 65535 glyphs");
}

}  // namespace

ShapeBuilder Glyph::newOutline() {
    ShapeBuilder b;
    b.addSolidFill({});
    return b;
}

int Font::glyphIndex(char32_t code) const {
    for (size_t i = 0; i < glyphs.size(); ++i)
        if (glyphs[i].code == code) return static_cast<int>(i);
    return -1;
}

std::vector<uint8_t> encodeDefineFont(uint16_t id, const Font& font) {
    checkGlyphCount(font);
    if (font.glyphs.empty()) throw std::invalid_argument("DefineFont needs at least one glyph: its glyph count is read from the first offset");
    auto shapes = glyphShapes(font);
    Writer w;
    w.u16(id);
    size_t offset = shapes.size() * 2;
    for (const auto& s : shapes) {
        if (offset > 0xFFFF) throw std::length_error("glyph outlines too large for DefineFont's 16-bit offsets");
        w.u16(static_cast<uint16_t>(offset));
        offset += s.size();
    }
    for (const auto& s : shapes) w.bytes(s);
    return w.take();
}

std::vector<uint8_t> encodeDefineFontInfo(uint16_t id, const Font& font, bool wideCodes) {
    if (font.name.size() > 255) throw std::length_error("font name longer than 255 bytes");
    Writer w;
    w.u16(id);
    w.u8(static_cast<uint8_t>(font.name.size()));
    w.bytes(std::vector<uint8_t>(font.name.begin(), font.name.end()));
    w.ub(0, 2);
    w.flag(font.smallText);
    w.flag(false);  // Shift-JIS
    w.flag(!wideCodes);  // ANSI
    w.flag(font.italic);
    w.flag(font.bold);
    w.flag(wideCodes);
    for (const Glyph& g : font.glyphs) {
        if (wideCodes)
            w.u16(codeOf(g, true));
        else
            w.u8(static_cast<uint8_t>(codeOf(g, false)));
    }
    return w.take();
}

std::vector<uint8_t> encodeDefineFont2(uint16_t id, const Font& font, int version) {
    if (version != 2 && version != 3) throw std::invalid_argument("DefineFont2 version must be 2 or 3");
    int expectedEm = version == 3 ? 20480 : 1024;
    if (font.emSize != expectedEm)
        throw std::invalid_argument("DefineFont" + std::to_string(version) + " glyphs use " + std::to_string(expectedEm) + " units to the em");
    if (font.name.size() > 255) throw std::length_error("font name longer than 255 bytes");
    checkGlyphCount(font);
    auto shapes = glyphShapes(font);
    size_t glyphBytes = 0;
    for (const auto& s : shapes) glyphBytes += s.size();
    // Offsets are counted from the start of the offset table and include the code table offset.
    bool wideOffsets = (shapes.size() + 1) * 2 + glyphBytes > 0xFFFF;
    size_t offsetSize = wideOffsets ? 4 : 2;

    Writer w;
    w.u16(id);
    w.flag(font.hasLayout);
    w.flag(false);  // Shift-JIS
    w.flag(font.smallText);
    w.flag(false);  // ANSI
    w.flag(wideOffsets);
    w.flag(true);  // wide codes
    w.flag(font.italic);
    w.flag(font.bold);
    w.u8(font.language);
    w.u8(static_cast<uint8_t>(font.name.size()));
    w.bytes(std::vector<uint8_t>(font.name.begin(), font.name.end()));
    w.u16(static_cast<uint16_t>(shapes.size()));
    auto writeOffset = [&](size_t v) { wideOffsets ? w.u32(static_cast<uint32_t>(v)) : w.u16(static_cast<uint16_t>(v)); };
    size_t offset = (shapes.size() + 1) * offsetSize;
    for (const auto& s : shapes) {
        writeOffset(offset);
        offset += s.size();
    }
    // A font without glyphs (a device font) has neither offsets nor a code table offset.
    if (!shapes.empty()) writeOffset(offset);
    for (const auto& s : shapes) w.bytes(s);
    for (const Glyph& g : font.glyphs) w.u16(codeOf(g, true));
    if (font.hasLayout) {
        w.s16(font.ascent);
        w.s16(font.descent);
        w.s16(font.leading);
        for (const Glyph& g : font.glyphs) w.s16(g.advance);
        for (const Glyph& g : font.glyphs) writeRect(w, g.outline.edgeBounds());
        w.u16(0);  // no kerning pairs
    }
    return w.take();
}

}  // namespace swfw
