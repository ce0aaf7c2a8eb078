// Colour values: numbers in text, red first.
#include <gtest/gtest.h>

#include "ColourValue.h"
#include "WinSkinIni.h"

namespace velmora::skin {
namespace {

constexpr int32_t kDefault = 0x123456;

TEST(ColourValues, ThreeNumbersInAnySeparation) {
    EXPECT_EQ(parseColourValue("255 128 0", kDefault), 0x0080FF);
    EXPECT_EQ(parseColourValue("255,128,0,", kDefault), 0x0080FF);
    EXPECT_EQ(parseColourValue("  255;128/0  ", kDefault), 0x0080FF);
    EXPECT_EQ(parseColourValue("r255 g128 b0", kDefault), 0x0080FF);
}

TEST(ColourValues, ANumberEndingTheTextCountsOnlyAsBlue) {
    EXPECT_EQ(parseColourValue("255", kDefault), 0);
    EXPECT_EQ(parseColourValue("10 20", kDefault), 10);
    EXPECT_EQ(parseColourValue("10 20,", kDefault), 10 + 20 * 256);
    EXPECT_EQ(parseColourValue("none", kDefault), 0);
}

TEST(ColourValues, ExtraNumbersAreIgnoredAndComponentsSaturate) {
    EXPECT_EQ(parseColourValue("1 2 3 4", kDefault), 0x030201);
    EXPECT_EQ(parseColourValue("1 2 3 4 5 6", kDefault), 0x030201);
    EXPECT_EQ(parseColourValue("300 0 99999999999999999999 ", kDefault), 0xFF00FF);
}

TEST(ColourValues, EmptyOrMissingGivesTheDefault) {
    EXPECT_EQ(parseColourValue("", kDefault), kDefault);
    EXPECT_EQ(parseColourValue(" \t ", kDefault), kDefault);
    TQuickIni ini;
    ini.Load(std::string_view("[Colours]\r\nMenu=1 2 3\r\nEmpty=\r\n"));
    EXPECT_EQ(readColourValue(ini, "colours", "menu", kDefault), 0x030201);
    EXPECT_EQ(readColourValue(ini, "Colours", "Empty", kDefault), kDefault);
    EXPECT_EQ(readColourValue(ini, "Colours", "Missing", kDefault), kDefault);
}

}  // namespace
}  // namespace velmora::skin
