// Keyboard navigation and key events on a real grid, through the application's message loop.
#include "../support/GridForm.h"
#include "../support/GuiDriver.h"

#include <gtest/gtest.h>

using namespace gridtest;

TEST(GridKeyboard, ArrowsMoveTheSelectionBeforeOnKeyUpRuns)
{
    auto form = showGridForm();
    form->Fill(movieNames(10));
    HWND wnd = form->GridWindow();
    form->Grid().SelectRow(4);
    postKey(wnd, VK_DOWN);
    postKey(wnd, VK_UP);
    postKey(wnd, VK_UP);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() >= 3; }));
    EXPECT_EQ(form->events, (std::vector<std::string>{"keyup 40 sel 5", "keyup 38 sel 4", "keyup 38 sel 3"}));
}

TEST(GridKeyboard, PageKeysMoveByTheRowsThatFitAndHomeEndGoToTheEnds)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    form->Fill(movieNames(100));
    HWND wnd = form->GridWindow();
    const int page = grid.VisibleRowCount();
    ASSERT_GT(page, 5);

    postKey(wnd, VK_NEXT);   // no selection yet: lands on the first row
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 1; }));
    EXPECT_EQ(grid.SelectedRowIndex(), 0);

    postKey(wnd, VK_NEXT);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 2; }));
    EXPECT_EQ(grid.SelectedRowIndex(), page);
    EXPECT_GT(grid.TopRow(), 0);   // scrolled so the selection shows
    EXPECT_LE(grid.TopRow(), page);
    EXPECT_GE(grid.TopRow() + page - 1, page);

    postKey(wnd, VK_END);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 3; }));
    EXPECT_EQ(grid.SelectedRowIndex(), 99);
    EXPECT_EQ(grid.TopRow(), 100 - page);

    postKey(wnd, VK_PRIOR);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 4; }));
    EXPECT_EQ(grid.SelectedRowIndex(), 99 - page);

    postKey(wnd, VK_HOME);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 5; }));
    EXPECT_EQ(grid.SelectedRowIndex(), 0);
    EXPECT_EQ(grid.TopRow(), 0);

    postKey(wnd, VK_UP);     // already at the top
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 6; }));
    EXPECT_EQ(grid.SelectedRowIndex(), 0);
}

TEST(GridKeyboard, EnterArrivesAsCharacter13EvenBesideADefaultButtonAndDoesNotMoveTheSelection)
{
    auto form = showGridForm();
    form->Fill(movieNames(10));
    form->Grid().SelectRow(6);
    postKey(form->GridWindow(), VK_RETURN);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() >= 2; }));
    pumpPending();
    EXPECT_EQ(form->events, (std::vector<std::string>{"keypress 13 sel 6", "keyup 13 sel 6"}));
    EXPECT_EQ(form->Grid().SelectedRowIndex(), 6);
}

TEST(GridKeyboard, EscapeAndTabStillReachTheForm)
{
    auto form = showGridForm();
    const WPARAM code = SendMessageW(form->GridWindow(), WM_GETDLGCODE, VK_TAB, 0);
    EXPECT_FALSE(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
    postKey(form->GridWindow(), VK_TAB);
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() != form->GridWindow(); }));
}

TEST(GridKeyboard, KeysOnAnEmptyGridSelectNothing)
{
    auto form = showGridForm();
    HWND wnd = form->GridWindow();
    for (WORD key : {VK_DOWN, VK_NEXT, VK_END, VK_HOME})
        postKey(wnd, key);
    ASSERT_TRUE(pumpUntil([&] { return form->events.size() == 4; }));
    EXPECT_EQ(form->Grid().SelectedRowIndex(), -1);
}

TEST(GridKeyboard, AKeyDownHandlerCanTakeTheKeyAway)
{
    auto form = showGridForm();
    form->Fill(movieNames(10));
    form->Grid().SelectRow(2);
    form->Grid().OnKeyDown = [](vm::TComponent*, WORD& key, vm::TShiftState) { key = 0; };
    postKey(form->GridWindow(), VK_DOWN);
    ASSERT_TRUE(pumpUntil([&] { return !form->events.empty(); }));
    EXPECT_EQ(form->Grid().SelectedRowIndex(), 2);
}
