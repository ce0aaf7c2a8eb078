// Replays every input the skin fuzzers saved through all three targets' checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "SkinFuzz.h"

namespace {

std::filesystem::path regressionFolder() { return std::filesystem::path(__FILE__).parent_path(); }

std::vector<std::filesystem::path> savedInputs() {
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(regressionFolder(), error)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && ext != ".cpp" && ext != ".md") inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

}  // namespace

TEST(SkinFuzzRegressions, EverySavedInputPassesEveryTarget) {
    ASSERT_TRUE(std::filesystem::exists(regressionFolder() / "README.md")) << regressionFolder();
    const std::vector<std::filesystem::path> inputs = savedInputs();
    if (inputs.empty()) GTEST_SKIP() << "no saved fuzz inputs";
    for (const auto& path : inputs) {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_TRUE(velmora::skin::fuzzing::lzhufInput(bytes));
        EXPECT_TRUE(velmora::skin::fuzzing::skinArchiveInput(bytes));
        EXPECT_TRUE(velmora::skin::fuzzing::skinIniInput(bytes));
    }
}
