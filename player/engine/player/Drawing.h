#pragma once
// What a script draws into a clip (lineStyle, beginFill, moveTo, lineTo, curveTo, endFill,
// clear), kept as a shape the clip draws below its children. Coordinates are twips.
#include <cstdint>
#include <optional>

#include "model/Shape.h"

namespace swf {

class Drawing {
public:
    Drawing() { clear(); }
    // No argument: following edges are not stroked.
    void lineStyle(std::optional<LineStyle> line);
    // Starts a filled region at the pen (closing an open one first).
    void beginFill(const FillStyle& fill);
    // Closes the open region back to where it began.
    void endFill();
    void moveTo(Point to);
    void lineTo(Point to);
    void curveTo(Point control, Point to);
    void clear();

    const ShapeDef& shape() const { return shape_; }
    bool empty() const { return shape_.paths.empty(); }
    // Changes with every edit, so a renderer knows the shape is another one.
    uint64_t version() const { return version_; }

private:
    void addSegment(const Segment& s);
    // A new path from the pen with the current styles.
    void startPath();
    void grow(Point p, uint32_t lineIndex);

    ShapeDef shape_;
    Point pen_;
    uint32_t fill_ = 0, line_ = 0;  // 1-based indexes into the shape's styles; 0 none
    std::optional<Point> fillStart_;
    bool pathOpen_ = false;
    uint64_t version_ = 0;
};

}  // namespace swf
