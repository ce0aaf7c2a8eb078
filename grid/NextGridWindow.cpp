// TNextGrid's window: painting, invalidation and scrolling.
#include "NextGrid.h"

#include "grid/GridPainter.h"
#include "grid/NxTextColumn.h"

#include <algorithm>
#include <climits>

namespace vm {

using namespace velmora::grid;

namespace {

// A BeginPaint/EndPaint pair.
class PaintScope {
public:
    explicit PaintScope(HWND wnd) : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {}
    ~PaintScope() { EndPaint(wnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    const RECT& dirty() const { return ps_.rcPaint; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

} // namespace

void TNextGrid::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.style |= WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN;
    params.exStyle |= WS_EX_CLIENTEDGE;
    params.classStyle = CS_DBLCLKS;   // no CS_HREDRAW/VREDRAW: a resize repaints only what it uncovers
}

void TNextGrid::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateScrollBars();
}

void TNextGrid::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND:
        message.Result = 1;   // every pixel comes from the back buffer
        return;
    case WM_PAINT:
        if (message.WParam) {
            RECT all;
            GetClientRect(HandleIfAllocated(), &all);
            Paint(reinterpret_cast<HDC>(message.WParam), all);
        } else {
            PaintScope scope(HandleIfAllocated());
            Paint(scope.dc(), scope.dirty());
        }
        message.Result = 0;
        return;
    case WM_PRINTCLIENT: {
        RECT all;
        GetClientRect(HandleIfAllocated(), &all);
        Paint(reinterpret_cast<HDC>(message.WParam), all);
        message.Result = 0;
        return;
    }
    case WM_SIZE:
        TWinControl::WndProc(message);
        if (!updatingScrollBars_) {
            model_.clampScroll(VisibleRowCount(), CurrentLayout().clientWidth);
            UpdateScrollBars();
        }
        InvalidateClient();
        return;
    case WM_VSCROLL:
    case WM_HSCROLL:
        HandleScroll(message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(message.WParam));
        message.Result = 0;
        return;
    case WM_MOUSEWHEEL:
        HandleWheel(GET_WHEEL_DELTA_WPARAM(message.WParam));
        message.Result = 0;
        return;
    case WM_GETDLGCODE: {
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        // Enter belongs to the grid (its OnKeyPress sees #13) rather than to a default button.
        const auto* msg = reinterpret_cast<const MSG*>(message.LParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            message.Result |= DLGC_WANTMESSAGE;
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TWinControl::WndProc(message);
        InvalidateRows(model_.selectedRow(), model_.selectedRow());
        return;
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT && SetResizeCursor()) {
            message.Result = TRUE;
            return;
        }
        break;
    case WM_MOUSELEAVE:
        HideTextFitHint();
        break;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // Capture taken by another window (or a menu) ends any drag; taking it again
        // ourselves does not.
        if (message.Msg == WM_CANCELMODE || reinterpret_cast<HWND>(message.LParam) != HandleIfAllocated()) {
            resizingColumn_ = -1;
            if (pressedHeader_ >= 0) {
                pressedHeader_ = -1;
                InvalidateHeader();
            }
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// ---- painting --------------------------------------------------------------------------------

Layout TNextGrid::CurrentLayout() const
{
    RECT client{0, 0, 0, 0};
    if (HWND wnd = HandleIfAllocated())
        GetClientRect(wnd, &client);
    else
        client = RECT{0, 0, std::max(Width() - 4, 0), std::max(Height() - 4, 0)};   // the client edge
    return model_.layout(client.right, client.bottom, HeaderHeightShown(), rowSize_);
}

void TNextGrid::Paint(HDC target, const RECT& dirty)
{
    const Layout layout = CurrentLayout();
    std::vector<HFONT> fonts;
    fonts.reserve(columns_.size());
    for (const TNxTextColumn* column : columns_)
        fonts.push_back(column->Font().Handle());
    GridLook look;
    look.gridLines = options_ & goGrid;
    look.fullRowSelect = options_ & goSelectFullRow;
    look.focused = HandleAllocated() && GetFocus() == HandleIfAllocated();
    look.pressedHeaderColumn = pressedInside_ ? pressedHeader_ : -1;
    look.headerFont = Font().Handle();
    look.columnFonts = fonts;

    HDC buffer = buffer_.prepare(target, layout.clientWidth, layout.clientHeight);
    if (!buffer) {
        paintGrid(target, model_, layout, look, dirty);   // out of GDI memory: flicker beats nothing
        return;
    }
    paintGrid(buffer, model_, layout, look, dirty);
    BitBlt(target, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, buffer, dirty.left,
           dirty.top, SRCCOPY);
}

void TNextGrid::InvalidateRows(int first, int last)
{
    if (!HandleAllocated() || model_.updating() || first < 0 || last < first)
        return;
    const Layout layout = CurrentLayout();
    const int shownFirst = std::max(first, layout.firstVisibleRow());
    const int shownLast = std::min(last, layout.topRow + layout.rowsThatFit());
    if (shownLast < shownFirst)
        return;
    RECT area{0, layout.rowRect(shownFirst).top, layout.clientWidth, layout.rowRect(shownLast).bottom};
    ::InvalidateRect(HandleIfAllocated(), &area, FALSE);
}

void TNextGrid::InvalidateHeader()
{
    if (!HandleAllocated() || model_.updating() || !(options_ & goHeader))
        return;
    const Layout layout = CurrentLayout();
    const RECT band{0, 0, layout.clientWidth, layout.headerHeight};
    ::InvalidateRect(HandleIfAllocated(), &band, FALSE);
}

void TNextGrid::InvalidateClient()
{
    HideTextFitHint();   // what lies under the pointer may have moved or changed
    if (HandleAllocated() && !model_.updating())
        ::InvalidateRect(HandleIfAllocated(), nullptr, FALSE);
}

// ---- scrolling -------------------------------------------------------------------------------

void TNextGrid::UpdateScrollBars()
{
    if (!HandleAllocated() || model_.updating() || updatingScrollBars_)
        return;
    updatingScrollBars_ = true;
    // Showing or hiding one bar changes the client area and so the other bar's page:
    // settle in a few rounds.
    for (int round = 0; round < 3; ++round) {
        const Layout before = CurrentLayout();
        model_.clampScroll(before.rowsThatFit(), before.clientWidth);

        SCROLLINFO vertical{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        vertical.nMax = std::max(model_.rowCount() - 1, 0);
        vertical.nPage = static_cast<UINT>(before.rowsThatFit());
        vertical.nPos = model_.topRow();
        SetScrollInfo(HandleIfAllocated(), SB_VERT, &vertical, TRUE);

        SCROLLINFO horizontal{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        horizontal.nMax = std::max(model_.columns().totalVisibleWidth() - 1, 0);
        horizontal.nPage = static_cast<UINT>(std::max(before.clientWidth, 1));
        horizontal.nPos = model_.scrollX();
        SetScrollInfo(HandleIfAllocated(), SB_HORZ, &horizontal, TRUE);

        const Layout after = CurrentLayout();
        if (after.clientWidth == before.clientWidth && after.clientHeight == before.clientHeight)
            break;
    }
    updatingScrollBars_ = false;
}

void TNextGrid::HandleScroll(int bar, int request)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(HandleIfAllocated(), bar, &info);
    const Layout layout = CurrentLayout();
    const int line = bar == SB_VERT ? 1 : 16;
    const int page = bar == SB_VERT ? layout.rowsThatFit() : std::max(layout.clientWidth - 16, 16);
    int position = bar == SB_VERT ? model_.topRow() : model_.scrollX();
    switch (request) {
    case SB_LINEUP: position -= line; break;
    case SB_LINEDOWN: position += line; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;   // 32-bit, unlike the message's 16
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = INT_MAX / 2; break;
    default: return;
    }
    const bool moved = bar == SB_VERT ? model_.scrollToRow(position, layout.rowsThatFit())
                                      : model_.scrollToX(position, layout.clientWidth);
    if (moved) {
        UpdateScrollBars();
        InvalidateClient();
    }
}

void TNextGrid::ScrollRowsBy(int rows)
{
    SetTopRow(model_.topRow() + rows);
}

void TNextGrid::HandleWheel(int delta)
{
    UINT linesPerNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    const int notchRows = linesPerNotch == WHEEL_PAGESCROLL ? VisibleRowCount() : static_cast<int>(linesPerNotch);
    // High-resolution wheels send fractions of a notch: keep the remainder for the next one.
    wheelRemainder_ += delta;
    const int notches = wheelRemainder_ / WHEEL_DELTA;
    wheelRemainder_ -= notches * WHEEL_DELTA;
    if (notches != 0)
        ScrollRowsBy(-notches * notchRows);
}

} // namespace vm
