#pragma once
// A catalogue window on a collection of its own: each test builds the folder tree it needs
// under the temp folder, records the program location under a registry key of its own,
// installs the Flash control into a system folder of its own, and sees message boxes and
// shell calls instead of real ones. Movies play in real playback windows with the test Flash
// control standing in for the genuine one; the support and About dialogs are real too. A
// watcher notes each of these modal windows and closes it as a user would.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "TestFlashControl.h"
#include "app/Donate_Main.h"
#include "app/Velmora_About.h"
#include "app/Velmora_Main.h"
#include "app/Velmora_Play.h"
#include "support/ModalWatcher.h"
#include "support/TempFolder.h"

namespace vm::test {

// Sets (or, for nullptr, removes) HKEY_CURRENT_USER\Orvane\Support "45" and puts back what was
// there when it goes; without a value it only puts back.
class SupportPreference {
 public:
  SupportPreference();
  explicit SupportPreference(const char* value);
  ~SupportPreference();
  SupportPreference(const SupportPreference&) = delete;
  SupportPreference& operator=(const SupportPreference&) = delete;
  static void Set(const char* value);

 private:
  std::optional<std::string> saved_;
};

// Which Flash control the playback windows create.
enum class FlashControlKind {
  StandIn,    // the scriptable test control, registered in-process before the window opens
  Installed,  // the control the catalogue installed from its resource, registered in-process
              // from the installed file by RegisterInstalledControl()
};

class CatalogueFixture : public ::testing::Test {
 protected:
  // One playback window as it stood on screen.
  struct Play {
    std::string movie, quality, caption;
    RECT bounds{};
    TestFlashControl* flash = nullptr;  // the control this window's player created, if any
  };

  explicit CatalogueFixture(FlashControlKind kind = FlashControlKind::StandIn);
  ~CatalogueFixture() override;

  // Makes the control file installed into the fixture's system folder the one that
  // CoCreateInstance finds for the Flash control's class, in this process only (the
  // registry of the test prefix stays as it was). Call after Open().
  void RegisterInstalledControl();

  // The fixture folder plays the program folder: AppFolder is this, VidudIvu lies below.
  TempFolder app;
  // Stands in for the system folder that the Flash control is installed into.
  TempFolder system;
  TMessageBoxRecorder boxes;
  TShellRecorder shell;
  HKEY registry = nullptr;  // stands in for HKEY_CURRENT_USER in the location record
  std::string registryPath;

  std::vector<Play> plays;
  int supportDialogs = 0;
  int aboutDialogs = 0;
  // Looks at each window before the watcher closes it (may close it itself).
  std::function<void(TPlaySWF&)> onPlayback;
  std::function<void(TfrmDonate&)> onSupportDialog;
  std::function<void(TfrmVelmoraAbout&)> onAbout;

  std::unique_ptr<TfrmFlash> form;

  std::string ExePath() const { return app.Path() + "Velmora.exe"; }
  std::string Category(const std::string& name) const { return app.Path() + "VidudIvu\\" + name; }
  std::string SystemFolder() const { return system.Path().substr(0, system.Path().size() - 1); }
  TCatalogueContext Context(std::vector<std::string> arguments = {});

  // Creates the catalogue window (running FormCreate), shows it (FormShow) and pumps until
  // it is on screen.
  TfrmFlash& Open(std::vector<std::string> arguments = {});
  TfrmFlash& OpenWith(TCatalogueContext context);
  // As the program starts: the window becomes the application's main form before it shows,
  // so closing a command-line movie ends the application.
  TfrmFlash& OpenAsProgram(std::vector<std::string> arguments = {});

  // A user's clicks and keys.
  void ClickCategory(const std::string& name);
  int RowOf(const std::wstring& name) const;  // -1 when absent
  void ClickRow(int row);
  void DoubleClickRow(int row);
  void ClickHeader(int column);
  void PressGridKey(WORD virtualKey, char typed = 0);
  void ClickButton(class TButton& button);

  std::vector<std::wstring> Names() const;     // column 0, top to bottom
  std::vector<std::wstring> Sizes() const;     // column 1
  std::vector<std::string> Categories() const;

 private:
  void Watch(TForm& window);

  class InstalledControl;

  SupportPreference preference_;
  FlashControlKind kind_;
  std::unique_ptr<TestFlashControl::Registration> flashRegistration_;
  std::unique_ptr<InstalledControl> installedControl_;
  ModalWatcher watcher_{[this](TForm& window) { Watch(window); }};
};

}  // namespace vm::test
