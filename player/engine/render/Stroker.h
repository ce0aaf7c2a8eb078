#pragma once
// Outlines a stroked polyline as one closed ring (two for a closed polyline): the offset of its
// left side forward, the end cap, the offset of its right side backward and the start cap.
// Outer sides of turns get the pen's join; inner sides pass through the vertex itself, so the
// ring never winds backwards there. Filled with the non-zero rule, where the stroke crosses or
// doubles back on itself the overlap counts once.
#include <vector>

#include "model/Shape.h"
#include "render/CoverageRasterizer.h"
#include "render/PathFlattener.h"

namespace swf::render {

struct Pen {
    double width = 1;  // target pixels
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;  // longest mitre, in line widths from the vertex, before it is cut off
    double tolerance = kHighQualityTolerance;
    bool inscribedArcs = false;  // round caps and joins with every vertex on the circle
};

class Stroker {
public:
    // Adds the outline of `points` drawn with `pen` as edges of `style`. A closed polyline
    // joins its last segment to its first instead of getting caps.
    void stroke(const std::vector<PixelPoint>& points, bool closed, const Pen& pen, CoverageRasterizer& out,
                uint32_t style);
    // The same with `points` and `pen` in the pen's own space, whose outline `toTarget` (its
    // translation ignored) then maps onto the target: a pen that a non-uniform scale or skew
    // turns into an ellipse.
    void stroke(const std::vector<PixelPoint>& points, bool closed, const Pen& pen, const Matrix& toTarget,
                CoverageRasterizer& out, uint32_t style);

private:
    void outline(const std::vector<PixelPoint>& points, bool closed, const Pen& pen, CoverageRasterizer& out,
                 uint32_t style);
    void traceLeftSide(const std::vector<PixelPoint>& line, bool closed, const Pen& pen);
    void addJoin(PixelPoint at, PixelPoint incoming, PixelPoint outgoing, const Pen& pen);
    void addCap(PixelPoint at, PixelPoint dir, CapStyle cap, const Pen& pen);
    void addArc(PixelPoint centre, PixelPoint from, double sweep, const Pen& pen);
    void emitRing(CoverageRasterizer& out, uint32_t style);

    std::vector<PixelPoint> polyline_, reversed_, ring_;
    Matrix toTarget_;  // the call's linear map, applied to the outline as it is emitted
};

}  // namespace swf::render
