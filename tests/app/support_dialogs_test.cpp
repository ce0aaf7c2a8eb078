// The support dialog and the About dialog: every control at its place with its text, the
// program's name put into the support dialog's texts, the per-user "show at start" preference
// read and written under the product number, the picture buttons' press effect, and every
// link opened through the shell with its own address.

#include <gtest/gtest.h>

#include <memory>

#include "framework/Application.h"
#include "framework/Bevel.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/Font.h"
#include "framework/GroupBox.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/RegistryKey.h"
#include "support/CatalogueFixture.h"

using namespace vm;
using namespace vm::test;

namespace {

struct Placement {
  TControl* control;
  int left, top, width, height;  // -1: sized by its text
  std::string caption;
};

void ExpectPlacements(const std::vector<Placement>& placements) {
  for (const Placement& p : placements) {
    SCOPED_TRACE(p.control->Name());
    EXPECT_EQ(p.control->Left(), p.left);
    EXPECT_EQ(p.control->Top(), p.top);
    if (p.width >= 0) EXPECT_EQ(p.control->Width(), p.width);
    if (p.height >= 0) EXPECT_EQ(p.control->Height(), p.height);
    EXPECT_EQ(p.control->Caption(), p.caption);
  }
}

std::optional<std::string> StoredPreference(const std::string& name) {
  TRegistryKey key;
  if (key.Open(HKEY_CURRENT_USER, kSupportPreferenceKey) != ERROR_SUCCESS) return std::nullopt;
  return key.ReadString(name);
}

void RemovePreference(const std::string& name) {
  TRegistryKey key;
  if (key.Open(HKEY_CURRENT_USER, kSupportPreferenceKey, KEY_READ | KEY_WRITE) == ERROR_SUCCESS) key.DeleteValue(name);
}

class SupportDialog : public ::testing::Test {
 protected:
  // The dialog as the catalogue sets it up, shown without modality so the test can look on.
  TfrmDonate& Show(int productNumber = 45) {
    dialog = std::make_unique<TfrmDonate>(nullptr);
    dialog->SetHelpKeyword("Velmora");
    dialog->SetTag(productNumber);
    dialog->Show();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog->Handle()) != 0; }));
    return *dialog;
  }
  void CloseDialog() {
    dialog->Close();
    PumpPending();
  }

  SupportPreference keep;
  TMessageBoxRecorder boxes;
  TShellRecorder shell;
  std::unique_ptr<TfrmDonate> dialog;
};

