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

// Largest distance, in pixels, a flattened curve may stray from the true one.
constexpr double kHighQualityTolerance = 0.1;
constexpr double kLowQualityTolerance = 0.5;

// Appends the path's points after its start (the start itself first when `out` is empty).
void flattenPath(const Path& path, const Matrix& toPixels, double tolerance, std::vector<PixelPoint>& out);

// Appends the points of a quadratic curve after p0, up to and including p2.
void flattenQuadratic(PixelPoint p0, PixelPoint control, PixelPoint p2, double tolerance, std::vector<PixelPoint>& out);

}  // namespace swf::render
