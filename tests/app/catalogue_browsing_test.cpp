// Browsing the collection in the catalogue window: categories, the movie grid, selecting with
// the mouse and the keyboard, playing, reloading, sorting, and collections that are not as
// they should be.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/FolderHelpers.h"
#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Text.h"
#include "grid/NextGrid.h"
#include "support/CatalogueFixture.h"
#include "support/JpegFile.h"

using namespace vm;
using namespace vm::test;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> items) {
  std::sort(items.begin(), items.end());
  return items;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> items) {
  std::sort(items.begin(), items.end());
  return items;
}

// Games: a movie with a preview, a 1.5 MB one without, a hidden one and a system one that must
// not show, and a nested folder that is not a category. Secret: a hidden category.
class Browsing : public CatalogueFixture {
 protected:
  void SetUp() override {
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ".");
    app.MakeFolder("VidudIvu\\Games\\Nested");
    app.MakeFile("VidudIvu\\Games\\Nested\\deep.swf", 5);
    app.MakeFile("VidudIvu\\Games\\alpha.swf", 0);
    app.MakeFileWithBytes("VidudIvu\\Games\\alpha.jpg", MakeJpeg(560, 190));
    app.MakeFile("VidudIvu\\Games\\beta.swf", 1572864);
    app.MakeFile("VidudIvu\\Games\\shy.swf", 1048576, FILE_ATTRIBUTE_HIDDEN);
    app.MakeFile("VidudIvu\\Games\\core.swf", 10, FILE_ATTRIBUTE_SYSTEM);
    app.MakeFile("VidudIvu\\Games\\notes.txt", 10);
    app.MakeFolder("VidudIvu\\Secret", FILE_ATTRIBUTE_HIDDEN);
    app.MakeFile("VidudIvu\\Secret\\gamma.swf", 5000);
    app.MakeFolder("VidudIvu\\Empty");
    app.MakeFile("VidudIvu\\Empty\\readme.txt", 1);
  }
};

}  // namespace

TEST_F(Browsing, StartUpListsEveryCategoryFolderIncludingHiddenOnesButNoNestedFolders) {
  TfrmFlash& window = Open();
  EXPECT_EQ(Sorted(Categories()), (std::vector<std::string>{"Empty", "Games", "Secret"}));
  EXPECT_EQ(window.Label4->Caption(), "[ 3 ]");
  EXPECT_EQ(window.Label5->Caption(), "[ 0 ]") << "no category listed yet";
  EXPECT_EQ(window.FL->RowCount(), 0);
  EXPECT_EQ(window.AppFolder, app.Path());
  EXPECT_TRUE(window.MoviePath.empty());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Browsing, ClickingACategoryListsItsMoviesWithSizeTextsAndCounter) {
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));

  EXPECT_EQ(Sorted(Names()), (std::vector<std::wstring>{L"alpha.swf", L"beta.swf", L"shy.swf"}));
  EXPECT_EQ(window.FL->GetCellText(1, RowOf(L"alpha.swf")), L"0.00 MB");
  EXPECT_EQ(window.FL->GetCellText(1, RowOf(L"beta.swf")), L"1.50 MB");
  EXPECT_EQ(window.FL->GetCellText(1, RowOf(L"shy.swf")), L"1.00 MB");
  EXPECT_EQ(window.FL->GetCellText(2, RowOf(L"beta.swf")), L"") << "the hidden location column stays empty";
  EXPECT_EQ(window.Label5->Caption(), "[ 3 ]");
  EXPECT_EQ(window.FL->SelectedRowIndex(), -1);
  EXPECT_EQ(window.FL->UpdateCount(), 0) << "every listing closes its grid update";

  ClickCategory("Empty");
  ASSERT_TRUE(PumpUntil([&] { return window.Label5->Caption() == "[ 0 ]"; }));
  EXPECT_EQ(window.FL->RowCount(), 0);
}