TEST_F(SupportDialog, EveryControlSitsAtItsPlaceWithTheProgramsNameInItsTexts) {
  TfrmDonate& d = Show();
  EXPECT_EQ(d.Caption(), "Support \"Velmora\"");
  EXPECT_EQ(d.ClientWidth(), 422);
  EXPECT_EQ(d.ClientHeight(), 246);
  EXPECT_EQ(d.Color(), clWhite);
  const LONG_PTR style = GetWindowLongPtrA(d.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  ExpectPlacements({
      {d.Label11, 16, 16, 393, 33, ""},
      {d.Label1, 16, 56, 393, 57,
       "However, if you think this Software is useful && valuable and you want to support \"Orvane\" through "
       "monetary donation, you can encourage to do so. Your donation will help the development going and make "
       "\"Velmora\" and other Orvane Software better."},
      {d.Label2, 16, 128, -1, -1, "Thanks"},
      {d.Bevel1, 16, 152, 393, 2, ""},
      {d.imgDonate, 16, 168, 62, 31, ""},
      {d.Button2, 120, 168, 89, 25, "Donate"},
      {d.Button1, 216, 168, 89, 25, "Close"},
      {d.Image2, 344, 168, 57, 18, ""},
      {d.Image3, 344, 192, 57, 20, ""},
      {d.chkShow, 16, 224, 393, 17, "Show this dialog when \"Velmora\" starts"},
      {d.Image1, 0, 0, 423, 249, ""},
  });
  EXPECT_EQ(d.Label11->FontColor(), clGreen);
  EXPECT_TRUE(d.Label11->FontStyle() & fsBold);
  EXPECT_TRUE(d.Label1->WordWrap() && d.Label11->WordWrap());
  EXPECT_EQ(d.Bevel1->Shape(), TBevelShape::bsTopLine);
  EXPECT_EQ(d.chkShow->Color(), TColor(16514043));
  EXPECT_FALSE(d.Image1->Visible());
  EXPECT_EQ(d.imgDonate->Hint(), "Click Here to Send your Donation !!!");
  EXPECT_TRUE(d.imgDonate->ShowHint());
  for (TImage* picture : {d.imgDonate, d.Image2, d.Image3}) {
    SCOPED_TRACE(picture->Name());
    EXPECT_EQ(picture->Cursor(), crHandPoint);
    EXPECT_EQ(picture->Tag(), picture->Left()) << "its rest position";
    EXPECT_EQ(picture->HelpContext(), picture->Top());
    EXPECT_FALSE(picture->Picture().Empty()) << "a picture of our own";
  }
  EXPECT_EQ(d.Button2->TabOrder(), 0);
  EXPECT_EQ(d.Button1->TabOrder(), 1);
  EXPECT_EQ(d.chkShow->TabOrder(), 2);
}

TEST_F(SupportDialog, WithNothingStoredTheBoxIsTickedAndClosingStoresOne) {
  SupportPreference::Set(nullptr);
  TfrmDonate& d = Show();
  EXPECT_TRUE(d.chkShow->Checked());
  CloseDialog();
  EXPECT_EQ(StoredPreference("45"), "1");
}

TEST_F(SupportDialog, ClearingTheBoxAndClosingStoresZeroWhichTheNextShowReads) {
  SupportPreference::Set("1");
  Show().chkShow->SetChecked(false);
  CloseDialog();
  EXPECT_EQ(StoredPreference("45"), "0");
  EXPECT_FALSE(Show().chkShow->Checked());
}

TEST_F(SupportDialog, ThePreferenceIsNamedByTheProductNumberWithTwoDigitsAtLeast) {
  Show(7).chkShow->SetChecked(false);
  CloseDialog();
  EXPECT_EQ(StoredPreference("07"), "0");
  // A three-digit number is stored under the name it is read from, not cut to "12".
  Show(123).chkShow->SetChecked(false);
  CloseDialog();
  EXPECT_EQ(StoredPreference("123"), "0");
  EXPECT_EQ(StoredPreference("12"), std::nullopt);
  EXPECT_FALSE(Show(123).chkShow->Checked());
  CloseDialog();
  RemovePreference("07");
  RemovePreference("123");

  SupportPreference::Set("1");
  Show(0).chkShow->SetChecked(false);
  CloseDialog();
  EXPECT_EQ(StoredPreference("45"), "1") << "a dialog without a product number stores nothing";
  EXPECT_EQ(StoredPreference("00"), std::nullopt);
}

TEST_F(SupportDialog, AStoredPreferenceOfAnotherTypeIsReported) {
  HKEY support = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, kSupportPreferenceKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &support, nullptr);
  const DWORD one = 1;
  RegSetValueExA(support, "45", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegCloseKey(support);
  Show();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Invalid data type for '45'");
}

TEST_F(SupportDialog, PicturesAndTheDonateButtonOpenTheirOwnAddresses) {
  TfrmDonate& d = Show();
  ClickControl(*d.imgDonate);
  ClickControl(*d.Image2);
  ClickControl(*d.Image3);
  ClickControl(*d.Button2);
  ASSERT_EQ(shell.executed.size(), 4u);
  const std::vector<TComponent*> sources = {d.imgDonate, d.Image2, d.Image3, d.Button2};
  for (std::size_t i = 0; i < sources.size(); ++i) {
    SCOPED_TRACE(sources[i]->Name());
    EXPECT_EQ(shell.executed[i].file, sources[i]->HelpKeyword());
    EXPECT_EQ(shell.executed[i].file.rfind("https://", 0), 0u);
    EXPECT_EQ(shell.executed[i].owner, d.Handle());
    EXPECT_EQ(shell.executed[i].verb, "");
    EXPECT_EQ(shell.executed[i].parameters, "");
    EXPECT_EQ(shell.executed[i].directory, "");
    EXPECT_EQ(shell.executed[i].show, i < 3 ? SW_SHOWNORMAL : SW_SHOW);
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(shell.executed[i].file, shell.executed[j].file);
  }
}

TEST_F(SupportDialog, APressedPictureSinksTwoPixelsDownLeftAndReturnsWhereverTheMouseIsReleased) {
  TfrmDonate& d = Show();
  for (TImage* picture : {d.imgDonate, d.Image3}) {
    SCOPED_TRACE(picture->Name());
    const int left = picture->Left(), top = picture->Top();
    MouseDownAt(d.Handle(), left + 10, top + 8);
    EXPECT_EQ(picture->Left(), left - 2);
    EXPECT_EQ(picture->Top(), top + 2);
    MouseMoveTo(d.Handle(), 250, 100, true);
    MouseUpAt(d.Handle(), 250, 100);  // released away from the picture
    EXPECT_EQ(picture->Left(), left);
    EXPECT_EQ(picture->Top(), top);
  }
  EXPECT_TRUE(shell.executed.empty()) << "a press released elsewhere is no click";
}

using AboutDialog = SupportDialog;

TEST_F(AboutDialog, EveryControlSitsAtItsPlaceWithItsText) {
  TfrmVelmoraAbout about(nullptr);
  EXPECT_EQ(about.Caption(), "About");
  EXPECT_EQ(about.ClientWidth(), 346);
  EXPECT_EQ(about.ClientHeight(), 352);
  ExpectPlacements({
      {about.Label1, 112, 0, -1, -1, "Velmora"},
      {about.Label2, 102, 41, -1, -1, "Last Updated : October 2013"},
      {about.GroupBox1, 8, 61, 329, 257, " Developed By "},
      {about.Image1, 112, 56, 98, 96, ""},
      {about.Label6, 52, 168, -1, -1, "Orvane Homepage :"},
      {about.Label8, 52, 184, -1, -1, "Orvane Forum         :"},
      {about.Image2, 8, 216, 62, 31, ""},
      {about.Button1, 128, 216, 75, 25, "Close"},
  });
  EXPECT_EQ(about.Label4->Left(), 88);
  EXPECT_EQ(about.Label4->Top(), 24);
  EXPECT_FALSE(about.Label4->Caption().empty()) << "the maker's name";
  EXPECT_EQ(about.Label3->Left(), 84);
  EXPECT_EQ(about.Label3->Top(), 325);
  EXPECT_FALSE(about.Label3->Caption().empty()) << "the maker's notice";
  for (TControl* inGroup : std::vector<TControl*>{about.Label4, about.Image1, about.Label6, about.Label7, about.Label8,
                                                  about.Label5, about.Image2, about.Button1})
    EXPECT_EQ(inGroup->Parent(), about.GroupBox1) << inGroup->Name();
  EXPECT_EQ(about.Label1->FontName(), "Comic Sans MS");
  EXPECT_EQ(about.Label1->FontHeight(), -27);
  EXPECT_EQ(about.Label4->FontName(), "Arial");
  EXPECT_EQ(about.Label4->FontHeight(), -16);
  EXPECT_TRUE(about.Label4->FontStyle() & fsBold);
  EXPECT_TRUE(about.GroupBox1->FontStyle() & fsBold);
  for (TLabel* link : {about.Label7, about.Label5}) {
    SCOPED_TRACE(link->Name());
    EXPECT_EQ(link->Left(), 159);
    EXPECT_EQ(link->Caption().rfind("https://", 0), 0u) << "it shows its own address";
    EXPECT_EQ(link->FontColor(), clBlue);
    EXPECT_TRUE(link->FontStyle() & fsUnderline);
    EXPECT_EQ(link->Cursor(), crHandPoint);
  }
  EXPECT_EQ(about.Label7->Top(), 168);
  EXPECT_EQ(about.Label5->Top(), 184);
  EXPECT_FALSE(about.Image1->Picture().Empty());
  EXPECT_EQ(about.Image2->Cursor(), crHandPoint);
}

TEST_F(AboutDialog, LinksOpenTheAddressesTheyShowAndThePictureItsStoredOne) {
  TfrmVelmoraAbout about(nullptr);
  about.Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(about.Handle()) != 0; }));
  ClickControl(*about.Label7);
  ClickControl(*about.Label5);
  ClickControl(*about.Image2);
  ASSERT_EQ(shell.executed.size(), 3u);
  EXPECT_EQ(shell.executed[0].file, about.Label7->Caption());
  EXPECT_EQ(shell.executed[1].file, about.Label5->Caption());
  EXPECT_NE(shell.executed[0].file, shell.executed[1].file);
  EXPECT_EQ(shell.executed[2].file, about.Image2->HelpKeyword());
  EXPECT_EQ(shell.executed[2].file.rfind("https://", 0), 0u);
  for (const auto& call : shell.executed) {
    EXPECT_EQ(call.owner, about.Handle());
    EXPECT_EQ(call.verb, "");
    EXPECT_EQ(call.show, SW_SHOW);
  }
}

