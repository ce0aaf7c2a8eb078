#include "app/Velmora_About.h"

#include "framework/Button.h"
#include "framework/GroupBox.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/ShellService.h"

namespace vm {

TfrmVelmoraAbout::TfrmVelmoraAbout(TComponent* owner) : TForm(owner) {
  RegisterHandler("Button1Click", &TfrmVelmoraAbout::Button1Click);
  RegisterHandler("Image2Click", &TfrmVelmoraAbout::Image2Click);
  RegisterHandler("Label5Click", &TfrmVelmoraAbout::Label5Click);
  ReadDefinition();
  Label1 = &Component<TLabel>("Label1");
  Label2 = &Component<TLabel>("Label2");
  Label3 = &Component<TLabel>("Label3");
  GroupBox1 = &Component<TGroupBox>("GroupBox1");
  Label4 = &Component<TLabel>("Label4");
  Image1 = &Component<TImage>("Image1");
  Label6 = &Component<TLabel>("Label6");
  Label7 = &Component<TLabel>("Label7");
  Label8 = &Component<TLabel>("Label8");
  Label5 = &Component<TLabel>("Label5");
  Image2 = &Component<TImage>("Image2");
  Button1 = &Component<TButton>("Button1");
  CreateComplete();
}

void TfrmVelmoraAbout::Button1Click(TComponent*) { Close(); }

void TfrmVelmoraAbout::Image2Click(TComponent* Sender) {
  if (Sender) ShellService().Execute(Handle(), "", Sender->HelpKeyword(), "", "", SW_SHOW);
}

void TfrmVelmoraAbout::Label5Click(TComponent* Sender) {
  if (auto* link = dynamic_cast<TLabel*>(Sender)) ShellService().Execute(Handle(), "", link->Caption(), "", "", SW_SHOW);
}

}  // namespace vm
