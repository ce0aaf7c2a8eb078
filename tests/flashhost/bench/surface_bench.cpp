// One full-frame compose-and-present at the playback size, as the player does it for every
// frame the movie shows: the background copied into the frame surface, the control drawing over
// it, the frame drawn onto the window. Measured against one plain BitBlt of the same size onto
// the same window DC, interleaved in the same run so machine load weighs on both alike.
// Prints medians in milliseconds and the ratio.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "flashhost/sf_bitmap.h"

using namespace vm;

namespace {
constexpr int kWidth = 1024, kHeight = 718;
constexpr int kRepetitions = 200;

// Stands in for the control's draw until the real one is measured here: it writes every pixel of
// the frame once, with a value that changes per pixel and per frame (a full-screen repaint of a
// movie whose whole stage changes, with no rasterising cost of its own).
constexpr const char* kStandInDraw = "a loop that writes every pixel of the frame once (no rasterising)";
void StandInControlDraw(TsfBitmap& frame, std::uint32_t frameNumber) {
    std::uint32_t* pixel = frame.Pixels();
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
            *pixel++ = 0xFF000000u | (static_cast<std::uint32_t>(x) ^ frameNumber) << 8 | static_cast<std::uint32_t>(y);
}

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / frequency;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

HWND CreatePlaybackWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SurfaceBenchWindow";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "surface bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    return window;
}
} // namespace

int main() {
    HWND window = CreatePlaybackWindow();
    if (!window) {
        std::printf("surface bench: no window (%lu)\n", GetLastError());
        return 1;
    }
    HDC windowDC = GetDC(window);
    TsfBitmap background, frame;
    background.SetSize(kWidth, kHeight);
    frame.SetSize(kWidth, kHeight);
    background.Fill(0xFF336699);
    frame.Fill(0);
    const RECT whole{0, 0, kWidth, kHeight};

    std::vector<double> blit, pipeline, copy, draw, present;
    for (int i = 0; i < kRepetitions; ++i) {
        double t0 = Now();
        BitBlt(windowDC, 0, 0, kWidth, kHeight, frame.DC(), 0, 0, SRCCOPY);
        GdiFlush();
        double t1 = Now();
        blit.push_back(t1 - t0);

        t0 = Now();
        background.CopyTo(frame, 0, 0, whole);
        t1 = Now();
        StandInControlDraw(frame, static_cast<std::uint32_t>(i));
        double t2 = Now();
        frame.DrawTo(windowDC, 0, 0);
        GdiFlush();
        double t3 = Now();
        copy.push_back(t1 - t0);
        draw.push_back(t2 - t1);
        present.push_back(t3 - t2);
        pipeline.push_back(t3 - t0);
    }
    ReleaseDC(window, windowDC);
    DestroyWindow(window);

    const double baseline = Median(blit), total = Median(pipeline);
    std::printf("compose and present %d x %d, median of %d (QueryPerformanceCounter)\n", kWidth, kHeight,
                kRepetitions);
    std::printf("  control draw: stand-in, %s\n", kStandInDraw);
    std::printf("  baseline: one BitBlt onto the window DC        %8.3f ms\n", baseline);
    std::printf("  pipeline: CopyTo + draw + DrawTo               %8.3f ms  (%.3f + %.3f + %.3f)\n", total,
                Median(copy), Median(draw), Median(present));
    std::printf("  ratio pipeline / baseline                      %8.2fx\n", baseline > 0 ? total / baseline : 0.0);
    return 0;
}
