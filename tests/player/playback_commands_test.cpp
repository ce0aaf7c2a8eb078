// The timeline commands of the control and pointer input over buttons.
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "PlaybackTestSupport.h"

using namespace vm::flash;
using namespace vm::flash::test;

namespace {

class PlaybackCommands : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(playback.Load(MovingBoxMovie(5, 60).bytes(), error));
    }
    RecordingOwner owner;
    MoviePlayback playback{owner};
};

TEST_F(PlaybackCommands, GotoAndStepStopAndClamp) {
    ASSERT_TRUE(playback.Playing());
    const int changes = owner.stateChanges;
    playback.GotoFrame(3);
    EXPECT_EQ(playback.FrameNum(), 3);
    EXPECT_FALSE(playback.Playing());
    EXPECT_GT(owner.stateChanges, changes);
    playback.GotoFrame(99);
    EXPECT_EQ(playback.FrameNum(), 4);
    playback.Forward();  // already at the end
    EXPECT_EQ(playback.FrameNum(), 4);
    playback.GotoFrame(-7);
    EXPECT_EQ(playback.FrameNum(), 0);
    playback.Back();  // already at the start
    EXPECT_EQ(playback.FrameNum(), 0);
    playback.Forward();
    playback.Forward();
    EXPECT_EQ(playback.FrameNum(), 2);
    playback.Back();
    EXPECT_EQ(playback.FrameNum(), 1);

    playback.Play();
    EXPECT_TRUE(playback.Playing());
    playback.Rewind();
    EXPECT_EQ(playback.FrameNum(), 0);
    EXPECT_FALSE(playback.Playing());
    // Stopped means stopped: the clock keeps ticking, the main timeline does not move.
    const auto advanced = playback.FramesAdvanced();
    ASSERT_TRUE(vm::test::PumpUntil([&] { return playback.FramesAdvanced() >= advanced + 3; }));
    EXPECT_EQ(playback.FrameNum(), 0);
}

TEST_F(PlaybackCommands, LoopingWrapsAndLoopOffStopsAtTheEnd) {
    int highest = 0;
    ASSERT_TRUE(vm::test::PumpUntil([&] {
        highest = std::max(highest, playback.FrameNum());
        return highest == 4 && playback.FrameNum() < 4;  // came round again
    }));
    EXPECT_TRUE(playback.Playing());

    playback.SetLoop(false);
    ASSERT_TRUE(vm::test::PumpUntil([&] { return !playback.Playing(); }));
    EXPECT_EQ(playback.FrameNum(), 4);
    const auto advanced = playback.FramesAdvanced();
    ASSERT_TRUE(vm::test::PumpUntil([&] { return playback.FramesAdvanced() >= advanced + 3; }));
    EXPECT_EQ(playback.FrameNum(), 4);
    EXPECT_FALSE(playback.Playing());

    playback.Play();  // from the end: starts over
    ASSERT_TRUE(vm::test::PumpUntil([&] { return playback.FrameNum() < 4; }));
}

TEST(PlaybackPlayingFlag, SetBeforeLoadingDecidesWhetherTheMovieStarts) {
    RecordingOwner owner;
    MoviePlayback playback(owner);
    playback.SetPlaying(false);
    std::string error;
    ASSERT_TRUE(playback.Load(MovingBoxMovie(5, 60).bytes(), error));
    EXPECT_FALSE(playback.Playing());
    const auto advanced = playback.FramesAdvanced();
    ASSERT_TRUE(vm::test::PumpUntil([&] { return playback.FramesAdvanced() >= advanced + 2; }));
    EXPECT_EQ(playback.FrameNum(), 0);
}

// A 200 x 100 stage with a 40 x 40 button at (50, 50); it shows another colour under the
// pointer and sends an FSCommand when released over it.
std::vector<uint8_t> ButtonMovie() {
    auto movie = swfw::Movie::pixels(6, 200, 100, 12);
    const uint16_t up = DefineBox(movie, 40, 40, {0, 0, 200, 255});
    const uint16_t over = DefineBox(movie, 40, 40, {250, 200, 0, 255});
    swfw::Button button;
    button.records.push_back({.up = true, .hitTest = true, .character = up, .depth = 1});
    button.records.push_back({.over = true, .down = true, .character = over, .depth = 2});
    button.actions.push_back({swfw::ButtonCondition::OverDownToOverUp, swfw::Actions().fsCommand("clicked", "yes")});
    const uint16_t id = movie.defineButton2(button);
    movie.place({.depth = 1, .character = id, .matrix = At(50, 50)});
    movie.doAction(swfw::Actions().stop());
    movie.showFrame();
    return movie.bytes();
}

