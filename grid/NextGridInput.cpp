// TNextGrid's mouse and keyboard handling.
#include "NextGrid.h"

#include "framework/GdiObject.h"
#include "grid/GridPainter.h"
#include "grid/NxTextColumn.h"

#include <algorithm>

namespace vm {

using namespace velmora::grid;

namespace {

// A column dragged narrower stops here, so its edge can still be caught again.
constexpr int kMinimumDraggedWidth = 8;

bool navigationKeyOf(WORD key, NavigationKey& navigation)
{
    switch (key) {
    case VK_UP: navigation = NavigationKey::Up; return true;
    case VK_DOWN: navigation = NavigationKey::Down; return true;
    case VK_PRIOR: navigation = NavigationKey::PageUp; return true;
    case VK_NEXT: navigation = NavigationKey::PageDown; return true;
    case VK_HOME: navigation = NavigationKey::Home; return true;
    case VK_END: navigation = NavigationKey::End; return true;
    default: return false;
    }
}

} // namespace

Hit TNextGrid::HitTest(int x, int y) const
{
    return hitTest(CurrentLayout(), model_.columns(), model_.rowCount(), x, y);
}

void TNextGrid::KeyDown(WORD& key, TShiftState shift)
{
    HideTextFitHint();
    TWinControl::KeyDown(key, shift);   // OnKeyDown first: a handler may take the key away
    NavigationKey navigation;
    if (key == 0 || !navigationKeyOf(key, navigation))
        return;
    const int before = model_.selectedRow();
    const int topBefore = model_.topRow();
    model_.navigate(navigation, VisibleRowCount());
    if (model_.topRow() != topBefore) {
        UpdateScrollBars();
        InvalidateClient();
    } else {
        InvalidateRows(before, before);
        InvalidateRows(model_.selectedRow(), model_.selectedRow());
    }
}

void TNextGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    HideTextFitHint();
    if (button == TMouseButton::mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        const Hit hit = HitTest(x, y);
        const int divider = headerDividerAt(CurrentLayout(), model_.columns(), x, y);
        if (divider >= 0) {
            resizingColumn_ = divider;
            resizeStartX_ = x;
            resizeStartWidth_ = model_.columns().at(divider)->width;
            SetCapture(Handle());
        } else if (hit.area == HitArea::Cell) {
            // A click right of the last column still picks the row.
            ChangeSelection(hit.row, hit.column >= 0 ? hit.column : model_.selectedColumn());
        } else if (hit.area == HitArea::Header && hit.column >= 0) {
            const ColumnSettings* column = model_.columns().at(hit.column);
            if (column && (column->options & coCanClick)) {
                pressedHeader_ = hit.column;
                pressedInside_ = true;
                SetCapture(Handle());
                InvalidateHeader();
            }
        }
    }
    TWinControl::MouseDown(button, shift, x, y);
}

void TNextGrid::MouseMove(TShiftState shift, int x, int y)
{
    if (resizingColumn_ >= 0) {
        if (TNxTextColumn* column = Columns(resizingColumn_))
            column->SetWidth(std::max(kMinimumDraggedWidth, resizeStartWidth_ + x - resizeStartX_));
    } else if (pressedHeader_ >= 0) {
        const Hit hit = HitTest(x, y);
        const bool inside = hit.area == HitArea::Header && hit.column == pressedHeader_;
        if (inside != pressedInside_) {
            pressedInside_ = inside;
            InvalidateHeader();
        }
    } else if (!(shift & (ssLeft | ssRight | ssMiddle))) {
        UpdateTextFitHint(x, y);
    }
    TWinControl::MouseMove(shift, x, y);
}

void TNextGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft && resizingColumn_ >= 0) {
        resizingColumn_ = -1;
        if (GetCapture() == HandleIfAllocated())
            ReleaseCapture();
    } else if (button == TMouseButton::mbLeft && pressedHeader_ >= 0) {
        const int pressed = pressedHeader_;
        pressedHeader_ = -1;
        pressedInside_ = false;
        if (GetCapture() == HandleIfAllocated())
            ReleaseCapture();
        const Hit hit = HitTest(x, y);
        // Press and release on the same header cell: a header click.
        if (hit.area == HitArea::Header && hit.column == pressed)
            SortByColumn(pressed);
        InvalidateHeader();
    }
    TWinControl::MouseUp(button, shift, x, y);
}

void TNextGrid::UpdateTextFitHint(int x, int y)
{
    const Hit hit = HitTest(x, y);
    const ColumnSettings* column = model_.columns().at(hit.column);
    if (hit.area != HitArea::Cell || !column || !(column->options & coShowTextFitHint)) {
        HideTextFitHint();
        return;
    }
    if (hint_.showing() && hit.row == hintRow_ && hit.column == hintColumn_)
        return;
    HideTextFitHint();

    const Layout layout = CurrentLayout();
    int cellLeft = 0, cellWidth = 0;
    for (const ColumnSpan& span : model_.columns().visibleSpans())
        if (span.index == hit.column)
            cellLeft = span.left - layout.scrollX, cellWidth = span.right - span.left;
    const std::wstring_view text = model_.cells().text(hit.column, hit.row);
    const HFONT font = columns_[static_cast<std::size_t>(hit.column)]->Font().Handle();
    const int available = cellWidth - 2 * kCellTextPadding - ((options_ & goGrid) ? 1 : 0);
    const TWindowDC dc(Handle());
    if (!textOverflows(dc.Get(), font, text, available))
        return;

    SIZE extent{};
    {
        const TSelectObject selected(dc.Get(), font);
        GetTextExtentPoint32W(dc.Get(), text.data(), static_cast<int>(text.size()), &extent);
    }
    const Rect row = layout.rowRect(hit.row);
    POINT origin{cellLeft + kCellTextPadding, row.top + (layout.rowHeight - extent.cy) / 2};
    origin = ClientToScreen(origin);
    hint_.show(Handle(), origin, text, font);
    hintRow_ = hit.row;
    hintColumn_ = hit.column;
    // Hear when the pointer leaves the grid, to take the hint away.
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
    TrackMouseEvent(&track);
}

bool TNextGrid::SetResizeCursor()
{
    POINT p;
    GetCursorPos(&p);
    p = ScreenToClient(p);
    if (resizingColumn_ < 0 && headerDividerAt(CurrentLayout(), model_.columns(), p.x, p.y) < 0)
        return false;
    ::SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
    return true;
}

void TNextGrid::HideTextFitHint()
{
    hint_.hide();
    hintRow_ = hintColumn_ = -1;
}

} // namespace vm
