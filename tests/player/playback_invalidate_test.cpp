// Each frame tick invalidates only what changed: for one small moving shape, about its old
// and new place, not the view.
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "PlaybackTestSupport.h"

using namespace vm::flash;
using namespace vm::flash::test;

namespace {

bool Contains(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right && outer.bottom >= inner.bottom;
}

TEST(PlaybackInvalidate, AMovingBoxInvalidatesItsOldAndNewPlace) {
    RecordingOwner owner;
    MoviePlayback playback(owner);
    std::string error;
    ASSERT_TRUE(playback.Load(MovingBoxMovie(30, 30).bytes(), error));
    playback.SetViewSize(200, 100);  // the stage at one pixel per stage pixel
    Dib dib(200, 100);
    for (int tick = 0; tick < 5; ++tick) {
        ASSERT_TRUE(playback.Draw(dib.Dc(), RECT{0, 0, 200, 100}));
        const int frameBefore = playback.FrameNum();
        owner.rects.clear();
        owner.wholeInvalidations = 0;
        const auto advanced = playback.FramesAdvanced();
        ASSERT_TRUE(vm::test::PumpUntil([&] { return playback.FramesAdvanced() > advanced; }));
        const int frame = playback.FrameNum();
        ASSERT_GT(frame, frameBefore);
        ASSERT_EQ(owner.rects.size(), 1u);
        EXPECT_EQ(owner.wholeInvalidations, 0);
        const RECT r = owner.rects[0];
        const RECT oldBox{20 + 5 * frameBefore, 40, 30 + 5 * frameBefore, 50};
        const RECT newBox{20 + 5 * frame, 40, 30 + 5 * frame, 50};
        EXPECT_TRUE(Contains(r, oldBox)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        EXPECT_TRUE(Contains(r, newBox)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        // Old and new place with the engine's two pixels of anti-aliasing margin around them
        // (the view is 20000 pixels).
        const int union_ = (newBox.right - oldBox.left + 4) * (10 + 4);
        EXPECT_LE((r.right - r.left) * (r.bottom - r.top), union_);
    }
}

TEST(PlaybackInvalidate, AStillFrameInvalidatesNothingAndViewChangesEverything) {
    auto movie = swfw::Movie::pixels(6, 200, 100, 30);
    movie.place({.depth = 1, .character = DefineBox(movie, 10, 10, {0, 0, 0, 255}), .matrix = At(5, 5)});
    movie.showFrame();
    movie.showFrame();  // the same picture again
    RecordingOwner owner;
    MoviePlayback playback(owner);
    std::string error;
    ASSERT_TRUE(playback.Load(movie.bytes(), error));
    playback.SetViewSize(200, 100);
    Dib dib(200, 100);
    ASSERT_TRUE(playback.Draw(dib.Dc(), RECT{0, 0, 200, 100}));
    owner.rects.clear();
    owner.wholeInvalidations = 0;
    ASSERT_TRUE(vm::test::PumpUntil([&] { return playback.FramesAdvanced() >= 3; }));
    EXPECT_TRUE(owner.rects.empty());
    EXPECT_EQ(owner.wholeInvalidations, 0);

    playback.SetBackgroundColor(0x00FF00);
    playback.SetScale(ScaleMode::NoScale);
    playback.Zoom(50);
    EXPECT_EQ(owner.wholeInvalidations, 3);
}

} // namespace
