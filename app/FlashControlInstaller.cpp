#include "app/FlashControlInstaller.h"

#include <objbase.h>

#include "flashhost/ShockwaveFlash.h"
#include "framework/Errors.h"
#include "framework/FileStream.h"
#include "framework/ResourceStream.h"
#include "framework/ShellService.h"
#include "framework/Text.h"

namespace vm {
namespace {

constexpr char kResourceName[] = "SHOCKWAVEOCX";
constexpr DWORD kRegistrationPollMs = 20;

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) RaiseLastOSError("GetSystemDirectory");
  return std::string(folder, length);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteControlFile(HMODULE module, const std::string& path) {
  TResourceStream resource(module, kResourceName);
  try {
    TFileStream file(path, fmCreate);
    file.CopyFrom(resource, 0);
  } catch (...) {
    // A cut-off control would pass for an installed one at every later start.
    DeleteFileA(path.c_str());
    throw;
  }
}

void AwaitRegistration(const std::function<bool()>& registered, DWORD waitMs) {
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  while (!registered() && GetTickCount64() < deadline) Sleep(kRegistrationPollMs);
}

}  // namespace

std::string FlashControlFile(const std::string& systemFolder) {
  return systemFolder + "\\macromed\\flash\\flash.ocx";
}

bool FlashControlRegisteredIn(HKEY classesRoot) {
  wchar_t classId[40] = {};
  StringFromGUID2(CLSID_ShockwaveFlash, classId, 40);
  const std::string key = "CLSID\\" + WideToAnsi(classId) + "\\InprocServer32";
  HKEY server = nullptr;
  if (RegOpenKeyExA(classesRoot, key.c_str(), 0, KEY_READ, &server) != ERROR_SUCCESS) return false;
  RegCloseKey(server);
  return true;
}

void InstallFlashControl(const TFlashControlSetup& setup) {
  const std::string system = setup.SystemFolder.empty() ? SystemFolder() : setup.SystemFolder;
  const std::string file = FlashControlFile(system);
  if (FileExists(file)) return;

  CreateDirectoryA((system + "\\macromed").c_str(), nullptr);
  CreateDirectoryA((system + "\\macromed\\flash").c_str(), nullptr);
  WriteControlFile(setup.ResourceModule ? setup.ResourceModule : GetModuleHandleA(nullptr), file);

  const std::function<bool()> registered =
      setup.ControlRegistered ? setup.ControlRegistered : [] { return FlashControlRegisteredIn(HKEY_CLASSES_ROOT); };
  const bool registeredBefore = registered();
  // The path goes unquoted, as the registration command has always been given; a system
  // folder has no blanks in its path.
  ShellService().RunProgram("regsvr32 /s " + file, SW_HIDE);
  if (!registeredBefore) AwaitRegistration(registered, setup.RegistrationWaitMs);
}

}  // namespace vm
