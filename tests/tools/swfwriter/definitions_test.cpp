// Definition tags against bytes worked out by hand from the file format.
#include <gtest/gtest.h>
#include <zlib.h>

#include "Bits.h"
#include "Button.h"
#include "Bitmaps.h"
#include "Font.h"
#include "MorphShape.h"
#include "ShapeEncoding.h"
#include "Text.h"

using namespace swfw;

namespace {

const swf::Rgba kRed{255, 0, 0, 255};
const swf::Rgba kBlue{0, 0, 255, 255};

Bytes inflate(const Bytes& compressed, size_t expectedSize) {
    Bytes out(expectedSize + 16);
    uLongf size = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(out.data(), &size, compressed.data(), static_cast<uLong>(compressed.size())), Z_OK);
    out.resize(size);
    return out;
}

}  // namespace

TEST(DefineShape, RedSquareInDefineShape1) {
    ShapeBuilder square;
    square.fill1(square.addSolidFill(kRed)).rectangle(0, 0, 100, 100);
    Bytes expected = concat({
        {0x01, 0x00},
        bits("01000 00000000 01100100 00000000 01100100"),  // bounds, 8 bits each
        {0x01, 0x00, 0xFF, 0x00, 0x00},                     // one solid RGB fill
        {0x00},                                             // no line styles
        {0x10},                                             // 1 fill bit, 0 line bits
        bits("0 0 0 1 0 1  00000  1"                        // fill1 = 1, move to (0, 0)
             "1 1 0110 0 0 01100100"                        // right 100
             "1 1 0110 0 1 01100100"                        // down 100
             "1 1 0110 0 0 10011100"                        // left 100
             "1 1 0110 0 1 10011100"                        // up 100
             "000000"),                                     // end of shape
    });
    EXPECT_EQ(encodeDefineShape(1, square, 1), expected);
}

TEST(DefineShape, CurveEdgeAndStrokeBounds) {
    ShapeBuilder s;
    s.line(s.addSolidLine(40, kBlue)).moveTo(0, 0).curveTo(10, -10, 20, 0);
    // The curve peaks at y = -5; a 40-twip stroke widens every side by 20.
    EXPECT_EQ(s.edgeBounds(), (swf::Rect{0, 20, -5, 0}));
    EXPECT_EQ(s.strokeBounds(), (swf::Rect{-20, 40, -30, 20}));
    Bytes expected = concat({
        {0x07, 0x00},
        bits("00111 1101100 0101000 1100010 0010100"),  // -20, 40, -30, 20 in 7 bits
        {0x00},                                         // no fills
        {0x01, 0x28, 0x00, 0x00, 0x00, 0xFF, 0xFF},     // width 40, RGBA blue
        {0x01},                                         // 0 fill bits, 1 line bit
        bits("0 0 1 0 0 1 00000 1"                      // line 1, move to (0, 0)
             "1 0 0011 01010 10110 01010 01010"         // curve: control (10,-10), anchor (+10,+10), 5 bits
             "000000"),
    });
    EXPECT_EQ(encodeDefineShape(7, s, 3), expected);
}

TEST(DefineShape, VersionLimitsAreErrorsNotSilentLoss) {
    ShapeBuilder translucent;
    translucent.fill0(translucent.addSolidFill({0, 0, 0, 128})).rectangle(0, 0, 20, 20);
    EXPECT_THROW(encodeDefineShape(1, translucent, 2), std::invalid_argument);
    EXPECT_NO_THROW(encodeDefineShape(1, translucent, 3));

    ShapeBuilder focal;
    swf::FillStyle f;
    f.kind = swf::FillKind::FocalGradient;
    f.gradient.stops = {{0, kRed}, {255, kBlue}};
    f.gradient.focalPoint = 0.5f;
    focal.fill0(focal.addFill(f)).rectangle(0, 0, 20, 20);
    EXPECT_THROW(encodeDefineShape(1, focal, 3), std::invalid_argument);
    EXPECT_NO_THROW(encodeDefineShape(1, focal, 4));

    ShapeBuilder regrouped;
    regrouped.fill0(regrouped.addSolidFill(kRed)).rectangle(0, 0, 20, 20);
    regrouped.newStyles();
    regrouped.fill0(regrouped.addSolidFill(kBlue)).rectangle(40, 0, 20, 20);
    EXPECT_THROW(encodeDefineShape(1, regrouped, 1), std::invalid_argument);
    EXPECT_NO_THROW(encodeDefineShape(1, regrouped, 2));

    ShapeBuilder capped;
    swf::LineStyle square;
    square.width = 20;
    square.startCap = square.endCap = swf::CapStyle::Square;
    capped.line(capped.addLine(square)).moveTo(0, 0).lineTo(100, 0);
    EXPECT_THROW(encodeDefineShape(1, capped, 3), std::invalid_argument);

    ShapeBuilder huge;
    huge.fill0(huge.addSolidFill(kRed)).moveTo(0, 0).lineTo(70000, 0);
    EXPECT_THROW(encodeDefineShape(1, huge, 3), std::out_of_range);

    ShapeBuilder b;
    EXPECT_THROW(b.fill0(1), std::out_of_range);  // no fill defined yet
}

