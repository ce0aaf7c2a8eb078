#include "Text.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "Records.h"
#include "Writer.h"

namespace swfw {

std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<uint8_t>(text[i]);
        int extra = byte < 0x80 ? 0 : (byte & 0xE0) == 0xC0 ? 1 : (byte & 0xF0) == 0xE0 ? 2 : (byte & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size())
            throw std::invalid_argument("malformed UTF-8 text");
        char32_t c = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) throw std::invalid_argument("malformed UTF-8 text");
            c = c << 6 | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            throw std::invalid_argument("malformed UTF-8 text");
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

std::vector<GlyphEntry> layoutGlyphs(const Font& font, std::string_view utf8, uint16_t height) {
    std::vector<GlyphEntry> glyphs;
    for (char32_t c : decodeUtf8(utf8)) {
        int index = font.glyphIndex(c);
        if (index < 0)
            throw std::invalid_argument("font \"" + font.name + "\" has no glyph for U+" + std::to_string(static_cast<uint32_t>(c)));
        double advance = static_cast<double>(font.glyphs[index].advance) * height / font.emSize;
        glyphs.push_back({static_cast<uint32_t>(index), static_cast<int32_t>(std::lround(advance))});
    }
    return glyphs;
}

int32_t advanceWidth(const std::vector<GlyphEntry>& glyphs) {
    int32_t width = 0;
    for (const GlyphEntry& g : glyphs) width += g.advance;
    return width;
}

std::vector<uint8_t> encodeDefineText(uint16_t id, const StaticText& text, int version) {
    if (version != 1 && version != 2) throw std::invalid_argument("DefineText version must be 1 or 2");
    int glyphBits = 0, advanceBits = 0;
    for (const TextRun& run : text.runs) {
        if (run.glyphs.size() > 255) throw std::length_error("a text record holds at most 255 glyphs");
        for (const GlyphEntry& g : run.glyphs) {
            glyphBits = std::max(glyphBits, Writer::unsignedBits(g.index));
            advanceBits = std::max(advanceBits, Writer::signedBits(g.advance));
        }
    }
    Writer w;
    w.u16(id);
    writeRect(w, text.bounds);
    writeMatrix(w, text.matrix);
    w.u8(static_cast<uint8_t>(glyphBits));
    w.u8(static_cast<uint8_t>(advanceBits));
    for (const TextRun& run : text.runs) {
        if (run.glyphs.empty()) throw std::invalid_argument("an empty text record would read as the end of the records");
        w.ub(1, 1);  // text record type
        w.ub(0, 3);
        w.flag(run.fontId.has_value());
        w.flag(run.color.has_value());
        w.flag(run.y.has_value());
        w.flag(run.x.has_value());
        if (run.fontId) w.u16(*run.fontId);
        if (run.color) {
            if (version == 1 && run.color->a != 255) throw std::invalid_argument("translucent text needs DefineText2");
            version == 1 ? writeRgb(w, *run.color) : writeRgba(w, *run.color);
        }
        if (run.x) w.s16(*run.x);
        if (run.y) w.s16(*run.y);
        if (run.fontId) w.u16(run.height);
        w.u8(static_cast<uint8_t>(run.glyphs.size()));
        for (const GlyphEntry& g : run.glyphs) {
            w.ub(g.index, glyphBits);
            w.sb(g.advance, advanceBits);
        }
        w.align();
    }
    w.u8(0);
    return w.take();
}

std::vector<uint8_t> encodeDefineEditText(uint16_t id, const EditText& f) {
    Writer w;
    w.u16(id);
    writeRect(w, f.bounds);
    w.flag(f.initialText.has_value());
    w.flag(f.wordWrap);
    w.flag(f.multiline);
    w.flag(f.password);
    w.flag(f.readOnly);
    w.flag(f.color.has_value());
    w.flag(f.maxLength.has_value());
    w.flag(f.fontId.has_value());
    w.flag(false);  // font class
    w.flag(f.autoSize);
    w.flag(f.layout.has_value());
    w.flag(f.noSelect);
    w.flag(f.border);
    w.flag(false);  // was static
    w.flag(f.html);
    w.flag(f.useOutlines);
    if (f.fontId) {
        w.u16(*f.fontId);
        w.u16(f.fontHeight);
    }
    if (f.color) writeRgba(w, *f.color);
    if (f.maxLength) w.u16(*f.maxLength);
    if (f.layout) {
        w.u8(f.layout->align);
        w.u16(f.layout->leftMargin);
        w.u16(f.layout->rightMargin);
        w.u16(f.layout->indent);
        w.s16(f.layout->leading);
    }
    w.string(f.variableName);
    if (f.initialText) w.string(*f.initialText);
    return w.take();
}

}  // namespace swfw
