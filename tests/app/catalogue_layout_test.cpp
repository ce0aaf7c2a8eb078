// The catalogue window as a user sees it: frame and client size, where each control sits
// (rectangles read back from the windows), and pixels captured from the window itself.

#include <gtest/gtest.h>

#include <set>

#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Panel.h"
#include "grid/NextGrid.h"
#include "support/CatalogueFixture.h"

using namespace vm;
using namespace vm::test;

namespace {

// A child window's rectangle in its form's client coordinates.
RECT ClientRectOf(HWND child, HWND form) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

::testing::AssertionResult Placed(HWND child, HWND form, int left, int top, int width, int height) {
  const RECT r = ClientRectOf(child, form);
  if (r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at " << r.left << "," << r.top << " size " << r.right - r.left << "x"
                                       << r.bottom - r.top << ", expected " << left << "," << top << " size " << width
                                       << "x" << height;
}

std::uint32_t SystemColour(int index) { return ToRgb(GetSysColor(index)); }

int DistinctColours(const TCapturedImage& image, const RECT& area) {
  std::set<std::uint32_t> colours;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) colours.insert(image.At(x, y));
  return static_cast<int>(colours.size());
}

}  // namespace

TEST_F(CatalogueFixture, WindowHasAFixedSingleBorderMinimiseOnlyAndIsCentredOnTheDesktop) {
  TfrmFlash& window = Open();
  const HWND hwnd = window.Handle();
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 788);
  EXPECT_EQ(client.bottom, 445);

  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);

  char caption[64] = {};
  GetWindowTextA(hwnd, caption, sizeof caption);
  EXPECT_STREQ(caption, "Velmora");

  RECT frame, desktop;
  GetWindowRect(hwnd, &frame);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
  EXPECT_NEAR((frame.left + frame.right) / 2, (desktop.left + desktop.right) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, (desktop.top + desktop.bottom) / 2, 1);
}

TEST_F(CatalogueFixture, WindowedControlsSitWhereTheyBelong) {
  TfrmFlash& window = Open();
  const HWND hwnd = window.Handle();
  EXPECT_TRUE(Placed(window.FCList->Handle(), hwnd, 8, 72, 201, 321));
  EXPECT_TRUE(Placed(window.FL->Handle(), hwnd, 224, 72, 257, 321));
  EXPECT_TRUE(Placed(window.Panel1->Handle(), hwnd, 496, 72, 284, 194));
  EXPECT_TRUE(Placed(window.Button1->Handle(), hwnd, 600, 304, 97, 33));
  EXPECT_TRUE(Placed(window.Button2->Handle(), hwnd, 8, 400, 201, 33));
  EXPECT_TRUE(Placed(window.Button6->Handle(), hwnd, 496, 400, 241, 33));
  EXPECT_TRUE(Placed(window.Button5->Handle(), hwnd, 744, 400, 35, 33));
  EXPECT_TRUE(Placed(window.Button4->Handle(), hwnd, 624, 25, 77, 19));
  EXPECT_TRUE(Placed(window.Button3->Handle(), hwnd, 704, 25, 70, 19));
  const RECT combo = ClientRectOf(window.ComboBox1->Handle(), hwnd);
  EXPECT_EQ(combo.left, 600);
  EXPECT_EQ(combo.top, 272);
  EXPECT_EQ(combo.right - combo.left, 97);
  EXPECT_FALSE(IsWindowVisible(window.ComboBox2->Handle())) << "the scale list is never shown";

  // Graphic controls own no window; their bounds are the control's own.
  EXPECT_EQ(window.Image1->BoundsRect().left, 2);
  EXPECT_EQ(window.Image1->Width(), 280);
  EXPECT_EQ(window.Image1->Height(), 190);
  EXPECT_EQ(window.back->Width(), 793);
  EXPECT_EQ(window.back->Height(), 49);
  EXPECT_EQ(window.Label4->Left() + window.Label4->Width(), 208);
  EXPECT_FALSE(window.Label9->Visible());

  // Tab order: PLAY first, then the category list, then the grid.
  const std::vector<TWinControl*> tabs = window.TabList();
  ASSERT_GE(tabs.size(), 3u);
  EXPECT_EQ(tabs[0], static_cast<TWinControl*>(window.Button1));
  EXPECT_EQ(tabs[1], static_cast<TWinControl*>(window.FCList));
  EXPECT_EQ(tabs[2], static_cast<TWinControl*>(window.FL));
  EXPECT_EQ(window.ComboBox1->ComboText(), "High");
}

TEST_F(CatalogueFixture, CapturedPixelsShowHeaderBandTextsAndControls) {
  app.MakeFolder("VidudIvu\\Games");
  TfrmFlash& window = Open();
  PumpPending();
  const HWND hwnd = window.Handle();
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  RECT frame;
  GetWindowRect(hwnd, &frame);
  const int dx = origin.x - frame.left, dy = origin.y - frame.top;  // client origin in window pixels
  const TCapturedImage shot = CaptureWindow(hwnd, true);
  auto at = [&](int x, int y) { return shot.At(dx + x, dy + y); };
  auto area = [&](int l, int t, int r, int b) { return RECT{dx + l, dy + t, dx + r, dy + b}; };

  const std::uint32_t face = SystemColour(COLOR_BTNFACE);
  EXPECT_EQ(at(400, 60), face) << "button-face background between the labels";
  EXPECT_EQ(at(785, 270), face);

  // The header band: dark violet stretched over the whole strip, top to bottom.
  for (int x : {1, 300, 787}) {
    const std::uint32_t band = at(x, 30);
    EXPECT_NE(band, face);
    EXPECT_LT((band >> 16) + ((band >> 8) & 0xFF) + (band & 0xFF), 3u * 128) << "x=" << x;
  }
  EXPECT_GT(DistinctColours(shot, area(16, 8, 48, 40)), 10) << "the icon is drawn";
  EXPECT_GT(DistinctColours(shot, area(552, 16, 580, 44)), 5) << "the first link picture is drawn";
  EXPECT_GT(DistinctColours(shot, area(56, 11, 110, 24)), 1) << "the title text is drawn";

  // Section captions drawn in the window-text colour somewhere in their box.
  auto hasDarkText = [&](int l, int t, int r, int b) {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        if (at(x, y) == SystemColour(COLOR_WINDOWTEXT)) return true;
    return false;
  };
  EXPECT_TRUE(hasDarkText(8, 56, 70, 69)) << "Category :";
  EXPECT_TRUE(hasDarkText(184, 56, 208, 69)) << "[ 1 ]";
  EXPECT_TRUE(hasDarkText(496, 56, 560, 69)) << "Preview :";

  // Windowed controls paint their own pixels: the list and grid are not button-face inside.
  EXPECT_NE(at(100, 200), face);
  EXPECT_GT(DistinctColours(shot, area(224, 72, 481, 90)), 2) << "grid header with captions";
  EXPECT_GT(DistinctColours(shot, area(600, 304, 697, 337)), 2) << "PLAY button";
  // The preview panel's raised/lowered bevel differs from its inside.
  EXPECT_NE(at(496, 150), at(520, 150));
}
