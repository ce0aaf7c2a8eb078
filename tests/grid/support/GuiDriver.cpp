#include "GuiDriver.h"

#include "framework/Application.h"

namespace gridtest {

bool pumpUntil(const std::function<bool()>& done, int maxRounds)
{
    for (int round = 0; round < maxRounds; ++round) {
        vm::Application().ProcessMessages();
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    vm::Application().ProcessMessages();
    return done();
}

void pumpPending()
{
    vm::Application().ProcessMessages();
}

void postMouseDown(HWND wnd, int x, int y)
{
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void postMouseMove(HWND wnd, int x, int y, bool leftDown)
{
    PostMessageW(wnd, WM_MOUSEMOVE, leftDown ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

void postMouseUp(HWND wnd, int x, int y)
{
    PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void postClick(HWND wnd, int x, int y)
{
    postMouseDown(wnd, x, y);
    postMouseUp(wnd, x, y);
}

void postDoubleClick(HWND wnd, int x, int y)
{
    postClick(wnd, x, y);
    PostMessageW(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    postMouseUp(wnd, x, y);
}

void postKey(HWND wnd, WORD virtualKey)
{
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(wnd, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scan << 16)));
    // The release is queued only after the press was handled, as with a real keystroke:
    // translating the press queues its character, which must come before the release.
    pumpPending();
    PostMessageW(wnd, WM_KEYUP, virtualKey, static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
}

ClientPixels::ClientPixels(HWND wnd)
{
    RECT client;
    GetClientRect(wnd, &client);
    RECT window;
    GetWindowRect(wnd, &window);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    width_ = client.right;
    height_ = client.bottom;
    if (width_ <= 0 || height_ <= 0)
        return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetWindowDC(wnd);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && dib) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width_, height_, windowDc, origin.x - window.left, origin.y - window.top, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(source, source + static_cast<std::size_t>(width_) * height_);
        SelectObject(memory, old);
    }
    if (dib)
        DeleteObject(dib);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(wnd, windowDc);
}

COLORREF ClientPixels::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty())
        return CLR_INVALID;
    const std::uint32_t rgb = pixels_[static_cast<std::size_t>(y) * width_ + x];
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int ClientPixels::count(const RECT& area, const std::function<bool(COLORREF)>& which) const
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (which(at(x, y)))
                ++n;
    return n;
}

bool isDark(COLORREF colour)
{
    if (colour == CLR_INVALID)
        return false;
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 96;
}

} // namespace gridtest
