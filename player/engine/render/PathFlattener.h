#pragma once
// Turns a path's straight and curved segments into a polyline in target pixels. Curves are
// flattened after the transform, so the number of pieces follows the size they are drawn at.
#include <vector>

#include "core/Geometry.h"
#include "model/Shape.h"

namespace swf::render {

struct PixelPoint {
    double x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Largest distance, in pixels, a flattened curve may stray from the true one. Chords always
// lie on the inner side of a curve, so anti-aliased edges lose that much coverage: at 0.1 px
// circles came out a tenth of a pixel thin (25 levels off on their edges). Low quality only
// decides whole pixels, and 0.1 px keeps aliased round edges round.
constexpr double kHighQualityTolerance = 0.01;
constexpr double kLowQualityTolerance = 0.1;

// Moves points to the nearest position k + offset, so that thin strokes cover whole pixels
// instead of smearing over two: offset 0.5 for odd widths, 0 for even. Ties go up-left, or
// down-right for hairlines: a 1 px line on x = 5 takes column 4 and a hairline column 5, as
// the reference pictures show (text field borders cover the columns of xMin and xMax).
struct PixelSnap {
    double offset = 0.5;
    bool tiesDownRight = false;
    PixelPoint operator()(PixelPoint p) const;
};

// Appends the path's points after its start (the start itself first when `out` is empty).
// With `snap`, every end and control point is snapped after the transform, before curves
// are flattened, so snapped curves stay smooth.
void flattenPath(const Path& path, const Matrix& toPixels, double tolerance, std::vector<PixelPoint>& out,
                 const PixelSnap* snap = nullptr);

// Appends the points of a quadratic curve after p0, up to and including p2.
void flattenQuadratic(PixelPoint p0, PixelPoint control, PixelPoint p2, double tolerance, std::vector<PixelPoint>& out);

}  // namespace swf::render
