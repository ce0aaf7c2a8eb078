#include <gtest/gtest.h>

#include <cmath>

#include "MovieFixture.h"
#include "player/FilterPainter.h"
#include "player/LayerCompositor.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf {
namespace {

using namespace swf::testing;
using render::PixelRect;

Pixel blendOne(Pixel layer, Pixel below, BlendMode mode, bool insideGroup = false) {
    PixelPlane src{&layer, 4}, dst{&below, 4};
    compositeLayer(src, dst, {0, 0, 1, 1}, mode, insideGroup);
    return below;
}

TEST(BlendModes, SeparableModesOnOpaquePixels) {
    const Pixel grey = 0xFF808080, orange = 0xFFFF8000;
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Normal), orange);
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Multiply), 0xFF804000u);
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Screen), 0xFFFFC080u);
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Lighten), 0xFFFF8080u);
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Darken), 0xFF808000u);
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Difference), 0xFF7F0080u);
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Add), 0xFFFFFF80u) << "adds and clamps";
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Subtract), 0xFF000080u) << "subtracts the layer from below";
    EXPECT_EQ(blendOne(orange, grey, BlendMode::Invert), 0xFF7F7F7Fu) << "inverts below, whatever the layer's colour";
    EXPECT_EQ(blendOne(0xFF000000, 0xFF4080C0, BlendMode::HardLight), 0xFF000000u);
    // Overlay by black: dark channels below go black, light ones are only pulled down.
    EXPECT_EQ(blendOne(0xFF000000, 0xFF4080C0, BlendMode::Overlay), 0xFF000181u);
}

TEST(BlendModes, TransparentLayerPixelsLeaveWhatIsBelow) {
    for (BlendMode mode : {BlendMode::Normal, BlendMode::Multiply, BlendMode::Add, BlendMode::Invert, BlendMode::Erase})
        EXPECT_EQ(blendOne(0, 0xFF123456, mode, true), 0xFF123456u) << int(mode);
}

TEST(BlendModes, AlphaAndEraseWorkOnlyInsideAGroup) {
    const Pixel half = 0x80000000;  // 50 % alpha
    EXPECT_EQ(blendOne(half, 0xFFFF0000, BlendMode::Alpha), 0xFFFF0000u) << "at the stage: dropped";
    EXPECT_EQ(blendOne(half, 0xFFFF0000, BlendMode::Erase), 0xFFFF0000u);
    EXPECT_EQ(blendOne(half, 0xFFFF0000, BlendMode::Alpha, true), 0x80800000u);
    EXPECT_EQ(blendOne(half, 0xFFFF0000, BlendMode::Erase, true), 0x7F7F0000u);
    EXPECT_EQ(blendOne(0x01000000, 0xFFFF0000, BlendMode::Alpha, true), 0x01010000u) << "almost transparent: almost gone";
    EXPECT_EQ(blendOne(0, 0xFFFF0000, BlendMode::Alpha, true), 0xFFFF0000u) << "no layer pixel: the group stays";
}

struct FilterCanvas {
    static constexpr int kSize = 21;
    std::vector<Pixel> px = std::vector<Pixel>(kSize * kSize, 0);
    PixelPlane plane() { return {px.data(), kSize * 4}; }
    Pixel& at(int x, int y) { return px[size_t(y) * kSize + x]; }
    int alpha(int x, int y) { return int(at(x, y) >> 24); }
};

TEST(Filters, BlurSpreadsSymmetricallyAndKeepsTheTotal) {
    FilterCanvas c;
    c.at(10, 10) = 0xFFFFFFFF;
    applyFilters({BlurFilter{5, 5, 1}}, c.plane(), {0, 0, 21, 21}, 1.0);
    EXPECT_EQ(c.alpha(8, 10), c.alpha(12, 10));
    EXPECT_EQ(c.alpha(10, 8), c.alpha(10, 12));
    EXPECT_GT(c.alpha(10, 10), 0);
    EXPECT_EQ(c.alpha(14, 10), 0) << "a box of 5 reaches 2 pixels";
    int total = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) total += c.alpha(x, y);
    EXPECT_NEAR(total, 255, 25);
}

TEST(Filters, DropShadowFallsAtItsAngleAndDistanceBehindTheObject) {
    FilterCanvas c;
    for (int y = 5; y < 10; ++y)
        for (int x = 5; x < 10; ++x) c.at(x, y) = 0xFFFF0000;
    DropShadowFilter shadow;
    shadow.color = {0, 0, 0, 255};
    shadow.p.blurX = shadow.p.blurY = 0;
    shadow.p.distance = 4;
    shadow.p.angle = 0;  // to the right
    applyFilters({shadow}, c.plane(), {0, 0, 21, 21}, 1.0);
    EXPECT_EQ(c.at(7, 7), 0xFFFF0000u) << "the object stays on top";
    EXPECT_EQ(c.at(12, 7), 0xFF000000u) << "the shadow shows beside it";
    EXPECT_EQ(c.at(7, 12), 0u);
    EXPECT_EQ(c.at(2, 7), 0u);
}

