// Directory scanning of the catalogue: attribute rules, order, sizes and size texts.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/FolderHelpers.h"
#include "support/TempFolder.h"

using namespace vm;
using vm::test::TempFolder;

namespace {

std::vector<std::string> Sorted(const TStringList& list) {
  std::vector<std::string> items = list.Items();
  std::sort(items.begin(), items.end());
  return items;
}

}  // namespace

TEST(SearchAttributes, MaskTwoAdmitsNormalAndHiddenFilesOnly) {
  EXPECT_TRUE(AttributesAdmitted(FILE_ATTRIBUTE_NORMAL, saHidden));
  EXPECT_TRUE(AttributesAdmitted(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, saHidden));
  EXPECT_TRUE(AttributesAdmitted(FILE_ATTRIBUTE_HIDDEN, saHidden));
  EXPECT_FALSE(AttributesAdmitted(FILE_ATTRIBUTE_SYSTEM, saHidden));
  EXPECT_FALSE(AttributesAdmitted(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, saHidden));
  EXPECT_FALSE(AttributesAdmitted(FILE_ATTRIBUTE_DIRECTORY, saHidden));
  EXPECT_FALSE(AttributesAdmitted(saVolumeId, saHidden));
}

TEST(SearchAttributes, MaskSixtyThreeAdmitsEverything) {
  for (DWORD attributes : {DWORD(FILE_ATTRIBUTE_NORMAL), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                           DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM), DWORD(saVolumeId)})
    EXPECT_TRUE(AttributesAdmitted(attributes, saAnyFile)) << attributes;
}

TEST(ListFolders, ListsDirectSubfoldersWithHiddenAndSystemOnesButNoFilesOrNestedFolders) {
  TempFolder root;
  root.MakeFolder("Games");
  root.MakeFolder("Secret", FILE_ATTRIBUTE_HIDDEN);
  root.MakeFolder("Core", FILE_ATTRIBUTE_SYSTEM);
  root.MakeFolder("Games\\Nested");
  root.MakeFile("loose.swf");

  TStringList list{"kept"};
  ListFolders(root.Path(), list);

  EXPECT_EQ(list[0], "kept") << "the list is appended to, not replaced";
  list.Delete(0);
  EXPECT_EQ(Sorted(list), (std::vector<std::string>{"Core", "Games", "Secret"}));
}

TEST(ListFolders, AcceptsAFolderWithOrWithoutTrailingBackslash) {
  TempFolder root;
  root.MakeFolder("A");
  TStringList with, without;
  ListFolders(root.Path(), with);
  ListFolders(root.Path().substr(0, root.Path().size() - 1), without);
  EXPECT_EQ(with.Items(), std::vector<std::string>{"A"});
  EXPECT_EQ(without.Items(), with.Items());
}

TEST(ListFolders, BlankOrMissingFolderAddsNothing) {
  TempFolder root;
  TStringList list;
  ListFolders("", list);
  ListFolders("   ", list);
  ListFolders(root.Path() + "NoSuchFolder", list);
  ListFolders(root.Path(), list);  // exists, but empty
  EXPECT_EQ(list.Count(), 0);
}

TEST(ListFiles, ListsNormalHiddenAndReadOnlyMoviesButNotSystemFilesFoldersOrOtherTypes) {
  TempFolder root;
  root.MakeFile("plain.swf");
  root.MakeFile("shy.swf", 10, FILE_ATTRIBUTE_HIDDEN);
  root.MakeFile("locked.swf", 10, FILE_ATTRIBUTE_READONLY);
  root.MakeFile("core.swf", 10, FILE_ATTRIBUTE_SYSTEM);
  root.MakeFile("both.swf", 10, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  root.MakeFile("plain.jpg");
  root.MakeFolder("folder.swf");

  TStringList list;
  ListFiles(root.Path(), "*.swf", list);
  EXPECT_EQ(Sorted(list), (std::vector<std::string>{"locked.swf", "plain.swf", "shy.swf"}));
}

TEST(ListFiles, KeepsNamesInTheWindowsCodePage) {
  TempFolder root;
  const std::string cafe = "Caf\xE9 cr\xE8me.swf";  // Windows-1252
  root.MakeFile(cafe);
  TStringList list;
  ListFiles(root.Path(), "*.swf", list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], cafe);
  EXPECT_EQ(FileSizeOf(root.Path() + list[0]), 0);
}

