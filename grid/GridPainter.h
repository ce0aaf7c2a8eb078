#pragma once
// Draws the grid into a device context: header band with captions and the sort arrow,
// the rows that meet the clip rectangle, grid lines and the selection. Knows nothing of
// the window; the control hands it the model, the layout and how to look.
#include "grid/model/GridModel.h"

#include <windows.h>

#include <span>

namespace velmora::grid {

// Space between a cell's edge and its text, on both sides.
inline constexpr int kCellTextPadding = 3;

struct GridLook {
    bool gridLines = true;
    bool fullRowSelect = true;
    bool focused = false;
    int pressedHeaderColumn = -1;       // column index drawn pushed in, -1 for none
    HFONT headerFont = nullptr;
    std::span<const HFONT> columnFonts; // by column index; missing or null: headerFont
};

void paintGrid(HDC dc, const GridModel& model, const Layout& layout, const GridLook& look, const RECT& clip);

// The colours of a selected cell, so tests and drawing agree on them.
COLORREF selectionBackground(bool focused) noexcept;
COLORREF selectionText(bool focused) noexcept;

} // namespace velmora::grid
