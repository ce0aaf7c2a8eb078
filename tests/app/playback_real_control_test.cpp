// The playback window with the Flash control the catalogue installs from its own resource:
// every sample movie shows, in the window's pixels, the frame the engine renders for the same
// movie and size; the two qualities differ only where anti-aliasing softens edges; a control
// that cannot be created leaves an empty window that closes like any other.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "../player/LoadingMovies.h"
#include "decode/Decoder.h"
#include "flashhost/FlashPlayer.h"
#include "framework/Button.h"
#include "framework/Color.h"
#include "framework/ComboBox.h"
#include "framework/Text.h"
#include "player/Player.h"
#include "support/CatalogueFixture.h"

using namespace vm;
using namespace vm::test;

namespace {

std::vector<std::filesystem::path> SampleMovies() {
  std::vector<std::filesystem::path> movies;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(VELMORA_SAMPLES_DIR))
    if (entry.path().extension() == ".swf") movies.push_back(entry.path());
  std::sort(movies.begin(), movies.end());
  return movies;
}

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The engine's own frame: the movie played from its start to `frame` (as the control's goto
// does), shown whole in a width x height area over `behind` (0x00RRGGBB), as a transparent
// window mode shows it: the player asks the control for that mode, so the window's colour
// shows where no shape covers it. 0x00RRGGBB.
std::vector<std::uint32_t> EngineFrame(const std::vector<std::uint8_t>& bytes, int frame, int width, int height,
                                       swf::render::Quality quality, std::uint32_t behind) {
  auto decoded = swf::decodeMovie(bytes);
  EXPECT_TRUE(decoded.movie);
  if (!decoded.movie) return {};
  swf::NullHost host;
  swf::Player player(decoded.movie, host);
  player.gotoFrame(static_cast<std::uint32_t>(frame));
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0xFF000000 | behind);
  swf::render::Target target{reinterpret_cast<swf::Pixel*>(pixels.data()), width, height, width * 4};
  player.render(target, swf::Player::showAll(decoded.movie->header.frameSize, width, height), quality, false);
  for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// Pixels whose channels differ by more than `tolerance`.
int DifferingPixels(const TCapturedImage& shown, const std::vector<std::uint32_t>& expected, int tolerance) {
  int differing = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::uint32_t a = shown.pixels[i], b = expected[i];
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
        ++differing;
        break;
      }
  }
  return differing;
}

// Whether a pixel of `image` at x, y has a neighbour within `reach` of another colour.
bool NearAnEdge(const TCapturedImage& image, int x, int y, int reach) {
  const std::uint32_t own = image.At(x, y);
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      const int nx = x + dx, ny = y + dy;
      if (nx >= 0 && ny >= 0 && nx < image.width && ny < image.height && image.At(nx, ny) != own) return true;
    }
  return false;
}

std::size_t DistinctColours(const TCapturedImage& image) {
  std::set<std::uint32_t> colours;
  for (std::uint32_t p : image.pixels) colours.insert(p & 0xFFFFFF);
  return colours.size();
}

class RealControlPlayback : public CatalogueFixture {
 protected:
  RealControlPlayback() : CatalogueFixture(FlashControlKind::Installed) {}

  // What one play showed: the frame the test stopped the movie at, and the player's pixels.
  struct Shown {
    std::string movie;
    std::uint32_t windowColour = 0;  // 0x00RRGGBB
    long readyState = -1, frame = -1, totalFrames = 0;
    TCapturedImage pixels;
  };

  // Opens the catalogue with the real control registered; every playback window, once on
  // screen and loaded, is stopped at the middle of its movie and read back.
  TfrmFlash& OpenWithRealControl() {
    TfrmFlash& window = Open();
    RegisterInstalledControl();
    onPlayback = [this](TPlaySWF& playback) { shown.push_back(Read(playback)); };
    return window;
  }

  Shown Read(TPlaySWF& playback) {
    Shown s;
    s.movie = WideToAnsi(playback.ShockwaveFlash1->Movie());
    s.windowColour = ToRgb(ColorToRGB(playback.Color()));
    IShockwaveFlash* flash = playback.ShockwaveFlash1->ControlInterface();
    if (!flash) return s;
    PumpUntil([&] { return flash->get_ReadyState(&s.readyState) == S_OK && s.readyState == 4; });
    flash->get_TotalFrames(&s.totalFrames);
    s.frame = s.totalFrames / 2;
    flash->StopPlay();
    flash->GotoFrame(s.frame);
    PumpPending();
    s.pixels = CaptureWindow(playback.Handle());  // the player fills the client area
    return s;
  }

  void PlayWithQuality(TfrmFlash& window, const std::filesystem::path& movie, int qualityIndex) {
    window.ComboBox1->SetItemIndex(qualityIndex);
    window.MoviePath = WideToAnsi(movie.wstring());
    const std::size_t before = shown.size();
    ClickButton(*window.Button1);
    ASSERT_TRUE(PumpUntil([&] { return shown.size() == before + 1; }, 20000)) << movie;
  }

  std::vector<Shown> shown;
};

