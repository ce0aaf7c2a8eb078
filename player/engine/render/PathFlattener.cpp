#include "render/PathFlattener.h"

#include <algorithm>
#include <cmath>

namespace swf::render {

namespace {
// A curve of absurd size would otherwise ask for millions of pieces, nearly all of them off
// the target anyway.
constexpr int kMaxPiecesPerCurve = 512;

PixelPoint transformed(const Matrix& m, Point p) {
    PixelPoint out;
    m.apply(p.x, p.y, out.x, out.y);
    return out;
}
}  // namespace

void flattenQuadratic(PixelPoint p0, PixelPoint c, PixelPoint p2, double tolerance, std::vector<PixelPoint>& out) {
    // A quadratic split into n equal steps strays at most |p0 - 2c + p2| / (8 n^2) from its chords.
    double ddx = p0.x - 2 * c.x + p2.x, ddy = p0.y - 2 * c.y + p2.y;
    double deviation = std::sqrt(ddx * ddx + ddy * ddy);
    double wanted = std::ceil(std::sqrt(deviation / (8 * tolerance)));
    int pieces = std::isfinite(wanted) ? static_cast<int>(std::clamp(wanted, 1.0, double(kMaxPiecesPerCurve))) : 1;
    for (int i = 1; i < pieces; ++i) {
        double t = double(i) / pieces, u = 1 - t;
        out.push_back({u * u * p0.x + 2 * u * t * c.x + t * t * p2.x, u * u * p0.y + 2 * u * t * c.y + t * t * p2.y});
    }
    out.push_back(p2);
}

PixelPoint PixelSnap::operator()(PixelPoint p) const {
    // Settle rounding noise first (1/256 px, the rasteriser's own step), or a point meant to
    // be exactly on a tie could fall to either side depending on the floating-point unit.
    auto one = [&](double v) { return std::ceil(std::round(v * 256) / 256 - offset - 0.5) + offset; };
    return {one(p.x), one(p.y)};
}

void flattenPath(const Path& path, const Matrix& toPixels, double tolerance, std::vector<PixelPoint>& out,
                 const PixelSnap* snap) {
    auto place = [&](Point p) {
        PixelPoint q = transformed(toPixels, p);
        return snap ? (*snap)(q) : q;
    };
    PixelPoint current = place(path.start);
    if (out.empty()) out.push_back(current);
    for (const Segment& s : path.segments) {
        PixelPoint to = place(s.to);
        if (s.curved) flattenQuadratic(current, place(s.control), to, tolerance, out);
        else out.push_back(to);
        current = to;
    }
}

}  // namespace swf::render