TEST(DefineShape, GradientAndLineStyle2Encoding) {
    Writer w;
    swf::FillStyle linear;
    linear.kind = swf::FillKind::LinearGradient;
    linear.gradient.spread = swf::SpreadMode::Reflect;
    linear.gradient.interpolation = swf::InterpolationMode::Linear;
    linear.gradient.stops = {{0, kRed}, {255, kBlue}};
    writeFillStyle(w, linear, 4);
    EXPECT_EQ(w.take(), concat({{0x10, 0x00}, bits("01 01 0010"), {0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}}));

    Writer l;
    swf::LineStyle miter;
    miter.width = 20;
    miter.join = swf::JoinStyle::Miter;
    miter.miterLimit = 2.0f;
    miter.endCap = swf::CapStyle::Square;
    miter.noClose = true;
    miter.color = kRed;
    writeLineStyle(l, miter, 4);
    // width, start cap round 00, join miter 10, no fill, no scale flags, reserved, noClose, end cap square 10
    EXPECT_EQ(l.take(), concat({{0x14, 0x00}, bits("00 10 0 0 0 0 00000 1 10"), {0x00, 0x02}, {0xFF, 0x00, 0x00, 0xFF}}));
}

TEST(DefineMorphShape, SolidFillFromRedToBlue) {
    MorphShape m;
    swf::FillStyle red, blue;
    red.color = kRed;
    blue.color = kBlue;
    m.start().fill0(m.addFill(red, blue)).moveTo(0, 0).lineTo(20, 0);
    m.end().moveTo(0, 0).lineTo(40, 0);
    Bytes expected = concat({
        {0x01, 0x00},
        bits("00110 000000 010100 000000 000000"),   // start bounds 0..20 x 0..0
        bits("00111 0000000 0101000 0000000 0000000"),  // end bounds 0..40
        {0x10, 0x00, 0x00, 0x00},                    // 16 bytes of styles and start edges follow
        {0x01, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF},
        {0x00},
        {0x10}, bits("0 0 0 0 1 1 00000 1  1 1 0100 0 0 010100  000000"),
        {0x00}, bits("0 0 0 0 0 1 00000  1 1 0101 0 0 0101000  000000"),
    });
    EXPECT_EQ(encodeDefineMorphShape(1, m, 1), expected);

    MorphShape mismatched;
    mismatched.start().fill0(mismatched.addFill(red, blue)).moveTo(0, 0).lineTo(20, 0).lineTo(20, 20);
    mismatched.end().moveTo(0, 0).lineTo(40, 0);
    EXPECT_THROW(encodeDefineMorphShape(1, mismatched, 1), std::invalid_argument);
}

TEST(DefineBitsLossless, PixelLayoutsInsideTheZlibStream) {
    Image image(3, 1, kRed);
    image.at(1, 0) = kBlue;
    Bytes rgb = encodeDefineBitsLossless(5, image, 1, LosslessFormat::Rgb32);
    ASSERT_GT(rgb.size(), 7u);
    EXPECT_EQ(Bytes(rgb.begin(), rgb.begin() + 7), (Bytes{0x05, 0x00, 0x05, 0x03, 0x00, 0x01, 0x00}));
    EXPECT_EQ(inflate(Bytes(rgb.begin() + 7, rgb.end()), 12),
              (Bytes{0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0}));  // reserved byte, R, G, B

    Bytes mapped = encodeDefineBitsLossless(5, image, 1, LosslessFormat::ColorMapped8);
    EXPECT_EQ(mapped[2], 3);
    EXPECT_EQ(mapped[7], 1);  // two colours, stored as count - 1
    // colour table, then one index per pixel with rows padded to 4 bytes
    EXPECT_EQ(inflate(Bytes(mapped.begin() + 8, mapped.end()), 10), (Bytes{0xFF, 0, 0, 0, 0, 0xFF, 0, 1, 0, 0}));

    Image translucent(1, 1, {200, 100, 50, 128});
    EXPECT_THROW(encodeDefineBitsLossless(1, translucent, 1, LosslessFormat::Rgb32), std::invalid_argument);
    Bytes premultiplied = encodeDefineBitsLossless(1, translucent, 2, LosslessFormat::Rgb32);
    EXPECT_EQ(inflate(Bytes(premultiplied.begin() + 7, premultiplied.end()), 4), (Bytes{128, 100, 50, 25}));

    Bytes rgb15 = encodeDefineBitsLossless(1, Image(1, 1, {255, 0, 8, 255}), 1, LosslessFormat::Rgb15);
    // 0 11111 00000 00001, big-endian, padded to 4 bytes
    EXPECT_EQ(inflate(Bytes(rgb15.begin() + 7, rgb15.end()), 4), (Bytes{0x7C, 0x01, 0x00, 0x00}));

    EXPECT_THROW(encodeDefineBitsLossless(1, Image(), 1, LosslessFormat::Rgb32), std::invalid_argument);
}

