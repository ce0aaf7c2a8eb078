#include "GuiTest.h"

#include "framework/Application.h"
#include "framework/GraphicControl.h"
#include "framework/WinControl.h"

namespace vm::test {

bool PumpUntil(const std::function<bool()>& done, DWORD capMilliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        Application().ProcessMessages();
        if (done()) return true;
        if (GetTickCount() - start > capMilliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PumpPending() { Application().ProcessMessages(); }

void MouseMoveTo(HWND wnd, int x, int y, bool leftDown) {
    SendMessageA(wnd, WM_MOUSEMOVE, leftDown ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}
void MouseDownAt(HWND wnd, int x, int y) {
    MouseMoveTo(wnd, x, y, false);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void MouseUpAt(HWND wnd, int x, int y) { SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

void ClickAt(HWND wnd, int x, int y) {
    MouseDownAt(wnd, x, y);
    MouseUpAt(wnd, x, y);
}

void DoubleClickAt(HWND wnd, int x, int y) {
    ClickAt(wnd, x, y);
    SendMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    MouseUpAt(wnd, x, y);
}

HWND MouseWindowOf(TControl& control, POINT& centre) {
    if (auto* w = dynamic_cast<TWinControl*>(&control)) {
        centre = POINT{w->ClientWidth() / 2, w->ClientHeight() / 2};
        return w->Handle();
    }
    RECT b = control.BoundsRect();
    centre = POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    return control.Parent()->Handle();
}

void ClickControl(TControl& control) {
    POINT p;
    HWND wnd = MouseWindowOf(control, p);
    ClickAt(wnd, p.x, p.y);
}

void DoubleClickControl(TControl& control) {
    POINT p;
    HWND wnd = MouseWindowOf(control, p);
    DoubleClickAt(wnd, p.x, p.y);
}

void PressKey(HWND focus, WORD virtualKey, char character) {
    PostMessageA(focus, WM_KEYDOWN, virtualKey, 1);
    if (character) PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(character), 1);
    PostMessageA(focus, WM_KEYUP, virtualKey, 0xC0000001);
    PumpPending();
}

int TCapturedImage::Count(const RECT& r, std::uint32_t rgb) const {
    int n = 0;
    for (int y = std::max<int>(0, r.top); y < std::min<int>(height, r.bottom); ++y)
        for (int x = std::max<int>(0, r.left); x < std::min<int>(width, r.right); ++x)
            if (At(x, y) == rgb) ++n;
    return n;
}

std::uint32_t ToRgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

TCapturedImage CaptureWindow(HWND wnd, bool wholeWindow) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    if (wholeWindow) GetWindowRect(wnd, &r);
    else GetClientRect(wnd, &r);
    TCapturedImage image;
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    if (image.width <= 0 || image.height <= 0) return image;
    HDC source = wholeWindow ? GetWindowDC(wnd) : GetDC(wnd);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, image.width, image.height, source, 0, 0, SRCCOPY);
    GdiFlush();
    auto* p = static_cast<std::uint32_t*>(bits);
    image.pixels.assign(p, p + static_cast<std::size_t>(image.width) * image.height);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(wnd, source);
    return image;
}

TMessageBoxRecorder::TMessageBoxRecorder(int answer) : answer(answer), previous_(SetMessageBoxService(this)) {}
TMessageBoxRecorder::~TMessageBoxRecorder() { SetMessageBoxService(previous_ == this ? nullptr : previous_); }

int TMessageBoxRecorder::Show(HWND owner, const std::string& text, const std::string& title, UINT flags) {
    boxes.push_back({owner, text, title, flags});
    if (onShow) onShow(boxes.back());
    return answer;
}

TShellRecorder::TShellRecorder() : previous_(SetShellService(this)) {}
TShellRecorder::~TShellRecorder() { SetShellService(previous_ == this ? nullptr : previous_); }

std::intptr_t TShellRecorder::Execute(HWND owner, const std::string& verb, const std::string& file,
                                      const std::string& parameters, const std::string& directory, int show) {
    executed.push_back({owner, verb, file, parameters, directory, show});
    return executeResult;
}

UINT TShellRecorder::RunProgram(const std::string& commandLine, UINT) {
    commands.push_back(commandLine);
    return runResult;
}

} // namespace vm::test
