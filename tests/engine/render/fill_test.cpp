#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "RenderTestSupport.h"

namespace swf::render {
namespace {

using namespace testing;

void draw(Canvas& canvas, const ShapeDef& shape, const DrawParams& p) {
    Renderer r;
    r.setTarget(canvas.target());
    r.drawShape(shape, p);
}

TEST(SolidFill, PixelAlignedRectangleCoversExactlyItsPixels) {
    for (Quality q : {Quality::High, Quality::Low}) {
        Canvas c(10, 10);
        draw(c, rectShape(2, 3, 6, 7, {255, 0, 0, 255}), params(q));
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
                ASSERT_EQ(c.at(x, y), inside ? kRed : kBackground) << x << "," << y << " quality " << int(q);
            }
        EXPECT_TRUE(c.guardsIntact());
    }
}

TEST(SolidFill, HalfPixelEdgeIsHalfCoveredInHighAndAllOrNothingInLow) {
    Canvas clear(10, 10, 0);
    draw(clear, rectShape(2.5, 3, 6, 7, {255, 0, 0, 255}), params());
    EXPECT_EQ(clear.at(2, 4), 0x80800000u);  // half of opaque red, premultiplied
    EXPECT_EQ(clear.at(3, 4), kRed);
    EXPECT_EQ(clear.at(1, 4), 0u);

    Canvas opaque(10, 10);
    draw(opaque, rectShape(2.5, 3.5, 6, 7, {255, 0, 0, 255}), params());
    Pixel edge = opaque.at(2, 5);
    EXPECT_EQ(alphaOf(edge), 255u);
    EXPECT_NEAR(redOf(edge), (255 + 0x10) / 2, 1);
    EXPECT_NEAR(blueOf(edge), 0x30 / 2, 1);
    // The corner pixel is covered a quarter.
    EXPECT_EQ(alphaOf(([&] { Canvas k(10, 10, 0); draw(k, rectShape(2.5, 3.5, 6, 7, {255, 0, 0, 255}), params()); return k.at(2, 3); })()), 64u);

    Canvas low(10, 10);
    draw(low, rectShape(2.5, 3, 6.4, 7, {255, 0, 0, 255}), params(Quality::Low));
    EXPECT_EQ(low.at(2, 4), kRed);         // centre 2.5 lies on the edge: inside
    EXPECT_EQ(low.at(5, 4), kRed);
    EXPECT_EQ(low.at(6, 4), kBackground);  // centre 6.5 lies past the edge at 6.4
}

TEST(SolidFill, LowQualityNeverBlendsEdges) {
    Canvas c(24, 24);
    ShapeDef tri = shapeWith({solidFill({255, 0, 0, 255})},
                             {polygonPath({{tw(1.3), tw(2.7)}, {tw(22.1), tw(5.2)}, {tw(7.7), tw(21.9)}}, 0, 1)});
    draw(c, tri, params(Quality::Low));
    int red = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            Pixel p = c.at(x, y);
            ASSERT_TRUE(p == kRed || p == kBackground) << x << "," << y;
            red += p == kRed;
        }
    // Centre sampling lands close to the triangle's area (191.7 pixels).
    EXPECT_NEAR(red, 191.7, 8);
}

TEST(SolidFill, LowQualityDecidesPixelCentresOnASlantedEdgeExactly) {
    // The left edge runs from (6.9, 1.1) to (3.3, 4.7) px, written in whole twips, through the
    // pixel centres (6.5, 1.5) ... (3.5, 4.5). A centre on a left edge is inside, whatever
    // the rounding of twentieths would say; the same edge a twip further right leaves them
    // outside.
    for (int32_t nudge : {0, 1}) {
        const int32_t startX = 138 + nudge;  // 6.9 px, or 6.9 px and a twip
        Path p;
        p.fill1 = 1;
        p.start = {startX, 22};
        for (Point to : std::initializer_list<Point>{{200, 22}, {200, 94}, {66 + nudge, 94}, {startX, 22}})
            p.segments.push_back({{}, to, false});
        Canvas c(12, 6);
        draw(c, shapeWith({solidFill({255, 0, 0, 255})}, {p}), params(Quality::Low));
        for (int row = 1; row <= 4; ++row) {
            const int onEdge = 7 - row;
            EXPECT_EQ(c.at(onEdge, row), nudge ? kBackground : kRed) << row << " nudge " << nudge;
            EXPECT_EQ(c.at(onEdge - 1, row), kBackground) << row;
            EXPECT_EQ(c.at(onEdge + 1, row), kRed) << row;
        }
    }
}

