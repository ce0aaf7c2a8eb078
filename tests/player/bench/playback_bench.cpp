// Frames per second of the sample movies drawn by our Flash control (IViewObject::Draw with the
// transparent aspect into a 1024 x 718 top-down DIB section, as the host's frame surface is; the
// control steps frame by frame with Forward) next to the engine's
// own render of the same frames into a plain buffer of that size, interleaved frame by frame in
// one run so machine load weighs on both alike. Times are QueryPerformanceCounter wall time of
// the drawing calls alone (advancing the timeline is not counted); figures are per movie and in
// total, with the playback's rate as a share of the engine's (the aim: at least 90%).
// Usage: playback_bench [SAMPLES-FOLDER] [FRAMES-PER-MOVIE]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "decode/Decoder.h"
#include "player/Player.h"
#include "player/ocx/FlashControl.h"
#include "player/ocx/ServerModule.h"

namespace {

constexpr int kWidth = 1024, kHeight = 718;

struct FrameSurface {
    FrameSurface() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
    }
    ~FrameSurface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Times {
    double engineMs = 0, playbackMs = 0;
    int frames = 0;
};

Times Measure(const std::filesystem::path& path, int frames, FrameSurface& surface) {
    Times times;
    const std::vector<std::uint8_t> bytes = ReadFile(path);
    auto decoded = swf::decodeMovie(bytes);
    if (!decoded) return times;
    swf::NullHost host;
    swf::Player engine(decoded.movie, host);
    const swf::Matrix stageToPixel = swf::Player::showAll(decoded.movie->header.frameSize, kWidth, kHeight);
    std::vector<swf::Pixel> plain(static_cast<std::size_t>(kWidth) * kHeight);
    const swf::render::Target target{plain.data(), kWidth, kHeight, kWidth * 4};

    // The control, created as its class factory creates it, loads the file by itself (there is
    // no container to ask) and is stepped with Forward, stopped.
    vm::TComPtr<IShockwaveFlash> control;
    if (FAILED(vm::flash::CreateFlashControl(nullptr, vm::IID_IShockwaveFlash, control.PutVoid()))) return times;
    vm::TComPtr<IViewObject> view = control.Query<IViewObject>();
    control->put_Playing(VARIANT_FALSE);
    BSTR url = SysAllocString(path.wstring().c_str());
    control->put_Movie(url);
    SysFreeString(url);
    long total = 0;
    control->get_TotalFrames(&total);
    if (total <= 0 || !view) return times;
    frames = std::min(frames, static_cast<int>(total) - 1);
    const RECTL bounds{0, 0, kWidth, kHeight};
    auto draw = [&] {
        view->Draw(DVASPECT_TRANSPARENT, -1, nullptr, nullptr, nullptr, surface.dc, &bounds, nullptr, nullptr, 0);
    };

    // One untimed frame each: first-use allocations are not what is measured.
    engine.render(target, stageToPixel, swf::render::Quality::High, true);
    draw();
    for (int f = 0; f < frames; ++f) {
        engine.advance();
        control->Forward();
        double t0 = vm::bench::NowMs();
        engine.render(target, stageToPixel, swf::render::Quality::High, true);
        double t1 = vm::bench::NowMs();
        draw();
        GdiFlush();
        double t2 = vm::bench::NowMs();
        times.engineMs += t1 - t0;
        times.playbackMs += t2 - t1;
        ++times.frames;
    }
    return times;
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path folder = argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(VELMORA_SAMPLES_DIR);
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 120;
    const std::vector<std::filesystem::path> movies = vm::bench::MoviesUnder(folder);
    if (movies.empty()) {
        std::fprintf(stderr, "playback_bench: no .swf files under %s\n", folder.string().c_str());
        return 1;
    }
    FrameSurface surface;
    std::printf("%d frames per movie at %dx%d, QueryPerformanceCounter wall time\n", frames, kWidth, kHeight);
    std::printf("%-28s %12s %12s %8s\n", "movie", "engine fps", "control fps", "ratio");
    Times total;
    for (const auto& movie : movies) {
        const Times t = Measure(movie, frames, surface);
        const std::string name = reinterpret_cast<const char*>(movie.stem().u8string().c_str());
        if (t.frames == 0 || t.engineMs <= 0 || t.playbackMs <= 0) {
            std::printf("%-28s not measured (cannot be played, or a single frame)\n", name.c_str());
            continue;
        }
        const double engineFps = 1000.0 * t.frames / t.engineMs, drawFps = 1000.0 * t.frames / t.playbackMs;
        std::printf("%-28s %12.1f %12.1f %7.0f%%\n", name.c_str(), engineFps, drawFps, 100.0 * drawFps / engineFps);
        total.engineMs += t.engineMs;
        total.playbackMs += t.playbackMs;
        total.frames += t.frames;
    }
    const double engineFps = 1000.0 * total.frames / total.engineMs, drawFps = 1000.0 * total.frames / total.playbackMs;
    std::printf("%-28s %12.1f %12.1f %7.0f%%\n", "all", engineFps, drawFps, 100.0 * drawFps / engineFps);
    return 0;
}
