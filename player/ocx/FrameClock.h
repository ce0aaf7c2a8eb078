#pragma once
// The movie's heartbeat on the GUI thread: a timer of a message-only window asks how many frames
// are due by a monotonic clock and hands them out, so late timer messages catch up instead of
// slowing the movie down. A long stall (a modal loop, a debugger) is not made up for: after a
// few frames in one tick the clock starts counting again from now.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace vm::flash {

class FrameClock {
public:
    // Called on the GUI thread with the number of frames to advance (at least 1).
    using TickHandler = std::function<void(int frames)>;
    static constexpr int kMaxFramesPerTick = 3;
    static constexpr double kDefaultFrameRate = 12;

    explicit FrameClock(TickHandler onTick);
    ~FrameClock();
    FrameClock(const FrameClock&) = delete;
    FrameClock& operator=(const FrameClock&) = delete;

    // Starts counting frames from now at `framesPerSecond` (0 or nonsense: the default rate).
    void Start(double framesPerSecond);
    void Stop();
    bool Running() const { return running_; }

    // The frames due now that have not been handed out (the timer calls this; so can tests).
    int FramesDue();

private:
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnTimer();
    static std::int64_t Now();

    TickHandler onTick_;
    HWND window_ = nullptr;
    bool running_ = false;
    double rate_ = kDefaultFrameRate;
    std::int64_t origin_ = 0;        // performance-counter ticks when frame counting began
    std::uint64_t handedOut_ = 0;    // frames handed out since origin_
};

} // namespace vm::flash
