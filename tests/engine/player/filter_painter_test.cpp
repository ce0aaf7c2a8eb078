#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "player/FilterPainter.h"

namespace swf {
namespace {

// A small transparent layer with an opaque square drawn into it.
struct Layer {
    int size;
    std::vector<Pixel> px;
    explicit Layer(int n = 15) : size(n), px(size_t(n) * n, 0) {}
    PixelPlane plane() { return {px.data(), size * 4}; }
    Pixel& at(int x, int y) { return px[size_t(y) * size + x]; }
    void square(int from, int to, Pixel color) {
        for (int y = from; y <= to; ++y)
            for (int x = from; x <= to; ++x) at(x, y) = color;
    }
    void filter(const Filter& f, double scale = 1.0) { applyFilters({f}, plane(), {0, 0, size, size}, scale); }
};

constexpr Pixel kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

FilterShadowParams noBlur() {
    FilterShadowParams p;
    p.blurX = p.blurY = 0;
    return p;
}

TEST(BlurBox, AbsurdWidthsAreClampedBeforeUse) {
    EXPECT_EQ(blurWidth(5.5), 5.5);
    EXPECT_EQ(blurWidth(-7), 0);
    EXPECT_EQ(blurWidth(std::nan("")), 0);
    EXPECT_EQ(blurWidth(1e300), 16384);
}

TEST(BlurBox, OnePassTurnsAStepIntoAnEvenRamp) {
    std::vector<float> row = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1};
    boxBlur(row.data(), 10, 1, 1, 0, 3, 1, 1);
    const std::vector<float> expected = {0, 0, 0, 1.0f / 3, 2.0f / 3, 1, 1, 1, 1, 2.0f / 3};
    for (size_t i = 0; i < row.size(); ++i) EXPECT_NEAR(row[i], expected[i], 1e-6) << "pixel " << i << " (outside counts as 0)";
}

TEST(BlurBox, AnEvenWidthWeighsItsOutermostPixelsByHalf) {
    std::vector<float> row = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1};
    boxBlur(row.data(), 10, 1, 1, 0, 4, 0, 1);
    const std::vector<float> expected = {0, 0, 0.5f / 4, 1.5f / 4, 2.5f / 4, 3.5f / 4, 1, 1, 3.5f / 4, 2.5f / 4};
    for (size_t i = 0; i < row.size(); ++i) EXPECT_NEAR(row[i], expected[i], 1e-6) << "pixel " << i;
}

TEST(BlurBox, AWidthOfOneOrLessLeavesTheImage) {
    std::vector<float> row = {0, 1, 0, 0.5f};
    const std::vector<float> before = row;
    boxBlur(row.data(), 4, 1, 1, 0, 1, 0.5, 3);
    EXPECT_EQ(row, before);
}

TEST(BlurBox, PassesRepeatTheBoxAndOnlyTouchTheChosenChannel) {
    // Two passes of a 3-box over a dot: (1 2 3 2 1) / 9, columns likewise.
    std::vector<float> px(7 * 7 * 2, 0.0f);
    px[(3 * 7 + 3) * 2 + 1] = 1;
    px[(3 * 7 + 3) * 2 + 0] = 0.5f;
    boxBlur(px.data(), 7, 7, 2, 1, 3, 3, 2);
    const float weights[] = {0, 1, 2, 3, 2, 1, 0};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_NEAR(px[(y * 7 + x) * 2 + 1], weights[x] * weights[y] / 81, 1e-6) << x << "," << y;
    EXPECT_EQ(px[(3 * 7 + 3) * 2 + 0], 0.5f) << "the other channel is untouched";
}

TEST(BlurBox, RunningSumsAgreeWithWeighingEveryWindow) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0, 1);
    std::vector<float> row(40);
    for (float& v : row) v = unit(random);
    for (double width : {1.5, 3.0, 4.0, 6.5, 39.0, 81.0}) {
        std::vector<float> fast = row;
        boxBlur(fast.data(), 40, 1, 1, 0, width, 0, 1);
        for (int i = 0; i < 40; ++i) {
            // Each pixel weighs by how much of it the box [i - width/2, i + width/2] covers.
            double sum = 0;
            for (int j = 0; j < 40; ++j) sum += std::clamp(width / 2 + 0.5 - std::abs(j - i), 0.0, 1.0) * row[j];
            EXPECT_NEAR(fast[i], sum / width, 1e-5) << "width " << width << " pixel " << i;
        }
    }
}

