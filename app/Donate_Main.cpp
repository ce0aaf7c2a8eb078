#include "app/Donate_Main.h"

#include <string_view>

#include "app/RegistryHelpers.h"
#include "framework/Bevel.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/ShellService.h"

namespace vm {
namespace {

// Every occurrence of "%s", case as it stands.
std::string Substitute(std::string text, const std::string& value) {
  constexpr std::string_view placeholder = "%s";
  for (std::size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size()))
    text.replace(at, placeholder.size(), value);
  return text;
}

// A picture button rests at (tag, help context) and sits 2 pixels down and left while pressed.
void PlacePictureButton(TComponent* sender, bool pressed) {
  auto* picture = dynamic_cast<TControl*>(sender);
  if (!picture) return;
  const int shift = pressed ? 2 : 0;
  picture->SetBounds(picture->Tag() - shift, picture->HelpContext() + shift, picture->Width(), picture->Height());
}

}  // namespace

std::string ProductNumberText(int number) {
  const std::string digits = std::to_string(number);
  return number >= 0 && number < 10 ? "0" + digits : digits;
}

bool SupportDialogWanted(const std::string& preference) { return preference.empty() || preference == "1"; }

TfrmDonate::TfrmDonate(TComponent* owner) : TForm(owner) {
  RegisterHandler("FormShow", &TfrmDonate::FormShow);
  RegisterHandler("FormClose", &TfrmDonate::FormClose);
  RegisterHandler("Button1Click", &TfrmDonate::Button1Click);
  RegisterHandler("Button2Click", &TfrmDonate::Button2Click);
  RegisterHandler("imgDonateClick", &TfrmDonate::imgDonateClick);
  RegisterHandler("imgDonateMouseDown", &TfrmDonate::imgDonateMouseDown);
  RegisterHandler("imgDonateMouseUp", &TfrmDonate::imgDonateMouseUp);
  ReadDefinition();
  Label11 = &Component<TLabel>("Label11");
  Label1 = &Component<TLabel>("Label1");
  Label2 = &Component<TLabel>("Label2");
  Bevel1 = &Component<TBevel>("Bevel1");
  imgDonate = &Component<TImage>("imgDonate");
  Button2 = &Component<TButton>("Button2");
  Button1 = &Component<TButton>("Button1");
  Image2 = &Component<TImage>("Image2");
  Image3 = &Component<TImage>("Image3");
  chkShow = &Component<TCheckBox>("chkShow");
  Image1 = &Component<TImage>("Image1");
  CreateComplete();
}

void TfrmDonate::FormShow(TComponent*) {
  const std::string& product = HelpKeyword();
  SetCaption(Substitute(Caption(), product));
  Label1->SetCaption(Substitute(Label1->Caption(), product));
  Label11->SetCaption(Substitute(Label11->Caption(), product));
  chkShow->SetCaption(Substitute(chkShow->Caption(), product));
  chkShow->SetChecked(SupportDialogWanted(ReadUserString(kSupportPreferenceKey, ProductNumberText(Tag()))));
}

void TfrmDonate::FormClose(TComponent*, TCloseAction&) {
  if (Tag() == 0) return;
  // Written under the same name it is read from: a name cut to two characters would file a
  // three-digit product's choice under another product and never find it again.
  CreateRegistryKey(HKEY_CURRENT_USER, "Orvane");
  CreateRegistryKey(HKEY_CURRENT_USER, kSupportPreferenceKey);
  WriteUserString(kSupportPreferenceKey, ProductNumberText(Tag()), chkShow->Checked() ? "1" : "0");
}

void TfrmDonate::Button1Click(TComponent*) { Close(); }

void TfrmDonate::Button2Click(TComponent* Sender) {
  if (Sender) ShellService().Execute(Handle(), "", Sender->HelpKeyword(), "", "", SW_SHOW);
}

void TfrmDonate::imgDonateClick(TComponent* Sender) {
  if (Sender) ShellService().Execute(Handle(), "", Sender->HelpKeyword(), "", "", SW_SHOWNORMAL);
}

void TfrmDonate::imgDonateMouseDown(TComponent* Sender, TMouseButton, TShiftState, int, int) {
  PlacePictureButton(Sender, true);
}

void TfrmDonate::imgDonateMouseUp(TComponent* Sender, TMouseButton, TShiftState, int, int) {
  PlacePictureButton(Sender, false);
}

}  // namespace vm
