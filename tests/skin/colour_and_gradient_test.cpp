// Blending with its two scales, system colour references, gradient ramps and their cache.
#include <gtest/gtest.h>

#include <stdexcept>

#include "GradientFill.h"
#include "SkinColour.h"

namespace velmora::skin {
namespace {

TEST(Blend, BelowOneHundredTheAmountIsAPercentage) {
    EXPECT_EQ(blend(rgb(200, 0, 100), rgb(0, 200, 100), 50), rgb(100, 100, 100));
    EXPECT_EQ(blend(rgb(255, 255, 255), rgb(0, 0, 0), 99), rgb(252, 252, 252));  // (255 * 99 + 50) / 100
    EXPECT_EQ(blend(rgb(255, 0, 0), rgb(0, 0, 255), 0), rgb(0, 0, 255));
}

TEST(Blend, FromOneHundredTheAmountIsInThousandths) {
    // 150 is 15 % of the first colour, not 150 %.
    EXPECT_EQ(blend(rgb(0, 0, 0), rgb(200, 200, 200), 150), rgb(170, 170, 170));
    EXPECT_EQ(blend(rgb(200, 0, 0), rgb(0, 0, 0), 500), rgb(100, 0, 0));
    EXPECT_EQ(blend(rgb(9, 9, 9), rgb(0, 0, 0), 100), rgb(1, 1, 1));  // (9 * 100 + 500) / 1000
    EXPECT_EQ(blend(rgb(10, 20, 30), rgb(90, 80, 70), 1000), rgb(10, 20, 30));
}

TEST(Blend, AmountsOutsideTheScaleAreHeldToIt) {
    EXPECT_EQ(blend(rgb(10, 20, 30), rgb(90, 80, 70), 5000), rgb(10, 20, 30));
    EXPECT_EQ(blend(rgb(10, 20, 30), rgb(90, 80, 70), -7), rgb(90, 80, 70));
}

TEST(Blend, SystemColourReferencesGoThroughTheResolver) {
    int asked = -1;
    const SystemColourResolver resolver = [&](int index) {
        asked = index;
        return rgb(100, 100, 100);
    };
    EXPECT_EQ(blend(systemColourReference(15), kWhite, 50, resolver), rgb(178, 178, 178));
    EXPECT_EQ(asked, 15);
    EXPECT_THROW(blend(systemColourReference(15), kWhite, 50), std::invalid_argument);
}

TEST(GradientRamp, EntriesFollowTheRoundedRampFormula) {
    // n = 5, 0 -> 100: (2 + i * 100) / 4
    const std::vector<Colour> up = gradientRamp(rgb(0, 0, 0), rgb(100, 10, 0), 5);
    ASSERT_EQ(up.size(), 5u);
    EXPECT_EQ(up[0], rgb(0, 0, 0));
    EXPECT_EQ(up[1], rgb(25, 3, 0));  // (2 + 10) / 4 = 3
    EXPECT_EQ(up[2], rgb(50, 5, 0));
    EXPECT_EQ(up[4], rgb(100, 10, 0));
}

TEST(GradientRamp, FallingChannelsDivideTowardZero) {
    // n = 3, 100 -> 90: (1 - 10i) / 2 truncates to 0, -4, -9, so the last entry is 91.
    const std::vector<Colour> down = gradientRamp(rgb(100, 0, 0), rgb(90, 0, 0), 3);
    EXPECT_EQ(redOf(down[0]), 100);
    EXPECT_EQ(redOf(down[1]), 96);
    EXPECT_EQ(redOf(down[2]), 91);
}

TEST(GradientRamp, OneEntryHoldsTheMiddleAndTwoEntriesTheEnds) {
    EXPECT_EQ(gradientRamp(rgb(0, 100, 11), rgb(200, 0, 0), 1), (std::vector<Colour>{rgb(100, 50, 6)}));
    EXPECT_EQ(gradientRamp(rgb(0, 100, 11), rgb(200, 0, 0), 2), (std::vector<Colour>{rgb(0, 100, 11), rgb(200, 0, 0)}));
    EXPECT_TRUE(gradientRamp(rgb(0, 0, 0), kWhite, 0).empty());
    EXPECT_THROW(gradientRamp(systemColourReference(4), kWhite, 3), std::invalid_argument);
}

TEST(GradientCache, TheSameRequestReusesItsRamp) {
    GradientCache cache;
    const std::vector<Colour>* first = &cache.ramp(rgb(0, 0, 0), kWhite, 40);
    EXPECT_EQ(&cache.ramp(rgb(0, 0, 0), kWhite, 40), first);
    EXPECT_EQ(cache.rampsComputed(), 1u);
    cache.ramp(rgb(0, 0, 0), kWhite, 41);  // another length is another ramp
    cache.ramp(rgb(0, 0, 1), kWhite, 40);  // and so is another start
    EXPECT_EQ(cache.rampsComputed(), 3u);
}

TEST(GradientCache, TheOldestRampIsReplacedWhenTheRingIsFull) {
    GradientCache cache;
    for (int n = 1; n <= 16; ++n) cache.ramp(rgb(0, 0, 0), kWhite, n);
    EXPECT_EQ(cache.rampsComputed(), 16u);
    cache.ramp(rgb(0, 0, 0), kWhite, 17);  // replaces length 1
    cache.ramp(rgb(0, 0, 0), kWhite, 2);   // still kept
    EXPECT_EQ(cache.rampsComputed(), 17u);
    cache.ramp(rgb(0, 0, 0), kWhite, 1);  // computed again
    EXPECT_EQ(cache.rampsComputed(), 18u);
}

TEST(GradientCache, RampsThatMerelyEndAlikeAreNotShared) {
    GradientCache cache;
    // 100 -> 90 over 3 ends at 91; asking for 100 -> 91 must not get that ramp back.
    cache.ramp(rgb(100, 0, 0), rgb(90, 0, 0), 3);
    const std::vector<Colour> second = cache.ramp(rgb(100, 0, 0), rgb(91, 0, 0), 3);
    EXPECT_EQ(second, gradientRamp(rgb(100, 0, 0), rgb(91, 0, 0), 3));
    EXPECT_EQ(redOf(second[2]), 92);
}

TEST(GradientFill, RowsOrColumnsTakeTheirRampEntryInsideTheClipOnly) {
    GradientCache cache;
    PixelImage image(4, 5, pixelOf(kWhite));
    fillGradient(image, {0, 0, 4, 5}, {0, 1, 3, 5}, rgb(0, 0, 0), rgb(40, 0, 0), GradientDirection::Vertical, cache);
    EXPECT_EQ(image.at(0, 0), pixelOf(kWhite));  // above the clip
    EXPECT_EQ(image.at(3, 2), pixelOf(kWhite));  // right of the clip
    EXPECT_EQ(image.at(1, 2), pixelOf(rgb(20, 0, 0)));
    EXPECT_EQ(image.at(2, 4), pixelOf(rgb(40, 0, 0)));

    PixelImage columns(5, 1, pixelOf(kWhite));
    fillGradient(columns, {0, 0, 5, 1}, {0, 0, 5, 1}, rgb(0, 0, 0), rgb(0, 0, 40), GradientDirection::Horizontal, cache);
    EXPECT_EQ(columns.at(1, 0), pixelOf(rgb(0, 0, 10)));
}

TEST(GradientFill, EmptyOrClippedAwayRectanglesDrawAndComputeNothing) {
    GradientCache cache;
    PixelImage image(4, 4, pixelOf(kWhite));
    fillGradient(image, {2, 2, 2, 4}, {0, 0, 4, 4}, rgb(0, 0, 0), kWhite, GradientDirection::Vertical, cache);
    fillGradient(image, {0, 0, 4, 4}, {5, 5, 9, 9}, rgb(0, 0, 0), kWhite, GradientDirection::Vertical, cache);
    EXPECT_EQ(image, PixelImage(4, 4, pixelOf(kWhite)));
    EXPECT_EQ(cache.rampsComputed(), 0u);
}

}  // namespace
}  // namespace velmora::skin
