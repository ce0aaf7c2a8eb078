// Drives the real Velmora.exe as a user would, in a Wine prefix that has never seen it, and
// checks what the program leaves on the machine: the Flash control installed and registered
// at the first start, nothing installed at the second, the support dialog's preference, the
// playback window of a command-line start and the end of the program when it closes, a
// control that is not registered, and a control file that cannot be written.
//
// Usage: velmora_e2e VELMORA.EXE MOVIE.SWF
// Prints one line per check ("ok ..." or "FAILED ..."), ends with status 0 when all passed.

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "flashhost/ShockwaveFlash.h"

using vm::CLSID_ShockwaveFlash;

namespace {

int failures = 0;

void Check(bool passed, const std::string& what) {
  std::printf("%s %s\n", passed ? "ok" : "FAILED", what.c_str());
  std::fflush(stdout);
  if (!passed) ++failures;
}

std::string Narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = L"";
  GetWindowTextW(window, text, 1024);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM visitor) {
  return (*reinterpret_cast<const std::function<bool(HWND)>*>(visitor))(window) ? TRUE : FALSE;
}

// Calls `visit` for each top-level window, or each child of `parent`, while it returns true.
void ForEachWindow(HWND parent, const std::function<bool(HWND)>& visit) {
  if (parent)
    EnumChildWindows(parent, VisitWindow, reinterpret_cast<LPARAM>(&visit));
  else
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

// ---- the program under test ------------------------------------------------------------------

class Program {
 public:
  Program(const std::wstring& exe, const std::wstring& argument) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!argument.empty()) commandLine += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info_) != 0;
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return started_; }

  // The first visible top-level window of the program that `wanted` accepts, waiting for it.
  HWND WaitForWindow(const std::function<bool(HWND)>& wanted, DWORD capMs = 30000) const {
    const DWORD start = GetTickCount();
    do {
      if (HWND found = FindWindowOf(wanted)) return found;
      if (Ended()) return nullptr;
      Sleep(50);
    } while (GetTickCount() - start < capMs);
    return nullptr;
  }
  HWND FindWindowOf(const std::function<bool(HWND)>& wanted) const {
    HWND found = nullptr;
    ForEachWindow(nullptr, [&](HWND window) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner != info_.dwProcessId || !IsWindowVisible(window) || !wanted(window)) return true;
      found = window;
      return false;
    });
    return found;
  }

  bool Ended() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
  // The exit code once the program ended within the cap; nothing if it still runs.
  std::optional<DWORD> WaitForExit(DWORD capMs = 30000) const {
    if (WaitForSingleObject(info_.hProcess, capMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

std::function<bool(HWND)> CaptionIs(const std::wstring& caption) {
  return [caption](HWND window) { return WindowText(window) == caption; };
}
std::function<bool(HWND)> CaptionStartsWith(const std::wstring& prefix) {
  return [prefix](HWND window) { return WindowText(window).rfind(prefix, 0) == 0; };
}
std::function<bool(HWND)> IsMessageBox() {
  return [](HWND window) { return ClassOf(window) == L"#32770"; };
}
// The catalogue window; the program's message boxes carry its caption too.
std::function<bool(HWND)> IsCatalogue() {
  return [](HWND window) { return WindowText(window) == L"Velmora" && ClassOf(window) != L"#32770"; };
}

// The first child window whose text is `text`.
HWND ChildWithText(HWND parent, const std::wstring& text) {
  HWND found = nullptr;
  ForEachWindow(parent, [&](HWND window) {
    if (WindowText(window) != text) return true;
    found = window;
    return false;
  });
  return found;
}

// Every text shown by static children of a message box, joined.
std::wstring MessageBoxText(HWND box) {
  std::wstring all;
  ForEachWindow(box, [&](HWND window) {
    if (ClassOf(window) == L"Static") all += WindowText(window);
    return true;
  });
  return all;
}

// ---- what the program leaves on the machine -------------------------------------------------

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = L"";
  GetSystemDirectoryW(folder, MAX_PATH);
  return folder;
}

std::wstring ControlFile() { return SystemFolder() + L"\\macromed\\flash\\flash.ocx"; }

const std::wstring kClassKey = L"CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";

std::optional<FILETIME> FileWritten(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return data.ftLastWriteTime;
}

std::optional<FILETIME> KeyWritten(const std::wstring& path) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  FILETIME written{};
  const LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &written);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return written;
}

