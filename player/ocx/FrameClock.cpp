#include "player/ocx/FrameClock.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace vm::flash {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr wchar_t kClassName[] = L"VelmoraFlashFrameClock";

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// The window class lives as long as some clock does, so a server DLL that is unloaded leaves no
// class behind pointing into its old image.
std::mutex classLock;
int classUsers = 0;

bool AcquireClass(WNDPROC proc) {
    std::lock_guard lock(classLock);
    if (classUsers == 0) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = ThisModule();
        wc.lpszClassName = kClassName;
        if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    }
    ++classUsers;
    return true;
}

void ReleaseClass() {
    std::lock_guard lock(classLock);
    if (--classUsers == 0) UnregisterClassW(kClassName, ThisModule());
}

} // namespace

FrameClock::FrameClock(TickHandler onTick) : onTick_(std::move(onTick)) {
    if (!AcquireClass(&FrameClock::WindowProc)) return;
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), this);
    if (!window_) ReleaseClass();
}

FrameClock::~FrameClock() {
    if (!window_) return;
    Stop();
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    ReleaseClass();
}

std::int64_t FrameClock::Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void FrameClock::Start(double framesPerSecond) {
    rate_ = std::isfinite(framesPerSecond) && framesPerSecond > 0 ? std::min(framesPerSecond, 1000.0)
                                                                   : kDefaultFrameRate;
    origin_ = Now();
    handedOut_ = 0;
    running_ = true;
    if (!window_) return;
    // Ticking twice per frame keeps the delay between a frame falling due and its drawing
    // under half a frame even when a timer message comes late.
    const UINT interval = static_cast<UINT>(std::max(1.0, std::floor(500.0 / rate_)));
    SetTimer(window_, kTimerId, interval, nullptr);
}

void FrameClock::Stop() {
    running_ = false;
    if (window_) KillTimer(window_, kTimerId);
}

int FrameClock::FramesDue() {
    if (!running_) return 0;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const std::int64_t now = Now();
    const double elapsed = static_cast<double>(now - origin_) / static_cast<double>(frequency.QuadPart);
    const auto due = static_cast<std::uint64_t>(std::floor(elapsed * rate_));
    if (due <= handedOut_) return 0;
    const std::uint64_t behind = due - handedOut_;
    if (behind > static_cast<std::uint64_t>(kMaxFramesPerTick)) {
        // Too far behind to catch up unnoticed: play a few frames and count on from now.
        origin_ = now;
        handedOut_ = 0;
        return kMaxFramesPerTick;
    }
    handedOut_ = due;
    return static_cast<int>(behind);
}

void FrameClock::OnTimer() {
    if (int frames = FramesDue(); frames > 0 && onTick_) onTick_(frames);
}

LRESULT CALLBACK FrameClock::WindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_TIMER && wParam == kTimerId) {
        if (auto* clock = reinterpret_cast<FrameClock*>(GetWindowLongPtrW(wnd, GWLP_USERDATA))) clock->OnTimer();
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

} // namespace vm::flash