TEST(Blur, SpreadsAOnePixelLineOverTheBoxAndScalesWithTheView) {
    Layer l;
    for (int y = 0; y < l.size; ++y) l.at(7, y) = 0xFFFFFFFF;
    l.filter(BlurFilter{5, 0, 1});
    for (int x = 5; x <= 9; ++x) EXPECT_EQ(l.at(x, 7), 0x33333333u) << x;
    EXPECT_EQ(l.at(4, 7), 0u);
    EXPECT_EQ(l.at(10, 7), 0u);

    Layer zoomed;
    for (int y = 0; y < zoomed.size; ++y) zoomed.at(7, y) = 0xFFFFFFFF;
    zoomed.filter(BlurFilter{2.5, 0, 1}, 2.0);  // 2.5 stage pixels seen at twice the size
    EXPECT_EQ(zoomed.px, l.px);
}

TEST(Glow, StrengthMultipliesTheBlurredAlphaAndIsClamped) {
    GlowFilter glow;
    glow.color = {0, 0, 255, 255};
    glow.p.blurX = glow.p.blurY = 3;
    glow.p.strength = 2;
    Layer l;
    l.square(4, 10, kRed);
    l.filter(glow);
    // One pixel left of the square the 3x3 box sees a third of it: 1/3 * 2.
    EXPECT_EQ(l.at(3, 7), 0xAA0000AAu);
    EXPECT_EQ(l.at(2, 7), 0u);
    EXPECT_EQ(l.at(7, 7), kRed) << "the object is drawn over its glow";

    glow.p.strength = 4;
    Layer strong;
    strong.square(4, 10, kRed);
    strong.filter(glow);
    EXPECT_EQ(strong.at(3, 7), kBlue) << "4/3 is clamped to full";
    EXPECT_EQ(strong.at(3, 3), 0x71000071u) << "corner: 1/9 * 4";
}

TEST(Glow, TheColourAlphaScalesTheEffect) {
    GlowFilter glow;
    glow.color = {0, 0, 255, 128};
    glow.p = noBlur();
    glow.p.blurX = 3;
    glow.p.strength = 3;
    Layer l;
    l.square(4, 10, kRed);
    l.filter(glow);
    EXPECT_EQ(l.at(3, 7), 0x80000080u) << "clamped to 1, then times the colour's alpha";
}

TEST(Glow, KnockoutKeepsOnlyTheGlowAroundTheObject) {
    GlowFilter glow;
    glow.color = {0, 0, 255, 255};
    glow.p.blurX = glow.p.blurY = 3;
    glow.p.knockout = true;
    Layer l;
    l.square(4, 10, kRed);
    l.filter(glow);
    EXPECT_EQ(l.at(7, 7), 0u) << "the object is cut out";
    EXPECT_EQ(l.at(4, 7), 0u) << "even where the glow lies under it";
    EXPECT_EQ(l.at(3, 7), 0x55000055u);
}

TEST(Glow, InnerGlowLightsTheObjectsEdgeFromInside) {
    GlowFilter glow;
    glow.color = {0, 0, 255, 255};
    glow.p.blurX = glow.p.blurY = 3;
    glow.p.inner = true;
    Layer l;
    l.square(4, 10, kRed);
    l.filter(glow);
    // The edge pixel's box sees a third of outside: blue at 1/3 atop red.
    EXPECT_EQ(l.at(4, 7), 0xFFAA0055u);
    EXPECT_EQ(l.at(7, 7), kRed) << "no glow away from the edge";
    EXPECT_EQ(l.at(3, 7), 0u) << "nothing outside the object";

    glow.p.knockout = true;
    Layer knocked;
    knocked.square(4, 10, kRed);
    knocked.filter(glow);
    EXPECT_EQ(knocked.at(4, 7), 0x55000055u) << "only the glow, inside the object";
    EXPECT_EQ(knocked.at(7, 7), 0u);
    EXPECT_EQ(knocked.at(3, 7), 0u);
}

TEST(DropShadow, AHiddenObjectLeavesItsShadow) {
    DropShadowFilter shadow;
    shadow.color = {0, 0, 0, 255};
    shadow.p = noBlur();
    shadow.p.distance = 2;
    shadow.p.angle = 3.14159265358979 / 2;  // straight down
    shadow.p.compositeSource = false;
    Layer l;
    l.square(4, 8, kRed);
    l.filter(shadow);
    EXPECT_EQ(l.at(6, 4), 0u) << "the object itself is gone";
    EXPECT_EQ(l.at(6, 5), 0u) << "the shadow starts two pixels down";
    EXPECT_EQ(l.at(6, 6), 0xFF000000u) << "the shadow shows even under where the object was";
    EXPECT_EQ(l.at(6, 10), 0xFF000000u);
    EXPECT_EQ(l.at(6, 11), 0u);
}