TEST(DefineFont, Font2WithOneEmptyGlyph) {
    Font font;
    font.name = "F";
    font.hasLayout = false;
    font.glyphs.push_back({U'A', Glyph::newOutline(), 500});
    EXPECT_EQ(encodeDefineFont2(1, font, 2),
              (Bytes{0x01, 0x00, 0x04, 0x00, 0x01, 'F', 0x01, 0x00, 0x04, 0x00, 0x06, 0x00, 0x10, 0x00, 'A', 0x00}));
    EXPECT_THROW(encodeDefineFont2(1, font, 3), std::invalid_argument);  // wrong em size for DefineFont3
}

TEST(DefineFont, Font1AndNarrowFontInfo) {
    Font font;
    font.name = "F";
    Glyph bar{U'I', Glyph::newOutline(), 300};
    bar.outline.fill1(1).rectangle(0, -700, 100, 700);
    font.glyphs.push_back(bar);
    Bytes glyph = concat({{0x10},
                          bits("0 0 0 1 0 1 01011 00000000000 10101000100 1"  // fill1 = 1, move to (0, -700)
                               "1 1 0110 0 0 01100100"                  // right 100
                               "1 1 1001 0 1 01010111100"               // down 700
                               "1 1 0110 0 0 10011100"                  // left 100
                               "1 1 1001 0 1 10101000100"               // up 700
                               "000000")});
    EXPECT_EQ(encodeDefineFont(3, font), concat({{0x03, 0x00, 0x02, 0x00}, glyph}));
    EXPECT_EQ(encodeDefineFontInfo(3, font, false), (Bytes{0x03, 0x00, 0x01, 'F', 0x08, 'I'}));
    EXPECT_EQ(encodeDefineFontInfo(3, font, true), (Bytes{0x03, 0x00, 0x01, 'F', 0x01, 'I', 0x00}));

    font.glyphs[0].code = U'\u20AC';
    EXPECT_THROW(encodeDefineFontInfo(3, font, false), std::out_of_range);
}

TEST(DefineText, RecordWithFontColourAndAdvances) {
    StaticText text;
    TextRun run;
    run.fontId = 1;
    run.height = 240;
    run.color = kRed;
    run.y = 200;
    run.glyphs = {{0, 100}, {1, 120}};
    text.runs.push_back(run);
    EXPECT_EQ(encodeDefineText(2, text, 1),
              concat({{0x02, 0x00, 0x00, 0x00, 0x01, 0x08},
                      {0x8E, 0x01, 0x00, 0xFF, 0x00, 0x00, 0xC8, 0x00, 0xF0, 0x00, 0x02},
                      bits("0 01100100 1 01111000"),
                      {0x00}}));
    Bytes v2 = encodeDefineText(2, text, 2);
    EXPECT_EQ(v2.size(), 22u);  // one alpha byte more
    EXPECT_EQ(v2[12], 0xFF);  // alpha after R, G, B

    run.color = swf::Rgba{255, 0, 0, 100};
    text.runs = {run};
    EXPECT_THROW(encodeDefineText(2, text, 1), std::invalid_argument);
    text.runs = {TextRun{}};
    EXPECT_THROW(encodeDefineText(2, text, 1), std::invalid_argument);
}

TEST(DefineText, LayoutScalesAdvancesAndRefusesMissingGlyphs) {
    Font font;
    font.name = "F";
    font.glyphs.push_back({U'a', Glyph::newOutline(), 512});
    font.glyphs.push_back({U'\u00E9', Glyph::newOutline(), 1024});
    auto glyphs = layoutGlyphs(font, "a\xC3\xA9" "a", 400);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[1].index, 1u);
    EXPECT_EQ(glyphs[0].advance, 200);
    EXPECT_EQ(glyphs[1].advance, 400);
    EXPECT_EQ(advanceWidth(glyphs), 800);
    EXPECT_THROW(layoutGlyphs(font, "b", 400), std::invalid_argument);
    EXPECT_THROW(layoutGlyphs(font, "\xC3", 400), std::invalid_argument);      // truncated
    EXPECT_THROW(layoutGlyphs(font, "\xC0\xA1", 400), std::invalid_argument);  // overlong
}