TEST(PlaybackInput, AButtonUnderThePointerTakesTheEventsAndShowsTheHand) {
    RecordingOwner owner;
    MoviePlayback playback(owner);
    std::string error;
    ASSERT_TRUE(playback.Load(ButtonMovie(), error));
    playback.SetViewSize(400, 200);  // twice the stage: view pixels map back through the scale
    Dib dib(400, 200);
    ASSERT_TRUE(playback.Draw(dib.Dc(), RECT{0, 0, 400, 200}));

    EXPECT_FALSE(playback.MouseMove(20, 20));
    EXPECT_FALSE(playback.HandCursor());
    EXPECT_FALSE(playback.MouseMove(95, 95));  // stage (47.5, 47.5): just outside
    owner.rects.clear();
    EXPECT_TRUE(playback.MouseMove(120, 120));  // stage (60, 60)
    EXPECT_TRUE(playback.HandCursor());
    ASSERT_EQ(owner.rects.size(), 1u);  // the over state is drawn: the button's area in view pixels
    const RECT r = owner.rects[0];
    EXPECT_TRUE(r.left <= 100 && r.top <= 100 && r.right >= 180 && r.bottom >= 180 && r.right <= 190 && r.bottom <= 190)
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;

    EXPECT_TRUE(playback.MouseDown(120, 120));
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_TRUE(playback.MouseUp(120, 120));
    ASSERT_EQ(owner.commands.size(), 1u);
    EXPECT_EQ(owner.commands[0].first, L"clicked");

    playback.MouseLeave();
    EXPECT_FALSE(playback.HandCursor());
    EXPECT_FALSE(playback.MouseMove(300, 20));
}

} // namespace

namespace {

// An owner that does what a container may do from an FSCommand handler: load another movie,
// or run a message loop (a message box) while the movie waits.
class ReentrantOwner : public RecordingOwner {
public:
    void FSCommand(const std::wstring& command, const std::wstring& args) override {
        RecordingOwner::FSCommand(command, args);
        if (command == L"load") {
            std::string error;
            loaded = playback->Load(next, error);
        } else if (command == L"wait") {
            const auto advanced = playback->FramesAdvanced();
            LARGE_INTEGER start, now, frequency;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&start);
            do {  // a modal loop dispatching the frame clock's timer for a few frames' time
                vm::test::PumpPending();
                QueryPerformanceCounter(&now);
            } while (now.QuadPart - start.QuadPart < frequency.QuadPart / 5);
            advancedWhileWaiting = playback->FramesAdvanced() - advanced;
        }
    }
    MoviePlayback* playback = nullptr;
    std::vector<uint8_t> next;
    bool loaded = false;
    std::uint64_t advancedWhileWaiting = 99;
};

std::vector<uint8_t> CommandInFrame(int frame, const char* command) {
    auto movie = swfw::Movie::pixels(6, 100, 100, 60);
    for (int f = 0; f <= frame; ++f) {
        if (f == frame) movie.doAction(swfw::Actions().fsCommand(command, ""));
        movie.showFrame();
    }
    movie.showFrame();
    return movie.bytes();
}

TEST(PlaybackReentrancy, AMovieLoadedFromAnFSCommandReplacesTheOneRunning) {
    for (int frame : {0, 1}) {  // during the load itself, and during a frame tick
        ReentrantOwner owner;
        MoviePlayback playback(owner);
        owner.playback = &playback;
        owner.next = MovingBoxMovie(7).bytes();
        std::string error;
        ASSERT_TRUE(playback.Load(CommandInFrame(frame, "load"), error));
        ASSERT_TRUE(vm::test::PumpUntil([&] { return owner.loaded; }));
        EXPECT_EQ(playback.TotalFrames(), 7);
        ASSERT_TRUE(vm::test::PumpUntil([&] { return playback.FrameNum() >= 2; }));  // and it plays
    }
}

TEST(PlaybackReentrancy, AModalLoopInsideAFrameDoesNotAdvanceTheMovie) {
    ReentrantOwner owner;
    MoviePlayback playback(owner);
    owner.playback = &playback;
    std::string error;
    ASSERT_TRUE(playback.Load(CommandInFrame(1, "wait"), error));
    ASSERT_TRUE(vm::test::PumpUntil([&] { return owner.advancedWhileWaiting != 99; }));
    EXPECT_EQ(owner.advancedWhileWaiting, 0u);
}

} // namespace
