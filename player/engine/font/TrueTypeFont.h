#pragma once
// A TrueType font file read for drawing text: its character map, line metrics, advances and
// glyph outlines. The reader takes bytes (reading the file is the host's business) and checks
// every offset against them: a damaged font throws DecodeFailure when it is loaded, or when a
// damaged glyph is asked for, and never reads outside its bytes.
#include <cstdint>
#include <span>
#include <vector>

#include "model/Shape.h"

namespace swf {

class TrueTypeFont {
public:
    // Reads the tables every glyph needs (head, hhea, maxp, hmtx, loca, glyf, cmap). A font
    // collection gives its first font; fonts with CFF outlines are refused.
    explicit TrueTypeFont(std::vector<uint8_t> bytes);
    // The table views point into the font's own bytes: a copy would point into the original.
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;
    TrueTypeFont(TrueTypeFont&&) = default;  // a moved vector keeps its buffer
    TrueTypeFont& operator=(TrueTypeFont&&) = default;

    uint16_t unitsPerEm() const { return unitsPerEm_; }
    // Line metrics in font units: ascent above the baseline, descent below it (positive).
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int lineGap() const { return lineGap_; }
    uint16_t glyphCount() const { return glyphCount_; }

    // The glyph of a Unicode code point; 0 (the "missing" glyph) when the font lacks it.
    uint16_t glyphIndex(uint32_t codePoint) const;
    uint16_t advanceWidth(uint16_t glyph) const;

    // The glyph outline as closed quadratic paths scaled by `scale`, y pointing down as in
    // the engine's shapes, filled by one solid style under the non-zero rule. Throws
    // DecodeFailure when the glyph's data is damaged.
    ShapeDef outline(uint16_t glyph, double scale) const;

private:
    struct OutlinePoint {
        double x = 0, y = 0;
        bool onCurve = true;
    };
    using Contour = std::vector<OutlinePoint>;

    std::span<const uint8_t> table(uint32_t tag, size_t minimumSize, bool required = true) const;
    void readHead();
    void readMetrics();
    void readLocations();
    void chooseCharacterMap();
    std::span<const uint8_t> glyphData(uint16_t glyph) const;
    void appendContours(uint16_t glyph, int depth, size_t& pointBudget, std::vector<Contour>& out) const;

    std::vector<uint8_t> bytes_;
    size_t fontStart_ = 0;  // the offset table's position (not 0 inside a collection)
    struct TableEntry { uint32_t tag, offset, length; };
    std::vector<TableEntry> tables_;
    uint16_t unitsPerEm_ = 0, glyphCount_ = 0, metricCount_ = 0;
    int ascent_ = 0, descent_ = 0, lineGap_ = 0;
    bool longLocations_ = false;
    std::span<const uint8_t> hmtx_, glyf_;
    std::vector<uint32_t> locations_;  // glyphCount_ + 1 offsets into glyf
    std::span<const uint8_t> characterMap_;  // the chosen cmap subtable (format 4 or 12)
    uint16_t characterMapFormat_ = 0;
};

}  // namespace swf
