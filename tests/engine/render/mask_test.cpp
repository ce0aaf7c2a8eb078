#include <gtest/gtest.h>

#include "RenderTestSupport.h"

namespace swf::render {
namespace {

using namespace testing;

const ShapeDef kEverything = rectShape(-1, -1, 20, 20, {255, 0, 0, 255});

bool redOnlyInside(const Canvas& c, PixelRect inside, Pixel outside = kBackground) {
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            bool in = x >= inside.left && x < inside.right && y >= inside.top && y < inside.bottom;
            if (c.at(x, y) != (in ? kRed : outside)) return false;
        }
    return true;
}

TEST(Mask, ClipsDrawingToItsShapeUntilPopped) {
    Canvas c(12, 12);
    Renderer r;
    r.setTarget(c.target());
    r.beginMask();
    EXPECT_EQ(c.countNot(kBackground), 0);
    r.drawShape(rectShape(2, 3, 8, 9, {0, 0, 0, 0}), params());  // invisible colours still mask
    r.endMask();
    EXPECT_EQ(c.countNot(kBackground), 0) << "building a mask draws nothing";
    EXPECT_EQ(r.maskDepth(), 1);
    r.drawShape(kEverything, params());
    EXPECT_TRUE(redOnlyInside(c, {2, 3, 8, 9}));
    r.popMask();
    EXPECT_EQ(r.maskDepth(), 0);
    r.drawShape(rectShape(10, 10, 12, 12, {255, 0, 0, 255}), params());
    EXPECT_EQ(c.at(11, 11), kRed);
}

TEST(Mask, NestedMasksIntersect) {
    Canvas c(12, 12);
    Renderer r;
    r.setTarget(c.target());
    r.beginMask();
    r.drawShape(rectShape(2, 0, 8, 12, {1, 2, 3, 255}), params());
    r.endMask();
    r.beginMask();
    r.drawShape(rectShape(5, 4, 12, 6, {1, 2, 3, 255}), params());
    r.drawShape(rectShape(0, 8, 12, 10, {1, 2, 3, 255}), params());  // a mask may have many shapes
    r.endMask();
    EXPECT_EQ(r.maskDepth(), 2);
    r.drawShape(kEverything, params());
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            bool in = x >= 2 && x < 8 && ((x >= 5 && y >= 4 && y < 6) || (y >= 8 && y < 10));
            ASSERT_EQ(c.at(x, y), in ? kRed : kBackground) << x << "," << y;
        }
    r.popMask();
    Canvas d(12, 12);
    r.setTarget(d.target());
    EXPECT_EQ(r.maskDepth(), 0) << "a new target starts without masks";
}

TEST(Mask, OuterMaskStillAppliesAfterInnerPop) {
    Canvas c(12, 12);
    Renderer r;
    r.setTarget(c.target());
    r.beginMask();
    r.drawShape(rectShape(2, 2, 6, 6, {1, 2, 3, 255}), params());
    r.endMask();
    r.beginMask();
    r.drawShape(rectShape(4, 4, 12, 12, {1, 2, 3, 255}), params());
    r.endMask();
    r.popMask();
    r.drawShape(kEverything, params());
    EXPECT_TRUE(redOnlyInside(c, {2, 2, 6, 6}));
}

TEST(Mask, AntiAliasedMaskEdgeScalesCoverage) {
    Canvas c(12, 12, 0);
    Renderer r;
    r.setTarget(c.target());
    r.beginMask();
    r.drawShape(rectShape(2.5, 2, 8, 8, {1, 2, 3, 255}), params());
    r.endMask();
    r.drawShape(kEverything, params());
    EXPECT_EQ(c.at(3, 4), kRed);
    EXPECT_NEAR(alphaOf(c.at(2, 4)), 128, 1);
    EXPECT_EQ(c.at(1, 4), 0u);
}

