// Clicks, double clicks and header clicks on a real grid, and what the events see.
#include "../support/GridForm.h"
#include "../support/GuiDriver.h"

#include <gtest/gtest.h>

using namespace gridtest;

namespace {

std::vector<std::wstring> columnTexts(const vm::TNextGrid& grid, int column)
{
    std::vector<std::wstring> texts;
    for (int row = 0; row < grid.RowCount(); ++row)
        texts.push_back(grid.GetCellText(column, row));
    return texts;
}

} // namespace

TEST(GridMouse, AClickSelectsTheRowBeforeOnClickRuns)
{
    auto form = showGridForm();
    form->Fill(movieNames(10));
    const POINT p = form->RowPoint(3);
    postClick(form->GridWindow(), p.x, p.y);
    ASSERT_TRUE(pumpUntil([&] { return !form->events.empty(); }));
    EXPECT_EQ(form->events, (std::vector<std::string>{"click 3"}));
    EXPECT_EQ(form->Grid().SelectedRowIndex(), 3);
}

TEST(GridMouse, ClicksOnTheHeaderOrBelowTheRowsKeepTheSelection)
{
    auto form = showGridForm();
    form->Fill(movieNames(4));
    HWND wnd = form->GridWindow();

    const POINT below = form->RowPoint(8);
    postClick(wnd, below.x, below.y);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 1; }));
    EXPECT_EQ(form->events.back(), "click -1");

    const POINT row = form->RowPoint(1);
    postClick(wnd, row.x, row.y);
    postClick(wnd, below.x, below.y);
    const POINT header = form->HeaderPoint(1);
    form->Grid().Columns(1)->SetOptions(form->Grid().Columns(1)->Options() & ~velmora::grid::coCanSort);
    postClick(wnd, header.x, header.y);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 4; }));
    EXPECT_EQ(form->events, (std::vector<std::string>{"click -1", "click 1", "click 1", "click 1"}));
}

TEST(GridMouse, ADoubleClickFollowsTheClickOfItsFirstPress)
{
    auto form = showGridForm();
    form->Fill(movieNames(10));
    const POINT p = form->RowPoint(2);
    postDoubleClick(form->GridWindow(), p.x, p.y);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() >= 2; }));
    pumpPending();
    ASSERT_GE(form->events.size(), 2u);
    EXPECT_EQ(form->events[0], "click 2");
    EXPECT_EQ(form->events[1], "dblclick 2");
}

TEST(GridMouse, HeaderClicksSortAscendingThenDescendingAndTheSelectionStaysOnItsMovie)
{
    auto form = showGridForm();
    form->Fill({L"delta.swf", L"Alpha.swf", L"charlie.swf", L"bravo.swf"});
    vm::TNextGrid& grid = form->Grid();
    HWND wnd = form->GridWindow();
    const POINT row = form->RowPoint(2);   // charlie
    postClick(wnd, row.x, row.y);
    const POINT header = form->HeaderPoint(0);
    postClick(wnd, header.x, header.y);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 2; }));
    EXPECT_EQ(columnTexts(grid, 0),
              (std::vector<std::wstring>{L"Alpha.swf", L"bravo.swf", L"charlie.swf", L"delta.swf"}));
    EXPECT_TRUE(grid.Columns(0)->Sorted());
    EXPECT_EQ(grid.Columns(0)->SortKind(), velmora::grid::SortKind::Ascending);
    EXPECT_EQ(grid.GetCellText(0, grid.SelectedRowIndex()), L"charlie.swf");

    postClick(wnd, header.x, header.y);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 3; }));
    EXPECT_EQ(columnTexts(grid, 0),
              (std::vector<std::wstring>{L"delta.swf", L"charlie.swf", L"bravo.swf", L"Alpha.swf"}));
    EXPECT_EQ(grid.Columns(0)->SortKind(), velmora::grid::SortKind::Descending);
    EXPECT_EQ(grid.GetCellText(0, grid.SelectedRowIndex()), L"charlie.swf");

    // Another column takes over the sort, ascending; sizes compare as text.
    const POINT sizeHeader = form->HeaderPoint(1);
    postClick(wnd, sizeHeader.x, sizeHeader.y);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 4; }));
    EXPECT_FALSE(grid.Columns(0)->Sorted());
    EXPECT_TRUE(grid.Columns(1)->Sorted());
    EXPECT_EQ(columnTexts(grid, 1), (std::vector<std::wstring>{L"0.00 MB", L"1.00 MB", L"2.00 MB", L"3.00 MB"}));
}

TEST(GridMouse, APressOnOneHeaderCellReleasedOnAnotherDoesNotSort)
{
    auto form = showGridForm();
    form->Fill({L"b.swf", L"a.swf"});
    HWND wnd = form->GridWindow();
    const POINT first = form->HeaderPoint(0);
    const POINT second = form->HeaderPoint(1);
    postMouseDown(wnd, first.x, first.y);
    postMouseMove(wnd, second.x, second.y, true);
    postMouseUp(wnd, second.x, second.y);
    pumpUntil([&] { return !form->events.empty(); }, 20);
    EXPECT_EQ(form->Grid().GetCellText(0, 0), L"b.swf");
    EXPECT_FALSE(form->Grid().Columns(0)->Sorted());
    EXPECT_FALSE(form->Grid().Columns(1)->Sorted());
}

TEST(GridMouse, TheWheelScrollsAndStopsAtTheEnds)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    form->Fill(movieNames(100));
    HWND wnd = form->GridWindow();
    SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_GT(grid.TopRow(), 0);
    const int afterOneNotch = grid.TopRow();
    for (int i = 0; i < 100; ++i)
        SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(grid.TopRow(), 100 - grid.VisibleRowCount());
    for (int i = 0; i < 100; ++i)
        SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(grid.TopRow(), 0);
    // Half notches add up.
    SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    EXPECT_EQ(grid.TopRow(), 0);
    SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    EXPECT_EQ(grid.TopRow(), afterOneNotch);

    // A click on a row after scrolling picks the row under the pointer.
    const POINT p = form->RowPoint(grid.TopRow() + 1);
    postClick(wnd, p.x, p.y);
    ASSERT_TRUE(pumpUntil([&] { return !form->events.empty(); }));
    EXPECT_EQ(grid.SelectedRowIndex(), afterOneNotch + 1);
}

TEST(GridMouse, DraggingAHeaderEdgeResizesTheColumnWithoutSorting)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    form->Fill({L"b.swf", L"a.swf"});
    HWND wnd = form->GridWindow();
    postMouseDown(wnd, 157, 5);
    postMouseMove(wnd, 120, 5, true);
    postMouseUp(wnd, 120, 5);
    ASSERT_TRUE(pumpUntil([&] { return !form->events.empty(); }));
    EXPECT_EQ(grid.Columns(0)->Width(), 121);
    EXPECT_FALSE(grid.Columns(0)->Sorted());
    EXPECT_EQ(grid.GetCellText(0, 0), L"b.swf");
    EXPECT_EQ(grid.HitTest(125, 30).column, 1);   // Size now starts further left

    // Dragged past its left edge, a column keeps a width that can be caught again.
    postMouseDown(wnd, 121, 5);
    postMouseMove(wnd, 0, 5, true);
    postMouseUp(wnd, 0, 5);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 2; }));
    EXPECT_EQ(grid.Columns(0)->Width(), 8);
}
