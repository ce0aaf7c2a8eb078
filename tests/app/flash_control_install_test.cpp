// Installing the Flash control the program carries: nothing when its file is there; otherwise
// the folders, a byte-exact copy of the resource and one hidden registration command with the
// path unquoted; waiting for the registration to show; a file that cannot be written; and the
// catalogue's start-up doing it in the system folder it is given.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/FlashControlInstaller.h"
#include "framework/Errors.h"
#include "framework/Label.h"
#include "framework/ResourceStream.h"
#include "support/CatalogueFixture.h"

using namespace vm;
using namespace vm::test;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string CarriedControl() {
  TResourceStream resource(GetModuleHandleA(nullptr), "SHOCKWAVEOCX");
  return resource.ReadAll();
}

// Records the show command of every program started, besides what TShellRecorder keeps.
class ProgramRecorder : public TShellRecorder {
 public:
  UINT RunProgram(const std::string& commandLine, UINT show) override {
    shows.push_back(show);
    return TShellRecorder::RunProgram(commandLine, show);
  }
  std::vector<UINT> shows;
};

class FlashControlInstall : public ::testing::Test {
 protected:
  TFlashControlSetup Installation() {
    TFlashControlSetup setup;
    setup.SystemFolder = folder;
    setup.RegistrationWaitMs = 2000;
    setup.ControlRegistered = [this] {
      ++registrationChecks;
      return registeredAfterCommand >= 0 && !shell.commands.empty() && registrationChecks > registeredAfterCommand;
    };
    return setup;
  }

  TempFolder system;
  const std::string folder = system.Path().substr(0, system.Path().size() - 1);
  const std::string file = system.Path() + "macromed\\flash\\flash.ocx";
  ProgramRecorder shell;
  int registrationChecks = 0;
  int registeredAfterCommand = 0;  // checks after the command that still say "not yet"; -1: never
};

TEST_F(FlashControlInstall, APresentControlFileIsLeftAloneAndNothingIsStarted) {
  system.MakeFolder("macromed\\flash");
  system.MakeFileWithBytes("macromed\\flash\\flash.ocx", "an older control");
  InstallFlashControl(Installation());
  EXPECT_EQ(ReadFile(file), "an older control");
  EXPECT_TRUE(shell.commands.empty());
  EXPECT_EQ(registrationChecks, 0);
}

TEST_F(FlashControlInstall, AMissingControlIsWrittenFromTheResourceIntoNewFoldersAndRegisteredHidden) {
  const std::string carried = CarriedControl();
  ASSERT_GT(carried.size(), 4096u) << "the carried file is the build's flash.ocx";
  ASSERT_EQ(carried.substr(0, 2), "MZ");
  InstallFlashControl(Installation());
  EXPECT_TRUE(IsFolder(system.Path() + "macromed"));
  EXPECT_TRUE(IsFolder(system.Path() + "macromed\\flash"));
  EXPECT_EQ(ReadFile(file), carried) << "a byte-exact copy";
  ASSERT_EQ(shell.commands.size(), 1u);
  EXPECT_EQ(shell.commands[0], "regsvr32 /s " + file) << "the path goes unquoted";
  EXPECT_EQ(shell.shows, std::vector<UINT>{SW_HIDE});
}

TEST_F(FlashControlInstall, ExistingFoldersDoNotStopTheInstallation) {
  system.MakeFolder("macromed\\flash");
  system.MakeFileWithBytes("macromed\\flash\\other.dll", "x");
  InstallFlashControl(Installation());
  EXPECT_EQ(ReadFile(file), CarriedControl());
  EXPECT_EQ(shell.commands.size(), 1u);
}

TEST_F(FlashControlInstall, TheInstallationWaitsUntilTheControlShowsAsRegistered) {
  registeredAfterCommand = 3;  // the check before the command, then two more "not yet"
  InstallFlashControl(Installation());
  EXPECT_EQ(registrationChecks, 4) << "it returned at the first check that found the control";
}