TEST_F(Browsing, SizeTextsFollowTheUserDecimalSeparator) {
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ",");
  TfrmFlash& window = Open();
  ClickCategory("Games");
  const bool listed = PumpUntil([&] { return window.FL->RowCount() == 3; });
  const std::wstring size = listed ? window.FL->GetCellText(1, RowOf(L"beta.swf")) : L"";
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ".");
  EXPECT_EQ(size, L"1,50 MB");
}

TEST_F(Browsing, ClickingAMovieSetsMoviePathAndShowsItsPreviewCentredAndShrunk) {
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));

  ClickRow(RowOf(L"alpha.swf"));
  ASSERT_TRUE(PumpUntil([&] { return !window.MoviePath.empty(); }));
  EXPECT_EQ(window.MoviePath, Category("Games") + "\\alpha.swf");
  ASSERT_FALSE(window.Image1->Picture().Empty());
  EXPECT_EQ(window.Image1->Picture().Width(), 560);
  // 560 x 190 in a 280 x 190 box: halved to 280 x 95, centred vertically.
  const RECT shown = window.Image1->DestRect();
  EXPECT_EQ(shown.right - shown.left, 280);
  EXPECT_EQ(shown.bottom - shown.top, 95);
  EXPECT_EQ(shown.top, 47);

  ClickRow(RowOf(L"beta.swf"));
  ASSERT_TRUE(PumpUntil([&] { return window.MoviePath == Category("Games") + "\\beta.swf"; }));
  EXPECT_TRUE(window.Image1->Picture().Empty()) << "a movie without a .jpg leaves the preview empty";
}

TEST_F(Browsing, ArrowKeysMoveTheSelectionAndRefreshMoviePathOnRelease) {
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));
  ClickRow(0);
  ASSERT_TRUE(PumpUntil([&] { return window.FL->SelectedRowIndex() == 0; }));

  PressGridKey(VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return window.FL->SelectedRowIndex() == 1; }));
  const std::string second = Category("Games") + "\\" + WideToAnsi(window.FL->GetCellText(0, 1));
  EXPECT_EQ(window.MoviePath, second);

  PressGridKey(VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return window.FL->SelectedRowIndex() == 0; }));
  EXPECT_EQ(window.MoviePath, Category("Games") + "\\" + WideToAnsi(window.FL->GetCellText(0, 0)));

  // End jumps to the last row; PLAY must then play that row, not the one selected before.
  PressGridKey(VK_END);
  ASSERT_TRUE(PumpUntil([&] { return window.FL->SelectedRowIndex() == 2; }));
  EXPECT_EQ(window.MoviePath, Category("Games") + "\\" + WideToAnsi(window.FL->GetCellText(0, 2)));
}

TEST_F(Browsing, EnterDoubleClickAndPlayButtonPlayTheSelectedMovieAtTheChosenQuality) {
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));
  const int beta = RowOf(L"beta.swf");
  const std::string betaPath = Category("Games") + "\\beta.swf";

  ClickButton(*window.Button1);
  PumpPending();
  EXPECT_TRUE(plays.empty()) << "PLAY with nothing selected plays nothing";

  DoubleClickRow(beta);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 1; }));
  EXPECT_EQ(plays[0].movie, betaPath);
  EXPECT_EQ(plays[0].quality, "High");

  PressGridKey(VK_RETURN);  // the message loop translates it into the character 13
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 2; })) << plays.size();
  EXPECT_EQ(plays[1].movie, betaPath);
  EXPECT_EQ(window.FL->SelectedRowIndex(), beta) << "Enter does not move the selection";

  window.ComboBox1->SetItemIndex(0);
  ClickButton(*window.Button1);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 3; }));
  EXPECT_EQ(plays[2].quality, "Low");
}