std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& path, const wchar_t* name) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return std::nullopt;
  return std::wstring(value);
}

bool Same(const std::optional<FILETIME>& a, const std::optional<FILETIME>& b) {
  return a && b && CompareFileTime(&*a, &*b) == 0;
}

HRESULT CreateFlashControl() {
  IUnknown* control = nullptr;
  const HRESULT hr =
      CoCreateInstance(CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&control));
  if (control) control->Release();
  CoFreeUnusedLibrariesEx(0, 0);
  return hr;
}

HRESULT UnregisterControl(const std::wstring& file) {
  HMODULE module = LoadLibraryW(file.c_str());
  if (!module) return HRESULT_FROM_WIN32(GetLastError());
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto unregister = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer")));
  const HRESULT hr = unregister ? unregister() : E_NOTIMPL;
  FreeLibrary(module);
  return hr;
}

// ---- the starts -----------------------------------------------------------------------------

const wchar_t kSupportDialog[] = L"Support \"Velmora\"";
const wchar_t kPreferenceKey[] = L"Orvane\\Support";

// Whether the program ends within the cap with exit code 0; says otherwise what happened.
bool EndsNormally(const Program& program) {
  const auto code = program.WaitForExit();
  if (!code) std::printf("   the program still runs\n");
  else if (*code != 0) std::printf("   exit code %lu\n", *code);
  return code && *code == 0;
}

void CloseCatalogue(Program& program, HWND catalogue, const std::string& start) {
  PostMessageW(catalogue, WM_CLOSE, 0, 0);
  Check(EndsNormally(program), start + ": closing the catalogue ends the program normally");
}

