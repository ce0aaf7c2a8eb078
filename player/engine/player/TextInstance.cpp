#include "player/TextInstance.h"

#include <map>

#include "font/DeviceFontLookup.h"
#include "model/Movie.h"
#include "player/PlayerContext.h"

namespace swf {

TextInstance::TextInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const TextDef> text)
    : DisplayObject(context, characterId), text_(std::move(text)),
      layout_(layoutStaticText(*text_, context.dictionary(), context.host())) {}

void TextInstance::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    emitGlyphs(layout_.glyphs, serial(), 0, out, toStage, cx);
}

std::vector<TextInstance::Character> TextInstance::characters() const {
    std::vector<Character> out;
    const FontDef* font = nullptr;
    std::optional<int16_t> y;
    bool newLine = false;
    for (const TextRecord& record : text_->records) {
        if (record.fontId) font = context_.dictionary().get<FontDef>(*record.fontId);
        if (record.yOffset) {
            newLine = y.has_value() && *record.yOffset != *y;
            y = record.yOffset;
        }
        for (const GlyphEntry& g : record.glyphs) {
            if (!font || g.index >= font->codes.size()) continue;
            out.push_back({font->codes[g.index], newLine && !out.empty()});
            newLine = false;
        }
    }
    return out;
}

bool TextInstance::hitTestLocal(double x, double y) const {
    double tx, ty;
    text_->matrix.inverted().apply(x, y, tx, ty);
    const Rect& b = text_->bounds;
    return tx >= b.xMin && tx <= b.xMax && ty >= b.yMin && ty <= b.yMax;
}

namespace {

// The device font for each font of the text that carries no outlines, holding every
// character the text shows in it: one request per font.
std::map<const FontDef*, std::shared_ptr<const FontDef>> deviceFontsOf(const TextDef& text, const Dictionary& dictionary,
                                                                      Host& host) {
    std::map<const FontDef*, std::vector<uint16_t>> codes;
    const FontDef* font = nullptr;
    for (const TextRecord& record : text.records) {
        if (record.fontId) font = dictionary.get<FontDef>(*record.fontId);
        if (!font || hasOutlines(*font)) continue;
        for (const GlyphEntry& entry : record.glyphs)
            if (entry.index < font->codes.size()) codes[font].push_back(font->codes[entry.index]);
    }
    std::map<const FontDef*, std::shared_ptr<const FontDef>> out;
    for (auto& [source, wanted] : codes)
        if (auto device = lookUpDeviceFont(host, *source, std::move(wanted))) out[source] = std::move(device);
    return out;
}

}  // namespace

StaticTextLayout layoutStaticText(const TextDef& text, const Dictionary& dictionary, Host& host) {
    StaticTextLayout out;
    const auto deviceFonts = deviceFontsOf(text, dictionary, host);
    for (const auto& [source, device] : deviceFonts) out.deviceFonts.push_back(device);
    const FontDef* font = nullptr;
    const FontDef* device = nullptr;
    Rgba color{0, 0, 0, 255};
    double x = 0, y = 0, height = 0;
    for (const TextRecord& record : text.records) {
        if (record.fontId) {
            font = dictionary.get<FontDef>(*record.fontId);
            auto found = deviceFonts.find(font);
            device = found != deviceFonts.end() ? found->second.get() : nullptr;
        }
        if (record.color) color = *record.color;
        if (record.xOffset) x = *record.xOffset;
        if (record.yOffset) y = *record.yOffset;
        if (record.height) height = *record.height;
        for (const GlyphEntry& entry : record.glyphs) {
            // Positions come from the records either way; a device font supplies only shapes.
            const FontDef* drawn = device ? device : font;
            int glyph = -1;
            if (device && entry.index < font->codes.size()) glyph = device->glyphIndex(font->codes[entry.index]);
            else if (!device && font && entry.index < font->glyphs.size()) glyph = static_cast<int>(entry.index);
            if (glyph >= 0) {
                const double scale = height / drawn->emSquare();
                out.glyphs.push_back({&drawn->glyphs[glyph], text.matrix * Matrix{scale, 0, 0, scale, x, y}, color});
            }
            x += entry.advance;
        }
    }
    return out;
}

}  // namespace swf
