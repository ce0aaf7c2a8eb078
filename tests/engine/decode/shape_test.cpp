#include <gtest/gtest.h>

#include "core/ByteReader.h"
#include "decode/ShapeReader.h"
#include "support/Fixtures.h"

namespace swf {
namespace {

using test::BitWriter;

// Shape-record writers mirroring the file layout.
void styleChange(BitWriter& w, std::optional<Point> move, std::optional<uint32_t> fill0, std::optional<uint32_t> fill1,
                 std::optional<uint32_t> line, unsigned fillBits, unsigned lineBits, bool newStyles = false) {
    w.ub(0, 1).ub(newStyles, 1).ub(line.has_value(), 1).ub(fill1.has_value(), 1).ub(fill0.has_value(), 1).ub(move.has_value(), 1);
    if (move) w.ub(16, 5).sb(move->x, 16).sb(move->y, 16);
    if (fill0) w.ub(*fill0, fillBits);
    if (fill1) w.ub(*fill1, fillBits);
    if (line) w.ub(*line, lineBits);
}
void straight(BitWriter& w, int32_t dx, int32_t dy) {
    w.ub(1, 1).ub(1, 1).ub(14, 4);  // 16-bit deltas
    if (dx != 0 && dy != 0) {
        w.ub(1, 1).sb(dx, 16).sb(dy, 16);
    } else if (dx == 0) {
        w.ub(0, 1).ub(1, 1).sb(dy, 16);
    } else {
        w.ub(0, 1).ub(0, 1).sb(dx, 16);
    }
}
void curved(BitWriter& w, int32_t cx, int32_t cy, int32_t ax, int32_t ay) {
    w.ub(1, 1).ub(0, 1).ub(14, 4).sb(cx, 16).sb(cy, 16).sb(ax, 16).sb(ay, 16);
}
void endShape(BitWriter& w) { w.ub(0, 6); }
void solidFill(BitWriter& w, Rgba c, bool alpha) {
    w.u8(0).u8(c.r).u8(c.g).u8(c.b);
    if (alpha) w.u8(c.a);
}

TEST(ShapeReader, EdgesBecomePathsThatSplitWhereStylesOrPenChange) {
    BitWriter w;
    w.rect(0, 100, 0, 100);
    w.u8(2);
    solidFill(w, {255, 0, 0, 255}, false);
    solidFill(w, {0, 0, 255, 255}, false);
    w.u8(1).u16(20).u8(0).u8(0).u8(0);  // one black 1-pixel line
    w.ub(2, 4).ub(1, 4);
    styleChange(w, Point{10, 10}, std::nullopt, 1, 1, 2, 1);
    straight(w, 50, 0);
    curved(w, 10, 10, 0, 20);
    styleChange(w, std::nullopt, std::nullopt, 2, std::nullopt, 2, 1);  // same pen, new fill
    straight(w, -60, 0);
    styleChange(w, Point{0, 0}, 0, 0, 0, 2, 1);
    straight(w, 5, 5);
    endShape(w);
    auto bytes = w.bytes();
    ByteReader r(bytes);
    ShapeDef s = readShapeDefinition(r, 1);
    EXPECT_TRUE(r.atEnd());
    ASSERT_EQ(s.paths.size(), 3u);
    EXPECT_EQ(s.paths[0].fill1, 1u);
    EXPECT_EQ(s.paths[0].line, 1u);
    EXPECT_EQ(s.paths[0].start, (Point{10, 10}));
    ASSERT_EQ(s.paths[0].segments.size(), 2u);
    EXPECT_EQ(s.paths[0].segments[0], (Segment{{}, {60, 10}, false}));
    EXPECT_EQ(s.paths[0].segments[1], (Segment{{70, 20}, {70, 40}, true}));
    EXPECT_EQ(s.paths[1].fill1, 2u);
    EXPECT_EQ(s.paths[1].line, 1u);  // styles carry over
    EXPECT_EQ(s.paths[1].start, (Point{70, 40}));
    EXPECT_EQ(s.paths[1].segments[0].to, (Point{10, 40}));
    EXPECT_EQ(s.paths[2].fill1 + s.paths[2].line, 0u);
    EXPECT_EQ(s.fills[1].color, (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(s.lines[0].width, 20);
}

TEST(ShapeReader, NewStyleGroupsAreAppendedAndReindexed) {
    BitWriter w;
    w.rect(0, 10, 0, 10);
    w.u8(1);
    solidFill(w, {1, 1, 1, 255}, true);
    w.u8(0);
    w.ub(1, 4).ub(0, 4);
    styleChange(w, Point{0, 0}, 1, std::nullopt, std::nullopt, 1, 0);
    straight(w, 10, 0);
    styleChange(w, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1, 0, true);
    w.u8(2);
    solidFill(w, {2, 2, 2, 255}, true);
    solidFill(w, {3, 3, 3, 255}, true);
    w.u8(0);
    w.ub(2, 4).ub(0, 4);
    styleChange(w, Point{0, 5}, 2, 3, std::nullopt, 2, 0);  // 3 is past the group: no fill
    straight(w, 10, 0);
    endShape(w);
    auto bytes = w.bytes();
    ByteReader r(bytes);
    ShapeDef s = readShapeDefinition(r, 3);
    ASSERT_EQ(s.fills.size(), 3u);
    ASSERT_EQ(s.paths.size(), 2u);
    EXPECT_EQ(s.paths[0].fill0, 1u);
    EXPECT_EQ(s.paths[1].fill0, 3u);  // second style of the second group
    EXPECT_EQ(s.fills[s.paths[1].fill0 - 1].color, (Rgba{3, 3, 3, 255}));
    EXPECT_EQ(s.paths[1].fill1, 0u);
    EXPECT_EQ(s.paths[0].styleGroup, 0u);
    EXPECT_EQ(s.paths[1].styleGroup, 1u);
}

TEST(ShapeReader, Shape4LineStylesGradientsAndBitmapFills) {
    BitWriter w;
    w.rect(0, 10, 0, 10).rect(1, 9, 1, 9);
    w.ub(0, 5).ub(1, 1).ub(0, 1).ub(1, 1);  // non-zero winding, scaling strokes
    w.u8(2);
    w.u8(0x13).translate(0, 0);  // focal gradient, reflect, linear RGB, two stops
    w.ub(1, 2).ub(1, 2).ub(2, 4).u8(0).u8(1).u8(2).u8(3).u8(4).u8(255).u8(5).u8(6).u8(7).u8(8).u16(0xFF80);  // focal -0.5
    w.u8(0x42).u16(7).translate(20, 40);
    w.u8(1).u16(40);
    w.ub(2, 2).ub(2, 2).ub(1, 1).ub(1, 1).ub(0, 1).ub(1, 1).ub(0, 5).ub(1, 1).ub(1, 2);  // square start, miter, fill
    w.u16(0x0280);  // miter 2.5
    solidFill(w, {9, 9, 9, 99}, true);
    w.ub(0, 4).ub(0, 4);
    endShape(w);
    auto bytes = w.bytes();
    ByteReader r(bytes);
    ShapeDef s = readShapeDefinition(r, 4);
    EXPECT_EQ(s.edgeBounds, (Rect{1, 9, 1, 9}));
    EXPECT_TRUE(s.nonZeroWinding);
    EXPECT_TRUE(s.scalingStrokes);
    EXPECT_FALSE(s.nonScalingStrokes);
    ASSERT_EQ(s.fills.size(), 2u);
    EXPECT_EQ(s.fills[0].kind, FillKind::FocalGradient);
    EXPECT_EQ(s.fills[0].gradient.spread, SpreadMode::Reflect);
    EXPECT_EQ(s.fills[0].gradient.interpolation, InterpolationMode::Linear);
    ASSERT_EQ(s.fills[0].gradient.stops.size(), 2u);
    EXPECT_EQ(s.fills[0].gradient.stops[1], (GradientStop{255, {5, 6, 7, 8}}));
    EXPECT_FLOAT_EQ(s.fills[0].gradient.focalPoint, -0.5f);
    EXPECT_EQ(s.fills[1].kind, FillKind::RepeatingBitmapHard);
    EXPECT_EQ(s.fills[1].bitmapId, 7);
    EXPECT_EQ(s.fills[1].matrix.tx, 20);
    const LineStyle& l = s.lines.at(0);
    EXPECT_EQ(l.startCap, CapStyle::Square);
    EXPECT_EQ(l.join, JoinStyle::Miter);
    EXPECT_FLOAT_EQ(l.miterLimit, 2.5f);
    EXPECT_TRUE(l.noHScale);
    EXPECT_FALSE(l.noVScale);
    EXPECT_TRUE(l.pixelHinting);
    EXPECT_TRUE(l.noClose);
    EXPECT_EQ(l.endCap, CapStyle::None);
    ASSERT_TRUE(l.fill.has_value());
    EXPECT_EQ(l.fill->color, (Rgba{9, 9, 9, 99}));
}

TEST(ShapeReader, MalformedStylesAndRecordsFail) {
    // Unknown fill type.
    auto bad = BitWriter().rect(0, 1, 0, 1).u8(1).u8(0x33).bytes();
    ByteReader r1(bad);
    EXPECT_THROW(readShapeDefinition(r1, 1), DecodeFailure);
    // Cap style 3 in a LINESTYLE2.
    auto cap = BitWriter().rect(0, 1, 0, 1).rect(0, 1, 0, 1).u8(0).u8(0).u8(1).u16(20).ub(3, 2).ub(0, 6).u8(0).bytes();
    ByteReader r2(cap);
    EXPECT_THROW(readShapeDefinition(r2, 4), DecodeFailure);
    // Records that run off the end without an end record.
    BitWriter w;
    w.rect(0, 1, 0, 1).u8(0).u8(0).ub(0, 4).ub(0, 4);
    straight(w, 5, 5);
    auto cut = w.bytes();
    ByteReader r3(cut);
    EXPECT_THROW(readShapeDefinition(r3, 1), DecodeFailure);
    // A style count of 255 extends to 16 bits from DefineShape2 on; a lying count only fails.
    auto lying = BitWriter().rect(0, 1, 0, 1).u8(0xFF).u16(60000).bytes();
    ByteReader r4(lying);
    EXPECT_THROW(readShapeDefinition(r4, 2), DecodeFailure);
}

TEST(GlyphShape, FillOneIsTheTextColourAndBoundsCoverTheOutline) {
    BitWriter w;
    w.ub(1, 4).ub(0, 4);
    styleChange(w, Point{-5, -100}, std::nullopt, 1, std::nullopt, 1, 0);
    straight(w, 50, 0);
    curved(w, 20, 60, -20, 60);
    straight(w, -50, -20);
    endShape(w);
    auto bytes = w.bytes();
    ByteReader r(bytes);
    ShapeDef g = readGlyphShape(r);
    ASSERT_EQ(g.fills.size(), 1u);
    EXPECT_EQ(g.paths.at(0).fill1, 1u);
    EXPECT_EQ(g.bounds, (Rect{-5, 65, -100, 20}));
}

// ---- morph shapes ----

std::vector<uint8_t> morphBody(bool endIsCurved, bool extraEndMove) {
    BitWriter w;
    w.rect(0, 100, 0, 100).rect(0, 200, 0, 200);
    BitWriter styles;
    styles.u8(1).u8(0x00).u8(255).u8(0).u8(0).u8(255).u8(0).u8(0).u8(255).u8(128);  // red -> half blue
    styles.u8(1).u16(20).u16(60).u8(0).u8(0).u8(0).u8(255).u8(0).u8(0).u8(0).u8(255);
    BitWriter start;
    start.ub(1, 4).ub(1, 4);
    styleChange(start, Point{0, 0}, 1, std::nullopt, 1, 1, 1);
    straight(start, 100, 0);
    straight(start, 0, 100);
    endShape(start);
    BitWriter end;
    end.ub(0, 4).ub(0, 4);
    styleChange(end, Point{10, 10}, std::nullopt, std::nullopt, std::nullopt, 0, 0);
    if (endIsCurved) curved(end, 100, 0, 100, 0); else straight(end, 200, 0);
    if (extraEndMove) styleChange(end, Point{210, 10}, std::nullopt, std::nullopt, std::nullopt, 0, 0);
    straight(end, 0, 200);
    endShape(end);
    auto s = styles.bytes();
    auto st = start.bytes();
    w.u32(static_cast<uint32_t>(s.size() + st.size())).raw(s).raw(st).raw(end.bytes());
    return w.bytes();
}

TEST(MorphShape, PairsStartAndEndEdgesAndInterpolates) {
    auto body = morphBody(false, false);
    ByteReader r(body);
    MorphShapeDef m = readMorphShapeDefinition(r, 1);
    ASSERT_EQ(m.start.paths.size(), 1u);
    ASSERT_EQ(m.end.paths.size(), 1u);
    EXPECT_EQ(m.end.paths[0].start, (Point{10, 10}));
    ASSERT_EQ(m.end.paths[0].segments.size(), 2u);
    EXPECT_EQ(m.end.paths[0].segments[1].to, (Point{210, 210}));

    ShapeDef half = m.shapeAt(32768);
    EXPECT_EQ(half.paths[0].start, (Point{5, 5}));
    EXPECT_EQ(half.paths[0].segments[0].to, (Point{155, 5}));
    EXPECT_EQ(half.fills[0].color, (Rgba{127, 0, 128, 191}));  // ratio 32768/65535 is just past half
    EXPECT_EQ(half.lines[0].width, 40);
    EXPECT_EQ(half.bounds, (Rect{0, 150, 0, 150}));
    EXPECT_EQ(m.shapeAt(0).paths, m.start.paths);
    EXPECT_EQ(m.shapeAt(65535).paths[0].segments, m.end.paths[0].segments);
    EXPECT_EQ(m.shapeAt(65535).fills[0].color, (Rgba{0, 0, 255, 128}));
}

TEST(MorphShape, StraightEdgePairedWithACurveBecomesACurve) {
    auto body = morphBody(true, false);
    ByteReader r(body);
    MorphShapeDef m = readMorphShapeDefinition(r, 1);
    const Segment& s = m.start.paths[0].segments[0];
    const Segment& e = m.end.paths[0].segments[0];
    EXPECT_TRUE(s.curved);
    EXPECT_TRUE(e.curved);
    EXPECT_EQ(s.control, (Point{50, 0}));  // midpoint of the straight start edge
    EXPECT_EQ(e.control, (Point{110, 10}));
    EXPECT_EQ(e.to, (Point{210, 10}));
    EXPECT_FALSE(m.start.paths[0].segments[1].curved);
}

TEST(MorphShape, EndShapeWithFewerEdgesOrABadOffsetFails) {
    auto body = morphBody(false, false);
    auto b = body;
    b.resize(b.size() - 3);  // drop the end shape's last edge + end record bits
    ByteReader r1(b);
    EXPECT_THROW(readMorphShapeDefinition(r1, 1), DecodeFailure);
    auto farOffset = body;
    size_t offsetAt = 2 * 9;  // two 16-bit rects of 9 bytes each
    farOffset[offsetAt + 3] = 0x7F;
    ByteReader r2(farOffset);
    EXPECT_THROW(readMorphShapeDefinition(r2, 1), DecodeFailure);
}

}  // namespace
}  // namespace swf
