#include "decode/TextReader.h"

#include "decode/Primitives.h"

namespace swf {

TextDef readDefineText(ByteReader& r, int textVersion) {
    TextDef t;
    t.bounds = readRect(r);
    t.matrix = readMatrix(r);
    uint8_t glyphBits = r.u8();
    uint8_t advanceBits = r.u8();
    if (glyphBits > 32 || advanceBits > 32)
        fail("glyph fields of " + std::to_string(glyphBits) + "/" + std::to_string(advanceBits) + " bits");
    for (;;) {
        uint8_t flags = r.u8();
        if (flags == 0) break;
        TextRecord rec;
        if (flags & 0x08) rec.fontId = r.u16();
        if (flags & 0x04) rec.color = textVersion >= 2 ? readRgba(r) : readRgb(r);
        if (flags & 0x01) rec.xOffset = r.s16();
        if (flags & 0x02) rec.yOffset = r.s16();
        if (flags & 0x08) rec.height = r.u16();
        uint8_t count = r.u8();
        rec.glyphs.reserve(count);
        for (uint8_t i = 0; i < count; ++i) {
            GlyphEntry g;
            g.index = r.ub(glyphBits);
            g.advance = r.sb(advanceBits);
            rec.glyphs.push_back(g);
        }
        r.align();
        t.records.push_back(std::move(rec));
    }
    return t;
}

EditTextDef readDefineEditText(ByteReader& r) {
    EditTextDef e;
    e.bounds = readRect(r);
    uint8_t f1 = r.u8(), f2 = r.u8();
    bool hasText = f1 & 0x80;
    e.wordWrap = f1 & 0x40;
    e.multiline = f1 & 0x20;
    e.password = f1 & 0x10;
    e.readOnly = f1 & 0x08;
    bool hasColor = f1 & 0x04, hasMaxLength = f1 & 0x02, hasFont = f1 & 0x01;
    bool hasFontClass = f2 & 0x80;
    e.autoSize = f2 & 0x40;
    bool hasLayout = f2 & 0x20;
    e.noSelect = f2 & 0x10;
    e.border = f2 & 0x08;
    e.wasStatic = f2 & 0x04;
    e.html = f2 & 0x02;
    e.useOutlines = f2 & 0x01;
    if (hasFont) e.fontId = r.u16();
    if (hasFontClass) e.fontClass = r.string();
    if (hasFont || hasFontClass) e.height = r.u16();
    if (hasColor) e.color = readRgba(r);
    if (hasMaxLength) e.maxLength = r.u16();
    if (hasLayout) {
        EditTextLayout l;
        uint8_t align = r.u8();
        l.align = align <= 3 ? static_cast<TextAlign>(align) : TextAlign::Left;
        l.leftMargin = r.u16();
        l.rightMargin = r.u16();
        l.indent = r.u16();
        l.leading = r.s16();
        e.layout = l;
    }
    e.variableName = r.string();
    if (hasText) e.initialText = r.string();
    return e;
}

TextRenderSettings readTextSettings(ByteReader& r) {
    TextRenderSettings s;
    s.advancedAntiAliasing = r.ub(2) == 1;
    uint32_t gridFit = r.ub(3);
    if (gridFit > 2) fail("unknown grid fitting " + std::to_string(gridFit));
    s.gridFit = static_cast<uint8_t>(gridFit);
    s.thickness = r.f32();
    s.sharpness = r.f32();
    return s;
}

}  // namespace swf