TEST(ListFiles, BlankMissingOrOverlongFolderAddsNothing) {
  TempFolder root;
  TStringList list;
  ListFiles(" ", "*.swf", list);
  ListFiles(root.Path() + "gone", "*.swf", list);
  ListFiles(root.Path() + std::string(300, 'x'), "*.swf", list);
  EXPECT_EQ(list.Count(), 0);
}

TEST(ListFiles, FindsMoviesInAFolderWhosePathNearlyFillsMaxPath) {
  TempFolder root;
  // Leave just enough room for "\m.swf" below MAX_PATH.
  const std::size_t room = MAX_PATH - 1 - root.Path().size() - std::string("\\m.swf").size();
  std::string relative;
  while (relative.size() + 1 < room) {
    std::size_t part = std::min<std::size_t>(100, room - relative.size() - 1);
    relative += (relative.empty() ? "" : "\\") + std::string(part, 'd');
    if (relative.size() >= room) break;
  }
  relative.resize(std::min(relative.size(), room));
  if (relative.back() == '\\') relative.pop_back();
  std::string folder = root.MakeFolder(relative);
  root.MakeFile(relative + "\\m.swf", 7);

  TStringList list;
  ListFiles(folder, "*.swf", list);
  EXPECT_EQ(list.Items(), std::vector<std::string>{"m.swf"});
  EXPECT_EQ(FileSizeOf(folder + "\\m.swf"), 7);
}

TEST(FileSizeOf, ReportsSizeOrMinusOneWhenMissing) {
  TempFolder root;
  EXPECT_EQ(FileSizeOf(root.MakeFile("empty.swf", 0)), 0);
  EXPECT_EQ(FileSizeOf(root.MakeFile("big.swf", 1572864)), 1572864);
  EXPECT_EQ(FileSizeOf(root.MakeFile("shy.swf", 3, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)), 3);
  EXPECT_EQ(FileSizeOf(root.Path() + "missing.swf"), -1);
  EXPECT_EQ(FileSizeOf(""), -1);
}

TEST(FileSizeOf, ExpandsRelativePaths) {
  TempFolder root;
  root.MakeFile("rel.swf", 12);
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(root.Path().c_str()));
  std::int64_t size = FileSizeOf("rel.swf");
  std::int64_t dotted = FileSizeOf(".\\sub\\..\\rel.swf");
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(size, 12);
  EXPECT_EQ(dotted, 12);
}

TEST(FileSizeOf, DoesNotTurnFilesOfTwoGigabytesOrMoreNegative) {
  TempFolder root;
  const std::int64_t threeGiB = 3LL * 1024 * 1024 * 1024;
  EXPECT_EQ(FileSizeOf(root.MakeFile("huge.swf", threeGiB)), threeGiB);
  EXPECT_EQ(SizeText(threeGiB, "."), "3072.00 MB");
}

TEST(SizeText, FormatsMegabytesWithTwoDecimalsRoundedHalfUp) {
  EXPECT_EQ(SizeText(0, "."), "0.00 MB");
  EXPECT_EQ(SizeText(5000, "."), "0.00 MB");
  EXPECT_EQ(SizeText(5243, "."), "0.01 MB");
  EXPECT_EQ(SizeText(131072, "."), "0.13 MB");  // exactly 0.125
  EXPECT_EQ(SizeText(1048576, "."), "1.00 MB");
  EXPECT_EQ(SizeText(1572864, "."), "1.50 MB");
  EXPECT_EQ(SizeText(1048576LL * 1234 + 1048576 / 10, "."), "1234.10 MB");  // no thousands separator
  EXPECT_EQ(SizeText(1048576LL * 99 + 1048570, "."), "100.00 MB");         // carries into the integer part
}

TEST(SizeText, UsesTheGivenSeparatorAndShowsNothingForAMissingFile) {
  EXPECT_EQ(SizeText(1572864, ","), "1,50 MB");
  EXPECT_EQ(SizeText(-1, "."), "");
}

TEST(SizeText, FollowsTheUserLocaleDecimalSeparator) {
  char saved[8] = {};
  ASSERT_NE(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved, sizeof saved), 0);
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ","));
  std::string separator = UserDecimalSeparator();
  std::string text = SizeText(1572864);
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved);
  EXPECT_EQ(separator, ",");
  EXPECT_EQ(text, "1,50 MB");
  EXPECT_EQ(UserDecimalSeparator(), saved);
}