TEST_F(FlashControlInstall, AControlRegisteredBeforeIsNotWaitedFor) {
  TFlashControlSetup setup = Installation();
  setup.ControlRegistered = [this] { return ++registrationChecks > 0; };
  InstallFlashControl(setup);
  EXPECT_EQ(registrationChecks, 1);
  EXPECT_EQ(shell.commands.size(), 1u) << "the carried control is still registered";
}

TEST_F(FlashControlInstall, ARegistrationThatNeverShowsEndsTheWaitAtItsLimit) {
  registeredAfterCommand = -1;
  TFlashControlSetup setup = Installation();
  setup.RegistrationWaitMs = 100;
  const ULONGLONG start = GetTickCount64();
  InstallFlashControl(setup);
  EXPECT_GE(GetTickCount64() - start, 100u);
  EXPECT_GT(registrationChecks, 2);
}

TEST_F(FlashControlInstall, AFileThatCannotBeCreatedRaisesTheErrorAndRegistersNothing) {
  system.MakeFolder("macromed\\flash\\flash.ocx");  // a folder where the file belongs
  try {
    InstallFlashControl(Installation());
    FAIL() << "expected an error";
  } catch (const EStreamError& error) {
    const std::string expected = "Cannot create file \"" + file + "\". ";
    EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected);
    EXPECT_GT(std::string(error.what()).size(), expected.size()) << "the system's reason follows";
  }
  EXPECT_TRUE(shell.commands.empty());
}

TEST_F(FlashControlInstall, AModuleWithoutTheControlRaisesAnErrorAndLeavesNoFileBehind) {
  TFlashControlSetup setup = Installation();
  setup.ResourceModule = GetModuleHandleA("kernel32.dll");
  EXPECT_THROW(InstallFlashControl(setup), EStreamError);
  EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(shell.commands.empty());
}

TEST(FlashControlRegistration, IsTheControlClassWithAnInProcessServer) {
  const std::string root = "Software\\VelmoraTests\\classes-" + std::to_string(GetCurrentProcessId());
  HKEY classes = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, root.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes, nullptr),
            ERROR_SUCCESS);
  const std::string classKey = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
  HKEY key = nullptr;
  RegCreateKeyExA(classes, classKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegCloseKey(key);
  const bool classOnly = FlashControlRegisteredIn(classes);
  RegCreateKeyExA(classes, (classKey + "\\InprocServer32").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegCloseKey(key);
  const bool withServer = FlashControlRegisteredIn(classes);
  RegCloseKey(classes);
  RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
  EXPECT_FALSE(classOnly);
  EXPECT_TRUE(withServer);
}

TEST_F(CatalogueFixture, StartUpInstallsTheControlIntoTheGivenSystemFolder) {
  Open();
  const std::string installed = system.Path() + "macromed\\flash\\flash.ocx";
  EXPECT_EQ(ReadFile(installed), CarriedControl());
  EXPECT_EQ(shell.commands, std::vector<std::string>{"regsvr32 /s " + installed});
  Open();  // a second start finds it there
  EXPECT_EQ(shell.commands.size(), 1u);
}

TEST_F(CatalogueFixture, AControlThatCannotBeWrittenEndsStartUpWithTheErrorAndTheWindowStillOpens) {
  app.MakeFolder("VidudIvu\\Games");
  SupportPreference missing(nullptr);
  system.MakeFolder("macromed\\flash\\flash.ocx");
  TfrmFlash& window = Open();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text.rfind("Cannot create file \"" + system.Path() + "macromed\\flash\\flash.ocx\". ", 0), 0u)
      << boxes.boxes[0].text;
  EXPECT_EQ(boxes.boxes[0].flags & MB_ICONMASK, UINT(MB_ICONSTOP));
  EXPECT_EQ(supportDialogs, 0) << "the steps after the failure are skipped";
  HKEY location = nullptr;
  EXPECT_NE(RegOpenKeyExA(registry, "Orvane", 0, KEY_READ, &location), ERROR_SUCCESS) << "so is the location record";
  if (location) RegCloseKey(location);
  EXPECT_TRUE(IsWindowVisible(window.Handle()));
  EXPECT_EQ(window.Label4->Caption(), "[ 1 ]") << "the steps before it stay done";
}

}  // namespace