// ---- from the catalogue window -----------------------------------------------------------

TEST_F(CatalogueFixture, TheDonateButtonShowsTheSupportDialogForVelmoraNumber45) {
  SupportPreference hide("0");
  TfrmFlash& window = Open();
  EXPECT_EQ(supportDialogs, 0);
  onSupportDialog = [&](TfrmDonate& d) {
    EXPECT_EQ(d.HelpKeyword(), "Velmora");
    EXPECT_EQ(d.Tag(), 45);
    EXPECT_EQ(d.Caption(), "Support \"Velmora\"");
    EXPECT_FALSE(d.chkShow->Checked()) << "the stored choice";
    EXPECT_FALSE(IsWindowEnabled(window.Handle())) << "modal";
    ClickControl(*d.Button1);  // "Close"
  };
  ClickButton(*window.Button3);
  ASSERT_TRUE(PumpUntil([&] { return supportDialogs == 1; }));
  EXPECT_EQ(FindWindowA("TfrmDonate", nullptr), nullptr) << "destroyed after its modal show";
}

TEST_F(CatalogueFixture, ClearingTheBoxAtTheFirstStartKeepsTheDialogAwayAtTheNext) {
  SupportPreference missing(nullptr);
  onSupportDialog = [](TfrmDonate& d) {
    EXPECT_TRUE(d.chkShow->Checked());
    ClickControl(*d.chkShow);
  };
  Open();
  ASSERT_EQ(supportDialogs, 1);
  EXPECT_EQ(StoredPreference("45"), "0");
  Open();
  EXPECT_EQ(supportDialogs, 1) << "the next start shows no dialog";
}

TEST_F(CatalogueFixture, TheAboutButtonShowsTheAboutDialogCentredOnTheMainWindow) {
  SupportPreference hide("0");
  TfrmFlash& window = OpenAsProgram();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window.Handle()) != 0; }));
  RECT main{}, about{};
  onAbout = [&](TfrmVelmoraAbout& d) {
    GetWindowRect(window.Handle(), &main);
    GetWindowRect(d.Handle(), &about);
    ClickControl(*d.Button1);
  };
  ClickButton(*window.Button4);
  ASSERT_TRUE(PumpUntil([&] { return aboutDialogs == 1; }));
  EXPECT_LE(std::abs((main.left + main.right) - (about.left + about.right)), 1);
  EXPECT_LE(std::abs((main.top + main.bottom) - (about.top + about.bottom)), 1);
  EXPECT_EQ(FindWindowA("TfrmVelmoraAbout", nullptr), nullptr);
}

}  // namespace
