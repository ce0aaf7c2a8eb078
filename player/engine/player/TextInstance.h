#pragma once
// Static text: the glyph records of DefineText laid out once when the instance is made. Fonts
// without outlines are drawn with the host's device font of their name.
#include <memory>
#include <vector>

#include "model/Font.h"
#include "model/Text.h"
#include "player/DisplayObject.h"
#include "player/GlyphRun.h"

namespace swf {

class Dictionary;
class Host;

struct StaticTextLayout {
    std::vector<PlacedGlyph> glyphs;
    std::vector<std::shared_ptr<const FontDef>> deviceFonts;  // own the device glyphs
};

class TextInstance final : public DisplayObject {
public:
    TextInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const TextDef> text);

    const std::vector<PlacedGlyph>& glyphs() const { return layout_.glyphs; }
    Rect localBounds() const override { return text_->matrix.mapped(text_->bounds); }
    // The characters the text shows, in record order, each marked when a record moved down
    // to start it on a new line. Glyphs whose font has no code table are left out.
    struct Character {
        uint16_t code = 0;
        bool startsLine = false;
    };
    std::vector<Character> characters() const;
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    // Static text answers to its whole bounding box, as the Flash runtime hit-tests it.
    bool hitTestLocal(double x, double y) const override;

private:
    std::shared_ptr<const TextDef> text_;
    StaticTextLayout layout_;
};

// Positions the glyphs of `text`; glyphs of missing fonts, indexes out of range and
// characters the device font lacks are left out (their advances still count).
StaticTextLayout layoutStaticText(const TextDef& text, const Dictionary& dictionary, Host& host);

}  // namespace swf