TEST(Mask, EmptyMaskHidesEverythingAndUnbalancedCallsAreHarmless) {
    Canvas c(12, 12);
    Renderer r;
    r.setTarget(c.target());
    r.popMask();
    r.endMask();
    EXPECT_EQ(r.maskDepth(), 0);
    r.beginMask();
    r.endMask();
    r.drawShape(kEverything, params());
    EXPECT_EQ(c.countNot(kBackground), 0);
    r.popMask();
    r.popMask();
    r.drawShape(kEverything, params());
    EXPECT_EQ(c.countNot(kRed), 0);

    // A clip layer opened while a mask is being built is absorbed with its matching calls.
    Canvas d(12, 12);
    r.setTarget(d.target());
    r.beginMask();
    r.drawShape(rectShape(2, 2, 6, 6, {1, 2, 3, 255}), params());
    r.beginMask();
    r.endMask();
    r.popMask();
    r.endMask();
    EXPECT_EQ(r.maskDepth(), 1);
    r.drawShape(kEverything, params());
    EXPECT_TRUE(redOnlyInside(d, {2, 2, 6, 6}));
}

TEST(Mask, StaysInForceWhenDrawingMovesToALayerBuffer) {
    Canvas stage(12, 12), layer(12, 12, 0);
    Renderer r;
    r.setTarget(stage.target());
    r.beginMask();
    r.drawShape(rectShape(2, 2, 6, 6, {1, 2, 3, 255}), params());
    r.endMask();
    r.redirect(layer.target());
    r.drawShape(kEverything, params());
    EXPECT_EQ(r.maskDepth(), 1);
    EXPECT_TRUE(redOnlyInside(layer, {2, 2, 6, 6}, 0));
    EXPECT_EQ(stage.countNot(kBackground), 0);
    r.redirect(stage.target());
    r.popMask();
    r.drawShape(rectShape(8, 8, 9, 9, {255, 0, 0, 255}), params());
    EXPECT_EQ(stage.at(8, 8), kRed);
    // A smaller buffer: clip layers never reach past it.
    Canvas small(4, 4, 0);
    r.beginMask();
    r.drawShape(rectShape(0, 0, 12, 12, {1, 2, 3, 255}), params());
    r.endMask();
    r.redirect(small.target());
    r.drawShape(kEverything, params());
    EXPECT_EQ(small.countNot(kRed), 0);
    EXPECT_TRUE(small.guardsIntact());
}

TEST(Mask, RespectsTheClipRectangle) {
    Canvas c(12, 12);
    Renderer r;
    r.setTarget(c.target({0, 0, 5, 12}));
    r.beginMask();
    r.drawShape(rectShape(2, 2, 10, 10, {1, 2, 3, 255}), params());
    r.endMask();
    r.drawShape(kEverything, params(Quality::Low));
    EXPECT_TRUE(redOnlyInside(c, {2, 2, 5, 10}));
}

// The runtime masks with a shape's fills alone: a mask outlined with a thick pen is no wider.
TEST(Mask, OnlyFillsShapeTheMaskNotStrokes) {
    Canvas c(16, 16);
    Renderer r;
    r.setTarget(c.target());
    LineStyle thick;
    thick.width = tw(4);
    thick.color = {0, 0, 0, 255};
    Path outlined = rectPath(4, 4, 10, 10);
    outlined.line = 1;
    ShapeDef framed = shapeWith({solidFill({0, 0, 0, 255})}, {outlined}, {thick});
    Path lineOnly = polygonPath({{tw(12), tw(0)}, {tw(12), tw(16)}}, 0, 0, 1);
    ShapeDef bar = shapeWith({}, {lineOnly}, {thick});
    r.beginMask();
    r.drawShape(framed, params(Quality::Low));
    r.drawShape(bar, params(Quality::Low));
    r.endMask();
    r.drawShape(rectShape(0, 0, 16, 16, {255, 0, 0, 255}), params(Quality::Low));
    EXPECT_TRUE(redOnlyInside(c, {4, 4, 10, 10}));
    r.popMask();
}

}  // namespace
}  // namespace swf::render
