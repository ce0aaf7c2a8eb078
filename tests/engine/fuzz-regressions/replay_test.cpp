// Replays every input the fuzzers saved: decode, play, click and render as fuzz_play does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "decode/Decoder.h"
#include "player/Host.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace {

// The folder of this file, where the fuzz script saves its inputs beside a README.
std::filesystem::path regressionFolder() { return std::filesystem::path(__FILE__).parent_path(); }

std::vector<std::filesystem::path> savedInputs() {
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(regressionFolder(), error)) {
        std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && ext != ".cpp" && ext != ".md") inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

// Plays the movie the way the play fuzzer does and checks the root timeline stays in range.
void play(std::shared_ptr<const swf::MovieDef> movie) {
    constexpr int kWidth = 64, kHeight = 48, kFrames = 24;
    swf::NullHost host;
    swf::Player player(movie, host);
    std::vector<swf::Pixel> pixels(kWidth * kHeight);
    swf::render::Target target{pixels.data(), kWidth, kHeight, kWidth * 4};
    swf::Matrix view = swf::Player::showAll(movie->header.frameSize, kWidth, kHeight);
    for (int frame = 0; frame < kFrames; ++frame) {
        double x = (frame * 7) % kWidth, y = (frame * 5) % kHeight;
        player.mouseMove(x, y);
        if (frame % 3 == 0) player.mouseDown(x, y);
        if (frame % 3 == 1) player.mouseUp(x, y);
        player.advance();
        player.changedRect(view);
        player.render(target, view, frame % 2 ? swf::render::Quality::Low : swf::render::Quality::High, frame == 0);
        const swf::MovieClip& root = player.root();
        if (root.frameCount() > 0) ASSERT_LT(root.currentFrame(), root.frameCount()) << "after frame " << frame;
    }
}

}  // namespace

TEST(FuzzRegressions, EverySavedInputFailsCleanlyOrPlays) {
    // An unreadable folder must not pass as "nothing saved".
    ASSERT_TRUE(std::filesystem::exists(regressionFolder() / "README.md")) << regressionFolder();
    std::vector<std::filesystem::path> inputs = savedInputs();
    if (inputs.empty()) GTEST_SKIP() << "no saved fuzz inputs";
    for (const auto& path : inputs) {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        swf::DecodeResult result = swf::decodeMovie(bytes);
        if (!result) {
            EXPECT_FALSE(result.error.message.empty()) << "a refused movie needs a reason";
            continue;
        }
        play(result.movie);
    }
}