TEST(SolidFill, AntiAliasedCoverageSumsToTheArea) {
    Canvas c(24, 24, 0);
    ShapeDef tri = shapeWith({solidFill({255, 255, 255, 255})},
                             {polygonPath({{tw(1.3), tw(2.7)}, {tw(22.1), tw(5.2)}, {tw(7.7), tw(21.9)}}, 1, 0)});
    draw(c, tri, params());
    double covered = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) covered += alphaOf(c.at(x, y)) / 255.0;
    double area = std::abs((22.1 - 1.3) * (21.9 - 2.7) - (7.7 - 1.3) * (5.2 - 2.7)) / 2;
    EXPECT_NEAR(covered, area, 0.5);
}

TEST(SolidFill, EveryPixelGetsTheAreaItsCellCovers) {
    // A long shallow edge crosses many cells per row; compare each pixel with a fine count.
    const double x0 = 0.3, y0 = 2.35, x1 = 29.7, y1 = 5.9, bottom = 8.6;
    ShapeDef slope = shapeWith({solidFill({255, 255, 255, 255})},
                               {polygonPath({{tw(x0), tw(y0)}, {tw(x1), tw(y1)}, {tw(x1), tw(bottom)}, {tw(x0), tw(bottom)}}, 0, 1)});
    Canvas c(32, 10, 0);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(slope, params());
    // The shape as drawn: corners on the twip grid.
    const double ax = tw(x0) / 20.0, ay = tw(y0) / 20.0, bx = tw(x1) / 20.0, by = tw(y1) / 20.0, bot = tw(bottom) / 20.0;
    constexpr int kSamples = 64;
    for (int py = 0; py < 10; ++py)
        for (int px = 0; px < 32; ++px) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    double x = px + (sx + 0.5) / kSamples, y = py + (sy + 0.5) / kSamples;
                    inside += x >= ax && x < bx && y < bot && y >= ay + (x - ax) * (by - ay) / (bx - ax);
                }
            double expected = 255.0 * inside / (kSamples * kSamples);
            ASSERT_NEAR(double(alphaOf(c.at(px, py))), expected, 2.5) << px << "," << py;
        }
}

TEST(SolidFill, EdgeDirectionAndSideDoNotMatter) {
    Canvas a(10, 10), b(10, 10);
    draw(a, rectShape(1.25, 2, 7.75, 8, {0, 200, 0, 255}), params());
    // The same rectangle counter-clockwise, its fill on the left side.
    ShapeDef ccw = shapeWith({solidFill({0, 200, 0, 255})},
                             {polygonPath({{tw(1.25), tw(2)}, {tw(1.25), tw(8)}, {tw(7.75), tw(8)}, {tw(7.75), tw(2)}}, 1, 0)});
    draw(b, ccw, params());
    EXPECT_EQ(a.storage, b.storage);
}

TEST(SolidFill, NeighbouringStylesShareAnEdgeWithoutASeam) {
    Canvas c(12, 10);
    Path shared;  // downward at x = 5.5: blue (2) on its left-hand side (east), red (1) on its right
    shared.fill0 = 2;
    shared.fill1 = 1;
    shared.start = {tw(5.5), tw(2)};
    shared.segments = {{{}, {tw(5.5), tw(8)}, false}};
    Path leftRest = polygonPath({{tw(5.5), tw(8)}, {tw(2), tw(8)}, {tw(2), tw(2)}}, 0, 1);
    leftRest.segments.pop_back();
    leftRest.segments.push_back({{}, {tw(5.5), tw(2)}, false});
    Path rightRest = polygonPath({{tw(5.5), tw(2)}, {tw(9), tw(2)}, {tw(9), tw(8)}}, 0, 2);
    rightRest.segments.back() = {{}, {tw(5.5), tw(8)}, false};
    draw(c, shapeWith({solidFill({255, 0, 0, 255}), solidFill({0, 0, 255, 255})}, {shared, leftRest, rightRest}), params());
    EXPECT_EQ(c.at(4, 5), kRed);
    EXPECT_EQ(c.at(6, 5), 0xFF0000FFu);
    Pixel seam = c.at(5, 5);
    EXPECT_EQ(alphaOf(seam), 255u);
    EXPECT_EQ(greenOf(seam), 0u) << "background shows through the shared edge";
    EXPECT_NEAR(redOf(seam), 127, 1);
    EXPECT_NEAR(blueOf(seam), 127, 1);
}

