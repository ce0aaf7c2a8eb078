#pragma once
// Helpers for GUI tests that drive framework windows in-process: send what a user's mouse and
// keyboard would cause, pump messages until a condition holds (a generous cap, never a sleep
// used as synchronisation), read back a window's pixels, and stand in for message boxes and
// the shell.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Control.h"
#include "framework/MessageBoxes.h"
#include "framework/ShellService.h"

namespace vm::test {

// Handles waiting messages until `done` returns true; false when the cap ran out first.
bool PumpUntil(const std::function<bool()>& done, DWORD capMilliseconds = 5000);
// Handles every message already waiting.
void PumpPending();

// Mouse input at a point in the window's client coordinates, through SendMessage, as the
// system would deliver it (move, down, up; a double click is down, up, dblclk, up).
void ClickAt(HWND wnd, int x, int y);
void DoubleClickAt(HWND wnd, int x, int y);
void MouseDownAt(HWND wnd, int x, int y);
void MouseMoveTo(HWND wnd, int x, int y, bool leftDown);
void MouseUpAt(HWND wnd, int x, int y);
// The window that receives mouse input for a control and the control's centre in that
// window's client coordinates (a graphic control's parent window).
HWND MouseWindowOf(TControl& control, POINT& centre);
void ClickControl(TControl& control);
void DoubleClickControl(TControl& control);

// A key press posted to the thread's queue (key down, the character, key up) and pumped, so
// the application's dialog-key handling sees it like a real key stroke.
void PressKey(HWND focus, WORD virtualKey, char character = 0);

// Pixels of a window (non-client area included with wholeWindow), 0x00RRGGBB.
struct TCapturedImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * width + x) & 0xFFFFFF; }
    // How many pixels inside the rectangle have exactly this colour.
    int Count(const RECT& r, std::uint32_t rgb) const;
};
TCapturedImage CaptureWindow(HWND wnd, bool wholeWindow = false);
// COLORREF (0x00BBGGRR) to the captured form (0x00RRGGBB).
std::uint32_t ToRgb(COLORREF c);

// Records every message box instead of showing it, and answers with `answer`.
class TMessageBoxRecorder : public IMessageBoxService {
public:
    struct Box { HWND owner; std::string text, title; UINT flags; };
    explicit TMessageBoxRecorder(int answer = IDOK);
    ~TMessageBoxRecorder() override;
    int Show(HWND owner, const std::string& text, const std::string& title, UINT flags) override;
    std::vector<Box> boxes;
    int answer;
    // Called while a box "is open" (e.g. to check what is disabled); may be empty.
    std::function<void(const Box&)> onShow;
private:
    IMessageBoxService* previous_;
};

// Records ShellExecute / WinExec calls instead of running anything.
class TShellRecorder : public IShellService {
public:
    struct Call { HWND owner; std::string verb, file, parameters, directory; int show; };
    TShellRecorder();
    ~TShellRecorder() override;
    std::intptr_t Execute(HWND owner, const std::string& verb, const std::string& file,
                          const std::string& parameters, const std::string& directory, int show) override;
    UINT RunProgram(const std::string& commandLine, UINT show) override;
    std::vector<Call> executed;
    std::vector<std::string> commands;
    std::intptr_t executeResult = 42;
    UINT runResult = 33;
private:
    IShellService* previous_;
};

} // namespace vm::test
