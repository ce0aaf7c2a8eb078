// Which source rectangle goes where: frames, nine-slice, three-part and centred drawing.
#include <gtest/gtest.h>

#include "DrawGeometry.h"

namespace velmora::skin {
namespace {

TEST(FrameCells, SideBySideAndStackedCellsAreEqualParts) {
    EXPECT_EQ(frameCell(60, 20, 3, 2, FrameLayout::SideBySide), (Rect{20, 0, 40, 20}));
    EXPECT_EQ(frameCell(30, 52, 2, 2, FrameLayout::Stacked), (Rect{0, 26, 30, 52}));
    // A width that does not divide evenly leaves the remainder unused.
    EXPECT_EQ(frameCell(62, 20, 3, 3, FrameLayout::SideBySide), (Rect{40, 0, 60, 20}));
}

TEST(FrameCells, OutOfRangeFramesAndCountsStayInsideThePicture) {
    EXPECT_EQ(frameCell(60, 20, 3, 7, FrameLayout::SideBySide), (Rect{40, 0, 60, 20}));
    EXPECT_EQ(frameCell(60, 20, 3, 0, FrameLayout::SideBySide), (Rect{0, 0, 20, 20}));
    EXPECT_EQ(frameCell(60, 20, 0, 1, FrameLayout::SideBySide), (Rect{0, 0, 60, 20}));
    EXPECT_EQ(frameCell(60, 20, -4, 2, FrameLayout::Stacked), (Rect{0, 0, 60, 20}));
}

TEST(NineSlice, PartsComeInTheDrawingOrderWithCornersAtTheirSize) {
    const Rect cell{10, 0, 40, 30};  // frame 2 of a 30-wide strip
    const BlitPlan plan = nineSlicePlan(cell, {4, 5, 6, 7}, CentreFill::Stretch, {100, 200, 200, 260});
    const BlitPlan expected = {
        {{10, 0, 14, 5}, {100, 200, 104, 205}, BlitKind::Copy},       // top-left
        {{10, 23, 14, 30}, {100, 253, 104, 260}, BlitKind::Copy},     // bottom-left
        {{34, 0, 40, 5}, {194, 200, 200, 205}, BlitKind::Copy},       // top-right
        {{10, 5, 14, 23}, {100, 205, 104, 253}, BlitKind::Stretch},   // left edge
        {{14, 0, 34, 5}, {104, 200, 194, 205}, BlitKind::Stretch},    // top edge
        {{14, 5, 34, 23}, {104, 205, 194, 253}, BlitKind::Stretch},   // centre
        {{34, 23, 40, 30}, {194, 253, 200, 260}, BlitKind::Copy},     // bottom-right
        {{34, 5, 40, 23}, {194, 205, 200, 253}, BlitKind::Stretch},   // right edge
        {{14, 23, 34, 30}, {104, 253, 194, 260}, BlitKind::Stretch},  // bottom edge
    };
    EXPECT_EQ(plan, expected);
}

TEST(NineSlice, DestinationNarrowerThanItsMarginsDropsBothSideMargins) {
    const BlitPlan plan = nineSlicePlan({0, 0, 30, 30}, {10, 4, 10, 4}, CentreFill::Stretch, {0, 0, 15, 40});
    // Only the top edge, centre and bottom edge remain, each over the full width.
    const BlitPlan expected = {
        {{0, 0, 30, 4}, {0, 0, 15, 4}, BlitKind::Stretch},
        {{0, 4, 30, 26}, {0, 4, 15, 36}, BlitKind::Stretch},
        {{0, 26, 30, 30}, {0, 36, 15, 40}, BlitKind::Stretch},
    };
    EXPECT_EQ(plan, expected);
}

TEST(NineSlice, DestinationLowerThanItsMarginsDropsBothVerticalMargins) {
    const BlitPlan plan = nineSlicePlan({0, 0, 30, 30}, {3, 10, 3, 10}, CentreFill::Stretch, {0, 0, 50, 19});
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[0].dest, (Rect{0, 0, 3, 19}));    // left edge, full height
    EXPECT_EQ(plan[1].dest, (Rect{3, 0, 47, 19}));   // centre
    EXPECT_EQ(plan[2].dest, (Rect{47, 0, 50, 19}));  // right edge
}

TEST(NineSlice, CornersNeedBothMarginsPositive) {
    const BlitPlan plan = nineSlicePlan({0, 0, 20, 20}, {5, 0, 5, 0}, CentreFill::Stretch, {0, 0, 40, 40});
    for (const Blit& b : plan) EXPECT_NE(b.kind, BlitKind::Copy) << "no corner may be drawn";
    EXPECT_EQ(plan.size(), 3u);  // left edge, centre, right edge
}

TEST(NineSlice, TiledCentreKeepsItsSizeAndStretchedCentreFillsTheSpace) {
    const Rect cell{0, 0, 10, 10};
    const BlitPlan tiled = nineSlicePlan(cell, {2, 2, 2, 2}, CentreFill::Tile, {0, 0, 50, 30});
    const BlitPlan stretched = nineSlicePlan(cell, {2, 2, 2, 2}, CentreFill::Stretch, {0, 0, 50, 30});
    EXPECT_EQ(tiled[5], (Blit{{2, 2, 8, 8}, {2, 2, 48, 28}, BlitKind::Tile}));
    EXPECT_EQ(stretched[5], (Blit{{2, 2, 8, 8}, {2, 2, 48, 28}, BlitKind::Stretch}));
    const std::vector<Blit> tiles = tilesOf(tiled[5]);
    ASSERT_EQ(tiles.size(), 8u * 5u);  // 46 / 6 -> 8 columns, 26 / 6 -> 5 rows
    EXPECT_EQ(tiles.back(), (Blit{{2, 2, 6, 4}, {44, 26, 48, 28}, BlitKind::Copy}));
}

TEST(NineSlice, MarginsLargerThanTheCellAreCutToIt) {
    const BlitPlan plan = nineSlicePlan({0, 0, 10, 10}, {8, -3, 8, 0}, CentreFill::Stretch, {0, 0, 40, 40});
    for (const Blit& b : plan) {
        EXPECT_GE(b.source.left, 0);
        EXPECT_LE(b.source.right, 10);
        EXPECT_GE(b.source.top, 0);
    }
    // Left keeps 8, right gets the 2 columns that remain, the centre has none left.
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0], (Blit{{0, 0, 8, 10}, {0, 0, 8, 40}, BlitKind::Stretch}));
    EXPECT_EQ(plan[1], (Blit{{8, 0, 10, 10}, {38, 0, 40, 40}, BlitKind::Stretch}));
}

