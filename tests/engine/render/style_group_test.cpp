#include <gtest/gtest.h>

#include "RenderTestSupport.h"

namespace swf::render {
namespace {

using namespace testing;

constexpr Rgba kRedFill{255, 0, 0, 255}, kBlueFill{0, 0, 255, 255}, kBlackPen{0, 0, 0, 255};
constexpr Pixel kBlue = 0xFF0000FF, kBlack = 0xFF000000;

LineStyle blackPen(double widthPixels) {
    LineStyle l;
    l.width = static_cast<uint16_t>(widthPixels * kTwipsPerPixel);
    l.color = kBlackPen;
    return l;
}

// A red square (2..10) outlined with a 2 px black pen, then a blue square (6..14) over its
// lower right corner. `blueGroup` is the style group the blue square belongs to.
ShapeDef outlinedThenOverlapped(uint32_t blueGroup) {
    Path red = rectPath(2, 2, 10, 10, 1);
    red.line = 1;
    Path blue = rectPath(6, 6, 14, 14, 2);
    blue.styleGroup = blueGroup;
    return shapeWith({solidFill(kRedFill), solidFill(kBlueFill)}, {red, blue}, {blackPen(2)});
}

Canvas drawnLow(const ShapeDef& shape) {
    Canvas c(16, 16);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(shape, params(Quality::Low));
    return c;
}

TEST(StyleGroups, LaterGroupCoversEarlierStrokes) {
    Canvas c = drawnLow(outlinedThenOverlapped(1));
    // The red square's outline runs through x = 9..10 and y = 9..10, inside the blue square.
    EXPECT_EQ(c.at(9, 7), kBlue);
    EXPECT_EQ(c.at(7, 9), kBlue);
    EXPECT_EQ(c.at(9, 9), kBlue);
    // Outside the blue square the outline still shows, over its own group's fill.
    EXPECT_EQ(c.at(9, 4), kBlack);
    EXPECT_EQ(c.at(1, 5), kBlack);
    EXPECT_EQ(c.at(5, 5), kRed);
    EXPECT_EQ(c.at(12, 12), kBlue);
}

TEST(StyleGroups, WithinOneGroupStrokesStayOnTopOfEveryFill) {
    Canvas c = drawnLow(outlinedThenOverlapped(0));
    EXPECT_EQ(c.at(9, 7), kBlack);
    EXPECT_EQ(c.at(7, 9), kBlack);
    EXPECT_EQ(c.at(12, 12), kBlue);
    EXPECT_EQ(c.at(7, 7), kBlue) << "the higher fill style wins where fills overlap";
}

TEST(StyleGroups, EachGroupKeepsItsOwnStrokeOrderAndMasksStillUniteThem) {
    // Three groups: red square with outline, blue square, then a black bar with no fill.
    ShapeDef shape = outlinedThenOverlapped(1);
    Path bar = rectPath(0, 7, 16, 8, 1);
    bar.styleGroup = 2;
    shape.paths.push_back(bar);
    shape.fills.push_back(solidFill(kBlackPen));
    shape.paths.back().fill1 = 3;
    Canvas c = drawnLow(shape);
    EXPECT_EQ(c.at(12, 7), kBlack);
    EXPECT_EQ(c.at(12, 8), kBlue);
    EXPECT_EQ(c.at(9, 8), kBlue);

    Canvas masked(16, 16);
    Renderer r;
    r.setTarget(masked.target());
    r.beginMask();
    r.drawShape(shape, params(Quality::Low));
    r.endMask();
    r.drawShape(rectShape(0, 0, 16, 16, kRedFill), params(Quality::Low));
    EXPECT_EQ(masked.at(15, 7), kRed) << "every group's fills make the mask";
    EXPECT_EQ(masked.at(3, 3), kRed);
    EXPECT_EQ(masked.at(13, 13), kRed);
    EXPECT_EQ(masked.at(1, 1), kBackground) << "strokes do not";
}

TEST(StyleGroups, GradientPaintsSurviveEachGroupsStrokes) {
    // Both groups fill with one horizontal gradient; group 0 is also outlined with a gradient
    // pen of other colours, drawn between the two groups' fills.
    FillStyle ramp;
    ramp.kind = FillKind::LinearGradient;
    ramp.matrix = {16.0 * kTwipsPerPixel / 32768, 0, 0, 1, 8.0 * kTwipsPerPixel, 0};  // across x = 0..16
    ramp.gradient.stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    FillStyle penPaint = ramp;
    penPaint.gradient.stops = {{0, {0, 255, 0, 255}}, {255, {255, 255, 0, 255}}};
    LineStyle pen = blackPen(2);
    pen.fill = penPaint;
    Path top = rectPath(2, 2, 14, 6, 1);
    top.line = 1;
    Path bottom = rectPath(2, 9, 14, 14, 1);
    bottom.styleGroup = 1;
    ShapeDef shape = shapeWith({ramp}, {top, bottom}, {pen});
    Canvas c = drawnLow(shape);
    EXPECT_EQ(c.at(8, 11), c.at(8, 4)) << "the second group's fill keeps the fill's ramp";
    EXPECT_EQ(greenOf(c.at(8, 11)), 0u);
    EXPECT_GT(redOf(c.at(3, 11)), blueOf(c.at(3, 11)));
    EXPECT_EQ(blueOf(c.at(8, 2)), 0u) << "the outline has the pen's own ramp";
    EXPECT_GT(greenOf(c.at(8, 2)), 200u);
}

}  // namespace
}  // namespace swf::render