TEST_F(Browsing, ReloadCategoryEmptiesTheGridButKeepsCounterPreviewAndTheMovieToPlay) {
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));
  ClickRow(RowOf(L"alpha.swf"));
  ASSERT_TRUE(PumpUntil([&] { return !window.Image1->Picture().Empty(); }));
  app.MakeFolder("VidudIvu\\Later");

  ClickButton(*window.Button2);
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 0; }));
  EXPECT_EQ(window.Label4->Caption(), "[ 4 ]");
  EXPECT_EQ(window.Label5->Caption(), "[ 3 ]");
  EXPECT_FALSE(window.Image1->Picture().Empty());
  EXPECT_EQ(window.FCList->ItemIndex(), -1);

  ClickButton(*window.Button1);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 1; }));
  EXPECT_EQ(plays[0].movie, Category("Games") + "\\alpha.swf");
}

TEST_F(Browsing, HeaderClicksSortByNameAscendingThenDescendingAndSelectionStillNamesTheRow) {
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));

  ClickHeader(0);
  ASSERT_TRUE(PumpUntil([&] { return Names() == std::vector<std::wstring>{L"alpha.swf", L"beta.swf", L"shy.swf"}; }));
  EXPECT_EQ(window.FL->GetCellText(1, 1), L"1.50 MB") << "cells move with their row";

  ClickHeader(0);
  ASSERT_TRUE(PumpUntil([&] { return Names() == std::vector<std::wstring>{L"shy.swf", L"beta.swf", L"alpha.swf"}; }));

  ClickRow(2);
  ASSERT_TRUE(PumpUntil([&] { return !window.MoviePath.empty(); }));
  EXPECT_EQ(window.MoviePath, Category("Games") + "\\alpha.swf");

  ClickHeader(1);  // sizes as text: "0.00 MB" < "1.00 MB" < "1.50 MB"
  ASSERT_TRUE(PumpUntil([&] { return Sizes() == std::vector<std::wstring>{L"0.00 MB", L"1.00 MB", L"1.50 MB"}; }));
}

TEST_F(Browsing, AMovieThatVanishedBeforeItsClickLeavesNothingToPlay) {
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));
  ASSERT_TRUE(DeleteFileA((Category("Games") + "\\beta.swf").c_str()));

  ClickRow(RowOf(L"beta.swf"));
  ASSERT_TRUE(PumpUntil([&] { return window.FL->SelectedRowIndex() == RowOf(L"beta.swf"); }));
  EXPECT_TRUE(window.MoviePath.empty());
  ClickButton(*window.Button1);
  PumpPending();
  EXPECT_TRUE(plays.empty());
  EXPECT_TRUE(boxes.boxes.empty());
}

// ---- collections that are not as they should be ---------------------------------------------

class MissingCollection : public CatalogueFixture {
 protected:
  void SetUp() override { RemoveTree(app.Path() + "VidudIvu"); }
};

TEST_F(MissingCollection, LeavesBothListsEmptyWithZeroCountersAndNoMessage) {
  TfrmFlash& window = Open();
  EXPECT_TRUE(Categories().empty());
  EXPECT_EQ(window.FL->RowCount(), 0);
  EXPECT_EQ(window.Label4->Caption(), "[ 0 ]");
  EXPECT_EQ(window.Label5->Caption(), "[ 0 ]");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Browsing, ACategoryThatCannotBeReadListsNothingAndShowsNoMessage) {
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));
  RemoveTree(Category("Secret"));  // gone between the scan and the click

  ClickCategory("Secret");
  ASSERT_TRUE(PumpUntil([&] { return window.Label5->Caption() == "[ 0 ]"; }));
  EXPECT_EQ(window.FL->RowCount(), 0);
  EXPECT_TRUE(window.MoviePath.empty());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Browsing, APreviewThatIsNotAJpegShowsTheLoadersErrorAndTheMovieStillPlays) {
  app.MakeFileWithBytes("VidudIvu\\Games\\beta.jpg", "this is not a picture");
  TfrmFlash& window = Open();
  ClickCategory("Games");
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 3; }));

  ClickRow(RowOf(L"beta.swf"));
  ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty(); }));
  EXPECT_NE(boxes.boxes[0].text.find("beta.jpg"), std::string::npos) << boxes.boxes[0].text;
  EXPECT_EQ(boxes.boxes[0].flags & MB_ICONMASK, UINT(MB_ICONSTOP));
  EXPECT_EQ(window.MoviePath, Category("Games") + "\\beta.swf");
  EXPECT_TRUE(window.Image1->Picture().Empty());

  ClickButton(*window.Button1);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 1; }));
  EXPECT_EQ(plays[0].movie, Category("Games") + "\\beta.swf");
}

