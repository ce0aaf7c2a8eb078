#include "render/PathFlattener.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace swf::render {
namespace {

PixelPoint curveAt(PixelPoint p0, PixelPoint c, PixelPoint p2, double t) {
    double u = 1 - t;
    return {u * u * p0.x + 2 * u * t * c.x + t * t * p2.x, u * u * p0.y + 2 * u * t * c.y + t * t * p2.y};
}

double distanceToSegment(PixelPoint p, PixelPoint a, PixelPoint b) {
    double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// How far the true curve strays from the polyline, sampled densely.
double worstDeviation(PixelPoint p0, PixelPoint c, PixelPoint p2, const std::vector<PixelPoint>& line) {
    double worst = 0;
    for (int i = 0; i <= 4000; ++i) {
        PixelPoint q = curveAt(p0, c, p2, i / 4000.0);
        double nearest = INFINITY;
        for (size_t k = 1; k < line.size(); ++k) nearest = std::min(nearest, distanceToSegment(q, line[k - 1], line[k]));
        worst = std::max(worst, nearest);
    }
    return worst;
}

TEST(FlattenQuadratic, StaysWithinToleranceWithFewPiecesAndEndsOnTheCurve) {
    struct Curve {
        PixelPoint p0, c, p2;
    };
    const Curve curves[] = {
        {{0, 0}, {50, 100}, {100, 0}},      // symmetric arch
        {{0, 0}, {200, 0}, {200, 3}},       // long and nearly straight, then a sharp turn
        {{10, 10}, {400, -300}, {12, 11}},  // almost a cusp: turns back on itself
        {{0, 0}, {0.3, 0.2}, {0.5, 0}},     // smaller than a pixel
    };
    for (double tolerance : {kHighQualityTolerance, kLowQualityTolerance, 0.5}) {
        for (const Curve& k : curves) {
            std::vector<PixelPoint> line{k.p0};
            flattenQuadratic(k.p0, k.c, k.p2, tolerance, line);
            EXPECT_EQ(line.back(), k.p2);
            EXPECT_LE(worstDeviation(k.p0, k.c, k.p2, line), tolerance * 1.05) << "tolerance " << tolerance;
            // Evenly spaced parameters need sqrt(|p0 - 2c + p2| / 8 tol) pieces; spacing by
            // curvature needs about as many at worst, and far fewer for lopsided curves.
            double bend = std::hypot(k.p0.x - 2 * k.c.x + k.p2.x, k.p0.y - 2 * k.c.y + k.p2.y);
            EXPECT_LE(line.size() - 1, std::ceil(1.3 * std::ceil(std::sqrt(bend / (8 * tolerance)))) + 1);
        }
    }
}

TEST(FlattenQuadratic, StraightAndDegenerateCurvesBecomeOneChord) {
    for (auto [c, p2] : {std::pair<PixelPoint, PixelPoint>{{5, 5}, {10, 10}}, {{0, 0}, {0, 0}}, {{3, 0}, {3, 0}}}) {
        std::vector<PixelPoint> line{{0, 0}};
        flattenQuadratic({0, 0}, c, p2, kHighQualityTolerance, line);
        ASSERT_EQ(line.size(), 2u);
        EXPECT_EQ(line.back(), p2);
    }
}

TEST(FlattenQuadratic, NearlyStraightCurvesBecomeTheirChordKeepingAnyTurningPoint) {
    // Strays 0.093 px from its chord at most: within 0.1 px, so one piece, although spacing by
    // curvature alone asks for 1.06 pieces (the reference pictures show the chord).
    const PixelPoint p0{392.1, 303.65}, c{390.05, 292.45}, p2{389.6, 291.15};
    std::vector<PixelPoint> line{p0};
    flattenQuadratic(p0, c, p2, kLowQualityTolerance, line);
    EXPECT_EQ(line.size(), 2u);
    EXPECT_LE(worstDeviation(p0, c, p2, line), kLowQualityTolerance);
    // A little more bent: more pieces, still within the tolerance.
    const PixelPoint bent{390.4, 292.45};
    line = {p0};
    flattenQuadratic(p0, bent, p2, kLowQualityTolerance, line);
    EXPECT_GT(line.size(), 2u);
    EXPECT_LE(worstDeviation(p0, bent, p2, line), kLowQualityTolerance * 1.05);
    // Curves along one line that run past an end and turn back keep their turning point: one
    // that comes back to its start reaches halfway to its control point, one whose control
    // lies beyond its end overshoots that end.
    auto farthestX = [](const std::vector<PixelPoint>& l) {
        return std::max_element(l.begin(), l.end(), [](auto a, auto b) { return a.x < b.x; })->x;
    };
    for (double tolerance : {kHighQualityTolerance, kLowQualityTolerance}) {
        line = {{0, 0}};
        flattenQuadratic({0, 0}, {10, 0}, {0, 0}, tolerance, line);
        EXPECT_DOUBLE_EQ(farthestX(line), 5);
        EXPECT_EQ(line.back(), (PixelPoint{0, 0}));
        line = {{0, 0}};
        flattenQuadratic({0, 0}, {20, 0}, {10, 0}, tolerance, line);
        EXPECT_NEAR(farthestX(line), 40.0 / 3, 1e-9);  // at t = 2/3
        EXPECT_EQ(line.back(), (PixelPoint{10, 0}));
    }
}

}  // namespace
}  // namespace swf::render