TEST(SolidFill, OneStyleDrawnTwiceOverItselfCancelsAndHigherStylesLieOnTop) {
    Canvas c(12, 12);
    ShapeDef ring = shapeWith({solidFill({255, 0, 0, 255})}, {rectPath(1, 1, 11, 11), rectPath(4, 4, 8, 8)});
    draw(c, ring, params());
    EXPECT_EQ(c.at(2, 2), kRed);
    EXPECT_EQ(c.at(5, 5), kBackground);

    Canvas layered(12, 12);
    ShapeDef two = shapeWith({solidFill({255, 0, 0, 255}), solidFill({0, 0, 255, 255})},
                             {rectPath(1, 1, 8, 8, 2), rectPath(4, 4, 11, 11, 1)});
    draw(layered, two, params());
    EXPECT_EQ(layered.at(5, 5), 0xFF0000FFu);
    EXPECT_EQ(layered.at(9, 9), kRed);
    EXPECT_EQ(layered.at(2, 2), 0xFF0000FFu);
}

TEST(SolidFill, TranslucentColourAndColourTransform) {
    Canvas c(6, 6, 0);
    draw(c, rectShape(1, 1, 5, 5, {255, 0, 0, 128}), params());
    EXPECT_EQ(c.at(2, 2), 0x80800000u);

    Canvas t(6, 6, 0);
    DrawParams p = params();
    p.colorTransform = {128, 256, 256, 256, 0, 100, 0, -55};  // halve red, add green, lower alpha
    draw(t, rectShape(1, 1, 5, 5, {200, 0, 0, 255}), p);
    EXPECT_EQ(t.at(2, 2), premultiply({100, 100, 0, 200}));

    Canvas o(6, 6, 0);
    p = params();
    p.colorOverride = Rgba{0, 0, 255, 255};
    draw(o, rectShape(1, 1, 5, 5, {200, 0, 0, 255}), p);
    EXPECT_EQ(o.at(2, 2), 0xFF0000FFu);
}

TEST(Target, ClipRectangleAndStrideAreRespected) {
    Canvas c(10, 10, kBackground, 7);
    Renderer r;
    r.setTarget(c.target({3, 2, 6, 8}));
    r.drawShape(rectShape(-5, -5, 20, 20, {255, 0, 0, 255}), params());
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(c.at(x, y), (x >= 3 && x < 6 && y >= 2 && y < 8) ? kRed : kBackground);
    EXPECT_TRUE(c.guardsIntact());

    // A clip reaching past the buffer is cut to it.
    Canvas d(4, 4);
    r.setTarget(d.target({-10, -10, 100, 100}));
    r.drawShape(rectShape(-5, -5, 20, 20, {255, 0, 0, 255}), params());
    EXPECT_EQ(d.countNot(kRed), 0);
    EXPECT_TRUE(d.guardsIntact());
}

TEST(Target, OpaqueModeReplacesPixelsInsideTheClipOnly) {
    Canvas c(8, 8);
    Renderer r;
    r.setTarget(c.target({0, 0, 4, 8}));
    r.fillRect({2, 2, 6, 6}, 0x80112233);
    EXPECT_EQ(c.at(3, 3), 0x80112233u);
    EXPECT_EQ(c.at(4, 3), kBackground);
    EXPECT_EQ(c.at(1, 3), kBackground);
    EXPECT_EQ(c.countNot(kBackground), 8);
}

TEST(Bounds, ContainEveryPixelTheShapeTouches) {
    ShapeDef tri = shapeWith({solidFill({255, 0, 0, 255})}, {polygonPath({{0, 0}, {tw(10), tw(2)}, {tw(3), tw(9)}}, 0, 1)});
    Matrix m = Matrix::translate(20.3, 10.7) * Matrix{0.8, 0.6, -0.6, 0.8, 0, 0} * pixelMatrix();
    PixelRect b = Renderer::bounds(tri, m);
    ASSERT_FALSE(b.empty());
    Canvas c(48, 48);
    Renderer r;
    r.setTarget(c.target());
    DrawParams p = params();
    p.matrix = m;
    r.drawShape(tri, p);
    int touched = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            if (c.at(x, y) != kBackground) {
                ++touched;
                EXPECT_TRUE(x >= b.left && x < b.right && y >= b.top && y < b.bottom) << x << "," << y;
            }
    EXPECT_GT(touched, 20);
    EXPECT_LT(b.width() * b.height(), 20 * 20);
    EXPECT_TRUE(Renderer::bounds(ShapeDef{}, m).empty());
}

