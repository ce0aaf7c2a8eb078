// Frames per second of the sample movies played through the whole chain of a play: the
// playback window (1024 x 718, as on a 1024 x 768 screen) with its Flash player, hosting the
// flash.ocx that Velmora carries; each frame the control steps (Forward), invalidates what
// changed, and the player composes the control's drawing over its background and presents it
// to the window, all before Forward returns (pending messages are pumped inside the timing
// too). Next to it, in the same run and interleaved frame by frame, the engine's own rate:
// advancing the same movie and rendering the whole frame at the player's client size into a
// plain buffer. QueryPerformanceCounter wall time of each frame; rates come from the median
// frame time (and, in brackets, the mean); the aim is at least 80% of the engine's rate.
// Usage: playback_chain_bench [SAMPLES-FOLDER] [FRAMES-PER-MOVIE]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/Velmora_Play.h"
#include "decode/Decoder.h"
#include "flashhost/FlashPlayer.h"
#include "framework/Application.h"
#include "framework/Framework.h"
#include "player/Player.h"

namespace {

constexpr int kWindowWidth = 1024, kWindowHeight = 718;

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The carried control's own class object, registered for this process: what CoCreateInstance
// returns after Velmora installed and registered the control.
class CarriedControl {
 public:
  CarriedControl() : module_(LoadLibraryA(VELMORA_FLASH_OCX)) {
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto entry = module_ ? reinterpret_cast<GetClassObject>(
                               reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")))
                         : nullptr;
    IUnknown* factory = nullptr;
    if (!entry || FAILED(entry(vm::CLSID_ShockwaveFlash, IID_IUnknown, reinterpret_cast<void**>(&factory)))) return;
    registered_ = SUCCEEDED(
        CoRegisterClassObject(vm::CLSID_ShockwaveFlash, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
    factory->Release();
  }
  ~CarriedControl() {
    if (registered_) CoRevokeClassObject(cookie_);
    if (module_) FreeLibrary(module_);
  }
  bool Registered() const { return registered_; }

 private:
  HMODULE module_;
  DWORD cookie_ = 0;
  bool registered_ = false;
};

struct Times {
  double engineMs = 0, chainMs = 0;           // median frame time x frames
  double engineMeanMs = 0, chainMeanMs = 0;   // plain sums
  int frames = 0;
  int width = 0, height = 0;
};

Times Measure(const std::filesystem::path& path, int frames) {
  Times times;
  const std::vector<std::uint8_t> bytes = ReadFile(path);
  auto decoded = swf::decodeMovie(bytes);
  if (!decoded) return times;

  // The playback window as a play opens it, shown without its modal loop.
  auto window = std::make_unique<vm::TPlaySWF>(nullptr);
  window->SetBounds(0, 0, kWindowWidth, kWindowHeight);
  vm::TsfFlashPlayer& player = *window->ShockwaveFlash1;
  player.SetQuality2(L"High");
  player.SetMovie(path.wstring());
  player.SetScale(L"1000");
  player.Play();
  window->Show();
  IShockwaveFlash* control = player.ControlInterface();
  if (!control) return times;
  long state = 0, total = 0;
  for (int i = 0; i < 500 && !(control->get_ReadyState(&state) == S_OK && state == 4); ++i) {
    PumpPending();
    Sleep(10);
  }
  control->get_TotalFrames(&total);
  if (state != 4 || total <= 1) return times;
  control->StopPlay();
  control->Rewind();
  PumpPending();

  RECT client;
  GetClientRect(window->Handle(), &client);
  times.width = client.right;
  times.height = client.bottom;
  swf::NullHost host;
  swf::Player engine(decoded.movie, host);
  const swf::Matrix stageToPixel = swf::Player::showAll(decoded.movie->header.frameSize, times.width, times.height);
  std::vector<swf::Pixel> plain(static_cast<std::size_t>(times.width) * times.height);
  const swf::render::Target target{plain.data(), times.width, times.height, times.width * 4};
  engine.render(target, stageToPixel, swf::render::Quality::High, true);  // first-use allocations

  frames = std::min(frames, static_cast<int>(total) - 1);
  std::vector<double> engineFrames, chainFrames;
  for (int f = 0; f < frames; ++f) {
    double t0 = vm::bench::NowMs();
    engine.advance();
    engine.render(target, stageToPixel, swf::render::Quality::High, true);
    double t1 = vm::bench::NowMs();
    control->Forward();
    PumpPending();
    GdiFlush();
    double t2 = vm::bench::NowMs();
    engineFrames.push_back(t1 - t0);
    chainFrames.push_back(t2 - t1);
  }
  // Medians: a frame that waited for the scheduler (Wine's server is another process, and
  // this machine may be busy) says nothing about the chain. Means are printed beside them.
  times.frames = static_cast<int>(chainFrames.size());
  times.engineMs = vm::bench::Median(engineFrames) * times.frames;
  times.chainMs = vm::bench::Median(chainFrames) * times.frames;
  for (double t : engineFrames) times.engineMeanMs += t;
  for (double t : chainFrames) times.chainMeanMs += t;
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(VELMORA_SAMPLES_DIR);
  const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 120;
  const std::vector<std::filesystem::path> movies = vm::bench::MoviesUnder(folder);
  if (movies.empty()) {
    std::fprintf(stderr, "playback_chain_bench: no .swf files under %s\n", folder.string().c_str());
    return 1;
  }
  if (FAILED(OleInitialize(nullptr))) return 1;
  int status = 0;
  {
    vm::RegisterFlashHostClasses();
    vm::RegisterPlaybackClasses();
    CarriedControl carried;
    if (!carried.Registered()) {
      std::fprintf(stderr, "playback_chain_bench: cannot load the control %s\n", VELMORA_FLASH_OCX);
      status = 1;
    } else {
      std::printf("%d frames per movie, playback window %dx%d, High quality, QueryPerformanceCounter wall time\n",
                  frames, kWindowWidth, kWindowHeight);
      std::printf("frames per second from the median frame time (from the mean in brackets)\n");
      std::printf("%-28s %10s %12s %12s %8s %10s\n", "movie", "client", "engine fps", "chain fps", "ratio", "(mean)");
      Times total;
      for (const auto& movie : movies) {
        const Times t = Measure(movie, frames);
        const std::string name = reinterpret_cast<const char*>(movie.stem().u8string().c_str());
        if (t.frames == 0 || t.engineMs <= 0 || t.chainMs <= 0) {
          std::printf("%-28s not measured (cannot be played, or a single frame)\n", name.c_str());
          continue;
        }
        const double engineFps = 1000.0 * t.frames / t.engineMs, chainFps = 1000.0 * t.frames / t.chainMs;
        const std::string client = std::to_string(t.width) + "x" + std::to_string(t.height);
        std::printf("%-28s %10s %12.1f %12.1f %7.0f%% %9.0f%%\n", name.c_str(), client.c_str(), engineFps, chainFps,
                    100.0 * chainFps / engineFps, 100.0 * t.engineMeanMs / t.chainMeanMs);
        total.engineMs += t.engineMs;
        total.chainMs += t.chainMs;
        total.engineMeanMs += t.engineMeanMs;
        total.chainMeanMs += t.chainMeanMs;
        total.frames += t.frames;
      }
      if (total.frames > 0) {
        const double engineFps = 1000.0 * total.frames / total.engineMs, chainFps = 1000.0 * total.frames / total.chainMs;
        std::printf("%-28s %10s %12.1f %12.1f %7.0f%% %9.0f%%\n", "all", "", engineFps, chainFps,
                    100.0 * chainFps / engineFps, 100.0 * total.engineMeanMs / total.chainMeanMs);
      }
    }
  }
  OleUninitialize();
  return status;
}
