#pragma once
// The Flash control the program carries (resource SHOCKWAVEOCX) is installed into the system
// folder and registered at start when its file is missing there. The registration tool runs on
// its own; the installation waits, up to a limit, until the control's class shows up as
// registered, so that the first play can already create the control.

#include <windows.h>

#include <functional>
#include <string>

namespace vm {

struct TFlashControlSetup {
  // The system folder without a trailing backslash; empty: the system's own, read at install.
  std::string SystemFolder;
  // The module that carries SHOCKWAVEOCX; null: the executable.
  HMODULE ResourceModule = nullptr;
  // How long an installation waits for the registration to show, in milliseconds.
  DWORD RegistrationWaitMs = 10000;
  // Whether the Flash control's class is registered; empty: asks HKEY_CLASSES_ROOT.
  std::function<bool()> ControlRegistered;
};

// <system folder>\macromed\flash\flash.ocx
std::string FlashControlFile(const std::string& systemFolder);

// Whether <classesRoot>\CLSID\{the Flash control's class}\InprocServer32 exists.
bool FlashControlRegisteredIn(HKEY classesRoot);

// Does nothing when the control file exists. Otherwise creates the folders (failures ignored),
// writes the file from the resource, starts "regsvr32 /s <file>" hidden through the shell
// service and, when the class was not registered before, waits for its registration. Raises
// "Cannot create file "<file>". <reason>" when the file cannot be written; no partial file is
// left behind and nothing is registered then.
void InstallFlashControl(const TFlashControlSetup& setup);

}  // namespace vm
