#include "font/TrueTypeDeviceFont.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/DecodeFailure.h"

namespace swf {

namespace {

template <typename T>
T clampedRound(double v) {
    return static_cast<T>(std::clamp(std::round(v), double(std::numeric_limits<T>::min()),
                                     double(std::numeric_limits<T>::max())));
}

}  // namespace

std::shared_ptr<FontDef> fontDefFromTrueType(const TrueTypeFont& font, const std::string& name, bool bold,
                                             bool italic, std::span<const uint16_t> codes) {
    auto out = std::make_shared<FontDef>();
    out->version = 3;
    out->name = name;
    out->bold = bold;
    out->italic = italic;
    out->wideCodes = true;
    const double scale = out->emSquare() / font.unitsPerEm();
    FontLayout layout;
    layout.ascent = clampedRound<uint16_t>(font.ascent() * scale);
    layout.descent = clampedRound<uint16_t>(font.descent() * scale);
    layout.leading = clampedRound<int16_t>(font.lineGap() * scale);
    for (uint16_t code : codes) {
        if (std::find(out->codes.begin(), out->codes.end(), code) != out->codes.end()) continue;
        uint16_t glyph = 0;
        try {
            glyph = font.glyphIndex(code);
        } catch (const DecodeFailure&) {
            continue;  // a damaged character map: this character is simply missing
        }
        if (glyph == 0) continue;
        ShapeDef shape;
        try {
            shape = font.outline(glyph, scale);
        } catch (const DecodeFailure&) {
            shape = ShapeDef{};
        }
        layout.bounds.push_back(shape.bounds);
        layout.advances.push_back(clampedRound<int16_t>(font.advanceWidth(glyph) * scale));
        out->glyphs.push_back(std::move(shape));
        out->codes.push_back(code);
    }
    out->layout = std::move(layout);
    return out;
}

}  // namespace swf