TEST_F(CatalogueFixture, NamesOutsideAsciiKeepTheirWindowsCodePageCharacters) {
  const std::string category = "Caf\xE9";                // Café
  const std::string movie = "Cr\xE8me br\xFBl\xE9" "e.swf";  // Crème brûlée.swf
  app.MakeFolder("VidudIvu\\" + category);
  app.MakeFile("VidudIvu\\" + category + "\\" + movie, 2097152);
  app.MakeFileWithBytes("VidudIvu\\" + category + "\\Cr\xE8me br\xFBl\xE9" "e.jpg", MakeJpeg(40, 30));

  TfrmFlash& window = Open();
  ASSERT_EQ(Categories(), std::vector<std::string>{category});
  ClickCategory(category);
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 1; }));
  EXPECT_EQ(window.FL->GetCellText(0, 0), L"Cr\u00E8me br\u00FBl\u00E9e.swf");
  EXPECT_EQ(window.FL->GetCellText(1, 0), L"2.00 MB");

  ClickRow(0);
  ASSERT_TRUE(PumpUntil([&] { return !window.MoviePath.empty(); }));
  EXPECT_EQ(window.MoviePath, Category(category) + "\\" + movie);
  EXPECT_EQ(window.Image1->Picture().Width(), 40);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CatalogueFixture, PathsNearMaxPathWorkAndLongerOnesListNothingWithoutACrash) {
  // A category whose movie path is exactly MAX_PATH - 1 characters long.
  const std::string movie = "m.swf";
  const std::size_t fixed = Category("").size() + 1 + movie.size();
  const std::string nearName(MAX_PATH - 1 - fixed, 'n');
  app.MakeFolder("VidudIvu\\" + nearName);
  app.MakeFile("VidudIvu\\" + nearName + "\\" + movie, 3);
  // A category whose search pattern no longer fits: created through the long-path prefix.
  const std::string farName(MAX_PATH - fixed + 20, 'f');
  const std::wstring farFolder = L"\\\\?\\" + AnsiToWide(Category(farName));
  ASSERT_TRUE(CreateDirectoryW(farFolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  HANDLE farMovie = CreateFileW((farFolder + L"\\m.swf").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(farMovie, INVALID_HANDLE_VALUE);
  CloseHandle(farMovie);

  TfrmFlash& window = Open();
  ASSERT_EQ(window.Label4->Caption(), "[ 2 ]");

  ClickCategory(nearName);
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 1; }));
  ClickRow(0);
  ASSERT_TRUE(PumpUntil([&] { return !window.MoviePath.empty(); }));
  EXPECT_EQ(window.MoviePath.size(), std::size_t(MAX_PATH - 1));

  ClickCategory(farName);
  ASSERT_TRUE(PumpUntil([&] { return window.FL->RowCount() == 0; }));
  EXPECT_EQ(window.Label5->Caption(), "[ 0 ]");
  EXPECT_TRUE(window.MoviePath.empty());
  EXPECT_TRUE(boxes.boxes.empty());
  DeleteFileW((farFolder + L"\\m.swf").c_str());
  RemoveDirectoryW(farFolder.c_str());
}
