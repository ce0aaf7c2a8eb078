#pragma once
// A catalogue window on a collection of its own: each test builds the folder tree it needs
// under the temp folder, records the program location under a registry key of its own, and
// sees message boxes, shell calls, plays and support-dialog requests instead of real windows.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Velmora_Main.h"
#include "GuiTest.h"
#include "support/TempFolder.h"

namespace vm::test {

class CatalogueFixture : public ::testing::Test {
 protected:
  struct Play {
    std::string movie, quality;
  };

  CatalogueFixture();
  ~CatalogueFixture() override;

  // The fixture folder plays the program folder: AppFolder is this, VidudIvu lies below.
  TempFolder app;
  TMessageBoxRecorder boxes;
  TShellRecorder shell;
  std::vector<Play> plays;
  int supportDialogs = 0;
  HKEY registry = nullptr;  // stands in for HKEY_CURRENT_USER in the location record
  std::string registryPath;
  std::unique_ptr<TfrmFlash> form;

  std::string ExePath() const { return app.Path() + "Velmora.exe"; }
  std::string Category(const std::string& name) const { return app.Path() + "VidudIvu\\" + name; }
  TCatalogueContext Context(std::vector<std::string> arguments = {});

  // Creates the catalogue window (running FormCreate), shows it (FormShow) and pumps until
  // it is on screen.
  TfrmFlash& Open(std::vector<std::string> arguments = {});
  TfrmFlash& OpenWith(TCatalogueContext context);

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
};

}  // namespace vm::test
