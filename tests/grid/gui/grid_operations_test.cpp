// The seven operations the catalogue relies on, on a real grid in a shown form.
#include "../support/GridForm.h"
#include "../support/GuiDriver.h"

#include "framework/Errors.h"

#include <gtest/gtest.h>

#include <climits>

using namespace gridtest;

namespace {

SCROLLINFO verticalScroll(HWND wnd)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(wnd, SB_VERT, &info);
    return info;
}

bool hasPendingPaint(HWND wnd)
{
    return GetUpdateRect(wnd, nullptr, FALSE) != FALSE;
}

// Counts WM_PAINT through the grid's replaceable message handler.
struct PaintCounter {
    explicit PaintCounter(vm::TNextGrid& grid) : grid(grid), previous(grid.WindowProc)
    {
        grid.WindowProc = [this](vm::TMessage& message) {
            if (message.Msg == WM_PAINT)
                ++paints;
            previous(message);
        };
    }
    ~PaintCounter() { grid.WindowProc = previous; }
    vm::TNextGrid& grid;
    vm::TWndMethod previous;
    int paints = 0;
};

} // namespace

TEST(GridOperations, RemoveAllRowsOnAnEmptyGridAndAfterASelection)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    grid.RemoveAllRows();
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.SelectedRowIndex(), -1);

    form->Fill(movieNames(60));
    grid.SelectRow(55);
    ASSERT_GT(grid.TopRow(), 0);
    grid.RemoveAllRows();
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.SelectedRowIndex(), -1);
    EXPECT_EQ(grid.SelectedColumn(), 0);
    EXPECT_EQ(grid.TopRow(), 0);
    EXPECT_EQ(verticalScroll(form->GridWindow()).nMax, 0);
    EXPECT_TRUE(hasPendingPaint(form->GridWindow()));

    // Refilled: nothing is selected until the user picks a row.
    form->Fill(movieNames(5));
    EXPECT_EQ(grid.SelectedRowIndex(), -1);
}

TEST(GridOperations, AppendRowsReturnsTheLastIndexAndKeepsTheSelection)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    EXPECT_EQ(grid.AppendRows(0), -1);
    EXPECT_EQ(grid.AppendRows(1), 0);
    EXPECT_EQ(grid.AppendRows(3), 3);
    grid.SelectRow(2);
    EXPECT_EQ(grid.AppendRows(0), 3);
    EXPECT_EQ(grid.AppendRows(-4), 3);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.AppendRows(2), 5);
    EXPECT_EQ(grid.SelectedRowIndex(), 2);
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(grid.GetCellText(column, 5), L"");
}

TEST(GridOperations, RowsBeyondMemoryRaiseAClearErrorAndKeepTheRows)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    form->Fill({L"a.swf", L"b.swf"});
    grid.SelectRow(1);
    try {
        grid.AppendRows(INT_MAX);
        ADD_FAILURE() << "no error";
    } catch (const vm::EOutOfResources& error) {
        EXPECT_NE(std::string(error.what()).find("rows"), std::string::npos) << error.what();
    }
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.GetCellText(0, 1), L"b.swf");
    EXPECT_EQ(grid.SelectedRowIndex(), 1);
    EXPECT_EQ(grid.AppendRows(1), 2);
}

TEST(GridOperations, CellTextReadsBackAndOutOfRangeAccessIsHarmless)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    grid.AppendRows(2);
    grid.SetCellText(0, 1, L"\u00e9t\u00e9 \u65e5\u672c.swf");
    EXPECT_EQ(grid.GetCellText(0, 1), L"\u00e9t\u00e9 \u65e5\u672c.swf");
    EXPECT_EQ(grid.GetCellText(2, 1), L"");   // the hidden column is a column like the others

    grid.SetCellText(3, 0, L"x");
    grid.SetCellText(0, 2, L"x");
    grid.SetCellText(-1, -1, L"x");
    EXPECT_EQ(grid.GetCellText(3, 0), L"");
    EXPECT_EQ(grid.GetCellText(0, 2), L"");
    EXPECT_EQ(grid.GetCellText(-1, 0), L"");
    EXPECT_EQ(grid.RowCount(), 2);
}

TEST(GridOperations, AppendingOutsideAnUpdateRecomputesTheScrollBarAtOnce)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    pumpPending();
    grid.AppendRows(100);
    const SCROLLINFO info = verticalScroll(form->GridWindow());
    EXPECT_EQ(info.nMax, 99);
    EXPECT_EQ(static_cast<int>(info.nPage), grid.VisibleRowCount());
    EXPECT_TRUE(hasPendingPaint(form->GridWindow()));
}

TEST(GridUpdates, NestedUpdatesDeferScrollBarsAndPaintingToTheLastEnd)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    HWND wnd = form->GridWindow();
    pumpPending();
    PaintCounter counter(grid);

    grid.BeginRowUpdate();
    grid.BeginRowUpdate();
    grid.RemoveAllRows();
    for (int i = 0; i < 200; ++i) {
        grid.AppendRows(1);
        grid.SetCellText(0, i, L"row");
    }
    pumpPending();
    EXPECT_EQ(counter.paints, 0);
    EXPECT_FALSE(hasPendingPaint(wnd));
    EXPECT_EQ(verticalScroll(wnd).nMax, 0);

    grid.EndRowUpdate();   // inner
    pumpPending();
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(grid.UpdateCount(), 1);

    grid.EndRowUpdate();   // outer
    EXPECT_TRUE(hasPendingPaint(wnd));
    const SCROLLINFO info = verticalScroll(wnd);
    EXPECT_EQ(info.nMax, 199);
    EXPECT_EQ(static_cast<int>(info.nPage), grid.VisibleRowCount());
    ASSERT_TRUE(pumpUntil([&] { return counter.paints >= 1; }));
    pumpPending();
    EXPECT_EQ(counter.paints, 1);
}

TEST(GridUpdates, AnExtraEndLeavesTheCounterAtZeroAndTheNextUpdateStillDefers)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    HWND wnd = form->GridWindow();
    grid.EndRowUpdate();
    grid.EndRowUpdate();
    EXPECT_EQ(grid.UpdateCount(), 0);
    pumpPending();

    grid.BeginRowUpdate();
    grid.AppendRows(30);
    EXPECT_FALSE(hasPendingPaint(wnd));
    grid.EndRowUpdate();
    EXPECT_TRUE(hasPendingPaint(wnd));
    EXPECT_EQ(grid.UpdateCount(), 0);
}

TEST(GridUpdates, FillingTenThousandRowsPaintsOnce)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    pumpPending();
    PaintCounter counter(grid);
    form->Fill(movieNames(10000));
    ASSERT_TRUE(pumpUntil([&] { return counter.paints >= 1; }));
    pumpPending();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(grid.RowCount(), 10000);
    EXPECT_EQ(grid.GetCellText(0, 9999), L"movie09999.swf");
    EXPECT_EQ(verticalScroll(form->GridWindow()).nMax, 9999);
}
