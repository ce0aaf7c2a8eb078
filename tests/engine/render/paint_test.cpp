#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "render/Paint.h"
#include "render/PixelMath.h"

namespace swf::render {
namespace {

using namespace testing;

constexpr Rgba kRedRgba{255, 0, 0, 255}, kBlueRgba{0, 0, 255, 255};

// A shape `width` pixels wide and 4 high, filled with `fill`.
ShapeDef stripWith(const FillStyle& fill, double width) { return shapeWith({fill}, {rectPath(0, 0, width, 4)}); }

// Gradient square mapped onto [x0, x1) pixels horizontally (and the same height about y = 0).
FillStyle gradientAcross(FillKind kind, double x0, double x1, SpreadMode spread = SpreadMode::Pad) {
    FillStyle f;
    f.kind = kind;
    double scale = (x1 - x0) * kTwipsPerPixel / 32768.0;
    f.matrix = {scale, 0, 0, scale, (x0 + x1) / 2 * kTwipsPerPixel, 0};
    f.gradient.spread = spread;
    f.gradient.stops = {{0, kRedRgba}, {255, kBlueRgba}};
    return f;
}

Canvas drawn(const ShapeDef& shape, int width, int height, DrawParams p = params()) {
    Canvas c(width, height);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(shape, p);
    return c;
}

TEST(Gradient, LinearRunsFromFirstToLastStopAcrossTheSquare) {
    Canvas c = drawn(stripWith(gradientAcross(FillKind::LinearGradient, 0, 64), 64), 64, 4);
    // Pixel centres 0.5 and 63.5 fall at ramp entries 2 and 253.
    EXPECT_EQ(c.at(0, 1), 0xFFFD0002u);
    EXPECT_EQ(c.at(63, 1), 0xFF0200FDu);
    for (int x = 1; x < 64; ++x) ASSERT_LE(redOf(c.at(x, 1)), redOf(c.at(x - 1, 1)));
}

TEST(Gradient, SpreadModesBeyondTheSquare) {
    Canvas pad = drawn(stripWith(gradientAcross(FillKind::LinearGradient, 0, 32, SpreadMode::Pad), 64), 64, 4);
    EXPECT_EQ(pad.at(48, 1), 0xFF0000FFu);
    EXPECT_EQ(pad.at(63, 1), 0xFF0000FFu);
    Canvas repeat = drawn(stripWith(gradientAcross(FillKind::LinearGradient, 0, 32, SpreadMode::Repeat), 64), 64, 4);
    EXPECT_EQ(repeat.at(40, 1), repeat.at(8, 1));
    EXPECT_NE(repeat.at(40, 1), repeat.at(23, 1));
    Canvas reflect = drawn(stripWith(gradientAcross(FillKind::LinearGradient, 0, 32, SpreadMode::Reflect), 64), 64, 4);
    EXPECT_EQ(reflect.at(40, 1), reflect.at(23, 1));
    EXPECT_EQ(reflect.at(8, 1), repeat.at(8, 1));
}

TEST(Gradient, RadialAndFocalCentres) {
    FillStyle radial = gradientAcross(FillKind::RadialGradient, 0, 40);
    radial.matrix.ty = 20 * kTwipsPerPixel;  // circle of radius 20 px centred on (20, 20)
    ShapeDef square = shapeWith({radial}, {rectPath(0, 0, 40, 40)});
    Canvas c = drawn(square, 40, 40);
    EXPECT_EQ(redOf(c.at(20, 20)), 246u);                // 0.7 px from the centre: ramp entry 9
    EXPECT_EQ(c.at(0, 0), 0xFF0000FFu);                  // corner, outside the circle: padded last stop
    EXPECT_EQ(c.at(20, 10), c.at(10, 20));               // rotational symmetry

    FillStyle focal = radial;
    focal.kind = FillKind::FocalGradient;
    focal.gradient.focalPoint = 0.5;  // focal point at (30, 20)
    Canvas f = drawn(shapeWith({focal}, {rectPath(0, 0, 40, 40)}), 40, 40);
    EXPECT_GE(redOf(f.at(30, 20)), 238u);
    // The circle's centre lies 9.5 px from the focal point on a 30 px ray to the rim.
    EXPECT_NEAR(redOf(f.at(20, 20)), 255 - 255 * 9.5 / 30, 2);
    // Equal distances from the focal point: nearer the rim on the right, so further along.
    EXPECT_LT(redOf(f.at(36, 20)), redOf(f.at(24, 20)));
}

TEST(Gradient, RampInterpolatesInTheAskedSpaceAfterTheColourTransform) {
    Gradient g;
    g.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    ColorRamp ramp;
    buildColorRamp(g, {}, ramp);
    EXPECT_EQ(ramp[0], 0xFF000000u);
    EXPECT_EQ(ramp[255], 0xFFFFFFFFu);
    EXPECT_NEAR(greenOf(ramp[128]), 128, 1);
    g.interpolation = InterpolationMode::Linear;
    buildColorRamp(g, {}, ramp);
    EXPECT_NEAR(greenOf(ramp[128]), 188, 1);  // half the light, not half the code value

    g.interpolation = InterpolationMode::Normal;
    ColorTransform halfAlpha{256, 256, 256, 128, 0, 0, 0, 0};
    buildColorRamp(g, halfAlpha, ramp);
    EXPECT_EQ(ramp[255], premultiply(halfAlpha.apply({255, 255, 255, 255})));
    EXPECT_EQ(alphaOf(ramp[0]), 127u);

    g.stops = {{100, {10, 20, 30, 255}}};  // a single stop is a flat colour
    buildColorRamp(g, {}, ramp);
    EXPECT_EQ(ramp[0], ramp[255]);
    g.stops.clear();
    buildColorRamp(g, {}, ramp);
    EXPECT_EQ(ramp[77], 0u);
}

TEST(Gradient, RampTruncatesBetweenStops) {
    Gradient g;
    g.stops = {{0, {255, 197, 0, 255}}, {255, {255, 161, 0, 255}}};
    ColorRamp ramp;
    buildColorRamp(g, {}, ramp);
    // 197 - 36 * 16 / 255 = 194.74 and 197 - 36 * 37 / 255 = 191.78: the runtime shows 194 and
    // 191, a falling channel rounds down too.
    EXPECT_EQ(greenOf(ramp[16]), 194u);
    EXPECT_EQ(greenOf(ramp[37]), 191u);
    g.stops = {{0, {0, 0, 0, 255}}, {255, {0, 36, 0, 255}}};
    buildColorRamp(g, {}, ramp);
    EXPECT_EQ(greenOf(ramp[7]), 0u);  // 36 * 7 / 255 = 0.99
    EXPECT_EQ(greenOf(ramp[8]), 1u);
    EXPECT_EQ(greenOf(ramp[255]), 36u);
}

TEST(Gradient, EveryStopAtASharedRatioGetsItsOwnBand) {
    const Rgba green{0, 255, 0, 255}, cyan{0, 255, 255, 255}, red{255, 0, 0, 255}, blue{0, 0, 255, 255},
        yellow{255, 255, 0, 255};
    Gradient g;
    g.stops = {{80, green}, {100, cyan}, {100, red}, {100, blue}, {100, yellow}, {200, green}};
    ColorRamp ramp;
    buildColorRamp(g, {}, ramp);
    EXPECT_EQ(ramp[0], premultiply(green));
    EXPECT_EQ(ramp[100], premultiply(cyan));
    EXPECT_EQ(ramp[101], premultiply(red));
    EXPECT_EQ(ramp[102], premultiply(blue));
    // The last stop of the run starts the next stretch, from entry 102 to 200.
    EXPECT_EQ(ramp[103], premultiply({252, 255, 0, 255}));
    EXPECT_EQ(redOf(ramp[152]), 124u);  // 255 - 255 * 50 / 98 = 124.9
    EXPECT_EQ(ramp[200], premultiply(green));

    // Two stops at one ratio stay a plain hard step, and runs at either end do not spill over.
    g.stops = {{0, red}, {0, blue}, {255, green}, {255, yellow}};
    buildColorRamp(g, {}, ramp);
    EXPECT_EQ(ramp[0], premultiply(red));
    EXPECT_EQ(blueOf(ramp[1]), 254u);
    EXPECT_EQ(ramp[255], premultiply(green));
    g.stops = {{255, red}, {255, blue}, {255, green}, {255, yellow}};
    buildColorRamp(g, {}, ramp);
    EXPECT_EQ(ramp[254], premultiply(red));
    EXPECT_EQ(ramp[255], premultiply(red)) << "no room past the end: the first stop holds";
}

// Two bitmap pixels: red then green.
struct TwoPixelBitmap {
    Pixel pixels[2] = {0xFFFF0000, 0xFF00FF00};
    BitmapResolver resolver = [this](uint16_t id) {
        return id == 5 ? BitmapView{2, 1, 2, pixels} : BitmapView{};
    };
};

FillStyle bitmapFill(FillKind kind, double pixelsPerTexel) {
    FillStyle f;
    f.kind = kind;
    f.bitmapId = 5;
    f.matrix = Matrix::scale(pixelsPerTexel * kTwipsPerPixel, pixelsPerTexel * kTwipsPerPixel);
    return f;
}

TEST(BitmapFill, RepeatingAndClippedNearestSampling) {
    TwoPixelBitmap bmp;
    DrawParams p = params();
    p.bitmaps = &bmp.resolver;
    Canvas repeat = drawn(stripWith(bitmapFill(FillKind::RepeatingBitmapHard, 1), 6), 6, 4, p);
    for (int x = 0; x < 6; ++x) ASSERT_EQ(repeat.at(x, 2), bmp.pixels[x % 2]) << x;
    Canvas clipped = drawn(stripWith(bitmapFill(FillKind::ClippedBitmapHard, 1), 6), 6, 4, p);
    EXPECT_EQ(clipped.at(0, 2), bmp.pixels[0]);
    for (int x = 1; x < 6; ++x) ASSERT_EQ(clipped.at(x, 2), bmp.pixels[1]) << x;  // edge pixels stretch outward
}

TEST(BitmapFill, SmoothingBlendsNeighboursOnlyInHighQuality) {
    TwoPixelBitmap bmp;
    DrawParams p = params();
    p.bitmaps = &bmp.resolver;
    // Two target pixels per bitmap pixel: pixel 1's centre lies a quarter of the way to green.
    Canvas clipped = drawn(stripWith(bitmapFill(FillKind::ClippedBitmap, 2), 8), 8, 4, p);
    EXPECT_EQ(clipped.at(0, 1), 0xFFFF0000u);
    EXPECT_EQ(clipped.at(1, 1), 0xFFBF3F00u);
    EXPECT_EQ(clipped.at(7, 1), 0xFF00FF00u);
    // Repeating wraps the left neighbour around to green.
    Canvas repeat = drawn(stripWith(bitmapFill(FillKind::RepeatingBitmap, 2), 8), 8, 4, p);
    EXPECT_EQ(repeat.at(0, 1), 0xFFBF3F00u);
    // Hard fills and low quality never smooth.
    EXPECT_EQ(drawn(stripWith(bitmapFill(FillKind::ClippedBitmapHard, 2), 8), 8, 4, p).at(1, 1), 0xFFFF0000u);
    p.quality = Quality::Low;
    EXPECT_EQ(drawn(stripWith(bitmapFill(FillKind::ClippedBitmap, 2), 8), 8, 4, p).at(1, 1), 0xFFFF0000u);
}

TEST(BitmapFill, SmoothingWeighsAllFourNeighbours) {
    // 2x2 texels drawn at twice their size: pixel (1, 1) samples a quarter of the way right
    // and down from the top-left texel's centre.
    Pixel quad[4] = {premultiply({200, 0, 0, 255}), premultiply({0, 200, 0, 255}), premultiply({0, 0, 200, 255}),
                     premultiply({100, 100, 100, 128})};
    BitmapResolver resolver = [&](uint16_t) { return BitmapView{2, 2, 2, quad}; };
    DrawParams p = params();
    p.bitmaps = &resolver;
    Canvas c(4, 4, 0);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(shapeWith({bitmapFill(FillKind::ClippedBitmap, 2)}, {rectPath(0, 0, 4, 4)}), p);
    auto channel = [&](int texel, int shift) { return int(quad[texel] >> shift & 255); };
    for (int shift : {0, 8, 16, 24}) {
        int top = (channel(0, shift) * 192 + channel(1, shift) * 64) >> 8;
        int bottom = (channel(2, shift) * 192 + channel(3, shift) * 64) >> 8;
        EXPECT_EQ(int(c.at(1, 1) >> shift & 255), (top * 192 + bottom * 64) >> 8) << shift;
    }
}

TEST(BitmapFill, SmoothedBitmapAtItsOwnSizeStaysCrisp) {
    Pixel texels[12];
    for (int i = 0; i < 12; ++i) texels[i] = premultiply({uint8_t(i * 20), uint8_t(255 - i * 20), uint8_t(i * 7), uint8_t(100 + i * 10)});
    BitmapResolver resolver = [&](uint16_t) { return BitmapView{4, 3, 4, texels}; };
    DrawParams p = params();
    p.bitmaps = &resolver;
    FillStyle f = bitmapFill(FillKind::ClippedBitmap, 1);
    f.matrix.tx = 2 * kTwipsPerPixel;
    f.matrix.ty = 1 * kTwipsPerPixel;
    Canvas c(8, 6, 0);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(shapeWith({f}, {rectPath(2, 1, 6, 4)}), p);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(c.at(x + 2, y + 1), texels[y * 4 + x]) << x << "," << y;
    // Half a pixel off, the same bitmap is filtered.
    f.matrix.tx += kTwipsPerPixel / 2;
    Canvas d(8, 6, 0);
    r.setTarget(d.target());
    r.drawShape(shapeWith({f}, {rectPath(2, 1, 6, 4)}), p);
    EXPECT_NE(d.at(4, 2), texels[1 * 4 + 2]);
}

TEST(BitmapFill, ColourTransformAppliesPerPixelAndMissingBitmapsDrawNothing) {
    TwoPixelBitmap bmp;
    DrawParams p = params();
    p.bitmaps = &bmp.resolver;
    p.colorTransform = {0, 256, 256, 256, 0, 0, 255, 0};  // red off, blue full
    Canvas c = drawn(stripWith(bitmapFill(FillKind::RepeatingBitmapHard, 1), 4), 4, 4, p);
    EXPECT_EQ(c.at(0, 0), 0xFF0000FFu);
    EXPECT_EQ(c.at(1, 0), 0xFF00FFFFu);

    // Fades and tints scale premultiplied channels directly; they must agree (to rounding)
    // with the definition on straight colour.
    Pixel glass[2] = {premultiply({200, 100, 50, 128}), premultiply({10, 20, 240, 255})};
    BitmapResolver glassResolver = [&](uint16_t) { return BitmapView{2, 1, 2, glass}; };
    p.bitmaps = &glassResolver;
    for (ColorTransform cx : {ColorTransform{256, 256, 256, 77, 0, 0, 0, 0}, ColorTransform{100, 256, 30, 200, 0, 0, 0, 0}}) {
        p.colorTransform = cx;
        Canvas faded(4, 4, 0);
        Renderer r;
        r.setTarget(faded.target());
        r.drawShape(stripWith(bitmapFill(FillKind::RepeatingBitmapHard, 1), 4), p);
        for (int x = 0; x < 2; ++x) {
            Pixel want = premultiply(cx.apply(unpremultiply(glass[x])));
            Pixel got = faded.at(x, 0);
            for (int shift : {0, 8, 16, 24})
                EXPECT_NEAR(int(got >> shift & 255), int(want >> shift & 255), 1) << x << " shift " << shift;
        }
    }

    p.bitmaps = &bmp.resolver;
    FillStyle unknown = bitmapFill(FillKind::RepeatingBitmap, 1);
    unknown.bitmapId = 9;
    EXPECT_EQ(drawn(stripWith(unknown, 4), 4, 4, p).countNot(kBackground), 0);
    EXPECT_EQ(drawn(stripWith(unknown, 4), 4, 4, params()).countNot(kBackground), 0);  // no resolver
}

TEST(BitmapFill, SingularFillMatrixPaintsWithoutGarbage) {
    TwoPixelBitmap bmp;
    DrawParams p = params();
    p.bitmaps = &bmp.resolver;
    FillStyle f = bitmapFill(FillKind::RepeatingBitmap, 1);
    f.matrix = Matrix::scale(0, 0);
    Canvas c = drawn(stripWith(f, 4), 4, 4, p);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(alphaOf(c.at(x, 1)), 255u);
    FillStyle g = gradientAcross(FillKind::FocalGradient, 0, 0);
    Canvas d = drawn(stripWith(g, 4), 4, 4);
    EXPECT_EQ(alphaOf(d.at(1, 1)), 255u);
}

}  // namespace
}  // namespace swf::render
