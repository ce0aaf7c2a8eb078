#include "player/TextInstance.h"

#include "model/Movie.h"
#include "player/PlayerContext.h"

namespace swf {

TextInstance::TextInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const TextDef> text)
    : DisplayObject(context, characterId), text_(std::move(text)),
      glyphs_(layoutStaticText(*text_, context.dictionary())) {}

void TextInstance::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    emitGlyphs(glyphs_, serial(), 0, out, toStage, cx);
}

bool TextInstance::hitTestLocal(double x, double y) const {
    double tx, ty;
    text_->matrix.inverted().apply(x, y, tx, ty);
    const Rect& b = text_->bounds;
    return tx >= b.xMin && tx <= b.xMax && ty >= b.yMin && ty <= b.yMax;
}

std::vector<PlacedGlyph> layoutStaticText(const TextDef& text, const Dictionary& dictionary) {
    std::vector<PlacedGlyph> out;
    const FontDef* font = nullptr;
    Rgba color{0, 0, 0, 255};
    double x = 0, y = 0, height = 0;
    for (const TextRecord& record : text.records) {
        if (record.fontId) font = dictionary.get<FontDef>(*record.fontId);
        if (record.color) color = *record.color;
        if (record.xOffset) x = *record.xOffset;
        if (record.yOffset) y = *record.yOffset;
        if (record.height) height = *record.height;
        for (const GlyphEntry& entry : record.glyphs) {
            if (font && entry.index < font->glyphs.size()) {
                double scale = height / font->emSquare();
                out.push_back({&font->glyphs[entry.index], text.matrix * Matrix{scale, 0, 0, scale, x, y}, color});
            }
            x += entry.advance;
        }
    }
    return out;
}

}  // namespace swf
