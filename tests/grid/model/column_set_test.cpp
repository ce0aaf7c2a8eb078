#include "grid/model/ColumnSet.h"

#include <gtest/gtest.h>

using namespace velmora::grid;

namespace {

ColumnSet catalogueColumns()
{
    ColumnSet set;
    set.add({.name = L"cName", .caption = L"File Name", .width = 158, .defaultWidth = 158});
    set.add({.name = L"cFSize", .caption = L"Size", .width = 93, .defaultWidth = 93});
    set.add({.name = L"cLoc", .caption = L"Location", .width = 200, .defaultWidth = 200, .visible = false});
    return set;
}

} // namespace

TEST(ColumnSet, HiddenColumnsTakeNoSpace)
{
    const ColumnSet set = catalogueColumns();
    const auto spans = set.visibleSpans();
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[1].index, 1);
    EXPECT_EQ(spans[1].left, 158);
    EXPECT_EQ(spans[1].right, 251);
    EXPECT_EQ(set.totalVisibleWidth(), 251);
    EXPECT_EQ(set.columnAt(0), 0);
    EXPECT_EQ(set.columnAt(157), 0);
    EXPECT_EQ(set.columnAt(158), 1);
    EXPECT_EQ(set.columnAt(251), -1);
    EXPECT_EQ(set.columnAt(-1), -1);
}

TEST(ColumnSet, DisplayOrderIsIndependentOfIndexes)
{
    ColumnSet set = catalogueColumns();
    set.moveToPosition(1, 0);
    EXPECT_EQ(set.displayOrder(), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(set.at(0)->name, L"cName");     // index order untouched
    EXPECT_EQ(set.columnAt(10), 1);          // Size is now drawn first
    EXPECT_EQ(set.columnAt(100), 0);
    set.moveToPosition(0, 99);               // clamped to the end
    EXPECT_EQ(set.displayOrder(), (std::vector<int>{1, 2, 0}));
    set.moveToPosition(7, 0);                // unknown column: ignored
    EXPECT_EQ(set.displayOrder(), (std::vector<int>{1, 2, 0}));
}

TEST(ColumnSet, RemovingAColumnRenumbersTheDisplayOrder)
{
    ColumnSet set = catalogueColumns();
    set.moveToPosition(2, 0);
    set.remove(0);
    EXPECT_EQ(set.count(), 2);
    EXPECT_EQ(set.displayOrder(), (std::vector<int>{1, 0}));
    EXPECT_EQ(set.at(0)->name, L"cFSize");
    set.remove(5);
    EXPECT_EQ(set.count(), 2);
}

TEST(ColumnSet, HeaderClicksSortThenFlipAndMoveTheSortToAnotherColumn)
{
    ColumnSet set = catalogueColumns();
    EXPECT_EQ(set.sortedColumn(), -1);

    ASSERT_TRUE(set.toggleSort(0));
    EXPECT_EQ(set.sortedColumn(), 0);
    EXPECT_EQ(set.at(0)->sortKind, SortKind::Ascending);

    ASSERT_TRUE(set.toggleSort(0));
    EXPECT_EQ(set.at(0)->sortKind, SortKind::Descending);

    // Another column becomes the only sorted one and keeps its own direction.
    ASSERT_TRUE(set.toggleSort(1));
    EXPECT_EQ(set.sortedColumn(), 1);
    EXPECT_FALSE(set.at(0)->sorted);
    EXPECT_EQ(set.at(1)->sortKind, SortKind::Ascending);

    // Coming back to the first column keeps the direction it had.
    ASSERT_TRUE(set.toggleSort(0));
    EXPECT_EQ(set.at(0)->sortKind, SortKind::Descending);
    EXPECT_FALSE(set.at(1)->sorted);
}

TEST(ColumnSet, ColumnsWithoutCanSortAndUnknownColumnsDoNotSort)
{
    ColumnSet set = catalogueColumns();
    set.at(1)->options &= ~coCanSort;
    EXPECT_FALSE(set.toggleSort(1));
    EXPECT_FALSE(set.toggleSort(3));
    EXPECT_FALSE(set.toggleSort(-1));
    EXPECT_EQ(set.sortedColumn(), -1);
}

TEST(ColumnSet, NegativeWidthIsStoredAsZero)
{
    ColumnSet set;
    set.add({.width = -20});
    EXPECT_EQ(set.at(0)->width, 0);
    EXPECT_TRUE(set.visibleSpans().empty());
}
