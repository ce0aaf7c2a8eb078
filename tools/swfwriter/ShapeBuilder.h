#pragma once
// Builds the outline of a shape the way the file stores it: style groups, style changes and
// edges with the pen's position. Coordinates are absolute twips here; the encoder turns
// them into the deltas the file wants. Style indexes are 1-based within the current group
// (0 = none), as in the file.
#include <cstdint>
#include <optional>
#include <vector>

#include "model/Shape.h"

namespace swfw {

struct StyleGroup {
    std::vector<swf::FillStyle> fills;
    std::vector<swf::LineStyle> lines;
};

struct ShapeRecord {
    enum class Kind : uint8_t { StyleChange, Straight, Curved };
    Kind kind = Kind::StyleChange;
    // StyleChange
    bool newStyles = false;  // switches to the next StyleGroup
    std::optional<uint32_t> fill0, fill1, line;
    std::optional<swf::Point> moveTo;
    // Edges (absolute end point and control point)
    swf::Point control, to;
};

class ShapeBuilder {
public:
    uint32_t addFill(const swf::FillStyle& fill);
    uint32_t addLine(const swf::LineStyle& line);
    uint32_t addSolidFill(swf::Rgba color);
    uint32_t addSolidLine(uint16_t width, swf::Rgba color);
    // Starts a new style group (DefineShape2 and later); indexes restart at 1 and the
    // current styles are cleared, as a reader would clear them.
    ShapeBuilder& newStyles();

    ShapeBuilder& fill0(uint32_t index);
    ShapeBuilder& fill1(uint32_t index);
    ShapeBuilder& line(uint32_t index);
    ShapeBuilder& moveTo(int32_t x, int32_t y);
    ShapeBuilder& lineTo(int32_t x, int32_t y);
    ShapeBuilder& curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);

    // Closed outlines drawn with the current styles, clockwise on screen (y down): fill1
    // (the right side of travel) is the inside.
    ShapeBuilder& rectangle(int32_t x, int32_t y, int32_t width, int32_t height);
    ShapeBuilder& ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry);

    const std::vector<StyleGroup>& groups() const { return groups_; }
    const std::vector<ShapeRecord>& records() const { return records_; }
    swf::Point pen() const { return pen_; }

    // Bounds of the edges alone, and with half the width of the stroke drawing each edge.
    swf::Rect edgeBounds() const;
    swf::Rect strokeBounds() const;

private:
    ShapeRecord& pendingStyleChange();
    void addEdge(ShapeRecord edge);

    std::vector<StyleGroup> groups_{1};
    std::vector<ShapeRecord> records_;
    swf::Point pen_;
    uint32_t currentLine_ = 0;
    std::vector<uint16_t> edgeHalfWidths_;  // per edge record, in record order
};

}  // namespace swfw
