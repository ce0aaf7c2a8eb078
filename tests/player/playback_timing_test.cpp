// The frame clock against real message-loop time: the movie keeps its frame rate, and a stall
// is caught up only a few frames' worth.
#include <gtest/gtest.h>

#include "PlaybackTestSupport.h"
#include "player/ocx/FrameClock.h"
#include "GuiTest.h"

using namespace vm::flash;
using namespace vm::flash::test;

namespace {

double SecondsSince(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Frames advanced while the message loop runs for `seconds`.
std::uint64_t FramesPlayedIn(double frameRate, double seconds) {
    RecordingOwner owner;
    MoviePlayback playback(owner);
    std::string error;
    EXPECT_TRUE(playback.Load(MovingBoxMovie(20, frameRate).bytes(), error));
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    vm::test::PumpUntil([&] { return SecondsSince(start) >= seconds; }, static_cast<DWORD>(seconds * 1000) + 5000);
    return playback.FramesAdvanced();
}

TEST(PlaybackTiming, TwelveFramesPerSecondForTenSeconds) {
    const auto frames = static_cast<double>(FramesPlayedIn(12, 10));
    EXPECT_NEAR(frames, 120, 1.0);
}

TEST(PlaybackTiming, ThirtyFramesPerSecondForTenSeconds) {
    const auto frames = static_cast<double>(FramesPlayedIn(30, 10));
    EXPECT_NEAR(frames, 300, 1.0);
}

TEST(PlaybackTiming, AStallIsCaughtUpOnlyAFewFrames) {
    FrameClock clock([](int) {});
    clock.Start(1000);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    while (SecondsSince(start) < 0.05) {
    }  // the GUI thread busy elsewhere for 50 frames' time
    EXPECT_EQ(clock.FramesDue(), FrameClock::kMaxFramesPerTick);
    EXPECT_LE(clock.FramesDue(), 1);  // counting started again: no backlog left
}

TEST(PlaybackTiming, ZeroFrameRatePlaysAtTheDefault) {
    FrameClock clock([](int) {});
    clock.Start(0);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    while (SecondsSince(start) < 0.2) {
    }
    // 0.2 s at 12 fps: two frames, neither none nor a flood.
    EXPECT_EQ(clock.FramesDue(), 2);
}

} // namespace
