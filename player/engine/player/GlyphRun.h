#pragma once
// Glyphs positioned for drawing: static and edit text both end up as a list of font glyph
// shapes, each with its own matrix and colour.
#include <vector>

#include "core/Geometry.h"
#include "model/Shape.h"
#include "player/DrawList.h"

namespace swf {

struct PlacedGlyph {
    const ShapeDef* glyph = nullptr;  // owned by the font definition
    Matrix matrix;                    // glyph em units -> the text's own coordinates
    Rgba color;
};

inline void emitGlyphs(const std::vector<PlacedGlyph>& glyphs, uint64_t serial, uint32_t firstPart,
                       DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) {
    for (size_t i = 0; i < glyphs.size(); ++i)
        out.shape(*glyphs[i].glyph, toStage * glyphs[i].matrix, cx,
                  DrawListBuilder::partKey(serial, firstPart + static_cast<uint32_t>(i)), 0, glyphs[i].color);
}

}  // namespace swf
