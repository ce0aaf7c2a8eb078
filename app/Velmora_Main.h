#pragma once
// The catalogue window: the categories of the collection beside the executable, the movies of
// the selected category with their sizes, the preview of the selected movie, and the buttons
// around them. Its creation runs the program's start-up sequence.

#include <windows.h>

#include <string>
#include <vector>

#include "app/FlashControlInstaller.h"
#include "framework/Form.h"

namespace vm {

class TButton;
class TComboBox;
class TImage;
class TLabel;
class TListBox;
class TNextGrid;
class TPanel;

// What the catalogue window takes from its surroundings: how the program was started, where
// it records its location and where the Flash control is installed. The product reads it from
// the process; tests hand the window a fixture folder, a command line, a registry key and a
// system folder of their own. A second catalogue window gets a copy.
struct TCatalogueContext {
  std::string ExePath;                    // full path of the executable
  std::vector<std::string> Arguments;     // command-line arguments after the program name
  HKEY UserRegistry = HKEY_CURRENT_USER;  // where the program records its location
  TFlashControlSetup FlashControl;        // where CopyOCX installs the control

  static TCatalogueContext FromProcess();
};

class TfrmFlash : public TForm {
 public:
  explicit TfrmFlash(TComponent* owner);
  TfrmFlash(TComponent* owner, TCatalogueContext context);
  std::string ClassName() const override { return "TfrmFlash"; }

  // Controls of the window definition.
  TImage* back = nullptr;
  TImage* Icon = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* cpr = nullptr;
  TLabel* Label7 = nullptr;
  TImage* FB28 = nullptr;
  TImage* TW28 = nullptr;
  TButton* Button4 = nullptr;
  TButton* Button3 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label3 = nullptr;
  TListBox* FCList = nullptr;
  TNextGrid* FL = nullptr;
  TPanel* Panel1 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label8 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TButton* Button6 = nullptr;
  TButton* Button5 = nullptr;
  TLabel* Label9 = nullptr;
  TComboBox* ComboBox2 = nullptr;

  // The program folder with a trailing backslash: root of every catalogue path.
  std::string AppFolder;
  // The movie PLAY plays; empty when there is nothing to play.
  std::string MoviePath;
  // Set when this window took a movie from the command line.
  bool FromCommandLine = false;

  // Start-up and show.
  void FormCreate(TComponent* Sender);
  void FormShow(TComponent* Sender);

  // Catalogue.
  void GetCat(TComponent* Sender = nullptr);
  void FCListClick(TComponent* Sender);
  void GetFileList(const std::string& category);
  void FLClick(TComponent* Sender);
  void FLDblClick(TComponent* Sender);
  void FLKeyPress(TComponent* Sender, char& Key);
  void FLKeyUp(TComponent* Sender, WORD& Key, TShiftState Shift);

  // Playing.
  void Button1Click(TComponent* Sender);
  void PlayFile(const std::string& path);

  // The other buttons, links and the second window.
  void Button3Click2(TComponent* Sender);
  void Button4Click(TComponent* Sender);
  void Button5Click(TComponent* Sender);
  void Button6Click(TComponent* Sender);
  void BClick(TComponent* Sender);
  void Label7DblClick(TComponent* Sender);
  void IconDblClick(TComponent* Sender);

  // Files dropped on the window play one after another.
  void WMDropFiles(TMessage& Message);
  void WndProc(TMessage& Message) override;

  // Installs the Flash control when it is missing from the system folder.
  void CopyOCX();

  // The text of the help message (lines joined by a single carriage return).
  static std::string HelpText();
  // The second catalogue window, once the icon was double-clicked.
  TfrmFlash* SecondWindow() const { return secondWindow_; }

 private:
  void RegisterHandlers();
  void FindControls();
  void RecordProgramLocation();
  static std::string Counter(int count);
  static std::string PreviewPathFor(const std::string& moviePath);

  TCatalogueContext context_;
  TfrmFlash* secondWindow_ = nullptr;
};

// Registers the component classes the window definition names beyond the framework's own.
void RegisterCatalogueClasses();

// The program entry's body: COM for the Flash control, application object, catalogue window as
// main form, message loop.
int RunVelmora();

}  // namespace vm
