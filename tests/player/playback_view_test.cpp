// Where the stage lands in the view: scale modes, alignment, zoom and pan. The stage is a
// 100 x 50 movie whose left half is red and right half green, drawn transparently into a
// 200 x 200 view, so the drawn pixels show the stage's place.
#include <gtest/gtest.h>

#include "PlaybackTestSupport.h"

using namespace vm::flash;
using namespace vm::flash::test;

// RECT lives in the global namespace, where gtest's comparisons look for these.
static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

constexpr uint32_t kUntouched = 0xFF808080;
constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

class PlaybackView : public testing::Test {
protected:
    void SetUp() override {
        auto movie = swfw::Movie::pixels(6, 100, 50, 12);
        const uint16_t red = DefineBox(movie, 50, 50, {255, 0, 0, 255});
        const uint16_t green = DefineBox(movie, 50, 50, {0, 255, 0, 255});
        movie.place({.depth = 1, .character = red, .matrix = At(0, 0)});
        movie.place({.depth = 2, .character = green, .matrix = At(50, 0)});
        movie.showFrame();
        std::string error;
        ASSERT_TRUE(playback.Load(movie.bytes(), error));
        playback.SetViewSize(200, 200);
        playback.SetTransparent(true);
    }

    // The drawn area, and the colours along its middle row from left to right.
    RECT Stage() {
        dib.Fill(kUntouched);
        EXPECT_TRUE(playback.Draw(dib.Dc(), RECT{0, 0, 200, 200}));
        return ChangedArea(dib, kUntouched);
    }
    // The first column from the left that is green on row `y` (200 if none).
    int FirstGreen(int y) {
        for (int x = 0; x < 200; ++x)
            if (dib.At(x, y) == kGreen) return x;
        return 200;
    }

    RecordingOwner owner;
    MoviePlayback playback{owner};
    Dib dib{200, 200};
};


TEST_F(PlaybackView, ShowAllFitsAndAligns) {
    EXPECT_EQ(Stage(), (RECT{0, 50, 200, 150}));  // centred by default
    EXPECT_EQ(dib.At(99, 100), kRed);
    EXPECT_EQ(dib.At(100, 100), kGreen);
    playback.SetAlignMode(alignTop);
    EXPECT_EQ(Stage(), (RECT{0, 0, 200, 100}));
    playback.SetAlignMode(alignBottom | alignLeft);
    EXPECT_EQ(Stage(), (RECT{0, 100, 200, 200}));
}

TEST_F(PlaybackView, NoScaleKeepsStagePixels) {
    playback.SetScale(ScaleMode::NoScale);
    EXPECT_EQ(Stage(), (RECT{50, 75, 150, 125}));
    playback.SetAlignMode(alignLeft | alignTop);
    EXPECT_EQ(Stage(), (RECT{0, 0, 100, 50}));
    playback.SetAlignMode(alignRight | alignBottom);
    EXPECT_EQ(Stage(), (RECT{100, 150, 200, 200}));
}

TEST_F(PlaybackView, ExactFitStretchesAndNoBorderCrops) {
    playback.SetScale(ScaleMode::ExactFit);
    EXPECT_EQ(Stage(), (RECT{0, 0, 200, 200}));
    EXPECT_EQ(FirstGreen(10), 100);

    playback.SetScale(ScaleMode::NoBorder);  // 400 x 200, centred: a quarter cut off each side
    EXPECT_EQ(Stage(), (RECT{0, 0, 200, 200}));
    EXPECT_EQ(FirstGreen(100), 100);
    playback.SetAlignMode(alignLeft);  // the red half fills the view
    EXPECT_EQ(Stage(), (RECT{0, 0, 200, 200}));
    EXPECT_EQ(FirstGreen(100), 200);
    playback.SetAlignMode(alignRight);
    Stage();
    EXPECT_EQ(FirstGreen(100), 0);
}

TEST_F(PlaybackView, ZoomAroundTheCentreAndPanWithinTheStage) {
    playback.Zoom(50);  // twice the size: 400 x 200 around the view's centre
    EXPECT_EQ(Stage(), (RECT{0, 0, 200, 200}));
    EXPECT_EQ(FirstGreen(100), 100);

    playback.Pan(50, 0, 0);  // shows 50 pixels more of the right
    Stage();
    EXPECT_EQ(FirstGreen(100), 50);
    playback.Pan(1000, 1000, 0);  // stops where the stage's right edge meets the view's
    Stage();
    EXPECT_EQ(FirstGreen(100), 0);
    EXPECT_EQ(dib.At(199, 100), kGreen);
    playback.Pan(-25, 0, 1);  // a quarter of the view back
    Stage();
    EXPECT_EQ(FirstGreen(100), 50);

    playback.Zoom(200);  // back to the fitted size, still centred on the same stage point
    playback.Zoom(0);
    EXPECT_EQ(Stage(), (RECT{0, 50, 200, 150}));
    playback.Pan(50, 50, 0);  // nothing to pan when the whole stage is in view
    EXPECT_EQ(Stage(), (RECT{0, 50, 200, 150}));
    playback.Zoom(-10);  // ignored
    EXPECT_EQ(Stage(), (RECT{0, 50, 200, 150}));
}

TEST_F(PlaybackView, BackgroundColourPaintsTheWholeViewUnlessTransparent) {
    playback.SetTransparent(false);
    playback.SetBackgroundColor(0x0000FF);
    EXPECT_EQ(Stage(), (RECT{0, 0, 200, 200}));
    EXPECT_EQ(dib.At(5, 5), 0xFF0000FFu);
    playback.SetBackgroundColor(-1);  // the movie's own: it sets none, so white
    Stage();
    EXPECT_EQ(dib.At(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(playback.BackgroundColor(), -1);
}

} // namespace