TEST(ThreePart, RepeatedMiddleRunsFromTheLeftCapToTheRightCap) {
    const BlitPlan plan = threePartRepeatedPlan({0, 0, 10, 8}, 3, 2, {0, 0, 20, 8});
    const BlitPlan expected = {
        {{0, 0, 3, 8}, {0, 0, 3, 8}, BlitKind::Copy},
        {{3, 0, 8, 8}, {3, 0, 8, 8}, BlitKind::Copy},
        {{3, 0, 8, 8}, {8, 0, 13, 8}, BlitKind::Copy},
        {{3, 0, 8, 8}, {13, 0, 18, 8}, BlitKind::Copy},
        {{8, 0, 10, 8}, {18, 0, 20, 8}, BlitKind::Copy},
    };
    EXPECT_EQ(plan, expected);
    // The last repeat is cut where the right cap starts.
    const BlitPlan cut = threePartRepeatedPlan({0, 0, 10, 8}, 3, 2, {0, 0, 16, 8});
    EXPECT_EQ(cut[cut.size() - 2], (Blit{{3, 0, 4, 8}, {13, 0, 14, 8}, BlitKind::Copy}));
    EXPECT_EQ(cut.back().dest, (Rect{14, 0, 16, 8}));
}

TEST(ThreePart, RepeatedMiddleStretchesOnlyTheHeight) {
    const BlitPlan plan = threePartRepeatedPlan({0, 0, 10, 8}, 3, 2, {0, 0, 12, 16});
    for (const Blit& b : plan) {
        EXPECT_EQ(b.source.width(), b.dest.width());
        EXPECT_EQ(b.dest.height(), 16);
    }
}

TEST(ThreePart, CellWithoutMiddleIsStretchedWhole) {
    const Rect cell{0, 0, 10, 8};
    EXPECT_EQ(threePartRepeatedPlan(cell, 6, 4, {0, 0, 30, 8}), wholePlan(cell, {0, 0, 30, 8}));
    EXPECT_EQ(threePartRepeatedPlan(cell, 8, 8, {0, 0, 30, 8}), wholePlan(cell, {0, 0, 30, 8}));
}

TEST(ThreePart, RepeatedIntoARectangleNarrowerThanTheCapsStaysInside) {
    const BlitPlan plan = threePartRepeatedPlan({0, 0, 10, 8}, 4, 4, {5, 0, 11, 8});
    for (const Blit& b : plan) {
        EXPECT_GE(b.dest.left, 5);
        EXPECT_LE(b.dest.right, 11);
    }
    EXPECT_EQ(plan.back(), (Blit{{6, 0, 10, 8}, {7, 0, 11, 8}, BlitKind::Copy}));  // right cap, last
}

TEST(ThreePart, StretchedMiddleKeepsCapsOrStretchesTheWholeFrame) {
    const BlitPlan wide = threePartStretchedPlan({0, 0, 10, 8}, 3, 2, {0, 0, 40, 8});
    const BlitPlan expected = {
        {{0, 0, 3, 8}, {0, 0, 3, 8}, BlitKind::Copy},
        {{3, 0, 8, 8}, {3, 0, 38, 8}, BlitKind::Stretch},
        {{8, 0, 10, 8}, {38, 0, 40, 8}, BlitKind::Copy},
    };
    EXPECT_EQ(wide, expected);
    EXPECT_EQ(threePartStretchedPlan({0, 0, 10, 8}, 3, 2, {0, 0, 9, 8}),
              (BlitPlan{{{0, 0, 10, 8}, {0, 0, 9, 8}, BlitKind::Stretch}}));
}

TEST(CentredAndWhole, CentredRoundsTheSpareHalfTowardZeroAndStaysInside) {
    EXPECT_EQ(centredPlan({0, 0, 5, 4}, {10, 10, 20, 15}), (BlitPlan{{{0, 0, 5, 4}, {12, 10, 17, 14}, BlitKind::Copy}}));
    // A cell larger than the rectangle: the spare is negative, -5 / 2 = -2, and the copy is cut.
    EXPECT_EQ(centredPlan({0, 0, 15, 4}, {10, 10, 20, 14}), (BlitPlan{{{2, 0, 12, 4}, {10, 10, 20, 14}, BlitKind::Copy}}));
    EXPECT_EQ(wholePlan({0, 0, 5, 4}, {0, 0, 10, 8}), (BlitPlan{{{0, 0, 5, 4}, {0, 0, 10, 8}, BlitKind::Stretch}}));
    EXPECT_TRUE(wholePlan({0, 0, 5, 4}, {3, 3, 3, 9}).empty());
}

}  // namespace
}  // namespace velmora::skin
