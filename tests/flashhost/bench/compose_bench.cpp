// One full-frame compose-and-present at the playback size, through the real container: the
// hosted object invalidates its whole site, and the player copies the background into the frame
// surface, has the object draw over it (IViewObject::Draw), and draws the frame onto the window,
// all inside that call. The object is the scriptable test control, whose draw is a GDI fill of
// a rectangle: the figure is the host's own cost around a cheap draw. Measured against one plain
// BitBlt of the same size onto the same window, interleaved in the same run so machine load
// weighs on both alike. Prints medians in milliseconds and the ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "TestFlashControl.h"
#include "flashhost/FlashPlayer.h"
#include "flashhost/sf_bitmap.h"
#include "framework/Framework.h"

using namespace vm;
using namespace vm::test;

namespace {
constexpr int kWidth = 1024, kHeight = 718;
constexpr int kRepetitions = 200;

struct Figures {
    double baseline, compose;
};

Figures Measure(TestFlashControl& flash, HWND window) {
    TsfBitmap source;
    source.SetSize(kWidth, kHeight);
    source.Fill(0xFF336699);
    HDC windowDC = GetDC(window);
    std::vector<double> blit, compose;
    flash.InvalidateSiteRect(nullptr, FALSE);   // the first after sizing repaints everything anyway
    for (int i = 0; i < kRepetitions; ++i) {
        double t0 = vm::bench::NowMs();
        BitBlt(windowDC, 0, 0, kWidth, kHeight, source.DC(), 0, 0, SRCCOPY);
        GdiFlush();
        double t1 = vm::bench::NowMs();
        flash.InvalidateSiteRect(nullptr, FALSE);
        GdiFlush();
        double t2 = vm::bench::NowMs();
        blit.push_back(t1 - t0);
        compose.push_back(t2 - t1);
        flash.Calls().Clear();   // the log would otherwise grow with every frame
    }
    ReleaseDC(window, windowDC);
    return {vm::bench::Median(blit), vm::bench::Median(compose)};
}

} // namespace

int main() {
    if (FAILED(OleInitialize(nullptr))) return 1;
    {
        TestFlashControl::Registration registration;
        if (FAILED(registration.Result())) {
            std::printf("compose bench: the test control could not be registered\n");
            return 1;
        }
        TForm form(nullptr);
        form.SetBorderStyle(TBorderStyle::bsNone);
        form.SetBounds(0, 0, kWidth, kHeight);
        form.Show();
        auto* player = new TsfFlashPlayer(&form);
        player->SetParent(&form);
        player->SetBounds(0, 0, kWidth, kHeight);
        TestFlashControl& flash = *TestFlashControl::LastInstance();

        std::printf("compose and present %d x %d through the container, median of %d (QueryPerformanceCounter)\n",
                    kWidth, kHeight, kRepetitions);
        struct Case { const char* what; RECT area; };
        const Case cases[] = {
            {"control draw fills a quarter of the stage", RECT{256, 180, 768, 539}},
            {"control draw fills the whole stage", RECT{0, 0, kWidth, kHeight}},
        };
        for (const Case& c : cases) {
            flash.Script().paint = FlashScript::Paint{c.area, RGB(0x20, 0x80, 0x40)};
            Figures f = Measure(flash, form.Handle());
            std::printf("  %s\n", c.what);
            std::printf("    baseline: one BitBlt onto the window          %8.3f ms\n", f.baseline);
            std::printf("    compose: background copy + draw + present     %8.3f ms\n", f.compose);
            std::printf("    ratio compose / baseline                      %8.2fx (target <= 3)\n",
                        f.baseline > 0 ? f.compose / f.baseline : 0.0);
        }
    }
    TestFlashControl::Reset();
    OleUninitialize();
    return 0;
}
