// Start-up and the window's other duties: the location record, the support-dialog decision,
// failures inside the start-up sequence, the command line, dropped files, the help message,
// the links and the second window.

#include <gtest/gtest.h>

#include "app/RegistryHelpers.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/RegistryKey.h"
#include "grid/NextGrid.h"
#include "support/CatalogueFixture.h"
#include "support/DropFiles.h"

using namespace vm;
using namespace vm::test;

namespace {

std::string ReadString(HKEY root, const std::string& key, const std::string& name, DWORD* type = nullptr) {
  char data[1024] = {};
  DWORD size = sizeof data;
  DWORD found = REG_NONE;
  if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_ANY, &found, data, &size) != ERROR_SUCCESS) return "(missing)";
  if (type) *type = found;
  return std::string(data, size ? size - 1 : 0);
}

}  // namespace

TEST_F(CatalogueFixture, RecordsTheExecutablePathAsRegSzUnderOrvane) {
  Open();
  DWORD type = REG_NONE;
  EXPECT_EQ(ReadString(registry, "Orvane", "45", &type), ExePath());
  EXPECT_EQ(type, DWORD(REG_SZ));
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CatalogueFixture, TheProductRecordsItsLocationUnderTheRealUserKey) {
  TCatalogueContext context = Context();
  context.UserRegistry = HKEY_CURRENT_USER;
  OpenWith(context);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Orvane", "45"), ExePath());
}

TEST_F(CatalogueFixture, SupportDialogShowsAtStartWhenThePreferenceIsOneOrMissingOnly) {
  {
    SupportPreference missing(nullptr);
    Open();
    EXPECT_EQ(supportDialogs, 1);
  }
  {
    SupportPreference show("1");
    Open();
    EXPECT_EQ(supportDialogs, 2);
  }
  {
    SupportPreference hide("0");
    Open();
    EXPECT_EQ(supportDialogs, 2);
    ClickButton(*form->Button3);  // the Donate button still opens it
    EXPECT_TRUE(PumpUntil([&] { return supportDialogs == 3; }));
  }
}

TEST_F(CatalogueFixture, AFailedLocationRecordEndsStartUpThereWithAnErrorBoxAndTheWindowStillOpens) {
  app.MakeFolder("VidudIvu\\Games");
  SupportPreference missing(nullptr);
  TCatalogueContext context = Context();
  context.UserRegistry = reinterpret_cast<HKEY>(0x7654);  // no such key handle

  TfrmFlash& window = OpenWith(context);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Error creating system registry entry");
  EXPECT_EQ(boxes.boxes[0].flags & MB_ICONMASK, UINT(MB_ICONSTOP));
  EXPECT_EQ(supportDialogs, 0) << "the steps after the failure are skipped";
  EXPECT_TRUE(IsWindowVisible(window.Handle()));
  EXPECT_EQ(window.Label4->Caption(), "[ 1 ]") << "the steps before it stay done";
}

TEST_F(CatalogueFixture, AStoredPreferenceOfAnotherTypeIsReportedAndStartUpGoesOn) {
  HKEY support;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Orvane\\Support", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &support, nullptr);
  const DWORD one = 1;
  RegSetValueExA(support, "45", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  TfrmFlash& window = Open();
  RegDeleteValueA(support, "45");
  RegCloseKey(support);

  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Invalid data type for '45'");
  EXPECT_EQ(supportDialogs, 0);
  EXPECT_TRUE(IsWindowVisible(window.Handle()));
}

TEST_F(CatalogueFixture, AMovieOnTheCommandLinePlaysAsTheWindowShows) {
  TfrmFlash& window = Open({"C:\\Some Folder\\a movie.swf", "ignored.swf"});
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].movie, "C:\\Some Folder\\a movie.swf");
  EXPECT_EQ(plays[0].quality, "High");
  EXPECT_TRUE(window.FromCommandLine);
  EXPECT_EQ(window.MoviePath, "C:\\Some Folder\\a movie.swf");

  Open();
  EXPECT_FALSE(form->FromCommandLine);
  EXPECT_EQ(plays.size(), 1u);
}

