#include "GridPainter.h"

#include "framework/GdiObject.h"

#include <algorithm>
#include <string_view>

namespace velmora::grid {
namespace {

constexpr int kArrowWidth = 8;   // sort arrow: an isosceles triangle, half as high as wide

void fill(HDC dc, const RECT& r, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

RECT toRect(const Rect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

bool meets(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

HFONT fontOf(const GridLook& look, int column)
{
    if (column >= 0 && static_cast<std::size_t>(column) < look.columnFonts.size() && look.columnFonts[column])
        return look.columnFonts[column];
    return look.headerFont;
}

void drawText(HDC dc, std::wstring_view text, RECT box, UINT align)
{
    box.left += kCellTextPadding;
    box.right -= kCellTextPadding;
    if (box.right <= box.left || text.empty())
        return;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box,
              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void drawSortArrow(HDC dc, const RECT& cell, SortKind kind)
{
    const int half = kArrowWidth / 2;
    const int right = cell.right - 6;
    const int left = right - kArrowWidth;
    const int middleY = (cell.top + cell.bottom) / 2;
    POINT points[3];
    if (kind == SortKind::Ascending)
        points[0] = {left + half, middleY - half / 2 - 1}, points[1] = {left, middleY + half / 2 + 1},
        points[2] = {right, middleY + half / 2 + 1};
    else
        points[0] = {left, middleY - half / 2 - 1}, points[1] = {right, middleY - half / 2 - 1},
        points[2] = {left + half, middleY + half / 2 + 1};
    const COLORREF shade = GetSysColor(COLOR_BTNSHADOW);
    SetDCBrushColor(dc, shade);
    SetDCPenColor(dc, shade);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    Polygon(dc, points, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void paintHeader(HDC dc, const GridModel& model, const Layout& layout, const GridLook& look, const RECT& clip)
{
    const RECT band = toRect(layout.headerRect());
    if (band.bottom <= band.top || !meets(band, clip))
        return;
    fill(dc, band, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    int right = band.left;
    for (const ColumnSpan& span : model.columns().visibleSpans()) {
        RECT cell{span.left - layout.scrollX, band.top, span.right - layout.scrollX, band.bottom};
        right = cell.right;
        if (!meets(cell, clip))
            continue;
        const ColumnSettings& column = *model.columns().at(span.index);
        const bool pressed = span.index == look.pressedHeaderColumn;
        RECT edge = cell;
        DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT);
        RECT captionBox = cell;
        if (pressed)
            OffsetRect(&captionBox, 1, 1);
        if (column.sorted) {
            drawSortArrow(dc, captionBox, column.sortKind);
            captionBox.right -= kArrowWidth + 6;
        }
        SelectObject(dc, look.headerFont);
        drawText(dc, column.caption, captionBox, DT_LEFT);
    }
    if (right < band.right) {
        RECT rest{right, band.top, band.right, band.bottom};
        DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
}

void paintRow(HDC dc, const GridModel& model, const Layout& layout, const GridLook& look, int row,
              std::span<const ColumnSpan> spans, const RECT& clip)
{
    const RECT line = toRect(layout.rowRect(row));
    const bool selectedRow = row == model.selectedRow();
    const COLORREF lineColour = GetSysColor(COLOR_BTNFACE);
    fill(dc, line, GetSysColor(COLOR_WINDOW));
    for (const ColumnSpan& span : spans) {
        RECT cell{span.left - layout.scrollX, line.top, span.right - layout.scrollX, line.bottom};
        if (!meets(cell, clip))
            continue;
        const bool highlighted = selectedRow && (look.fullRowSelect || span.index == model.selectedColumn());
        // A full-row selection runs across the lines between its cells.
        const bool verticalLine = look.gridLines && !(highlighted && look.fullRowSelect && &span != &spans.back());
        if (look.gridLines) {
            fill(dc, RECT{cell.left, cell.bottom - 1, cell.right, cell.bottom}, lineColour);
            cell.bottom -= 1;
        }
        if (verticalLine) {
            fill(dc, RECT{cell.right - 1, cell.top, cell.right, cell.bottom}, lineColour);
            cell.right -= 1;
        }
        if (highlighted)
            fill(dc, cell, selectionBackground(look.focused));
        SetTextColor(dc, highlighted ? selectionText(look.focused) : GetSysColor(COLOR_WINDOWTEXT));
        SelectObject(dc, fontOf(look, span.index));
        drawText(dc, model.cells().text(span.index, row), cell, DT_LEFT);
    }
    if (selectedRow && look.focused && !spans.empty()) {
        const ColumnSpan* focusSpan = nullptr;
        for (const ColumnSpan& span : spans)
            if (span.index == model.selectedColumn())
                focusSpan = &span;
        LONG left = line.left, right = spans.back().right - layout.scrollX;
        if (!look.fullRowSelect && focusSpan)
            left = focusSpan->left - layout.scrollX, right = focusSpan->right - layout.scrollX;
        RECT focus{left, line.top, right - (look.gridLines ? 1 : 0), line.bottom - (look.gridLines ? 1 : 0)};
        SetTextColor(dc, selectionText(true));
        SetBkColor(dc, selectionBackground(true));
        DrawFocusRect(dc, &focus);
    }
}

} // namespace

COLORREF selectionBackground(bool focused) noexcept
{
    return GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
}

COLORREF selectionText(bool focused) noexcept
{
    return GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
}

void paintGrid(HDC dc, const GridModel& model, const Layout& layout, const GridLook& look, const RECT& clip)
{
    const vm::TSavedDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    paintHeader(dc, model, layout, look, clip);

    const RECT body = toRect(layout.bodyRect());
    RECT bodyClip;
    if (IntersectRect(&bodyClip, &body, &clip)) {
        IntersectClipRect(dc, body.left, body.top, body.right, body.bottom);
        const auto spans = model.columns().visibleSpans();
        // Only rows that meet the clip rectangle are drawn: a repaint costs the rows on
        // screen, never the rows in the grid.
        const int rowHeight = std::max(layout.rowHeight, 1);
        const int clipTop = static_cast<int>(bodyClip.top) - layout.bodyTop();
        const int clipBottom = static_cast<int>(bodyClip.bottom) - layout.bodyTop();
        const int firstRow = layout.topRow + std::max(clipTop, 0) / rowHeight;
        const int lastRow = std::min(layout.lastVisibleRow(model.rowCount()), layout.topRow + (clipBottom - 1) / rowHeight);
        int paintedBottom = std::max<int>(body.top, layout.rowRect(firstRow).top);
        for (int row = firstRow; row <= lastRow; ++row) {
            paintRow(dc, model, layout, look, row, spans, bodyClip);
            paintedBottom = layout.rowRect(row).bottom;
        }
        if (paintedBottom < bodyClip.bottom)
            fill(dc, RECT{bodyClip.left, std::max<LONG>(paintedBottom, bodyClip.top), bodyClip.right, bodyClip.bottom},
                 GetSysColor(COLOR_WINDOW));
    }
}

} // namespace velmora::grid
