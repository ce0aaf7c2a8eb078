// The playback window as the catalogue opens it, with the test Flash control standing in for
// the genuine one: nothing without a movie, the window's place and caption, what the player
// tells the control and in which order, modality, the return to the catalogue, the end of the
// program after a command-line movie, and dropped files played one window after another.

#include <gtest/gtest.h>

#include "flashhost/FlashPlayer.h"
#include "flashhost/MovieUrls.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/Text.h"
#include "support/CatalogueFixture.h"
#include "support/DropFiles.h"

using namespace vm;
using namespace vm::test;

namespace {

// Position in the control's log of the first property put of that dispatch id; -1 when none.
int IndexOfPut(const FlashCallLog& log, DISPID id) {
  const auto& calls = log.All();
  for (std::size_t i = 0; i < calls.size(); ++i)
    if (calls[i].name == "Invoke" && calls[i].number == id && calls[i].text == L"put") return static_cast<int>(i);
  return -1;
}

std::wstring StoredText(TestFlashControl& flash, DISPID id) {
  const VARIANT* value = flash.StoredProperty(id);
  if (!value || value->vt != VT_BSTR || !value->bstrVal) return L"(not a string)";
  return value->bstrVal;
}

bool RectIs(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
  return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

class Playback : public CatalogueFixture {
 protected:
  // A category "Games" holding a.swf, selected in the grid: PLAY plays it.
  TfrmFlash& OpenWithMovieSelected() {
    app.MakeFolder("VidudIvu\\Games");
    movie = app.MakeFile("VidudIvu\\Games\\a.swf", 100);
    TfrmFlash& window = Open();
    ClickCategory("Games");
    ClickRow(0);
    EXPECT_EQ(window.MoviePath, movie);
    return window;
  }
  std::string movie;
};

TEST_F(Playback, PlayWithoutAMovieOpensNoWindowAndCreatesNoControl) {
  TfrmFlash& window = Open();
  ClickButton(*window.Button1);
  PumpPending();
  EXPECT_TRUE(plays.empty());
  EXPECT_TRUE(TestFlashControl::Instances().empty());
  EXPECT_EQ(FindWindowA("TPlaySWF", nullptr), nullptr);
}

TEST_F(Playback, TheWindowSpansTheScreenWidthLeavesFiftyPixelsBelowAndNamesTheMovie) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the null driver's screen";
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  TfrmFlash& window = OpenWithMovieSelected();
  bool catalogueDisabled = false;
  onPlayback = [&](TPlaySWF& playback) {
    catalogueDisabled = !IsWindowEnabled(window.Handle());
    RECT client{};
    GetClientRect(playback.Handle(), &client);
    TsfFlashPlayer& player = *playback.ShockwaveFlash1;
    EXPECT_TRUE(RectIs(RECT{player.Left(), player.Top(), player.Left() + player.Width(), player.Top() + player.Height()},
                       0, 0, client.right, client.bottom))
        << "the player fills the client area";
    EXPECT_TRUE(RectIs(TestFlashControl::LastInstance()->InPlaceRect(), 0, 0, client.right, client.bottom));
    EXPECT_EQ(player.Volume(), 100);
    EXPECT_FALSE(player.VolumeControl());
    EXPECT_EQ(player.FLVPlaybackSkin(), TsfFLVSkins::flvclearskin);
    const LONG_PTR style = GetWindowLongPtrA(playback.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) << "a dialog border, close box only";
  };
  ClickButton(*window.Button1);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 1; }));

  EXPECT_EQ(plays[0].caption, "Play - " + movie);
  EXPECT_TRUE(RectIs(plays[0].bounds, 0, 0, 1024, 718));
  EXPECT_TRUE(catalogueDisabled) << "the window is modal";
}

TEST_F(Playback, ThePlayerGetsTheQualityTheMovieTheScaleAndPlayInThatOrder) {
  TfrmFlash& window = OpenWithMovieSelected();
  ClickButton(*window.Button1);  // the quality drop-down starts at "High"
  window.ComboBox1->SetItemIndex(0);
  ClickButton(*window.Button1);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 2; }));
  ASSERT_NE(plays[0].flash, nullptr);
  ASSERT_NE(plays[1].flash, nullptr);
  ASSERT_NE(plays[0].flash, plays[1].flash) << "every play has a window and a control of its own";

  EXPECT_EQ(StoredText(*plays[0].flash, FlashDispId::Quality2), L"High");
  EXPECT_EQ(StoredText(*plays[1].flash, FlashDispId::Quality2), L"Low");
  for (const Play& play : plays) {
    TestFlashControl& flash = *play.flash;
    const FlashCallLog& log = flash.Calls();
    EXPECT_EQ(flash.StoredProperty(FlashDispId::Quality2)->vt, VT_BSTR);
    EXPECT_EQ(StoredText(flash, FlashDispId::Scale), L"1000") << "the literal text, not a scale-mode name";
    ASSERT_NE(log.Last("LoadMovie"), nullptr);
    EXPECT_EQ(log.Last("LoadMovie")->text, std::wstring(kDummyHostPrefixW) + AnsiToWide(movie));
    EXPECT_EQ(play.movie, movie);
    EXPECT_EQ(log.Count("Play"), 1);
    const int quality = IndexOfPut(log, FlashDispId::Quality2), load = log.IndexOf("LoadMovie"),
              scale = IndexOfPut(log, FlashDispId::Scale), started = log.IndexOf("Play");
    EXPECT_TRUE(quality != -1 && quality < load && load < scale && scale < started)
        << quality << " " << load << " " << scale << " " << started;
  }
}