TEST_F(CatalogueFixture, DroppedFilesPlayOneAfterAnotherInDropOrder) {
  TfrmFlash& window = Open();
  EXPECT_TRUE(GetWindowLongA(window.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  const std::string longName = "C:\\" + std::string(250, 'x') + ".swf";  // longer than any fixed buffer
  SendMessageA(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\one.swf", "D:\\two.SWF", longName})), 0);
  ASSERT_EQ(plays.size(), 3u);
  EXPECT_EQ(plays[0].movie, "C:\\one.swf");
  EXPECT_EQ(plays[1].movie, "D:\\two.SWF");
  EXPECT_EQ(plays[2].movie, longName);
  EXPECT_EQ(window.MoviePath, longName);
  EXPECT_TRUE(Categories().empty()) << "dropped files are not added to the catalogue";
}

TEST_F(CatalogueFixture, HelpButtonShowsTheExactHelpTextInAnInformationBox) {
  TfrmFlash& window = Open();
  ClickButton(*window.Button5);
  ASSERT_TRUE(PumpUntil([&] { return boxes.boxes.size() == 1; }));
  EXPECT_EQ(boxes.boxes[0].title, "Information");
  EXPECT_EQ(boxes.boxes[0].text,
            "<< How to use \"VELMORA\" >>\r"
            "1. Create a Folder inside \"VidudIvu\" to make a \"New Category\"\r"
            "2. Put your .SWF File Collection into \"VidudIvu\\YourCategory\"\r"
            "3. \"Velmora\" will automatically Read SWF Files inside that Folder\r"
            "\r"
            "I've put some SWF files inside \"VidudIvu\" Folder, so you can learn how to use this Program easily.");
  EXPECT_EQ(boxes.boxes[0].flags & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(boxes.boxes[0].owner, window.Handle());
}

TEST_F(CatalogueFixture, LinkPicturesOpenTheirStoredAddressAndTheDateLabelOpensTheProgramFolder) {
  TfrmFlash& window = Open();
  ClickAt(window.Handle(), window.FB28->Left() + 14, window.FB28->Top() + 14);
  ClickAt(window.Handle(), window.TW28->Left() + 14, window.TW28->Top() + 14);
  DoubleClickAt(window.Handle(), window.Label7->Left() + 130, window.Label7->Top() + 5);
  ASSERT_TRUE(PumpUntil([&] { return shell.executed.size() == 3; }));

  EXPECT_EQ(shell.executed[0].file, window.FB28->HelpKeyword());
  EXPECT_EQ(shell.executed[1].file, window.TW28->HelpKeyword());
  EXPECT_NE(shell.executed[0].file, shell.executed[1].file);
  EXPECT_EQ(shell.executed[0].file.rfind("https://", 0), 0u);
  EXPECT_EQ(shell.executed[2].file, app.Path());
  for (const auto& call : shell.executed) {
    EXPECT_EQ(call.owner, window.Handle());
    EXPECT_EQ(call.verb, "");
    EXPECT_EQ(call.parameters, "");
    EXPECT_EQ(call.directory, "");
    EXPECT_EQ(call.show, SW_SHOW);
  }
}

TEST_F(CatalogueFixture, IconDoubleClickOpensASecondCatalogueWindowThatRunsItsOwnStartUp) {
  app.MakeFolder("VidudIvu\\Games");
  SupportPreference missing(nullptr);
  TfrmFlash& window = OpenAsProgram();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window.Handle()) != 0; }));
  ASSERT_EQ(supportDialogs, 1);
  RegDeleteTreeA(registry, "Orvane");

  DoubleClickAt(window.Handle(), window.Icon->Left() + 16, window.Icon->Top() + 16);
  ASSERT_TRUE(PumpUntil([&] { return window.SecondWindow() && IsWindowVisible(window.SecondWindow()->Handle()); }));
  TfrmFlash& second = *window.SecondWindow();
  EXPECT_NE(second.Handle(), window.Handle());
  EXPECT_EQ(GetWindow(second.Handle(), GW_OWNER), window.Handle());
  EXPECT_EQ(second.FCList->Items().Items(), std::vector<std::string>{"Games"});
  EXPECT_EQ(supportDialogs, 2) << "closing the first dialog stored \"1\", so it shows again";
  EXPECT_EQ(ReadString(registry, "Orvane", "45"), ExePath()) << "the location is recorded again";

  second.Close();
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(second.Handle()); }));
  EXPECT_TRUE(IsWindowVisible(window.Handle()));
  EXPECT_FALSE(Application().Terminated());
}

TEST_F(CatalogueFixture, ASecondWindowOfACommandLineStartPlaysTheMovieAgainAndItsCloseEndsTheProgram) {
  SupportPreference hide("0");
  TfrmFlash& window = Open({"C:\\again.swf"});
  ASSERT_EQ(plays.size(), 1u);
  // As in the program, the first catalogue window is the application's main form.
  Application().SetMainForm(&window);

  DoubleClickAt(window.Handle(), window.Icon->Left() + 16, window.Icon->Top() + 16);
  ASSERT_TRUE(PumpUntil([&] { return plays.size() == 2; }));
  EXPECT_EQ(plays[1].movie, "C:\\again.swf");
  ASSERT_NE(window.SecondWindow(), nullptr);
  EXPECT_TRUE(window.SecondWindow()->FromCommandLine);
  EXPECT_TRUE(Application().Terminated()) << "the main window's movie came from the command line";
}

TEST_F(CatalogueFixture, FileAssociationButtonRegistersSwfFilesAndSaysSoEachTime) {
  HKEY existing = nullptr;
  const bool hadAssociation = RegOpenKeyExA(HKEY_CLASSES_ROOT, ".swf", 0, KEY_READ, &existing) == ERROR_SUCCESS;
  if (existing) RegCloseKey(existing);
  TfrmFlash& window = Open();

  ClickButton(*window.Button6);
  ClickButton(*window.Button6);  // existing keys are simply written again
  ASSERT_TRUE(PumpUntil([&] { return boxes.boxes.size() == 2; }));
  std::vector<std::string> values = {ReadString(HKEY_CLASSES_ROOT, ".swf", ""),
                                     ReadString(HKEY_CLASSES_ROOT, "swffile", ""),
                                     ReadString(HKEY_CLASSES_ROOT, "swffile\\DefaultIcon", ""),
                                     ReadString(HKEY_CLASSES_ROOT, "swffile\\Shell\\Open", ""),
                                     ReadString(HKEY_CLASSES_ROOT, "swffile\\Shell\\Open\\Command", "")};
  if (!hadAssociation) {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".swf");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "swffile");
  }
  EXPECT_EQ(values, (std::vector<std::string>{"swffile", "SWF Files", ExePath(), "Open",
                                              "\"" + ExePath() + "\" \"%1\""}));
  for (const auto& box : boxes.boxes) {
    EXPECT_EQ(box.text, "Now \"Velmora\" is your Default Flash Player");
    EXPECT_EQ(box.title, "Information");
  }
}
