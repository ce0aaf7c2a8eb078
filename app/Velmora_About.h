#pragma once
// The About dialog: the program's name and date, the maker with its logo, and links to the
// maker's home page, forum and donation page.

#include <string>

#include "framework/Form.h"

namespace vm {

class TButton;
class TGroupBox;
class TImage;
class TLabel;

class TfrmVelmoraAbout : public TForm {
 public:
  explicit TfrmVelmoraAbout(TComponent* owner);
  std::string ClassName() const override { return "TfrmVelmoraAbout"; }

  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TLabel* Label4 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label7 = nullptr;
  TLabel* Label8 = nullptr;
  TLabel* Label5 = nullptr;
  TImage* Image2 = nullptr;
  TButton* Button1 = nullptr;

  void Button1Click(TComponent* Sender);
  // Opens the donation page the picture stores.
  void Image2Click(TComponent* Sender);
  // Shared by the two link labels: opens the address the label shows.
  void Label5Click(TComponent* Sender);
};

}  // namespace vm