TEST(DegenerateInput, NeverCrashesAndDrawsNothingWrong) {
    Canvas c(16, 16);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(ShapeDef{}, params());
    // Style indexes past the style lists.
    ShapeDef bad = rectShape(1, 1, 5, 5, {255, 0, 0, 255});
    bad.paths[0].fill1 = 7;
    bad.paths[0].line = 3;
    r.drawShape(bad, params());
    EXPECT_EQ(c.countNot(kBackground), 0);

    // Singular and non-finite matrices.
    DrawParams p = params();
    p.matrix = Matrix::scale(0, 0);
    r.drawShape(rectShape(1, 1, 5, 5, {255, 0, 0, 255}), p);
    p.matrix.a = std::numeric_limits<double>::quiet_NaN();
    r.drawShape(rectShape(1, 1, 5, 5, {255, 0, 0, 255}), p);
    EXPECT_EQ(c.countNot(kBackground), 0);

    // Coordinates at the limits of the file's range cover the whole target.
    const int32_t big = std::numeric_limits<int32_t>::max() / 2;
    ShapeDef huge = shapeWith({solidFill({255, 0, 0, 255})},
                              {polygonPath({{-big, -big}, {big, -big}, {big, big}, {-big, big}}, 0, 1)});
    r.drawShape(huge, params(Quality::Low));
    EXPECT_EQ(c.countNot(kRed), 0);
    p = params();
    p.matrix = Matrix::scale(1e6, 1e6);
    r.drawShape(huge, p);
    EXPECT_EQ(c.countNot(kRed), 0);

    // No target at all.
    Renderer none;
    none.drawShape(rectShape(1, 1, 5, 5, {255, 0, 0, 255}), params());
    none.fillRect({0, 0, 5, 5}, 0);
}

TEST(DegenerateInput, OpenFillDoesNotRunPastItsEdges) {
    Canvas c(20, 8);
    Path open = polygonPath({{tw(2), tw(1)}, {tw(6), tw(1)}, {tw(6), tw(6)}}, 0, 1);
    open.segments.pop_back();  // never returns to its start
    draw(c, shapeWith({solidFill({255, 0, 0, 255})}, {open}), params());
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 20; ++x) ASSERT_EQ(c.at(x, y), kBackground) << x << "," << y;
}

}  // namespace
}  // namespace swf::render

namespace swf::render {
namespace {

using namespace testing;

TEST(Target, PixelsNothingCoversKeepTheirExactValue) {
    // Host pixels of every kind, even ones that are not valid premultiplied colours.
    std::mt19937 rng(3);
    Canvas host(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) host.at(x, y) = rng();
    const std::vector<Pixel> before = host.storage;
    ShapeDef star = shapeWith({solidFill({30, 60, 250, 90}), solidFill({250, 30, 60, 255})},
                              {polygonPath({{tw(3.3), tw(30.1)}, {tw(20.2), tw(2.7)}, {tw(36.9), tw(30.4)}, {tw(2.2), tw(12.6)}, {tw(37.5), tw(13.1)}}, 0, 1),
                               rectPath(25.25, 25.25, 38.5, 38.5, 2)});
    Renderer r;
    r.setTarget(host.target());
    for (Quality q : {Quality::High, Quality::Low}) r.drawShape(star, params(q));
    // Coverage map: the same drawing in opaque white on transparent black.
    Canvas coverage(40, 40, 0);
    DrawParams white = params();
    white.colorOverride = Rgba{255, 255, 255, 255};
    r.setTarget(coverage.target());
    r.drawShape(star, white);
    int untouched = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (coverage.at(x, y) == 0) {
                ++untouched;
                ASSERT_EQ(host.at(x, y), before[static_cast<size_t>(y) * host.stridePixels + x]) << x << "," << y;
            }
    EXPECT_GT(untouched, 300);
    EXPECT_TRUE(host.guardsIntact());
}

TEST(SolidFill, ShapesMayAskForTheNonZeroRule) {
    // Two overlapping squares drawn the same way round: a hole by default, filled by non-zero.
    ShapeDef s = shapeWith({solidFill({255, 0, 0, 255})}, {rectPath(1, 1, 7, 7), rectPath(4, 4, 10, 10)});
    Canvas evenOdd(12, 12);
    Renderer r;
    r.setTarget(evenOdd.target());
    r.drawShape(s, params());
    EXPECT_EQ(evenOdd.at(5, 5), kBackground);
    s.nonZeroWinding = true;
    Canvas nonZero(12, 12);
    r.setTarget(nonZero.target());
    r.drawShape(s, params());
    EXPECT_EQ(nonZero.at(5, 5), kRed);
    EXPECT_EQ(nonZero.at(2, 2), kRed);
    EXPECT_EQ(nonZero.at(8, 2), kBackground);
    // Opposite directions cancel under non-zero too.
    s.paths[1] = polygonPath({{tw(4), tw(4)}, {tw(4), tw(10)}, {tw(10), tw(10)}, {tw(10), tw(4)}}, 1, 0);
    s.paths[1].fill0 = 0;
    s.paths[1].fill1 = 1;
    Canvas opposite(12, 12);
    r.setTarget(opposite.target());
    r.drawShape(s, params());
    EXPECT_EQ(opposite.at(5, 5), kBackground);
}

}  // namespace
}  // namespace swf::render
