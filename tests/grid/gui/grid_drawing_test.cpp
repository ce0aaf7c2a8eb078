// Pixels read back from the grid's window: selection highlight, header captions, sort arrow.
#include "../support/GridForm.h"
#include "../support/GuiDriver.h"

#include "grid/GridPainter.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace gridtest;

namespace {

// A point inside a row that no text reaches: the right end of the Size cell, or of the
// client area when a vertical scroll bar covers the end of that cell.
POINT emptyPartOfRow(GridForm& form, int row)
{
    const POINT p = form.RowPoint(row);
    RECT client;
    GetClientRect(form.GridWindow(), &client);
    return POINT{std::min<int>(158 + 93 - 8, client.right - 4), p.y};
}

ClientPixels paintedPixels(GridForm& form)
{
    HWND wnd = form.GridWindow();
    pumpUntil([&] { return GetUpdateRect(wnd, nullptr, FALSE) == FALSE; });
    return ClientPixels(wnd);
}

} // namespace

TEST(GridDrawing, TheSelectedRowIsHighlightedAcrossItsWidthAndOthersAreNot)
{
    auto form = showGridForm();
    form->Fill(movieNames(8));
    const POINT p = form->RowPoint(3);
    postClick(form->GridWindow(), p.x, p.y);
    ASSERT_TRUE(pumpUntil([&] { return form->Grid().SelectedRowIndex() == 3; }));
    const ClientPixels pixels = paintedPixels(*form);

    const COLORREF highlight = velmora::grid::selectionBackground(true);
    const POINT inRow = emptyPartOfRow(*form, 3);
    EXPECT_EQ(pixels.at(inRow.x, inRow.y), highlight);
    EXPECT_EQ(pixels.at(120, inRow.y), highlight);          // the name cell, right of its text
    EXPECT_EQ(pixels.at(158 - 1, inRow.y), highlight);      // across the line between cells
    const POINT otherRow = emptyPartOfRow(*form, 4);
    EXPECT_EQ(pixels.at(otherRow.x, otherRow.y), GetSysColor(COLOR_WINDOW));
    // The selected row's text is drawn in the highlight text colour.
    const RECT text{4, inRow.y - 6, 90, inRow.y + 6};
    EXPECT_GT(pixels.count(text, [](COLORREF c) { return c == velmora::grid::selectionText(true); }), 10);
}

TEST(GridDrawing, TheHighlightMovesWithTheKeyboardAndFadesWithoutFocus)
{
    auto form = showGridForm();
    form->Fill(movieNames(8));
    form->Grid().SelectRow(1);
    postKey(form->GridWindow(), VK_DOWN);
    ASSERT_TRUE(pumpUntil([&] { return form->Grid().SelectedRowIndex() == 2; }));
    ClientPixels pixels = paintedPixels(*form);
    const POINT row1 = emptyPartOfRow(*form, 1);
    const POINT row2 = emptyPartOfRow(*form, 2);
    EXPECT_EQ(pixels.at(row1.x, row1.y), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixels.at(row2.x, row2.y), velmora::grid::selectionBackground(true));

    SetFocus(form->Handle());
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() != form->GridWindow(); }));
    pixels = paintedPixels(*form);
    EXPECT_EQ(pixels.at(row2.x, row2.y), velmora::grid::selectionBackground(false));
}

TEST(GridDrawing, HeaderShowsCaptionsOfVisibleColumnsAndTheSortArrow)
{
    auto form = showGridForm();
    form->Fill({L"b.swf", L"a.swf"});
    ClientPixels pixels = paintedPixels(*form);
    const int header = form->Grid().HeaderSize();
    const auto dark = [](COLORREF c) { return isDark(c); };
    EXPECT_GT(pixels.count(RECT{3, 3, 80, header - 3}, dark), 20);      // "File Name"
    EXPECT_GT(pixels.count(RECT{161, 3, 200, header - 3}, dark), 8);    // "Size"
    // Right of the last visible column the header is empty: the hidden Location is not drawn.
    EXPECT_EQ(pixels.count(RECT{158 + 93 + 3, 3, pixels.width(), header - 3}, dark), 0);

    // No arrow before sorting; one appears at the right end of the sorted header cell.
    const RECT arrowBox{158 - 18, 3, 158 - 3, header - 3};
    const auto shadow = [](COLORREF c) { return c == GetSysColor(COLOR_BTNSHADOW); };
    const int before = pixels.count(arrowBox, shadow);
    const POINT headerPoint = form->HeaderPoint(0);
    postClick(form->GridWindow(), headerPoint.x, headerPoint.y);
    ASSERT_TRUE(pumpUntil([&] { return form->Grid().Columns(0)->Sorted(); }));
    pixels = paintedPixels(*form);
    EXPECT_GT(pixels.count(arrowBox, shadow), before + 10);
}

TEST(GridDrawing, ScrolledRowsAreDrawnFromTheTopRow)
{
    auto form = showGridForm();
    form->Fill(movieNames(1000));
    form->Grid().SelectRow(500);
    ASSERT_GE(form->Grid().TopRow(), 500 - form->Grid().VisibleRowCount() + 1);
    const ClientPixels pixels = paintedPixels(*form);
    const POINT selected = emptyPartOfRow(*form, 500);
    EXPECT_EQ(pixels.at(selected.x, selected.y), velmora::grid::selectionBackground(true));
}