TEST(DropShadow, AnInnerShadowDarkensTheSideFacingAway) {
    DropShadowFilter shadow;
    shadow.color = {0, 0, 0, 255};
    shadow.p = noBlur();
    shadow.p.distance = 1;
    shadow.p.angle = 0;  // falls to the right
    shadow.p.inner = true;
    Layer l;
    l.square(4, 10, kRed);
    l.filter(shadow);
    EXPECT_EQ(l.at(4, 7), 0xFF000000u) << "the left inner edge is in the shadow";
    EXPECT_EQ(l.at(10, 7), kRed);
    EXPECT_EQ(l.at(3, 7), 0u);
}

BevelFilter sharpBevel() {
    BevelFilter bevel;
    bevel.highlightColor = {255, 255, 255, 255};
    bevel.shadowColor = {0, 0, 0, 255};
    bevel.p = noBlur();
    bevel.p.distance = 1;
    bevel.p.angle = 0;  // light from the left
    return bevel;
}

TEST(Bevel, InnerLightsTheSideTowardsTheLightAndShadesTheOther) {
    BevelFilter bevel = sharpBevel();
    bevel.p.inner = true;
    Layer l;
    l.square(4, 10, kRed);
    l.filter(bevel);
    EXPECT_EQ(l.at(4, 7), 0xFFFFFFFFu);
    EXPECT_EQ(l.at(10, 7), 0xFF000000u);
    EXPECT_EQ(l.at(7, 7), kRed);
    EXPECT_EQ(l.at(3, 7), 0u);
    EXPECT_EQ(l.at(11, 7), 0u);
}

TEST(Bevel, OuterStaysOutsideAndFullCoversBoth) {
    BevelFilter bevel = sharpBevel();
    Layer outer;
    outer.square(4, 10, kRed);
    outer.filter(bevel);
    EXPECT_EQ(outer.at(3, 7), 0xFFFFFFFFu) << "lit outside the left edge";
    EXPECT_EQ(outer.at(11, 7), 0xFF000000u) << "shaded outside the right edge";
    EXPECT_EQ(outer.at(4, 7), kRed) << "the object is drawn over an outer bevel";

    bevel.p.onTop = true;
    Layer full;
    full.square(4, 10, kRed);
    full.filter(bevel);
    EXPECT_EQ(full.at(3, 7), 0xFFFFFFFFu);
    EXPECT_EQ(full.at(4, 7), 0xFFFFFFFFu) << "a full bevel lies on the object too";
    EXPECT_EQ(full.at(10, 7), 0xFF000000u);
    EXPECT_EQ(full.at(7, 7), kRed);

    bevel.p.knockout = true;
    Layer knocked;
    knocked.square(4, 10, kRed);
    knocked.filter(bevel);
    EXPECT_EQ(knocked.at(4, 7), 0xFFFFFFFFu);
    EXPECT_EQ(knocked.at(7, 7), 0u) << "knockout removes the object, both colours stay";
    EXPECT_EQ(knocked.at(11, 7), 0xFF000000u);
}

TEST(GradientGlow, TheGlowStrengthPicksTheGradientColour) {
    GradientGlowFilter glow;
    glow.stops = {{0, {0, 0, 0, 0}}, {128, {255, 0, 0, 255}}, {255, {0, 255, 0, 255}}};
    glow.p.blurX = glow.p.blurY = 3;
    glow.p.knockout = true;
    Layer l;
    l.square(4, 10, kRed);
    l.filter(glow);
    // Beside an edge the box sees 1/3 of the object, at a corner 1/9: both below the red stop.
    Pixel edge = l.at(3, 7), corner = l.at(3, 3);
    EXPECT_EQ(edge >> 24, 169u) << "ratio 85, two thirds of the way to opaque red at 128";
    EXPECT_EQ(edge & 0xFFFF, 0u) << "no green before the middle stop";
    EXPECT_LT(corner >> 24, edge >> 24);
}

TEST(GradientBevel, LitSideTakesTheFirstColourAndTheDarkSideTheLast) {
    GradientBevelFilter bevel;
    bevel.stops = {{0, {255, 255, 255, 255}}, {128, {0, 0, 0, 0}}, {255, {0, 0, 255, 255}}};
    bevel.p = noBlur();
    bevel.p.distance = 1;
    bevel.p.angle = 0;
    bevel.p.inner = true;
    Layer l;
    l.square(4, 10, kRed);
    l.filter(bevel);
    EXPECT_EQ(l.at(4, 7), 0xFFFFFFFFu);
    EXPECT_EQ(l.at(10, 7), kBlue);
    EXPECT_EQ(l.at(7, 7), kRed) << "the middle of the gradient is transparent";
}

}  // namespace
}  // namespace swf
