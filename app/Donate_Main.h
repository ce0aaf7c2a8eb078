#pragma once
// The support dialog: tells the user that the program is free and invites a donation. The
// caller names the program (help keyword, substituted for "%s" in the texts) and gives its
// product number (tag); the dialog keeps the user's "show at start" choice per user under
// HKEY_CURRENT_USER\Orvane\Support in a value named after the number, so one key serves
// several programs.

#include <string>

#include "framework/Form.h"

namespace vm {

class TBevel;
class TButton;
class TCheckBox;
class TImage;
class TLabel;

// The support preference's key under HKEY_CURRENT_USER.
inline constexpr char kSupportPreferenceKey[] = "Orvane\\Support";

// A product number as the preference names it: decimal, two digits at least (7 gives "07").
std::string ProductNumberText(int number);

// Whether a stored preference asks for the dialog: "1", or nothing stored.
bool SupportDialogWanted(const std::string& preference);

class TfrmDonate : public TForm {
 public:
  explicit TfrmDonate(TComponent* owner);
  std::string ClassName() const override { return "TfrmDonate"; }

  TLabel* Label11 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TBevel* Bevel1 = nullptr;
  TImage* imgDonate = nullptr;
  TButton* Button2 = nullptr;
  TButton* Button1 = nullptr;
  TImage* Image2 = nullptr;
  TImage* Image3 = nullptr;
  TCheckBox* chkShow = nullptr;
  TImage* Image1 = nullptr;

  void FormShow(TComponent* Sender);
  void FormClose(TComponent* Sender, TCloseAction& Action);
  void Button1Click(TComponent* Sender);
  void Button2Click(TComponent* Sender);
  // Shared by the three picture buttons (imgDonate, Image2, Image3).
  void imgDonateClick(TComponent* Sender);
  void imgDonateMouseDown(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void imgDonateMouseUp(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
};

}  // namespace vm