TEST_F(Playback, ClosingTheWindowDestroysItWithItsControlAndReturnsToTheCatalogue) {
  TfrmFlash& window = OpenWithMovieSelected();
  ClickButton(*window.Button1);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 1; }));
  ASSERT_NE(plays[0].flash, nullptr);
  EXPECT_TRUE(plays[0].flash->Destroyed()) << "the control went with its window";
  EXPECT_EQ(FindWindowA("TPlaySWF", nullptr), nullptr);
  EXPECT_TRUE(IsWindowEnabled(window.Handle()));
  EXPECT_TRUE(IsWindowVisible(window.Handle()));
  EXPECT_FALSE(Application().Terminated());
  EXPECT_EQ(window.MoviePath, movie) << "PLAY plays the same movie again";
}

TEST_F(Playback, AfterACommandLineStartClosingThePlaybackWindowEndsTheProgram) {
  SupportPreference hide("0");
  TfrmFlash& window = OpenAsProgram({"C:\\X\\VidudIvu\\Games\\a.swf"});
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].caption, "Play - C:\\X\\VidudIvu\\Games\\a.swf");
  EXPECT_EQ(plays[0].movie, "C:\\X\\VidudIvu\\Games\\a.swf") << "a missing file still opens the window";
  EXPECT_TRUE(window.FromCommandLine);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(IsWindowVisible(window.Handle())) << "the catalogue does not flash up on the way out";
}

TEST_F(Playback, AfterANormalStartClosingThePlaybackWindowKeepsTheProgramRunning) {
  SupportPreference hide("0");
  app.MakeFolder("VidudIvu\\Games");
  const std::string path = app.MakeFile("VidudIvu\\Games\\a.swf", 100);
  TfrmFlash& window = OpenAsProgram();
  window.PlayFile(path);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_FALSE(Application().Terminated());
  EXPECT_TRUE(IsWindowVisible(window.Handle()));
}

TEST_F(Playback, ThreeDroppedFilesPlayInDropOrderEachInItsOwnWindowAfterThePreviousClosed) {
  TfrmFlash& window = Open();
  const std::vector<std::string> dropped = {"C:\\one.swf", "D:\\two.swf", "C:\\movies\\three.swf"};
  int windowsAtOnce = 0;
  onPlayback = [&](TPlaySWF&) {
    for (TestFlashControl* flash : TestFlashControl::Instances())
      if (!flash->Destroyed()) ++windowsAtOnce;
  };
  SendMessageA(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(dropped)), 0);
  ASSERT_EQ(plays.size(), 3u);
  for (std::size_t i = 0; i < dropped.size(); ++i) {
    EXPECT_EQ(plays[i].caption, "Play - " + dropped[i]);
    ASSERT_NE(plays[i].flash, nullptr);
    EXPECT_EQ(plays[i].flash->Calls().Last("LoadMovie")->text, std::wstring(kDummyHostPrefixW) + AnsiToWide(dropped[i]));
  }
  EXPECT_EQ(windowsAtOnce, 3) << "one playback window (and control) alive at each play";
  EXPECT_EQ(window.MoviePath, dropped.back());
}

TEST_F(Playback, APlayThatFailsEndsTheDropWithAnErrorBoxAndStillReleasesTheDropHandle) {
  TfrmFlash& window = Open();
  TestFlashControl::Defaults().invokeFailures[FlashDispId::Quality2] = {DISP_E_EXCEPTION, L"Quality refused"};
  HGLOBAL drop = MakeDrop({"C:\\one.swf", "C:\\two.swf"});
  PostMessageA(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty(); }));
  PumpPending();
  EXPECT_EQ(boxes.boxes[0].text, "Quality refused");
  EXPECT_TRUE(plays.empty()) << "the failing play shows no window";
  EXPECT_EQ(FindWindowA("TPlaySWF", nullptr), nullptr) << "and leaves none behind";
  EXPECT_EQ(GlobalFlags(drop), UINT(GMEM_INVALID_HANDLE)) << "the drop handle was released";
}

}  // namespace
