#pragma once
// Outlines a stroked polyline as a union of simple pieces: a rectangle per segment, a wedge,
// mitre or disc per join and a cap at each open end. Every piece is handed to the rasteriser
// with the same orientation, so the non-zero rule unites them without seams or holes however
// the pen doubles back on itself.
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
};

class Stroker {
public:
    // Adds the outline of `points` drawn with `pen` as edges of `style`. A closed polyline
    // joins its last segment to its first instead of getting caps.
    void stroke(const std::vector<PixelPoint>& points, bool closed, const Pen& pen, CoverageRasterizer& out,
                uint32_t style);

private:
    void addPolygon(CoverageRasterizer& out, uint32_t style);
    void addSegment(PixelPoint a, PixelPoint b, double half, CoverageRasterizer& out, uint32_t style);
    void addJoin(PixelPoint at, PixelPoint in, PixelPoint outDir, const Pen& pen, CoverageRasterizer& out,
                 uint32_t style);
    void addCap(PixelPoint at, PixelPoint outward, CapStyle cap, const Pen& pen, CoverageRasterizer& out,
                uint32_t style);
    void addDisc(PixelPoint centre, const Pen& pen, CoverageRasterizer& out, uint32_t style);

    std::vector<PixelPoint> polyline_;
    std::vector<PixelPoint> polygon_;
};

}  // namespace swf::render