TEST(DefineEditText, FlagsAndOptionalFields) {
    EditText field;
    field.bounds = {};
    field.fontId = 4;
    field.fontHeight = 240;
    field.color = kRed;
    field.readOnly = true;
    field.border = true;
    field.variableName = "v";
    field.initialText = "hi";
    EXPECT_EQ(encodeDefineEditText(9, field),
              (Bytes{0x09, 0x00, 0x00, 0x8D, 0x08, 0x04, 0x00, 0xF0, 0x00, 0xFF, 0x00, 0x00, 0xFF, 'v', 0, 'h', 'i', 0}));
}

TEST(DefineButton, Button2WithReleaseAction) {
    Button button;
    button.records.push_back({.up = true, .over = true, .down = true, .hitTest = true, .character = 1, .depth = 1});
    button.actions.push_back({ButtonCondition::OverDownToOverUp, Actions().stop()});
    EXPECT_EQ(encodeDefineButton2(2, button),
              (Bytes{0x02, 0x00, 0x00, 0x0A, 0x00, 0x0F, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x08, 0x00, 0x07, 0x00}));

    button.actions.push_back({ButtonCondition::IdleToOverUp, Actions().play()});
    Bytes two = encodeDefineButton2(2, button);
    // first condition block: size 6 (size, conditions, stop, end), then the last with size 0
    EXPECT_EQ(Bytes(two.begin() + 13, two.end()),
              (Bytes{0x06, 0x00, 0x08, 0x00, 0x07, 0x00, 0x00, 0x00, 0x01, 0x00, 0x06, 0x00}));
}

TEST(DefineButton, Button1AndItsColourTransform) {
    Button button;
    button.records.push_back({.up = true, .character = 3, .depth = 2});
    button.onRelease.getUrl("u", "");
    EXPECT_EQ(encodeDefineButton(4, button),
              (Bytes{0x04, 0x00, 0x01, 0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x83, 0x03, 0x00, 'u', 0, 0, 0x00}));
    swf::ColorTransform tint;
    tint.gAdd = 16;
    EXPECT_EQ(encodeDefineButtonCxform(4, tint), concat({{0x04, 0x00}, bits("1 0 0110 000000 010000 000000")}));

    button.records[0].colorTransform = tint;
    EXPECT_THROW(encodeDefineButton(4, button), std::invalid_argument);
    Button stateless;
    stateless.records.push_back({.character = 1});
    EXPECT_THROW(encodeDefineButton2(1, stateless), std::invalid_argument);
}

TEST(DefineShape, ManyStylesUseTheExtendedCountFromVersion2) {
    ShapeBuilder many;
    for (int i = 0; i < 300; ++i) many.addSolidFill({static_cast<uint8_t>(i), 0, 0, 255});
    many.fill0(300).rectangle(0, 0, 20, 20);
    EXPECT_THROW(encodeDefineShape(1, many, 1), std::length_error);
    Bytes shape = encodeDefineShape(1, many, 2);
    // id, bounds of 20 twips (6 bits: 4 bytes), then 0xFF and a 16-bit count of 300
    EXPECT_EQ(Bytes(shape.begin() + 6, shape.begin() + 9), (Bytes{0xFF, 0x2C, 0x01}));
    Writer w;
    writeStyleCount(w, 254, 1);
    EXPECT_EQ(w.take(), Bytes{0xFE});
}

TEST(DefineShape, NewStylesComeAloneAndTheNextRecordSelectsFromThem) {
    ShapeBuilder s;
    s.fill1(s.addSolidFill(kRed)).moveTo(0, 0).lineTo(20, 0);
    s.newStyles();
    s.addSolidFill(kBlue);
    s.addSolidFill(kBlue);
    s.fill1(s.addSolidFill(kRed)).moveTo(0, 0).lineTo(20, 0);
    Bytes expected = concat({
        {0x01, 0x00},
        bits("00110 000000 010100 000000 000000"),
        {0x01, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x10},
        bits("0 0 0 1 0 1 00000 1"            // fill1 = 1, move to (0, 0)
             "1 1 0100 0 0 010100"             // right 20
             "0 1 0 0 0 1 00000"),             // new styles with the move, no selection
        {0x03, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00},  // three RGB fills, no lines
        bits("0010 0000"                        // 2 fill bits, 0 line bits
             "0 0 1 1 1 0 00 11"                // select fill0 = 0, fill1 = 3, line = 0 (no bits)
             "1 1 0100 0 0 010100"
             "000000"),
    });
    EXPECT_EQ(encodeDefineShape(1, s, 2), expected);
}
