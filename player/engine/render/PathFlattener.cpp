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

namespace {
// Closed-form approximations of the integral of (1 + 4x^2)^-1/4 and its inverse, after
// Levien's "Flattening quadratic Beziers": mapping a curve onto the unit parabola makes
// pieces of equal length under this integral stray equally far from their chords.
double parabolaIntegral(double x) {
    constexpr double d = 0.67;
    return x / (1 - d + std::sqrt(std::sqrt(d * d * d * d + 0.25 * x * x)));
}
double parabolaIntegralInverse(double x) {
    constexpr double b = 0.39;
    return x * (1 - b + std::sqrt(b * b + 0.25 * x * x));
}
PixelPoint pointAt(PixelPoint p0, PixelPoint c, PixelPoint p2, double t) {
    double u = 1 - t;
    return {u * u * p0.x + 2 * u * t * c.x + t * t * p2.x, u * u * p0.y + 2 * u * t * c.y + t * t * p2.y};
}
// Where a curve lying along one line turns back, if it does between its ends: the point
// where its motion along the line (the chord's, or towards the control point for a curve
// that ends where it starts) comes to a halt.
void addTurningPoint(PixelPoint p0, PixelPoint c, PixelPoint p2, double chord, std::vector<PixelPoint>& out) {
    const double dx = chord > 0 ? p2.x - p0.x : c.x - p0.x, dy = chord > 0 ? p2.y - p0.y : c.y - p0.y;
    const double s0 = p0.x * dx + p0.y * dy, sc = c.x * dx + c.y * dy, s2 = p2.x * dx + p2.y * dy;
    const double t = (s0 - sc) / (s0 - 2 * sc + s2);
    if (t > 0 && t < 1) out.push_back(pointAt(p0, c, p2, t));
}

}  // namespace

void flattenQuadratic(PixelPoint p0, PixelPoint c, PixelPoint p2, double tolerance, std::vector<PixelPoint>& out) {
    // Pieces are spaced so that each strays about `tolerance` from its chord: short where the
    // curve bends sharply, long where it is nearly straight.
    double ddx = 2 * c.x - p0.x - p2.x, ddy = 2 * c.y - p0.y - p2.y;
    double u0 = (c.x - p0.x) * ddx + (c.y - p0.y) * ddy;
    double u2 = (p2.x - c.x) * ddx + (p2.y - c.y) * ddy;
    double cross = (p2.x - p0.x) * ddy - (p2.y - p0.y) * ddx;
    // A curve that strays no more than the tolerance from its chord's line is the chord (it
    // strays most at its middle, half as far as the control point: |cross| / 4 over the
    // chord's length; spacing by curvature alone would still ask for two pieces for some),
    // unless it runs past an end along that line and turns back.
    const double chord = std::hypot(p2.x - p0.x, p2.y - p0.y);
    if (std::abs(cross) <= 4 * tolerance * chord) {
        addTurningPoint(p0, c, p2, chord, out);
        out.push_back(p2);
        return;
    }
    double x0 = u0 / cross, x2 = u2 / cross;
    double scale = std::abs(cross) / (std::hypot(ddx, ddy) * std::abs(x2 - x0));
    double a0 = parabolaIntegral(x0), a2 = parabolaIntegral(x2);
    double spread = std::abs(a2 - a0) * std::sqrt(scale / tolerance);
    if ((x0 < 0) != (x2 < 0)) {
        // The curve passes its vertex, where it bends hardest: space the pieces by the
        // bend there rather than by the parabola's scale alone.
        double xmin = std::sqrt(tolerance / scale);
        spread = std::abs(a2 - a0) / parabolaIntegral(xmin);
    }
    double wanted = std::ceil(0.5 * spread);
    if (!std::isfinite(wanted) || !std::isfinite(x0) || !std::isfinite(x2)) {
        out.push_back(p2);  // straight (or degenerate): the chord is the curve
        return;
    }
    int pieces = static_cast<int>(std::clamp(wanted, 1.0, double(kMaxPiecesPerCurve)));
    double v0 = parabolaIntegralInverse(a0), v2 = parabolaIntegralInverse(a2);
    for (int i = 1; i < pieces; ++i) {
        double v = parabolaIntegralInverse(a0 + (a2 - a0) * i / pieces);
        out.push_back(pointAt(p0, c, p2, (v - v0) / (v2 - v0)));
    }
    out.push_back(p2);
}

PixelPoint PixelSnap::operator()(PixelPoint p) const {
    // Settle rounding noise first (1/256 px, the rasteriser's own step), or a point meant to
    // be exactly on a tie could fall to either side depending on the floating-point unit.
    auto one = [&](double v) {
        double settled = std::round(v * 256) / 256;
        return (tiesDownRight ? std::floor(settled - offset + 0.5) : std::ceil(settled - offset - 0.5)) + offset;
    };
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
