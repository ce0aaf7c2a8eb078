#include "decode/FontReader.h"

#include "decode/Primitives.h"
#include "decode/ShapeReader.h"

namespace swf {
namespace {

// Glyph i spans offsets[i]..offsets[i+1] (the last one up to `end`), relative to `table`.
std::vector<ShapeDef> readGlyphs(std::span<const uint8_t> table, const std::vector<uint32_t>& offsets, uint32_t end) {
    std::vector<ShapeDef> glyphs;
    glyphs.reserve(offsets.size());
    for (size_t i = 0; i < offsets.size(); ++i) {
        uint32_t from = offsets[i];
        uint32_t to = i + 1 < offsets.size() ? offsets[i + 1] : end;
        if (from > to || to > table.size())
            fail("glyph " + std::to_string(i) + " offsets " + std::to_string(from) + ".." + std::to_string(to) +
                 " lie outside the font's " + std::to_string(table.size()) + " bytes");
        ByteReader glyph(table.subspan(from, to - from));
        glyphs.push_back(glyph.atEnd() ? ShapeDef{} : readGlyphShape(glyph));
    }
    return glyphs;
}

}  // namespace

FontDef readDefineFont(ByteReader& r) {
    FontDef font;
    font.version = 1;
    auto table = r.rest();
    ByteReader offsetsReader(table);
    uint16_t first = offsetsReader.u16();
    if (first % 2 != 0 || first > table.size()) fail("font offset table of " + std::to_string(first) + " bytes");
    std::vector<uint32_t> offsets{first};
    for (size_t i = 1; i < first / 2u; ++i) offsets.push_back(offsetsReader.u16());
    font.glyphs = readGlyphs(table, offsets, static_cast<uint32_t>(table.size()));
    return font;
}

FontDef readDefineFont2(ByteReader& r, int fontVersion) {
    FontDef font;
    font.version = static_cast<uint8_t>(fontVersion);
    uint8_t flags = r.u8();
    bool hasLayout = flags & 0x80;
    bool wideOffsets = flags & 0x08;
    font.shiftJis = flags & 0x40;
    font.smallText = flags & 0x20;
    font.ansi = flags & 0x10;
    font.wideCodes = flags & 0x04;
    font.italic = flags & 0x02;
    font.bold = flags & 0x01;
    font.language = r.u8();
    font.name = r.fixedString(r.u8());
    uint16_t count = r.u16();

    auto table = r.data().subspan(r.position());
    std::vector<uint32_t> offsets(count);
    for (auto& o : offsets) o = wideOffsets ? r.u32() : r.u16();
    uint32_t codeTableOffset = 0;
    // Fonts without glyphs (device fonts) may end right here.
    if (count > 0 || r.remaining() > 0) codeTableOffset = wideOffsets ? r.u32() : r.u16();
    if (count > 0) {
        if (codeTableOffset > table.size()) fail("font code table offset points past the tag");
        font.glyphs = readGlyphs(table, offsets, codeTableOffset);
        r = ByteReader(table.subspan(codeTableOffset));
    }
    font.codes.reserve(count);
    for (uint16_t i = 0; i < count; ++i) font.codes.push_back(font.wideCodes ? r.u16() : r.u8());

    if (hasLayout) {
        FontLayout layout;
        layout.ascent = r.u16();
        layout.descent = r.u16();
        layout.leading = r.s16();
        layout.advances.reserve(count);
        for (uint16_t i = 0; i < count; ++i) layout.advances.push_back(r.s16());
        layout.bounds.reserve(count);
        for (uint16_t i = 0; i < count; ++i) layout.bounds.push_back(readRect(r));
        // Writers often leave the kerning count out when there is no kerning.
        uint16_t kerningCount = r.remaining() >= 2 ? r.u16() : 0;
        for (uint16_t i = 0; i < kerningCount; ++i) {
            KerningPair k;
            k.left = font.wideCodes ? r.u16() : r.u8();
            k.right = font.wideCodes ? r.u16() : r.u8();
            k.adjustment = r.s16();
            layout.kerning.push_back(k);
        }
        font.layout = std::move(layout);
    }
    return font;
}

void readFontInfo(ByteReader& r, int infoVersion, FontDef& font) {
    font.name = r.fixedString(r.u8());
    uint8_t flags = r.u8();
    // Bits: reserved 2, small text, Shift-JIS, ANSI, italic, bold, wide codes.
    font.wideCodes = flags & 0x01;
    font.smallText = flags & 0x20;
    font.shiftJis = flags & 0x10;
    font.ansi = flags & 0x08;
    font.italic = flags & 0x04;
    font.bold = flags & 0x02;
    if (infoVersion >= 2) font.language = r.u8();
    bool wide = font.wideCodes || infoVersion >= 2;
    // One code per glyph; read them all, so a font defined with fewer glyphs loses nothing.
    font.codes.clear();
    while (r.remaining() >= (wide ? 2u : 1u)) font.codes.push_back(wide ? r.u16() : r.u8());
}

void readFontAlignZones(ByteReader& r, FontDef& font) {
    font.csmTableHint = static_cast<uint8_t>(r.u8() >> 6);
    font.alignZones.clear();
    while (!r.atEnd()) {
        GlyphAlignZone z;
        uint8_t zones = r.u8();
        float values[4] = {};
        for (uint8_t i = 0; i < zones; ++i) {
            float coordinate = r.float16();
            float range = r.float16();
            if (i < 2) {
                values[i * 2] = coordinate;
                values[i * 2 + 1] = range;
            }
        }
        z.left = values[0];
        z.width = values[1];
        z.bottom = values[2];
        z.height = values[3];
        uint8_t mask = r.u8();
        z.hasY = mask & 0x02;
        z.hasX = mask & 0x01;
        font.alignZones.push_back(z);
    }
}

void readFontName(ByteReader& r, FontDef& font) {
    font.fullName = r.string();
    font.copyright = r.string();
}

}  // namespace swf
