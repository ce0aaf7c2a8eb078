// The grid's scroll bars: ranges, pages and the scroll messages a user's drags and clicks send.
#include "../support/GridForm.h"
#include "../support/GuiDriver.h"

#include <gtest/gtest.h>

using namespace gridtest;

namespace {

SCROLLINFO scrollInfo(HWND wnd, int bar)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(wnd, bar, &info);
    return info;
}

void scroll(HWND wnd, UINT message, WORD request)
{
    SendMessageW(wnd, message, MAKEWPARAM(request, 0), 0);
}

} // namespace

TEST(GridScrolling, TheVerticalBarFollowsRowsAndItsMessagesMoveTheTopRow)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    HWND wnd = form->GridWindow();
    form->Fill(movieNames(50));
    const int page = grid.VisibleRowCount();

    scroll(wnd, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(scrollInfo(wnd, SB_VERT).nPos, 1);
    scroll(wnd, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(grid.TopRow(), 1 + page);
    scroll(wnd, WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(grid.TopRow(), 50 - page);
    scroll(wnd, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(grid.TopRow(), 50 - page);
    scroll(wnd, WM_VSCROLL, SB_TOP);
    EXPECT_EQ(grid.TopRow(), 0);
    scroll(wnd, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(grid.TopRow(), 0);

    // Fewer rows than fit: no scrolling at all.
    form->Fill(movieNames(3));
    scroll(wnd, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(grid.TopRow(), 0);
}

TEST(GridScrolling, DraggingTheThumbUsesTheFullTrackPosition)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    HWND wnd = form->GridWindow();
    form->Fill(movieNames(70000));   // beyond the 16 bits a scroll message carries
    SCROLLINFO track{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
    track.nPos = 68000;
    SetScrollInfo(wnd, SB_VERT, &track, FALSE);
    // Wine and Windows report the tracked position through GetScrollInfo while dragging;
    // outside a drag it is the position itself, which is what this sets.
    scroll(wnd, WM_VSCROLL, SB_THUMBPOSITION);
    EXPECT_EQ(grid.TopRow(), 68000);
}

TEST(GridScrolling, ColumnsWiderThanTheClientScrollSideways)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    HWND wnd = form->GridWindow();
    form->Fill(movieNames(100));   // the vertical bar leaves less than the 251 pixels of columns
    RECT client;
    GetClientRect(wnd, &client);
    ASSERT_LT(client.right, 251);
    const SCROLLINFO horizontal = scrollInfo(wnd, SB_HORZ);
    EXPECT_EQ(horizontal.nMax, 250);
    EXPECT_EQ(static_cast<int>(horizontal.nPage), client.right);
    // The horizontal bar takes height too: the vertical page counts the rows that fit above it.
    EXPECT_EQ(grid.VisibleRowCount(), (client.bottom - grid.HeaderSize()) / grid.RowSize());

    scroll(wnd, WM_HSCROLL, SB_BOTTOM);
    const int shift = 251 - client.right;
    EXPECT_EQ(grid.HitTest(158 - shift - 1, 5).column, 0);
    EXPECT_EQ(grid.HitTest(158 - shift, 5).column, 1);
    EXPECT_EQ(grid.HitTest(client.right - 1, 5).column, 1);
    scroll(wnd, WM_HSCROLL, SB_TOP);
    EXPECT_EQ(grid.HitTest(157, 5).column, 0);

    // Without rows the vertical bar goes away and the columns fit again.
    grid.RemoveAllRows();
    GetClientRect(wnd, &client);
    EXPECT_GE(client.right, 251);
}
