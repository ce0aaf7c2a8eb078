#pragma once
// Static text: the glyph records of DefineText laid out once when the instance is made.
#include <memory>
#include <vector>

#include "model/Text.h"
#include "player/DisplayObject.h"
#include "player/GlyphRun.h"

namespace swf {

class Dictionary;

class TextInstance final : public DisplayObject {
public:
    TextInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const TextDef> text);

    const std::vector<PlacedGlyph>& glyphs() const { return glyphs_; }
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    // Static text answers to its whole bounding box, as the Flash runtime hit-tests it.
    bool hitTestLocal(double x, double y) const override;

private:
    std::shared_ptr<const TextDef> text_;
    std::vector<PlacedGlyph> glyphs_;
};

// Positions the glyphs of `text`; glyphs of missing fonts or indexes out of range are left out.
std::vector<PlacedGlyph> layoutStaticText(const TextDef& text, const Dictionary& dictionary);

}  // namespace swf
