#include "framework/HintWindow.h"

namespace vm {

namespace {
constexpr int kMargin = 3;
}

THintWindow::THintWindow(TComponent* owner) : TWinControl(owner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font().SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.style = WS_POPUP | WS_BORDER;
    p.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    p.parent = nullptr;
}

void THintWindow::ActivateHint(POINT screen, const std::string& text) {
    SetCaption(text);
    HWND wnd = Handle();
    RECT r{0, 0, 300, 0};
    {
        TWindowDC dc(wnd);
        TSelectObject font(dc.Get(), Font().Handle());
        DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    int w = r.right + 2 * kMargin + 2, h = r.bottom + 2 * kMargin + 2;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    int x = std::max(0, std::min<int>(screen.x, sw - w));
    int y = std::max(0, std::min<int>(screen.y, sh - h));
    SetBounds(x, y, w, h);
    SetWindowPos(wnd, HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate();
}

void THintWindow::ReleaseHint() {
    if (HWND wnd = HandleIfAllocated()) ShowWindow(wnd, SW_HIDE);
}

void THintWindow::PaintWindow(TCanvas& canvas) {
    RECT r = ClientRect();
    InflateRect(&r, -kMargin, -kMargin);
    canvas.Brush().clear = true;
    canvas.Font() = Font();
    canvas.DrawText(Caption(), r, DT_WORDBREAK | DT_NOPREFIX);
}

} // namespace vm