TEST(Filters, ColorMatrixSwapsChannels) {
    FilterCanvas c;
    c.at(0, 0) = 0xFFFF0000;
    ColorMatrixFilter swap;
    swap.m = {0, 0, 1, 0, 0,  0, 1, 0, 0, 0,  1, 0, 0, 0, 0,  0, 0, 0, 1, 0};
    applyFilters({swap}, c.plane(), {0, 0, 1, 1}, 1.0);
    EXPECT_EQ(c.at(0, 0), 0xFF0000FFu);
}

TEST(Filters, AbsurdValuesFromADamagedFileAreClampedNotTrusted) {
    FilterCanvas c;
    c.at(10, 10) = 0xFFFFFFFF;
    DropShadowFilter shadow;
    shadow.p.blurX = 1e300;
    shadow.p.blurY = std::nan("");
    shadow.p.distance = -1e308;
    ConvolutionFilter huge;
    huge.columns = huge.rows = 200;
    huge.matrix.assign(200 * 200, 1.0f);
    applyFilters({shadow, BlurFilter{1e12, 3, 3}, huge}, c.plane(), {0, 0, 21, 21}, 1e6);  // returns at once
    for (Pixel p : c.px) {
        uint32_t a = p >> 24;
        EXPECT_TRUE((p >> 16 & 0xFF) <= a && (p >> 8 & 0xFF) <= a && (p & 0xFF) <= a) << std::hex << p;
    }
    // Spread over a box far wider than the area, the single pixel averages away.
    EXPECT_EQ(std::count(c.px.begin(), c.px.end(), 0u), 21 * 21);
}

TEST(Layers, ABlendedChildIsDrawnThroughAGroup) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 100, 100, {128, 128, 128, 255})).define(2, rectShape(10, 10, 20, 20, {255, 128, 0, 255}));
    PlaceObject blended = place(2, 2);
    blended.version = 3;
    blended.blendMode = BlendMode::Multiply;
    b.frame({place(1, 1), blended});
    NullHost host;
    Player p(b.build(), host);
    DrawList list = p.drawList();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].op, DrawItem::Op::BeginLayer);
    EXPECT_EQ(list[1].blend, BlendMode::Multiply);
    EXPECT_EQ(list[3].op, DrawItem::Op::EndLayer);

    std::vector<Pixel> px(100 * 100, 0);
    p.render({px.data(), 100, 100, 400}, Matrix::scale(0.05, 0.05), render::Quality::Low, true);
    EXPECT_EQ(px[20 * 100 + 20], 0xFF804000u);
    EXPECT_EQ(px[5 * 100 + 5], 0xFF808080u);
}

TEST(Layers, AGroupInsideAMaskIsBothMaskedAndBlended) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 100, 100, {128, 128, 128, 255}))
        .define(2, rectShape(0, 0, 15, 100, {0, 0, 0, 255}))
        .define(3, rectShape(10, 10, 20, 20, {255, 128, 0, 255}));
    PlaceObject mask = place(2, 2);
    mask.clipDepth = 5;
    PlaceObject blended = place(3, 3);
    blended.version = 3;
    blended.blendMode = BlendMode::Multiply;
    b.frame({place(1, 1), mask, blended});
    NullHost host;
    Player p(b.build(), host);
    std::vector<Pixel> px(100 * 100, 0);
    p.render({px.data(), 100, 100, 400}, Matrix::scale(0.05, 0.05), render::Quality::Low, true);
    EXPECT_EQ(px[20 * 100 + 12], 0xFF804000u) << "inside the mask: multiplied";
    EXPECT_EQ(px[20 * 100 + 20], 0xFF808080u) << "outside the mask: nothing";
    EXPECT_EQ(px[50 * 100 + 12], 0xFF808080u);

    // The next frame's render starts without the mask or a layer target left over.
    std::vector<Pixel> again(100 * 100, 0);
    p.render({again.data(), 100, 100, 400}, Matrix::scale(0.05, 0.05), render::Quality::Low, true);
    EXPECT_EQ(again, px);
}

TEST(Layers, AShadowWidensTheChangedArea) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, {255, 0, 0, 255}));
    PlaceObject shadowed = place(1, 1, 40, 40);
    DropShadowFilter shadow;
    shadow.p.distance = 10;
    shadowed.filters = FilterList{shadow};
    b.frame({shadowed}).frame({moveTo(1, 45, 40)});
    NullHost host;
    Player p(b.build(), host);
    std::vector<Pixel> px(100 * 100, 0);
    const Matrix m = Matrix::scale(0.05, 0.05);
    p.render({px.data(), 100, 100, 400}, m, render::Quality::Low, true);
    p.advance();
    PixelRect changed = p.changedRect(m);
    EXPECT_GE(changed.right, 45 + 10 + 10) << "the moved shadow lies right of the square";
    EXPECT_LE(changed.left, 40 - 4);
}

}  // namespace
}  // namespace swf