TEST_F(RealControlPlayback, EverySampleShowsTheEnginesFrameInTheWindowAtBothQualities) {
  TfrmFlash& window = OpenWithRealControl();
  const auto movies = SampleMovies();
  ASSERT_GE(movies.size(), 5u) << VELMORA_SAMPLES_DIR;
  for (const auto& movie : movies) {
    const std::vector<std::uint8_t> bytes = FileBytes(movie);
    for (int qualityIndex : {0, 1}) {
      PlayWithQuality(window, movie, qualityIndex);
      const Shown& s = shown.back();
      SCOPED_TRACE(s.movie + (qualityIndex == 0 ? " Low" : " High"));
      EXPECT_EQ(s.readyState, 4) << "the control did not finish loading";
      ASSERT_GT(s.totalFrames, 0);
      ASSERT_GT(s.pixels.width, 0);
      const auto quality = qualityIndex == 0 ? swf::render::Quality::Low : swf::render::Quality::High;
      const auto expected = EngineFrame(bytes, s.frame, s.pixels.width, s.pixels.height, quality, s.windowColour);
      ASSERT_EQ(expected.size(), s.pixels.pixels.size());
      // Composing into the window's surfaces and copying to the screen may round a channel.
      EXPECT_EQ(DifferingPixels(s.pixels, expected, 2), 0);
      EXPECT_GT(DistinctColours(s.pixels), 1u) << "the window shows no picture";
    }
  }
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(RealControlPlayback, LowAndHighDifferOnlyWhereAntiAliasingSoftensEdges) {
  TfrmFlash& window = OpenWithRealControl();
  const std::filesystem::path star = std::filesystem::path(VELMORA_SAMPLES_DIR) / "Animations" / "Spinning Star.swf";
  PlayWithQuality(window, star, 0);
  PlayWithQuality(window, star, 1);
  ASSERT_EQ(shown.size(), 2u);
  const TCapturedImage &low = shown[0].pixels, &high = shown[1].pixels;
  ASSERT_EQ(low.pixels.size(), high.pixels.size());
  ASSERT_EQ(shown[0].frame, shown[1].frame);
  int differing = 0, awayFromEdges = 0;
  for (int y = 0; y < low.height; ++y)
    for (int x = 0; x < low.width; ++x)
      if (low.At(x, y) != high.At(x, y)) {
        ++differing;
        awayFromEdges += !NearAnEdge(low, x, y, 2);
      }
  EXPECT_GT(differing, 0) << "High shows the same pixels as Low";
  EXPECT_EQ(awayFromEdges, 0) << "the qualities differ inside flat areas";
  EXPECT_GT(DistinctColours(high), DistinctColours(low)) << "High shows no blended edge colours";
}

// The movie's variable `name`, or "(none)" when the control has no such variable.
std::wstring MovieVariable(IShockwaveFlash& flash, const wchar_t* name) {
  BSTR n = SysAllocString(name);
  BSTR value = nullptr;
  const HRESULT hr = flash.GetVariable(n, &value);
  SysFreeString(n);
  std::wstring text = SUCCEEDED(hr) && value ? std::wstring(value, SysStringLen(value)) : L"(none)";
  SysFreeString(value);
  return text;
}

TEST_F(RealControlPlayback, AMoviesOwnLoadsReachTheFilesBesideItThroughTheWindowsPlayer) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("velmora-loads-" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(folder);
  auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  const std::string vars = "greeting=hello";
  write("vars.txt", std::vector<std::uint8_t>(vars.begin(), vars.end()));
  write("child.swf", flash::test::ChildMovie().bytes());
  write("loads.swf", flash::test::LoadsFromItsFolderMovie().bytes());

  TfrmFlash& window = Open();
  RegisterInstalledControl();
  std::wstring greeting, fromChild;
  onPlayback = [&](TPlaySWF& playback) {
    IShockwaveFlash* flash = playback.ShockwaveFlash1->ControlInterface();
    ASSERT_NE(flash, nullptr);
    PumpUntil([&] { return MovieVariable(*flash, L"fromChild") == L"yes"; }, 10000);
    fromChild = MovieVariable(*flash, L"fromChild");
    greeting = MovieVariable(*flash, L"greeting");
  };
  window.MoviePath = WideToAnsi((folder / "loads.swf").wstring());
  ClickButton(*window.Button1);
  ASSERT_TRUE(PumpUntil([&] { return !fromChild.empty(); }, 20000));
  EXPECT_EQ(fromChild, L"yes");
  EXPECT_EQ(greeting, L"hello");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// A class object for the Flash control's class whose objects cannot be made: to the
// catalogue, the same as a control whose registration failed.
class UncreatableFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override {
    *out = nullptr;
    return REGDB_E_CLASSNOTREG;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

TEST_F(RealControlPlayback, AControlThatCannotBeCreatedLeavesAnEmptyWindowThatClosesAsUsual) {
  TfrmFlash& window = Open();
  UncreatableFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_ShockwaveFlash, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  bool unavailable = false;
  TCapturedImage pixels;
  onPlayback = [&](TPlaySWF& playback) {
    unavailable = playback.ShockwaveFlash1->ControlUnavailable();
    pixels = CaptureWindow(playback.Handle());
  };
  window.MoviePath = WideToAnsi(SampleMovies().front().wstring());
  ClickButton(*window.Button1);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 1; }));
  PumpPending();
  CoRevokeClassObject(cookie);
  EXPECT_TRUE(unavailable);
  ASSERT_GT(pixels.width, 0);
  EXPECT_EQ(DistinctColours(pixels), 1u) << "the window is not empty";
  EXPECT_TRUE(boxes.boxes.empty()) << "nothing is reported";
  EXPECT_TRUE(IsWindowEnabled(window.Handle())) << "the catalogue is back";
}

}  // namespace
