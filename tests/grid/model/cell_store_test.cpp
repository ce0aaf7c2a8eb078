#include "grid/model/CellStore.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <vector>

using velmora::grid::CellStore;

namespace {

CellStore storeWithColumns(int columns)
{
    CellStore store;
    for (int i = 0; i < columns; ++i)
        store.addColumn();
    return store;
}

} // namespace

TEST(CellStore, AppendedRowsAreEmptyAndIndexedFromTheEnd)
{
    CellStore store = storeWithColumns(3);
    EXPECT_EQ(store.appendRows(1), 0);
    EXPECT_EQ(store.appendRows(4), 4);
    EXPECT_EQ(store.rowCount(), 5);
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_TRUE(store.text(column, row).empty());
}

TEST(CellStore, NonPositiveCountsAddNothingAndReportTheLastRow)
{
    CellStore store = storeWithColumns(2);
    EXPECT_EQ(store.appendRows(0), -1);
    store.appendRows(3);
    EXPECT_EQ(store.appendRows(0), 2);
    EXPECT_EQ(store.appendRows(-5), 2);
    EXPECT_EQ(store.rowCount(), 3);
}

TEST(CellStore, CellsOutsideTheGridReadEmptyAndIgnoreWrites)
{
    CellStore store = storeWithColumns(2);
    store.appendRows(2);
    ASSERT_TRUE(store.setText(1, 1, L"kept"));
    for (auto [column, row] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}, {INT_MIN, INT_MAX}}) {
        EXPECT_FALSE(store.setText(column, row, L"lost")) << column << "," << row;
        EXPECT_TRUE(store.text(column, row).empty()) << column << "," << row;
    }
    EXPECT_EQ(store.text(1, 1), L"kept");
}

TEST(CellStore, ColumnAddedToAFilledStoreHasACellPerRow)
{
    CellStore store = storeWithColumns(1);
    store.appendRows(3);
    store.setText(0, 2, L"a");
    store.addColumn();
    EXPECT_TRUE(store.setText(1, 2, L"b"));
    EXPECT_EQ(store.text(0, 2), L"a");
    EXPECT_EQ(store.text(1, 2), L"b");
}

TEST(CellStore, RemoveAllRowsDropsTextsSoNewRowsStartEmpty)
{
    CellStore store = storeWithColumns(2);
    store.appendRows(2);
    store.setText(0, 0, L"old");
    store.removeAllRows();
    EXPECT_EQ(store.rowCount(), 0);
    store.appendRows(1);
    EXPECT_TRUE(store.text(0, 0).empty());
}

TEST(CellStore, PermuteMovesWholeRows)
{
    CellStore store = storeWithColumns(2);
    store.appendRows(3);
    const wchar_t* names[] = {L"a", L"b", L"c"};
    const wchar_t* sizes[] = {L"1", L"2", L"3"};
    for (int row = 0; row < 3; ++row) {
        store.setText(0, row, names[row]);
        store.setText(1, row, sizes[row]);
    }
    const std::vector<int> order{2, 0, 1};
    store.permuteRows(order);
    EXPECT_EQ(store.text(0, 0), L"c");
    EXPECT_EQ(store.text(1, 0), L"3");
    EXPECT_EQ(store.text(0, 1), L"a");
    EXPECT_EQ(store.text(1, 2), L"2");
    const std::vector<int> wrongLength{0, 1};
    EXPECT_THROW(store.permuteRows(wrongLength), std::invalid_argument);
    EXPECT_EQ(store.text(0, 0), L"c");
}

TEST(CellStore, LongTextsSurviveGrowth)
{
    CellStore store = storeWithColumns(1);
    const std::wstring longName(300, L'x');
    store.appendRows(1);
    store.setText(0, 0, longName);
    for (int i = 0; i < 5000; ++i)
        store.appendRows(1);
    EXPECT_EQ(store.text(0, 0), longName);
    EXPECT_EQ(store.rowCount(), 5001);
}

TEST(CellStore, RowsThatCannotFitRaiseAndLeaveTheStoreAsItWas)
{
    CellStore store = storeWithColumns(3);
    store.appendRows(2);
    store.setText(2, 1, L"kept");
    EXPECT_ANY_THROW(store.appendRows(INT_MAX));
    // Fits an int and, in a 64-bit process, memory too: the cell limit refuses it at once,
    // whatever the address space.
    EXPECT_THROW(store.appendRows(INT_MAX / 4), std::length_error);
    const int rowsAtTheLimit = static_cast<int>(CellStore::maxCells / 3);
    EXPECT_THROW(store.appendRows(rowsAtTheLimit), std::length_error);
    EXPECT_EQ(store.rowCount(), 2);
    EXPECT_EQ(store.text(2, 1), L"kept");
    EXPECT_EQ(store.appendRows(1), 2);
    EXPECT_TRUE(store.setText(2, 2, L"new"));
}
