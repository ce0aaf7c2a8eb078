#include <gtest/gtest.h>

#include "RenderTestSupport.h"

namespace swf::render {
namespace {

using namespace testing;

Path openPath(const std::vector<Point>& pts, uint32_t line = 1) {
    Path p;
    p.line = line;
    p.start = pts.front();
    for (size_t i = 1; i < pts.size(); ++i) p.segments.push_back({{}, pts[i], false});
    return p;
}

LineStyle pen(double widthPixels, CapStyle cap = CapStyle::None, JoinStyle join = JoinStyle::Miter) {
    LineStyle l;
    l.width = static_cast<uint16_t>(widthPixels * kTwipsPerPixel);
    l.color = {255, 0, 0, 255};
    l.startCap = l.endCap = cap;
    l.join = join;
    return l;
}

Canvas stroked(const LineStyle& line, const std::vector<Path>& paths, int w, int h, DrawParams p = params(),
               Pixel background = 0) {
    Canvas c(w, h, background);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(shapeWith({}, paths, {line}), p);
    return c;
}

const std::vector<Point> kHorizontal = {{tw(2), tw(5)}, {tw(12), tw(5)}};

TEST(Stroke, WidthAndCaps) {
    Canvas none = stroked(pen(2, CapStyle::None), {openPath(kHorizontal)}, 16, 10);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 10; ++y) {
            bool inside = x >= 2 && x < 12 && (y == 4 || y == 5);
            ASSERT_EQ(none.at(x, y), inside ? kRed : 0u) << x << "," << y;
        }
    Canvas square = stroked(pen(2, CapStyle::Square), {openPath(kHorizontal)}, 16, 10);
    EXPECT_EQ(square.at(1, 4), kRed);
    EXPECT_EQ(square.at(12, 5), kRed);
    EXPECT_EQ(square.at(0, 4), 0u);
    EXPECT_EQ(square.at(13, 5), 0u);
    Canvas round = stroked(pen(2, CapStyle::Round), {openPath(kHorizontal)}, 16, 10);
    // A quarter of a unit disc fills pi/4 of the pixel beside each end.
    EXPECT_NEAR(alphaOf(round.at(1, 4)), 255 * 3.14159 / 4, 4);
    EXPECT_NEAR(alphaOf(round.at(12, 5)), 255 * 3.14159 / 4, 4);
    EXPECT_EQ(round.at(0, 4), 0u);
}

TEST(Stroke, WidthScalesWithTheMatrixUnlessTheLineRefuses) {
    DrawParams twice = params();
    twice.matrix = Matrix::scale(2, 2) * pixelMatrix();
    Canvas c = stroked(pen(2), {openPath({{tw(2), tw(5)}, {tw(6), tw(5)}})}, 16, 16, twice);
    for (int y = 7; y < 13; ++y) EXPECT_EQ(c.at(8, y), (y >= 8 && y < 12) ? kRed : 0u) << y;

    LineStyle fixed = pen(2);
    fixed.noHScale = fixed.noVScale = true;
    Canvas n = stroked(fixed, {openPath({{tw(2), tw(5)}, {tw(6), tw(5)}})}, 16, 16, twice);
    for (int y = 7; y < 13; ++y) EXPECT_EQ(n.at(8, y), (y >= 9 && y < 11) ? kRed : 0u) << y;
    twice.stageScale = 2;  // the stage itself zoomed: even fixed lines grow with it
    Canvas z = stroked(fixed, {openPath({{tw(2), tw(5)}, {tw(6), tw(5)}})}, 16, 16, twice);
    EXPECT_EQ(z.at(8, 8), kRed);
}

TEST(Stroke, AnUnevenScaleStretchesThePenWithTheShape) {
    // Stretched three times across: a 2 px pen draws vertical lines 6 px wide and horizontal
    // ones still 2 px, as the shape's own outline would be.
    DrawParams wide = params();
    wide.matrix = Matrix::scale(3, 1) * pixelMatrix();
    Canvas c = stroked(pen(2), {openPath({{tw(10), tw(2)}, {tw(10), tw(12)}}), openPath({{tw(2), tw(20)}, {tw(6), tw(20)}})},
                       48, 32, wide);
    for (int x = 25; x < 36; ++x) EXPECT_EQ(c.at(x, 7), (x >= 27 && x < 33) ? kRed : 0u) << x;
    for (int y = 17; y < 24; ++y) EXPECT_EQ(c.at(12, y), (y >= 19 && y < 21) ? kRed : 0u) << y;
    // A pen the stretch would leave thinner than a pixel on its narrow side is a round pixel-wide pen.
    Canvas thin = stroked(pen(0.5), {openPath({{tw(10), tw(2)}, {tw(10), tw(12)}})}, 48, 32, wide);
    int inRow = 0;
    for (int x = 0; x < 48; ++x) inRow += thin.at(x, 7) != 0u;
    EXPECT_EQ(inRow, 1);
}

TEST(Stroke, HairlinesAndThinLinesStayOnePixelWide) {
    DrawParams big = params();
    big.matrix = Matrix::scale(5, 5) * pixelMatrix();
    const std::vector<Point> centreLine = {{tw(0.4), tw(1.1)}, {tw(2.4), tw(1.1)}};  // y = 5.5 px after scaling
    Canvas hair = stroked(pen(0), {openPath(centreLine)}, 16, 10, big);
    EXPECT_EQ(hair.at(6, 5), kRed);
    EXPECT_EQ(hair.at(6, 4), 0u);
    EXPECT_EQ(hair.at(6, 6), 0u);

    LineStyle thin = pen(0);
    thin.width = 2;  // a tenth of a pixel
    Canvas t = stroked(thin, {openPath({{tw(2), tw(5.5)}, {tw(12), tw(5.5)}})}, 16, 10);
    EXPECT_EQ(t.at(6, 5), kRed);
    EXPECT_EQ(t.at(6, 4), 0u);
}

TEST(Stroke, OnePixelLinesOnWholeCoordinatesCoverWholePixels) {
    // Both a hairline and a 1 px line along x = 5 land on one column instead of two halves:
    // a 1 px line on the column left of the coordinate, a hairline (text field borders) on
    // the column the coordinate starts, so a border at xMin..xMax covers both end columns.
    for (auto [width, column] : {std::pair<uint16_t, int>{0, 5}, {20, 4}}) {
        LineStyle l = pen(0);
        l.width = width;
        Canvas c = stroked(l, {openPath({{tw(5), tw(2)}, {tw(5), tw(9)}})}, 10, 12);
        EXPECT_EQ(c.at(column, 5), kRed) << width;
        EXPECT_EQ(c.at(column + 1, 5), 0u) << width;
        EXPECT_EQ(c.at(column - 1, 5), 0u) << width;
    }
    // A hinted 2 px line moves onto whole pixels; an unhinted one stays where it is drawn.
    LineStyle hinted = pen(2);
    hinted.pixelHinting = true;
    const std::vector<Point> offGrid = {{tw(2), tw(5.4)}, {tw(12), tw(5.4)}};
    Canvas h = stroked(hinted, {openPath(offGrid)}, 16, 10);
    EXPECT_EQ(h.at(6, 4), kRed);
    EXPECT_EQ(h.at(6, 5), kRed);
    EXPECT_EQ(h.at(6, 3), 0u);
    Canvas u = stroked(pen(2), {openPath(offGrid)}, 16, 10);
    EXPECT_NEAR(alphaOf(u.at(6, 6)), 0.4 * 255, 1);
}

TEST(Stroke, AliasedOnePixelOutlinesLeaveCornersToThePixelCentres) {
    // A closed outline along the pixel borders x, y = 3 and 9. Low quality lets each pixel
    // centre decide, ties going to the top-left: a 1 px round-joined line covers the column
    // and row left of and above each border, and its top-left corner pixel (2, 2) is 0.71 px
    // from the corner, outside the join's half-pixel disc. A hairline is drawn edge by edge
    // from centre to centre (snapped to x, y = 3.5 and 9.5): only its bottom-right corner
    // pixel belongs to neither of the edges meeting there.
    const Path outline = openPath({{tw(3), tw(3)}, {tw(9), tw(3)}, {tw(9), tw(9)}, {tw(3), tw(9)}, {tw(3), tw(3)}});
    DrawParams low = params();
    low.quality = Quality::Low;
    Canvas line = stroked(pen(1, CapStyle::Round, JoinStyle::Round), {outline}, 12, 12, low);
    EXPECT_EQ(line.at(2, 2), 0u);
    for (auto [x, y] : {std::pair{8, 2}, {2, 8}, {8, 8}, {5, 2}, {2, 5}}) EXPECT_EQ(line.at(x, y), kRed) << x << "," << y;
    EXPECT_EQ(line.at(9, 5), 0u);
    EXPECT_EQ(line.at(5, 9), 0u);

    Canvas hair = stroked(pen(0, CapStyle::Round, JoinStyle::Round), {outline}, 12, 12, low);
    EXPECT_EQ(hair.at(9, 9), 0u);
    for (auto [x, y] : {std::pair{3, 3}, {9, 3}, {3, 9}, {6, 3}, {9, 6}, {6, 9}, {3, 6}})
        EXPECT_EQ(hair.at(x, y), kRed) << x << "," << y;
    EXPECT_EQ(hair.countNot(0), 4 * 6 - 1);

    // A hairline edge of no length, or one shorter than a pixel that snaps to one centre,
    // still lights its pixel with round caps, and nothing with flat ones.
    for (const Path& dot : {openPath({{tw(5), tw(5)}, {tw(5), tw(5)}}), openPath({{tw(5.1), tw(5)}, {tw(5.3), tw(5.2)}})}) {
        EXPECT_EQ(stroked(pen(0, CapStyle::Round), {dot}, 12, 12, low).at(5, 5), kRed);
        EXPECT_EQ(stroked(pen(0, CapStyle::None), {dot}, 12, 12, low).countNot(0), 0);
    }
}

TEST(Stroke, AliasedRoundCapsKeepTheirVerticesOnTheCircle) {
    // A 20 px pen's round cap centred on (30.35, 30.2) px: its arc is cut into 15 degree
    // chords starting across the line. Pixel centre (20.5, 31.5) lies 9.935 px from the
    // centre, 7.5 degrees from a vertex: inside the circle, but outside a chord whose ends are
    // on it (9.914 px out there). Low quality keeps the vertices on the circle.
    const std::vector<Point> line = {{607, 604}, {1200, 604}};
    Canvas low = stroked(pen(20, CapStyle::Round), {openPath(line)}, 64, 48, params(Quality::Low));
    EXPECT_EQ(low.at(20, 31), 0u);
    EXPECT_EQ(low.at(21, 31), kRed);
    EXPECT_EQ(low.at(20, 30), kRed);  // 9.85 px out, on the chord's inner side
}

TEST(Stroke, InnerSideOfAJoinCoversTheUnionOfBothPenBodies) {
    // A 3 px right angle: the inner offsets cross at (8.5, 8.5), so pixel (8, 8) is covered
    // by the two bodies on three quarters of its area; counting their overlap twice would
    // fill it.
    const std::vector<Point> corner = {{tw(2), tw(10)}, {tw(10), tw(10)}, {tw(10), tw(2)}};
    for (JoinStyle join : {JoinStyle::Miter, JoinStyle::Bevel, JoinStyle::Round}) {
        Canvas c = stroked(pen(3, CapStyle::None, join), {openPath(corner)}, 16, 16);
        EXPECT_NEAR(alphaOf(c.at(8, 8)), 0.75 * 255, 1) << int(join);
        EXPECT_EQ(alphaOf(c.at(7, 7)), 0u) << int(join);
    }
}

TEST(Stroke, JoinsAndMiterLimit) {
    const std::vector<Point> corner = {{tw(2), tw(10)}, {tw(10), tw(10)}, {tw(10), tw(2)}};
    // Outer corner of a 4 px wide right angle: the square [10,12] x [10,12].
    Canvas miter = stroked(pen(4, CapStyle::None, JoinStyle::Miter), {openPath(corner)}, 16, 16);
    EXPECT_EQ(miter.at(11, 11), kRed);
    Canvas bevel = stroked(pen(4, CapStyle::None, JoinStyle::Bevel), {openPath(corner)}, 16, 16);
    EXPECT_EQ(bevel.at(11, 11), 0u);
    EXPECT_EQ(bevel.at(10, 10), kRed);
    Canvas round = stroked(pen(4, CapStyle::None, JoinStyle::Round), {openPath(corner)}, 16, 16);
    EXPECT_GT(alphaOf(round.at(11, 11)), 0u);
    EXPECT_LT(alphaOf(round.at(11, 11)), 255u);
    // A limit of at least one width never touches a right angle (its tip is 0.71 widths out).
    LineStyle limited = pen(4, CapStyle::None, JoinStyle::Miter);
    limited.miterLimit = 1;
    EXPECT_EQ(stroked(limited, {openPath(corner)}, 16, 16).at(11, 11), kRed);
    // Inside of the turn is covered once, with no seam.
    EXPECT_EQ(miter.at(9, 9), kRed);
}

TEST(Stroke, SharpMitreIsCutOffAtItsLimit) {
    // Nearly doubling back at (14, 10): the full mitre would reach 12 px beyond the vertex.
    const std::vector<Point> hairpin = {{tw(2), tw(10)}, {tw(14), tw(10)}, {tw(2), tw(12)}};
    LineStyle sharp = pen(2, CapStyle::None, JoinStyle::Miter);
    sharp.miterLimit = 3;  // cut 6 px out
    Canvas cut = stroked(sharp, {openPath(hairpin)}, 32, 16);
    EXPECT_EQ(cut.at(18, 9), kRed);
    EXPECT_EQ(cut.at(21, 9), 0u);
    sharp.miterLimit = 255;
    EXPECT_GT(alphaOf(stroked(sharp, {openPath(hairpin)}, 32, 16).at(21, 9)), 128u);
    EXPECT_EQ(stroked(pen(2, CapStyle::None, JoinStyle::Bevel), {openPath(hairpin)}, 32, 16).at(16, 9), 0u);
}

TEST(Stroke, ClosedOutlinesJoinWhereTheyStartAndPathsContinueAcrossStyleChanges) {
    Path outline = polygonPath({{tw(3), tw(3)}, {tw(9), tw(3)}, {tw(9), tw(9)}, {tw(3), tw(9)}}, 0, 0, 1);
    Canvas closed = stroked(pen(2, CapStyle::None, JoinStyle::Miter), {outline}, 12, 12);
    EXPECT_EQ(closed.at(2, 2), kRed);  // the start corner is mitred, not left with two bare ends
    LineStyle open = pen(2, CapStyle::None, JoinStyle::Miter);
    open.noClose = true;
    EXPECT_EQ(stroked(open, {outline}, 12, 12).at(2, 2), 0u);

    // The same corner split into two paths (a fill change between them) still gets its join.
    Path first = openPath({{tw(2), tw(10)}, {tw(10), tw(10)}});
    Path second = openPath({{tw(10), tw(10)}, {tw(10), tw(2)}});
    second.fill1 = 0;
    EXPECT_EQ(stroked(pen(4), {first, second}, 16, 16).at(11, 11), kRed);
}

TEST(Stroke, TranslucentStrokeOverlappingItselfBlendsOnce) {
    LineStyle glass = pen(4, CapStyle::Round, JoinStyle::Round);
    glass.color.a = 128;
    // Doubles back over itself.
    Canvas c = stroked(glass, {openPath({{tw(2), tw(8)}, {tw(14), tw(8)}, {tw(4), tw(8.5)}})}, 16, 16);
    EXPECT_EQ(alphaOf(c.at(8, 8)), 128u);
}

TEST(Stroke, DrawnOverFillsWithItsOwnPaint) {
    Path square = rectPath(2, 2, 10, 10);
    square.line = 1;
    LineStyle blue = pen(2);
    blue.color = {0, 0, 255, 255};
    ShapeDef s = shapeWith({solidFill({255, 0, 0, 255})}, {square}, {blue});
    Canvas c(12, 12);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(s, params());
    EXPECT_EQ(c.at(2, 5), 0xFF0000FFu);  // the stroke's inner half lies on the fill
    EXPECT_EQ(c.at(5, 5), kRed);

    LineStyle filled = pen(2);
    filled.fill = solidFill({0, 255, 0, 255});
    Canvas g = stroked(filled, {openPath(kHorizontal)}, 16, 10);
    EXPECT_EQ(g.at(5, 5), 0xFF00FF00u);
    DrawParams text = params();
    text.colorOverride = Rgba{0, 0, 0, 255};
    EXPECT_EQ(stroked(filled, {openPath(kHorizontal)}, 16, 10, text).at(5, 5), 0xFF000000u);
}

TEST(Stroke, DegenerateStrokes) {
    // A zero-length line still shows its round dot; with flat caps it shows nothing.
    Canvas dot = stroked(pen(4, CapStyle::Round), {openPath({{tw(8), tw(8)}, {tw(8), tw(8)}})}, 16, 16);
    EXPECT_EQ(dot.at(8, 8), kRed);
    EXPECT_EQ(stroked(pen(4, CapStyle::None), {openPath({{tw(8), tw(8)}, {tw(8), tw(8)}})}, 16, 16).countNot(0), 0);
    // A path that only moves.
    Path nothing;
    nothing.line = 1;
    EXPECT_EQ(stroked(pen(4), {nothing}, 16, 16).countNot(0), 0);
    // A very wide line at an extreme scale stays inside the target.
    DrawParams huge = params();
    huge.matrix = Matrix::scale(1e5, 1e5) * pixelMatrix();
    Canvas wide = stroked(pen(100, CapStyle::Round, JoinStyle::Round), {openPath({{0, 0}, {tw(1), tw(1)}, {tw(2), 0}})}, 8, 8, huge);
    EXPECT_TRUE(wide.guardsIntact());
}

}  // namespace
}  // namespace swf::render

namespace swf::render {
namespace {

using namespace testing;

TEST(Stroke, StyleChangeWithoutEdgesDrawsNoDot) {
    // A path that only moves carries a line style but no edge: even a round cap shows nothing,
    // while a zero-length edge does show its dot.
    LineStyle round;
    round.width = 80;
    round.color = {255, 0, 0, 255};
    Path moveOnly;
    moveOnly.line = 1;
    moveOnly.start = {tw(8), tw(8)};
    ShapeDef s = shapeWith({}, {moveOnly}, {round});
    Canvas c(16, 16, 0);
    Renderer r;
    r.setTarget(c.target());
    r.drawShape(s, params());
    EXPECT_EQ(c.countNot(0), 0);
    s.paths[0].segments.push_back({{}, {tw(8), tw(8)}, false});
    r.drawShape(s, params());
    EXPECT_EQ(c.at(8, 8), kRed);
}

}  // namespace
}  // namespace swf::render
