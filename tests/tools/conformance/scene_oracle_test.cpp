// The scene oracle judges the engine, so it must itself be right and strict: exact coverage
// on known geometry, true curves, gradient and texel positions, and a verdict that fails an
// image drawn one pixel off.
#include <gtest/gtest.h>

#include <cmath>

#include "ReferenceScenes.h"
#include "SceneOracle.h"
#include "StageCapture.h"
#include "decode/Decoder.h"
#include "player/Player.h"

namespace swf::tools {
namespace {

constexpr Rgba kWhite{255, 255, 255, 255}, kBlack{0, 0, 0, 255};

const uint8_t* pixel(const ScenePicture& p, int x, int y) { return p.centre.at(x, y); }

TEST(SceneOracle, CoversByExactAreaAndPointsByCentre) {
    auto square = std::make_shared<PathRegion>();
    square->moveTo({2.5, 2.25}).lineTo({7.75, 2.25}).lineTo({7.75, 8}).lineTo({2.5, 8}).lineTo({2.5, 2.25});
    ScenePicture smooth = drawScene(10, 10, kWhite, {{square, solidPaint(kBlack)}}, true, 0);
    EXPECT_EQ(pixel(smooth, 2, 5)[0], 128);        // half of the column
    EXPECT_EQ(pixel(smooth, 7, 5)[0], 64);         // three quarters
    EXPECT_EQ(pixel(smooth, 2, 2)[0], 159);        // 1/2 x 3/4 covered: 255 * (1 - 0.375)
    EXPECT_EQ(pixel(smooth, 5, 5)[0], 0);
    EXPECT_EQ(pixel(smooth, 9, 9)[0], 255);
    ScenePicture aliased = drawScene(10, 10, kWhite, {{square, solidPaint(kBlack)}}, false, 0);
    EXPECT_EQ(pixel(aliased, 2, 5)[0], 255);  // centre 2.5 is on the edge, not inside
    EXPECT_EQ(pixel(aliased, 7, 5)[0], 0);    // centre 7.5 < 7.75
    EXPECT_EQ(pixel(aliased, 5, 2)[0], 0);    // centre 2.5 > 2.25
}

TEST(SceneOracle, CurvesAreTrueParabolasAndEvenOddLeavesOverlapsOpen) {
    // A quadratic from (0,0) with control (10,20) to (20,0): x = 20t, y = 40t(1 - t), peaking
    // at y = 10.
    PathRegion arch;
    arch.moveTo({0, 0}).curveTo({10, 20}, {20, 0}).lineTo({0, 0});
    Spans justInside = arch.spansAt(9.999), justOutside = arch.spansAt(10.001);
    ASSERT_EQ(justInside.size(), 1u);
    EXPECT_NEAR(justInside[0].from, 20 * (0.5 - std::sqrt(0.25 - 9.999 / 40)), 1e-9);
    EXPECT_TRUE(justOutside.empty());

    PathRegion twice;
    twice.moveTo({0, 0}).lineTo({10, 0}).lineTo({10, 10}).lineTo({0, 10}).lineTo({0, 0});
    twice.moveTo({5, 5}).lineTo({15, 5}).lineTo({15, 15}).lineTo({5, 15}).lineTo({5, 5});
    Spans row = twice.spansAt(7);
    ASSERT_EQ(row.size(), 2u);
    EXPECT_DOUBLE_EQ(row[0].to, 5);
    EXPECT_DOUBLE_EQ(row[1].from, 10);
}

TEST(SceneOracle, StrokesHaveTheirCapsAndJoins) {
    auto spanWidth = [](const Region& r, double y) {
        double w = 0;
        for (const Span& s : r.spansAt(y)) w += s.to - s.from;
        return w;
    };
    StrokeRegion butt({{10, 10}, {30, 10}}, false, {4, CapStyle::None, JoinStyle::Round, 3});
    StrokeRegion square({{10, 10}, {30, 10}}, false, {4, CapStyle::Square, JoinStyle::Round, 3});
    StrokeRegion round({{10, 10}, {30, 10}}, false, {4, CapStyle::Round, JoinStyle::Round, 3});
    EXPECT_DOUBLE_EQ(spanWidth(butt, 10), 20);
    EXPECT_DOUBLE_EQ(spanWidth(square, 10), 24);
    EXPECT_DOUBLE_EQ(spanWidth(round, 10), 24);
    EXPECT_NEAR(spanWidth(round, 11.9), 20 + 2 * std::sqrt(4 - 1.9 * 1.9), 1e-9);
    EXPECT_DOUBLE_EQ(spanWidth(butt, 12.5), 0);
    // A right-angle corner: the mitre reaches the square's corner, the bevel cuts it.
    std::vector<Vec> corner{{10, 30}, {10, 10}, {30, 10}};
    StrokeRegion mitre(corner, false, {4, CapStyle::None, JoinStyle::Miter, 3});
    StrokeRegion bevel(corner, false, {4, CapStyle::None, JoinStyle::Bevel, 3});
    auto inside = [](const Region& r, Vec p) {
        for (const Span& s : r.spansAt(p.y))
            if (p.x >= s.from && p.x < s.to) return true;
        return false;
    };
    EXPECT_TRUE(inside(mitre, {8.2, 8.2}));
    EXPECT_FALSE(inside(bevel, {8.2, 8.2}));
    EXPECT_TRUE(inside(bevel, {9.2, 9.2}));  // the bevel's edge runs from (8, 10) to (10, 8)
}

TEST(SceneOracle, GradientAndBitmapPaintsFollowTheirMatrices) {
    FillStyle linear;
    linear.kind = FillKind::LinearGradient;
    linear.gradient.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    // The gradient square spans 100 px from x = 0: the middle is at x = 50.
    linear.matrix = {100.0 * kTwipsPerPixel / 32768, 0, 0, 1, 50.0 * kTwipsPerPixel, 0};
    Paint ramp = gradientPaint(linear);
    EXPECT_EQ(ramp({0, 5}).r, 0);
    EXPECT_NEAR(ramp({50, 5}).r, 128, 1);
    EXPECT_EQ(ramp({120, 5}).r, 255);  // padded

    FillStyle bitmap;
    bitmap.kind = FillKind::RepeatingBitmapHard;
    bitmap.matrix = Matrix::scale(kTwipsPerPixel * 4, kTwipsPerPixel * 4);  // 4 px per texel
    Paint texels = bitmapPaint(bitmap, 2, 1, {{10, 0, 0, 255}, {20, 0, 0, 255}});
    EXPECT_EQ(texels({1, 1}).r, 10);
    EXPECT_EQ(texels({5, 1}).r, 20);
    EXPECT_EQ(texels({9, 1}).r, 10);  // repeats
}

TEST(SceneOracle, SlackWidensOnlyPixelsNearABorder) {
    auto square = std::make_shared<PathRegion>();
    square->moveTo({2, 2}).lineTo({6.55, 2}).lineTo({6.55, 6}).lineTo({2, 6}).lineTo({2, 2});
    ScenePicture p = drawScene(8, 8, kWhite, {{square, solidPaint(kBlack)}}, false, 0.1);
    // Pixel 6's centre (6.5) is 0.05 inside the right edge: either value passes there.
    EXPECT_EQ(p.lowest.at(6, 4)[0], 0);
    EXPECT_EQ(p.highest.at(6, 4)[0], 255);
    EXPECT_EQ(p.highest.at(4, 4)[0], 0);   // far inside: only black
    EXPECT_EQ(p.lowest.at(7, 4)[0], 255);  // far outside: only white
}

// Every reference scene draws something, and the verdict rejects the engine's own image once
// it is moved by a single pixel: the comparison is strict enough to catch misplacement.
TEST(ReferenceScenes, AreNotBlankAndFailAnImageOnePixelOff) {
    std::vector<ReferenceScene> scenes = buildReferenceScenes();
    ASSERT_GE(scenes.size(), 25u);
    for (const ReferenceScene& scene : scenes) {
        SCOPED_TRACE(scene.name);
        const RgbaImage& expected = scene.expected.centre;
        long painted = 0;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x) painted += expected.at(x, y)[0] != 255 || expected.at(x, y)[2] != 255;
        EXPECT_GT(painted, 200);

        DecodeResult decoded = decodeMovie(scene.movie);
        ASSERT_TRUE(decoded) << decoded.error.message;
        NullHost host;
        Player player(decoded.movie, host);
        std::vector<Pixel> pixels(size_t(expected.width) * expected.height);
        player.render({pixels.data(), expected.width, expected.height, expected.width * 4},
                      Player::showAll(decoded.movie->header.frameSize, expected.width, expected.height),
                      scene.lowQuality ? render::Quality::Low : render::Quality::High, true);
        RgbaImage actual = toRgba(pixels, expected.width, expected.height);
        RgbaImage shifted = actual;
        for (int y = 0; y < actual.height; ++y)
            for (int x = 1; x < actual.width; ++x) std::copy_n(actual.at(x - 1, y), 4, shifted.at(x, y));
        EXPECT_GT(countOutliers(shifted, scene.expected, scene.tolerance), 10);
    }
}

}  // namespace
}  // namespace swf::tools
