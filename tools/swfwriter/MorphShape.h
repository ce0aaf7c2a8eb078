#pragma once
// A morph shape: start and end outlines with the same edges in the same order, and styles
// given as start/end pairs. Styles are added here (not to the builders), and the start
// outline selects them by index; the end outline only moves and draws.
#include <cstdint>
#include <vector>

#include "ShapeBuilder.h"

namespace swfw {

class MorphShape {
public:
    uint32_t addFill(const swf::FillStyle& start, const swf::FillStyle& end);
    uint32_t addLine(const swf::LineStyle& start, const swf::LineStyle& end);
    ShapeBuilder& start() { return start_; }
    ShapeBuilder& end() { return end_; }
    const ShapeBuilder& start() const { return start_; }
    const ShapeBuilder& end() const { return end_; }
    const std::vector<swf::FillStyle>& endFills() const { return endFills_; }
    const std::vector<swf::LineStyle>& endLines() const { return endLines_; }

private:
    ShapeBuilder start_, end_;
    std::vector<swf::FillStyle> endFills_;
    std::vector<swf::LineStyle> endLines_;
};

// DefineMorphShape (version 1) or DefineMorphShape2 (version 2: caps, joins, filled strokes).
std::vector<uint8_t> encodeDefineMorphShape(uint16_t id, const MorphShape& morph, int version);

}  // namespace swfw
