// TNextGrid's mouse and keyboard handling.
#include "NextGrid.h"

namespace vm {

using namespace velmora::grid;

namespace {

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
    if (button == TMouseButton::mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        const Hit hit = HitTest(x, y);
        if (hit.area == HitArea::Cell) {
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
    if (pressedHeader_ >= 0) {
        const Hit hit = HitTest(x, y);
        const bool inside = hit.area == HitArea::Header && hit.column == pressedHeader_;
        if (inside != pressedInside_) {
            pressedInside_ = inside;
            InvalidateHeader();
        }
    }
    TWinControl::MouseMove(shift, x, y);
}

void TNextGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft && pressedHeader_ >= 0) {
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

} // namespace vm