// First start in a fresh prefix: the control is installed and registered, the support dialog
// shows (no preference yet); the user unchecks "Show this dialog" and closes it.
void FirstStart(const std::wstring& exe, std::optional<FILETIME>& fileTime, std::optional<FILETIME>& keyTime) {
  Check(!FileWritten(ControlFile()), "before the first start no control file is installed");
  Check(!KeyWritten(kClassKey), "before the first start the control is not registered");
  Check(!RegistryText(HKEY_CURRENT_USER, kPreferenceKey, L"45"), "before the first start no support preference exists");

  Program program(exe, L"");
  Check(program.Started(), "first start: Velmora starts");
  HWND support = program.WaitForWindow(CaptionIs(kSupportDialog));
  Check(support != nullptr, "first start: the support dialog shows while no preference is stored");
  if (support) {
    HWND show = ChildWithText(support, L"Show this dialog when \"Velmora\" starts");
    Check(show && SendMessageW(show, BM_GETCHECK, 0, 0) == BST_CHECKED, "first start: its check box starts checked");
    if (show) SendMessageW(show, BM_CLICK, 0, 0);
    if (HWND close = ChildWithText(support, L"Close")) SendMessageW(close, BM_CLICK, 0, 0);
  }
  HWND catalogue = program.WaitForWindow(IsCatalogue());
  Check(catalogue != nullptr, "first start: the catalogue window shows");
  Check(RegistryText(HKEY_CURRENT_USER, kPreferenceKey, L"45") == L"0",
        "first start: unchecking and closing stores \"0\" under value \"45\"");

  fileTime = FileWritten(ControlFile());
  keyTime = KeyWritten(kClassKey);
  Check(fileTime.has_value(), "first start: the control file is in the system folder: " + Narrow(ControlFile()));
  Check(RegistryText(HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", nullptr) == ControlFile(),
        "first start: the control's class is registered to the installed file");
  Check(CreateFlashControl() == S_OK, "first start: CoCreateInstance creates the installed control");
  if (catalogue) CloseCatalogue(program, catalogue, "first start");
}

// Second start: nothing installed or registered again, no support dialog.
void SecondStart(const std::wstring& exe, const std::optional<FILETIME>& fileTime,
                 const std::optional<FILETIME>& keyTime) {
  Sleep(1100);  // a write now would show as a later time even on a coarse clock
  Program program(exe, L"");
  HWND catalogue = program.WaitForWindow(IsCatalogue());
  Check(catalogue != nullptr, "second start: the catalogue window shows");
  Sleep(500);  // time for a dialog that should not come
  Check(!program.FindWindowOf(CaptionIs(kSupportDialog)), "second start: the support dialog does not show");
  Check(Same(FileWritten(ControlFile()), fileTime), "second start: the control file is not written again");
  Check(Same(KeyWritten(kClassKey), keyTime), "second start: the control is not registered again");
  if (catalogue) CloseCatalogue(program, catalogue, "second start");
}

// A movie on the command line: its playback window at 0, 0, screen width x (height - 50),
// named after the movie; closing it ends the program. No message box on the way.
void CommandLineStart(const std::wstring& exe, const std::wstring& movie, const std::string& start) {
  Program program(exe, movie);
  const std::wstring caption = L"Play - " + movie;
  HWND playback = program.WaitForWindow(CaptionStartsWith(L"Play - "));
  Check(playback && WindowText(playback) == caption, start + ": the playback window is captioned \"" + Narrow(caption) + "\"");
  if (!playback) return;
  RECT bounds{};
  GetWindowRect(playback, &bounds);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  char where[160];
  std::snprintf(where, sizeof where, "%ld, %ld, %ld x %ld on a %d x %d screen", bounds.left, bounds.top,
                bounds.right - bounds.left, bounds.bottom - bounds.top, width, height);
  Check(bounds.left == 0 && bounds.top == 0 && bounds.right == width && bounds.bottom == height - 50,
        start + ": the playback window occupies " + where);
  Check(!program.FindWindowOf(IsMessageBox()), start + ": no message box shows");
  Sleep(300);  // a few frames of the movie
  Check(!program.Ended(), start + ": Velmora keeps playing");
  PostMessageW(playback, WM_CLOSE, 0, 0);
  Check(EndsNormally(program), start + ": closing the playback window ends the program normally");
}

// The control file is a folder Velmora cannot replace: the error box names the file, then the
// catalogue window opens and nothing is registered.
void UnwritableControl(const std::wstring& exe) {
  DeleteFileW(ControlFile().c_str());
  Check(CreateDirectoryW(ControlFile().c_str(), nullptr) != 0, "unwritable: a folder stands where the control file goes");
  Program program(exe, L"");
  HWND box = program.WaitForWindow(IsMessageBox());
  const std::wstring expected = L"Cannot create file \"" + ControlFile() + L"\".";
  const std::wstring text = box ? MessageBoxText(box) : L"";
  Check(text.rfind(expected, 0) == 0, "unwritable: the error box reads \"" + Narrow(text) + "\"");
  if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
  HWND catalogue = program.WaitForWindow(IsCatalogue());
  Check(catalogue != nullptr, "unwritable: the catalogue window still opens");
  Check(!KeyWritten(kClassKey), "unwritable: nothing is registered");
  if (catalogue) CloseCatalogue(program, catalogue, "unwritable");
  RemoveDirectoryW(ControlFile().c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmora_e2e VELMORA.EXE MOVIE.SWF\n");
    return 2;
  }
  const std::wstring exe = argv[1], movie = argv[2];
  CoInitialize(nullptr);

  std::optional<FILETIME> fileTime, keyTime;
  FirstStart(exe, fileTime, keyTime);
  SecondStart(exe, fileTime, keyTime);
  CommandLineStart(exe, movie, "command line");

  Check(UnregisterControl(ControlFile()) == S_OK && !KeyWritten(kClassKey), "unregistered: the control is unregistered");
  Check(CreateFlashControl() == REGDB_E_CLASSNOTREG, "unregistered: CoCreateInstance reports the class as not registered");
  CommandLineStart(exe, movie, "unregistered");

  UnwritableControl(exe);

  CoUninitialize();
  std::printf("%d check(s) failed\n", failures);
  return failures == 0 ? 0 : 1;
}
