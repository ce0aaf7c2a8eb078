// Replays every input the fuzzers saved: decode, play, click and render as fuzz_play does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "PlaySession.h"
#include "decode/Decoder.h"
#include "player/MovieClip.h"

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
void play(std::shared_ptr<const swf::MovieDef> movie, std::span<const uint8_t> bytes) {
    swf::fuzzing::playSession(movie, bytes, [](swf::Player& player, int frame) {
        const swf::MovieClip& root = player.root();
        bool inRange = root.frameCount() == 0 || root.currentFrame() < root.frameCount();
        EXPECT_TRUE(inRange) << "frame " << root.currentFrame() << " of " << root.frameCount() << " after frame " << frame;
        return inRange;
    });
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
        play(result.movie, bytes);
    }
}
