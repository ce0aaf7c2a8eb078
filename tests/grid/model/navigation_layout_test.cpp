#include "grid/model/Layout.h"
#include "grid/model/Navigation.h"

#include <gtest/gtest.h>

using namespace velmora::grid;

TEST(Navigation, KeysMoveWithinTheRows)
{
    struct Case { NavigationKey key; int from; int expected; };
    // 50 rows, 10 fit.
    const Case cases[] = {
        {NavigationKey::Down, 0, 1},      {NavigationKey::Down, 49, 49},
        {NavigationKey::Up, 5, 4},        {NavigationKey::Up, 0, 0},
        {NavigationKey::PageDown, 5, 15}, {NavigationKey::PageDown, 45, 49},
        {NavigationKey::PageUp, 15, 5},   {NavigationKey::PageUp, 3, 0},
        {NavigationKey::Home, 30, 0},     {NavigationKey::End, 3, 49},
    };
    for (const Case& c : cases)
        EXPECT_EQ(navigationTarget(c.key, c.from, 50, 10), c.expected)
            << "key " << static_cast<int>(c.key) << " from " << c.from;
}

TEST(Navigation, WithoutSelectionKeysLandOnTheFirstRowAndEndOnTheLast)
{
    EXPECT_EQ(navigationTarget(NavigationKey::Down, -1, 5, 10), 0);
    EXPECT_EQ(navigationTarget(NavigationKey::Up, -1, 5, 10), 0);
    EXPECT_EQ(navigationTarget(NavigationKey::PageDown, -1, 5, 10), 0);
    EXPECT_EQ(navigationTarget(NavigationKey::End, -1, 5, 10), 4);
}

TEST(Navigation, EmptyGridKeepsNoSelectionAndADegeneratePageStillMoves)
{
    for (auto key : {NavigationKey::Down, NavigationKey::End, NavigationKey::PageDown})
        EXPECT_EQ(navigationTarget(key, -1, 0, 10), -1);
    EXPECT_EQ(navigationTarget(NavigationKey::PageDown, 2, 10, 0), 3);
}

TEST(Layout, RowsThatFitCountWholeRowsOnlyAndPaintRangeIncludesThePartialOne)
{
    // The catalogue's grid: 321 high less a 2-pixel border each side, header 18.
    const Layout layout{.clientWidth = 236, .clientHeight = 317, .headerHeight = 18, .rowHeight = 16};
    EXPECT_EQ(layout.rowsThatFit(), 18);          // 299 / 16
    EXPECT_EQ(layout.lastVisibleRow(1000), 18);   // the 19th row shows in part
    EXPECT_EQ(layout.lastVisibleRow(5), 4);
    EXPECT_EQ(layout.lastVisibleRow(0), -1);

    const Layout tiny{.clientWidth = 50, .clientHeight = 10, .headerHeight = 18, .rowHeight = 16};
    EXPECT_EQ(tiny.rowsThatFit(), 1);
    EXPECT_EQ(tiny.lastVisibleRow(10), -1);
}

TEST(Layout, HitTestTellsHeaderCellsAndTheEmptyAreaBelowTheRows)
{
    ColumnSet columns;
    columns.add({.width = 100});
    columns.add({.width = 50});
    Layout layout{.clientWidth = 200, .clientHeight = 200, .headerHeight = 18, .rowHeight = 16, .topRow = 10};

    Hit hit = hitTest(layout, columns, 100, 120, 5);
    EXPECT_EQ(hit.area, HitArea::Header);
    EXPECT_EQ(hit.column, 1);

    hit = hitTest(layout, columns, 100, 5, 18 + 16 * 2 + 3);
    EXPECT_EQ(hit.area, HitArea::Cell);
    EXPECT_EQ(hit.row, 12);
    EXPECT_EQ(hit.column, 0);

    hit = hitTest(layout, columns, 11, 5, 18 + 16 + 1);   // only row 10 exists below the top
    EXPECT_EQ(hit.area, HitArea::BelowRows);

    hit = hitTest(layout, columns, 100, 170, 40);         // right of the last column
    EXPECT_EQ(hit.area, HitArea::Cell);
    EXPECT_EQ(hit.column, -1);

    EXPECT_EQ(hitTest(layout, columns, 100, -1, 40).area, HitArea::Nowhere);
    EXPECT_EQ(hitTest(layout, columns, 100, 10, 200).area, HitArea::Nowhere);

    layout.scrollX = 60;                                  // shifted columns
    EXPECT_EQ(hitTest(layout, columns, 100, 45, 5).column, 1);
}

TEST(Layout, ScrollLimits)
{
    EXPECT_EQ(maxTopRow(100, 18), 82);
    EXPECT_EQ(maxTopRow(5, 18), 0);
    EXPECT_EQ(maxTopRow(5, 0), 4);
    EXPECT_EQ(maxScrollX(251, 236), 15);
    EXPECT_EQ(maxScrollX(100, 236), 0);
}

TEST(Layout, HeaderDividersAreFoundNearColumnEdgesOnlyInTheHeader)
{
    ColumnSet columns;
    columns.add({.width = 100});
    columns.add({.width = 50});
    Layout layout{.clientWidth = 300, .clientHeight = 200, .headerHeight = 18, .rowHeight = 16};
    EXPECT_EQ(headerDividerAt(layout, columns, 100, 5), 0);
    EXPECT_EQ(headerDividerAt(layout, columns, 97, 5), 0);
    EXPECT_EQ(headerDividerAt(layout, columns, 103, 5), 0);
    EXPECT_EQ(headerDividerAt(layout, columns, 96, 5), -1);
    EXPECT_EQ(headerDividerAt(layout, columns, 150, 5), 1);
    EXPECT_EQ(headerDividerAt(layout, columns, 100, 30), -1);   // body, not header
    layout.scrollX = 40;
    EXPECT_EQ(headerDividerAt(layout, columns, 60, 5), 0);
    // Two edges close together: the pointer left of the first takes the first column.
    columns.at(1)->width = 2;
    layout.scrollX = 0;
    EXPECT_EQ(headerDividerAt(layout, columns, 99, 5), 0);
    EXPECT_EQ(headerDividerAt(layout, columns, 102, 5), 1);
}
