// The hint that shows the whole text of a cell too narrow for it.
#include "../support/GridForm.h"
#include "../support/GuiDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

using namespace gridtest;

namespace {

BOOL CALLBACK findVisibleTooltip(HWND wnd, LPARAM found)
{
    wchar_t className[64] = {};
    GetClassNameW(wnd, className, 64);
    if (std::wstring(className) == TOOLTIPS_CLASSW && IsWindowVisible(wnd)) {
        *reinterpret_cast<HWND*>(found) = wnd;
        return FALSE;
    }
    return TRUE;
}

// The visible tooltip of this thread, or nullptr.
HWND visibleTooltip()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findVisibleTooltip, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring tooltipText(HWND tip, HWND owner)
{
    wchar_t text[512] = {};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    return text;
}

} // namespace

TEST(GridTextFitHint, ATruncatedCellShowsItsWholeTextAndAFittingOneDoesNot)
{
    auto form = showGridForm();
    const std::wstring longName = L"a movie name far too long for the 158 pixels of its column.swf";
    form->Fill({L"short.swf", longName});
    HWND wnd = form->GridWindow();

    const POINT shortCell = form->RowPoint(0);
    postMouseMove(wnd, shortCell.x, shortCell.y, false);
    pumpPending();
    EXPECT_EQ(visibleTooltip(), nullptr);

    const POINT longCell = form->RowPoint(1);
    postMouseMove(wnd, longCell.x, longCell.y, false);
    ASSERT_TRUE(pumpUntil([] { return visibleTooltip() != nullptr; }));
    EXPECT_EQ(tooltipText(visibleTooltip(), wnd), longName);

    // Leaving the cell for one that fits, or pressing a button, takes it away.
    postMouseMove(wnd, shortCell.x, shortCell.y, false);
    ASSERT_TRUE(pumpUntil([] { return visibleTooltip() == nullptr; }));
    postMouseMove(wnd, longCell.x, longCell.y, false);
    ASSERT_TRUE(pumpUntil([] { return visibleTooltip() != nullptr; }));
    postClick(wnd, longCell.x, longCell.y);
    ASSERT_TRUE(pumpUntil([] { return visibleTooltip() == nullptr; }));
}

TEST(GridTextFitHint, ColumnsWithoutTheOptionShowNoHint)
{
    auto form = showGridForm();
    form->Grid().Columns(0)->SetOptions(velmora::grid::coCanClick | velmora::grid::coCanSort);
    form->Fill({L"a movie name far too long for the 158 pixels of its column.swf"});
    const POINT cell = form->RowPoint(0);
    postMouseMove(form->GridWindow(), cell.x, cell.y, false);
    pumpPending();
    EXPECT_EQ(visibleTooltip(), nullptr);
}
