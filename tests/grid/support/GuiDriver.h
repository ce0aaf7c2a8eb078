#pragma once
// Drives windows the way a user would, for GUI tests: posts mouse and key messages,
// pumps the application's messages until a condition holds (never sleeps), and reads
// a window's pixels back.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace gridtest {

// Handles messages until `done` holds or the cap is reached; returns `done()`.
// Between rounds it waits for the next message (with a short timeout so conditions
// that change without a message are still seen).
bool pumpUntil(const std::function<bool()>& done, int maxRounds = 500);
// Handles every message already waiting, paint messages included.
void pumpPending();

void postClick(HWND wnd, int x, int y);
// The messages of a double click: press, release, double-click press, release.
void postDoubleClick(HWND wnd, int x, int y);
void postMouseDown(HWND wnd, int x, int y);
void postMouseMove(HWND wnd, int x, int y, bool leftDown);
void postMouseUp(HWND wnd, int x, int y);
// Key press and release; the message loop translates the press into its character.
// Handles the press before queueing the release.
void postKey(HWND wnd, WORD virtualKey);

// The client area as 0x00RRGGBB pixels, read from the window's device context.
class ClientPixels {
public:
    explicit ClientPixels(HWND wnd);
    int width() const { return width_; }
    int height() const { return height_; }
    // COLORREF layout (0x00BBGGRR) so results compare with GetSysColor directly.
    COLORREF at(int x, int y) const;
    int count(const RECT& area, const std::function<bool(COLORREF)>& which) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

bool isDark(COLORREF colour);

} // namespace gridtest
